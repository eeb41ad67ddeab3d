// The checker is written for speed; the reference in tests/support reads a position the plain way.
// Here both judge the same texts and boards, real and random, and must agree on every result and on
// everything the checker leaves behind (board, king squares, warning).
#include "positions/PositionChecker.h"
#include "tests/support/ReferenceChecker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using reference::ReferenceChecker;

std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// Runs both checkers on the text and reports where they part. The checkers live across calls, as a
// caller's member would, so what one check leaves for the next is compared too.
class Judges {
public:
    bool Agree(const std::string& text)
    {
        const LegalityCode code = fast.CheckFenPosition(text);
        const LegalityCode expected = slow.CheckFenPosition(text);
        ++judged;
        if (code == expected && fast.board == slow.board && SameState()) return true;
        if (++failures <= 10)
            ADD_FAILURE() << "\"" << Printable(text) << "\": code " << code << ", reference " << expected
                          << (fast.board == slow.board ? "" : "; the boards differ")
                          << (SameState() ? "" : "; kings or warning differ");
        return false;
    }
    int judged = 0;
    int failures = 0;

private:
    bool SameState() const
    {
        return fast.whiteKingCol == slow.whiteKingCol && fast.whiteKingRow == slow.whiteKingRow
            && fast.blackKingCol == slow.blackKingCol && fast.blackKingRow == slow.blackKingRow
            && fast.fullCheck == slow.fullCheck && fast.warningCode == slow.warningCode;
    }
    PositionChecker fast;
    ReferenceChecker slow;
};

std::vector<std::string> RealPositions()
{
    std::ifstream in(BRENNIX_TEST_DATA "/fen/crosscheck.tsv");
    std::vector<std::string> fens;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        fens.push_back(line.substr(0, line.find('\t')));
    }
    return fens;
}

// A piece field made square by square from pieces placed on a board: well formed, so that the rules
// about kings, checks and counts are reached.
std::string FieldOf(const char (&squares)[64])
{
    std::string field;
    for (int row = 0; row < 8; ++row) {
        int empty = 0;
        for (int column = 0; column < 8; ++column) {
            char c = squares[row * 8 + column];
            if (c == 0) {
                ++empty;
                continue;
            }
            if (empty) field += char('0' + empty);
            empty = 0;
            field += c;
        }
        if (empty) field += char('0' + empty);
        if (row < 7) field += '/';
    }
    return field;
}

class RandomTexts {
public:
    explicit RandomTexts(unsigned seed)
        : random(seed)
    {
    }

    // Kings (none, one or two of a colour, often side by side) and a handful of other pieces, pawns
    // on every rank, then side, castling and further fields.
    std::string Placed()
    {
        char squares[64] = {};
        const int kings[2]
            = { Pick({ 0, 1, 1, 1, 1, 1, 1, 1, 1, 2 }), Pick({ 0, 1, 1, 1, 1, 1, 1, 1, 1, 2 }) };
        for (int colour = 0; colour < 2; ++colour)
            for (int k = 0; k < kings[colour]; ++k) Put(squares, colour ? 'k' : 'K');
        if (Chance(4)) {
            // Kings next to each other in any of the eight directions.
            std::fill(std::begin(squares), std::end(squares), 0);
            int column = Below(8), row = Below(8);
            int dc = Below(3) - 1, dr = Below(3) - 1;
            squares[row * 8 + column] = 'K';
            if (column + dc >= 0 && column + dc < 8 && row + dr >= 0 && row + dr < 8)
                squares[(row + dr) * 8 + column + dc] = 'k';
        }
        static const char pieces[] = "QRBNPqrbnpRRBBNNrrbbnnPPpp";
        const int count = Below(Chance(8) ? 40 : 14);
        for (int i = 0; i < count; ++i) Put(squares, pieces[Below(sizeof pieces - 1)]);
        if (Chance(20)) Put(squares, "xhjZ"[Below(4)]);
        // A crowd of one kind, around the limits of the counts.
        if (Chance(15)) {
            const char crowd = "QRBNPqrbnp"[Below(10)];
            for (int i = 0, n = 8 + Below(5); i < n; ++i) Put(squares, crowd);
        }
        return FieldOf(squares) + Tail();
    }

    // Fields of any shape: rows too short or too long, digits that overrun a row, doubled or missing
    // slashes, letters that are no pieces, bytes that are no part of a field, NUL bytes.
    std::string Shaped()
    {
        std::string text;
        const int rows = Pick({ 8, 8, 8, 8, 7, 9, 6, 10 });
        for (int row = 0; row < rows; ++row) {
            int column = 0;
            const int target = Pick({ 8, 8, 8, 7, 9, 0, 12 });
            while (column < target || Chance(30)) {
                if (Chance(3)) {
                    int d = Below(10);
                    text += char('0' + d);
                    column += d;
                } else {
                    text += "KQRBNPkqrbnpxPpPp"[Below(17)];
                    ++column;
                }
                if (text.size() > 200) break;
            }
            if (row < rows - 1 || Chance(10)) text += Chance(25) ? "//" : Chance(25) ? "" : "/";
        }
        if (Chance(8)) text.insert(text.begin() + Below(int(text.size()) + 1), Junk());
        if (Chance(15)) text.insert(0, "/");
        return text + Tail();
    }

private:
    std::string Tail()
    {
        static const char* const sides[] = { " w", " b", "", " ", " wb", " bw", " -", " w ", " b  w", " W" };
        static const char* const castles[]
            = { " KQkq", " -", " K", " q", " Qk", " kq", "", " KQkq-Q", "  K" };
        static const char* const rest[] = { " - 0 1", "", " e3", " - c0 \"x\";", " -", " 0 w", " k" };
        std::string tail = sides[Below(10)];
        tail += castles[Below(9)];
        tail += rest[Below(7)];
        if (Chance(20)) tail.insert(tail.begin() + Below(int(tail.size()) + 1), Junk());
        return tail;
    }
    char Junk() { return "\0 *-.\xE9\x80\t~"[Below(9)]; }
    void Put(char (&squares)[64], char piece)
    {
        for (int attempt = 0; attempt < 8; ++attempt) {
            int square = Below(64);
            if (squares[square] == 0) {
                squares[square] = piece;
                return;
            }
        }
    }
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool Chance(int oneIn) { return Below(oneIn) == 0; }
    int Pick(std::initializer_list<int> values) { return *(values.begin() + Below(int(values.size()))); }

    std::mt19937 random;
};

TEST(CheckerAgainstReference, RealPositionsAndTheirCuts)
{
    Judges judges;
    const std::vector<std::string> fens = RealPositions();
    ASSERT_GE(fens.size(), 300u);
    for (const std::string& fen : fens) {
        judges.Agree(fen);
        // Every cut of the text, and the text with one byte changed: short texts, fields that end
        // early, side and castling fields that end anywhere.
        for (size_t length = 0; length < fen.size(); length += 3) judges.Agree(fen.substr(0, length));
        for (size_t at = 0; at < fen.size(); at += 5) {
            std::string changed = fen;
            changed[at] = "/1 0kK\0x8"[at % 9];
            judges.Agree(changed);
        }
    }
    EXPECT_EQ(judges.failures, 0) << "of " << judges.judged;
}

TEST(CheckerAgainstReference, RandomPlacedPositions)
{
    Judges judges;
    RandomTexts texts(20240611);
    for (int i = 0; i < 200000; ++i) judges.Agree(texts.Placed());
    EXPECT_EQ(judges.failures, 0) << "of " << judges.judged;
}

TEST(CheckerAgainstReference, RandomlyShapedFields)
{
    Judges judges;
    RandomTexts texts(7);
    for (int i = 0; i < 200000; ++i) judges.Agree(texts.Shaped());
    EXPECT_EQ(judges.failures, 0) << "of " << judges.judged;
}

TEST(CheckerAgainstReference, TheVerdictsCoverEveryCode)
{
    // The random texts above reach every code the checker gives, so no rule goes untested.
    PositionChecker checker;
    RandomTexts texts(99);
    std::vector<bool> seen(40);
    for (int i = 0; i < 200000; ++i) {
        LegalityCode code = checker.CheckFenPosition(i % 2 ? texts.Placed() : texts.Shaped());
        seen[code + 12] = true;
    }
    for (LegalityCode code = -12; code <= 19; ++code) {
        if (code == Legality::TooManyBadLines) continue; // given by File Open, not by the checker
        EXPECT_TRUE(seen[code + 12]) << code;
    }
}

// The move interpreter's use: its own boards, '0' for an empty square, any byte elsewhere, kings set
// by hand and sometimes off the board.
TEST(CheckerAgainstReference, IsInCheckAndCheckPathOnInterpreterBoards)
{
    std::mt19937 random(5);
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    static const char pieces[] = "KQRBNPkqrbnp0000000000000000\0x1";
    int disagreements = 0;
    for (int i = 0; i < 100000 && disagreements < 10; ++i) {
        PositionChecker fast;
        ReferenceChecker slow;
        for (int square = 0; square < 64; ++square) fast.board[square] = pieces[below(sizeof pieces - 1)];
        std::copy(fast.board.begin(), fast.board.end(), slow.board.begin());
        fast.whiteKingCol = slow.whiteKingCol = static_cast<int8_t>(below(10) - 1);
        fast.whiteKingRow = slow.whiteKingRow = static_cast<int8_t>(below(10) - 1);
        fast.blackKingCol = slow.blackKingCol = static_cast<int8_t>(below(10) - 1);
        fast.blackKingRow = slow.blackKingRow = static_cast<int8_t>(below(10) - 1);
        fast.fullCheck = slow.fullCheck = static_cast<uint8_t>(below(2));
        for (uint8_t side : { 0, 1 }) {
            bool a = fast.IsInCheck(side), b = slow.IsInCheck(side);
            if (a != b || fast.warningCode != slow.warningCode) {
                ++disagreements;
                ADD_FAILURE() << "IsInCheck(" << int(side) << ") on board " << i;
            }
        }
        for (int path = 0; path < 8; ++path) {
            const auto fromRow = static_cast<int8_t>(below(10) - 1),
                       fromCol = static_cast<int8_t>(below(10) - 1);
            const auto toRow = static_cast<int8_t>(below(10) - 1), toCol = static_cast<int8_t>(below(10) - 1);
            const auto piece = static_cast<uint8_t>("NnBbRrQqKkPpx"[below(13)]);
            if (fast.CheckPath(fromRow, fromCol, piece, toRow, toCol)
                != slow.CheckPath(fromRow, fromCol, piece, toRow, toCol)) {
                ++disagreements;
                ADD_FAILURE() << "CheckPath " << piece << " from " << int(fromRow) << "," << int(fromCol)
                              << " to " << int(toRow) << "," << int(toCol) << " on board " << i;
            }
        }
    }
    EXPECT_EQ(disagreements, 0);
}

} // namespace
