#pragma once

#include <cstddef>
#include <cstdint>

// The sizes past which the import takes a file for damaged, or a game for one no play can make. They
// keep every game that is listed quick to open and small in memory; tests give smaller ones.
struct PgnLimits {
    // A longer line, or a longer game, is taken for a damaged file: its game is left out of the list
    // rather than read into memory.
    size_t maxLineBytes = size_t(16) << 20;
    int64_t maxGameBytes = int64_t(64) << 20;
    // No legal game has more plies (the fifty-move and seventy-five-move rules bound it): a game with
    // more moves is not opened.
    uint32_t maxPlies = 17697;
    // What is kept of the comments after one move: more than the text of a diagram can show, even in
    // characters of four bytes.
    size_t maxCommentBytes = 2048;
};
