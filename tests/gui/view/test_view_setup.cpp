#include "dialogs/CDTaille.h"
#include "dialogs/CDWarningSupp.h"
#include "dialogs/CEditeurDlg.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "tests/support/InstalledFonts.h"
#include "tests/support/TestEnvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>

using namespace Win32;

namespace {

using ViewTest = ProgramTest;

std::string Row(const DiagramRecord* r, int row)
{
    return std::string(r->board[row].data());
}

TEST_F(ViewTest, FreshStartHasOneEmptyDiagramInEditorMode)
{
    CPlaviaView& view = View();
    EXPECT_EQ(view.m_nLastIndex, 0);
    EXPECT_EQ(view.m_nCurrentIndex, 0);
    EXPECT_EQ(view.m_nPageCount, 1);
    EXPECT_TRUE(GlobalModes::editorMode);
    EXPECT_EQ(GlobalModes::currentPiece, 'k');
    EXPECT_EQ(view.m_nPaletteRow, 5);
    EXPECT_EQ(view.m_strFilePath, "No Name");
    EXPECT_EQ(view.m_strFontFace, "Varnok Fairy");
    EXPECT_FALSE(view.BoardHasPieces());
    EXPECT_EQ(view.m_rectBoard, (RECT { 115, 54, 574, 513 }));
    EXPECT_EQ(Frame().windowTitle(), "No Name - Brennix 4.3");
}

TEST_F(ViewTest, FreshStartAndFileNewGiveTheSameDiagramData)
{
    CPlaviaView& view = View();
    auto dataShown = [&] {
        std::string shown;
        DialogScript dialogs;
        dialogs.Then([&](CDialog& d) {
            auto& data = static_cast<CEditeurDlg&>(d);
            shown = "[" + data.m_strFullMove + "][" + data.m_strHalfmove + "]";
            return int(IDOK);
        });
        view.OnEditDiagramDatas();
        const DiagramRecord& r = *view.m_pCurrentDiagram;
        return shown + " " + r.fullmoveNumber + "/" + r.halfmoveClock + " " + r.displayComment;
    };
    EXPECT_TRUE(view.m_bEpdMode);
    const std::string atStart = dataShown();
    view.m_bModified = false;
    view.OnFileNew();
    EXPECT_TRUE(view.m_bEpdMode);
    EXPECT_EQ(dataShown(), atStart);
    // EPD positions carry no move counters.
    EXPECT_EQ(atStart.substr(0, 6), "[][] /");
}

TEST_F(ViewTest, EditorToggleWithListCreatesNoRecordAndEndsMarksMode)
{
    CPlaviaView& view = View();
    DiagramRecord* first = view.m_pFirstDiagram;
    GlobalModes::colourMarksMode = true;
    view.OnEditEditor();
    EXPECT_FALSE(GlobalModes::editorMode);
    EXPECT_FALSE(GlobalModes::colourMarksMode);
    view.OnEditEditor();
    EXPECT_TRUE(GlobalModes::editorMode);
    EXPECT_EQ(view.m_pFirstDiagram, first);
    EXPECT_EQ(view.DiagramCount(), 1);
}

TEST_F(ViewTest, FamilyTwoFontStartsWithItsLetters)
{
    const EveryChessFontInstalled fonts;
    AppSettings::FontFaceName = 16;
    CPlaviaView& view = View();
    EXPECT_TRUE(view.m_bLetterFamily2);
    EXPECT_EQ(view.m_nFontCharset, 2);
    EXPECT_EQ(Row(view.m_pCurrentDiagram, 0), "4 + + + +5");
    view.OnEditStandardStartPosition();
    EXPECT_EQ(Row(view.m_pCurrentDiagram, 7), "4RhBqKbHr5");
}

TEST_F(ViewTest, AutoCommentsNumberFromTheStartNumber)
{
    SettingsState::legalCheckActive = false; // empty boards are left here
    MessageBoxScript boxes;
    CPlaviaView& view = View();
    view.m_nStartNumber = 5;
    view.OnAutoComments();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "You are now in auto comments mode.");
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONINFORMATION));
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "Diagram 5");
    view.OnAddDiagram();
    view.OnAddDiagram();
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "Diagram 7");
    EXPECT_EQ(view.m_pCurrentDiagram->commentOpcode, "c0");
    // Inserting does not renumber the diagrams after it.
    view.GoToDiagram(1);
    view.OnInsertDiagram();
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "Diagram 6");
    EXPECT_EQ(view.m_pLastDiagram->comment, "Diagram 7");
    view.OnAutoComments();
    EXPECT_EQ(boxes.asked.back().text, "End of auto comments mode");
    view.OnAddDiagram();
    EXPECT_TRUE(view.m_pCurrentDiagram->comment.empty());
}

TEST_F(ViewTest, AddInNumbersModeChoosesNumberOneAndInsertOnTailIsAdd)
{
    SettingsState::legalCheckActive = false; // empty boards are left here
    CPlaviaView& view = View();
    GlobalModes::numbersMode = true;
    view.OnInsertDiagram(); // on the tail: exactly Add
    EXPECT_EQ(GlobalModes::currentPiece, '1');
    EXPECT_EQ(view.m_nPaletteRow, 0);
    EXPECT_EQ(view.m_nPaletteColumn, 1);
    EXPECT_EQ(view.DiagramCount(), 2);
    EXPECT_FALSE(view.m_bModified);
    view.GoToDiagram(1);
    view.OnInsertDiagram();
    EXPECT_EQ(GlobalModes::currentPiece, 'k');
    EXPECT_EQ(view.m_nCurrentIndex, 1);
}

TEST_F(ViewTest, ConfirmDeleteAsksOnlyForBoardsWithPieces)
{
    SettingsState::legalCheckActive = false; // empty boards are left here
    AppSettings::DeleteWarning = 1;
    CPlaviaView& view = View();
    view.OnAddDiagram();
    DialogScript dialogs;
    view.OnDeleteDiagram(); // empty board: nothing is asked
    EXPECT_EQ(dialogs.shown, 0);
    EXPECT_EQ(view.DiagramCount(), 1);
    EXPECT_TRUE(view.m_bModified);

    view.SetBoardPosition(1);
    dialogs.Then([](CDialog& d) {
        d.findChild<QCheckBox*>("IDC_1023")->setChecked(true);
        return int(IDCANCEL);
    });
    view.OnDeleteDiagram();
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_TRUE(view.BoardHasPieces()); // Cancel keeps the diagram
    EXPECT_EQ(AppSettings::DeleteWarning, 0); // and the ticked box still turns the warning off
    view.OnDeleteDiagram();
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_FALSE(view.BoardHasPieces());

    AppSettings::DeleteWarning = 1;
    view.SetBoardPosition(1);
    dialogs.Then([](CDialog&) { return int(IDOK); });
    view.OnEditClearBoard();
    EXPECT_EQ(dialogs.shown, 2);
    EXPECT_FALSE(view.BoardHasPieces());
    EXPECT_EQ(AppSettings::DeleteWarning, 1);
}

TEST_F(ViewTest, FileNewLeavesOneEmptyDiagram)
{
    SettingsState::legalCheckActive = false; // empty boards are left here
    CPlaviaView& view = View();
    for (int i = 0; i < 12; ++i) view.OnAddDiagram();
    view.SetBoardPosition(1);
    view.m_bModified = true;
    view.m_nStartNumber = 4;
    view.m_strExtension = "epd";
    view.OnFileNew();
    EXPECT_EQ(view.DiagramCount(), 1);
    EXPECT_EQ(view.m_nPageCount, 1);
    EXPECT_EQ(view.m_strExtension, "bnx");
    EXPECT_EQ(view.m_nStartNumber, 1);
    EXPECT_FALSE(view.m_bModified);
    EXPECT_FALSE(view.BoardHasPieces());
    EXPECT_TRUE(GlobalModes::editorMode);
    EXPECT_EQ(view.m_pFirstPage, view.m_pLastPage);
    EXPECT_EQ(view.m_pCurrentPage, view.m_pFirstPage);
    EXPECT_EQ(Frame().windowTitle(), "No Name - Brennix 4.3");
}

struct SizeCase {
    const char* name;
    int typed;
    int coordinates;
    int square;
};
void PrintTo(const SizeCase& c, std::ostream* out)
{
    *out << c.name;
}
class DiagramSize : public ViewTest, public ::testing::WithParamInterface<SizeCase> { };

TEST_P(DiagramSize, SizeCommandSetsSquareAndPlacement)
{
    const SizeCase& c = GetParam();
    AppSettings::PNGSaveCoords = static_cast<uint8_t>(c.coordinates);
    CPlaviaView& view = View();
    MessageBoxScript boxes;
    DialogScript dialogs;
    dialogs.Then([&c](CDialog& d) {
        auto* edit = d.findChild<QLineEdit*>("IDC_1011");
        EXPECT_EQ(edit->text(), "450");
        edit->setText(QString::number(c.typed));
        return int(IDOK);
    });
    RECT palette = view.m_rectPalette;
    view.OnDiagramSize();
    if (c.square == 0) {
        EXPECT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(view.m_nSquareSize, 51);
        EXPECT_EQ(AppSettings::FileFormat, 450);
        return;
    }
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(AppSettings::FileFormat, c.typed);
    EXPECT_EQ(view.m_nSquareSize, c.square);
    EXPECT_EQ(view.m_rectBoard, (RECT { 115, 54, 115 + 9 * c.square, 54 + 9 * c.square }));
    EXPECT_EQ(view.m_rectPalette,
        (RECT { 115 + 11 * c.square, palette.top, 115 + 15 * c.square, 54 + 8 * c.square }));
}

INSTANTIATE_TEST_SUITE_P(Table, DiagramSize,
    ::testing::Values(SizeCase { "DefaultWithCoordinates", 450, 1, 50 },
        SizeCase { "DefaultWithoutCoordinates", 450, 0, 52 },
        SizeCase { "SmallestWithCoordinates", 90, 1, 10 }, SizeCase { "TooSmallWithCoordinates", 89, 1, 0 },
        SizeCase { "TooSmallWithoutCoordinates", 84, 0, 0 },
        SizeCase { "SmallestWithoutCoordinates", 85, 0, 10 }, SizeCase { "Zero", 0, 1, 0 },
        // The largest squares the board is drawn with: 400 pixels.
        SizeCase { "LargestWithCoordinates", 3608, 1, 400 },
        SizeCase { "TooLargeWithCoordinates", 3609, 1, 0 },
        SizeCase { "LargestWithoutCoordinates", 3408, 0, 400 },
        SizeCase { "TooLargeWithoutCoordinates", 3409, 0, 0 }, SizeCase { "FarTooLarge", 999999, 1, 0 }),
    [](const ::testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.name); });

TEST_F(ViewTest, DiagramSizeMessagesNameTheBounds)
{
    CPlaviaView& view = View();
    MessageBoxScript boxes;
    DialogScript dialogs;
    for (const char* typed : { "80", "999999" })
        dialogs.Then([typed](CDialog& d) {
            d.findChild<QLineEdit*>("IDC_1011")->setText(typed);
            return int(IDOK);
        });
    view.OnDiagramSize();
    view.OnDiagramSize();
    ASSERT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(boxes.asked[0].text,
        "The square size must be at least 10 pixels: a picture of at least 90 pixels is needed.");
    EXPECT_EQ(boxes.asked[1].text,
        "The square size can be at most 400 pixels: a picture of at most 3608 pixels is allowed.");
}

TEST_F(ViewTest, FairyModeNeedsItsFontAndRestoresTheLegalityCheck)
{
    MessageBoxScript boxes;
    CPlaviaView& view = View();
    SettingsState::legalCheckActive = true;
    view.OnFairyMode();
    EXPECT_TRUE(GlobalModes::fairyMode);
    EXPECT_FALSE(SettingsState::legalCheckActive);
    view.m_bSavedLegalCheck = true;
    SettingsState::legalCheckActive = false;
    view.OnFairyMode();
    EXPECT_TRUE(SettingsState::legalCheckActive);
    view.m_strFontFace = "Chess Merida";
    view.OnFairyMode();
    EXPECT_FALSE(GlobalModes::fairyMode);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Fairy chess mode work only with \"Varnok Fairy\", change the font.");
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
}

TEST_F(ViewTest, MenusFollowTheUpdateHandlers)
{
    CMainFrame& frame = Frame();
    MenuBuilder* menus = frame.Menus();
    menus->UpdateAll();
    QAction* add = menus->ActionFor(140);
    ASSERT_NE(add, nullptr);
    EXPECT_TRUE(add->isVisible());
    EXPECT_TRUE(add->isEnabled());
    EXPECT_EQ(add->shortcut(), QKeySequence("Ctrl+J"));
    EXPECT_EQ(MenuBuilder::Prompt(140), "Creates a new empty position at the end of the list");
    GlobalModes::correctionMode = true;
    menus->UpdateAll();
    EXPECT_FALSE(add->isEnabled());
    EXPECT_FALSE(CommandRouter::Instance().Execute(140));
    GlobalModes::correctionMode = false;
    QAction* editor = menus->ActionFor(32779);
    menus->UpdateAll();
    EXPECT_TRUE(editor->isChecked());
    EXPECT_TRUE(CommandRouter::Instance().Execute(32779));
    menus->UpdateAll();
    EXPECT_FALSE(editor->isChecked());
    EXPECT_FALSE(menus->ActionFor(140)->isEnabled());
    QAction* keys = menus->ActionFor(40039);
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->shortcut(), QKeySequence("Ctrl+Alt+S"));
    EXPECT_EQ(menus->ActionFor(198)->shortcut(), QKeySequence("Ctrl+Alt+N"));
}

} // namespace
