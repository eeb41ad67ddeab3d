#pragma once

#include "Legality.h"
#include "Square.h"

#include <array>
#include <cstdint>
#include <string_view>

// Tests a position for the faults a diagram must not have. It allocates nothing and holds no state
// beyond one check, so callers make one on the stack; the PGN move interpreter keeps one, fills
// `board` with its own position and asks only CheckPath and IsInCheck.
class PositionChecker {
public:
    PositionChecker() = default;

    // One character per square, by Square::Index (row 0 = rank 8, column 0 = file a); the rows and
    // columns below count the same way. CheckFenPosition leaves empty squares NUL.
    std::array<char, 64> board {};
    int8_t whiteKingCol = 0;
    int8_t whiteKingRow = 0;
    int8_t blackKingCol = 0;
    int8_t blackKingRow = 0;
    // Double checks are only noted while this is 1, i.e. during CheckFenPosition.
    uint8_t fullCheck = 0;
    // 0, or the double-check warning (-9..-12) the last IsInCheck found.
    int32_t warningCode = 0;

    // The text is a FEN piece field, optionally followed by side to move, castling and further fields.
    // It ends at its end or at a NUL byte.
    LegalityCode CheckFenPosition(std::string_view text);

    // Whether the white king (side != 0) or the black king (side 0) is attacked. Any letter on `board`
    // is a piece; every other character is empty.
    bool IsInCheck(uint8_t side);

    // Whether the piece can reach the target along a free path; only '0' counts as an empty square.
    // A king or a pawn moves like a queen here: the caller restricts them.
    bool CheckPath(int8_t fromRow, int8_t fromCol, uint8_t piece, int8_t toRow, int8_t toCol) const;
};
