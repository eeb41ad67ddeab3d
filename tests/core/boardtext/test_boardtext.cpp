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
    DiagramRecord berlin = StartPosition(true);
    EXPECT_FALSE(BoardText::ParseBoardText(BoardText::PlainText(berlin, true, true), pasted, true));
    EXPECT_EQ(pasted.board, berlin.board);
    EXPECT_EQ(BoardText::PlainText(StartPosition(true), true, true).substr(0, 12), "1222222223\r\n");
    EXPECT_EQ(BoardText::PlainText(StartPosition(true), true, false).substr(100), "6777777778");
}

// Pasted chess-font text, as this program and others put it on the clipboard.
struct PastedText {
    const char* name;
    std::string text;
    bool family2;
    bool accepted;
    int row; // when accepted: this row reads as `expected`, and rank 8 as the start position's
    const char* expected;
};
void PrintTo(const PastedText& c, std::ostream* out)
{
    *out << c.name;
}

// The start position's eight rows, each line ended by lineEnd but the last, which gets `last`.
std::string Rows(const char* lineEnd, const char* last = "")
{
    DiagramRecord start = StartPosition();
    std::string text;
    for (int i = 0; i < 8; ++i) text += std::string(start.board[i].data()) + (i < 7 ? lineEnd : last);
    return text;
}

// The text with the first occurrence of `from` changed to `to`.
std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class PastedTexts : public ::testing::TestWithParam<PastedText> { };

TEST_P(PastedTexts, EightRowsOfTenLettersOfTheFamilyOrNothing)
{
    const PastedText& c = GetParam();
    DiagramRecord record = StartPosition(c.family2);
    record.board[3][3] = 'X'; // a reader that fails must leave the record as it was
    const FontBoard before = record.board;
    const bool failed = BoardText::ParseBoardText(c.text, record, c.family2);
    EXPECT_EQ(failed, !c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(record.board, before);
        return;
    }
    EXPECT_EQ(std::string(record.board[0].data()), c.family2 ? "4tJnWlNjT5" : "$tMvWlVmT%");
    EXPECT_EQ(std::string(record.board[c.row].data()), c.expected);
    for (int r = 0; r < 8; ++r) EXPECT_EQ(record.board[r][10], '\0');
}

const std::string lf = top1 + "\n" + Rows("\n", "\n") + "/(((((((()";
const std::string berlin = BoardText::PlainText(StartPosition(true), true, true);

INSTANTIATE_TEST_SUITE_P(BoardText, PastedTexts,
    ::testing::Values(PastedText { "CopiedByThisProgram", top1 + "\r\n" + Rows("\n", "\n") + "/(((((((()",
                          false, true, 7, "$RnBqKbNr%" },
        PastedText { "LineFeedsOnly", lf, false, true, 7, "$RnBqKbNr%" },
        PastedText { "CrLfEverywhere", top1 + "\r\n" + Rows("\r\n", "\r\n") + "/(((((((()\r\n", false, true,
            7, "$RnBqKbNr%" },
        PastedText { "NoBottomFrameNoLastLineEnd", top1 + "\n" + Rows("\n"), false, true, 7, "$RnBqKbNr%" },
        PastedText {
            "CaseFollowsTheSquare", Replace(lf, "$RnBqKbNr%", "$rNbQkBnR%"), false, true, 7, "$RnBqKbNr%" },
        PastedText { "EmptySquaresFollowTheSquare", Replace(lf, "$+ + + + %", "$ + + + +%"), false, true, 3,
            "$+ + + + %" },
        PastedText { "SevenRows", top1 + "\n" + Rows("\n").substr(0, 77), false, false, 0, "" },
        PastedText { "TopFrameOnly", top1, false, false, 0, "" },
        PastedText { "NoLineEndAfterTheTopFrame", top1 + Rows("\n"), false, false, 0, "" },
        PastedText { "RowTooLong", Replace(lf, "$+ + + + %", "$+ + + + %xx"), false, false, 0, "" },
        PastedText { "RowTooShort", Replace(lf, "$+ + + + %", "$+ + + +%"), false, false, 0, "" },
        PastedText { "BlankAfterTheRow", Replace(lf, "$OoOoOoOo%", "$OoOoOoOo% "), false, false, 0, "" },
        PastedText {
            "NulByte", Replace(lf, "$ + + + +%", std::string("$ + +\0+ +%", 10)), false, false, 0, "" },
        PastedText { "RtfBraces", Replace(lf, "$ + + + +%", "${ + \\ + }"), false, false, 0, "" },
        PastedText { "UnknownLetter", Replace(lf, "$pPpPpPpP%", "$pPpPxPpP%"), false, false, 0, "" },
        PastedText { "HighByte", Replace(lf, "$pPpPpPpP%", "$pPp\xE8pPpP%"), false, false, 0, "" },
        PastedText { "LetterOfTheOtherFamily", Replace(lf, "$RnBqKbNr%", "$RhBqKbHr%"), false, false, 0, "" },
        PastedText { "WrongBorder", Replace(lf, "$RnBqKbNr%", "4RnBqKbNr%"), false, false, 0, "" },
        PastedText { "OtherFamilysText", berlin, false, false, 0, "" },
        PastedText { "FamilyTwoInFamilyTwo", berlin, true, true, 7, "4RhBqKbHr5" },
        PastedText {
            "FamilyOneLettersInFamilyTwo", Replace(berlin, "4tJnWlNjT5", "4tMnWlNmT5"), true, false, 0, "" },
        PastedText { "LoneCarriageReturns", top1 + "\r" + Rows("\r"), false, false, 0, "" }),
    [](const ::testing::TestParamInfo<PastedText>& info) { return info.param.name; });

struct RtfCase {
    const char* name;
    const char* face;
    int index;
    bool family2, withoutBorder, coordinates, flipped;
    const char* contains;
    const char* endsWith;
};

void PrintTo(const RtfCase& c, std::ostream* out)
{
    *out << c.name;
}

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
        RtfCase { "MeridaFileGlyphs", "Chess Merida", 5, false, false, true, false,
            "\\fcharset2 Chess Merida;}", "/\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF)\\f1\\line }" },
        RtfCase { "MeridaRankGlyphs", "Chess Merida", 5, false, false, true, false,
            "\\line \\'e7tMvWlVmT%\\line ", "}" },
        RtfCase { "MeridaFlipped", "Chess Merida", 5, false, false, true, true, "\\line \\'e0",
            "/\xEF\xEE\xED\xEC\xEB\xEA\xE9\xE8)\\f1\\line }" },
        RtfCase { "MeridaPlainFrame", "Chess Merida", 5, false, false, false, false,
            "!\"\"\"\"\"\"\"\"#\r\n\\line $tMvWlVmT%\\line ", "/(((((((()\\f1\\line }" },
        // No border: eight rows of eight squares.
        RtfCase { "CasesWithoutBorder", "Chess Cases", 1, false, true, true, false,
            "\\fcharset0 Chess Cases;}", "RnBqKbNr\\f1}" },
        // The fairy face draws its frame with the usual letters, as the screen does.
        RtfCase { "FairyPlainFrame", "Varnok Fairy", 2, false, false, false, false,
            "!\"\"\"\"\"\"\"\"#\r\n\\line $tMvWlVmT%\\line ", "/(((((((()\\f1\\line }" },
        RtfCase { "BerlinNoCoordinateGlyphs", "Chess Berlin", 16, true, false, true, false,
            "1222222223\r\n\\line 4tJnWlNjT5", "7888888889\\f1\\line }" },
        RtfCase { "AlphaCoordinateGlyphs", "Chess Alpha", 17, true, false, true, false, "\\'c7tJnWlNjT5",
            "6\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
            "8\\f1\\line }" }),
    [](const ::testing::TestParamInfo<RtfCase>& info) { return std::string(info.param.name); });

TEST(BoardText, CopySizeAndSquareMarkers)
{
    EXPECT_EQ(BoardText::CopyHalfPoints(51, 0.0f), 71);
    EXPECT_EQ(BoardText::CopyHalfPoints(51, 10.5f), 20);
    // Held to what fits across a page, whether it comes from the squares or was typed.
    EXPECT_EQ(BoardText::CopyHalfPoints(63, 0.0f), 88);
    EXPECT_EQ(BoardText::CopyHalfPoints(64, 0.0f), 88);
    EXPECT_EQ(BoardText::CopyHalfPoints(51, 44.0f), 88);
    EXPECT_EQ(BoardText::CopyHalfPoints(51, 200.0f), 88);
    DiagramRecord r = StartPosition();
    r.marks.Set(0, { 20, 0, MarkSquare1 }); // d6: row 2, column 4, even
    r.marks.Set(1, { 21, 0, MarkSquare2 }); // e6: odd
    r.marks.Set(2, { 24, 0, MarkSquare1 }); // column 0 of row 3 is h6 of row 2
    r.marks.Set(3, { 1, 0, MarkSquare1 }); // a8 holds a rook: no marker
    FontBoard rows = BoardText::OverlaySquareMarkers(BoardText::DisplayRows(r), r);
    EXPECT_EQ(std::string(rows[2].data()), "$ + ,'+ ,%");
    EXPECT_EQ(std::string(rows[0].data()), "$tMvWlVmT%");

    // A number mark is no square marker: its square stays as it is.
    r.marks.Set(4, { 27, 27, MarkNumberFirst }); // c5
    r.marks.Set(5, { 44, 44, MarkNumberLast }); // d3
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
