#include "positions/BoardText.h"
#include "positions/DiagramList.h"

#include <gtest/gtest.h>

#include <cstring>

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

    // A number mark is no square marker: its square stays as it is.
    r.marks[4] = { 27, 27, MarkNumberFirst }; // c5
    r.marks[5] = { 44, 44, MarkNumberLast }; // d3
    rows = BoardText::OverlaySquareMarkers(BoardText::DisplayRows(r), r);
    EXPECT_EQ(std::string(rows[3].data()), "$+ + + + %");
    EXPECT_EQ(std::string(rows[5].data()), "$+ + + + %");

    // Flipped, the markers go where the screen shows their squares: d6 at e3, e6 at d3, h6 at a3.
    r.flipped = 1;
    rows = BoardText::OverlaySquareMarkers(BoardText::DisplayRows(r), r);
    EXPECT_EQ(std::string(rows[5].data()), "$, +', + %");
    EXPECT_EQ(std::string(rows[2].data()), "$ + + + +%");
    EXPECT_EQ(std::string(rows[7].data()), "$TmVlWvMt%") << "rank 8 at the foot, mirrored";
}

// The copy as Writer needs it when the font's Unicode map is known: charset 0, and the glyph of every
// byte named by the character that map gives it (here the Macintosh Roman character of the byte, as
// in the chess fonts), with the byte itself after it for readers that skip the escape.
TEST(BoardText, RtfNamesGlyphsByTheirUnicodeCharacters)
{
    DiagramRecord start = StartPosition();
    BoardText::RtfOptions o;
    o.fontFace = "Chess Merida";
    o.fontIndex = 5;
    o.halfPoints = 71;
    o.fontMap = BoardText::RtfFontMap::Unicode;
    for (int b = 0x20; b < 0x7F; ++b) o.codePoints[size_t(b)] = uint32_t(b);
    const uint32_t macRoman[16] = { 0x2021, 0xB7, 0x201A, 0x201E, 0x2030, 0xC2, 0xCA, 0xC1, 0xCB, 0xC8, 0xCD,
        0xCE, 0xCF, 0xCC, 0xD3, 0xD4 }; // 0xE0..0xEF
    for (int i = 0; i < 16; ++i) o.codePoints[size_t(0xE0 + i)] = macRoman[i];

    std::string rtf = BoardText::Rtf(BoardText::DisplayRows(start), o);
    EXPECT_NE(rtf.find("\\fcharset0 Chess Merida;}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\line \\u193\\'e7tMvWlVmT%\\line \\u202\\'e6OoOoOoOo%"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\u8225\\'e0RnBqKbNr%\\line "), std::string::npos) << rtf;
    EXPECT_TRUE(rtf.ends_with("/\\u203\\'e8\\u200\\'e9\\u205\\'ea\\u206\\'eb\\u207\\'ec\\u204\\'ed\\u211\\'ee"
                              "\\u212\\'ef)\\f1\\line }"))
        << rtf;

    // A glyph found at the byte's own code-page character needs no escape; a character above 0x7FFF is
    // written as RTF's negative number.
    o.codePoints[0xE7] = 0xE7;
    o.codePoints['+'] = 0xF02B;
    rtf = BoardText::Rtf(BoardText::DisplayRows(start), o);
    EXPECT_NE(rtf.find("\\line \\'e7tMvWlVmT%"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\u194\\'e5 \\u-4053 + \\u-4053 + \\u-4053 + \\u-4053 +%"), std::string::npos) << rtf;

    // A font with a symbol map only keeps charset 2 and its bytes, whatever its table index.
    o.fontMap = BoardText::RtfFontMap::Symbol;
    o.fontIndex = 1;
    rtf = BoardText::Rtf(BoardText::DisplayRows(start), o);
    EXPECT_NE(rtf.find("\\fcharset2 Chess Merida;}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\line \\'e7tMvWlVmT%"), std::string::npos) << rtf;
}

// Pasted chess-font text may bring RTF's own characters into a row; the copy escapes them.
TEST(BoardText, RtfEscapesRtfCharactersOfPastedRows)
{
    DiagramRecord start = StartPosition();
    std::memcpy(start.board[3].data(), "${\\} + + %", 10);
    BoardText::RtfOptions o;
    o.fontFace = "Chess Merida";
    o.fontIndex = 5;
    o.pictureCoordinates = false;
    const std::string rtf = BoardText::Rtf(BoardText::DisplayRows(start), o);
    EXPECT_NE(rtf.find("\\line $\\{\\\\\\} + + %\\line "), std::string::npos) << rtf;
}

} // namespace
