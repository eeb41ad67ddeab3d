// The replay against pgn-extract's positions for the World Championship games, and the letter-set
// detection on versions of those games in other languages.
#include "PgnTestSupport.h"

#include "pgn/CHeaderPGN.h"
#include "pgn/PgnLetters.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using PgnTest::TempFile;

namespace {

const std::string dataDir = std::string(BRENNIX_TEST_DATA) + "/pgn/";

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Placement, side, castling and en passant: the fields pgn-extract's EPD lines and ours share.
std::string fourFields(const std::string& line)
{
    std::istringstream in(line);
    std::string field;
    std::string out;
    for (int i = 0; i < 4 && in >> field; ++i) out += (i ? " " : "") + field;
    return out;
}

// pgn-extract's EPD output: one line per position, from the start of each game, games apart by
// blank lines.
std::vector<std::vector<std::string>> expectedGames(const std::string& epd)
{
    std::vector<std::vector<std::string>> games(1);
    std::istringstream in(epd);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            if (!games.back().empty()) games.emplace_back();
            continue;
        }
        games.back().push_back(fourFields(line));
    }
    if (games.back().empty()) games.pop_back();
    return games;
}

// Replays every listed game and returns its positions in the four fields.
std::vector<std::vector<std::string>> replayedGames(const std::string& path, int* letterSet = nullptr)
{
    CHeaderPGN scanner;
    scanner.fileName = path;
    EXPECT_EQ(scanner.ScanFile(), PgnScanResult::Ok);
    int set = scanner.DetectLetterSet();
    if (letterSet) *letterSet = set;
    std::vector<std::vector<std::string>> games;
    for (int g = 0; g < scanner.GameCount(); ++g) {
        scanner.LoadGame(scanner.games[static_cast<size_t>(g)].filePosition, g, false);
        EXPECT_FALSE(scanner.interpreter.stopped)
            << "game " << g + 1 << " stops at ply " << scanner.interpreter.stopPly << ": "
            << scanner.interpreter.stopMove;
        auto& game = games.emplace_back();
        for (const PlyNode& ply : scanner.interpreter.plies) game.push_back(fourFields(FullFen(ply)));
    }
    return games;
}

void crossCheck(const std::string& pgn, const std::string& epd, size_t expectedGameCount)
{
    auto expected = expectedGames(readFile(epd));
    auto replayed = replayedGames(pgn);
    // A game without a single move (a forfeit) is not listed: there is nothing to import from it.
    std::erase_if(expected, [](const auto& game) { return game.size() < 2; });
    ASSERT_EQ(expected.size(), expectedGameCount);
    ASSERT_EQ(replayed.size(), expected.size());
    for (size_t g = 0; g < expected.size(); ++g) {
        const auto& want = expected[g];
        ASSERT_EQ(want.front(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
        ASSERT_EQ(replayed[g].size(), want.size() - 1) << "game " << g + 1;
        for (size_t p = 0; p < replayed[g].size(); ++p)
            ASSERT_EQ(replayed[g][p], want[p + 1]) << "game " << g + 1 << ", ply " << p + 1;
    }
}

std::string fullDataDir()
{
    if (const char* dir = std::getenv("BRENNIX_PGN_DATA")) return dir;
    if (const char* cache = std::getenv("XDG_CACHE_HOME")) return std::string(cache) + "/brennix/pgn";
    if (const char* home = std::getenv("HOME")) return std::string(home) + "/.cache/brennix/pgn";
    return {};
}

// The move text written in another letter set: the piece letter in front of a move and the one
// after a promotion sign are exchanged, nothing else.
std::string translated(const std::string& pgn, int set)
{
    const PgnLetters::LetterSet& letters = PgnLetters::DefaultSets()[set];
    std::istringstream in(pgn);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] != '[') {
            for (size_t i = 0; i < line.size(); ++i) {
                bool moveStart = i == 0 || line[i - 1] == ' ' || line[i - 1] == '.' || line[i - 1] == '=';
                if (int k = PgnLetters::EnglishIndex(line[i]); k >= 0 && moveStart) line[i] = letters[k];
            }
        }
        out += line + '\n';
    }
    return out;
}

} // namespace

TEST(CrossCheck, ExcerptOfTheWorldChampionshipGames)
{
    crossCheck(dataDir + "wcc-excerpt.pgn", dataDir + "wcc-excerpt.epd", 7);
}

TEST(CrossCheck, AllWorldChampionshipGames)
{
    const std::string dir = fullDataDir();
    if (dir.empty() || !std::ifstream(dir + "/wcc.pgn") || !std::ifstream(dir + "/wcc-expected.epd"))
        GTEST_SKIP() << "bench/fetch-pgn-data.sh sets up the games and pgn-extract's positions";
    crossCheck(dir + "/wcc.pgn", dir + "/wcc-expected.epd", 684);
}

// pgn-extract's positions for a file, written at test time; scripts/setup.sh installs pgn-extract.
std::string pgnExtractPositions(const std::string& pgn, const std::string& options = "")
{
    const char* tool = "/usr/games/pgn-extract";
    EXPECT_TRUE(std::ifstream(tool).good()) << "scripts/setup.sh installs pgn-extract";
    TempFile out("", "positions.epd");
    std::string command = std::string(tool) + " -s --nofauxep " + options + " -Wepd -o '" + out.path() + "' '"
        + pgn + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readFile(out.path());
}

TEST(CrossCheck, TheOpeningsThatComeWithPgnExtract)
{
    // 2,014 openings without a player tag among them, after a comment that opens the file.
    const std::string eco = "/usr/share/pgn-extract/eco.pgn";
    TempFile epd(pgnExtractPositions(eco), "eco.epd");
    crossCheck(eco, epd.path(), 2014);
}

TEST(CrossCheck, NullMovesInTheMainLine)
{
    // pgn-extract plays a main-line null move when it is asked to; so does the import, always.
    TempFile pgn("[Event \"Threats\"]\n[White \"A\"]\n[Black \"B\"]\n[Result \"*\"]\n\n"
                 "1. e4 e5 2. Nf3 -- 3. Ng5 d5 4. -- dxe4 5. Nxf7 Kxf7 6. -- Nf6 7. d3 *\n\n"
                 "[Event \"Second\"]\n[White \"C\"]\n[Black \"D\"]\n[Result \"*\"]\n\n"
                 "1. d4 -- 2. c4 -- 3. Nc3 d5 4. cxd5 *\n");
    TempFile epd(pgnExtractPositions(pgn.path(), "--allownullmoves"), "null.epd");
    crossCheck(pgn.path(), epd.path(), 2);
}

TEST(LetterSetDetection, GermanAndFrenchVersionsReplayLikeTheEnglishOne)
{
    const std::string english = readFile(dataDir + "wcc-excerpt.pgn");
    ASSERT_FALSE(english.empty());
    int set = 0;
    const auto englishGames = replayedGames(dataDir + "wcc-excerpt.pgn", &set);
    EXPECT_EQ(set, PgnLetters::EnglishSet);
    ASSERT_EQ(englishGames.size(), 7u);

    for (int language : { 2, 7 }) {
        std::string text = translated(english, language);
        ASSERT_NE(text, english);
        TempFile file(text);
        EXPECT_EQ(replayedGames(file.path(), &set), englishGames) << "set " << language;
        EXPECT_EQ(set, language);
    }
}

TEST(LetterSetDetection, ReadsOnlyMoves)
{
    // The comments, variations and line comments are in German; the moves are English.
    TempFile file("[White \"A\"]\n\n1. e4 {Sf3 Lb5 Te1 Dd1 Kf1} e5 (1... Sf6 2. Lc4 Td1 Dd2 Ke2) 2. Nf3 ; "
                  "Sf3 Lb5 Te1 Dd1 Kd1\n"
                  "Nc6 3. Bb5 Nf6 4. O-O Be7 5. Re1 d6 6. Qe2 Kf8 *\n");
    CHeaderPGN scanner;
    scanner.fileName = file.path();
    ASSERT_EQ(scanner.ScanFile(), PgnScanResult::Ok);
    EXPECT_EQ(scanner.DetectLetterSet(), PgnLetters::EnglishSet);
}

TEST(LetterSetDetection, FallsBackToEnglish)
{
    // Nothing but pawn moves and castling: no set can be told; the games still replay.
    std::string text;
    for (int i = 0; i < 50; ++i) text += "[White \"W\"]\n\n1. e4 e5 2. d4 d5 *\n\n";
    TempFile file(text);
    CHeaderPGN scanner;
    scanner.fileName = file.path();
    ASSERT_EQ(scanner.ScanFile(), PgnScanResult::Ok);
    EXPECT_EQ(scanner.DetectLetterSet(), PgnLetters::EnglishSet);
    scanner.LoadGame(scanner.games[49].filePosition, 49, false);
    EXPECT_EQ(scanner.interpreter.plies.size(), 4u);
}
