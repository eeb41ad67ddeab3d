// Real files as they come: opening books, puzzles and study exports without player tags, every line
// end, UTF-8 and Windows-1252 texts, damaged files with endless lines, and the test the import makes
// before it lists a file.
#include "PgnTestSupport.h"

#include "pgn/CHeaderPGN.h"
#include "pgn/PgnFileCheck.h"

#include <gtest/gtest.h>

using PgnTest::Sans;
using PgnTest::TempFile;

namespace {

using Moves = std::vector<std::string>;

struct ShapeCase {
    const char* why;
    const char* text; // LF line ends
    std::vector<Moves> games; // the moves of every listed game
    // The same games as pgn-extract reads them, to cross-check the positions; nullptr: the text itself.
    const char* plain = nullptr;
};

// The figurines of the white knight and bishop and the black knight, in UTF-8, and as a UTF-8 file shows
// them once it has been read as Windows-1252 and saved again.
#define WHITE_KNIGHT "\xE2\x99\x98"
#define WHITE_BISHOP "\xE2\x99\x97"
#define BLACK_KNIGHT "\xE2\x99\x9E"
#define WHITE_KNIGHT_1252 "\xC3\xA2\xE2\x84\xA2\xCB\x9C"
#define WHITE_BISHOP_1252 "\xC3\xA2\xE2\x84\xA2\xE2\x80\x94"
#define BLACK_KNIGHT_1252 "\xC3\xA2\xE2\x84\xA2\xC5\xBE"

const ShapeCase shapes[] = {
    { "an opening book: no player tags, a comment before the first tags, a line comment",
        "{\nA file of openings,\nwith a note.\n}\n\n[ECO \"A00\"]\n[Opening \"Polish\"]\n\n1. b4 *\n\n"
        "[ECO \"A00\"]\n[Opening \"Polish\"]\n[Variation \"Tuebingen\"]\n\n1. b4 ; a knight on the rim\nNh6 "
        "*\n",
        { { "b4" }, { "b4", "Nh6" } },
        "[ECO \"A00\"]\n[Opening \"Polish\"]\n\n1. b4 *\n\n[ECO \"A00\"]\n\n1. b4 Nh6 *\n" },
    { "puzzles: only Event and FEN tags",
        "[Event \"Puzzle 1\"]\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"]\n\n1. Rd8# *\n\n"
        "[Event \"Puzzle 2\"]\n[FEN \"3r2k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n\n1... Rd1# *\n",
        { { "Rd8#" }, { "Rd1#" } } },
    { "puzzles whose solution has no move number",
        "[Event \"Puzzle\"]\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"]\n\nRd8# 1-0\n\n"
        "[Event \"Puzzle\"]\n[FEN \"3r2k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n\n{Black mates} Rd1# 0-1\n",
        { { "Rd8#" }, { "Rd1#" } } },
    { "study chapters: comments before the moves; a chapter without moves is no game",
        "[Event \"Study: Intro\"]\n[Site \"https://example.org/study/1\"]\n[Result \"*\"]\n\n"
        "{ Welcome to the study. } *\n\n"
        "[Event \"Study: Mate\"]\n[Result \"*\"]\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"]\n[SetUp "
        "\"1\"]\n\n"
        "{ White to play } 1. Rd8# *\n\n"
        "[Event \"Study: Openings\"]\n[Result \"*\"]\n\n{ A long\nintroduction\nover lines }\n1. e4 e5 *\n\n"
        "[Event \"Study: Marks\"]\n\n{ [%csl Ge4] } { and a second comment } e4 (1. d4) *\n\n"
        "[Event \"Study: Empty\"]\n[Result \"*\"]\n\n*\n",
        { { "Rd8#" }, { "e4", "e5" }, { "e4" } } },
    { "moves right after the tags, and a move number without its point",
        "[Event \"E\"]\n1. e4 e5 *\n[Event \"F\"]\n\n1 d4 d5 *\n[Event \"G\"]\n\n0-1\n",
        { { "e4", "e5" }, { "d4", "d5" } } },
    { "a NAG before the first move",
        "[Event \"E\"]\n[White \"A\"]\n\n$10 1. e4 e5 *\n\n[White \"B\"]\n\n{An opening} $1 1. d4 d5 *\n\n"
        "[White \"C\"]\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"]\n\n$18\nRd8# 1-0\n",
        { { "e4", "e5" }, { "d4", "d5" }, { "Rd8#" } },
        "[Event \"E\"]\n[White \"A\"]\n\n1. e4 e5 *\n\n[White \"B\"]\n\n1. d4 d5 *\n\n"
        "[White \"C\"]\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"]\n\n1. Rd8# 1-0\n" },
    { "tags and moves on one line",
        "[Event \"E\"]\n[Result \"*\"] 1. d4 d5 2. c4 *\n\n[White \"B\"]\n[Result \"*\"] {Notes} $1 1. c4 e5 "
        "*\n\n"
        "[White \"C\"] [Result \"*\"]1. Nf3\nd5 *\n",
        { { "d4", "d5", "c4" }, { "c4", "e5" }, { "Nf3", "d5" } },
        "[Event \"E\"]\n[Result \"*\"]\n\n1. d4 d5 2. c4 *\n\n[White \"B\"]\n[Result \"*\"]\n\n1. c4 e5 *\n\n"
        "[White \"C\"]\n[Result \"*\"]\n\n1. Nf3 d5 *\n" },
    { "whole games on one line each",
        "[Event \"E\"] [White \"A\"] [Black \"B\"] [Result \"*\"] 1. e4 e5 2. Nf3 *\n"
        "[Event \"F\"] [White \"C\"] [Result \"1-0\"] 1. d4 Nf6 2. Bg5 {a [bracket]} 1-0\n"
        "[Event \"G\"] [White \"D\"] 1. c4 *\n",
        { { "e4", "e5", "Nf3" }, { "d4", "Nf6", "Bg5" }, { "c4" } } },
    { "figurines",
        "[White \"A\"]\n\n1. e4 e5 2. " WHITE_KNIGHT "f3 " BLACK_KNIGHT "c6 3. " WHITE_BISHOP
        "b5 a6 4. " WHITE_BISHOP
        "xc6 dxc6 *\n\n[White \"B\"]\n[FEN \"6k1/8/8/8/8/8/8/1N4K1 w - - 0 1\"]\n\n" WHITE_KNIGHT "c3 *\n",
        { { "e4", "e5", "Nf3", "Nc6", "Bb5", "a6", "Bxc6", "dxc6" }, { "Nc3" } },
        "[White \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Bxc6 dxc6 *\n\n"
        "[White \"B\"]\n[FEN \"6k1/8/8/8/8/8/8/1N4K1 w - - 0 1\"]\n\n1. Nc3 *\n" },
    { "figurines read as Windows-1252 and saved as UTF-8",
        "[White \"A\"]\n\n1. e4 e5 2. " WHITE_KNIGHT_1252 "f3 " BLACK_KNIGHT_1252 "c6 3. " WHITE_BISHOP_1252
        "b5 *\n",
        { { "e4", "e5", "Nf3", "Nc6", "Bb5" } }, "[White \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *\n" },
};

std::string withLineEnds(const std::string& text, const std::string& end)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += end;
        else
            out += c;
    }
    return out;
}

struct Listed {
    explicit Listed(const std::string& text, const PgnLimits& limits = {})
        : file(text)
        , scanner(limits)
    {
        scanner.fileName = file.path();
        result = scanner.ScanFile();
    }
    std::vector<Moves> allMoves()
    {
        std::vector<Moves> all;
        for (int g = 0; g < scanner.GameCount(); ++g) {
            scanner.LoadGame(scanner.games[static_cast<size_t>(g)].filePosition, g, false);
            EXPECT_FALSE(scanner.interpreter.stopped)
                << "game " << g + 1 << ": " << scanner.interpreter.stopMove;
            all.push_back(Sans(scanner.interpreter));
        }
        return all;
    }
    TempFile file;
    CHeaderPGN scanner;
    PgnScanResult result;
};

} // namespace

TEST(RealFiles, EveryGameWithMovesIsListedWhateverItsTagsAndLineEnds)
{
    const struct {
        const char* name;
        const char* end;
        const char* mark;
    } forms[] = {
        { "LF", "\n", "" },
        { "CR LF", "\r\n", "" },
        { "CR", "\r", "" },
        { "byte-order mark and CR LF", "\r\n", "\xEF\xBB\xBF" },
        { "byte-order mark and CR", "\r", "\xEF\xBB\xBF" },
    };
    for (const ShapeCase& shape : shapes) {
        for (const auto& form : forms) {
            SCOPED_TRACE(std::string(shape.why) + ", " + form.name);
            Listed listed(form.mark + withLineEnds(shape.text, form.end));
            ASSERT_EQ(listed.result, PgnScanResult::Ok);
            EXPECT_EQ(listed.scanner.GameCount(), static_cast<int>(shape.games.size()));
            EXPECT_EQ(listed.allMoves(), shape.games);
            EXPECT_EQ(listed.scanner.leftOut, 0);
        }
    }
}

TEST(RealFiles, EveryShapeReplaysAsPgnExtractReadsIt)
{
    for (const ShapeCase& shape : shapes) {
        SCOPED_TRACE(shape.why);
        const PgnTest::GamePositions expected
            = PgnTest::PgnExtractGames(shape.plain ? shape.plain : shape.text);
        ASSERT_EQ(expected.size(), shape.games.size());
        Listed listed(shape.text);
        ASSERT_EQ(listed.scanner.GameCount(), static_cast<int>(expected.size()));
        for (int g = 0; g < listed.scanner.GameCount(); ++g) {
            listed.scanner.LoadGame(listed.scanner.games[static_cast<size_t>(g)].filePosition, g, false);
            PgnTest::GamePositions::value_type positions;
            for (const PlyNode& ply : listed.scanner.interpreter.plies)
                positions.push_back(PgnTest::FourFields(FullFen(ply)));
            EXPECT_EQ(positions, expected[static_cast<size_t>(g)]) << "game " << g + 1;
        }
    }
}

TEST(RealFiles, ListTextsOfGamesWithoutPlayers)
{
    Listed listed("[Event \"Puzzle 1\"]\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"]\n\n1. Rd8# *\n\n"
                  "[Black \"Berg\"]\n[Date \"2024.05.06\"]\n\n1. e4 *\n");
    ASSERT_EQ(listed.scanner.GameCount(), 2);
    EXPECT_EQ(listed.scanner.games[0].listText, "01  - " + std::string(39, '_') + "\tPuzzle 1  \t");
    EXPECT_EQ(listed.scanner.games[0].fen, "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
    EXPECT_EQ(listed.scanner.games[1].listText, "02  - Berg" + std::string(35, '_') + "\t  2024-05-06\t");

    // The fill counts characters, in UTF-8 as in Windows-1252.
    for (const char* name : { "M\xC3\xBCller", "M\xFCller" }) {
        Listed named(std::string("[White \"") + name + "\"]\n\n1. e4 *\n");
        ASSERT_EQ(named.scanner.GameCount(), 1);
        EXPECT_EQ(named.scanner.games[0].listText,
            std::string("01 ") + name + " - " + std::string(33, '_') + "\t  \t");
    }
}

TEST(RealFiles, CrOnlyOffsetsPointAtEachGame)
{
    // Offsets count every byte of the line ends, also where a CR LF is cut by the end of a read.
    std::string text = "[White \"A\"]\r\n\r\n1. e4 *\r\n";
    text.resize((1 << 20) - 1, ' ');
    text += "\r\n[White \"B\"]\r[Black \"C\"]\r\r1. d4 d5 *\r[White \"D\"]\r\r1. c4 *";
    Listed listed(text);
    ASSERT_EQ(listed.scanner.GameCount(), 3);
    EXPECT_EQ(listed.scanner.games[1].listText.substr(0, 9), "02 B - C_");
    EXPECT_EQ(listed.allMoves(), (std::vector<Moves> { { "e4" }, { "d4", "d5" }, { "c4" } }));
}

TEST(RealFiles, TellsUtf8FromWindows1252)
{
    const struct {
        const char* why;
        std::string text;
        bool utf8;
    } cases[] = {
        { "UTF-8 names", "[White \"M\xC3\xBCller\"]\n[Black \"\xC3\x85kesson\"]\n\n1. e4 *\n", true },
        { "Windows-1252 names", "[White \"M\xFCller\"]\n[Black \"\xC5kesson\"]\n\n1. e4 *\n", false },
        { "only ASCII", "[White \"Muller\"]\n\n1. e4 *\n", false },
        { "ASCII after a byte-order mark", "\xEF\xBB\xBF[White \"Muller\"]\n\n1. e4 *\n", true },
        { "UTF-8 only in a comment", "[White \"A\"]\n\n1. e4 {\xE2\x80\x9Cgood\xE2\x80\x9D} *\n", true },
        { "UTF-8 with one stray byte", "[White \"M\xC3\xBCller \xC3\xA9\"]\n\n1. e4 {caf\xE9} *\n", true },
        { "Windows-1252 with a pair that reads as UTF-8", "[White \"\xC3\xA9t\xE9 \xE0 \xFC\"]\n\n1. e4 *\n",
            false },
        { "an overlong form is no UTF-8", "[White \"\xC0\xAF \xE0\x80\xAF\"]\n\n1. e4 *\n", false },
    };
    for (const auto& c : cases) {
        Listed listed(c.text);
        EXPECT_EQ(listed.scanner.utf8, c.utf8) << c.why;
        EXPECT_EQ(listed.scanner.GameCount(), 1) << c.why;
    }

    // A character cut by the end of a read is still one character.
    std::string text = "[White \"A\"]\n\n1. e4 {";
    text.resize((1 << 20) - 1, 'x');
    text += "\xC3\xBC} *\n";
    Listed listed(text);
    EXPECT_TRUE(listed.scanner.utf8);
}

TEST(RealFiles, GamesWithAnEndlessLineAreLeftOutAndCounted)
{
    PgnLimits limits;
    limits.maxLineBytes = 4096;
    const std::string endless(limits.maxLineBytes + 1, 'x');
    std::string text = "[White \"A\"]\n\n1. e4 *\n\n"
                       "[White \"Long comment\"]\n\n1. e4 {"
        + endless + "} e5 *\n\n[White \"C\"]\n\n1. d4 *\n\n[White \"Long tag\"]\n[Annotator \"" + endless
        + "\"]\n\n1. c4 *\n\n[White \"E\"]\n\n1. Nf3 *\n";
    // Lines that run over the end of a read are gathered too.
    text.insert(0, std::string((1 << 20) - 2048, '\n'));
    Listed listed(text, limits);
    ASSERT_EQ(listed.result, PgnScanResult::Ok);
    EXPECT_EQ(listed.scanner.leftOut, 2);
    ASSERT_EQ(listed.scanner.GameCount(), 3);
    // The games after a left-out one are numbered on without a gap.
    EXPECT_EQ(listed.scanner.games[1].listText.substr(0, 5), "02 C ");
    EXPECT_EQ(listed.scanner.games[2].listText.substr(0, 5), "03 E ");
    EXPECT_EQ(listed.allMoves(), (std::vector<Moves> { { "e4" }, { "d4" }, { "Nf3" } }));

    // A line just within the limit is read.
    Listed within(
        "[White \"A\"]\n\n1. e4 {" + std::string(limits.maxLineBytes - 20, 'x') + "} e5 *\n", limits);
    EXPECT_EQ(within.scanner.leftOut, 0);
    EXPECT_EQ(within.allMoves(), (std::vector<Moves> { { "e4", "e5" } }));
}

TEST(RealFiles, AGameLongerThanAnyRealOneIsLeftOut)
{
    PgnLimits limits;
    limits.maxGameBytes = 64 << 10;
    std::string line = "1. Nf3 Nf6 2. Ng1 Ng8 {" + std::string(1000, 'c') + "}\n";
    std::string head = "[White \"Endless\"]\n\n";
    std::string text = head;
    while (text.size() <= static_cast<size_t>(limits.maxGameBytes)) text += line;
    text += "*\n\n[White \"B\"]\n\n1. e4 *\n";
    Listed listed(text, limits);
    EXPECT_EQ(listed.scanner.leftOut, 1);
    ASSERT_EQ(listed.scanner.GameCount(), 1);
    EXPECT_EQ(listed.scanner.games[0].listText.substr(0, 5), "01 B ");
    EXPECT_EQ(listed.allMoves(), (std::vector<Moves> { { "e4" } }));

    // The last game of the file too.
    Listed last(text.substr(0, text.find("*\n\n[White \"B\"]")), limits);
    EXPECT_EQ(last.scanner.leftOut, 1);
    EXPECT_EQ(last.scanner.GameCount(), 0);

    // A game just within the limit is listed and read.
    std::string within = head;
    while (within.size() + line.size() + 2 <= static_cast<size_t>(limits.maxGameBytes)) within += line;
    Listed kept(within + "*\n", limits);
    EXPECT_EQ(kept.scanner.leftOut, 0);
    ASSERT_EQ(kept.scanner.GameCount(), 1);
    EXPECT_EQ(kept.allMoves()[0].size(), 4 * ((within.size() - head.size()) / line.size()));
}

TEST(RealFiles, AGameOfMoreMovesThanAnyLegalOneIsRefused)
{
    PgnLimits limits;
    limits.maxPlies = 20;
    auto dance = [](int plies) {
        static const char* const moves[4] = { "Nf3", "Nf6", "Ng1", "Ng8" };
        std::string text;
        for (int p = 0; p < plies; ++p)
            text += std::string(p % 2 ? "" : std::to_string(p / 2 + 1) + ". ") + moves[p % 4] + " ";
        return text;
    };
    // Variations, comments and NAGs are no moves: only the main line counts.
    Listed listed("[White \"A\"]\n\n" + dance(20) + "(1. e4 e5 2. d4 d5) {Nf3 Nf6} $1 *\n\n[White \"B\"]\n\n"
            + dance(21) + "*\n\n[White \"C\"]\n\n1. e4 *\n",
        limits);
    ASSERT_EQ(listed.scanner.GameCount(), 3);
    CTraiteUnMot& interpreter = listed.scanner.interpreter;
    listed.scanner.LoadGame(listed.scanner.games[0].filePosition, 0, false);
    EXPECT_EQ(interpreter.plies.size(), 20u);
    EXPECT_FALSE(interpreter.tooManyPlies);
    listed.scanner.LoadGame(listed.scanner.games[1].filePosition, 1, false);
    EXPECT_TRUE(interpreter.plies.empty());
    EXPECT_TRUE(interpreter.tooManyPlies);
    // The next game is read as any other.
    listed.scanner.LoadGame(listed.scanner.games[2].filePosition, 2, false);
    EXPECT_EQ(interpreter.plies.size(), 1u);
    EXPECT_FALSE(interpreter.tooManyPlies);
}

TEST(PgnFileCheck, FiveTagLinesAmongTheFirstNineteen)
{
    auto lines = [](int count, const std::string& line, const std::string& end = "\n") {
        std::string text;
        for (int i = 0; i < count; ++i) text += line + end;
        return text;
    };
    const std::string tag = "[Event \"E\"]";
    const struct {
        const char* why;
        std::string text;
        unsigned message;
    } cases[] = {
        { "five tags", lines(5, tag), 0 },
        { "four tags", lines(4, tag) + "\n1. e4 *\n", 40118 },
        { "five tags after a byte-order mark", "\xEF\xBB\xBF" + lines(5, tag), 0 },
        { "CR line ends", lines(5, tag, "\r") + "\r1. e4 *\r", 0 },
        { "CR LF line ends", lines(5, tag, "\r\n"), 0 },
        { "empty lines are not counted", lines(30, "", "\r\n") + lines(5, tag, "\r\n"), 0 },
        { "the fifth tag on the twentieth line", lines(15, "{ note }") + lines(5, tag), 40118 },
        { "a line of 511 bytes is one line",
            std::string(511, 'x') + "\n" + lines(10, "{ note }") + lines(5, tag), 0 },
        { "a longer line is read 511 bytes at a time",
            std::string(5 * 511, 'x') + "\n" + lines(10, "{ note }") + lines(5, tag), 40118 },
        { "an endless line first", std::string(1 << 20, 'x') + "\n" + lines(5, tag), 40118 },
        { "an empty file", "", 40118 },
        { "five tags on one line",
            "[Event \"E\"] [Site \"S\"] [Date \"D\"] [White \"W\"] [Black \"B\"]\n\n1. e4 *\n", 0 },
        { "four games on a line each", lines(4, "[Event \"E\"] [White \"W\"] [Result \"*\"] 1. e4 e5 *"), 0 },
        { "brackets in a tag value are no tags", "[Event \"a [b] [c] [d] [e]\"]\n\n1. e4 *\n", 40118 },
        { "brackets after the tags are no tags", lines(2, "[Event \"E\"] 1. e4 {[%clk 0:01]} [x] *"), 40118 },
    };
    for (const auto& c : cases) {
        TempFile file(c.text);
        EXPECT_EQ(CheckPgnFileLines(file.path()), c.message) << c.why;
    }
    EXPECT_EQ(CheckPgnFileLines("/nonexistent/folder/games.pgn"), 40119u);
}
