#include "PgnTestSupport.h"

#include "pgn/CHeaderPGN.h"

#include <gtest/gtest.h>

using PgnTest::Sans;
using PgnTest::TempFile;

namespace {

static_assert(sizeof(PgnGameNode::filePosition) == 8 && sizeof(PgnGameNode::endPosition) == 8,
    "files beyond 2 GB keep their offsets");

struct Scanned {
    explicit Scanned(std::string_view contents)
        : file(contents)
    {
        scanner.fileName = file.path();
        result = scanner.ScanFile();
    }
    // The moves of the listed game `index` as the import replays them.
    std::vector<std::string> moves(int index)
    {
        scanner.LoadGame(scanner.games.at(static_cast<size_t>(index)).filePosition, index, false);
        return Sans(scanner.interpreter);
    }
    TempFile file;
    CHeaderPGN scanner;
    PgnScanResult result;
};

using Moves = std::vector<std::string>;

} // namespace

TEST(GameList, ListTextsAndOffsets)
{
    Scanned s(
        "[Event \"World Championship\"]\n[Site \"USA\"]\n[Date \"1886.01.11\"]\n"
        "[White \"Zukertort, Johannes H\"]\n[WhiteElo \"2600\"]\n[Black \"Steinitz, Wilhelm\"]\n"
        "[Result \"0-1\"]\n\n1.d4 d5 2.c4 c6 0-1\n\n"
        "[Event \"Match\"]\n[Date \"1886.\?\?.\?\?\"]\n[White \"Steinitz, Wilhelm\"]\n[Black \"Zukertort\"]\n"
        "[Result \"1-0\"]\n\n1.e4 e5 1-0\n");
    ASSERT_EQ(s.result, PgnScanResult::Ok);
    ASSERT_EQ(s.scanner.GameCount(), 2);
    EXPECT_EQ(s.scanner.games[0].listText,
        "01 Zukertort, Johannes H - Steinitz, Wilhelm_\tWorld Championship  1886-01-11\t0-1");
    EXPECT_EQ(s.scanner.games[1].listText,
        "02 Steinitz, Wilhelm - Zukertort_____________\tMatch  1886-\?\?-\?\?\t1-0");
    EXPECT_EQ(s.moves(0), (Moves { "d4", "d5", "c4", "c6" }));
    EXPECT_EQ(s.moves(1), (Moves { "e4", "e5" }));
    EXPECT_EQ(s.moves(0), (Moves { "d4", "d5", "c4", "c6" }));
    EXPECT_FALSE(s.scanner.listFull);
}

TEST(GameList, NumbersAndFill)
{
    std::string text;
    for (int i = 1; i <= 10; ++i) text += "[White \"W\"]\n[Black \"B\"]\n\n1. e4 *\n\n";
    text += "[White \"A very long name of a white player\"]\n[Black \"and a black one\"]\n\n1. e4 *\n";
    Scanned s(text);
    ASSERT_EQ(s.scanner.GameCount(), 11);
    EXPECT_EQ(s.scanner.games[8].listText.substr(0, 3), "09 ");
    EXPECT_EQ(s.scanner.games[9].listText.substr(0, 3), "10 ");
    EXPECT_EQ(s.scanner.games[9].listText.find('\t'), 45u);
    EXPECT_EQ(s.scanner.games[10].listText, "11 A very long name of a white player - and a black one\t  \t");
}

TEST(GameList, EveryGameStartsFromItsOwnTags)
{
    Scanned s("[Event \"First\"]\n[White \"A\"]\n[Black \"B\"]\n[SetUp \"1\"]\n"
              "[FEN \"4k3/8/8/8/8/8/8/4K2R w K - 0 1\"]\n\n1. O-O Kd7 *\n\n"
              "[Event \"No white player\"]\n[Black \"Ghost\"]\n[Result \"0-1\"]\n\n1. d4 d5 0-1\n\n"
              "[White \"C\"]\n\n1. e4 e5 *\n");
    ASSERT_EQ(s.scanner.GameCount(), 3);
    EXPECT_EQ(s.scanner.games[0].fen, "4k3/8/8/8/8/8/8/4K2R w K - 0 1");
    // A game without a White tag is listed like any other; neither the FEN of the first game nor the
    // tags of the second reach the third.
    EXPECT_EQ(s.scanner.games[1].listText, "02  - Ghost" + std::string(34, '_') + "\tNo white player  \t0-1");
    EXPECT_EQ(s.scanner.games[1].fen, "");
    EXPECT_EQ(s.scanner.games[2].fen, "");
    EXPECT_EQ(s.scanner.games[2].listText, "03 C - ______________________________________\t  \t");
    EXPECT_EQ(s.moves(0), (Moves { "O-O", "Kd7" }));
    EXPECT_EQ(s.moves(1), (Moves { "d4", "d5" }));
    EXPECT_EQ(s.moves(2), (Moves { "e4", "e5" }));
    EXPECT_FALSE(s.scanner.interpreter.stopped);
}

TEST(GameList, MoveTextRightAfterTheTags)
{
    Scanned s("[White \"A\"]\n1. e4 e5\n2. Nf3 1-0\n[White \"B\"]\n1. d4 d5 0-1\r\n[White \"C\"]\n"
              "{A note\nover two lines} 1. c4 *\n[White \"D\"]\n{a} {b} 1. Nf3 *\n");
    ASSERT_EQ(s.scanner.GameCount(), 4);
    EXPECT_EQ(s.scanner.games[0].filePosition, 12);
    EXPECT_EQ(s.moves(0), (Moves { "e4", "e5", "Nf3" }));
    EXPECT_EQ(s.moves(1), (Moves { "d4", "d5" }));
    EXPECT_EQ(s.moves(2), (Moves { "c4" }));
    EXPECT_EQ(s.moves(3), (Moves { "Nf3" }));
}

TEST(GameList, AGameEndsWhereTheNextTagsBegin)
{
    // No result, and a comment left open: neither runs into the next game.
    Scanned s("[White \"A\"]\n\n1. e4 e5 {open\n\n[Event \"E\"]\n[White \"B\"]\n\n1. d4 d5 2. c4\n");
    ASSERT_EQ(s.scanner.GameCount(), 2);
    EXPECT_EQ(s.moves(0), (Moves { "e4", "e5" }));
    EXPECT_EQ(s.moves(1), (Moves { "d4", "d5", "c4" }));

    // An open comment before the first move does not swallow the games after it.
    Scanned t("[White \"A\"]\n\n{never closed\n\n[White \"B\"]\n\n1. e4 *\n");
    ASSERT_EQ(t.scanner.GameCount(), 1);
    EXPECT_EQ(t.scanner.games[0].listText.substr(0, 5), "01 B ");
    EXPECT_EQ(t.moves(0), (Moves { "e4" }));
}

TEST(GameList, TagLines)
{
    Scanned s("[Event \"E\"] [White \"Tal \\\"the magician\\\"\"] [Black \"a \"b\" c\"]\n"
              "[Date \"1960 03 15\"]\n[Result \"1-0\"]\n\n1. e4 1-0\n\n"
              "[White \""
        + std::string(500, 'w')
        + "\"]\n[Black \"x\"]\n\n1. e4 1-0\n"
          "[White \"no closing quote]\n\n1. e4 *\n");
    ASSERT_EQ(s.scanner.GameCount(), 3);
    EXPECT_EQ(
        s.scanner.games[0].listText, "01 Tal \"the magician\" - a \"b\" c______________\tE  1960-03-15\t1-0");
    EXPECT_EQ(s.scanner.games[1].listText, "02 " + std::string(500, 'w') + " - x\t  \t");
    // A value without its closing quote is empty.
    EXPECT_EQ(s.scanner.games[2].listText, "03  - " + std::string(39, '_') + "\t  \t");
}

TEST(GameList, UnicodeByteOrderMark)
{
    Scanned s("\xEF\xBB\xBF[Event \"E\"]\n[White \"A\"]\n\n1. e4 *\n");
    ASSERT_EQ(s.scanner.GameCount(), 1);
    EXPECT_EQ(s.scanner.games[0].listText, "01 A - ______________________________________\tE  \t");
}

TEST(GameList, ALongLineIsOneLine)
{
    // Text that would look like tags and move numbers if the line were cut into pieces.
    std::string filler;
    for (int i = 0; i < 2000; ++i) filler += " [White \"Ghost\"] 1.";
    Scanned s("[White \"A\"]\n\n1. e4 {" + filler + "} e5 2. Nf3 *\n");
    ASSERT_EQ(s.scanner.GameCount(), 1);
    EXPECT_EQ(s.moves(0), (Moves { "e4", "e5", "Nf3" }));

    std::string longMoves;
    for (int i = 1; i <= 3000; ++i)
        longMoves += std::to_string(i) + ". Nf3 Nf6 " + std::to_string(i) + ". Ng1 Ng8 ";
    Scanned t("[White \"A\"]\n\n" + longMoves + "*\n[White \"B\"]\n\n1. d4 *\n");
    ASSERT_EQ(t.scanner.GameCount(), 2);
    EXPECT_EQ(t.moves(0).size(), 12000u);
    EXPECT_EQ(t.moves(1), (Moves { "d4" }));
}

TEST(GameList, SaysWhenTheFileHoldsMoreGamesThanTheList)
{
    std::string games;
    for (int i = 0; i < CHeaderPGN::MaxGames; ++i) games += "[White \"W\"]\n1. e4 *\n";
    {
        Scanned s(games);
        EXPECT_EQ(s.scanner.GameCount(), CHeaderPGN::MaxGames);
        EXPECT_FALSE(s.scanner.listFull);
    }
    games += "[White \"One too many\"]\n1. d4 *\n";
    Scanned s(games);
    EXPECT_EQ(s.scanner.GameCount(), CHeaderPGN::MaxGames);
    EXPECT_TRUE(s.scanner.listFull);
    EXPECT_EQ(s.scanner.games.back().listText.substr(0, 7), "100000 ");
    EXPECT_EQ(s.moves(CHeaderPGN::MaxGames - 1), (Moves { "e4" }));
}

TEST(GameList, AFileThatCannotBeOpened)
{
    CHeaderPGN scanner;
    scanner.fileName = "/nonexistent/folder/games.pgn";
    EXPECT_EQ(scanner.ScanFile(), PgnScanResult::CannotOpen);
    EXPECT_EQ(scanner.GameCount(), 0);
    EXPECT_FALSE(scanner.LoadGame(0, 0, false));
    EXPECT_TRUE(scanner.interpreter.plies.empty());
}
