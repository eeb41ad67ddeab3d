#pragma once

#include "DiagramRecord.h"

#include <cstdint>

// The mark slots of a diagram: arrows, coloured-square markers, number marks and the automatic arrow
// of a pawn's double step. These functions change only the record; what the view must do afterwards
// (repaint, count, message) comes back in a MarkEdit.
namespace Marks {

// Kinds of AddMark and the MarkType each stores.
enum MarkKind : int {
    KindColour = 0, // the chosen mark colour
    KindShift = 4, // second red
    KindRightShift = 6, // blue
    KindCtrl = 8, // green
    KindRightCtrl = 10, // blue
    KindShiftCtrl = 12, // yellow
    KindDoubleStep = 16, // the automatic double-step arrow
    KindMarkerDownRight = 18, // square marker 7
    KindMarkerDownLeft = 20, // square marker 8
    KindNumber = 22, // the chosen number mark
};

struct MarkEdit {
    bool added = false; // a slot was filled
    bool removed = false; // an identical user mark was taken away instead (a second gesture)
    bool tableFull = false; // no slot could be taken: the view shows "It's the maximum number of arrows..."
    bool repaint = false; // the board area must be drawn again
    int bnxOnlyDelta = 0; // change of the list's count of things only a BNX file keeps
};

// Adds, replaces or toggles a slot. userEdit is set for the user's own gestures; automatic calls (the
// double-step arrow) leave at most one automatic arrow in the record. markColour is the colour of new
// marks (1..4), currentNumber the MarkType of a number mark.
MarkEdit AddMark(DiagramRecord& record, int kind, bool userEdit, int from, int to,
    uint8_t markColour = MarkBlue, uint8_t currentNumber = MarkNumberFirst);

// The arrow of the pawn double step that an en-passant file implies: with White to move a black pawn
// went from rank 7 to rank 5, with Black to move a white pawn from rank 2 to rank 4. A file outside
// 'a'..'h' adds nothing.
MarkEdit AddDoubleStepArrow(DiagramRecord& record, char file, bool blackToMove);

// Removes every automatic double-step arrow; returns how many were removed.
int RemoveDoubleStepArrows(DiagramRecord& record);

} // namespace Marks
