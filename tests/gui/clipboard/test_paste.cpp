#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "positions/BoardText.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPaintEvent>

using namespace Win32;

namespace {

const std::string top1 = "!\"\"\"\"\"\"\"\"#";
const char* const startRows[8] = { "$tMvWlVmT%", "$OoOoOoOo%", "$ + + + +%", "$+ + + + %", "$ + + + +%",
    "$+ + + + %", "$pPpPpPpP%", "$RnBqKbNr%" };

// A chess-font text: the top frame, then the rows each ended by lineEnd.
std::string FontText(std::vector<std::string> rows, const char* lineEnd = "\n")
{
    std::string text = top1 + lineEnd;
    for (const std::string& row : rows) text += row + lineEnd;
    return text + "/(((((((()";
}
std::vector<std::string> StartRows()
{
    return { std::begin(startRows), std::end(startRows) };
}
std::vector<std::string> StartRowsWith(int row, const std::string& text)
{
    std::vector<std::string> rows = StartRows();
    rows[static_cast<size_t>(row)] = text;
    return rows;
}

struct PasteCase {
    const char* name;
    std::string text;
    bool check; // the legality check is on
    bool accepted;
    // When accepted: rank 1 as pasted, and the position data the diagram then has.
    const char* rank1 = "";
    uint32_t blackToMove = 0;
    const char* castling = "";
    const char* enPassant = "";
    const char* halfmove = "";
    const char* fullmove = "";
};
void PrintTo(const PasteCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string Castling(const DiagramRecord& r)
{
    std::string s;
    if (r.castleWhiteShort) s += 'K';
    if (r.castleWhiteLong) s += 'Q';
    if (r.castleBlackShort) s += 'k';
    if (r.castleBlackLong) s += 'q';
    return s;
}

class PasteTable : public ProgramTest, public ::testing::WithParamInterface<PasteCase> { };

// Every paste starts on the same diagram: the start position with Black to move, all castling rights,
// an e.p. file and counters, none of which a paste may leave behind unless the text keeps them.
TEST_P(PasteTable, PasteChangesTheDiagramOrNothing)
{
    const PasteCase& c = GetParam();
    SettingsState::legalCheckActive = c.check;
    CPlaviaView& view = View();
    view.m_bEpdMode = false;
    view.m_bDeriveCastling = false;
    view.SetBoardPosition(1);
    DiagramRecord& r = *view.m_pCurrentDiagram;
    r.blackToMove = 1;
    r.enPassantFile = "e";
    r.halfmoveClock = "7";
    r.fullmoveNumber = "33";
    view.m_bModified = false;
    const DiagramRecord before = r;

    MessageBoxScript boxes;
    ASSERT_TRUE(Clipboard::SetData(c.text));
    view.OnEditPaste();
    if (!c.accepted) {
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].text, "There is not a valid position in the clipboard.");
        EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
        EXPECT_EQ(r.board, before.board);
        EXPECT_EQ(r.blackToMove, before.blackToMove);
        EXPECT_EQ(Castling(r), "KQkq");
        EXPECT_EQ(r.enPassantFile, before.enPassantFile);
        EXPECT_EQ(r.fullmoveNumber, before.fullmoveNumber);
        EXPECT_FALSE(view.m_bModified);
        return;
    }
    EXPECT_TRUE(boxes.asked.empty()) << boxes.asked[0].text;
    EXPECT_EQ(std::string(r.board[7].data()), c.rank1);
    EXPECT_EQ(r.blackToMove, c.blackToMove);
    EXPECT_EQ(Castling(r), c.castling);
    EXPECT_EQ(r.enPassantFile, c.enPassant);
    EXPECT_EQ(r.halfmoveClock, c.halfmove);
    EXPECT_EQ(r.fullmoveNumber, c.fullmove);
    EXPECT_TRUE(view.m_bModified);
}

// Two white kings; and a white king in check by a rook, which is a fault only of the side to move.
const std::vector<std::string> twoWhiteKings = StartRowsWith(7, "$RnBqKbKr%");
const std::vector<std::string> whiteInCheck = { "$ + +l+ +%", "$+ + + + %", "$ + + + +%", "$+ + + + %",
    "$ + +t+ +%", "$+ + + + %", "$ + + + +%", "$+ + K + %" };

INSTANTIATE_TEST_SUITE_P(Paste, PasteTable,
    ::testing::Values(
        // FEN texts: the fields given replace the diagram's, those not given are reset.
        PasteCase { "FenSixFields", "4k3/8/8/8/8/8/8/4K2R w K - 3 40", true, true, "$+ + K +r%", 0, "K", "",
            "3", "40" },
        PasteCase { "FenWithLineEnd", "4k3/8/8/8/8/8/8/4K2R b - - 0 12\r\n", true, true, "$+ + K +r%", 1, "",
            "", "0", "12" },
        PasteCase {
            "FenPieceFieldOnly", "4k3/8/8/8/8/8/8/4K2R", true, true, "$+ + K +r%", 0, "", "", "0", "1" },
        PasteCase { "FenSideOnly", "4k3/8/8/8/8/8/8/4K2R b", true, true, "$+ + K +r%", 1, "", "", "0", "1" },
        PasteCase { "FenFourFields", "4k3/8/8/8/4P3/8/8/4K2R b K e3", true, true, "$+ + K +r%", 1, "K", "e",
            "0", "1" },
        PasteCase {
            "FenFiveFields", "4k3/8/8/8/8/8/8/4K2R w K - 9", true, true, "$+ + K +r%", 0, "K", "", "9", "1" },
        PasteCase { "FenWithoutKings", "8/8/8/8/8/8/8/8 w - - 0 1", true, false },
        PasteCase { "NotAPosition", "not a position at all", true, false },
        PasteCase { "FenWithoutKingsCheckOff", "8/8/8/8/8/8/8/8 w - - 0 1", false, true, "$+ + + + %", 0, "",
            "", "0", "1" },
        // Chess-font texts: the board only; the diagram keeps its side, castling, e.p. and counters.
        PasteCase { "FontTextCrLf", FontText(StartRowsWith(7, "$R B K Nr%"), "\r\n"), true, true,
            "$R B K Nr%", 1, "KQkq", "e", "7", "33" },
        PasteCase { "FontTextLineFeeds", FontText(StartRowsWith(7, "$R B K Nr%")), true, true, "$R B K Nr%",
            1, "KQkq", "e", "7", "33" },
        PasteCase { "FontTextSevenRows",
            top1
                + "\n$tMvWlVmT%\n$OoOoOoOo%\n$ + + + +%\n$+ + + + %\n$ + + + +%\n"
                  "$+ + + + %\n$pPpPpPpP%\n",
            true, false },
        PasteCase { "FontTextLongRows", FontText(StartRowsWith(3, "$+ + + + %xxxx")), true, false },
        PasteCase {
            "FontTextNulByte", FontText(StartRowsWith(3, std::string("$+ +\0+ + %", 10))), true, false },
        PasteCase { "FontTextRtfBraces", FontText(StartRowsWith(3, "${ + \\ + }")), true, false },
        PasteCase { "FontTextOtherFamily",
            "1222222223\n4tJnWlNjT5\n4OoOoOoOo5\n4 + + + +5\n4+ + + + 5\n"
            "4 + + + +5\n4+ + + + 5\n4pPpPpPpP5\n4RhBqKbHr5\n6777777778",
            true, false },
        PasteCase { "FontTextIllegalBoard", FontText(twoWhiteKings), true, false },
        PasteCase { "FontTextIllegalBoardCheckOff", FontText(twoWhiteKings), false, true, "$RnBqKbKr%", 1,
            "KQkq", "e", "7", "33" },
        // The side to move is not in the text: a check on the side not to move waits for the leave check.
        PasteCase { "FontTextCheckOnTheSideNotToMove", FontText(whiteInCheck), true, true, "$+ + K + %", 1,
            "KQkq", "e", "7", "33" }),
    [](const ::testing::TestParamInfo<PasteCase>& info) { return info.param.name; });

class PasteTest : public ProgramTest {
protected:
    // The diagram a BNX copy is taken from: marks, a comment and its own position data.
    void MakeSource()
    {
        CPlaviaView& view = View();
        view.m_bDeriveCastling = false;
        view.SetBoardPosition(1);
        DiagramRecord& r = *view.m_pCurrentDiagram;
        r.comment = "Main line";
        r.commentOpcode = "c0";
        r.displayComment = "b KQkq Main line";
        r.blackToMove = 1;
        r.marks.Set(0, { 52, 36, MarkRed });
        r.markCount = 1;
    }
    const std::string fen = "4k3/8/8/8/8/8/8/4K2R w K - 0 1";
};

TEST_F(PasteTest, BnxCopyEndsWhenAnotherProgramTakesTheClipboard)
{
    SettingsState::legalCheckActive = false;
    CPlaviaView& view = View();
    MakeSource();
    view.OnCopyBnx();
    ASSERT_TRUE(GlobalModes::bnxCopyPending);
    // Another program copies a FEN: its text arrives as plain Unicode text, as from any other program.
    QGuiApplication::clipboard()->setText(QString::fromStdString(fen));
    view.OnAddDiagram();
    view.OnEditPaste();
    DiagramRecord& pasted = *view.m_pCurrentDiagram;
    EXPECT_FALSE(GlobalModes::bnxCopyPending);
    EXPECT_EQ(std::string(pasted.board[7].data()), "$+ + K +r%");
    EXPECT_TRUE(pasted.comment.empty());
    EXPECT_EQ(pasted.markCount, 0u);
    EXPECT_EQ(pasted.blackToMove, 0u);
    EXPECT_EQ(Castling(pasted), "K");
}

TEST_F(PasteTest, BnxCopyEndsWithAFenCopyAndLastsWhileTheClipboardHoldsIt)
{
    SettingsState::legalCheckActive = false;
    CPlaviaView& view = View();
    MakeSource();
    view.OnCopyBnx();
    // Another window of ours reading the clipboard, or a clipboard manager keeping it, changes nothing.
    QMimeData* same = new QMimeData;
    for (const QString& format : QGuiApplication::clipboard()->mimeData()->formats())
        same->setData(format, QGuiApplication::clipboard()->mimeData()->data(format));
    QGuiApplication::clipboard()->setMimeData(same);
    view.OnAddDiagram();
    view.OnEditPaste();
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "Main line");
    EXPECT_EQ(view.m_pCurrentDiagram->markCount, 1u);

    view.OnCopyFen();
    EXPECT_FALSE(GlobalModes::bnxCopyPending);
    view.OnAddDiagram();
    view.OnEditPaste();
    EXPECT_TRUE(view.m_pCurrentDiagram->comment.empty());
    EXPECT_EQ(view.m_pCurrentDiagram->markCount, 0u);
}

// Records which parts of a widget get painted.
class PaintSpy : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST_F(PasteTest, TheLabelShowsThePastedRecordAtOnce)
{
    SettingsState::legalCheckActive = false;
    CPlaviaView& view = View();
    Frame().show();
    QApplication::processEvents();
    MakeSource();
    view.OnCopyBnx();
    view.OnAddDiagram();
    QApplication::processEvents();
    const RECT label = view.m_rectTextDevice;
    ASSERT_FALSE(label.IsEmpty());

    PaintSpy spy;
    view.installEventFilter(&spy);
    view.OnEditPaste();
    QApplication::processEvents();
    view.removeEventFilter(&spy);
    EXPECT_EQ(view.m_pCurrentDiagram->displayComment, "b KQkq Main line");
    EXPECT_TRUE(spy.painted.contains(QRect(label.left, label.top, label.Width(), label.Height())))
        << "painted: " << spy.painted.boundingRect().x() << "," << spy.painted.boundingRect().y() << " "
        << spy.painted.boundingRect().width() << "x" << spy.painted.boundingRect().height();
}

TEST_F(PasteTest, FenPasteMovesTheDoubleStepArrowToItsOwnSquare)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    view.m_pCurrentDiagram->enPassantFile = "c";
    view.AddDoubleStepArrow("c", 0);
    ASSERT_EQ(view.m_pCurrentDiagram->markCount, 1u);
    Clipboard::SetData("4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1");
    view.OnEditPaste();
    int arrows = 0;
    for (const MarkSlot& m : view.m_pCurrentDiagram->marks) {
        if (m.type != MarkDoubleStep) continue;
        ++arrows;
        EXPECT_EQ(m.from, Square::FromName("e2").MarkNumber());
        EXPECT_EQ(m.to, Square::FromName("e4").MarkNumber());
    }
    EXPECT_EQ(arrows, 1);
    Clipboard::SetData("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    view.OnEditPaste();
    EXPECT_EQ(view.m_pCurrentDiagram->markCount, 0u);
}

} // namespace
