#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "tests/support/TestEnvironment.h"

#include <QLineEdit>

namespace {

using ClipboardTest = ProgramTest;

TEST_F(ClipboardTest, RtfCopyPutsTextAndRtfAndPastesBack)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    FontBoard start = view.m_pCurrentDiagram->board;
    view.OnCopyRtf();
    ASSERT_TRUE(Clipboard::GetRtf().has_value());
    EXPECT_NE(Clipboard::GetRtf()->find("Varnok Fairy"), std::string::npos);
    EXPECT_EQ(Clipboard::GetText()->substr(0, 10), "!\"\"\"\"\"\"\"\"#");
    view.SetBoardPosition(0);
    view.m_bModified = false;
    view.OnEditPaste();
    EXPECT_EQ(view.m_pCurrentDiagram->board, start);
    // A pasted board is a change to the list: New, Open and Exit must ask before dropping it.
    EXPECT_TRUE(view.m_bModified);
}

TEST_F(ClipboardTest, FenCopyAndPasteGoThroughTheFenReader)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    view.m_pCurrentDiagram->blackToMove = 1;
    view.OnCopyFen();
    EXPECT_FALSE(Clipboard::GetRtf().has_value());
    EXPECT_EQ(*Clipboard::GetText(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    view.SetBoardPosition(0);
    Clipboard::SetData("4k3/8/8/8/8/8/8/4K2R w K - 3 40");
    view.OnEditPaste();
    EXPECT_EQ(std::string(view.m_pCurrentDiagram->board[7].data()), "$+ + K +r%");
    EXPECT_EQ(view.m_pCurrentDiagram->castleWhiteShort, 1u);
    EXPECT_EQ(view.m_pCurrentDiagram->fullmoveNumber, "40");
}

TEST_F(ClipboardTest, InvalidClipboardChangesNothing)
{
    MessageBoxScript boxes;
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    FontBoard start = view.m_pCurrentDiagram->board;
    for (const char* text :
        { "8/8/8/8/8/8/8/8 w - - 0 1", "not a position at all", "!\"\"\"\"\"\"\"\"#\r\n$ + + + +%\n" }) {
        Clipboard::SetData(text);
        view.OnEditPaste();
        EXPECT_EQ(view.m_pCurrentDiagram->board, start) << text;
    }
    ASSERT_EQ(boxes.asked.size(), 3u);
    EXPECT_EQ(boxes.asked[0].text, "There is not a valid position in the clipboard.");
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
}

TEST_F(ClipboardTest, BnxCopyCarriesMarksAndCommentToEveryPasteUntilAnRtfCopy)
{
    SettingsState::legalCheckActive = false;
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    view.m_pCurrentDiagram->comment = "Main line";
    view.m_pCurrentDiagram->marks.Set(0, { 52, 36, MarkRed });
    view.m_pCurrentDiagram->markCount = 1;
    view.OnCopyBnx();
    EXPECT_TRUE(GlobalModes::bnxCopyPending);
    view.OnAddDiagram();
    view.OnDeleteDiagram(); // the source may go away: its data was kept
    view.OnAddDiagram();
    view.OnEditPaste();
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "Main line");
    EXPECT_EQ(view.m_pCurrentDiagram->marks[0], (MarkSlot { 52, 36, MarkRed }));
    view.OnAddDiagram();
    view.OnEditPaste();
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "Main line");
    view.OnCopyRtf();
    EXPECT_FALSE(GlobalModes::bnxCopyPending);
    view.OnAddDiagram();
    view.OnEditPaste();
    EXPECT_TRUE(view.m_pCurrentDiagram->comment.empty());
}

TEST_F(ClipboardTest, FontSizeAndBorderCommands)
{
    CPlaviaView& view = View();
    DialogScript dialogs;
    dialogs.Then([](CDialog& d) {
        auto* edit = d.findChild<QLineEdit*>("IDC_1025");
        EXPECT_EQ(edit->text(), "35.5") << "the size derived from squares of 51";
        edit->setText("10.5");
        return int(IDOK);
    });
    view.OnFontSizeForCopy();
    EXPECT_FLOAT_EQ(view.m_fCopyFontSize, 10.5f);
    EXPECT_NE(view.BuildRtfText().find("\\fs20 "), std::string::npos);
    view.OnCopyWithoutBorder();
    EXPECT_EQ(AppSettings::Border, 1);
    EXPECT_TRUE(view.BuildRtfText().ends_with("\\f1}"));
}

} // namespace

#include "platform/RtfReader.h"

namespace {

TEST_F(ClipboardTest, RtfReaderReadsBackTheCopiedBoard)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    std::vector<Rtf::Line> lines = Rtf::Read(view.BuildRtfText());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0][0].fontName, "Varnok Fairy");
    EXPECT_EQ(lines[0][0].halfPoints, 71);
    std::vector<std::string> plain = Rtf::PlainLines(view.BuildRtfText());
    EXPECT_EQ(plain[0], "!\"\"\"\"\"\"\"\"#");
    EXPECT_EQ(plain[1], "\xE7tMvWlVmT%");
    EXPECT_EQ(plain[8], "\xE0RnBqKbNr%");
    EXPECT_EQ(plain[9], "/\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF)");

    // The import dialog's board: a font the table does not hold, a colour table to pass over.
    std::string pgn
        = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\froman Varnok Fairy;}}\n"
          "{\\colortbl\\red0\\green0\\blue0;}\n\\deflang1033\\pard\\tx360\\plain\\f3\\fs45 !\"\"\"\"\"\"\"\"#"
          "\\line\xE7tMvWlVmT%\\line/\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF) \n\\par }";
    std::vector<Rtf::Line> board = Rtf::Read(pgn);
    ASSERT_EQ(board.size(), 3u);
    EXPECT_EQ(board[1][0].halfPoints, 45);
    EXPECT_EQ(board[1][0].fontName, "");
    EXPECT_EQ(board[1][0].bytes, "\xE7tMvWlVmT%");
    EXPECT_EQ(board[2][0].bytes, "/\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF) ");
}

} // namespace
