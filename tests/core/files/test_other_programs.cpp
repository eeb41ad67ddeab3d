// EPD, FEN and text files as other programs write them: read, written back by Save, and read again.
#include "FilesTestSupport.h"
#include "positions/DiagramList.h"
#include "positions/PositionFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace PositionFile;

constexpr const char* kings = "4k3/8/8/8/8/8/8/4K3";

// What Save writes of a list read from a file of this kind.
std::string SavedAs(DiagramList& list, const std::string& extension)
{
    WriteOptions w;
    w.extension = extension;
    w.allMarkSlots = true;
    std::ostringstream out;
    EXPECT_TRUE(WriteList(list, w, out));
    return out.str();
}

// A text of n lines, each a diagram whose comment is its number, with the line ends `end(i)` gives.
std::string NumberedLines(int n, const std::function<std::string(int)>& end)
{
    std::string text;
    for (int i = 1; i <= n; ++i)
        text += std::string(kings) + " w - - c0 \"" + std::to_string(i) + "\";" + end(i);
    return text;
}

std::string NumberedLinesAsSaved(int n)
{
    return NumberedLines(n, [](int) { return "\r\n"; });
}

struct OtherFile {
    const char* name;
    const char* extension;
    std::string text;
    int diagrams;
    std::function<void(const DiagramList&)> check; // what the list read must hold
    std::string saved; // what Save writes back
};

// A failing row is named, not dumped.
void PrintTo(const OtherFile& file, std::ostream* out)
{
    *out << file.name;
}

class OtherProgramsFiles : public ::testing::TestWithParam<OtherFile> { };

// Everything a line of these kinds carries, compared between two lists.
void ExpectSameLines(const DiagramList& a, const DiagramList& b)
{
    ASSERT_EQ(Count(a), Count(b));
    for (int i = 0; i < Count(a); ++i) {
        SCOPED_TRACE(::testing::Message() << "diagram " << i);
        const DiagramRecord& x = Nth(a, i);
        const DiagramRecord& y = Nth(b, i);
        EXPECT_EQ(x.board, y.board);
        EXPECT_EQ(x.blackToMove != 0, y.blackToMove != 0);
        EXPECT_EQ(x.castleWhiteShort, y.castleWhiteShort);
        EXPECT_EQ(x.castleWhiteLong, y.castleWhiteLong);
        EXPECT_EQ(x.castleBlackShort, y.castleBlackShort);
        EXPECT_EQ(x.castleBlackLong, y.castleBlackLong);
        EXPECT_EQ(x.enPassantFile, y.enPassantFile);
        EXPECT_EQ(x.halfmoveClock, y.halfmoveClock);
        EXPECT_EQ(x.fullmoveNumber, y.fullmoveNumber);
        EXPECT_EQ(x.comment, y.comment);
        EXPECT_EQ(x.commentOpcode, y.commentOpcode);
        EXPECT_EQ(x.epdOpsBefore, y.epdOpsBefore);
        EXPECT_EQ(x.epdOpsMiddle, y.epdOpsMiddle);
        EXPECT_EQ(x.epdOpsAfter, y.epdOpsAfter);
    }
}

TEST_P(OtherProgramsFiles, ReadWrittenBackAndReadAgain)
{
    const OtherFile& c = GetParam();
    DiagramList list;
    ReadResult read = ReadText(c.text, OptionsFor(c.extension), list);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_TRUE(read.errors.Empty());
    ASSERT_EQ(Count(list), c.diagrams);
    if (c.check) c.check(list);

    const std::string saved = SavedAs(list, c.extension);
    EXPECT_EQ(saved, c.saved);

    // The file written gives the same list, and is written again to the same bytes.
    DiagramList back;
    read = ReadText(saved, OptionsFor(c.extension), back);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_TRUE(read.errors.Empty());
    ExpectSameLines(list, back);
    EXPECT_EQ(list.m_bEpdMode, back.m_bEpdMode);
    EXPECT_EQ(SavedAs(back, c.extension), saved);
}

std::vector<OtherFile> OtherFiles()
{
    const std::string k = kings;
    std::vector<OtherFile> rows = {
        OtherFile { "SeveralCommentOperations", "epd",
            k + " w - - c0 \"first\"; c1 \"second\"; c9 \"third\";\r\n" + k
                + " b - - c1 \"one\"; c0 \"two\";\r\n",
            2,
            [](const DiagramList& l) {
                // The first is the diagram's comment; the others are kept as they stand.
                EXPECT_EQ(Nth(l, 0).comment, "first");
                EXPECT_EQ(Nth(l, 0).commentOpcode, "c0");
                EXPECT_EQ(Nth(l, 0).epdOpsMiddle, "c1 \"second\";c9 \"third\";");
                EXPECT_EQ(Nth(l, 1).comment, "one");
                EXPECT_EQ(Nth(l, 1).commentOpcode, "c1");
                EXPECT_EQ(Nth(l, 1).epdOpsMiddle, "c0 \"two\";");
            },
            k + " w - - c0 \"first\"; c1 \"second\";c9 \"third\";\r\n" + k
                + " b - - c1 \"one\"; c0 \"two\";\r\n" },
        OtherFile { "MissingFinalSemicolon", "epd",
            k + " w - - bm Ke2; id \"no end\"\r\n" + k + " w - - c0 \"last\"   \r\n", 2,
            [](const DiagramList& l) {
                EXPECT_EQ(Nth(l, 0).epdOpsBefore, "bm Ke2;");
                EXPECT_EQ(Nth(l, 0).epdOpsAfter, "id \"no end\";");
                EXPECT_EQ(Nth(l, 1).comment, "last");
            },
            k + " w - - bm Ke2; id \"no end\";\r\n" + k + " w - - c0 \"last\";\r\n" },
        OtherFile { "EscapedQuotes", "epd",
            k + " w - - c0 \"quote \\\"inside\\\" text; and more\"; id \"a \\\"b\\\"\";\r\n" + k
                + " w - - c0 \"C:\\\\dir\\\\\";\r\n",
            2,
            [](const DiagramList& l) {
                EXPECT_EQ(Nth(l, 0).comment, "quote \"inside\" text; and more");
                EXPECT_EQ(Nth(l, 0).epdOpsAfter, "id \"a \\\"b\\\"\";");
                EXPECT_EQ(Nth(l, 1).comment, "C:\\dir\\");
            },
            // This program's own files carry a quote of a comment as 0xD5.
            k + " w - - c0 \"quote \xD5inside\xD5 text; and more\"; id \"a \\\"b\\\"\";\r\n" + k
                + " w - - c0 \"C:\\dir\\\\\";\r\n" },
        OtherFile { "UnclosedQuote", "epd", k + " w - - id y; a \"x; bm e4\r\n", 1,
            [](const DiagramList& l) {
                // The quote runs to the end of the line, and is written there again.
                EXPECT_EQ(Nth(l, 0).epdOpsBefore, "a \"x; bm e4;");
                EXPECT_EQ(Nth(l, 0).epdOpsAfter, "id y;");
            },
            k + " w - - id y; a \"x; bm e4;\r\n" },
        OtherFile { "GOpcodesAndOtherOperations", "epd",
            k + " w - - ga 1; c0 \"x\"; gb \"y z\"; hmvc 3; h2 q; foo 7; fmvn 12;\r\n", 1,
            [](const DiagramList& l) {
                EXPECT_EQ(Nth(l, 0).epdOpsAfter, "foo 7;ga 1;gb \"y z\";h2 q;");
                EXPECT_EQ(Nth(l, 0).halfmoveClock, "3");
                EXPECT_EQ(Nth(l, 0).fullmoveNumber, "12");
            },
            k + " w - - c0 \"x\"; fmvn 12; hmvc 3; foo 7;ga 1;gb \"y z\";h2 q;\r\n" },
        OtherFile { "FenFormFirstLine", "epd",
            "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3\r\n" + k
                + " w - - bm g6; id \"SUITE.002\";\r\n" + k + " b - - 0 41 c0 \"both\";\r\n" + k
                + " w - - fmvn 7;\r\n",
            4,
            [](const DiagramList& l) {
                EXPECT_FALSE(l.m_bEpdMode);
                EXPECT_EQ(Nth(l, 0).halfmoveClock, "2");
                EXPECT_EQ(Nth(l, 0).fullmoveNumber, "3");
                EXPECT_EQ(Nth(l, 1).epdOpsBefore, "bm g6;");
                EXPECT_EQ(Nth(l, 1).epdOpsAfter, "id \"SUITE.002\";");
                EXPECT_EQ(Nth(l, 1).halfmoveClock, "");
                EXPECT_EQ(Nth(l, 2).fullmoveNumber, "41");
                EXPECT_EQ(Nth(l, 2).comment, "both");
                EXPECT_EQ(Nth(l, 3).fullmoveNumber, "7");
            },
            // Every line as it was read.
            "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3\r\n" + k
                + " w - - bm g6; id \"SUITE.002\";\r\n" + k + " b - - 0 41 c0 \"both\";\r\n" + k
                + " w - - fmvn 7;\r\n" },
        OtherFile { "EpdFirstLineThenFenLines", "txt", k + " w - - id \"a\";\r\n" + k + " w - - 12 60\r\n", 2,
            [](const DiagramList& l) {
                EXPECT_TRUE(l.m_bEpdMode);
                EXPECT_EQ(Nth(l, 1).halfmoveClock, "12");
                EXPECT_EQ(Nth(l, 1).fullmoveNumber, "60");
            },
            // In a list of EPD form the counters of a FEN line become operations.
            k + " w - - id \"a\";\r\n" + k + " w - - fmvn 60; hmvc 12;\r\n" },
        OtherFile { "FenCountersThenOperations", "txt",
            k + " w - - 0 1 bm Kd2; c0 \"after the counters\";\r\n", 1,
            [](const DiagramList& l) {
                EXPECT_FALSE(l.m_bEpdMode);
                EXPECT_EQ(Nth(l, 0).fullmoveNumber, "1");
                EXPECT_EQ(Nth(l, 0).epdOpsBefore, "bm Kd2;");
                EXPECT_EQ(Nth(l, 0).comment, "after the counters");
            },
            k + " w - - 0 1 bm Kd2; c0 \"after the counters\";\r\n" },
        OtherFile { "LfFirstLineThenLoneCrLines", "epd",
            NumberedLines(49, [](int i) { return i == 1 ? "\n" : "\r"; }), 49,
            [](const DiagramList& l) {
                EXPECT_EQ(Nth(l, 2).comment, "3");
                EXPECT_EQ(Nth(l, 48).comment, "49");
                EXPECT_EQ(Nth(l, 48).epdOpsBefore + Nth(l, 48).epdOpsAfter, "");
            },
            NumberedLinesAsSaved(49) },
        OtherFile { "CrLfWithSomeLoneCrLines", "epd",
            NumberedLines(6, [](int i) { return i == 2 || i == 5 ? "\r" : "\r\n"; }), 6,
            [](const DiagramList& l) { EXPECT_EQ(Nth(l, 5).comment, "6"); }, NumberedLinesAsSaved(6) },
        OtherFile { "CrLfWrittenThroughATextModeStream", "epd",
            NumberedLines(3, [](int) { return "\r\r\n"; }), 3, nullptr, NumberedLinesAsSaved(3) },
        OtherFile { "TabsAndRunsOfBlanks", "epd",
            "  rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR\tb\tKQkq\te3\tc0 \"tab\";\r\n" + k
                + "   w  -   -    id \"x\";\r\n",
            2,
            [](const DiagramList& l) {
                const DiagramRecord& first = Nth(l, 0);
                EXPECT_EQ(first.blackToMove, 1u);
                EXPECT_EQ(first.castleWhiteShort + first.castleWhiteLong + first.castleBlackShort
                        + first.castleBlackLong,
                    4u);
                EXPECT_EQ(first.enPassantFile, "e");
                EXPECT_EQ(first.comment, "tab");
                EXPECT_EQ(Nth(l, 1).blackToMove, 0u);
                EXPECT_EQ(Nth(l, 1).epdOpsAfter, "id \"x\";");
            },
            "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 c0 \"tab\";\r\n" + k
                + " w - - id \"x\";\r\n" },
        OtherFile { "TabsInAFenFile", "fen", k + "\tw\t-\t-\t0\t1\r\n" + k + " b  -  -  3  40\r\n", 2,
            [](const DiagramList& l) {
                EXPECT_EQ(Nth(l, 0).blackToMove, 0u);
                EXPECT_EQ(Nth(l, 1).blackToMove, 1u);
                EXPECT_EQ(Nth(l, 1).halfmoveClock, "3");
                EXPECT_EQ(Nth(l, 1).fullmoveNumber, "40");
            },
            k + " w - - 0 1\r\n" + k + " b - - 3 40\r\n" },
        OtherFile { "FileLetterCastling", "epd",
            "r3k2r/8/8/8/8/8/8/R3K2R w HAha - 0 1\r\nr3k2r/8/8/8/8/8/8/R3K2R w Ha - 0 1\r\n", 2,
            [](const DiagramList& l) {
                const DiagramRecord& all = Nth(l, 0);
                EXPECT_EQ(
                    all.castleWhiteShort + all.castleWhiteLong + all.castleBlackShort + all.castleBlackLong,
                    4u);
                const DiagramRecord& two = Nth(l, 1);
                EXPECT_EQ(two.castleWhiteShort, 1u);
                EXPECT_EQ(two.castleBlackLong, 1u);
                EXPECT_EQ(two.castleWhiteLong + two.castleBlackShort, 0u);
            },
            "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1\r\nr3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1\r\n" },
    };
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Table, OtherProgramsFiles, ::testing::ValuesIn(OtherFiles()),
    [](const ::testing::TestParamInfo<OtherFile>& info) { return std::string(info.param.name); });

// A castling right that names a rook not in the corner is one this program cannot hold; it is dropped,
// and with the legality check on, rights whose rook is missing are refused as ever.
TEST(OtherProgramsFiles, FileLetterCastlingIsCheckedLikeKQkq)
{
    DiagramList list;
    ReadResult read = ReadText(
        "r3k2r/8/8/8/8/8/8/R3K2R w BGbg - 0 1\r\n4k3/8/8/8/8/8/8/3K4 w H - 0 1\r\n", OptionsFor("fen"), list);
    EXPECT_EQ(Count(list), 1);
    EXPECT_EQ(Nth(list, 0).castleWhiteShort + Nth(list, 0).castleWhiteLong + Nth(list, 0).castleBlackShort
            + Nth(list, 0).castleBlackLong,
        0u);
    ASSERT_EQ(read.errors.Entries().size(), 1u);
    EXPECT_EQ(read.errors.Entries()[0].lineNumber, 2);
    EXPECT_EQ(read.errors.Entries()[0].code, 13);
}

} // namespace
