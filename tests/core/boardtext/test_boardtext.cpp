#include "positions/BoardText.h"
#include "positions/DiagramList.h"

#include <gtest/gtest.h>

namespace {

DiagramRecord StartPosition(bool family2 = false)
{
    DiagramList list;
    list.m_bLetterFamily2 = family2;
    list.SetBorderLetters();
    list.AddHeaderNode(false, true);
    list.CreateFirstDiagram();
    list.SetBoardPosition(1);
    return *list.m_pCurrentDiagram;
}

const std::string top1 = "!\"\"\"\"\"\"\"\"#";

TEST(BoardText, PlainTextOfTheStartPositionAndBack)
{
    DiagramRecord start = StartPosition();
    std::string text = BoardText::PlainText(start, false, false);
    EXPECT_EQ(text,
        top1
            + "\r\n$tMvWlVmT%\n$OoOoOoOo%\n$ + + + +%\n$+ + + + %\n$ + + + +%\n$+ + + + "
              "%\n$pPpPpPpP%\n$RnBqKbNr%\n"
              "/(((((((()");
    DiagramRecord pasted;
    EXPECT_FALSE(BoardText::ParseBoardText(text, pasted));
    EXPECT_EQ(pasted.board, start.board);
    // Fewer than eight rows is no board; rows too long for a row are cut, never overrun.
    EXPECT_TRUE(BoardText::ParseBoardText(top1 + "\r\n$tMvWlVmT%\n", pasted));
    std::string longRows = top1 + "\r\n";
    for (int i = 0; i < 8; ++i) longRows += "$ + + + +%xxxxxxxxxxxxxxxxxxxxxxxxx\n";
    EXPECT_FALSE(BoardText::ParseBoardText(longRows, pasted));
    EXPECT_EQ(std::string(pasted.board[7].data()), "$ + + + +%");
    EXPECT_EQ(BoardText::PlainText(StartPosition(true), true, true).substr(0, 12), "1222222223\r\n");
    EXPECT_EQ(BoardText::PlainText(StartPosition(true), true, false).substr(100), "6777777778");
}

struct RtfCase {
    const char* face;
    int index;
    bool family2, withoutBorder, coordinates, flipped;
    const char* contains;
    const char* endsWith;
};

class RtfVariants : public ::testing::TestWithParam<RtfCase> { };

TEST_P(RtfVariants, FontTableRowsAndFrames)
{
    const RtfCase& c = GetParam();
    DiagramRecord start = StartPosition(c.family2);
    start.flipped = c.flipped;
    BoardText::RtfOptions o;
    o.fontFace = c.face;
    o.fontIndex = c.index;
    o.family2 = c.family2;
    o.withoutBorder = c.withoutBorder;
    o.pictureCoordinates = c.coordinates;
    o.flipped = c.flipped;
    o.halfPoints = BoardText::CopyHalfPoints(51, 0.0f);
    std::string rtf = BoardText::Rtf(BoardText::DisplayRows(start), o);
    EXPECT_EQ(
        rtf.find("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset"),
        0u);
    EXPECT_NE(rtf.find("\\fs71 "), std::string::npos);
    EXPECT_NE(rtf.find(c.contains), std::string::npos) << rtf;
    EXPECT_TRUE(rtf.ends_with(c.endsWith)) << rtf;
}

INSTANTIATE_TEST_SUITE_P(Table, RtfVariants,
    ::testing::Values(
        // Coordinates in a family-1 face: rank glyphs from 0xE7 down, file glyphs 0xE8..0xEF.
        RtfCase { "Chess Merida", 5, false, false, true, false, "\\fcharset2 Chess Merida;}",
            "/\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF)\\f1\\line }" },
        RtfCase { "Chess Merida", 5, false, false, true, false, "\\line \\'e7tMvWlVmT%\\line ", "}" },
        RtfCase { "Chess Merida", 5, false, false, true, true, "\\line \\'e0",
            "/\xEF\xEE\xED\xEC\xEB\xEA\xE9\xE8)\\f1\\line }" },
        RtfCase { "Chess Merida", 5, false, false, false, false,
            "!\"\"\"\"\"\"\"\"#\r\n\\line $tMvWlVmT%\\line ", "/(((((((()\\f1\\line }" },
        // No border: eight rows of eight squares.
        RtfCase { "Chess Cases", 1, false, true, true, false, "\\fcharset0 Chess Cases;}", "RnBqKbNr\\f1}" },
        // The fairy face without coordinates writes its own frame letters.
        RtfCase { "Varnok Fairy", 2, false, false, false, false, "1\"\"\"\"\"\"\"\"2\\line ztMvWlVmTz\\line ",
            "3((((((((4\\f1\\line }" },
        RtfCase { "Chess Berlin", 16, true, false, true, false, "1222222223\r\n\\line 4tJnWlNjT5",
            "7888888889\\f1\\line }" },
        RtfCase { "Chess Alpha", 17, true, false, true, false, "\\'c7tJnWlNjT5",
            "6\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
            "8\\f1\\line }" }));

TEST(BoardText, CopySizeAndSquareMarkers)
{
    EXPECT_EQ(BoardText::CopyHalfPoints(51, 0.0f), 71);
    EXPECT_EQ(BoardText::CopyHalfPoints(51, 10.5f), 20);
    DiagramRecord r = StartPosition();
    r.marks[0] = { 20, 0, MarkSquare1 }; // d6: row 2, column 4, even
    r.marks[1] = { 21, 0, MarkSquare2 }; // e6: odd
    r.marks[2] = { 24, 0, MarkSquare1 }; // column 0 of row 3 is h6 of row 2
    r.marks[3] = { 1, 0, MarkSquare1 }; // a8 holds a rook: no marker
    FontBoard rows = BoardText::OverlaySquareMarkers(BoardText::DisplayRows(r), r);
    EXPECT_EQ(std::string(rows[2].data()), "$ + ,'+ ,%");
    EXPECT_EQ(std::string(rows[0].data()), "$tMvWlVmT%");
}

} // namespace
