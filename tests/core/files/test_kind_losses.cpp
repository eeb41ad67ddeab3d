// What each kind of file loses of a list is found in the list, and it is exactly what a file of that
// kind, written and read back, does not give back.
#include "FilesTestSupport.h"
#include "positions/DiagramList.h"
#include "positions/KindLosses.h"
#include "positions/MarkEditing.h"
#include "positions/Marks.h"
#include "positions/PositionFile.h"
#include "tests/support/ListDifferences.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace {

using namespace KindLosses;
using PositionFile::Kind;

struct LossCase {
    const char* name;
    std::function<void(DiagramList&)> make; // what the list holds beside two positions
    unsigned lostInEpd; // lost by an .epd file whose lines carry operations
    unsigned lostInFen;
};

void PrintTo(const LossCase& c, std::ostream* os)
{
    *os << c.name;
}

DiagramRecord& Second(DiagramList& list)
{
    return *list.m_pFirstDiagram->next;
}

const unsigned boardOnly = BoardMarks | ColouredSquares | Flip | TurnedPieces | PageTexts | StartNumber;

const std::vector<LossCase> cases = {
    { "PositionsOnly", [](DiagramList&) {}, 0, 0 },
    { "Arrow",
        [](DiagramList& l) {
            Second(l).marks.Set(0, { 12, 28, MarkRed });
            Second(l).markCount = 1;
        },
        BoardMarks, BoardMarks },
    { "NumberInASquare",
        [](DiagramList& l) {
            l.m_pFirstDiagram->marks.Set(3, { 20, 20, MarkNumberFirst });
            l.m_pFirstDiagram->markCount = 1;
        },
        BoardMarks, BoardMarks },
    // The en-passant arrow is made again from the en-passant field.
    { "EnPassantArrowOnly",
        [](DiagramList& l) {
            for (DiagramRecord* r = l.m_pFirstDiagram; r; r = r->next) {
                r->enPassantFile = "d";
                Marks::AddDoubleStepArrow(*r, 'd', false);
            }
        },
        0, 0 },
    { "ColouredSquare",
        [](DiagramList& l) {
            Second(l).colours.Set(3, 5, 2);
            Second(l).colouredCount = 1;
        },
        ColouredSquares, ColouredSquares },
    { "Flipped", [](DiagramList& l) { Second(l).flipped = 1; }, Flip, Flip },
    { "TurnedKing",
        [](DiagramList& l) {
            DiagramRecord& r = *l.m_pFirstDiagram;
            r.rotations.Set(7, 5, 4);
            r.board[7][5] = MarkEditing::RotatedFairyLetter(r.board[7][5], 4);
            l.m_bFairyMarks = true;
        },
        TurnedPieces, TurnedPieces },
    { "UpsideDownKing",
        [](DiagramList& l) {
            Second(l).rotations.Set(0, 5, 2);
            l.m_bFairyMarks = true;
        },
        TurnedPieces, TurnedPieces },
    { "PageTitle", [](DiagramList& l) { l.m_pFirstPage->title = "Studies"; }, PageTexts, PageTexts },
    { "InfoTextOnly", [](DiagramList& l) { l.m_pFirstPage->infoText = "mine"; }, PageTexts, PageTexts },
    { "StartNumber", [](DiagramList& l) { l.m_nStartNumber = 5; }, StartNumber, StartNumber },
    { "Comment",
        [](DiagramList& l) {
            Second(l).comment = "a \"quoted\" Startnum 3 text";
            Second(l).commentOpcode = "c3";
        },
        0, Comments },
    { "HeadCommentLikeAStartNumber",
        [](DiagramList& l) {
            l.m_pFirstDiagram->comment = "Startnum 7 is my text";
            l.m_pFirstDiagram->commentOpcode = "c0";
        },
        0, Comments },
    { "CommentOnTwoLines",
        [](DiagramList& l) {
            l.m_pFirstDiagram->comment = "first\r\nsecond";
            l.m_pFirstDiagram->commentOpcode = "c0";
        },
        CommentLineBreaks, Comments },
    { "Operations", [](DiagramList& l) { Second(l).epdOpsAfter = "id \"SUITE.002\";"; }, 0, Operations },
    { "MoveNumbers",
        [](DiagramList& l) {
            Second(l).fullmoveNumber = "31";
            Second(l).halfmoveClock = "4";
        },
        0, 0 },
    { "DefaultMoveNumbers",
        [](DiagramList& l) {
            Second(l).fullmoveNumber = "1";
            Second(l).halfmoveClock = "0";
        },
        0, 0 },
    { "Everything",
        [](DiagramList& l) {
            DiagramRecord& r = Second(l);
            r.marks.Set(0, { 12, 28, MarkBlue });
            r.markCount = 1;
            r.colours.Set(0, 1, 1);
            r.colouredCount = 1;
            r.flipped = 1;
            r.rotations.Set(4, 4, 1);
            r.comment = "x\r\ny";
            r.commentOpcode = "c0";
            r.epdOpsBefore = "bm Kd2;";
            r.fullmoveNumber = "9";
            l.m_pFirstPage->topText = "top\r\ntext";
            l.m_nStartNumber = 12;
            l.m_bFairyMarks = true;
        },
        boardOnly | CommentLineBreaks, boardOnly | Comments | Operations },
};

DiagramList& Base(DiagramList& list)
{
    const std::string king = "4k3/8/8/8/8/8/8/4K3 w - -\r\n";
    ReadText(king + "r3k2r/pp6/8/8/8/8/8/R3K2R b KQkq -\r\n", OptionsFor("epd", false), list);
    return list;
}

struct Kinds {
    const char* extension;
    bool epdMode; // the list's lines are in EPD form
};

class KindLossesTest : public ::testing::TestWithParam<LossCase> { };

TEST_P(KindLossesTest, NamedFromTheListAndExactlyWhatTheFileDoesNotGiveBack)
{
    const LossCase& c = GetParam();
    for (Kinds k : { Kinds { "bnx", true }, Kinds { "bnx", false }, Kinds { "epd", true },
             Kinds { "epd", false }, Kinds { "txt", true }, Kinds { "txt", false }, Kinds { "chess", true },
             Kinds { "fen", true }, Kinds { "fen", false } }) {
        SCOPED_TRACE(::testing::Message() << k.extension << (k.epdMode ? " in EPD form" : " in FEN form"));
        DiagramList list;
        c.make(Base(list));
        list.m_bEpdMode = k.epdMode;
        const Kind kind = PositionFile::KindOf(k.extension);
        const unsigned named = KindLosses::Lost(list, kind);

        PositionFile::WriteOptions write;
        write.extension = k.extension;
        write.legalPosition = false;
        std::ostringstream out;
        ASSERT_TRUE(PositionFile::WriteList(list, write, out));
        DiagramList back;
        const PositionFile::ReadResult read = ReadText(out.str(), OptionsFor(k.extension, false), back);
        ASSERT_EQ(read.status, PositionFile::ReadStatus::Ok);
        EXPECT_TRUE(read.errors.Empty());
        EXPECT_EQ(named, ListDifferences::Lost(ListDifferences::StateOf(list), ListDifferences::StateOf(back)));

        // What the table says of the kinds, so that the comparison above is not of two empty sets.
        if (kind == Kind::Bnx) EXPECT_EQ(named, 0u);
        if (kind == Kind::Fen) EXPECT_EQ(named, c.lostInFen);
        if (kind == Kind::Epd && k.epdMode) EXPECT_EQ(named, c.lostInEpd);
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, KindLossesTest, ::testing::ValuesIn(cases),
    [](const ::testing::TestParamInfo<LossCase>& info) { return std::string(info.param.name); });

TEST(KindLosses, OnlyFenAndPgnLinesLoseCommentsOperationsAndMoveNumbers)
{
    DiagramList list;
    Base(list);
    Second(list).comment = "kept?";
    Second(list).commentOpcode = "c0";
    Second(list).epdOpsMiddle = "dm 3;";
    Second(list).halfmoveClock = "7";
    // Lines read in FEN form still carry operations in an EPD or text file.
    list.m_bEpdMode = false;
    for (Kind kind : { Kind::Epd, Kind::Text, Kind::Other })
        EXPECT_EQ(KindLosses::Lost(list, kind), 0u);
    // A FEN line keeps the move numbers in its own fields.
    EXPECT_EQ(KindLosses::Lost(list, Kind::Fen), unsigned(Comments | Operations));
    // A PGN file is never read as a list.
    EXPECT_EQ(KindLosses::Lost(list, Kind::Pgn), unsigned(Comments | Operations | MoveNumbers));
}

TEST(KindLosses, PartsAreNamedInTheirOwnOrder)
{
    EXPECT_EQ(KindLosses::PartsInOrder(MoveNumbers | BoardMarks | PageTexts),
        (std::vector<Part> { BoardMarks, PageTexts, MoveNumbers }));
    EXPECT_TRUE(KindLosses::PartsInOrder(0).empty());
}

} // namespace
