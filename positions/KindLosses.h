#pragma once

#include "DiagramList.h"
#include "PositionFile.h"

#include <vector>

// What a file of one kind cannot give back of a list, found in the list itself: whatever it holds,
// read from a file or made in this session. A BNX file keeps everything; the one-line-per-position
// kinds keep the positions and, but for FEN, the comments, the other operations
// and the move numbers. Saving into a kind that loses something is a choice the user makes knowingly.
namespace KindLosses {

enum Part : unsigned {
    BoardMarks = 1u << 0, // arrows, square markers, numbers in squares (the en-passant arrow is made again)
    ColouredSquares = 1u << 1,
    Flip = 1u << 2,
    TurnedPieces = 1u << 3, // fairy rotation marks
    PageTexts = 1u << 4,
    StartNumber = 1u << 5, // a label number other than 1 for the first diagram
    Comments = 1u << 6,
    CommentLineBreaks = 1u << 7, // an .epd line turns each line break of a comment into two blanks
    Operations = 1u << 8, // EPD operations other than the comment and the move numbers
    MoveNumbers = 1u << 9, // a halfmove clock or fullmove number other than the defaults 0 and 1
};

// The parts in the order a message names them.
std::vector<Part> PartsInOrder(unsigned parts);

// The parts of the list that a file of this kind, read again, would not give back. A PGN file is never
// read as a list, so it gives back nothing of it.
unsigned Lost(const DiagramList& list, PositionFile::Kind kind);

} // namespace KindLosses
