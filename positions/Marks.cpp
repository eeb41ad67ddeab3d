#include "Marks.h"

namespace Marks {

namespace {

void freeSlot(DiagramRecord& record, MarkSlot& slot)
{
    // The type byte stays: an identical automatic arrow takes it over.
    slot.from = 0;
    slot.to = 0;
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
    for (MarkSlot& slot : record.marks) {
        // A free slot keeps its old type byte; it is no mark and is never freed twice.
        if (slot.from == 0) continue;
        if (slot.from == from && slot.to == to) {
            if (!userEdit) doubleStepType = slot.type;
            freeSlot(record, slot);
            edit.repaint = true;
            if (userEdit) {
                // The same gesture twice takes the mark away.
                edit.removed = true;
                edit.bnxOnlyDelta = -1;
                return edit;
            }
        } else if (!userEdit && slot.type == MarkDoubleStep) {
            freeSlot(record, slot);
        }
    }

    MarkSlot* freeOne = nullptr;
    if (from >= 1 && from <= 64 && to >= 0 && to <= 64) {
        for (MarkSlot& slot : record.marks)
            if (slot.from == 0) {
                freeOne = &slot;
                break;
            }
    }
    if (!freeOne) {
        edit.tableFull = true;
        return edit;
    }
    freeOne->from = static_cast<uint8_t>(from);
    freeOne->to = static_cast<uint8_t>(to);
    ++record.markCount;
    if (userEdit) edit.bnxOnlyDelta += 1;
    uint8_t type = 0;
    if (storesType(kind, doubleStepType, markColour, currentNumber, type)) freeOne->type = type;
    edit.added = true;
    edit.repaint = true;
    return edit;
}

MarkEdit AddDoubleStepArrow(DiagramRecord& record, char file, bool blackToMove)
{
    if (file < 'a' || file > 'h') return {};
    int f = file - 'a' + 1;
    if (blackToMove) return AddMark(record, KindDoubleStep, false, SquareNumber(f, 6), SquareNumber(f, 4));
    return AddMark(record, KindDoubleStep, false, SquareNumber(f, 1), SquareNumber(f, 3));
}

int RemoveDoubleStepArrows(DiagramRecord& record)
{
    int removed = 0;
    for (MarkSlot& slot : record.marks) {
        if (slot.type != MarkDoubleStep) continue;
        if (slot.from != 0) {
            freeSlot(record, slot);
            ++removed;
        }
        slot.type = 0;
    }
    return removed;
}

} // namespace Marks
