#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

// The position text of a ply, held in the ply itself: a game of thousands of plies makes no
// allocation for it. The longest text (a blank, 64 pieces and 7 '/', " w KQkq") takes 79 bytes.
class PlyFen {
public:
    static constexpr size_t Capacity = 80;
    std::string_view view() const { return { text.data(), size }; }
    operator std::string_view() const { return view(); }
    // Takes at most Capacity bytes.
    void assign(const char* bytes, size_t length)
    {
        size = static_cast<uint8_t>(length < Capacity ? length : Capacity);
        std::memcpy(text.data(), bytes, size);
    }
    bool operator==(std::string_view other) const { return view() == other; }

private:
    std::array<char, Capacity> text;
    uint8_t size = 0;
};

// One half-move of a replayed game and the position after it.
struct PlyNode {
    // Made by the thousand in a replay: the position text is written, never cleared first.
    PlyNode() { }
    // 1 = the first half-move of a game from the standard start; odd numbers follow a White move.
    uint32_t plyNumber = 0;
    // A blank, the piece placement (rank 8 first), the side to move and the castling rights still
    // held ("KQkq" order, nothing when none), e.g. " rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq".
    PlyFen fen;
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

inline std::ostream& operator<<(std::ostream& out, const PlyFen& fen)
{
    return out << fen.view();
}

// The en-passant file as the diagram keeps it: one letter "a".."h", or empty.
std::string EnPassantText(const PlyNode& ply);

// The position after the ply as a six-field FEN: placement, side, castling or "-", en-passant square
// or "-", halfmove clock and fullmove number.
std::string FullFen(const PlyNode& ply);
