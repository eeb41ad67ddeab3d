#include "PgnTestSupport.h"

#include "pgn/PgnLetters.h"

#include <gtest/gtest.h>

using PgnTest::Fens;
using PgnTest::Replay;

namespace {

struct MoveCase {
    const char* before; // empty: the standard start
    const char* move; // in English letters
    const char* after;
};

// One move of every kind of piece, and the counters and rights it changes.
const MoveCase pieceMoves[] = {
    { "", "e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1" },
    { "", "Nf3", "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 1 1" },
    { "4k3/8/8/8/8/8/8/1N2K3 w - - 0 1", "Nc3", "4k3/8/8/8/8/2N5/8/4K3 b - - 1 1" },
    { "4k3/8/8/8/8/8/8/2B1K3 w - - 0 1", "Bg5", "4k3/8/8/6B1/8/8/8/4K3 b - - 1 1" },
    { "4k3/8/8/8/8/8/8/R3K3 w Q - 3 9", "Ra7", "4k3/R7/8/8/8/8/8/4K3 b - - 4 9" },
    { "4k3/8/8/8/8/8/8/3QK3 w - - 0 1", "Qd5", "4k3/8/8/3Q4/8/8/8/4K3 b - - 1 1" },
    { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "Kf2", "r3k2r/8/8/8/8/8/5K2/R6R b kq - 1 1" },
    { "4k3/8/8/8/8/8/8/4K3 b - - 5 40", "Kd7", "8/3k4/8/8/8/8/8/4K3 w - - 6 41" },
    { "4k3/8/8/8/8/8/8/R1N1K2R w - - 0 1", "Rf1", "4k3/8/8/8/8/8/8/R1N1KR2 b - - 1 1" },
    { "4k3/8/8/8/8/8/8/4K2R w K - 0 1", "Rh8+", "4k2R/8/8/8/8/8/8/4K3 b - - 1 1" },
    { "4k3/3n4/8/8/4B3/8/8/4K3 w - - 7 30", "Bxd7", nullptr }, // no bishop reaches d7
    { "r3k2r/8/8/8/8/8/1B6/R3K2R w KQkq - 0 1", "Bxh8", "r3k2B/8/8/8/8/8/8/R3K2R b KQq - 0 1" },
    { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "Rxa8+", "R3k2r/8/8/8/8/8/8/4K2R b Kk - 0 1" },
    { "r3k2r/1P6/8/8/8/8/8/R3K2R w KQkq - 0 1", "bxa8=Q+", "Q3k2r/8/8/8/8/8/8/R3K2R b KQk - 0 1" },
    { "4k3/8/8/8/8/8/8/4K3 w - - 0 1", "Ke3", nullptr },
};

std::string translated(std::string_view english, int set)
{
    std::string move(english);
    const auto& letters = PgnLetters::DefaultSets()[set];
    if (int k = PgnLetters::EnglishIndex(move[0]); k >= 0) move[0] = letters[k];
    if (size_t eq = move.find('='); eq != std::string::npos)
        if (int k = PgnLetters::EnglishIndex(move[eq + 1]); k >= 0) move[eq + 1] = letters[k];
    return move;
}

} // namespace

TEST(MoveInterpreter, PlaysEveryPieceInEveryLetterSet)
{
    CTraiteUnMot interpreter;
    for (int set = 1; set < PgnLetters::UserSet; ++set) {
        for (const MoveCase& c : pieceMoves) {
            std::string move = translated(c.move, set);
            Replay(interpreter, c.before, move, set);
            SCOPED_TRACE(std::string("set ") + std::to_string(set) + ": " + move + " from " + c.before);
            if (c.after) {
                ASSERT_EQ(Fens(interpreter), std::vector<std::string> { c.after });
                EXPECT_FALSE(interpreter.stopped);
                // The move is kept in English letters, whatever the file wrote.
                EXPECT_EQ(interpreter.plies[0].san, c.move);
            } else {
                EXPECT_TRUE(interpreter.plies.empty());
                EXPECT_TRUE(interpreter.stopped);
                EXPECT_EQ(interpreter.stopMove, move);
            }
        }
    }
}

TEST(MoveInterpreter, FigurinesDrawTheirPiecesInEveryLetterSet)
{
    // The white and the black figurine of each piece, in UTF-8 and as a UTF-8 file reads once it has
    // been taken for Windows-1252 and saved again.
    const struct {
        char piece;
        const char* forms[4];
    } figurines[] = {
        { 'N',
            { "\xE2\x99\x98", "\xE2\x99\x9E", "\xC3\xA2\xE2\x84\xA2\xCB\x9C",
                "\xC3\xA2\xE2\x84\xA2\xC5\xBE" } },
        { 'B',
            { "\xE2\x99\x97", "\xE2\x99\x9D", "\xC3\xA2\xE2\x84\xA2\xE2\x80\x94",
                "\xC3\xA2\xE2\x84\xA2\xC2\x9D" } },
        { 'R',
            { "\xE2\x99\x96", "\xE2\x99\x9C", "\xC3\xA2\xE2\x84\xA2\xE2\x80\x93",
                "\xC3\xA2\xE2\x84\xA2\xC5\x93" } },
        { 'Q',
            { "\xE2\x99\x95", "\xE2\x99\x9B", "\xC3\xA2\xE2\x84\xA2\xE2\x80\xA2",
                "\xC3\xA2\xE2\x84\xA2\xE2\x80\xBA" } },
        { 'K',
            { "\xE2\x99\x94", "\xE2\x99\x9A", "\xC3\xA2\xE2\x84\xA2\xE2\x80\x9D",
                "\xC3\xA2\xE2\x84\xA2\xC5\xA1" } },
    };
    CTraiteUnMot interpreter;
    for (int set = 1; set < PgnLetters::UserSet; ++set) {
        for (const MoveCase& c : pieceMoves) {
            if (!c.after || PgnLetters::EnglishIndex(c.move[0]) < 0) continue;
            for (const auto& figurine : figurines) {
                if (figurine.piece != c.move[0]) continue;
                for (const char* form : figurine.forms) {
                    std::string move = form + std::string(c.move + 1);
                    Replay(interpreter, c.before, move, set);
                    SCOPED_TRACE("set " + std::to_string(set) + ": " + c.move);
                    EXPECT_EQ(Fens(interpreter), std::vector<std::string> { c.after });
                    ASSERT_FALSE(interpreter.stopped);
                    EXPECT_EQ(interpreter.plies[0].san, c.move);
                }
            }
        }
    }
}

TEST(MoveInterpreter, ReadsTheLettersOfNamedLanguages)
{
    struct {
        int set;
        const char* moves;
    } const games[] = {
        { 2,
            "1. e4 e5 2. Sf3 Sc6 3. Lb5 a6 4. O-O Sf6 5. Te1 Le7 6. Lxc6 dxc6 7. d4 exd4 8. Dxd4 Dxd4 9. "
            "Sxd4 "
            "Ld7 10. Kf1 Kd8" },
        { 7,
            "1. e4 e5 2. Cf3 Cc6 3. Fb5 a6 4. O-O Cf6 5. Te1 Fe7 6. Fxc6 dxc6 7. d4 exd4 8. Dxd4 Dxd4 9. "
            "Cxd4 "
            "Fd7 10. Rf1 Rd8" },
        { 5,
            "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. O-O Nf6 5. Re1 Be7 6. Bxc6 dxc6 7. d4 exd4 8. Qxd4 Qxd4 9. "
            "Nxd4 "
            "Bd7 10. Kf1 Kd8" },
    };
    CTraiteUnMot english;
    Replay(english, "", games[2].moves);
    ASSERT_EQ(english.plies.size(), 20u);
    for (const auto& game : games) {
        CTraiteUnMot interpreter;
        Replay(interpreter, "", game.moves, game.set);
        EXPECT_EQ(Fens(interpreter), Fens(english)) << game.moves;
    }
}

TEST(MoveInterpreter, CoordinateNotation)
{
    const MoveCase cases[] = {
        { "", "e2-e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1" },
        { "", "e2e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1" },
        { "", "Ng1-f3", "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 1 1" },
        { "", "g1f3", "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 1 1" },
        { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 1 1" },
        { "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8-c8", "2kr3r/8/8/8/8/8/8/R3K2R w KQ - 1 2" },
        { "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2", "e5xd6e.p.", "4k3/8/3P4/8/8/8/8/4K3 b - - 0 2" },
        { "8/4P3/8/8/8/8/8/K6k w - - 0 1", "e7-e8=Q", "4Q3/8/8/8/8/8/8/K6k b - - 0 1" },
        { "8/4P3/8/8/8/8/8/K6k w - - 0 1", "e7e8n", "4N3/8/8/8/8/8/8/K6k b - - 0 1" },
        { "", "e2-e5", nullptr },
        { "", "e3-e4", nullptr },
        { "", "d1-d3", nullptr },
        { "", "e7-e5", nullptr },
    };
    for (bool flag : { true, false }) {
        for (const MoveCase& c : cases) {
            CTraiteUnMot interpreter;
            Replay(interpreter, c.before, c.move, 5, flag);
            SCOPED_TRACE(std::string(c.move) + (flag ? " (coordinate file)" : " (SAN file)"));
            if (c.after) {
                EXPECT_EQ(Fens(interpreter), std::vector<std::string> { c.after });
            } else {
                EXPECT_TRUE(interpreter.stopped);
                EXPECT_TRUE(interpreter.plies.empty());
            }
        }
    }
}

TEST(MoveInterpreter, CastlingSpellings)
{
    const char* const before = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const char* const shortAfter = "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 1 1";
    const char* const longAfter = "r3k2r/8/8/8/8/8/8/2KR3R b kq - 1 1";
    const struct {
        const char* move;
        const char* after;
        const char* san;
    } cases[] = {
        { "O-O", shortAfter, "O-O" },
        { "0-0", shortAfter, "O-O" },
        { "o-o", shortAfter, "O-O" },
        { "O-O+", shortAfter, "O-O+" },
        { "O-O!?", shortAfter, "O-O!?" },
        { "0-0!", shortAfter, "O-O!" },
        { "O-O-O", longAfter, "O-O-O" },
        { "0-0-0", longAfter, "O-O-O" },
        { "O-O-O+", longAfter, "O-O-O+" },
        { "O-O-O#?!", longAfter, "O-O-O#?!" },
    };
    for (const auto& c : cases) {
        CTraiteUnMot interpreter;
        Replay(interpreter, before, c.move);
        ASSERT_EQ(Fens(interpreter), std::vector<std::string> { c.after }) << c.move;
        EXPECT_EQ(interpreter.plies[0].san, c.san);
    }

    // Black castles on both wings too.
    CTraiteUnMot interpreter;
    Replay(interpreter, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "0-0");
    EXPECT_EQ(Fens(interpreter), std::vector<std::string> { "r4rk1/8/8/8/8/8/8/R3K2R w KQ - 1 2" });
    Replay(interpreter, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "0-0-0");
    EXPECT_EQ(Fens(interpreter), std::vector<std::string> { "2kr3r/8/8/8/8/8/8/R3K2R w KQ - 1 2" });
}

TEST(MoveInterpreter, CastlingNeedsKingRookRightAndSafePassage)
{
    const char* const refused[] = {
        "r3k2r/8/8/8/8/8/8/R3K1NR w KQkq - 0 1", // a knight between
        "r3k2r/8/8/8/8/8/8/R3K3 w KQkq - 0 1", // no rook on h1
        "r3k2r/8/8/8/8/8/8/R4K1R w KQkq - 0 1", // no king on e1
        "r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", // the right is gone
        "r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1", // f1 is attacked
        "r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq - 0 1", // the king is in check
        "r3k2r/8/8/8/8/8/6r1/R3K2R w KQkq - 0 1", // g1 is attacked
    };
    for (const char* fen : refused) {
        CTraiteUnMot interpreter;
        Replay(interpreter, fen, "1. O-O e5");
        EXPECT_TRUE(interpreter.stopped) << fen;
        EXPECT_TRUE(interpreter.plies.empty()) << fen;
        EXPECT_EQ(interpreter.stopMove, "O-O");
        EXPECT_EQ(interpreter.stopPly, 1u);
    }
    // Long castling may pass b1 under attack: only the king's squares count.
    CTraiteUnMot interpreter;
    Replay(interpreter, "1r2k3/8/8/8/8/8/8/R3K3 w Q - 0 1", "O-O-O");
    EXPECT_EQ(Fens(interpreter), std::vector<std::string> { "1r2k3/8/8/8/8/8/8/2KR4 b - - 1 1" });
}

TEST(MoveInterpreter, Promotions)
{
    const char* const white = "3r4/4P3/8/8/8/8/4p3/K6k w - - 0 1";
    const char* const black = "3r4/4P3/8/8/8/8/4p3/K6k b - - 0 1";
    const struct {
        const char* before;
        const char* move;
        int set;
        const char* after; // nullptr: refused
    } cases[] = {
        { white, "e8=Q", 5, "3rQ3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "e8Q", 5, "3rQ3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "e8(Q)", 5, "3rQ3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "e8=q", 5, "3rQ3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "e8=N+", 5, "3rN3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "exd8=R", 5, "3R4/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "exd8B", 5, "3B4/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "e8=D", 2, "3rQ3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "e8S", 2, "3rN3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "e8=C", 7, "3rN3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { white, "e8(T)", 7, "3rR3/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { black, "e1=Q", 5, "3r4/4P3/8/8/8/8/8/K3q2k w - - 0 2" },
        { black, "e1=D", 7, "3r4/4P3/8/8/8/8/8/K3q2k w - - 0 2" },
        { black, "e1N", 5, "3r4/4P3/8/8/8/8/8/K3n2k w - - 0 2" },
        { white, "e8", 5, nullptr }, // a pawn never stays on the last rank
        { white, "e8=K", 5, nullptr },
        { white, "e8=P", 5, nullptr },
        { white, "e8=R", 7, nullptr }, // 'R' is the French king
        { white, "e8=\xE2\x99\x95", 7, "3rQ3/8/8/8/8/8/4p3/K6k b - - 0 1" }, // a figurine in any language
        { white, "exd8\xE2\x99\x98+", 2, "3N4/8/8/8/8/8/4p3/K6k b - - 0 1" },
        { black, "e1=\xE2\x99\x9B", 5, "3r4/4P3/8/8/8/8/8/K3q2k w - - 0 2" },
        { black, "e1=\xC3\xA2\xE2\x84\xA2\xE2\x80\x93", 5, "3r4/4P3/8/8/8/8/8/K3r2k w - - 0 2" },
        { white, "e8=\xE2\x99\x94", 5, nullptr }, // no king
        { white, "e8=\xE2\x99\x99", 5, nullptr },
        { black, "e2=Q", 5, nullptr },
        { white, "Ne8=Q", 5, nullptr },
    };
    for (const auto& c : cases) {
        CTraiteUnMot interpreter;
        Replay(interpreter, c.before, c.move, c.set);
        SCOPED_TRACE(c.move);
        if (c.after) {
            EXPECT_EQ(Fens(interpreter), std::vector<std::string> { c.after });
        } else {
            EXPECT_TRUE(interpreter.stopped);
            EXPECT_TRUE(interpreter.plies.empty());
        }
    }
    CTraiteUnMot interpreter;
    Replay(interpreter, white, "e8(Q)+");
    EXPECT_EQ(interpreter.plies.at(0).san, "e8=Q+");
}

TEST(MoveInterpreter, AmbiguousKnightsAndPinnedCandidate)
{
    const char* const twoKnights = "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1";
    const char* const pinned = "4k3/8/8/8/4b3/5N2/8/1N5K w - - 0 1"; // f3 shields h1 from the bishop
    const struct {
        const char* before;
        const char* move;
        const char* after;
    } cases[] = {
        { twoKnights, "Nd2", nullptr }, // both can go: the move names no piece
        { twoKnights, "Nbd2", "4k3/8/8/8/8/5N2/3N4/4K3 b - - 1 1" },
        { twoKnights, "Nfd2", "4k3/8/8/8/8/8/3N4/1N2K3 b - - 1 1" },
        { twoKnights, "N1d2", "4k3/8/8/8/8/5N2/3N4/4K3 b - - 1 1" },
        { twoKnights, "N3d2", "4k3/8/8/8/8/8/3N4/1N2K3 b - - 1 1" },
        { twoKnights, "Nb1d2", "4k3/8/8/8/8/5N2/3N4/4K3 b - - 1 1" },
        { twoKnights, "Ncd2", nullptr },
        { twoKnights, "N2d2", nullptr },
        { pinned, "Nd2", "4k3/8/8/8/4b3/5N2/3N4/7K b - - 1 1" },
        { pinned, "Nfd2", nullptr },
        { pinned, "Ng5", nullptr },
        // Two rooks, one of them blocked by its own knight.
        { "4k3/8/8/8/8/8/8/R1N1K2R w - - 0 1", "Rf1", "4k3/8/8/8/8/8/8/R1N1KR2 b - - 1 1" },
        { "4k3/8/8/8/8/8/8/R3K2R w - - 0 1", "Rd1", "4k3/8/8/8/8/8/8/3RK2R b - - 1 1" },
    };
    for (const auto& c : cases) {
        CTraiteUnMot interpreter;
        Replay(interpreter, c.before, c.move);
        SCOPED_TRACE(std::string(c.move) + " from " + c.before);
        if (c.after) {
            EXPECT_EQ(Fens(interpreter), std::vector<std::string> { c.after });
        } else {
            EXPECT_TRUE(interpreter.stopped);
            EXPECT_TRUE(interpreter.plies.empty());
        }
    }
}

TEST(MoveInterpreter, PawnsLookTheRightWayForChecks)
{
    // A black pawn on c3 strikes b2 and d2, never the squares above it.
    CTraiteUnMot interpreter;
    Replay(interpreter, "4k3/8/8/8/8/2p1K3/8/8 w - - 0 1", "Kd4");
    EXPECT_EQ(Fens(interpreter), std::vector<std::string> { "4k3/8/8/8/3K4/2p5/8/8 b - - 1 1" });
    Replay(interpreter, "4k3/8/8/8/8/2p1K3/8/8 w - - 0 1", "Kd2");
    EXPECT_TRUE(interpreter.stopped);
    // A white pawn on f6 strikes e7 and g7.
    Replay(interpreter, "8/8/5P2/3k4/8/8/8/4K3 b - - 0 1", "Ke6");
    EXPECT_EQ(Fens(interpreter), std::vector<std::string> { "8/8/4kP2/8/8/8/8/4K3 w - - 1 2" });
    Replay(interpreter, "8/5k2/5P2/8/8/8/8/4K3 b - - 0 1", "Kf8 Ke2 Kg7");
    EXPECT_EQ(interpreter.plies.size(), 2u);
    Replay(interpreter, "8/3k4/5P2/8/8/8/8/4K3 b - - 0 1", "Ke7");
    EXPECT_TRUE(interpreter.stopped);
}

TEST(MoveInterpreter, EnPassant)
{
    CTraiteUnMot interpreter;
    Replay(interpreter, "4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1", "1... d5 2. exd6");
    EXPECT_EQ(Fens(interpreter),
        (std::vector<std::string> {
            "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2", "4k3/8/3P4/8/8/8/8/4K3 b - - 0 2" }));
    for (const char* spelling : { "exd6 e.p.", "exd6e.p.", "exd6 ep", "exd6ep", "e5xd6", "exd6+ e.p." }) {
        Replay(interpreter, "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2", spelling);
        EXPECT_EQ(Fens(interpreter), std::vector<std::string> { "4k3/8/3P4/8/8/8/8/4K3 b - - 0 2" })
            << spelling;
        EXPECT_FALSE(interpreter.stopped) << spelling;
    }
    // Without the double step just before, the capture cannot be made.
    Replay(interpreter, "4k3/8/8/3pP3/8/8/8/4K3 w - - 0 2", "exd6");
    EXPECT_TRUE(interpreter.stopped);
    Replay(interpreter, "4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1", "d5 Kd2 Kd7 exd6");
    EXPECT_EQ(interpreter.plies.size(), 3u);
    EXPECT_TRUE(interpreter.stopped);

    // The file a is a file like any other.
    Replay(interpreter, "4k3/p7/8/1P6/8/8/8/4K3 b - - 0 1", "a5 bxa6");
    ASSERT_EQ(interpreter.plies.size(), 2u);
    EXPECT_EQ(interpreter.plies[0].enPassantFile, 0);
    EXPECT_EQ(EnPassantText(interpreter.plies[0]), "a");
    EXPECT_EQ(FullFen(interpreter.plies[0]), "4k3/8/8/pP6/8/8/8/4K3 w - a6 0 2");
    EXPECT_EQ(FullFen(interpreter.plies[1]), "4k3/8/P7/8/8/8/8/4K3 b - - 0 2");
    EXPECT_EQ(EnPassantText(interpreter.plies[1]), "");

    // A double step that no pawn could take en passant leaves no file: here the taker is pinned.
    Replay(interpreter, "8/8/8/8/k2p3R/8/4P3/4K3 w - - 0 1", "e4");
    ASSERT_EQ(interpreter.plies.size(), 1u);
    EXPECT_EQ(interpreter.plies[0].enPassantFile, -1);
    EXPECT_EQ(FullFen(interpreter.plies[0]), "8/8/8/8/k2pP2R/8/8/4K3 b - - 0 1");
}

TEST(MoveInterpreter, MovesThatCannotBePlayedEndTheReplay)
{
    const struct {
        const char* before;
        const char* moves;
        size_t plies;
        const char* stopMove;
    } cases[] = {
        { "", "1. e4 e5 2. Nf6 Nc6", 2, "Nf6" }, // no knight reaches f6
        { "4k3/8/8/8/8/8/8/4K3 w - - 0 1", "1. e4", 0, "e4" }, // no pawn at all
        { "4k3/8/8/8/8/8/4N3/4K3 w - - 0 1", "1. e4", 0, "e4" }, // a knight is no pawn
        { "", "1. e4 e5 2. e5", 2, "e5" }, // blocked
        { "", "1. Nz9", 0, "Nz9" }, { "", "1. Qh9", 0, "Qh9" }, { "", "1. i4", 0, "i4" },
        { "", "1. Nf3 Nf6 2. Nd5", 2, "Nd5" }, // out of both knights' reach
        { "", "1. e4 d5 2. exd5 Qxd5 3. Bd3 Qxa2 4. Rxa2 Kd7 5. Kxe5", 8, "Kxe5" },
        { "", "1. Ke2", 0, "Ke2" }, // own pawn on e2
        { "", "1. f3 e5 2. g4 Qh4# 3. Nc3", 4, "Nc3" }, // mated: nothing is legal
        { "", "1. e4 e5 2. Nf3 Nc6 3. Nc3 Bb4 4. d3 Nd4 5. Ne2", 8,
            "Ne2" }, // only the pinned knight reaches e2
        // A character the interpreter cannot read is never skipped inside a move: the move is named.
        { "",
            "1. e4 e5 2. \xD0\x9A"
            "f3",
            2,
            "\xD0\x9A"
            "f3" }, // a Cyrillic knight letter
        { "",
            "1. e4 e5 2. \xC5"
            "f3",
            2,
            "\xC5"
            "f3" }, // a byte of Windows-1252
        { "",
            "1. e4 e5 2. N\xE2\x80\xA0"
            "f3",
            2,
            "N\xE2\x80\xA0"
            "f3" }, // inside the word
        { "",
            "1. e4 e5 2. \xE2\x99\x98"
            "f6",
            2,
            "\xE2\x99\x98"
            "f6" }, // a figurine's move must be legal
        { "",
            "1. e4 e5 2. \xE2\x99\x99"
            "e4",
            2,
            "\xE2\x99\x99"
            "e4" }, // the pawn figurine too
    };
    for (const auto& c : cases) {
        CTraiteUnMot interpreter;
        Replay(interpreter, c.before, c.moves);
        SCOPED_TRACE(c.moves);
        EXPECT_TRUE(interpreter.stopped);
        EXPECT_EQ(interpreter.plies.size(), c.plies);
        EXPECT_EQ(interpreter.stopMove, c.stopMove);
        EXPECT_EQ(interpreter.stopPly, c.plies + 1);
    }
}

TEST(MoveInterpreter, CountersSideAndPlyNumbers)
{
    CTraiteUnMot interpreter;
    Replay(interpreter, "", "1. e4 e5 2. Nf3 Nc6 1-0");
    ASSERT_EQ(interpreter.plies.size(), 4u);
    EXPECT_EQ(interpreter.plies[0].fen, " rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq");
    EXPECT_EQ(interpreter.plies[3].fen, " r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq");
    EXPECT_EQ(FullFen(interpreter.plies[1]), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
    const uint32_t fullmoves[] = { 1, 2, 2, 3 };
    const char* const clocks[] = { "0", "0", "1", "2" };
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(interpreter.plies[i].plyNumber, i + 1);
        EXPECT_EQ(interpreter.plies[i].fullmoveNumber, fullmoves[i]);
        EXPECT_EQ(interpreter.plies[i].halfmoveClock, clocks[i]);
    }
    EXPECT_EQ(interpreter.plies[3].comment, " 1-0 ");

    // A game that starts with Black's move keeps the side of its FEN and counts on from its number.
    Replay(interpreter, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "1... c5 2. Nf3");
    ASSERT_EQ(interpreter.plies.size(), 2u);
    EXPECT_EQ(interpreter.plies[0].plyNumber, 2u);
    EXPECT_EQ(FullFen(interpreter.plies[0]), "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
    EXPECT_EQ(
        FullFen(interpreter.plies[1]), "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2");
    EXPECT_EQ(interpreter.plies[1].plyNumber, 3u);

    // The game's [FEN] is used once: the next game starts from the standard position.
    Replay(interpreter, "", "1. e4");
    EXPECT_EQ(FullFen(interpreter.plies.at(0)), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
}

TEST(MoveInterpreter, AFenThatCannotBeReadPlaysNothing)
{
    for (const char* fen : { "8/8/8 w - - 0 1", "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
             "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBXKBNR w KQkq - 0 1" }) {
        CTraiteUnMot interpreter;
        Replay(interpreter, fen, "1. e4 e5");
        EXPECT_TRUE(interpreter.stopped) << fen;
        EXPECT_TRUE(interpreter.badFen) << fen;
        EXPECT_TRUE(interpreter.plies.empty()) << fen;
    }
}

TEST(MoveInterpreter, NullMovesPassTheTurn)
{
    CTraiteUnMot interpreter;
    // The side to move passes: the pieces, the rights and the move number go on, the en-passant chance
    // is gone and the halfmove clock counts the pass.
    Replay(interpreter, "", "1. e4 Nf6 2. e5 d5 3. -- Nc6 4. Nf3 1-0");
    EXPECT_FALSE(interpreter.stopped);
    EXPECT_EQ(PgnTest::Sans(interpreter),
        (std::vector<std::string> { "e4", "Nf6", "e5", "d5", "--", "Nc6", "Nf3" }));
    EXPECT_EQ(Fens(interpreter)[3], "rnbqkb1r/ppp1pppp/5n2/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3");
    EXPECT_EQ(Fens(interpreter)[4], "rnbqkb1r/ppp1pppp/5n2/3pP3/8/8/PPPP1PPP/RNBQKBNR b KQkq - 1 3");
    EXPECT_EQ(interpreter.plies[4].move, "--");
    EXPECT_EQ(interpreter.plies[4].plyNumber, 5u);
    EXPECT_EQ(interpreter.plies.back().comment, " 1-0 ");

    // The chance to take en passant does not come back after the pass.
    Replay(interpreter, "", "1. e4 Nf6 2. e5 d5 3. -- Nc6 4. exd6");
    EXPECT_TRUE(interpreter.stopped);
    EXPECT_EQ(interpreter.stopMove, "exd6");

    // Glued to the move number, with marks and a comment, as Black, and from a position.
    interpreter.importComments = 1;
    Replay(interpreter, "4k3/8/8/8/8/8/8/4K2R b K - 0 20", "20...--!? {threat} 21. Rh8#");
    EXPECT_FALSE(interpreter.stopped);
    EXPECT_EQ(Fens(interpreter),
        (std::vector<std::string> { "4k3/8/8/8/8/8/8/4K2R w K - 1 21", "4k2R/8/8/8/8/8/8/4K3 b - - 2 21" }));
    EXPECT_EQ(interpreter.plies[0].san, "--!?");
    EXPECT_EQ(interpreter.plies[0].comment, "threat");

    // A side in check cannot pass: the replay stops there and names the null move.
    Replay(interpreter, "4k3/8/8/8/8/8/8/4K2R w K - 0 1", "1. Rh8+ -- 2. Kd2");
    EXPECT_TRUE(interpreter.stopped);
    EXPECT_EQ(interpreter.stopMove, "--");
    EXPECT_EQ(interpreter.stopPly, 2u);
    EXPECT_EQ(interpreter.plies.size(), 1u);
}
