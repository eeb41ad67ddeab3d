#include "positions/BoardLetters.h"
#include "positions/DiagramList.h"
#include "positions/EpdOperations.h"
#include "positions/FenLine.h"
#include "positions/Marks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace FenLine;

constexpr const char* startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

int Count(const DiagramList& list)
{
    int n = 0;
    for (DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next) ++n;
    return n;
}

DiagramRecord* Nth(const DiagramList& list, int index)
{
    DiagramRecord* r = list.m_pFirstDiagram;
    while (r && index-- > 0) r = r->next;
    return r;
}

FontBoard Board(const DiagramList& list, const char* field, bool keepLetters = false)
{
    FontBoard board {};
    size_t end = 0;
    EXPECT_TRUE(ReadPieceField(list, field, board, keepLetters, end)) << field;
    return board;
}

// What Save writes for every diagram of a list in EPD mode.
std::vector<std::string> WriteLines(const DiagramList& list, bool fairyMode = false)
{
    std::vector<std::string> lines;
    for (DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next) {
        std::string line = BuildFenText(list, *r, false, fairyMode);
        if (list.m_bEpdMode) AppendEpdOperations(line, list, *r, true);
        lines.push_back(line);
    }
    return lines;
}

// What File Open does with the lines of a file: each with its CR LF, the template restored after each.
void ReadLines(
    DiagramList& list, const std::vector<std::string>& lines, bool fairyMode = false, bool check = true)
{
    list.FreeAllDiagrams();
    for (const std::string& line : lines) {
        EXPECT_EQ(ParsePositionLine(list, line + "\r\n", fairyMode, check), 0) << line;
        list.ResetTemplateRows();
    }
}

struct BnxList : DiagramList {
    BnxList()
    {
        AddHeaderNode(false, true);
        CreateFirstDiagram();
    }
    // The first call fills the diagram the list starts with, later calls append.
    DiagramRecord& add(const char* field)
    {
        DiagramRecord* r = used ? AppendDiagram() : m_pFirstDiagram;
        used = true;
        r->board = Board(*this, field);
        return *r;
    }
    bool used = false;
};

TEST(FenText, FileAndDisplayForms)
{
    BnxList list;
    DiagramRecord& r = list.add(startFen);
    r.castleWhiteShort = r.castleWhiteLong = r.castleBlackShort = r.castleBlackLong = 1;
    EXPECT_EQ(BuildFenText(list, r, false, false), std::string(startFen) + " w KQkq -");
    EXPECT_EQ(BuildFenText(list, r, true, false), std::string(startFen) + " w KQkq - 0 1");
    list.m_strExtension = "fen";
    EXPECT_EQ(BuildFenText(list, r, false, false), std::string(startFen) + " w KQkq - 0 1");

    r.castleWhiteLong = r.castleBlackShort = 0;
    r.blackToMove = 1;
    r.enPassantFile = "e";
    r.halfmoveClock = "4";
    r.fullmoveNumber = "23";
    EXPECT_EQ(BuildFenText(list, r, true, false), std::string(startFen) + " b Kq e3 4 23");
    r.blackToMove = 0;
    r.castleWhiteShort = r.castleBlackLong = 0;
    EXPECT_EQ(BuildFenText(list, r, true, false), std::string(startFen) + " w - e6 4 23");
    r.enPassantFile = "x";
    EXPECT_EQ(BuildFenText(list, r, true, false), std::string(startFen) + " w - - 4 23")
        << "only a file names an en-passant square";
}

TEST(FenText, BothFamiliesWriteTheSameFen)
{
    BnxList list;
    DiagramRecord& r = list.add(startFen);
    EXPECT_EQ(std::string(r.board[0].data()), "$tMvWlVmT%");
    EXPECT_EQ(std::string(r.board[7].data()), "$RnBqKbNr%");
    list.m_bLetterFamily2 = true;
    list.SetBorderLetters();
    list.ConvertLetterFamily('k');
    EXPECT_EQ(std::string(r.board[0].data()), "4tJnWlNjT5");
    EXPECT_EQ(std::string(r.board[7].data()), "4RhBqKbHr5");
    EXPECT_EQ(BuildFenText(list, r, false, false), std::string(startFen) + " w - -");
}

TEST(FenText, Family2LettersFromFen)
{
    BnxList list;
    list.m_bLetterFamily2 = true;
    list.SetBorderLetters();
    // a8 light, b8 dark, ...: knights, black knights and black bishops on both colours.
    FontBoard b = Board(list, "NNnnbb2/8/8/8/8/8/8/8");
    EXPECT_EQ(std::string(b[0].data()), "4hHjJnN +5");
    list.m_bLetterFamily2 = false;
    b = Board(list, "NNnnbb2/8/8/8/8/8/8/8");
    EXPECT_EQ(std::string(b[0].data()), "$nNmMvV +%");
}

TEST(FenText, FairyLettersAreLeftAsTheyStand)
{
    BnxList list;
    FontBoard b = Board(list, "AxZ5/8/8/8/8/8/8/7y", true);
    EXPECT_EQ(std::string(b[0].data()), "$AxZ+ + +%");
    EXPECT_EQ(b[7][8], 'y');
    DiagramRecord r;
    r.board = b;
    EXPECT_EQ(BuildFenText(list, r, false, true), "AxZ5/8/8/8/8/8/8/7y w - -");
    // Outside fairy mode the same letters are lowered and passed through.
    EXPECT_EQ(BuildFenText(list, r, false, false), "axz5/8/8/8/8/8/8/7y w - -");

    std::vector<std::string> lines = { "AxZ5/8/8/8/8/8/8/7y w - -" };
    ReadLines(list, lines, true, false);
    ASSERT_EQ(Count(list), 1);
    EXPECT_EQ(list.m_pFirstDiagram->board, b);
}

// A list of three diagrams whose comments hold quotes, line breaks and ';', with start number 5.
struct RichList : BnxList {
    RichList()
    {
        DiagramRecord& a = add(startFen);
        a.castleWhiteShort = a.castleWhiteLong = a.castleBlackShort = a.castleBlackLong = 1;
        a.comment = "Line one\r\nHe said \"x;y\"";
        a.commentOpcode = "c0";
        a.fullmoveNumber = "12";
        a.halfmoveClock = "3";
        a.epdOpsBefore = "acd 5;";
        a.epdOpsAfter = "id \"t1\";";
        DiagramRecord& b = add("4k3/8/8/3pP3/8/8/8/4K3");
        b.comment = "She said \"hi\"";
        b.commentOpcode = "c3";
        b.enPassantFile = "d";
        DiagramRecord& c = add("4k3/8/8/8/4Pp2/8/8/4K3");
        c.blackToMove = 1;
        c.enPassantFile = "e";
        c.epdOpsMiddle = "dm 3;";
        m_nStartNumber = 5;
    }
};

TEST(EpdLines, BnxRoundTripKeepsEveryText)
{
    RichList list;
    std::vector<std::string> lines = WriteLines(list);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
        std::string(startFen)
            + " w KQkq - acd 5; c0 \"Startnum 5 Line one**He said \xD5x;y\xD5\"; fmvn 12; hmvc 3; id "
              "\"t1\";");
    EXPECT_EQ(lines[1], "4k3/8/8/3pP3/8/8/8/4K3 w - d6 c3 \"She said \xD5hi\xD5\";");
    EXPECT_EQ(lines[2], "4k3/8/8/8/4Pp2/8/8/4K3 b - e3 dm 3;");

    BnxList back;
    back.m_nStartNumber = 1;
    ReadLines(back, lines);
    ASSERT_EQ(Count(back), 3);
    EXPECT_EQ(back.m_nStartNumber, 5);
    EXPECT_TRUE(back.m_bEpdMode);
    EXPECT_EQ(back.m_pCurrentDiagram, back.m_pFirstDiagram);
    EXPECT_EQ(back.m_pLastDiagram, Nth(back, 2));
    for (int i = 0; i < 3; ++i) {
        const DiagramRecord& want = *Nth(list, i);
        const DiagramRecord& got = *Nth(back, i);
        EXPECT_EQ(got.board, want.board) << i;
        EXPECT_EQ(got.comment, want.comment) << i;
        EXPECT_EQ(got.commentOpcode, want.commentOpcode) << i;
        EXPECT_EQ(got.epdOpsBefore, want.epdOpsBefore) << i;
        EXPECT_EQ(got.epdOpsMiddle, want.epdOpsMiddle) << i;
        EXPECT_EQ(got.epdOpsAfter, want.epdOpsAfter) << i;
        EXPECT_EQ(got.fullmoveNumber, want.fullmoveNumber) << i;
        EXPECT_EQ(got.halfmoveClock, want.halfmoveClock) << i;
        EXPECT_EQ(got.enPassantFile, want.enPassantFile) << i;
        EXPECT_EQ(got.blackToMove, want.blackToMove) << i;
        EXPECT_EQ(got.castleWhiteShort + got.castleWhiteLong + got.castleBlackShort + got.castleBlackLong,
            want.castleWhiteShort + want.castleWhiteLong + want.castleBlackShort + want.castleBlackLong)
            << i;
    }
    // Written again, the lines are the same bytes.
    EXPECT_EQ(WriteLines(back), lines);
    // Only the first record gets its double-step arrow while the file is read.
    EXPECT_EQ(Nth(back, 1)->markCount, 0u);
    // The display text of a later line ends at its first ';' outside a quoted text.
    EXPECT_EQ(Nth(back, 1)->displayComment, " w - d6 c3 \"She said \"hi\"\"");
    EXPECT_EQ(back.m_pFirstDiagram->displayComment.find("Startnum"), std::string::npos);
}

TEST(EpdLines, StartNumberWithoutComment)
{
    BnxList list;
    list.add("4k3/8/8/8/8/8/8/4K3");
    list.add("4k3/8/8/8/8/8/8/3K4");
    list.m_nStartNumber = 5;
    std::vector<std::string> lines = WriteLines(list);
    EXPECT_EQ(lines[0], "4k3/8/8/8/8/8/8/4K3 w - - c0 \"Startnum 5 \";");
    EXPECT_EQ(lines[1], "4k3/8/8/8/8/8/8/3K4 w - -") << "only the head carries the start number";

    BnxList back;
    ReadLines(back, lines);
    EXPECT_EQ(back.m_nStartNumber, 5);
    EXPECT_EQ(back.m_pFirstDiagram->comment, "");
    EXPECT_EQ(back.m_pFirstDiagram->displayComment, " w - - ");
    EXPECT_EQ(WriteLines(back), lines);

    // Other kinds of file never carry it, and a start number of 1 is not written.
    list.m_strExtension = "epd";
    EXPECT_EQ(WriteLines(list)[0], "4k3/8/8/8/8/8/8/4K3 w - -");
    list.m_strExtension = "bnx";
    list.m_nStartNumber = 1;
    EXPECT_EQ(WriteLines(list)[0], "4k3/8/8/8/8/8/8/4K3 w - -");
}

// A start number beyond nine digits, from a hand-edited file, is cut to the largest the program takes, so
// the labels of the list's diagrams stay numbers; one beyond what an int holds is not taken at all.
TEST(EpdLines, StartNumberIsBoundedWhenRead)
{
    const std::pair<const char*, int> cases[] = { { "999999999", 999999999 }, { "1000000000", 999999999 },
        { "2147483647", 999999999 }, { "99999999999", 1 } };
    for (auto [stored, expected] : cases) {
        BnxList back;
        std::vector<std::string> lines
            = { std::string("4k3/8/8/8/8/8/8/4K3 w - - c0 \"Startnum ") + stored + " \";" };
        ReadLines(back, lines);
        EXPECT_EQ(back.m_nStartNumber, expected) << stored;
    }
}

TEST(EpdLines, CommentEscapesByFileKind)
{
    BnxList list;
    DiagramRecord& r = list.add("4k3/8/8/8/8/8/8/4K3");
    r.comment = "a \"b\"\r\nc\nd";
    r.commentOpcode = "c1";
    EXPECT_EQ(WriteLines(list)[0],
        "4k3/8/8/8/8/8/8/4K3 w - - c1 \"a \xD5"
        "b\xD5**c**d\";");
    list.m_strExtension = "epd";
    EXPECT_EQ(WriteLines(list)[0],
        "4k3/8/8/8/8/8/8/4K3 w - - c1 \"a \xD5"
        "b\xD5  c  d\";");
    // Outside a file (the data dialog's display) the text stays as it is.
    std::string display;
    AppendEpdOperations(display, list, r, false);
    EXPECT_EQ(display, " c1 \"a \"b\"\r\nc\nd\";");
}

TEST(EpdLines, OperationsAreSortedIntoTheirGroups)
{
    BnxList list;
    std::vector<std::string> lines = { "4k3/8/8/8/8/8/8/4K3 w - - id \"x\"; bm e4; c0 \"hi\"; acd 5; pv e4 "
                                       "e5; ga 1; dm 2; ce 10; fmvn 7; pd 9" };
    list.m_strExtension = "epd";
    ReadLines(list, lines);
    const DiagramRecord& r = *list.m_pFirstDiagram;
    EXPECT_EQ(r.epdOpsBefore, "acd 5;bm e4;");
    EXPECT_EQ(r.epdOpsMiddle, "ce 10;dm 2;");
    // Every operation is kept: those of 'g', and a last one without its ';'.
    EXPECT_EQ(r.epdOpsAfter, "ga 1;id \"x\";pv e4 e5;pd 9;");
    EXPECT_EQ(r.comment, "hi");
    EXPECT_EQ(r.fullmoveNumber, "7");
    std::string out = WriteLines(list)[0];
    EXPECT_EQ(out,
        "4k3/8/8/8/8/8/8/4K3 w - - acd 5;bm e4; c0 \"hi\"; ce 10;dm 2; fmvn 7; ga 1;id \"x\";pv e4 e5;pd 9;");
}

TEST(EpdLines, ParseEpdOperationsDetails)
{
    EpdOperations ops
        = ParseEpdOperations("c0 \"a;b\"; id x; 1x y; Zz; \xE9t u; hmvc 1a2; c7 \"p\x87qr\";", false);
    EXPECT_EQ(ops.opcode, "c0") << "the first comment operation is the diagram's comment";
    EXPECT_EQ(ops.comment, "a;b");
    EXPECT_EQ(ops.middle, "c7 \"p\x87qr\";") << "the other is kept as it stands";
    EXPECT_EQ(ops.after, "id x;");
    EXPECT_EQ(ops.before, "1x y;Zz;\xE9t u;");
    EXPECT_EQ(ops.hmvc, "12");
    EXPECT_EQ(ParseEpdOperations("c0 \"a;b\";", false).comment, "a;b");
    EXPECT_EQ(ParseEpdOperations("c0 \"p\x87qr\";", true).comment, "p qr")
        << "an .epd file has no 0x87 breaks";
    EXPECT_EQ(ParseEpdOperations("c0 \"ends in \xD5\";", false).comment, "ends in \"");
    // A quote that is never closed runs to the end of the line.
    EpdOperations open = ParseEpdOperations("id \"x; bm e4;", false);
    EXPECT_EQ(open.after, "id \"x; bm e4;");
    EXPECT_EQ(open.before, "");
}

TEST(EpdLines, ModeIsDecidedByTheFirstLine)
{
    struct ModeCase {
        const char* extension;
        const char* first;
        bool epdMode;
    };
    const ModeCase cases[] = {
        { "fen", "4k3/8/8/8/8/8/8/4K3 w - - 0 1", false },
        { "txt", "4k3/8/8/8/8/8/8/4K3 w - - 5 40", false },
        { "epd", "4k3/8/8/8/8/8/8/4K3 w - - id \"a\";", true },
        { "epd", "4k3/8/8/8/8/8/8/4K3 w - -", true },
        { "epd", "4k3/8/8/8/8/8/8/4K3 w - - _x;", true },
        { "epd", "4k3/8/8/8/8/8/8/4K3 w - - ;", true },
        { "bnx", "4k3/8/8/8/8/8/8/4K3 w - - 0 1", true },
    };
    for (const ModeCase& c : cases) {
        BnxList list;
        list.m_strExtension = c.extension;
        list.m_bEpdMode = !c.epdMode;
        ReadLines(list, { c.first, "4k3/8/8/8/8/8/8/3K4 b - - 7 9" });
        EXPECT_EQ(list.m_bEpdMode, c.epdMode) << c.extension << ": " << c.first;
        // Each line is read by its own form, whatever the list's.
        const DiagramRecord& second = *Nth(list, 1);
        EXPECT_EQ(second.halfmoveClock, "7") << c.first;
        EXPECT_EQ(second.fullmoveNumber, "9") << c.first;
        EXPECT_EQ(second.fenForm, 1) << c.first;
        EXPECT_EQ(second.comment, "") << c.first;
    }
}

TEST(EpdLines, FenFileRoundTrip)
{
    BnxList list;
    list.m_strExtension = "fen";
    ReadLines(list, { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 12 345", "4k3/8/8/8/4Pp2/8/8/4K3 b - e3 0 2" });
    EXPECT_FALSE(list.m_bEpdMode);
    EXPECT_EQ(
        BuildFenText(list, *list.m_pFirstDiagram, false, false), "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 12 345");
    EXPECT_EQ(BuildFenText(list, *Nth(list, 1), false, false), "4k3/8/8/8/4Pp2/8/8/4K3 b - e3 0 2");
    // Later lines get their double-step arrow only when they are shown.
    EXPECT_EQ(Nth(list, 1)->markCount, 0u);
}

TEST(EpdLines, LineEndsAreNotCharacters)
{
    for (const char* end : { "", "\n", "\r\n" }) {
        BnxList list;
        list.m_strExtension = "fen";
        list.FreeAllDiagrams();
        ASSERT_EQ(
            ParsePositionLine(list, std::string("4k3/8/8/8/8/8/8/4K3 w - - 0 17") + end, false, true), 0);
        EXPECT_EQ(list.m_pFirstDiagram->fullmoveNumber, "17") << "line end \"" << end << '"';
        EXPECT_EQ(list.m_pFirstDiagram->displayComment, " w - - 0 17");

        BnxList epd;
        epd.m_strExtension = "epd";
        epd.FreeAllDiagrams();
        ASSERT_EQ(
            ParsePositionLine(epd, std::string("4k3/8/8/8/8/8/8/4K3 w - - c0 \"abc\";") + end, false, true),
            0);
        EXPECT_EQ(epd.m_pFirstDiagram->comment, "abc");
    }
}

TEST(EpdLines, EnPassantAndTheDoubleStepArrow)
{
    struct EpCase {
        const char* line;
        const char* file;
        int from, to;
    };
    const EpCase cases[] = {
        { "4k3/8/8/4pP2/8/8/8/4K3 w - e6", "e", 13, 29 },
        { "4k3/8/8/8/3Pp3/8/8/4K3 b - d3", "d", 52, 36 },
        { "4k3/8/8/8/8/8/8/4K3 w - x6", "", 0, 0 },
        { "4k3/8/8/8/8/8/8/4K3 w - E6", "", 0, 0 },
        { "4k3/8/8/8/8/8/8/4K3 w - -", "", 0, 0 },
    };
    for (const EpCase& c : cases) {
        BnxList list;
        list.FreeAllDiagrams();
        ASSERT_EQ(ParsePositionLine(list, c.line, false, true), 0) << c.line;
        const DiagramRecord& r = *list.m_pFirstDiagram;
        EXPECT_EQ(r.enPassantFile, c.file) << c.line;
        EXPECT_EQ(r.markCount, c.from ? 1u : 0u) << c.line;
        EXPECT_EQ(r.marks[0],
            (MarkSlot { static_cast<uint8_t>(c.from), static_cast<uint8_t>(c.to),
                static_cast<uint8_t>(c.from ? MarkDoubleStep : 0) }))
            << c.line;
    }
}

TEST(EpdLines, MalformedLinesMakeNoRecord)
{
    struct BadCase {
        const char* line;
        bool fairy;
        bool check;
        LegalityCode expected;
    };
    const BadCase cases[] = {
        { "", false, true, 19 },
        { "", false, false, 1000 },
        { "", true, false, 15 },
        { "4k3/8/8/8/8/8/4K3 w - -", false, true, 16 },
        { "4k3/8/8/8/8/8/4K3 w - -", false, false, 1000 },
        { "4k3/8/8/8/8/8/4K3 w - -", true, false, 15 },
        { "4k3/8/8/8/8/8/8/8/4K3 w - -", true, false, 15 },
        { "4k4/8/8/8/8/8/8/4K3 w - -", false, true, 15 },
        { "4k4/8/8/8/8/8/8/4K3 w - -", false, false, 15 },
        { "9/8/8/8/8/8/8/4K3 w - -", true, false, 15 },
        { "4k2/8/8/8/8/8/8/4K3 w - -", false, true, 15 },
        { "4kk3/8/8/8/8/8/8/4K3 w - -", true, false, 15 },
        { "4k3/8/8/8/8/8/8/4KK3 w - -", true, false, 15 },
        { "4k3/8/8/8/8/8/8/4KK3 w - -", true, true, 1 },
        { "4k3/8/8/8/8/8/8/KK2K3 w - -", false, true, 1 },
        { "4k3/8/8/8/7q/8/8/4K3 b - -", false, true, 11 },
        { "8/8/8/8/8/8/8/8 w - -", false, true, 10 },
    };
    for (const BadCase& c : cases) {
        BnxList list;
        list.FreeAllDiagrams();
        EXPECT_EQ(ParsePositionLine(list, c.line, c.fairy, c.check), c.expected) << '"' << c.line << '"';
        EXPECT_EQ(list.m_pFirstDiagram, nullptr) << c.line;
        EXPECT_FALSE(list.m_bHasDiagrams) << c.line;
    }
}

TEST(EpdLines, CheckOffTakesIllegalPositions)
{
    BnxList list;
    list.FreeAllDiagrams();
    EXPECT_EQ(ParsePositionLine(list, "4k3/8/8/8/8/8/8/KK2K3 w - -", false, false), 0);
    EXPECT_EQ(ParsePositionLine(list, "8/8/8/8/8/8/8/8 w - -", false, false), 0);
    // A warning never stops a line.
    EXPECT_EQ(ParsePositionLine(list, "4k3/8/8/8/8/8/8/NNN1K3 w - -", false, true), 0);
    EXPECT_EQ(Count(list), 3);
}

TEST(EpdLines, LongTextsAreKeptWhole)
{
    BnxList list;
    DiagramRecord& r = list.add("4k3/8/8/8/8/8/8/4K3");
    r.commentOpcode = "c0";
    for (int i = 0; i < 300; ++i) r.comment += "word; \"q\"\r\n";
    r.epdOpsAfter.clear();
    for (int i = 0; i < 200; ++i) r.epdOpsAfter += "id \"" + std::to_string(i) + "\";";
    r.fullmoveNumber = "123456789012";
    std::vector<std::string> lines = WriteLines(list);
    BnxList back;
    ReadLines(back, lines);
    EXPECT_EQ(back.m_pFirstDiagram->comment, r.comment);
    EXPECT_EQ(back.m_pFirstDiagram->epdOpsAfter, r.epdOpsAfter);
    EXPECT_EQ(back.m_pFirstDiagram->fullmoveNumber, r.fullmoveNumber);
}

TEST(EpdLines, MergedLinesAppendAfterTheList)
{
    BnxList list;
    list.add("4k3/8/8/8/8/8/8/4K3");
    DiagramRecord* old = list.m_pFirstDiagram;
    list.m_nStartNumber = 3;
    EXPECT_EQ(ParsePositionLine(list, "4k3/8/8/8/8/8/8/3K4 w - - c0 \"Startnum 9 x\";", false, true), 0);
    EXPECT_EQ(list.m_pFirstDiagram, old);
    EXPECT_EQ(list.m_pLastDiagram->previous, old);
    EXPECT_EQ(list.m_pLastDiagram->comment, "Startnum 9 x") << "only the head's comment holds a start number";
    EXPECT_EQ(list.m_nStartNumber, 3);
}

TEST(ClipboardFen, FillsScratchBoardAndCurrentFields)
{
    BnxList list;
    DiagramRecord scratch;
    DiagramRecord current;
    current.castleWhiteShort = current.castleBlackLong = 1;
    current.enPassantFile = "c";
    ASSERT_TRUE(ParseFen(list, scratch, current, std::string(startFen) + " b - - 5 61\r\n"));
    EXPECT_EQ(scratch.board, Board(list, startFen));
    EXPECT_EQ(current.blackToMove, 1u);
    EXPECT_EQ(current.castleWhiteShort + current.castleWhiteLong + current.castleBlackShort
            + current.castleBlackLong,
        0u)
        << "a '-' castling field clears every right";
    EXPECT_EQ(current.enPassantFile, "");
    EXPECT_EQ(current.halfmoveClock, "5");
    EXPECT_EQ(current.fullmoveNumber, "61");

    ASSERT_TRUE(ParseFen(list, scratch, current, std::string(startFen) + " w Qk e6 - -"));
    EXPECT_EQ(current.blackToMove, 0u);
    EXPECT_EQ(current.castleWhiteLong, 1u);
    EXPECT_EQ(current.castleBlackShort, 1u);
    EXPECT_EQ(current.castleWhiteShort, 0u);
    EXPECT_EQ(current.enPassantFile, "e");
    EXPECT_EQ(current.halfmoveClock, "0");
    EXPECT_EQ(current.fullmoveNumber, "0");

    ASSERT_TRUE(ParseFen(list, scratch, current, std::string(startFen) + " w - z6 3x 7 moves later"));
    EXPECT_EQ(current.enPassantFile, "") << "only a file names an en-passant square";
    EXPECT_EQ(current.halfmoveClock, "3");
    EXPECT_EQ(current.fullmoveNumber, "7") << "the fullmove field stops at its digits";

    // The fields a text does not give take a fresh diagram's values: nothing of the diagram that was
    // there before stays beside the pasted board.
    for (bool epd : { false, true }) {
        list.m_bEpdMode = epd;
        for (const char* text :
            { "4k3/8/8/8/8/8/8/4K3", "4k3/8/8/8/8/8/8/4K3 b", "4k3/8/8/8/8/8/8/4K3 b K" }) {
            current.blackToMove = 1;
            current.castleWhiteLong = current.castleBlackShort = current.castleBlackLong = 1;
            current.enPassantFile = "c";
            current.halfmoveClock = "9";
            current.fullmoveNumber = "30";
            ASSERT_TRUE(ParseFen(list, scratch, current, text));
            const std::string_view given(text);
            EXPECT_EQ(current.blackToMove, given.find(" b") != std::string_view::npos ? 1u : 0u) << text;
            EXPECT_EQ(current.castleWhiteShort, given.ends_with(" K") ? 1u : 0u) << text;
            EXPECT_EQ(current.castleWhiteLong + current.castleBlackShort + current.castleBlackLong, 0u)
                << text;
            EXPECT_EQ(current.enPassantFile, "") << text;
            EXPECT_EQ(current.halfmoveClock, epd ? "" : "0") << text;
            EXPECT_EQ(current.fullmoveNumber, epd ? "" : "1") << text;
        }
    }
}

TEST(ClipboardFen, MalformedFieldChangesNothing)
{
    BnxList list;
    DiagramRecord scratch;
    scratch.board = Board(list, startFen);
    scratch.comment = "kept";
    DiagramRecord current;
    current.castleWhiteShort = 1;
    for (const char* text :
        { "4k3/8/8/8/8/8/8/8/4K3 w - -", "8/8/8/8/8/8/8/8/8/8/8/8/8/8/8/8/8 b", "4k4/8/8/8/8/8/8/4K3 b",
            "99/8/8/8/8/8/8/8 b", "8/8/8/8/8/8/8/7 b", "kkkkkkkkk/8/8/8/8/8/8/8 b", "" }) {
        EXPECT_FALSE(ParseFen(list, scratch, current, text)) << text;
        EXPECT_EQ(scratch.board, Board(list, startFen)) << text;
        EXPECT_EQ(scratch.comment, "kept");
        EXPECT_EQ(current.castleWhiteShort, 1u);
        EXPECT_EQ(current.blackToMove, 0u);
    }
}

TEST(ClipboardFen, TranslatesLettersAlsoInFamily2)
{
    BnxList list;
    list.m_bLetterFamily2 = true;
    list.SetBorderLetters();
    DiagramRecord scratch, current;
    ASSERT_TRUE(ParseFen(list, scratch, current, std::string(startFen) + " w KQkq - 0 1"));
    EXPECT_EQ(std::string(scratch.board[0].data()), "4tJnWlNjT5");
    EXPECT_EQ(std::string(scratch.board[7].data()), "4RhBqKbHr5");
}

TEST(FenLineHelpers, CheckRecordAndCounterDigits)
{
    BnxList list;
    DiagramRecord& r = list.add("4k3/8/8/8/8/8/8/NNN1K3");
    EXPECT_EQ(CheckRecord(list, r, false), -1);
    r.castleWhiteShort = 1;
    r.board = Board(list, "4k3/8/8/8/8/8/8/6K1");
    EXPECT_EQ(CheckRecord(list, r, false), 13);
    EXPECT_EQ(CounterDigits("1a2 3"), "123");
    EXPECT_EQ(CounterDigits("-"), "");
}

TEST(Marks, DoubleStepArrowIsUniqueAndFollowsTheSide)
{
    DiagramRecord r;
    Marks::MarkEdit e = Marks::AddDoubleStepArrow(r, 'e', false);
    EXPECT_TRUE(e.added);
    EXPECT_EQ(e.bnxOnlyDelta, 0);
    EXPECT_EQ(r.marks[0], (MarkSlot { 13, 29, MarkDoubleStep }));
    Marks::AddDoubleStepArrow(r, 'e', false);
    EXPECT_EQ(r.markCount, 1u) << "showing the diagram again adds no second arrow";
    Marks::AddDoubleStepArrow(r, 'e', true);
    EXPECT_EQ(r.markCount, 1u);
    EXPECT_EQ(r.marks[0], (MarkSlot { 53, 37, MarkDoubleStep })) << "the old arrow's slot is taken again";
    EXPECT_FALSE(Marks::AddDoubleStepArrow(r, 'i', true).added);
    EXPECT_EQ(r.markCount, 1u);

    // An automatic arrow over a user arrow takes that arrow's colour.
    DiagramRecord s;
    Marks::AddMark(s, Marks::KindShift, true, 13, 29);
    Marks::AddDoubleStepArrow(s, 'e', false);
    EXPECT_EQ(s.markCount, 1u);
    EXPECT_EQ(s.marks[0], (MarkSlot { 13, 29, MarkRed2 }));

    EXPECT_EQ(Marks::RemoveDoubleStepArrows(r), 1);
    EXPECT_EQ(r.markCount, 0u);
    EXPECT_EQ(r.marks[0], (MarkSlot {}));
}

TEST(Marks, UserMarksToggleAndFillTheTable)
{
    DiagramRecord r;
    Marks::MarkEdit e = Marks::AddMark(r, Marks::KindColour, true, 52, 36, MarkYellow);
    EXPECT_TRUE(e.added);
    EXPECT_EQ(e.bnxOnlyDelta, 1);
    EXPECT_EQ(r.marks[0], (MarkSlot { 52, 36, MarkYellow }));
    e = Marks::AddMark(r, Marks::KindColour, true, 52, 36, MarkYellow);
    EXPECT_TRUE(e.removed);
    EXPECT_EQ(e.bnxOnlyDelta, -1);
    EXPECT_EQ(r.markCount, 0u);

    struct KindCase {
        int kind;
        uint8_t type;
    };
    for (KindCase k :
        { KindCase { Marks::KindCtrl, MarkGreen }, KindCase { Marks::KindShiftCtrl, MarkYellow },
            KindCase { Marks::KindRightShift, MarkBlue }, KindCase { Marks::KindRightCtrl, MarkBlue },
            KindCase { Marks::KindMarkerDownRight, MarkSquare1 },
            KindCase { Marks::KindMarkerDownLeft, MarkSquare2 }, KindCase { Marks::KindNumber, 0x35 } }) {
        DiagramRecord s;
        Marks::AddMark(s, k.kind, true, 20, 20, MarkBlue, 0x35);
        EXPECT_EQ(s.marks[0].type, k.type) << k.kind;
    }

    for (int i = 1; i <= MaxMarks; ++i)
        EXPECT_TRUE(Marks::AddMark(r, Marks::KindColour, true, (i - 1) % 64 + 1, (i - 1) / 64).added) << i;
    e = Marks::AddMark(r, Marks::KindColour, true, 64, 1);
    EXPECT_TRUE(e.tableFull);
    EXPECT_EQ(r.markCount, 70u);
    DiagramRecord t;
    EXPECT_TRUE(Marks::AddMark(t, Marks::KindColour, true, 65, 1).tableFull);
    EXPECT_TRUE(Marks::AddMark(t, Marks::KindColour, true, 3, 65).tableFull);
    EXPECT_EQ(t.markCount, 0u);
}

TEST(Marks, FreedSlotsAreNeverCountedTwice)
{
    DiagramRecord r;
    Marks::AddMark(r, Marks::KindCtrl, true, 20, 30);
    Marks::AddDoubleStepArrow(r, 'a', false);
    // The user's gesture over the automatic arrow frees its slot, which keeps its type byte.
    EXPECT_TRUE(Marks::AddMark(r, Marks::KindColour, true, 9, 25).removed);
    EXPECT_EQ(r.markCount, 1u);
    EXPECT_EQ(r.marks[1], (MarkSlot { 0, 0, MarkDoubleStep }));
    Marks::AddDoubleStepArrow(r, 'b', false);
    EXPECT_EQ(r.markCount, 2u);
    EXPECT_EQ(Marks::RemoveDoubleStepArrows(r), 1);
    EXPECT_EQ(r.markCount, 1u);
    EXPECT_EQ(Marks::RemoveDoubleStepArrows(r), 0);
    EXPECT_EQ(r.markCount, 1u);
    EXPECT_EQ(r.marks[0], (MarkSlot { 20, 30, MarkGreen }));
}

} // namespace
