#include "FilesTestSupport.h"
#include "storage/AtomicFile.h"
#include "positions/BoardLetters.h"
#include "positions/DiagramList.h"
#include "positions/ErrorList.h"
#include "positions/MarkEditing.h"
#include "positions/Marks.h"
#include "positions/PositionFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace PositionFile;
namespace fs = std::filesystem;

const std::string data = std::string(BRENNIX_TEST_DATA) + "/files/";

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int PageNodes(const DiagramList& list)
{
    int n = 0;
    for (PrintHeaderNode* p = list.m_pFirstPage; p; p = p->next) ++n;
    return n;
}

// The write options the File commands use after reading a file: its header decides the first line.
WriteOptions WriteOptionsAfter(const ReadResult& read, const std::string& extension, bool allMarkSlots)
{
    WriteOptions w;
    w.extension = extension;
    w.allMarkSlots = allMarkSlots;
    w.fairyMode = read.headerSwitchesFairyOn;
    w.legalPosition = !read.headerSwitchesLegalOff;
    w.pgnTags = { "[Event \"?\"]", "[Site \"?\"]", "[Date \"????.??.??\"]", "[Round \"?\"]", "[White \"?\"]",
        "[Black \"?\"]", "[Result \"*\"]", "[SetUp \"1\"]", "[PlyCount \"0\"]" };
    return w;
}

std::string Written(DiagramList& list, const WriteOptions& options)
{
    std::ostringstream out;
    EXPECT_TRUE(WriteList(list, options, out));
    return out.str();
}

// A list of `n` diagrams made from a text of position lines.
std::string Lines(int n, const std::string& line)
{
    std::string text;
    for (int i = 0; i < n; ++i) text += line + "\r\n";
    return text;
}

constexpr const char* kings = "4k3/8/8/8/8/8/8/4K3 w - -";
constexpr const char* twoWhiteKings = "4k3/8/8/8/8/8/8/3KK3 w - -";

TEST(PositionFiles, GoldenFilesReadBackToTheSameBytes)
{
    struct Case {
        const char* file;
        const char* extension;
        bool allMarkSlots;
        int diagrams;
    };
    for (const Case& c :
        std::vector<Case> { { "noleg.bnx", "bnx", false, 10 }, { "save.bnx", "bnx", true, 10 },
            { "fairy.bnx", "bnx", false, 10 }, { "golden.epd", "epd", false, 10 },
            { "golden.txt", "txt", false, 10 }, { "golden.fen", "fen", false, 10 } }) {
        SCOPED_TRACE(c.file);
        DiagramList list;
        std::string reason;
        ReadResult read = ReadFile(data + c.file, OptionsFor(c.extension), list, reason);
        ASSERT_EQ(read.status, ReadStatus::Ok) << reason;
        EXPECT_TRUE(read.errors.Empty());
        EXPECT_FALSE(read.corrupted);
        ASSERT_EQ(Count(list), c.diagrams);
        EXPECT_EQ(list.m_nLastIndex, c.diagrams - 1);
        list.m_bFairyMarks = read.fairyMarks;
        EXPECT_EQ(Written(list, WriteOptionsAfter(read, c.extension, c.allMarkSlots)), Slurp(data + c.file));
    }
}

ReadResult ReadFixture(const char* file, DiagramList& list)
{
    std::string reason;
    ReadResult read = ReadFile(data + file, OptionsFor("bnx"), list, reason);
    EXPECT_EQ(read.status, ReadStatus::Ok) << reason;
    return read;
}

TEST(PositionFiles, BnxFileKeepsEverythingADiagramHolds)
{
    DiagramList list;
    ReadResult read = ReadFixture("noleg.bnx", list);
    EXPECT_TRUE(read.headerRead);
    EXPECT_TRUE(read.headerSwitchesLegalOff);
    EXPECT_FALSE(read.headerSwitchesFairyOn);
    EXPECT_EQ(list.m_nStartNumber, 5);
    EXPECT_TRUE(list.m_bEpdMode);
    EXPECT_EQ(list.m_nPageCount, 2);
    ASSERT_EQ(PageNodes(list), 2);
    EXPECT_EQ(list.m_pFirstPage->title, "Page one");
    EXPECT_EQ(list.m_pFirstPage->topText, "Top a\r\nb");
    EXPECT_EQ(list.m_pFirstPage->infoText, "Info one");
    EXPECT_EQ(list.m_pLastPage->topText, "");
    EXPECT_EQ(list.m_pLastPage->infoText, "Info two");
    EXPECT_EQ(list.m_pCurrentDiagram, list.m_pFirstDiagram);
    EXPECT_EQ(list.m_pCurrentPage, list.m_pFirstPage);

    const DiagramRecord& head = Nth(list, 0);
    EXPECT_EQ(head.comment, "First \"quoted\" comment\r\nsecond line");
    EXPECT_EQ(head.commentOpcode, "c0");
    EXPECT_EQ(head.fullmoveNumber, "1");
    EXPECT_EQ(head.enPassantFile, "e");
    EXPECT_EQ(head.colouredCount, 3);
    EXPECT_EQ(head.colours[4][5], 3);
    // The file's marks replace the arrow the en-passant square would add.
    EXPECT_EQ(head.markCount, 3u);
    EXPECT_EQ(head.marks[0], (MarkSlot { 12, 28, 3 }));
    EXPECT_EQ(head.marks[1], (MarkSlot { 53, 0, 7 }));
    EXPECT_EQ(head.marks[3], MarkSlot {});
    EXPECT_EQ(Nth(list, 1).epdOpsBefore, "acd 5;");
    EXPECT_EQ(Nth(list, 1).epdOpsAfter, "id \"x\";");
    EXPECT_EQ(Nth(list, 2).flipped, 1);
    EXPECT_EQ(Nth(list, 2).castleWhiteLong, 1u);
    EXPECT_EQ(Nth(list, 5).warningsAccepted, 1);
    EXPECT_EQ(Nth(list, 5).comment, "Line one\r\nLine two\r\nLine three");
    EXPECT_EQ(Nth(list, 6).halfmoveClock, "12");
    EXPECT_EQ(Nth(list, 7).marks[0].type, MarkDoubleStep);
}

TEST(PositionFiles, FairyFileKeepsRotationsAndLettersAsTheyStand)
{
    DiagramList list;
    ReadResult read = ReadFixture("fairy.bnx", list);
    EXPECT_TRUE(read.headerSwitchesFairyOn);
    EXPECT_TRUE(read.headerSwitchesLegalOff);
    EXPECT_TRUE(read.fairyMarks);
    EXPECT_EQ(Nth(list, 0).rotations[7][1], 4);
    EXPECT_EQ(Nth(list, 4).rotations[0][7], 5);
    // Fairy letters are placed as the line names them, whatever the square's colour.
    EXPECT_EQ(Nth(list, 1).board[7][5], 'K');
}

TEST(PositionFiles, RotationLinesAreExpectedOnlyUnderAFairyHeader)
{
    // A user in fairy mode opening a plain file: the line after the flip line is the next position.
    std::string text = Slurp(data + "save.bnx");
    ReadOptions o = OptionsFor("bnx");
    o.fairyMode = true;
    o.legalCheckActive = false;
    DiagramList list;
    ReadResult read = ReadText(text, o, list);
    EXPECT_EQ(read.status, ReadStatus::Ok);
    EXPECT_FALSE(read.corrupted);
    EXPECT_EQ(Count(list), 10);
}

TEST(PositionFiles, PgnOutputHasOneGameHeaderPerDiagram)
{
    DiagramList list;
    ReadResult read
        = ReadText(std::string("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 c0 \"x\";\r\n")
                + kings + " fmvn 3;\r\n",
            OptionsFor("epd"), list);
    ASSERT_EQ(Count(list), 2);
    EXPECT_EQ(Written(list, WriteOptionsAfter(read, "pgn", false)), Slurp(data + "two.pgn"));
}

TEST(PositionFiles, HeaderBlockForms)
{
    DiagramList list;
    list.AddHeaderNode(false, true);
    list.CreateFirstDiagram();
    std::string block;
    // All page texts empty and the checks on: no header at all.
    EXPECT_FALSE(BuildHeaderBlock(list, true, false, block));
    EXPECT_EQ(block, "");
    EXPECT_TRUE(BuildHeaderBlock(list, false, false, block));
    EXPECT_EQ(block, "HEADER_PRINT_X No_Legal \n\n\n\nHEADER_PRINT_END\n");
    EXPECT_TRUE(BuildHeaderBlock(list, true, true, block));
    EXPECT_EQ(block, "HEADER_PRINT_X Fairy \n\n\n\nHEADER_PRINT_END\n");
    // Fairy form: in fairy mode, and whenever rotation marks were made.
    EXPECT_FALSE(FairyForm(list, false));
    EXPECT_TRUE(FairyForm(list, true));
    list.m_bFairyMarks = true;
    EXPECT_TRUE(FairyForm(list, false));
    list.m_bFairyMarks = false;
    list.m_pFirstPage->topText = "a\r\nb";
    EXPECT_TRUE(BuildHeaderBlock(list, true, false, block));
    EXPECT_EQ(block, "HEADER_PRINT\n\na\r*b\n\nHEADER_PRINT_END\n");

    // Without a header the file starts with the position line.
    list.m_pFirstPage->topText.clear();
    WriteOptions w;
    std::string text = Written(list, w);
    EXPECT_EQ(text.substr(0, 28), "8/8/8/8/8/8/8/8 w - -\r\n0 0 0");
}

TEST(PositionFiles, SaveWritesAllSixtyNineSlotsSaveAsEveryUsedOne)
{
    DiagramList list;
    list.AddHeaderNode(false, true);
    DiagramRecord& r = *list.CreateFirstDiagram();
    auto blockLines = [&](bool allMarkSlots) {
        WriteOptions w;
        w.allMarkSlots = allMarkSlots;
        std::string text = Written(list, w);
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        // position line, 8 colour lines, the empty line: the marks follow, then the flip line
        return std::vector<std::string>(lines.begin() + 10, lines.end() - 1);
    };
    EXPECT_EQ(blockLines(true), std::vector<std::string>(69, "0 0 0 \r"));
    EXPECT_TRUE(blockLines(false).empty());

    // A mark taken away leaves a free slot; the marks after it are written all the same.
    Marks::AddMark(r, Marks::KindColour, true, 12, 28, MarkRed);
    Marks::AddMark(r, Marks::KindColour, true, 1, 9, MarkGreen);
    Marks::AddMark(r, Marks::KindColour, true, 12, 28, MarkRed);
    ASSERT_EQ(r.marks[0], (MarkSlot { 0, 0, MarkRed }));
    std::vector<std::string> saved = blockLines(true);
    EXPECT_EQ(saved[0], "0 0 3 \r");
    EXPECT_EQ(saved[1], "1 9 1 \r");
    EXPECT_EQ(blockLines(false), std::vector<std::string> { "1 9 1 \r" });

    // A full table keeps 69 marks in the file.
    for (int s = 0; s < MaxMarks; ++s)
        r.marks.Set(static_cast<size_t>(s), { static_cast<uint8_t>(s % 64 + 1), 0, 7 });
    EXPECT_EQ(blockLines(false).size(), 69u);
    EXPECT_EQ(blockLines(true).size(), 69u);
}

// Lists longer than the reader holds at once, of blocks of every length: free slots before, between and
// after the marks (some keeping a taken mark's type), coloured and turned squares, with each line end
// this program meets. Every diagram comes back whole, and the file is written again to the same bytes.
TEST(PositionFiles, LongListsReadBackWholeWhateverTheirBlocksAndLineEnds)
{
    DiagramList list;
    list.AddHeaderNode(false, true);
    list.m_bFairyMarks = true;
    for (int i = 0; i < 3000; ++i) {
        DiagramRecord& r = i == 0 ? *list.CreateFirstDiagram() : *list.AppendDiagram();
        r.board = BoardLetters::EmptyBoard(false);
        r.board[0][5] = 'l';
        r.board[7][5] = 'K';
        // Up to the 69 marks a diagram may hold.
        const size_t marks = static_cast<size_t>(i % (MarkEditing::MaxStoredMarks + 1));
        for (size_t s = 0; s < marks; ++s) {
            if ((s + static_cast<size_t>(i)) % 5 == 0) continue; // a slot never used
            const bool taken = (s + static_cast<size_t>(i)) % 7 == 0; // a mark taken away keeps its type
            r.marks.Set(s,
                { uint8_t(taken ? 0 : (i + int(s)) % 64 + 1), uint8_t(taken ? 0 : (i * 3) % 65),
                    uint8_t(MarkGreen + s % 4) });
        }
        r.markCount = static_cast<uint8_t>(MarkEditing::UsedMarkSlots(r));
        if (i % 3 == 0) {
            r.colours.Set(size_t(i % 8), size_t(1 + i % 8), int8_t(1 + i % 4));
            r.colouredCount = 1;
        }
        if (i % 11 == 0) r.rotations.Set(size_t(i % 8), size_t(1 + i % 8), int8_t(1 + i % 3));
        r.flipped = i % 13 == 0;
    }
    list.UpdatePageCount();
    for (int p = 1; p < list.m_nPageCount; ++p) list.AddHeaderNode(true, false);

    for (bool allMarkSlots : { true, false }) {
        WriteOptions w;
        w.allMarkSlots = allMarkSlots;
        w.fairyMode = true;
        const std::string written = Written(list, w);
        ASSERT_GT(written.size(), size_t(1) << 20) << "the list is longer than the reader's buffer";
        // The same file with LF line ends, and with lone CRs.
        std::string lf, cr;
        for (size_t k = 0; k < written.size(); ++k) {
            if (written[k] != '\r') lf += written[k];
            if (written[k] != '\n') cr += written[k];
        }
        const std::pair<const char*, const std::string*> forms[]
            = { { "CR LF", &written }, { "LF", &lf }, { "CR", &cr } };
        for (const auto& [name, text] : forms) {
            SCOPED_TRACE(name);
            DiagramList back;
            std::istringstream in(*text);
            ReadOptions options;
            options.legalCheckActive = false;
            ReadResult read = ReadList(in, options, back);
            ASSERT_EQ(read.diagramsMade, 3000);
            EXPECT_FALSE(read.corrupted);
            for (const DiagramRecord *a = list.m_pFirstDiagram, *b = back.m_pFirstDiagram; a && b;
                 a = a->next, b = b->next) {
                EXPECT_EQ(a->board, b->board);
                EXPECT_EQ(a->colours, b->colours);
                EXPECT_EQ(a->rotations, b->rotations);
                EXPECT_EQ(a->flipped, b->flipped);
                EXPECT_EQ(a->colouredCount, b->colouredCount);
                EXPECT_EQ(MarkEditing::UsedMarkSlots(*a), MarkEditing::UsedMarkSlots(*b));
                if (allMarkSlots) EXPECT_EQ(a->marks, b->marks);
            }
            EXPECT_EQ(Written(back, w), written);
        }
    }
}

// The automatic arrow of an en-passant square takes a slot; with 68 marks of the user's and a slot freed
// before the 70th, Save still writes every mark.
TEST(PositionFiles, SaveKeepsEveryMarkWhenAFreeSlotComesFirst)
{
    DiagramList list;
    list.AddHeaderNode(false, true);
    DiagramRecord& r = *list.CreateFirstDiagram();
    r.enPassantFile = "e";
    Marks::AddDoubleStepArrow(r, 'e', false);
    ASSERT_EQ(r.marks[0].type, MarkDoubleStep);
    for (int s = 1; s < MaxMarks; ++s)
        r.marks.Set(static_cast<size_t>(s),
            { static_cast<uint8_t>(s % 64 + 1), static_cast<uint8_t>((s + 9) % 64 + 1), MarkGreen });
    r.marks.Set(5, { 0, 0, MarkRed }); // a mark taken away
    r.markCount = 69;
    auto used = [](const DiagramRecord& d) {
        std::vector<MarkSlot> slots;
        for (const MarkSlot& m : d.marks)
            if (m.from != 0) slots.push_back(m);
        return slots;
    };
    for (bool allMarkSlots : { true, false }) {
        SCOPED_TRACE(allMarkSlots ? "Save" : "Save As");
        WriteOptions w;
        w.allMarkSlots = allMarkSlots;
        DiagramList back;
        ReadResult read = ReadText(Written(list, w), OptionsFor("bnx", false), back);
        ASSERT_EQ(read.status, ReadStatus::Ok);
        EXPECT_FALSE(read.corrupted);
        ASSERT_EQ(Count(back), 1);
        EXPECT_EQ(used(Nth(back, 0)), used(r));
        EXPECT_EQ(Nth(back, 0).markCount, 69u);
    }
    // With room to spare Save writes the free slot as it stands, as it always did.
    r.marks.Set(69, {});
    WriteOptions save;
    DiagramList back;
    ReadText(Written(list, save), OptionsFor("bnx", false), back);
    EXPECT_EQ(Nth(back, 0).marks[5], (MarkSlot { 0, 0, MarkRed }));
    EXPECT_EQ(used(Nth(back, 0)), used(r));
}

TEST(PositionFiles, EveryKindWritesItsOwnLineForm)
{
    DiagramList list;
    ReadResult read = ReadText(Slurp(data + "golden.fen"), OptionsFor("fen"), list);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_FALSE(list.m_bEpdMode);
    DiagramRecord& third = Nth(list, 2);
    third.comment = "note";
    third.commentOpcode = "c0";
    auto lineFor = [&](const char* extension) {
        WriteOptions w;
        w.extension = extension;
        return PositionLine(list, third, w);
    };
    // A BNX line carries its comment and counters whatever the list's form.
    EXPECT_EQ(lineFor("bnx"), "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - c0 \"note\"; fmvn 20; hmvc 5;");
    EXPECT_EQ(lineFor("fen"), "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 20");
    // A list read in FEN form writes its lines back in that form, with their operations.
    EXPECT_EQ(lineFor("epd"), "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 20 c0 \"note\";");
    EXPECT_EQ(lineFor("pgn"), "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 20");
    list.m_bEpdMode = true;
    EXPECT_EQ(lineFor("epd"), "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - c0 \"note\"; fmvn 20; hmvc 5;");
    EXPECT_EQ(lineFor("xyz"), lineFor("epd"));
    // A FEN file never gets operations, also in EPD mode.
    EXPECT_EQ(lineFor("fen"), "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 20");
    EXPECT_EQ(list.m_strExtension, "fen");
}

struct FaultyCase {
    const char* name;
    std::string extension;
    std::string text;
    bool legal;
    ReadStatus status;
    int diagrams;
    std::vector<ErrorListEntry> entries; // the first entries expected (line, code)
    int listed;
    int more;
    bool corrupted;
};

std::string Block(const std::string& colourLine = "0 0 0 0 0 0 0 0 0 0 0 0 ", const std::string& mark = "")
{
    std::string b;
    for (int i = 0; i < 8; ++i) b += colourLine + "\r\n";
    b += "\r\n";
    if (!mark.empty()) b += mark + "\r\n";
    b += "0 0\r\n";
    return b;
}

TEST(PositionFiles, FaultyFiles)
{
    const std::string longComment(580, 'x');
    std::string manyFaults;
    for (int i = 0; i < 200; ++i) manyFaults += std::string(i % 4 == 0 ? kings : twoWhiteKings) + "\n";
    std::string someFormatFaults;
    for (int i = 0; i < 1000; ++i) someFormatFaults += std::string(i % 6 == 0 ? "garbage" : kings) + "\n";
    std::string badColour = Block();
    badColour.replace(0, 1, "7");

    const std::vector<FaultyCase> cases = {
        { "empty bnx", "bnx", "", true, ReadStatus::Empty, 0, {}, 0, 0, false },
        { "empty epd", "epd", "", true, ReadStatus::Empty, 0, {}, 0, 0, false },
        { "header cut inside a group", "bnx", "HEADER_PRINT_X No_Legal \r\nPage\r\ntop\r\n", true,
            ReadStatus::HeaderCut, 0, {}, 0, 0, false },
        { "header end inside a group", "bnx",
            "HEADER_PRINT\r\nPage\r\nHEADER_PRINT_END\r\n" + Lines(1, kings), true, ReadStatus::HeaderCut, 0,
            {}, 0, 0, false },
        { "header without end and no position", "bnx", "HEADER_PRINT\r\nPage\r\ntop\r\ninfo\r\n", true,
            ReadStatus::NotPositionFile, 0, {}, 0, 0, false },
        { "line of 600 characters", "epd",
            std::string(kings) + " c0 \"" + longComment + "\";\r\n" + kings + "\r\n", true, ReadStatus::Ok, 2,
            {}, 0, 0, false },
        { "garbage line of 600 characters", "epd", Lines(2, kings) + std::string(600, 'x') + "\r\n" + kings,
            true, ReadStatus::Ok, 3, { { 3, 15 } }, 1, 0, false },
        // A value out of range is left out; its diagram stays, and the line is listed.
        { "bad colour value", "bnx",
            Lines(1, kings) + Block() + Lines(1, kings) + badColour + Lines(1, kings) + Block(), true,
            ReadStatus::Ok, 3, { { 2, BadBlockValue } }, 1, 0, false },
        { "bad mark square", "bnx", Lines(1, kings) + Block("0 0 0 0 0 0 0 0 0 0 0 0 ", "65 1 3 "), true,
            ReadStatus::Ok, 1, { { 1, BadBlockValue } }, 1, 0, false },
        { "bad mark type", "bnx",
            Lines(1, kings) + Block() + Lines(1, kings) + Block("0 0 0 0 0 0 0 0 0 0 0 0 ", "1 2 9 "), true,
            ReadStatus::Ok, 2, { { 2, BadBlockValue } }, 1, 0, false },
        { "colour line of a wrong length", "bnx",
            Lines(1, kings) + Block() + Lines(1, kings) + Block("0 0 0 0 0 0 0 0 0 0 0 0") + Lines(1, kings)
                + Block(),
            true, ReadStatus::Ok, 2, {}, 0, 0, true },
        { "mark line of a wrong length", "bnx",
            Lines(1, kings) + Block("0 0 0 0 0 0 0 0 0 0 0 0 ", "1 2 3 4 5 6 7"), true, ReadStatus::Ok, 1, {},
            0, 0, true },
        { "150 faulty lines", "epd", manyFaults, true, ReadStatus::Ok, 50, { { 2, 1 }, { 3, 1 }, { 4, 1 } },
            100, 50, false },
        { "unreadable lines among many good ones", "epd", someFormatFaults, true, ReadStatus::Ok, 833,
            { { 1, 18 }, { 7, 18 } }, 100, 67, false },
        { "missing final line break", "epd", std::string(kings) + "\r\n" + kings + " c0 \"end\";", true,
            ReadStatus::Ok, 2, {}, 0, 0, false },
        { "block cut by the end of the file", "bnx", Lines(1, kings) + "0 0 0 0 0 0 0 0 0 0 0 0 \r\n", true,
            ReadStatus::Ok, 1, {}, 0, 0, false },
    };
    for (const FaultyCase& c : cases) {
        SCOPED_TRACE(c.name);
        DiagramList list;
        ReadResult read = ReadText(c.text, OptionsFor(c.extension, c.legal), list);
        EXPECT_EQ(read.status, c.status);
        EXPECT_EQ(Count(list), c.diagrams);
        EXPECT_EQ(read.diagramsMade, c.diagrams);
        EXPECT_EQ(list.m_nLastIndex, c.diagrams - 1);
        EXPECT_EQ(read.corrupted, c.corrupted);
        EXPECT_EQ(static_cast<int>(read.errors.ListedCount()), c.listed);
        EXPECT_EQ(read.errors.FaultyLineCount(), c.listed + c.more);
        EXPECT_EQ(read.errors.MoreCount(), c.more);
        for (size_t i = 0; i < c.entries.size() && i < read.errors.Entries().size(); ++i) {
            EXPECT_EQ(read.errors.Entries()[i].lineNumber, c.entries[i].lineNumber) << i;
            EXPECT_EQ(read.errors.Entries()[i].code, c.entries[i].code) << i;
        }
        // Whatever happened, the list read is consistent: one page node per page at least.
        EXPECT_GE(PageNodes(list), list.m_nPageCount);
        EXPECT_EQ(list.m_nPageCount, (c.diagrams + 8) / 9);
    }
}

// A mark value out of range costs that mark only: the diagram is read, listed, and the correction
// re-read keeps it as the first reading did.
TEST(PositionFiles, ABadValueLeavesItsDiagramAlsoForCorrection)
{
    const std::string text = Lines(1, kings) + Block() + Lines(1, kings)
        + Block("0 7 2 0 0 0 0 0 0 0 0 0 ", "12 28 3 \r\n1 2 99 \r\n5 6 1 ") + Lines(1, twoWhiteKings)
        + Block();
    DiagramList first;
    ReadResult read = ReadText(text, OptionsFor("bnx"), first);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    ASSERT_EQ(Count(first), 2);
    auto expectMarks = [](const DiagramRecord& r) {
        EXPECT_EQ(r.marks[0], (MarkSlot { 12, 28, 3 }));
        EXPECT_EQ(r.marks[1], (MarkSlot { 5, 6, 1 }));
        EXPECT_EQ(r.markCount, 2u);
        EXPECT_EQ(r.colours[0][1], 0) << "a colour out of range is left out too";
        EXPECT_EQ(r.colours[0][2], 2);
        EXPECT_EQ(r.colouredCount, 8);
    };
    expectMarks(Nth(first, 1));
    ASSERT_EQ(read.errors.Entries().size(), 2u);
    EXPECT_EQ(read.errors.Entries()[0].lineNumber, 2);
    EXPECT_EQ(read.errors.Entries()[0].code, BadBlockValue);
    EXPECT_EQ(read.errors.Entries()[1].lineNumber, 3);
    EXPECT_EQ(read.formatErrors, 0);

    ReadOptions again = OptionsFor("bnx");
    again.correct = &read.errors;
    DiagramList second;
    ReadResult re = ReadText(text, again, second);
    ASSERT_EQ(Count(second), 3);
    expectMarks(Nth(second, 1));
    EXPECT_TRUE(re.failedAgain.empty());
    // The walk passes the diagram whose value was left out and stops at the illegal one.
    OpenErrorList walk = re.corrected;
    walk.StartWalk();
    const ErrorListEntry* e = walk.NextToCorrect();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->lineNumber, 3);
    EXPECT_EQ(e->diagramIndex, 2);
}

TEST(PositionFiles, WholeLinesAreRead)
{
    DiagramList list;
    const std::string comment(580, 'y');
    ReadText(std::string(kings) + " c0 \"" + comment + "\";\r\n" + kings + " c0 \"end\";", OptionsFor("epd"),
        list);
    ASSERT_EQ(Count(list), 2);
    EXPECT_EQ(Nth(list, 0).comment, comment);
    EXPECT_EQ(Nth(list, 1).comment, "end");
}

TEST(PositionFiles, ThreeQuarterRule)
{
    // Two good lines and ten blank ones: at the twelfth line ten faults exceed 12 - 3.
    std::string text = Lines(2, kings) + Lines(10, "");
    DiagramList checked;
    ReadResult read = ReadText(text, OptionsFor("fen", true), checked);
    EXPECT_EQ(read.status, ReadStatus::NotPositionFile);
    EXPECT_EQ(read.errors.Entries().size(), 10u);
    EXPECT_EQ(read.errors.Entries()[0].code, 19);
    // Without the check blank lines are passed over unlisted.
    DiagramList unchecked;
    read = ReadText(text, OptionsFor("fen", false), unchecked);
    EXPECT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(Count(unchecked), 2);
    EXPECT_TRUE(read.errors.Empty());
    // Eleven blank lines and nothing else: nothing better than a fault.
    DiagramList blank;
    EXPECT_EQ(ReadText(Lines(3, ""), OptionsFor("epd"), blank).status, ReadStatus::NotPositionFile);
}

TEST(PositionFiles, CorrectionReReadTakesTheIllegalLinesAndLeavesTheUnreadable)
{
    // Lines 3 and 7 hold two white kings, line 5 is blank.
    std::vector<std::string> lines(8, kings);
    lines[2] = lines[6] = twoWhiteKings;
    lines[4] = "";
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    DiagramList first;
    ReadResult read = ReadText(text, OptionsFor("epd"), first);
    ASSERT_EQ(read.errors.Entries().size(), 3u);
    EXPECT_EQ(Count(first), 5);

    ReadOptions again = OptionsFor("epd");
    again.correct = &read.errors;
    DiagramList second;
    ReadResult re = ReadText(text, again, second);
    EXPECT_EQ(re.status, ReadStatus::Ok);
    EXPECT_EQ(Count(second), 7);
    EXPECT_TRUE(re.failedAgain.empty());
    EXPECT_TRUE(re.errors.Empty());
    const auto& entries = re.corrected.Entries();
    EXPECT_EQ(entries[0].diagramIndex, 2);
    EXPECT_EQ(entries[1].diagramIndex, -1);
    EXPECT_EQ(entries[2].diagramIndex, 5);

    OpenErrorList walk = re.corrected;
    walk.StartWalk();
    const ErrorListEntry* e = walk.NextToCorrect();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->lineNumber, 3);
    ++walk.errorListCursor;
    e = walk.NextToCorrect();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->lineNumber, 7);
    EXPECT_EQ(walk.errorListSkipped, 1);
    ++walk.errorListCursor;
    EXPECT_EQ(walk.NextToCorrect(), nullptr);
}

TEST(PositionFiles, ReplaceAndAppendMoveDiagramsAndPages)
{
    DiagramList target;
    ReadText(Lines(10, kings), OptionsFor("epd"), target);
    target.m_pFirstPage->title = "mine";
    DiagramList merged;
    std::string text = "HEADER_PRINT\r\ntheirs\r\n\r\n\r\nHEADER_PRINT_END\r\n";
    for (int i = 0; i < 3; ++i) text += Lines(1, kings) + Block();
    ReadResult read = ReadText(text, OptionsFor("bnx"), merged);
    ASSERT_EQ(Count(merged), 3);
    AppendList(target, merged, read.headerRead);
    EXPECT_EQ(Count(target), 13);
    EXPECT_EQ(target.m_nLastIndex, 12);
    EXPECT_EQ(target.m_nPageCount, 2);
    ASSERT_EQ(PageNodes(target), 3);
    EXPECT_EQ(target.m_pFirstPage->title, "mine");
    EXPECT_EQ(target.m_pFirstPage->next->next->title, "theirs");
    EXPECT_EQ(target.m_pCurrentDiagram, target.m_pFirstDiagram);
    EXPECT_EQ(Nth(target, 10).previous, &Nth(target, 9));
    EXPECT_EQ(target.m_pLastDiagram, &Nth(target, 12));
    EXPECT_EQ(Count(merged), 0);

    DiagramList fresh;
    ReadText(Lines(40, kings), OptionsFor("epd"), fresh);
    ReplaceList(target, fresh);
    EXPECT_EQ(Count(target), 40);
    EXPECT_EQ(PageNodes(target), 5);
    EXPECT_EQ(target.m_nPageCount, 5);
    EXPECT_EQ(fresh.m_pFirstDiagram, nullptr);
    EXPECT_EQ(fresh.m_nLastIndex, -1);
}

TEST(PositionFiles, HeaderPagesAreToppedUpToThePageCount)
{
    std::string header = "HEADER_PRINT\r\n";
    for (int i = 0; i < 4; ++i) header += "t" + std::to_string(i) + "\r\n\r\n\r\n";
    std::string text = header + "HEADER_PRINT_END\r\n";
    for (int i = 0; i < 40; ++i) text += std::string(kings) + "\r\n" + Block();
    DiagramList four;
    ReadText(text, OptionsFor("bnx"), four);
    EXPECT_EQ(Count(four), 40);
    EXPECT_EQ(PageNodes(four), 5);
    EXPECT_EQ(four.m_pFirstPage->next->next->next->title, "t3");
    EXPECT_EQ(four.m_pLastPage->title, "");
    // Six groups for five pages keep all six.
    std::string six = "HEADER_PRINT\r\n";
    for (int i = 0; i < 6; ++i) six += "t\r\n\r\n\r\n";
    DiagramList many;
    ReadText(six + text.substr(header.size()), OptionsFor("bnx"), many);
    EXPECT_EQ(PageNodes(many), 6);
}

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        path = fs::temp_directory_path()
            / ("brennix-files-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TemporaryFolder() { fs::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
    int Entries() const
    {
        return static_cast<int>(std::distance(fs::directory_iterator(path), fs::directory_iterator()));
    }
    fs::path path;
    static inline int n = 0;
};

TEST(PositionFiles, SaveToFileReplacesTheFileOnlyWhenEverythingWasWritten)
{
    TemporaryFolder folder;
    const std::string target = folder.File("list.bnx");
    DiagramList list;
    ReadText(Lines(300, kings), OptionsFor("epd"), list);
    WriteOptions w;
    SaveResult saved = SaveToFile(list, w, target);
    ASSERT_TRUE(saved.ok) << saved.reason;
    const std::string good = Slurp(target);
    EXPECT_EQ(good, Written(list, w));
    EXPECT_EQ(folder.Entries(), 1);

    // The disk fills up in the middle of the next save: the old file stays whole, nothing is left behind.
    ReadText(Lines(300, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"), OptionsFor("epd"), list);
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    saved = SaveToFile(list, w, target);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.reason.empty());
    EXPECT_EQ(Slurp(target), good);
    EXPECT_EQ(folder.Entries(), 1);

    // A folder that does not exist says so.
    saved = SaveToFile(list, w, folder.File("missing/list.bnx"));
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.reason, std::strerror(ENOENT));
}

TEST(PositionFiles, SaveRemovesWhatAKilledSaveLeftBehind)
{
    TemporaryFolder folder;
    const std::string target = folder.File("list.bnx");
    DiagramList list;
    ReadText(Lines(3, kings), OptionsFor("epd"), list);
    WriteOptions w;
    ASSERT_TRUE(SaveToFile(list, w, target).ok);
    const std::string good = Slurp(target);

    // The program is killed (kill -9) in the middle of a save of the same file.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFile::Write(target, [](int fd) {
            [[maybe_unused]] ssize_t n = ::write(fd, "half a file", 11);
            ::raise(SIGKILL);
            return 0;
        });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(Slurp(target), good);
    ASSERT_EQ(folder.Entries(), 2) << "the killed save's temporary file";

    // Names of other files, and a temporary file that a running save holds, are left alone.
    const std::vector<std::string> others = { ".other.bnx.AbC123", ".list.bnx.AbC12", "list.bnx.AbC123",
        ".list.bnx.AbC12-", ".list.bnx.AbC1234" };
    for (const std::string& name : others) std::ofstream(folder.File(name)) << "x";
    const std::string held = folder.File(".list.bnx.Held01");
    std::ofstream(held) << "x";
    int holder = ::open(held.c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    ReadText(Lines(5, kings), OptionsFor("epd"), list);
    ASSERT_TRUE(SaveToFile(list, w, target).ok);
    EXPECT_EQ(Slurp(target), Written(list, w));
    EXPECT_EQ(folder.Entries(), static_cast<int>(1 + others.size() + 1));
    for (const std::string& name : others) EXPECT_TRUE(fs::exists(folder.File(name))) << name;
    EXPECT_TRUE(fs::exists(held));

    // Once nothing holds it, it is a leftover too.
    ::close(holder);
    ASSERT_TRUE(SaveToFile(list, w, target).ok);
    EXPECT_FALSE(fs::exists(held));
    EXPECT_EQ(folder.Entries(), static_cast<int>(1 + others.size()));
}

TEST(PositionFiles, ReadFileNamesTheReason)
{
    DiagramList list;
    std::string reason;
    ReadResult read = ReadFile(data + "no-such-file.bnx", OptionsFor("bnx"), list, reason);
    EXPECT_EQ(read.status, ReadStatus::CannotRead);
    EXPECT_EQ(reason, std::strerror(ENOENT));
    read = ReadFile(data, OptionsFor("bnx"), list, reason);
    EXPECT_EQ(read.status, ReadStatus::CannotRead);
    EXPECT_EQ(reason, std::strerror(EISDIR));
}

} // namespace
