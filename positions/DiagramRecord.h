#pragma once

#include <array>
#include <cstdint>
#include <string>

// One square is a chess-font character: row 0 is rank 8, cell 0 the left border, cells 1..8
// files a..h, cell 9 the right border, cell 10 the terminating NUL (cell 11 is spare).
using FontRow = std::array<char, 12>;
using FontBoard = std::array<FontRow, 8>;

// Per-cell values that share the board's indexing (colour marks, fairy rotations).
using CellBytes = std::array<std::array<int8_t, 12>, 8>;

enum MarkType : uint8_t {
    MarkGreen = 1,
    MarkYellow = 2,
    MarkRed = 3,
    MarkBlue = 4,
    MarkRed2 = 5,
    MarkDoubleStep = 6, // the arrow drawn automatically for an en-passant square
    MarkSquare1 = 7,
    MarkSquare2 = 8,
    MarkNumberZero = 0x30, // the first cell of the numbers palette
    MarkNumberFirst = 0x31, // number marks 1..13 are 0x31..0x3D
    MarkNumberLast = 0x3D,
};

// Squares are numbered column + 8 * row: a8 = 1, h8 = 8, a1 = 57, h1 = 64. A slot with from 0 is free.
struct MarkSlot {
    uint8_t from = 0;
    uint8_t to = 0;
    uint8_t type = 0;
    bool operator==(const MarkSlot&) const = default;
};

constexpr int MaxMarks = 70;

struct DiagramRecord {
    uint32_t castleWhiteLong = 0;
    uint32_t castleBlackLong = 0;
    uint32_t castleWhiteShort = 0;
    uint32_t castleBlackShort = 0;
    uint8_t flipped = 0;
    uint8_t warningsAccepted = 0;
    std::string commentOpcode; // "c0".."c9", or empty when the diagram has no comment operation
    uint32_t blackToMove = 0;
    uint32_t markCount = 0;
    std::string comment;
    std::string epdOpsBefore;
    std::string epdOpsMiddle;
    std::string epdOpsAfter;
    FontBoard board {};
    CellBytes colours {};
    CellBytes rotations {};
    std::array<MarkSlot, MaxMarks> marks {};
    uint8_t colouredCount = 0;
    std::string displayComment;
    std::string enPassantFile;
    std::string fullmoveNumber;
    std::string halfmoveClock;
    // The move counters follow the en-passant field as fields 5 and 6 (FEN form), not as operations: so the
    // line was read, or so the list's lines are made; a line of an EPD or text file is written back so.
    uint8_t fenForm = 0;
    DiagramRecord* next = nullptr;
    DiagramRecord* previous = nullptr;
};

// One printed page of nine diagrams.
struct PrintHeaderNode {
    std::string title;
    std::string topText;
    std::string infoText;
    PrintHeaderNode* next = nullptr;
    PrintHeaderNode* previous = nullptr;
};

inline int SquareNumber(int column, int row) { return column + 8 * row; }
inline int SquareColumn(int square) { return (square - 1) % 8 + 1; }
inline int SquareRow(int square) { return (square - 1) / 8; }
