#pragma once

// What a replayed game hands to the diagram list: every ply's position must be one the list can take.

#include "FuzzSupport.h"

#include "pgn/CTraiteUnMot.h"
#include "positions/BoardLetters.h"
#include "positions/FenLine.h"

#include <string>

inline void CheckPlies(const CTraiteUnMot& interpreter)
{
    DiagramList list;
    list.EmptyBoardTemplate = BoardLetters::EmptyBoard(false);
    for (const PlyNode& ply : interpreter.plies) {
        const std::string fen = FullFen(ply);
        FontBoard board;
        size_t end = 0;
        FUZZ_CHECK(FenLine::ReadPieceField(list, fen, board, false, end));
        FUZZ_CHECK(end + 2 < fen.size() && (fen[end + 1] == 'w' || fen[end + 1] == 'b'));
        FUZZ_CHECK(ply.enPassantFile >= -1 && ply.enPassantFile <= 7);
        for (int32_t nag : ply.nags) FUZZ_CHECK(nag >= 0 && nag <= 255);
        // What a ply keeps is bounded: its comments, and the game's result after the last one.
        FUZZ_CHECK(ply.comment.size() <= interpreter.maxCommentBytes + sizeof(" 1/2-1/2 "));
        FUZZ_CHECK(ply.san.size() <= CTraiteUnMot::MaxMoveBytes + 8);
    }
    FUZZ_CHECK(interpreter.plies.size() <= interpreter.maxPlies);
    FUZZ_CHECK(!interpreter.tooManyPlies || interpreter.plies.empty());
}
