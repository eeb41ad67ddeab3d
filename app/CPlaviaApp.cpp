#include "CPlaviaApp.h"

#include "CAboutDlg.h"
#include "CMainFrame.h"
#include "CommandLine.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Print.h"
#include "platform/Profile.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"
#include "view/CPlaviaView.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
bool quitPosted = false;
}

CPlaviaApp::CPlaviaApp() = default;

CPlaviaApp::~CPlaviaApp()
{
    CommandRouter::Instance().Unregister(this);
}

bool CPlaviaApp::InitInstance()
{
    quitPosted = false;
    Profile::SetRegistryKey("Oskeld free chess software", "Brennix");
    AppSettings::ReadAll();
    CommandRouter::Instance().Register(this, CommandId::About, [this] { OnAppAbout(); });
    CommandRouter::Instance().Register(
        this, CommandId::FilePrintSetup, [this] { Print::PrintSetup(m_pMainWnd.get()); });
    m_pMainWnd = std::make_unique<CMainFrame>();
    m_pMainWnd->show();
    m_pMainWnd->KeepOnScreen();
    OpenCommandLineFile();
    return true;
}

void CPlaviaApp::OpenCommandLineFile()
{
    CommandLine::OpenFiles(*m_pMainWnd->View(), CommandLine::Parse(CommandLine::Arguments()));
}

int CPlaviaApp::ExitInstance()
{
    // The frame and the view hand their state back to the settings as they are destroyed.
    m_pMainWnd.reset();
    AppSettings::Texture = static_cast<uint8_t>(SettingsState::currentTexture);
    std::string file, reason;
    if (!AppSettings::WriteAll(&file, &reason)) {
        // The program still ends: the user learns that this session's settings are lost, and why.
        AfxMessageBox(FormatString(StringId::SettingsNotWritten, { file, reason }), MB_ICONERROR);
    }
    return 0;
}

void CPlaviaApp::OnAppAbout()
{
    CAboutDlg about(m_pMainWnd.get());
    about.DoModal();
}

void CPlaviaApp::PostQuit()
{
    if (quitPosted) return;
    quitPosted = true;
    // exit, not quit: quit would first ask every window to close, and closing the main window is
    // File > Exit again.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

bool CPlaviaApp::QuitPosted()
{
    return quitPosted;
}
