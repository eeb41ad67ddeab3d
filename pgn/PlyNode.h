#pragma once

#include <array>
#include <cstdint>
#include <string>

// One half-move of a replayed game and the position after it.
struct PlyNode {
    // 1 = the first half-move of a game from the standard start; odd numbers follow a White move.
    uint32_t plyNumber = 0;
    // A blank, the piece placement (rank 8 first), the side to move and the castling rights still
    // held ("KQkq" order, nothing when none), e.g. " rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq".
    std::string fen;
    // File 0..7 of a pawn that has just made a double step and can be taken en passant; -1: none.
    int8_t enPassantFile = -1;
    // The move in the display letters.
    std::string move;
    // The move in English letters, from which every display form is made.
    std::string san;
    // The comments after the move, without their braces; the game's result (" 1-0 ") ends the last one.
    std::string comment;
    // Plies since the last capture or pawn move, in decimal.
    std::string halfmoveClock;
    // The move number of the position after this ply (2 after 1.e4 e5).
    uint32_t fullmoveNumber = 1;
    // Numeric annotation glyphs 1..255 in the order given; 0 is a free slot.
    std::array<int32_t, 8> nags {};
};

// The en-passant file as the diagram keeps it: one letter "a".."h", or empty.
std::string EnPassantText(const PlyNode& ply);

// The position after the ply as a six-field FEN: placement, side, castling or "-", en-passant square
// or "-", halfmove clock and fullmove number.
std::string FullFen(const PlyNode& ply);
