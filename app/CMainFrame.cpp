#include "CMainFrame.h"

#include "AppSettings.h"
#include "platform/Codec.h"
#include "platform/Commands.h"
#include "platform/Strings.h"
#include "view/CPlaviaView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>

CMainFrame::CMainFrame()
{
    using S = AppSettings;
    SettingsState::piecesColour = RGB(S::RValueBoard, S::GValueBoard, S::BValueBoard);
    SettingsState::backgroundColour = RGB(S::RValueFond, S::GValueFond, S::BValueFond);

    m_pView = new CPlaviaView(this);
    m_pView->m_pMainFrame = this;
    setCentralWidget(m_pView);

    pane0 = new QLabel(this);
    statusBar()->addWidget(pane0, 1);
    menus = new MenuBuilder(this, statusBar());
    menus->Build(":/menus/menubar.txt", ":/menus/accelerators.txt");
    resize(S::WindowWide > 0 ? S::WindowWide : 1220, S::WindowHeight > 0 ? S::WindowHeight : 790);
    SetDocumentTitle(SettingsState::currentFileName);
    m_pView->UpdateStatusText();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::SetStatusText(const std::string& text)
{
    pane0->setText(Codec::ToQt(text));
}

QString CMainFrame::StatusText() const
{
    return pane0->text();
}

void CMainFrame::SetDocumentTitle(const std::string& title)
{
    setWindowTitle(Codec::ToQt(title) + " - " + LoadQString(128));
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Closing the window is File > Exit; the view decides whether the program may end.
    if (CommandRouter::Instance().Has(158)) {
        event->ignore();
        CommandRouter::Instance().Execute(158);
        return;
    }
    event->accept();
}
