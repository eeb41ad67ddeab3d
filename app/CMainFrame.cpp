#include "CMainFrame.h"

#include "CPlaviaApp.h"
#include "CTrueColorToolBar.h"
#include "ProgramIcon.h"
#include "WindowPlacement.h"
#include "dialogs/CHyperLink.h"
#include "dialogs/CPreferences.h"
#include "platform/ChessFontTable.h"
#include "platform/Codec.h"
#include "platform/Commands.h"
#include "platform/Help.h"
#include "platform/Keyboard.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"
#include "view/CPlaviaView.h"
#include "view/GlobalModes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

using namespace Win32;

CMainFrame::CMainFrame()
{
    using S = AppSettings;
    SettingsState::piecesColour = RGB(S::RValueBoard, S::GValueBoard, S::BValueBoard);
    GlobalModes::transparentNow = false;
    SettingsState::backgroundColour = RGB(S::RValueFond, S::GValueFond, S::BValueFond);
    ScanInstalledChessFonts();

    setWindowIcon(ProgramIcon());
    m_pView = new CPlaviaView(this);
    connect(m_pView, &CPlaviaView::statusTextChanged, this, &CMainFrame::SetStatusText);
    connect(m_pView, &CPlaviaView::documentTitleChanged, this, &CMainFrame::SetDocumentTitle);
    connect(m_pView, &CPlaviaView::textureChosen, this, &CMainFrame::TextureChosen);
    connect(m_pView, &CPlaviaView::quitRequested, this, &CPlaviaApp::PostQuit);
    setCentralWidget(m_pView);

    RestoreWindowPlacement();

    pane0 = new QLabel(this);
    statusBar()->setObjectName("AFX_IDW_STATUS_BAR");
    statusBar()->addWidget(pane0, 1);
    for (size_t pane = 0; pane < m_indicators.size(); ++pane) {
        auto* indicator = new QLabel(this);
        indicator->setFrameShape(QFrame::Panel);
        indicator->setFrameShadow(QFrame::Sunken);
        indicator->setAlignment(Qt::AlignCenter);
        // Wide enough for its text whether it is lit or not, so the bar does not jump.
        const QString text = LoadQString(StringId::FirstIndicator + unsigned(pane));
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(text) + 12);
        statusBar()->addPermanentWidget(indicator);
        m_indicators[pane] = indicator;
    }
    UpdateIndicators();
    auto* lights = new QTimer(this);
    connect(lights, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
    lights->start(250);
    RegisterCommands();
    menus = new MenuBuilder(this, statusBar());
    menus->Build(":/menus/menubar.txt", ":/menus/accelerators.txt");

    m_wndToolBar = new CTrueColorToolBar(this);
    m_wndToolBar->LoadToolBar(*menus);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    m_wndToolBar->LoadImageLists();
    m_wndToolBar->AddMenuButton(this, CommandId::MarksMode, CommandId::ColourMenu);
    menus->UpdateAll();

    // A first start stores no layout yet: the default one is fitted to the screen.
    defaultLayout = !Profile::HasEntry("BoardsPlacement", "TailleFonte");
    KeepBoardInView();

    SetDocumentTitle(SettingsState::currentFileName);
    m_pView->UpdateStatusText();
    if (S::TransparentWindowsFlag != 0) OnTransparentMode();
}

CMainFrame::~CMainFrame()
{
    SavePlacement();
    // The texture the user chose is kept, not the none of the semi-transparent mode.
    if (GlobalModes::transparentNow) SettingsState::currentTexture = m_nSavedTexture;
    CommandRouter::Instance().Unregister(this);
}

void CMainFrame::RestoreWindowPlacement()
{
    using S = AppSettings;
    QList<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens()) screens.append(screen->availableGeometry());
    const int primary
        = static_cast<int>(QGuiApplication::screens().indexOf(QGuiApplication::primaryScreen()));
    if (S::WidePlacement != 0) {
        // A rectangle saved on another screen layout, or edited by hand, is brought back into sight.
        const QRect placed = WindowPlacement::PlaceOnScreen(
            S::WidePlacement, S::HeightPlacement, S::WindowWide, S::WindowHeight, screens, primary);
        move(placed.topLeft());
        resize(placed.size());
    } else {
        const QRect placed = WindowPlacement::PlaceOnScreen(0, 0, 1220, 790, screens, primary);
        resize(placed.size());
        S::WidePlacement = 1;
    }
}

void CMainFrame::KeepOnScreen()
{
    // The frame's borders are known once the window is shown: all of it goes on the screen.
    QScreen* on = screen();
    const QRect frame = frameGeometry();
    if (!on || on->availableGeometry().contains(frame)) {
        if (defaultLayout) FitDefaultLayout();
        return;
    }
    const QRect placed = WindowPlacement::PlaceOnScreen(
        frame.x(), frame.y(), frame.width(), frame.height(), { on->availableGeometry() }, 0);
    const QSize borders = frame.size() - size();
    move(placed.topLeft());
    resize(placed.size() - borders);
    if (defaultLayout) {
        // The bars are laid out anew first: the view's size follows from them.
        if (layout()) layout()->activate();
        FitDefaultLayout();
    }
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    FollowPlacement();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FollowPlacement();
}

void CMainFrame::FollowPlacement()
{
    if (!isVisible()) return;
    // The borders arrive with the first move the window manager makes: the frame then goes on the screen
    // once, before the user has done anything with the window.
    if (!placedWithBorders && frameGeometry() != geometry()) {
        placedWithBorders = true;
        KeepOnScreen();
    }
    // A window manager tells the maximised state before it sends the maximised size: what arrives in the
    // normal state is the user's placement.
    if (windowState() == Qt::WindowNoState) normalPlacement = QRect(frameGeometry().topLeft(), size());
}

QSize CMainFrame::ViewSize() const
{
    if (isVisible()) return m_pView->size();
    // Before the window is shown: its size less the bars around the view.
    int height = this->height() - statusBar()->sizeHint().height();
    if (menuBar()) height -= menuBar()->sizeHint().height();
    if (m_wndToolBar) height -= m_wndToolBar->sizeHint().height();
    return { width(), height };
}

void CMainFrame::KeepBoardInView()
{
    const QSize size = ViewSize();
    CPlaviaView& view = *m_pView;
    if (!WindowPlacement::PlacementFitsView(view.m_rectBoard, view.m_rectPalette, view.m_rectText,
            view.m_nSquareSize, size.width(), size.height())) {
        AppSettings::RestoreSectionDefaults("BoardsPlacement");
        view.ExchangePlacement(false);
        defaultLayout = true;
    }
    if (defaultLayout) FitDefaultLayout();
}

void CMainFrame::FitDefaultLayout()
{
    // No layout of the user's: the default one, made smaller where the screen is (a small screen, or one
    // whose pixels are scaled up), so that board, palette and label are all seen in a window as large as
    // the screen's usable area, borders and bars taken away.
    QSize size = ViewSize();
    if (QScreen* on = screen())
        size = on->availableGeometry().size() - (frameGeometry().size() - this->size())
            - (this->size() - size);
    const WindowPlacement::BoardLayout layout
        = WindowPlacement::FittedDefaultLayout(size.width(), size.height());
    CPlaviaView& view = *m_pView;
    view.m_rectBoard = layout.board;
    view.m_rectPalette = layout.palette;
    view.m_rectText = layout.text;
    view.m_nSquareSize = layout.square;
    view.InvalidateAll(true);
}

void CMainFrame::RegisterCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    r.Register(
        this, CommandId::TransparentMode, [this] { OnTransparentMode(); },
        [](CCmdUI& ui) { ui.SetCheck(GlobalModes::transparentNow); });
    r.Register(this, CommandId::Preferences, [this] { OnPreferences(); });
    r.Register(this, CommandId::WebHomePage, [this] { OnWebHomePage(); });
    r.Register(this, CommandId::TutorialVideos, [this] { OnTutorialVideos(); });
    r.Register(this, CommandId::SendEmail, [this] { OnSendEmail(); });
    r.Register(this, CommandId::KeyHome, [this] { OnKeyHome(); });
    r.Register(this, CommandId::HelpTopics, [this] { OnHelpFinder(); });
    r.Register(this, CommandId::DefaultHelp, [this] { OnHelpFinder(); });
    r.Register(this, CommandId::Help, [this] { OnHelpFinder(); });
    r.Register(this, CommandId::ContextHelp, [this] { OnContextHelp(); });
}

void CMainFrame::SetStatusText(const std::string& text)
{
    // With nothing of the view's to show, the pane says how to get help, as when idle.
    pane0->setText(text.empty() ? LoadQString(StringId::IdleMessage) : Codec::ToQt(text));
}

QString CMainFrame::StatusText() const
{
    return pane0->text() == LoadQString(StringId::IdleMessage) ? QString() : pane0->text();
}

void CMainFrame::UpdateIndicators()
{
    // Where the windowing system does not tell a key's state, its pane stays empty rather than lit.
    const auto states = LockKeyStates();
    for (size_t pane = 0; pane < m_indicators.size(); ++pane) {
        const QString text = states[pane].value_or(false)
            ? LoadQString(StringId::FirstIndicator + unsigned(pane))
            : QString();
        if (m_indicators[pane]->text() != text) m_indicators[pane]->setText(text);
    }
}

void CMainFrame::SetDocumentTitle(const std::string& title)
{
    setWindowTitle(Codec::ToQt(title) + " - " + LoadQString(StringId::ProgramTitle));
}

void CMainFrame::SavePlacement()
{
    if (placementSaved) return;
    placementSaved = true;
    // The restored rectangle, also when the window is maximised or minimised. Its corner is stored as
    // the frame's, as the start moves the frame there; the borders of a maximised window are not those
    // of the restored one, so its place is the one followed while it was restored.
    const bool restored = windowState() == Qt::WindowNoState;
    QRect placed(frameGeometry().topLeft(), size());
    if (!restored && normalPlacement.isValid()) {
        placed = normalPlacement;
    } else if (!restored && normalGeometry().isValid()) {
        placed = QRect(normalGeometry().topLeft() - (geometry().topLeft() - frameGeometry().topLeft()),
            normalGeometry().size());
    }
    AppSettings::WidePlacement = placed.x();
    AppSettings::HeightPlacement = placed.y();
    AppSettings::WindowWide = placed.width();
    AppSettings::WindowHeight = placed.height();
    AppSettings::TransparentWindowsFlag = GlobalModes::transparentNow ? 1 : 0;
}

void CMainFrame::OnTransparentMode()
{
    const bool visible = isVisible();
    if (!GlobalModes::transparentNow) {
        m_nSavedTexture = static_cast<uint8_t>(SettingsState::currentTexture);
        SettingsState::currentTexture = 0;
        setWindowOpacity(AppSettings::Blend / 255.0);
        SetStaysOnTop(true);
    } else {
        SettingsState::currentTexture = m_nSavedTexture;
        setWindowOpacity(1.0);
        SetStaysOnTop(false);
    }
    if (visible && !isVisible()) show();
    m_pView->InvalidateAll(true);
    GlobalModes::transparentNow = !GlobalModes::transparentNow;
}

void CMainFrame::TextureChosen(int texture)
{
    if (GlobalModes::transparentNow) m_nSavedTexture = static_cast<uint8_t>(texture);
}

void CMainFrame::SetStaysOnTop(bool on)
{
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    QWindow* window = windowHandle();
    if (!window) {
        setWindowFlags(flags);
        return;
    }
    // Set on the window system's window itself: changing the widget's flags would make that window anew,
    // and the new one would lose its place by the height of the title bar.
    overrideWindowFlags(flags);
    window->setFlags(flags);
}

void CMainFrame::OnPreferences()
{
    using S = AppSettings;
    CPreferences dialog(this);
    dialog.m_szHelpPath = HelpPath;
    dialog.m_nBlend = S::Blend;
    dialog.m_crPieces = SettingsState::piecesColour;
    // The colour the user configured: a texture may paint white in its place (see the view).
    const COLORREF configuredBackground = RGB(S::RValueFond, S::GValueFond, S::BValueFond);
    dialog.m_crBackground = configuredBackground;
    dialog.m_bLegalOnly = S::LegalPosition != 0;
    dialog.m_nPictureSize = S::FileFormat;
    dialog.m_nPrintMode = S::MonoMultiDiagPrint;
    dialog.m_nDiagramSize = S::SizeDiag;
    dialog.m_bPrintComments = S::PrintComment != 0;
    dialog.m_bPrintCoords = S::PrintCoords != 0;
    dialog.m_bUpperCaseCoords = S::PrintCoords == 2;
    dialog.m_bPrintActiveColour = S::PrintActiveColor != 0;
    dialog.m_bPrintPageNumber = S::PrintPageNumber != 0;
    dialog.m_bIntelligentMouse = S::IntelligentMouse != 0;
    dialog.m_bPictureCoords = S::PNGSaveCoords != 0;
    dialog.m_bTransparentBackground = S::SaveTtansparent != 0;
    dialog.m_bNoBorder = S::Border != 0;
    if (dialog.DoModal() != IDOK) return;

    S::Blend = static_cast<uint8_t>(std::clamp(dialog.m_nBlend, 128, 255));
    SettingsState::piecesColour = dialog.m_crPieces;
    S::RValueBoard = static_cast<uint8_t>(GetRValue(dialog.m_crPieces));
    S::GValueBoard = static_cast<uint8_t>(GetGValue(dialog.m_crPieces));
    S::BValueBoard = static_cast<uint8_t>(GetBValue(dialog.m_crPieces));
    if (dialog.m_crBackground != configuredBackground) {
        // A colour the user chose is the colour in effect from now on, texture or not.
        SettingsState::backgroundColour = dialog.m_crBackground;
        S::RValueFond = static_cast<uint8_t>(GetRValue(dialog.m_crBackground));
        S::GValueFond = static_cast<uint8_t>(GetGValue(dialog.m_crBackground));
        S::BValueFond = static_cast<uint8_t>(GetBValue(dialog.m_crBackground));
    }
    S::LegalPosition = dialog.m_bLegalOnly ? 1 : 0;
    // Fairy mode keeps the checks off; leaving it brings back the state chosen here.
    if (GlobalModes::fairyMode)
        m_pView->m_bSavedLegalCheck = S::LegalPosition != 0;
    else
        SettingsState::legalCheckActive = S::LegalPosition != 0;
    S::FileFormat = dialog.m_nPictureSize;
    S::MonoMultiDiagPrint = static_cast<uint8_t>(dialog.m_nPrintMode);
    S::SizeDiag = static_cast<uint8_t>(dialog.m_nDiagramSize);
    S::PrintComment = dialog.m_bPrintComments;
    S::PrintCoords = !dialog.m_bPrintCoords ? 0 : dialog.m_bUpperCaseCoords ? 2 : 1;
    S::PrintActiveColor = dialog.m_bPrintActiveColour;
    S::PrintPageNumber = dialog.m_bPrintPageNumber;
    S::DeleteWarning = dialog.m_bDeleteWarning;
    S::IntelligentMouse = dialog.m_bIntelligentMouse;
    S::PNGSaveCoords = dialog.m_bPictureCoords;
    S::SaveTtansparent = dialog.m_bTransparentBackground;
    S::Border = dialog.m_bNoBorder;
    if (GlobalModes::transparentNow) setWindowOpacity(S::Blend / 255.0);
    m_pView->InvalidateAll(true);
}

void CMainFrame::OnKeyHome()
{
    if (GlobalModes::homeKeyY < 21) return;
    SetStaysOnTop(true);
    move(GlobalModes::homeKeyX, GlobalModes::homeKeyY);
    resize(500, 500);
    show();
    GlobalModes::homeKeyX = GlobalModes::homeKeyY = 0;
}

bool CMainFrame::OpenAddress(const std::string& url)
{
    // The same road as the hyperlinks: the desktop's handler, then the registered browser command.
    return CHyperLink::OpenAddress(url, 5) > 32;
}

void CMainFrame::OnWebHomePage()
{
    OpenAddress(LoadString(StringId::WebHomePageAddress));
}
void CMainFrame::OnTutorialVideos()
{
    OpenAddress(LoadString(StringId::TutorialVideosAddress));
}
void CMainFrame::OnSendEmail()
{
    OpenAddress(LoadString(StringId::AuthorMailAddress));
}

namespace {

// The frame's help commands use the help file named after the program file.
std::string ProgramHelpFile()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return Codec::FromQt(QDir::toNativeSeparators(program.absolutePath() + "/" + program.completeBaseName()))
        + ".CHM::";
}

bool Inside(const QWidget* widget, const QWidget* area)
{
    for (; widget; widget = widget->parentWidget())
        if (widget == area) return true;
    return false;
}

} // namespace

void CMainFrame::OnContextHelp()
{
    menus->EnterHelpMode([this](unsigned id, QWidget* area) {
        AfxHtmlHelp(this, ProgramHelpFile() + ContextHelpPage(id, area), HH_DISPLAY_TOPIC);
    });
}

std::string CMainFrame::ContextHelpPage(unsigned id, const QWidget* area) const
{
    if (id != 0) return "/html/commands.htm#c" + std::to_string(id);
    if (Inside(area, m_pView)) return "/html/board.htm";
    if (Inside(area, statusBar())) return "/html/commands.htm#statusbar";
    if (Inside(area, m_wndToolBar)) return "/html/commands.htm#toolbar";
    return "/html/index.htm";
}

void CMainFrame::OnHelpFinder()
{
    AfxHtmlHelp(this, ProgramHelpFile() + "/html/index.htm", HH_DISPLAY_TOPIC);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The window never closes by itself: the program ends through File > Exit, which asks about a
    // changed list and then leaves the event loop; the frame is destroyed after it.
    event->ignore();
    if (CPlaviaApp::QuitPosted() || exitAsked) return;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        // A dialog is open: it is answered first, as a click on this window would be refused.
        modal->raise();
        modal->activateWindow();
        return;
    }
    exitAsked = true;
    if (!CommandRouter::Instance().Execute(CommandId::FileExit)) CPlaviaApp::PostQuit();
    exitAsked = false;
}
