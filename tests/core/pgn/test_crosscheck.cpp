// The replay against pgn-extract's positions for the World Championship games, and the letter-set
// detection on versions of those games in other languages.
#include "PgnTestSupport.h"

#include "pgn/CHeaderPGN.h"
#include "pgn/PgnLetters.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using PgnTest::ExpectedGames;
using PgnTest::FourFields;
using PgnTest::GamePositions;
using PgnTest::PgnExtractGames;
using PgnTest::PgnExtractPositions;
using PgnTest::ReadFile;
using PgnTest::TempFile;

namespace {

const std::string dataDir = std::string(BRENNIX_TEST_DATA) + "/pgn/";

// Replays every listed game and returns its positions in the four fields.
GamePositions replayedGames(const std::string& path, int* letterSet = nullptr, int preferred = 5)
{
    CHeaderPGN scanner;
    scanner.fileName = path;
    EXPECT_EQ(scanner.ScanFile(), PgnScanResult::Ok);
    int set = scanner.DetectLetterSet(preferred);
    if (letterSet) *letterSet = set;
    GamePositions games;
    for (int g = 0; g < scanner.GameCount(); ++g) {
        scanner.LoadGame(scanner.games[static_cast<size_t>(g)].filePosition, g, false);
        EXPECT_FALSE(scanner.interpreter.stopped)
            << "game " << g + 1 << " stops at ply " << scanner.interpreter.stopPly << ": "
            << scanner.interpreter.stopMove;
        auto& game = games.emplace_back();
        for (const PlyNode& ply : scanner.interpreter.plies) game.push_back(FourFields(FullFen(ply)));
    }
    return games;
}

void comparePlies(const GamePositions& replayed, const GamePositions& expected)
{
    ASSERT_EQ(replayed.size(), expected.size());
    for (size_t g = 0; g < expected.size(); ++g) {
        ASSERT_EQ(replayed[g].size(), expected[g].size()) << "game " << g + 1;
        for (size_t p = 0; p < replayed[g].size(); ++p)
            ASSERT_EQ(replayed[g][p], expected[g][p]) << "game " << g + 1 << ", ply " << p + 1;
    }
}

void crossCheck(const std::string& pgn, const std::string& epd, size_t expectedGameCount)
{
    // A game without a single move (a forfeit) is not listed: there is nothing to import from it.
    const GamePositions expected = ExpectedGames(ReadFile(epd));
    ASSERT_EQ(expected.size(), expectedGameCount);
    comparePlies(replayedGames(pgn), expected);
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

TEST(CrossCheck, AllWorldChampionshipGamesInEveryLetterSet)
{
    const std::string dir = fullDataDir();
    if (dir.empty() || !std::ifstream(dir + "/wcc.pgn") || !std::ifstream(dir + "/wcc-expected.epd"))
        GTEST_SKIP() << "bench/fetch-pgn-data.sh sets up the games and pgn-extract's positions";
    const std::string english = ReadFile(dir + "/wcc.pgn");
    const GamePositions expected = ExpectedGames(ReadFile(dir + "/wcc-expected.epd"));
    ASSERT_EQ(expected.size(), 684u);
    for (int set = 1; set < PgnLetters::UserSet; ++set) {
        SCOPED_TRACE("letter set " + std::to_string(set));
        TempFile file(translated(english, set));
        int detected = 0;
        comparePlies(replayedGames(file.path(), &detected), expected);
        EXPECT_EQ(detected, set);
    }
}

TEST(CrossCheck, TheOpeningsThatComeWithPgnExtract)
{
    // 2,014 openings without a player tag among them, after a comment that opens the file.
    const std::string eco = "/usr/share/pgn-extract/eco.pgn";
    TempFile epd(PgnExtractPositions(eco), "eco.epd");
    crossCheck(eco, epd.path(), 2014);
}

TEST(CrossCheck, NullMovesInTheMainLine)
{
    // pgn-extract plays a main-line null move when it is asked to; so does the import, always.
    TempFile pgn("[Event \"Threats\"]\n[White \"A\"]\n[Black \"B\"]\n[Result \"*\"]\n\n"
                 "1. e4 e5 2. Nf3 -- 3. Ng5 d5 4. -- dxe4 5. Nxf7 Kxf7 6. -- Nf6 7. d3 *\n\n"
                 "[Event \"Second\"]\n[White \"C\"]\n[Black \"D\"]\n[Result \"*\"]\n\n"
                 "1. d4 -- 2. c4 -- 3. Nc3 d5 4. cxd5 *\n");
    TempFile epd(PgnExtractPositions(pgn.path(), "--allownullmoves"), "null.epd");
    crossCheck(pgn.path(), epd.path(), 2);
}

TEST(LetterSetDetection, GermanAndFrenchVersionsReplayLikeTheEnglishOne)
{
    const std::string english = ReadFile(dataDir + "wcc-excerpt.pgn");
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

// A short game of each language: the first fifteen moves of a World Championship game, in which no
// queen and no king moves, so that no set shows all five of its letters. The knight, bishop and rook
// letters together fit one set only.
struct ShortGame {
    int set;
    const char* languages;
};

const ShortGame shortGames[] = {
    { 1, "Afrikaans" },
    { 2, "German" },
    { 3, "Czech" },
    { 4, "Dutch" },
    { 5, "English" },
    { 6, "Estonian" },
    { 7, "French" },
    { 8, "Frisian" },
    { 9, "Hungarian" },
    { 10, "Icelandic" },
    { 11, "Spanish" },
    { 12, "Norwegian" },
    { 13, "Polish" },
    { 14, "Portuguese" },
    { 15, "Romanian" },
};

const char* const shortGameText
    = "[Event \"World Championship 1st\"]\n[White \"Zukertort, Johannes H\"]\n"
      "[Black \"Steinitz, Wilhelm\"]\n[Result \"*\"]\n\n"
      "1.d4 d5 2.c4 e6 3.Nc3 Nf6 4.Bg5 Be7 5.Nf3 O-O 6.c5 b6 7.b4 bxc5 8.dxc5 a5\n"
      "9.a3 d4 10.Bxf6 gxf6 11.Na4 e5 12.b5 Be6 13.g3 c6 14.bxc6 Nxc6 15.Bg2 Rb8 *\n";

void PrintTo(const ShortGame& game, std::ostream* out)
{
    *out << game.languages << " (set " << game.set << ")";
}

class ShortGameInALanguage : public testing::TestWithParam<ShortGame> { };

TEST_P(ShortGameInALanguage, IsReadInItsOwnLetters)
{
    const GamePositions expected = PgnExtractGames(shortGameText);
    ASSERT_EQ(expected.size(), 1u);
    ASSERT_EQ(expected[0].size(), 30u);
    TempFile file(translated(shortGameText, GetParam().set));
    // Whatever language the user has chosen, the letters of the game decide.
    for (int chosen : { 5, 2, 7 }) {
        int set = 0;
        comparePlies(replayedGames(file.path(), &set, chosen), expected);
        EXPECT_EQ(set, GetParam().set) << "chosen " << chosen;
    }
}

INSTANTIATE_TEST_SUITE_P(LetterSetDetection, ShortGameInALanguage, testing::ValuesIn(shortGames),
    [](const testing::TestParamInfo<ShortGame>& info) { return std::string(info.param.languages); });

TEST(LetterSetDetection, AGameThatFitsSeveralSetsIsReadInTheChosenLanguage)
{
    // S is the knight in German and Polish, the bishop in Czech, the rook in Frisian and Norwegian:
    // only the bishops can play these moves.
    TempFile file("[White \"A\"]\n\n1. e4 e5 2. Sc4 Sc5 *\n");
    CHeaderPGN scanner;
    scanner.fileName = file.path();
    ASSERT_EQ(scanner.ScanFile(), PgnScanResult::Ok);
    auto replay = [&scanner] {
        scanner.LoadGame(scanner.games[0].filePosition, 0, false);
        return PgnTest::Sans(scanner.interpreter);
    };
    EXPECT_EQ(scanner.DetectLetterSet(3), 3);
    EXPECT_FALSE(scanner.LetterSetDecided());
    EXPECT_EQ(replay(), (std::vector<std::string> { "e4", "e5", "Bc4", "Bc5" }));

    // English does not fit: the first set that does is taken, and the game stops at the move it
    // cannot play, naming it.
    scanner.ChooseLetterSet(5);
    EXPECT_EQ(scanner.interpreter.fileLetterSet, 2);
    EXPECT_EQ(replay(), (std::vector<std::string> { "e4", "e5" }));
    EXPECT_TRUE(scanner.interpreter.stopped);
    EXPECT_EQ(scanner.interpreter.stopMove, "Sc4");

    // The user chooses Czech, and opens the game again.
    scanner.ChooseLetterSet(3);
    EXPECT_EQ(replay(), (std::vector<std::string> { "e4", "e5", "Bc4", "Bc5" }));
}

TEST(LetterSetDetection, AFileThatShowsItsSetKeepsIt)
{
    // Once a set shows all five letters, or only one set fits, the user's language does not count.
    for (const char* moves :
        { "1. e4 e5 2. Sf3 Sc6 3. Lb5 a6 4. O-O Dg5 5. Te1 Ke7 *", "1. e4 e5 2. Sf3 Lc5 3. Tg1 Sc6 *" }) {
        TempFile file(std::string("[White \"A\"]\n\n") + moves + "\n");
        CHeaderPGN scanner;
        scanner.fileName = file.path();
        ASSERT_EQ(scanner.ScanFile(), PgnScanResult::Ok);
        EXPECT_EQ(scanner.DetectLetterSet(3), 2) << moves;
        EXPECT_TRUE(scanner.LetterSetDecided());
        scanner.ChooseLetterSet(13);
        EXPECT_EQ(scanner.interpreter.fileLetterSet, 2);
    }
}
