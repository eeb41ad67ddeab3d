#include "PlyNode.h"

std::string EnPassantText(const PlyNode& ply)
{
    if (ply.enPassantFile < 0 || ply.enPassantFile > 7) return {};
    return std::string(1, static_cast<char>('a' + ply.enPassantFile));
}

std::string FullFen(const PlyNode& ply)
{
    std::string_view text(ply.fen);
    if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    size_t blank = text.find(' ');
    std::string_view placement = text.substr(0, blank);
    char side = 'w';
    std::string_view castling;
    if (blank != std::string_view::npos && blank + 1 < text.size()) {
        side = text[blank + 1];
        if (blank + 3 <= text.size()) castling = text.substr(blank + 3);
    }
    std::string fen(placement);
    fen += ' ';
    fen += side;
    fen += ' ';
    fen += castling.empty() ? std::string_view("-") : castling;
    fen += ' ';
    if (ply.enPassantFile >= 0 && ply.enPassantFile <= 7) {
        fen += static_cast<char>('a' + ply.enPassantFile);
        // The square passed over lies behind the pawn that moved: rank 3 after a White step.
        fen += side == 'b' ? '3' : '6';
    } else {
        fen += '-';
    }
    fen += ' ';
    fen += ply.halfmoveClock.empty() ? std::string("0") : ply.halfmoveClock;
    fen += ' ';
    fen += std::to_string(ply.fullmoveNumber);
    return fen;
}
