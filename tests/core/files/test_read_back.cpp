// What the program writes it reads back, and the files that used to be lost or misread on opening.
#include "positions/BoardLetters.h"
#include "positions/DiagramList.h"
#include "positions/EpdOperations.h"
#include "positions/ErrorList.h"
#include "positions/FenLine.h"
#include "positions/MarkEditing.h"
#include "positions/PositionFile.h"
#include "FilesTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace PositionFile;

constexpr const char* kings = "4k3/8/8/8/8/8/8/4K3 w - -";
constexpr const char* twoWhiteKings = "4k3/8/8/8/8/8/8/3KK3 w - -";
const std::string emptyColours = "0 0 0 0 0 0 0 0 0 0 0 0 ";

// A FEN file of n positions.
std::string FenLines(int n)
{
    std::string text;
    for (int i = 0; i < n; ++i) text += "4k3/8/8/8/8/8/8/4K3 w - - 0 1\r\n";
    return text;
}

std::string Written(DiagramList& list, const WriteOptions& options)
{
    std::ostringstream out;
    EXPECT_TRUE(WriteList(list, options, out));
    return out.str();
}

// The lines after a BNX position line, with the given mark lines and line end.
std::string Block(const std::vector<std::string>& marks = {}, const std::string& end = "\r\n")
{
    std::string b;
    for (int i = 0; i < 8; ++i) b += emptyColours + end;
    b += end;
    for (const std::string& m : marks) b += m + end;
    b += "0 0" + end;
    return b;
}

// A block of the colour lines and seventy mark lines, without the flip line.
std::string SeventyMarkLines(const std::string& mark)
{
    std::string b;
    for (int i = 0; i < 8; ++i) b += emptyColours + "\r\n";
    b += "\r\n";
    for (int i = 0; i < MaxMarks; ++i) b += mark + "\r\n";
    return b;
}

struct FileCase {
    const char* name;
    std::string extension;
    std::string text;
    ReadStatus status;
    int diagrams;
    std::vector<ErrorListEntry> errors; // every faulty line: (line, code)
    bool corrupted;
    std::function<void(const DiagramList&, const ReadResult&)> check;
};

// Files that used to be refused, misread or read short, and files the program wrote before, which
// must read as they always did.
TEST(ReadBack, FilesAndWhatTheyGive)
{
    const std::string longLine(MaxLineLength + 100, 'x');
    const std::vector<FileCase> cases = {
        { "number mark 0, as the numbers palette's first cell writes it", "bnx",
            std::string(kings) + "\r\n" + Block({ "37 37 48 ", "36 36 61 " }), ReadStatus::Ok, 1, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(Nth(l, 0).marks[0], (MarkSlot { 37, 37, MarkNumberZero }));
                EXPECT_EQ(Nth(l, 0).marks[1], (MarkSlot { 36, 36, MarkNumberLast }));
                EXPECT_EQ(Nth(l, 0).markCount, 2u);
            } },
        { "a mark type past the numbers is left out, the diagram kept", "bnx",
            std::string(kings) + "\r\n" + Block({ "37 37 62 ", "12 28 3 " }), ReadStatus::Ok, 1,
            { { 1, BadBlockValue } }, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(Nth(l, 0).marks[0], (MarkSlot { 12, 28, 3 }));
                EXPECT_EQ(Nth(l, 0).markCount, 1u);
            } },
        { "CR line ends", "epd",
            std::string(kings) + " c0 \"one\";\r" + kings + " c0 \"two\";\r" + kings + " c0 \"three\";\r",
            ReadStatus::Ok, 3, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(Nth(l, 0).comment, "one");
                EXPECT_EQ(Nth(l, 2).comment, "three");
            } },
        { "CR line ends in a BNX file with page texts", "bnx",
            "HEADER_PRINT\rTitle\rTop\rInfo\rHEADER_PRINT_END\r" + std::string(kings) + "\r" + Block({}, "\r")
                + kings + "\r" + Block({ "12 28 3 " }, "\r"),
            ReadStatus::Ok, 2, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(l.m_pFirstPage->title, "Title");
                EXPECT_EQ(l.m_pFirstPage->infoText, "Info");
                EXPECT_EQ(Nth(l, 1).marks[0], (MarkSlot { 12, 28, 3 }));
            } },
        { "a CR inside a page text of a CR LF file stays a character of it", "bnx",
            "HEADER_PRINT\r\nTitle\r\na\r*b\r\n\r\nHEADER_PRINT_END\r\n" + std::string(kings) + "\r\n"
                + Block(),
            ReadStatus::Ok, 1, {}, false,
            [](const DiagramList& l, const ReadResult&) { EXPECT_EQ(l.m_pFirstPage->topText, "a\r\nb"); } },
        { "a lone CR in a CR LF file ends its line", "epd",
            std::string(kings) + "\r\n" + kings + " c0 \"x\";\r" + kings + " c0 \"y\";\r\n", ReadStatus::Ok,
            3, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(Nth(l, 1).comment, "x");
                EXPECT_EQ(Nth(l, 2).comment, "y");
            } },
        { "LF line ends", "bnx", std::string(kings) + "\n" + Block({ "1 2 3 " }, "\n"), ReadStatus::Ok, 1, {},
            false, nullptr },
        { "UTF-8 byte-order mark in an EPD file", "epd",
            "\xEF\xBB\xBF" + std::string(kings) + " c0 \"x\";\r\n" + kings + "\r\n", ReadStatus::Ok, 2, {},
            false, [](const DiagramList& l, const ReadResult&) { EXPECT_EQ(Nth(l, 0).comment, "x"); } },
        { "UTF-8 byte-order mark in a BNX file", "bnx",
            "\xEF\xBB\xBFHEADER_PRINT_X No_Legal \r\nT\r\n\r\n\r\nHEADER_PRINT_END\r\n" + std::string(kings)
                + "\r\n" + Block(),
            ReadStatus::Ok, 1, {}, false,
            [](const DiagramList& l, const ReadResult& r) {
                EXPECT_TRUE(r.headerRead);
                EXPECT_TRUE(r.headerSwitchesLegalOff);
                EXPECT_EQ(l.m_pFirstPage->title, "T");
            } },
        { "first line with an operation whose opcode begins with a digit", "epd",
            std::string(kings) + " 1x y; c0 \"c\";\r\n" + kings + " fmvn 5; hmvc 2;\r\n", ReadStatus::Ok, 2,
            {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_TRUE(l.m_bEpdMode);
                EXPECT_EQ(Nth(l, 0).epdOpsBefore, "1x y;");
                EXPECT_EQ(Nth(l, 0).comment, "c");
                EXPECT_EQ(Nth(l, 1).fullmoveNumber, "5");
                EXPECT_EQ(Nth(l, 1).halfmoveClock, "2");
            } },
        { "first line in FEN form", "txt", std::string(kings) + " 3 17\r\n" + kings + " 0 1\r\n",
            ReadStatus::Ok, 2, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_FALSE(l.m_bEpdMode);
                EXPECT_EQ(Nth(l, 0).halfmoveClock, "3");
                EXPECT_EQ(Nth(l, 0).fullmoveNumber, "17");
            } },
        { "comments as the program always wrote them", "bnx",
            std::string(kings) + " c0 \"Startnum 4 He said \xD5hi\xD5**bye\"; fmvn 2;\r\n" + Block() + kings
                + " c1 \"a**b\xD5\";\r\n" + Block() + kings + " c0 \"p\x87qr\";\r\n" + Block(),
            ReadStatus::Ok, 3, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(l.m_nStartNumber, 4);
                EXPECT_EQ(Nth(l, 0).comment, "He said \"hi\"\r\nbye");
                EXPECT_EQ(Nth(l, 1).comment, "a\r\nb\"");
                EXPECT_EQ(Nth(l, 1).commentOpcode, "c1");
                EXPECT_EQ(Nth(l, 2).comment, "p\r\nr");
            } },
        { "Startnum inside the first comment is text", "bnx",
            std::string(kings) + " c0 \"see Startnum 7 here\";\r\n" + Block(), ReadStatus::Ok, 1, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(l.m_nStartNumber, 1);
                EXPECT_EQ(Nth(l, 0).comment, "see Startnum 7 here");
                EXPECT_EQ(Nth(l, 0).displayComment, " w - - c0 \"see Startnum 7 here\";");
            } },
        { "Startnum without a number is text", "bnx",
            std::string(kings) + " c0 \"Startnum x y\";\r\n" + Block(), ReadStatus::Ok, 1, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(l.m_nStartNumber, 1);
                EXPECT_EQ(Nth(l, 0).comment, "Startnum x y");
            } },
        { "a first comment that opens like a start number, behind the real one", "bnx",
            std::string(kings) + " c0 \"Startnum 1 Startnum 7 x\";\r\n" + Block(), ReadStatus::Ok, 1, {},
            false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(l.m_nStartNumber, 1);
                EXPECT_EQ(Nth(l, 0).comment, "Startnum 7 x");
            } },
        { "escaped bytes of a comment", "bnx",
            std::string(kings) + " c0 \"\x87**\x87*\x87\xD5\x87\x87 \x87***\";\r\n" + Block(), ReadStatus::Ok,
            1, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(Nth(l, 0).comment, "***\xD5\x87 *\r\n");
            } },
        { "a star of a page text", "bnx",
            "HEADER_PRINT\r\n\x87*T\x87*\r\nx\x87**y\r\n\x87\x87\r\nHEADER_PRINT_END\r\n" + std::string(kings)
                + "\r\n" + Block(),
            ReadStatus::Ok, 1, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(l.m_pFirstPage->title, "*T*");
                EXPECT_EQ(l.m_pFirstPage->topText, "x*\ny");
                EXPECT_EQ(l.m_pFirstPage->infoText, "\x87");
            } },
        { "seventy mark lines and no flip line: the next line is the next position", "bnx",
            std::string(kings) + "\r\n" + SeventyMarkLines("0 0 0 ") + kings + "\r\n"
                + SeventyMarkLines("12 28 3 ") + kings + "\r\n" + Block({ "1 2 3 " }),
            ReadStatus::Ok, 3, {}, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(Nth(l, 0).markCount, 0u);
                EXPECT_EQ(Nth(l, 1).markCount, 70u);
                EXPECT_EQ(Nth(l, 1).marks[69], (MarkSlot { 12, 28, 3 }));
                EXPECT_EQ(Nth(l, 2).marks[0], (MarkSlot { 1, 2, 3 }));
            } },
        { "a line longer than any position file holds", "epd",
            std::string(kings) + "\r\n" + longLine + "\r\n" + kings + " c0 \"after\";\r\n", ReadStatus::Ok, 2,
            { { 2, LineTooLong } }, false,
            [](const DiagramList& l, const ReadResult&) { EXPECT_EQ(Nth(l, 1).comment, "after"); } },
        { "an overlong position line of a BNX file drops its block", "bnx",
            std::string(kings) + "\r\n" + Block() + kings + " c0 \"" + longLine + "\";\r\n"
                + Block({ "1 2 3 " }) + kings + "\r\n" + Block({ "4 5 6 " }),
            ReadStatus::Ok, 2, { { 2, LineTooLong } }, false,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(Nth(l, 1).marks[0], (MarkSlot { 4, 5, 6 }));
            } },
        { "an overlong colour line", "bnx",
            std::string(kings) + "\r\n" + Block() + kings + "\r\n" + longLine + "\r\n" + Block(),
            ReadStatus::Ok, 2, {}, true, nullptr },
        { "an overlong page text is cut, and the file reported corrupted", "bnx",
            "HEADER_PRINT\r\nT\r\n" + longLine + "\r\n\r\nHEADER_PRINT_END\r\n" + kings + "\r\n" + Block(),
            ReadStatus::Ok, 1, {}, true,
            [](const DiagramList& l, const ReadResult&) {
                EXPECT_EQ(l.m_pFirstPage->topText.size(), MaxLineLength);
            } },
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        DiagramList list;
        ReadResult read = ReadText(c.text, OptionsFor(c.extension), list);
        EXPECT_EQ(read.status, c.status);
        EXPECT_EQ(Count(list), c.diagrams);
        EXPECT_EQ(read.corrupted, c.corrupted);
        ASSERT_EQ(read.errors.Entries().size(), c.errors.size());
        for (size_t i = 0; i < c.errors.size(); ++i) {
            EXPECT_EQ(read.errors.Entries()[i].lineNumber, c.errors[i].lineNumber) << i;
            EXPECT_EQ(read.errors.Entries()[i].code, c.errors[i].code) << i;
        }
        if (c.check && Count(list) == c.diagrams) c.check(list, read);
    }
    EXPECT_EQ(ErrorMessageId(LineTooLong), 41400);
}

// A list of one diagram per comment, with the page texts given, written as BNX and read again.
TEST(ReadBack, EveryByteOfACommentOrAPageTextComesBack)
{
    std::string all;
    for (int c = 0x20; c <= 0xFF; ++c) all += static_cast<char>(c);
    const std::vector<std::string> comments = {
        all,
        "**",
        "***",
        "a*\r\nb",
        "*\r\n*",
        "\r\n**\r\n",
        "\xD5\x87\x87\xD5",
        "\x87",
        "end*",
        "\"quoted\"; and ; semicolons",
        "Startnum 7 looks like a start number",
        "Startnum 9",
        "x Startnum 3 y",
        "ends in a backslash\\",
        "two\\\\backslashes\\\\",
        "\\\"\\",
    };
    for (bool headFirst : { false, true }) {
        for (size_t k = 0; k < comments.size(); ++k) {
            SCOPED_TRACE(::testing::Message() << "comment " << k << (headFirst ? " at the head" : " later"));
            DiagramList list;
            list.AddHeaderNode(false, true);
            list.CreateFirstDiagram();
            DiagramRecord* r = headFirst ? list.m_pFirstDiagram : list.AppendDiagram();
            r->comment = comments[k];
            r->commentOpcode = "c3";
            list.m_pFirstPage->title = "T*i**t\x87le";
            list.m_pFirstPage->topText = "*top\r\n**\r\nline\nx*";
            list.m_pFirstPage->infoText = comments[k].find('\n') == std::string::npos ? comments[k] : "";
            for (int start : { 1, 12 }) {
                list.m_nStartNumber = start;
                WriteOptions w;
                const std::string text = Written(list, w);
                DiagramList back;
                // Empty boards: the legality check would refuse them.
                ReadResult read = ReadText(text, OptionsFor("bnx", false), back);
                ASSERT_EQ(read.status, ReadStatus::Ok);
                ASSERT_EQ(Count(back), Count(list));
                const DiagramRecord& got = headFirst ? Nth(back, 0) : Nth(back, 1);
                EXPECT_EQ(got.comment, comments[k]);
                EXPECT_EQ(got.commentOpcode, "c3");
                EXPECT_EQ(back.m_nStartNumber, start);
                EXPECT_EQ(back.m_pFirstPage->title, list.m_pFirstPage->title);
                EXPECT_EQ(back.m_pFirstPage->topText, list.m_pFirstPage->topText);
                EXPECT_EQ(back.m_pFirstPage->infoText, list.m_pFirstPage->infoText);
                // Written again, the same bytes.
                EXPECT_EQ(Written(back, w), text);
            }
        }
    }
}

TEST(ReadBack, EscapesOnlyWhatWouldBeMisread)
{
    // Files of lists whose texts need no escape are the same bytes as ever.
    EXPECT_EQ(EscapeCommentForFile("a * b \"c\"\r\nd", false),
        "a * b \xD5"
        "c\xD5**d");
    EXPECT_EQ(EscapeCommentForFile("a * b \"c\"\r\nd", true),
        "a * b \xD5"
        "c\xD5  d");
    // A star before a star or a line break, and the two escape bytes, go after 0x87.
    EXPECT_EQ(EscapeCommentForFile("**x*\r\n", false), "\x87**x\x87***");
    EXPECT_EQ(EscapeCommentForFile("**x*\r\n", true), "\x87**x*  ");
    EXPECT_EQ(EscapeCommentForFile("\xD5\x87", false), "\x87\xD5\x87\x87");
    // A lone CR or LF would end the file line.
    EXPECT_EQ(EscapeCommentForFile("a\rb\nc", false), "a**b**c");
    // In an .epd file a lone 0x87 has always been read as a blank.
    EXPECT_EQ(DecodeCommentText("p\x87qr", true), "p qr");
    EXPECT_EQ(DecodeCommentText("p\x87*\x87\x87", true), "p*\x87");
}

// The list's one diagram, written as BNX and read again, has its letters and rotation marks.
void ExpectBnxKeepsTheTurns(DiagramList& list, const WriteOptions& w)
{
    DiagramList back;
    ReadText(Written(list, w), OptionsFor("bnx"), back);
    ASSERT_EQ(Count(back), 1);
    EXPECT_EQ(Nth(back, 0).board, Nth(list, 0).board);
    EXPECT_EQ(Nth(back, 0).rotations, Nth(list, 0).rotations);
}

TEST(ReadBack, FairyModeWithoutRotationsReopensAsTheSameBoards)
{
    // A board of ordinary pieces, built in fairy mode: the black king sits on a light square as 'l'.
    DiagramList list;
    list.AddHeaderNode(false, true);
    DiagramRecord& r = *list.CreateFirstDiagram();
    r.board[0][5] = 'l'; // e8, light
    r.board[7][5] = 'K'; // e1, dark
    r.board[6][1] = 'p'; // a2, light
    ASSERT_FALSE(list.m_bFairyMarks);
    WriteOptions w;
    w.fairyMode = true;
    const std::string text = Written(list, w);
    EXPECT_TRUE(text.starts_with("HEADER_PRINT_X Fairy \r\n"));

    // The next start of the program, without fairy mode.
    DiagramList back;
    ReadResult read = ReadText(text, OptionsFor("bnx"), back);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_TRUE(read.headerSwitchesFairyOn);
    ASSERT_EQ(Count(back), 1);
    EXPECT_EQ(Nth(back, 0).board, r.board);

    // Rotation marks made in fairy mode and kept after it was left: still the fairy form.
    r.rotations.Set(7, 5, 4);
    r.board[7][5] = 'C'; // the king turned a quarter
    list.m_bFairyMarks = true;
    w.fairyMode = false;
    ExpectBnxKeepsTheTurns(list, w);

    // Outside fairy mode, without rotations, the file is as it always was.
    list.m_bFairyMarks = false;
    r.rotations.Set(7, 5, 0);
    r.board[7][5] = 'K';
    EXPECT_TRUE(Written(list, w).starts_with("4k3/"));
}

// Other programs read EPD and FEN files in FEN letters only; in fairy mode too, and a turned piece is
// written as the piece it is (the turn is what these files cannot keep).
TEST(ReadBack, EpdAndFenFilesHaveFenLettersInFairyMode)
{
    DiagramList list;
    list.AddHeaderNode(false, true);
    DiagramRecord& r = *list.CreateFirstDiagram();
    list.SetBoardPosition(1);
    // The white king on e1 (a dark square) turned a quarter, as a rotation gesture in fairy mode makes it.
    r.rotations.Set(7, 5, 4);
    r.board[7][5] = MarkEditing::RotatedFairyLetter('K', 4);
    ASSERT_NE(r.board[7][5], 'K');
    list.m_bFairyMarks = true;
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";
    for (const char* extension : { "epd", "fen", "txt" }) {
        SCOPED_TRACE(extension);
        WriteOptions w;
        w.extension = extension;
        w.fairyMode = true;
        const std::string text = Written(list, w);
        EXPECT_TRUE(text.starts_with(start + " w KQkq -")) << text;

        // Read again outside fairy mode with the checks on, and in fairy mode: the same pieces.
        for (bool fairy : { false, true }) {
            ReadOptions o = OptionsFor(extension, !fairy);
            o.fairyMode = fairy;
            DiagramList back;
            ReadResult read = ReadText(text, o, back);
            ASSERT_EQ(read.status, ReadStatus::Ok);
            EXPECT_TRUE(read.errors.Empty());
            ASSERT_EQ(Count(back), 1);
            FontBoard upright = r.board;
            upright[7][5] = 'K';
            EXPECT_EQ(Nth(back, 0).board, upright) << "fairy mode " << fairy;
        }
    }
    // A BNX file keeps the letters as they stand, and the turn.
    WriteOptions bnx;
    bnx.fairyMode = true;
    ExpectBnxKeepsTheTurns(list, bnx);
}

// A page text that begins like the end of the header block is still a page text when read again.
TEST(ReadBack, PageTextsThatReadLikeTheHeaderEnd)
{
    DiagramList list;
    list.AddHeaderNode(false, true);
    list.CreateFirstDiagram();
    for (int i = 0; i < 9; ++i) list.AppendDiagram();
    const std::vector<std::array<std::string, 3>> texts = {
        { "HEADER_PRINT_END", "HEADER_PRINT_END of the top\r\nline", "HEADER_PRINT_ENDING" },
        { "\x87HEADER_PRINT_END", "HEADER_PRINT", "x\rlone CR" },
    };
    PrintHeaderNode* page = list.m_pFirstPage;
    for (const auto& t : texts) {
        page->title = t[0];
        page->topText = t[1];
        page->infoText = t[2];
        page = page->next;
    }
    WriteOptions w;
    const std::string text = Written(list, w);
    DiagramList back;
    ReadResult read = ReadText(text, OptionsFor("bnx", false), back);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    ASSERT_EQ(Count(back), 10);
    page = back.m_pFirstPage;
    for (const auto& t : texts) {
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->title, t[0]);
        EXPECT_EQ(page->topText, t[1]);
        // A lone CR would end the file's line: it comes back as a line break.
        EXPECT_EQ(page->infoText, t[2] == "x\rlone CR" ? "x\r\nlone CR" : t[2]);
        page = page->next;
    }
    EXPECT_EQ(Written(back, w), text);
}

TEST(ReadBack, PgnFenTagHasSixFields)
{
    DiagramList list;
    ReadText(std::string("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 fmvn 7; hmvc 0;\r\n")
            + kings + "\r\n",
        OptionsFor("epd"), list);
    ASSERT_EQ(Count(list), 2);
    WriteOptions w;
    w.extension = "pgn";
    w.fairyMode = true; // the tag is for other programs: standard letters whatever the mode
    const std::string text = Written(list, w);
    EXPECT_NE(text.find("[FEN \"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 7\"]"),
        std::string::npos);
    EXPECT_NE(text.find("[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]"), std::string::npos);
}

TEST(ReadBack, OnlyAFenFileOfPlainPositionsHoldsTheList)
{
    DiagramList list;
    ReadText(FenLines(2), OptionsFor("fen"), list);
    EXPECT_TRUE(HoldsWholeList(list, Kind::Fen));
    EXPECT_FALSE(HoldsWholeList(list, Kind::Pgn));
    EXPECT_TRUE(HoldsWholeList(list, Kind::Bnx));
    EXPECT_TRUE(HoldsWholeList(list, Kind::Epd));
    const std::vector<std::pair<const char*, std::function<void(DiagramList&)>>> losses = {
        { "comment", [](DiagramList& l) { l.m_pLastDiagram->comment = "x"; } },
        { "operation", [](DiagramList& l) { l.m_pLastDiagram->epdOpsAfter = "id \"x\";"; } },
        { "mark",
            [](DiagramList& l) {
                l.m_pLastDiagram->marks.Set(3, { 1, 2, 3 });
            } },
        { "coloured square", [](DiagramList& l) { l.m_pLastDiagram->colours.Set(2, 2, 1); } },
        { "flip", [](DiagramList& l) { l.m_pLastDiagram->flipped = 1; } },
        { "rotation", [](DiagramList& l) { l.m_pLastDiagram->rotations.Set(2, 2, 1); } },
        { "start number", [](DiagramList& l) { l.m_nStartNumber = 3; } },
        { "page text", [](DiagramList& l) { l.m_pFirstPage->infoText = "x"; } },
    };
    for (const auto& [what, change] : losses) {
        SCOPED_TRACE(what);
        DiagramList l;
        ReadText(FenLines(2), OptionsFor("fen"), l);
        change(l);
        EXPECT_FALSE(HoldsWholeList(l, Kind::Fen));
    }
    // The double-step arrow comes back from the en-passant square.
    DiagramList ep;
    ReadText("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1\r\n", OptionsFor("fen"), ep);
    EXPECT_EQ(Nth(ep, 0).marks[0].type, MarkDoubleStep);
    EXPECT_TRUE(HoldsWholeList(ep, Kind::Fen));
}

TEST(ReadBack, EveryFaultyLineIsKeptForCorrection)
{
    // 150 lines with two white kings among 200: all of them are walked, none enters unflagged.
    std::string text;
    for (int i = 0; i < 200; ++i) text += std::string(i % 4 == 0 ? kings : twoWhiteKings) + "\n";
    DiagramList first;
    ReadResult read = ReadText(text, OptionsFor("epd"), first);
    ASSERT_EQ(read.errors.FaultyLineCount(), 150);
    EXPECT_EQ(read.errors.ListedCount(), 100u);
    EXPECT_EQ(read.errors.MoreCount(), 50);
    EXPECT_EQ(Count(first), 50);

    ReadOptions again = OptionsFor("epd");
    again.correct = &read.errors;
    DiagramList second;
    ReadResult re = ReadText(text, again, second);
    EXPECT_EQ(Count(second), 200);
    EXPECT_TRUE(re.failedAgain.empty());
    OpenErrorList walk = re.corrected;
    walk.StartWalk();
    int walked = 0;
    for (const ErrorListEntry* e = walk.NextToCorrect(); e; e = walk.NextToCorrect()) {
        EXPECT_EQ(e->diagramIndex, e->lineNumber - 1);
        ++walked;
        ++walk.errorListCursor;
    }
    EXPECT_EQ(walked, 150);
}

} // namespace
