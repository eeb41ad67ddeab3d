#include "CPlaviaApp.h"

#include "AppSettings.h"
#include "CAboutDlg.h"
#include "CMainFrame.h"
#include "platform/Commands.h"
#include "platform/Print.h"
#include "platform/Profile.h"
#include "view/CPlaviaView.h"

#include <QApplication>
#include <QTimer>

CPlaviaApp::CPlaviaApp() = default;

CPlaviaApp::~CPlaviaApp()
{
    CommandRouter::Instance().Unregister(this);
}

bool CPlaviaApp::InitInstance()
{
    Profile::SetRegistryKey("Oskeld free chess software", "Brennix");
    AppSettings::ReadAll();
    CommandRouter::Instance().Register(this, 57664, [this] { OnAppAbout(); });
    CommandRouter::Instance().Register(this, 57606, [this] { Print::PrintSetup(m_pMainWnd.get()); });
    m_pMainWnd = std::make_unique<CMainFrame>();
    m_pMainWnd->show();
    return true;
}

int CPlaviaApp::ExitInstance()
{
    // The frame and the view hand their state back to the settings as they are destroyed.
    m_pMainWnd.reset();
    AppSettings::Texture = static_cast<uint8_t>(SettingsState::currentTexture);
    AppSettings::WriteAll();
    return 0;
}

void CPlaviaApp::OnAppAbout()
{
    CAboutDlg about(m_pMainWnd.get());
    about.DoModal();
}

void CPlaviaApp::PostQuit()
{
    QTimer::singleShot(0, qApp, [] { QApplication::quit(); });
}
