#include "Marks.h"

#include "Square.h"

namespace Marks {

namespace {

void freeSlot(DiagramRecord& record, size_t i)
{
    // The type byte stays: an identical automatic arrow takes it over.
    record.marks.Set(i, { 0, 0, record.marks[i].type });
    if (record.markCount > 0) --record.markCount;
}

bool storesType(int kind, uint8_t doubleStepType, uint8_t markColour, uint8_t currentNumber, uint8_t& type)
{
    switch (kind) {
    case KindColour:
        type = markColour;
        return true;
    case KindShift:
        type = MarkRed2;
        return true;
    case KindRightShift:
    case KindRightCtrl:
        type = MarkBlue;
        return true;
    case KindCtrl:
        type = MarkGreen;
        return true;
    case KindShiftCtrl:
        type = MarkYellow;
        return true;
    case KindDoubleStep:
        type = doubleStepType;
        return true;
    case KindMarkerDownRight:
        type = MarkSquare1;
        return true;
    case KindMarkerDownLeft:
        type = MarkSquare2;
        return true;
    case KindNumber:
        type = currentNumber;
        return true;
    default:
        return false;
    }
}

} // namespace

MarkEdit AddMark(DiagramRecord& record, int kind, bool userEdit, int from, int to, uint8_t markColour,
    uint8_t currentNumber)
{
    MarkEdit edit;
    uint8_t doubleStepType = MarkDoubleStep;
    for (size_t i = 0; i < record.marks.Stored(); ++i) {
        const MarkSlot slot = record.marks[i];
        // A free slot keeps its old type byte; it is no mark and is never freed twice.
        if (slot.from == 0) continue;
        if (slot.from == from && slot.to == to) {
            if (!userEdit) doubleStepType = slot.type;
            freeSlot(record, i);
            edit.repaint = true;
            if (userEdit) {
                // The same gesture twice takes the mark away.
                edit.removed = true;
                edit.bnxOnlyDelta = -1;
                return edit;
            }
        } else if (!userEdit && slot.type == MarkDoubleStep) {
            freeSlot(record, i);
        }
    }

    size_t freeOne = record.marks.size();
    if (from >= 1 && from <= 64 && to >= 0 && to <= 64) {
        for (size_t i = 0; i < record.marks.size(); ++i)
            if (record.marks[i].from == 0) {
                freeOne = i;
                break;
            }
    }
    if (freeOne == record.marks.size()) {
        edit.tableFull = true;
        return edit;
    }
    MarkSlot taken = record.marks[freeOne];
    taken.from = static_cast<uint8_t>(from);
    taken.to = static_cast<uint8_t>(to);
    ++record.markCount;
    if (userEdit) edit.bnxOnlyDelta += 1;
    uint8_t type = 0;
    if (storesType(kind, doubleStepType, markColour, currentNumber, type)) taken.type = type;
    record.marks.Set(freeOne, taken);
    edit.added = true;
    edit.repaint = true;
    return edit;
}

MarkEdit AddDoubleStepArrow(DiagramRecord& record, char file, bool blackToMove)
{
    if (file < 'a' || file > 'h') return {};
    const int f = file - 'a';
    auto mark = [&](int fromRank, int toRank) {
        return AddMark(record, KindDoubleStep, false, Square::FromFileRank(f, fromRank).MarkNumber(),
            Square::FromFileRank(f, toRank).MarkNumber());
    };
    // Ranks counted from 0: a white pawn went from the second rank to the fourth, a black one from the
    // seventh to the fifth.
    return blackToMove ? mark(1, 3) : mark(6, 4);
}

int RemoveDoubleStepArrows(DiagramRecord& record)
{
    int removed = 0;
    for (size_t i = 0; i < record.marks.Stored(); ++i) {
        const MarkSlot slot = record.marks[i];
        if (slot.type != MarkDoubleStep) continue;
        if (slot.from != 0) {
            if (record.markCount > 0) --record.markCount;
            ++removed;
        }
        record.marks.Set(i, {});
    }
    return removed;
}

} // namespace Marks
