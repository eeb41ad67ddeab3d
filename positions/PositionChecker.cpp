#include "PositionChecker.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The checker runs for every line of every file that is opened and at every step through the list, so
// it is written for speed: the piece field is read without a branch per byte, and the pieces become
// bit sets (one bit per square, bit row * 8 + column) from which the counts and the attacks on the
// kings follow without walking the board. The tests hold it to a plain reference, position by position.

namespace {

using Bitboard = uint64_t;

constexpr Bitboard bit(int square)
{
    return Bitboard(1) << square;
}
// The bit of the square at (column, row), 0 off the board.
constexpr Bitboard bitAt(int column, int row)
{
    const Square square = Square::FromRowColumn(row, column);
    return square.Valid() ? bit(square.Index()) : 0;
}
constexpr int distance(int a, int b)
{
    return a > b ? a - b : b - a;
}
// ASCII letters of the C locale; bytes of 0x80 and above are neither letters nor digits. Only the reading
// of a board without SSE2 asks it byte by byte.
[[maybe_unused]] constexpr bool isLetter(unsigned char c)
{
    return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
}

// std::popcount without a popcount instruction to hand becomes a library call; this stays inline.
constexpr int countOf(Bitboard b)
{
    b -= (b >> 1) & 0x5555555555555555;
    b = (b & 0x3333333333333333) + ((b >> 2) & 0x3333333333333333);
    b = (b + (b >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return int((b * 0x0101010101010101) >> 56);
}
constexpr bool moreThanOne(Bitboard b)
{
    return (b & (b - 1)) != 0;
}
constexpr bool moreThanTwo(Bitboard b)
{
    return moreThanOne(b & (b - 1));
}

struct Step {
    int column;
    int row;
};

constexpr Step diagonals[4] = { { -1, -1 }, { 1, -1 }, { -1, 1 }, { 1, 1 } };
constexpr Step straights[4] = { { 0, -1 }, { 0, 1 }, { 1, 0 }, { -1, 0 } };
constexpr Step knightJumps[8]
    = { { -1, -2 }, { -2, -1 }, { -2, 1 }, { -1, 2 }, { 1, -2 }, { 2, -1 }, { 2, 1 }, { 1, 2 } };

// A ray: the squares it crosses from each square up to the edge, without the square itself, and
// whether it runs towards higher squares, where it meets its lowest occupied square first.
struct Ray {
    std::array<Bitboard, 64> squares {};
    bool upwards = false;
};

constexpr Ray makeRay(Step step)
{
    Ray ray;
    ray.upwards = step.row * 8 + step.column > 0;
    for (int square = 0; square < 64; ++square)
        for (int c = Square::FromIndex(square).Column() + step.column,
                 r = Square::FromIndex(square).Row() + step.row;
             bitAt(c, r); c += step.column, r += step.row)
            ray.squares[square] |= bitAt(c, r);
    return ray;
}

constexpr std::array<Ray, 4> diagonalRays
    = { makeRay(diagonals[0]), makeRay(diagonals[1]), makeRay(diagonals[2]), makeRay(diagonals[3]) };
constexpr std::array<Ray, 4> straightRays
    = { makeRay(straights[0]), makeRay(straights[1]), makeRay(straights[2]), makeRay(straights[3]) };

// The squares a step or a set of steps away from each square.
template <size_t n>
constexpr std::array<Bitboard, 64> reachable(const Step (&steps)[n], size_t first, size_t count)
{
    std::array<Bitboard, 64> table {};
    for (int square = 0; square < 64; ++square)
        for (size_t i = first; i < first + count; ++i)
            table[square] |= bitAt(Square::FromIndex(square).Column() + steps[i].column,
                Square::FromIndex(square).Row() + steps[i].row);
    return table;
}

constexpr auto knightSquares = reachable(knightJumps, 0, 8);
// Where an enemy pawn strikes the king from: a black pawn strikes downwards, towards higher rows, so it
// stands on the row above the white king; a white pawn on the row below the black king.
constexpr auto blackPawnStrikesFrom = reachable(diagonals, 0, 2);
constexpr auto whitePawnStrikesFrom = reachable(diagonals, 2, 2);

// The first occupied square of the ray, as a set of at most one square.
inline Bitboard firstOn(const Ray& ray, int square, Bitboard occupied)
{
    const Bitboard on = ray.squares[square] & occupied;
    // The lowest set bit, or the highest: with nothing on the ray both come out empty.
    return ray.upwards ? on & (0 - on) : on & bit(63 - std::countl_zero(on | 1));
}

// The pieces that may strike one king.
struct Enemies {
    Bitboard occupied = 0; // every letter on the board, whatever it is, blocks a line
    Bitboard rooksAndQueens = 0;
    Bitboard bishopsAndQueens = 0;
    Bitboard knights = 0;
    Bitboard pawns = 0;
};

struct Attackers {
    bool attacked = false;
    bool twoAlongLines = false; // two rooks or queens on ranks and files
    bool twoKnights = false;
};

Attackers attackersOf(const Enemies& e, int square, bool whiteKing)
{
    Bitboard diagonal = 0;
    for (const Ray& ray : diagonalRays) diagonal |= firstOn(ray, square, e.occupied);
    int alongLines = 0;
    for (const Ray& ray : straightRays)
        alongLines += (firstOn(ray, square, e.occupied) & e.rooksAndQueens) != 0;
    const Bitboard knights = knightSquares[square] & e.knights;
    const Bitboard pawns = (whiteKing ? blackPawnStrikesFrom : whitePawnStrikesFrom)[square] & e.pawns;
    Attackers found;
    found.attacked = (diagonal & e.bishopsAndQueens) || pawns || knights || alongLines > 0;
    found.twoAlongLines = alongLines >= 2;
    found.twoKnights = moreThanOne(knights);
    return found;
}

// The warning a double check gives, 0 for none; two knights outrank two rooks.
LegalityCode doubleCheckWarning(const Attackers& found, bool whiteKing)
{
    using namespace Legality;
    if (found.twoKnights) return whiteKing ? WhiteCheckedByTwoKnights : BlackCheckedByTwoKnights;
    if (found.twoAlongLines) return whiteKing ? WhiteCheckedByTwoRooks : BlackCheckedByTwoRooks;
    return Ok;
}

// The squares of `board` that hold a letter.
Bitboard lettersOn(const std::array<char, 64>& board)
{
    Bitboard found = 0;
#if defined(__SSE2__)
    // Sixteen squares at a time: a byte is a letter when (byte | 0x20) - 'a' is below 26 unsigned,
    // compared as signed after moving the range by 0x80.
    const __m128i lower = _mm_set1_epi8(0x20);
    const __m128i a = _mm_set1_epi8('a');
    const __m128i shift = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i limit = _mm_set1_epi8(static_cast<char>(26 ^ 0x80));
    for (int i = 0; i < 64; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(board.data() + i));
        v = _mm_xor_si128(_mm_sub_epi8(_mm_or_si128(v, lower), a), shift);
        found |= Bitboard(uint16_t(_mm_movemask_epi8(_mm_cmplt_epi8(v, limit)))) << i;
    }
#else
    for (int i = 0; i < 64; ++i) found |= Bitboard(isLetter(static_cast<unsigned char>(board[i]))) << i;
#endif
    return found;
}

// The squares of `board` that hold the letter.
Bitboard squaresOf(const std::array<char, 64>& board, char letter)
{
    Bitboard found = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(letter);
    for (int i = 0; i < 64; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(board.data() + i));
        found |= Bitboard(uint16_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted)))) << i;
    }
#else
    for (int i = 0; i < 64; ++i) found |= Bitboard(board[i] == letter) << i;
#endif
    return found;
}

// The enemies of the white king (black pieces) or of the black king, as `board` shows them.
Enemies enemiesOn(const std::array<char, 64>& board, bool ofWhiteKing)
{
    const char rook = ofWhiteKing ? 'r' : 'R';
    const char bishop = ofWhiteKing ? 'b' : 'B';
    const char queen = ofWhiteKing ? 'q' : 'Q';
    const Bitboard queens = squaresOf(board, queen);
    Enemies e;
    e.occupied = lettersOn(board);
    e.rooksAndQueens = squaresOf(board, rook) | queens;
    e.bishopsAndQueens = squaresOf(board, bishop) | queens;
    e.knights = squaresOf(board, ofWhiteKing ? 'n' : 'N');
    e.pawns = squaresOf(board, ofWhiteKing ? 'p' : 'P');
    return e;
}

// What the piece field's reader makes of each byte: how many columns it moves along its row (a letter
// one, a digit its value), whether it is a slash or a letter, or that it ends the field as unreadable.
constexpr uint8_t columnsMask = 0x0F;
constexpr uint8_t slashBit = 0x10;
constexpr uint8_t letterBit = 0x20;
constexpr uint8_t unreadable = 0xFF;

constexpr auto meaningOf = [] {
    std::array<uint8_t, 256> table {};
    table.fill(unreadable);
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = table[c + 32] = letterBit | 1;
    for (int c = '0'; c <= '9'; ++c) table[c] = uint8_t(c - '0');
    table['/'] = slashBit;
    return table;
}();

// Where the piece field's reading stopped: at the byte after the field, or at an unreadable byte.
struct FieldEnd {
    size_t pos = 0;
    int slashes = 0;
    bool unreadable = false;
};

// A row ends as soon as its column reaches 8 or the next byte is a slash; the next row begins at that
// next byte, so a slash is read as the first byte of a row. In a field whose every row ends exactly at
// its eighth square, the squares simply follow each other from a8 to h1 across the rows. This reads the
// field that way, with no branch on the bytes, whose order no branch could guess, and tells whether the
// field kept that shape; when it did not, the careful reading below must read it again.
bool readRegularField(const unsigned char* text, size_t size, std::array<char, 64>& board, FieldEnd& end)
{
    auto at = [&](size_t i) -> unsigned char { return i < size ? text[i] : 0; };
    size_t pos = 0;
    int square = 0;
    int slashes = 0;
    unsigned irregular = 0;
    while (square < 64) {
        const unsigned char c = at(pos);
        const uint8_t meaning = meaningOf[c];
        if (meaning == unreadable) {
            end = { pos, slashes, true };
            return !irregular;
        }
        const int columns = meaning & columnsMask;
        // A digit or a slash lands on a square no letter has taken yet and leaves it empty as it is.
        board[square] = (meaning & letterBit) ? static_cast<char>(c) : 0;
        slashes += (meaning & slashBit) != 0;
        ++pos;
        // A digit that runs past the row's end ends the row early, and so does a slash that comes
        // before the row is full. Bitwise, not logical, operators: a branch here would be guessed wrong.
        irregular |= unsigned((square & 7) + columns > 8);
        square += columns;
        const unsigned rowFull = unsigned(columns != 0) & unsigned((square & 7) == 0);
        irregular |= unsigned(at(pos) == '/') & (rowFull ^ 1);
    }
    end = { pos, slashes, false };
    return !irregular;
}

// The reading as the rules give it, row by row.
FieldEnd readField(const unsigned char* text, size_t size, std::array<char, 64>& board)
{
    auto at = [&](size_t i) -> unsigned char { return i < size ? text[i] : 0; };
    board.fill(0);
    FieldEnd end;
    for (int row = 0; row < 8; ++row) {
        int column = 0;
        for (;;) {
            const unsigned char c = at(end.pos);
            const uint8_t meaning = meaningOf[c];
            if (meaning == unreadable) {
                end.unreadable = true;
                return end;
            }
            if (meaning & letterBit) board[row * 8 + column] = static_cast<char>(c);
            end.slashes += (meaning & slashBit) != 0;
            column += meaning & columnsMask;
            ++end.pos;
            if (column >= 8 || at(end.pos) == '/') break;
        }
    }
    return end;
}

// What the side and castling reader makes of each byte.
constexpr uint8_t whiteMoves = 1;
constexpr uint8_t blackMoves = 2;
constexpr uint8_t sideToMoveMask = whiteMoves | blackMoves;
constexpr uint8_t whiteCastles = 4;
constexpr uint8_t blackCastles = 8;
constexpr uint8_t sideBlank = 16;
constexpr uint8_t sideEnds = 32;

constexpr auto sideMeaningOf = [] {
    std::array<uint8_t, 256> table {};
    table.fill(sideEnds);
    table[' '] = sideBlank;
    table['w'] = whiteMoves;
    table['b'] = blackMoves;
    table['K'] = table['Q'] = whiteCastles;
    table['k'] = table['q'] = blackCastles;
    return table;
}();

enum Piece { King, Queen, Rook, Bishop, Knight, Pawn, Kinds };
constexpr char whiteLetters[Kinds] = { 'K', 'Q', 'R', 'B', 'N', 'P' };
constexpr char blackLetters[Kinds] = { 'k', 'q', 'r', 'b', 'n', 'p' };

// Where the kings stand before castling.
constexpr Square e1 = Square::FromFileRank(4, 0);
constexpr Square e8 = Square::FromFileRank(4, 7);

// Rows 0 and 7: ranks 8 and 1.
constexpr Bitboard backRanks = Bitboard(0xFF) | Bitboard(0xFF) << 56;

constexpr int squareColour(int index)
{
    const Square square = Square::FromIndex(index);
    return (square.Row() + square.Column()) & 1;
}

// Where the second bishop stands when the first two of a colour share the colour of their squares,
// 64 otherwise. The field is read square by square in rising order, so the first two are the lowest.
int secondBishopOnSameColour(Bitboard bishops)
{
    if (!moreThanOne(bishops)) return 64;
    const int first = std::countr_zero(bishops);
    const int second = std::countr_zero(bishops & (bishops - 1));
    return squareColour(first) == squareColour(second) ? second : 64;
}

// How many pieces of a kind a colour may have before the position is an error, or a doubt.
constexpr int maxQueens = 9;
constexpr int maxRooksBishopsKnights = 10;
constexpr int maxPawns = 8;
constexpr int slashesInPieceField = 7;
constexpr size_t shortestText = 15;
constexpr size_t shortestLine = 2;

} // namespace

LegalityCode PositionChecker::CheckFenPosition(std::string_view text)
{
    using namespace Legality;
    fullCheck = 1;
    warningCode = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    // A NUL byte ends the text; past the first 15 bytes it ends the reading below like any byte that is
    // not part of the fields, so only the first 15 need a look.
    const size_t head = size < shortestText ? size : shortestText;
    const void* nul = head ? std::memchr(s, 0, head) : nullptr;
    const size_t length = nul ? size_t(static_cast<const unsigned char*>(nul) - s) : size;
    if (length < shortestLine) return BlankLine;
    if (length < shortestText) return TooShort;

    board.fill(0);
    FieldEnd end;
    if (!readRegularField(s, size, board, end)) end = readField(s, size, board);

    Bitboard white[Kinds];
    Bitboard black[Kinds];
    for (int kind = 0; kind < Kinds; ++kind) {
        white[kind] = squaresOf(board, whiteLetters[kind]);
        black[kind] = squaresOf(board, blackLetters[kind]);
    }
    // The last king of a colour met gives the king's square.
    Square whiteKing, blackKing;
    if (white[King]) {
        whiteKing = Square::FromIndex(63 - std::countl_zero(white[King]));
        whiteKingCol = static_cast<int8_t>(whiteKing.Column());
        whiteKingRow = static_cast<int8_t>(whiteKing.Row());
    }
    if (black[King]) {
        blackKing = Square::FromIndex(63 - std::countl_zero(black[King]));
        blackKingCol = static_cast<int8_t>(blackKing.Column());
        blackKingRow = static_cast<int8_t>(blackKing.Row());
    }
    if (end.unreadable) return BadCharacter;

    // Side to move and castling: the last of 'w' and 'b' wins; the third blank, the end, or any other
    // byte ends the reading.
    unsigned side = 0;
    unsigned castling = 0;
    for (size_t pos = end.pos, blanks = 0; pos < size; ++pos) {
        const uint8_t meaning = sideMeaningOf[s[pos]];
        if (meaning == sideEnds) break;
        if (meaning == sideBlank) {
            if (++blanks == 3) break;
            continue;
        }
        side = (meaning & sideToMoveMask) ? meaning & sideToMoveMask : side;
        castling |= meaning;
    }
    const bool whiteToMove = side == whiteMoves;
    const bool blackToMove = side == blackMoves;
    const bool whiteCastling = castling & whiteCastles;
    const bool blackCastling = castling & blackCastles;

    // More than `most` pieces of the kind in either colour.
    auto tooMany
        = [&](Piece kind, int most) { return countOf(white[kind]) > most || countOf(black[kind]) > most; };
    // Counts above the limits are rare enough that one count of all the officers of a colour rules
    // them out at once: nobody has more than 9 of one kind among 9 of them all.
    auto officers
        = [](const Bitboard* side) { return side[Queen] | side[Rook] | side[Bishop] | side[Knight]; };
    if (end.slashes != slashesInPieceField) return SlashCount;
    if (!white[King] || !black[King]) return KingMissing;
    if (moreThanOne(white[King]) || moreThanOne(black[King])) return TooManyKings;
    if (countOf(officers(white)) > maxQueens || countOf(officers(black)) > maxQueens) {
        if (tooMany(Queen, maxQueens)) return TooManyQueens;
        if (tooMany(Rook, maxRooksBishopsKnights)) return TooManyRooks;
        if (tooMany(Bishop, maxRooksBishopsKnights)) return TooManyBishops;
        if (tooMany(Knight, maxRooksBishopsKnights)) return TooManyKnights;
    }
    if ((white[Pawn] | black[Pawn]) & backRanks) return PawnOnBackRank;
    if (tooMany(Pawn, maxPawns)) return TooManyPawns;
    if (distance(whiteKingCol, blackKingCol) < 2 && distance(whiteKingRow, blackKingRow) < 2)
        return AdjacentKings;

    const Bitboard occupied = lettersOn(board);
    const Enemies ofWhite { occupied, black[Rook] | black[Queen], black[Bishop] | black[Queen], black[Knight],
        black[Pawn] };
    const Enemies ofBlack { occupied, white[Rook] | white[Queen], white[Bishop] | white[Queen], white[Knight],
        white[Pawn] };
    // A double check of either king is noted even when the other king decides the verdict; the black
    // king's outlasts the white king's.
    const Attackers onWhite = attackersOf(ofWhite, whiteKing.Index(), true);
    if (LegalityCode w = doubleCheckWarning(onWhite, true)) warningCode = w;
    if (onWhite.attacked && blackToMove) return WhiteInCheckNotToMove;
    const Attackers onBlack = attackersOf(ofBlack, blackKing.Index(), false);
    if (LegalityCode b = doubleCheckWarning(onBlack, false)) warningCode = b;
    if (onWhite.attacked && onBlack.attacked) return BothInCheck;
    if (onBlack.attacked && whiteToMove) return BlackInCheckNotToMove;
    if (whiteCastling && board[e1.Index()] != 'K') return WhiteCastlingNotAllowed;
    if (blackCastling && board[e8.Index()] != 'k') return BlackCastlingNotAllowed;

    // Of the two colours, the one whose second bishop came first in the field is named.
    const int whiteBishops = secondBishopOnSameColour(white[Bishop]);
    const int blackBishops = secondBishopOnSameColour(black[Bishop]);
    if (whiteBishops < blackBishops) return WhiteBishopsSameColour;
    if (blackBishops < whiteBishops) return BlackBishopsSameColour;
    if (moreThanTwo(white[Knight])) return ManyWhiteKnights;
    if (moreThanTwo(white[Bishop])) return ManyWhiteBishops;
    if (moreThanTwo(white[Rook])) return ManyWhiteRooks;
    if (moreThanTwo(black[Knight])) return ManyBlackKnights;
    if (moreThanTwo(black[Bishop])) return ManyBlackBishops;
    if (moreThanTwo(black[Rook])) return ManyBlackRooks;
    return warningCode;
}

bool PositionChecker::IsInCheck(uint8_t side)
{
    const bool whiteKing = side != 0;
    const Square king = whiteKing ? Square::FromRowColumn(whiteKingRow, whiteKingCol)
                                  : Square::FromRowColumn(blackKingRow, blackKingCol);
    if (!king.Valid()) return false;
    const Attackers found = attackersOf(enemiesOn(board, whiteKing), king.Index(), whiteKing);
    if (fullCheck == 1)
        if (LegalityCode warning = doubleCheckWarning(found, whiteKing)) warningCode = warning;
    return found.attacked;
}

bool PositionChecker::CheckPath(
    int8_t fromRow, int8_t fromCol, uint8_t piece, int8_t toRow, int8_t toCol) const
{
    const Square from = Square::FromRowColumn(fromRow, fromCol), to = Square::FromRowColumn(toRow, toCol);
    if (!from.Valid() || !to.Valid()) return false;
    if (piece == 'N' || piece == 'n') return knightSquares[from.Index()] & bit(to.Index());
    const bool bishop = piece == 'B' || piece == 'b';
    const bool rook = piece == 'R' || piece == 'r';
    if (fromRow == toRow || fromCol == toCol) {
        if (bishop) return false;
    } else {
        if (rook) return false;
        if (distance(fromRow, toRow) != distance(fromCol, toCol)) return false;
    }
    // Along a line or a diagonal the index moves by the same step each square.
    const int step = ((toRow > fromRow) - (toRow < fromRow)) * 8 + (toCol > fromCol) - (toCol < fromCol);
    for (int i = from.Index() + step; i != to.Index(); i += step)
        if (board[i] != '0') return false;
    return true;
}
