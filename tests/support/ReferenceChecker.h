#pragma once

// The legality rules written the plain way, one step after another as a reader would check a position
// by hand: cut the text at its NUL, read the piece field square by square, then walk every ray from
// each king. It is slow on purpose and shares no code with PositionChecker, so the tests can hold the
// fast checker to it position by position and bench_check can show what the fast one gains.
#include "positions/Legality.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace reference {

class ReferenceChecker {
public:
    std::array<char, 64> board {};
    int8_t whiteKingCol = 0;
    int8_t whiteKingRow = 0;
    int8_t blackKingCol = 0;
    int8_t blackKingRow = 0;
    uint8_t fullCheck = 0;
    int32_t warningCode = 0;

    LegalityCode CheckFenPosition(std::string_view text)
    {
        using namespace Legality;
        fullCheck = 1;
        warningCode = 0;
        if (size_t end = text.find('\0'); end != std::string_view::npos) text = text.substr(0, end);
        if (text.size() < 2) return BlankLine;
        if (text.size() < 15) return TooShort;

        board.fill(0);
        int counts[2][PieceKinds] = {};
        int slashes = 0;
        int firstBishopColour[2] = { -1, -1 };
        int bishopsMet[2] = { 0, 0 };
        LegalityCode bishopWarning = Ok;
        auto at = [&](size_t i) -> unsigned char {
            return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        };

        size_t pos = 0;
        for (int row = 0; row < 8; ++row) {
            int column = 0;
            for (;;) {
                unsigned char c = at(pos);
                if (c == '/') {
                    ++slashes;
                } else if (isDigit(c)) {
                    column += c - '0';
                } else if (isLetter(c)) {
                    board[row * 8 + column] = static_cast<char>(c);
                    int colour = (c >= 'a') ? 1 : 0;
                    int kind = pieceIndex(static_cast<char>(colour ? c - 32 : c));
                    if (kind == King) {
                        if (colour) {
                            blackKingCol = static_cast<int8_t>(column);
                            blackKingRow = static_cast<int8_t>(row);
                        } else {
                            whiteKingCol = static_cast<int8_t>(column);
                            whiteKingRow = static_cast<int8_t>(row);
                        }
                    }
                    if (kind == Pawn && (row == 0 || row == 7)) {
                        counts[colour][Pawn] = 100;
                    } else if (kind >= 0) {
                        ++counts[colour][kind];
                    }
                    if (kind == Bishop) {
                        int squareColour = (row + column) % 2;
                        if (bishopsMet[colour] == 0) {
                            firstBishopColour[colour] = squareColour;
                        } else if (bishopsMet[colour] == 1 && squareColour == firstBishopColour[colour]
                            && bishopWarning == Ok) {
                            bishopWarning = colour ? BlackBishopsSameColour : WhiteBishopsSameColour;
                        }
                        ++bishopsMet[colour];
                    }
                    ++column;
                } else {
                    return BadCharacter;
                }
                ++pos;
                if (at(pos) == '/' || column >= 8) break;
            }
        }

        bool whiteToMove = false;
        bool blackToMove = false;
        bool whiteCastling = false;
        bool blackCastling = false;
        for (int blanks = 0; pos < text.size(); ++pos) {
            char c = text[pos];
            if (c == ' ') {
                if (++blanks == 3) break;
            } else if (c == 'w') {
                whiteToMove = true;
                blackToMove = false;
            } else if (c == 'b') {
                blackToMove = true;
                whiteToMove = false;
            } else if (c == 'K' || c == 'Q') {
                whiteCastling = true;
            } else if (c == 'k' || c == 'q') {
                blackCastling = true;
            } else {
                break;
            }
        }

        const int* white = counts[0];
        const int* black = counts[1];
        if (slashes != 7) return SlashCount;
        if (white[King] == 0 || black[King] == 0) return KingMissing;
        if (white[King] > 1 || black[King] > 1) return TooManyKings;
        if (white[Queen] > 9 || black[Queen] > 9) return TooManyQueens;
        if (white[Rook] > 10 || black[Rook] > 10) return TooManyRooks;
        if (white[Bishop] > 10 || black[Bishop] > 10) return TooManyBishops;
        if (white[Knight] > 10 || black[Knight] > 10) return TooManyKnights;
        if (white[Pawn] > 99 || black[Pawn] > 99) return PawnOnBackRank;
        if (white[Pawn] > 8 || black[Pawn] > 8) return TooManyPawns;
        if (distance(whiteKingCol, blackKingCol) < 2 && distance(whiteKingRow, blackKingRow) < 2)
            return AdjacentKings;
        if (IsInCheck(1)) {
            if (blackToMove) return WhiteInCheckNotToMove;
            if (IsInCheck(0)) return BothInCheck;
        }
        if (IsInCheck(0) && whiteToMove) return BlackInCheckNotToMove;
        if (whiteCastling && board[7 * 8 + 4] != 'K') return WhiteCastlingNotAllowed;
        if (blackCastling && board[0 * 8 + 4] != 'k') return BlackCastlingNotAllowed;

        if (bishopWarning != Ok) return bishopWarning;
        if (white[Knight] > 2) return ManyWhiteKnights;
        if (white[Bishop] > 2) return ManyWhiteBishops;
        if (white[Rook] > 2) return ManyWhiteRooks;
        if (black[Knight] > 2) return ManyBlackKnights;
        if (black[Bishop] > 2) return ManyBlackBishops;
        if (black[Rook] > 2) return ManyBlackRooks;
        return warningCode;
    }

    bool IsInCheck(uint8_t side)
    {
        const bool whiteKing = side != 0;
        const int column = whiteKing ? whiteKingCol : blackKingCol;
        const int row = whiteKing ? whiteKingRow : blackKingRow;
        if (!onBoard(column, row)) return false;
        auto pieceAt = [&](int c, int r) { return static_cast<unsigned char>(board[r * 8 + c]); };
        bool attacked = false;

        for (const Step& d : diagonals) {
            for (int k = 1; onBoard(column + k * d.column, row + k * d.row); ++k) {
                unsigned char p = pieceAt(column + k * d.column, row + k * d.row);
                if (!isLetter(p)) continue;
                if (whiteKing)
                    attacked |= p == 'b' || p == 'q' || (p == 'p' && k == 1 && d.row < 0);
                else
                    attacked |= p == 'B' || p == 'Q' || (p == 'P' && k == 1 && d.row > 0);
                break;
            }
        }

        int lineAttackers = 0;
        for (const Step& d : straights) {
            for (int k = 1; onBoard(column + k * d.column, row + k * d.row); ++k) {
                unsigned char p = pieceAt(column + k * d.column, row + k * d.row);
                if (!isLetter(p)) continue;
                bool attacker = whiteKing ? (p == 'q' || p == 'r') : (p == 'Q' || p == 'R');
                if (attacker) {
                    attacked = true;
                    if (fullCheck == 1 && ++lineAttackers >= 2)
                        warningCode
                            = whiteKing ? Legality::WhiteCheckedByTwoRooks : Legality::BlackCheckedByTwoRooks;
                }
                break;
            }
        }

        int knightAttackers = 0;
        const unsigned char knight = whiteKing ? 'n' : 'N';
        for (const Step& j : knightJumps) {
            int c = column + j.column;
            int r = row + j.row;
            if (!onBoard(c, r) || pieceAt(c, r) != knight) continue;
            attacked = true;
            if (fullCheck == 1 && ++knightAttackers >= 2)
                warningCode
                    = whiteKing ? Legality::WhiteCheckedByTwoKnights : Legality::BlackCheckedByTwoKnights;
        }
        return attacked;
    }

    bool CheckPath(int8_t fromRow, int8_t fromCol, uint8_t piece, int8_t toRow, int8_t toCol) const
    {
        if (!onBoard(fromCol, fromRow) || !onBoard(toCol, toRow)) return false;
        if (piece == 'N' || piece == 'n') {
            for (const Step& j : knightJumps)
                if (toRow == fromRow + j.row && toCol == fromCol + j.column) return true;
            return false;
        }
        const bool bishop = piece == 'B' || piece == 'b';
        const bool rook = piece == 'R' || piece == 'r';
        if (fromRow == toRow || fromCol == toCol) {
            if (bishop) return false;
        } else {
            if (rook) return false;
            if (distance(fromRow, toRow) != distance(fromCol, toCol)) return false;
        }
        const int stepRow = (toRow > fromRow) - (toRow < fromRow);
        const int stepCol = (toCol > fromCol) - (toCol < fromCol);
        for (int r = fromRow + stepRow, c = fromCol + stepCol; r != toRow || c != toCol;
             r += stepRow, c += stepCol)
            if (board[r * 8 + c] != '0') return false;
        return true;
    }

private:
    enum Piece { King, Queen, Rook, Bishop, Knight, Pawn, PieceKinds };
    struct Step {
        int column;
        int row;
    };
    static constexpr Step diagonals[4] = { { -1, -1 }, { 1, -1 }, { -1, 1 }, { 1, 1 } };
    static constexpr Step straights[4] = { { 0, -1 }, { 0, 1 }, { 1, 0 }, { -1, 0 } };
    static constexpr Step knightJumps[8]
        = { { -1, -2 }, { -2, -1 }, { -2, 1 }, { -1, 2 }, { 1, -2 }, { 2, -1 }, { 2, 1 }, { 1, 2 } };

    static constexpr bool isLetter(unsigned char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }
    static constexpr bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
    static constexpr bool onBoard(int column, int row)
    {
        return column >= 0 && column < 8 && row >= 0 && row < 8;
    }
    static constexpr int distance(int a, int b) { return a > b ? a - b : b - a; }
    static int pieceIndex(char upper)
    {
        switch (upper) {
        case 'K':
            return King;
        case 'Q':
            return Queen;
        case 'R':
            return Rook;
        case 'B':
            return Bishop;
        case 'N':
            return Knight;
        case 'P':
            return Pawn;
        default:
            return -1;
        }
    }
};

} // namespace reference
