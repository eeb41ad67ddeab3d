#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "dialogs/CDTaille.h"
#include "platform/ChessFontTable.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

#include <QCoreApplication>
#include <QDir>

using namespace Win32;

std::string HelpPath;

namespace {

// Built from the program's own folder, so help is found whatever the working directory is.
std::string BuildHelpPath()
{
    QString folder
        = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir::toNativeSeparators(folder).toStdString() + "/Plavia.chm::";
}

} // namespace

CPlaviaView::CPlaviaView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Positions start in EPD form, as File > New starts them: both show the same counters and comments.
    m_bEpdMode = true;
    m_bDisplayFen = false;
    HelpPath = BuildHelpPath();
    ExchangePlacement(false);

    SettingsState::currentTexture = AppSettings::Texture;
    if (AppSettings::Texture != 0) SettingsState::backgroundColour = RGB(255, 255, 255);

    // A stored font that is not installed is drawn in an installed one; the setting keeps the choice
    // for when the font is back.
    m_nFontIndex = FontInEffect(AppSettings::FontFaceName);
    m_strFontFace = ChessFontFaceName(m_nFontIndex);
    m_bLetterFamily2 = UsesLetterFamily2(m_nFontIndex);
    if (m_bLetterFamily2) SetBorderLetters();
    m_nFontCharset = m_nFontIndex > 2 ? 2 : 0;

    // Colours of the mark codes 0..8; code 0 is the window colour.
    m_colorTable
        = { SettingsState::backgroundColour, RGB(168, 241, 172), RGB(244, 247, 162), RGB(248, 166, 166),
              RGB(191, 243, 243), RGB(248, 166, 166), RGB(255, 255, 255), RGB(0, 0, 0), RGB(200, 200, 200) };
    {
        QColor window = palette().color(QPalette::Base);
        m_colorTable[0] = RGB(window.red(), window.green(), window.blue());
    }
    GlobalModes::colourMarksMode = false;
    SettingsState::currentFileName = LoadString(StringId::NoName);

    m_pScratchDiagram = new DiagramRecord;
    m_strFilePath.clear();
    m_strExtension = "bnx";
    AddHeaderNode(false, false);
    m_pCurrentPage = m_pFirstPage;

    RegisterCommands();
    OnEditEditor();
}

CPlaviaView::~CPlaviaView()
{
    CommandRouter::Instance().Unregister(this);
    ExchangePlacement(true);
    FreeAllDiagrams();
    delete m_pScratchDiagram;
    m_pScratchDiagram = nullptr;
}

bool CPlaviaView::ExchangePlacement(bool toSettings)
{
    using S = AppSettings;
    if (toSettings) {
        S::TailleFonte = m_nSquareSize;
        S::layerboardLeft = m_rectBoard.left;
        S::layerboardTop = m_rectBoard.top;
        S::layerboardRight = m_rectBoard.right;
        S::layerboardBottom = m_rectBoard.bottom;
        S::ToolBarLeft = m_rectPalette.left;
        S::ToolBarTop = m_rectPalette.top;
        S::ToolBarRight = m_rectPalette.right;
        S::ToolBarBottom = m_rectPalette.bottom;
        S::TextPlacementLeft = m_rectText.left;
        S::TextPlacementTop = m_rectText.top;
        S::TextPlacementRight = m_rectText.right;
        S::TextPlacementBottom = m_rectText.bottom;
    } else {
        m_nSquareSize = S::TailleFonte;
        m_rectBoard = { S::layerboardLeft, S::layerboardTop, S::layerboardRight, S::layerboardBottom };
        m_rectPalette = { S::ToolBarLeft, S::ToolBarTop, S::ToolBarRight, S::ToolBarBottom };
        m_rectText
            = { S::TextPlacementLeft, S::TextPlacementTop, S::TextPlacementRight, S::TextPlacementBottom };
    }
    return false;
}

int CPlaviaView::SquareSizeForPicture(int pixels, bool withCoordinates)
{
    return AppSettings::SquareSizeForPicture(pixels, withCoordinates);
}

void CPlaviaView::OnDiagramSize()
{
    using S = AppSettings;
    CDTaille dialog(this);
    dialog.m_nSize = S::FileFormat;
    if (dialog.DoModal() != IDOK) return;
    const bool coordinates = S::PNGSaveCoords != 0;
    // A square too small cannot be drawn or hit with the mouse, one too large cannot be drawn or
    // pictured: keep the old size.
    if (dialog.m_nSize < S::MinimumPictureSize(coordinates)) {
        AfxMessageBox(
            FormatString(StringId::SquareTooSmall,
                { std::to_string(S::MinimumSquareSize), std::to_string(S::MinimumPictureSize(coordinates)) }),
            MB_ICONERROR);
        return;
    }
    if (dialog.m_nSize > S::MaximumPictureSize(coordinates)) {
        AfxMessageBox(
            FormatString(StringId::SquareTooLarge,
                { std::to_string(S::MaximumSquareSize), std::to_string(S::MaximumPictureSize(coordinates)) }),
            MB_ICONERROR);
        return;
    }
    const int square = SquareSizeForPicture(dialog.m_nSize, coordinates);
    AppSettings::FileFormat = dialog.m_nSize;
    m_nSquareSize = square;
    const int left = m_rectBoard.left, top = m_rectBoard.top;
    m_rectBoard.right = left + 9 * square;
    m_rectBoard.bottom = top + 9 * square;
    m_rectPalette.left = left + 11 * square;
    m_rectPalette.right = left + 15 * square;
    m_rectPalette.bottom = top + 8 * square;
    InvalidateAll(true);
}

void CPlaviaView::SelectWhiteKing()
{
    GlobalModes::currentPiece = 'k';
    m_nPaletteRow = 5;
    m_nPaletteColumn = 0;
}

void CPlaviaView::OnEditEditor()
{
    if (GlobalModes::editorMode) {
        GlobalModes::editorMode = false;
        GlobalModes::colourMarksMode = false;
        InvalidateAll(true);
        return;
    }
    if (m_strFilePath.empty()) {
        CreateFirstDiagram();
        SettingsState::currentFileName = LoadString(StringId::NoName);
        m_strFilePath = SettingsState::currentFileName;
    }
    if (m_nLastIndex == 0) m_nPageCount = 1;
    GlobalModes::editorMode = true;
    SelectWhiteKing();
    m_bHideTextAndArrows = false;
    if (!GlobalModes::editorStarted) {
        GlobalModes::editorStarted = true;
        return;
    }
    InvalidateAll(true);
}

void CPlaviaView::OnFairyMode()
{
    if (m_strFontFace != "Varnok Fairy") {
        AfxMessageBox(StringId::FairyNeedsFairyFont, MB_ICONERROR);
        return;
    }
    GlobalModes::fairyMode = !GlobalModes::fairyMode;
    if (GlobalModes::fairyMode) {
        m_bSavedLegalCheck = SettingsState::legalCheckActive;
        SettingsState::legalCheckActive = false;
    } else {
        SettingsState::legalCheckActive = m_bSavedLegalCheck;
    }
}

void CPlaviaView::InvalidateAll(bool erase)
{
    (void)erase; // the paint always draws its background first
    update();
}

void CPlaviaView::InvalidateBoard(bool erase)
{
    (void)erase;
    if (m_rectBoardDevice.IsEmpty())
        update();
    else
        update(QRect(m_rectBoardDevice.left, m_rectBoardDevice.top, m_rectBoardDevice.Width(),
            m_rectBoardDevice.Height()));
}

void CPlaviaView::RegisterCommands()
{
    using M = GlobalModes;
    CommandRouter& r = CommandRouter::Instance();
    auto editorOnly = [](CCmdUI& ui) { ui.Enable(M::editorMode); };
    auto listEdit = [](CCmdUI& ui) { ui.Enable(M::editorMode && !M::correctionMode); };
    r.Register(
        this, CommandId::FileNew, [this] { OnFileNew(); }, editorOnly);
    r.Register(
        this, CommandId::AddDiagram, [this] { OnAddDiagram(); }, listEdit);
    r.Register(
        this, CommandId::InsertDiagram, [this] { OnInsertDiagram(); }, listEdit);
    r.Register(
        this, CommandId::DeleteDiagram, [this] { OnDeleteDiagram(); }, listEdit);
    r.Register(this, CommandId::AutoComments, [this] { OnAutoComments(); });
    r.Register(
        this, CommandId::StandardStartPosition, [this] { OnEditStandardStartPosition(); }, editorOnly);
    r.Register(
        this, CommandId::ClearBoard, [this] { OnEditClearBoard(); }, editorOnly);
    r.Register(this, CommandId::DiagramSize, [this] { OnDiagramSize(); });
    r.Register(
        this, CommandId::Editor, [this] { OnEditEditor(); }, [](CCmdUI& ui) { ui.SetCheck(M::editorMode); });
    r.Register(
        this, CommandId::FairyMode, [this] { OnFairyMode(); },
        [](CCmdUI& ui) {
            ui.Enable(M::editorMode);
            ui.SetCheck(M::fairyMode);
        });
    RegisterCheckCommands();
    RegisterClipboardCommands();
    RegisterPrintCommands();
    RegisterMouseCommands();
    RegisterDrawCommands();
    RegisterPgnCommands();
    RegisterPictureCommands();
    RegisterFileCommands();
}
