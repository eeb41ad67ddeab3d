#include "MarkEditing.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace MarkEditing {

bool IsStraight(int dx, int dy)
{
    int adx = std::abs(dx), ady = std::abs(dy);
    return std::abs(2 * (adx - ady)) > std::max(adx, ady);
}

Drag ClassifyDrag(int dx, int dy)
{
    if (IsStraight(dx, dy)) {
        if (std::abs(dy) > std::abs(dx)) return dy > 0 ? Drag::Up : Drag::Down;
        return dx > 0 ? Drag::Right : Drag::Left;
    }
    if (dy > 0) return dx > 0 ? Drag::UpRight : Drag::UpLeft;
    return dx > 0 ? Drag::DownRight : Drag::DownLeft;
}

GestureChoice ChoiceForDrag(Drag drag, bool black, bool family2)
{
    auto piece = [&](char white, char blackLetter, int row) {
        GestureChoice c;
        c.piece = black ? blackLetter : white;
        c.paletteRow = row;
        return c;
    };
    switch (drag) {
    case Drag::Up:
        return piece('p', 'o', 0);
    case Drag::Down:
        return piece('q', 'w', 4);
    case Drag::Right:
        return piece('k', 'l', 5);
    case Drag::Left:
        return piece('r', 't', 3);
    case Drag::UpLeft:
        return family2 ? piece('h', 'j', 1) : piece('n', 'm', 1);
    case Drag::UpRight:
        return family2 ? piece('b', 'n', 2) : piece('b', 'v', 2);
    case Drag::DownRight: {
        GestureChoice c;
        c.markerKind = Marks::KindMarkerDownRight;
        return c;
    }
    case Drag::DownLeft:
        break;
    }
    GestureChoice c;
    c.markerKind = Marks::KindMarkerDownLeft;
    return c;
}

int RotationForDrag(int dx, int dy, bool lightSquare)
{
    if (!IsStraight(dx, dy)) return -1;
    if (std::abs(dy) > std::abs(dx)) return dy >= 0 ? 0 : 2;
    if (lightSquare) return dx > 0 ? 1 : 3;
    return dx > 0 ? 4 : 5;
}

int ArrowKindForFlags(int flags)
{
    int kind = flags & (MK_RBUTTON | MK_SHIFT | MK_CONTROL);
    switch (kind) {
    case Marks::KindShift:
    case Marks::KindRightShift:
    case Marks::KindCtrl:
    case Marks::KindRightCtrl:
    case Marks::KindShiftCtrl:
        return kind;
    default:
        return Marks::KindColour;
    }
}

int ClickColourForFlags(int flags, int markColour)
{
    switch (flags) {
    case 0:
        return markColour;
    case MK_SHIFT:
        return MarkRed;
    case MK_CONTROL:
        return MarkGreen;
    case MK_SHIFT | MK_CONTROL:
        return MarkYellow;
    case MK_RBUTTON | MK_SHIFT:
    case MK_RBUTTON | MK_CONTROL:
        return MarkBlue;
    default:
        return 0;
    }
}

int ToggleSquareColour(DiagramRecord& record, int row, int cell, int flags, int markColour)
{
    if (record.colours[row][cell] != 0) {
        record.colours.Set(row, cell, 0);
        if (record.colouredCount > 0) --record.colouredCount;
        return -1;
    }
    int code = ClickColourForFlags(flags, markColour);
    if (code == 0) return 0;
    record.colours.Set(row, cell, static_cast<int8_t>(code));
    ++record.colouredCount;
    return 1;
}

int UsedMarkSlots(const DiagramRecord& record)
{
    int used = 0;
    for (size_t i = 0; i < record.marks.Stored(); ++i) used += record.marks[i].from != 0 ? 1 : 0;
    return used;
}

int UserMarkSlots(const DiagramRecord& record)
{
    int used = 0;
    for (size_t i = 0; i < record.marks.Stored(); ++i) {
        const MarkSlot slot = record.marks[i];
        used += slot.from != 0 && slot.type != MarkDoubleStep ? 1 : 0;
    }
    return used;
}

Marks::MarkEdit AddMarkWithinLimit(DiagramRecord& record, int kind, bool userEdit, int from, int to,
    uint8_t markColour, uint8_t currentNumber)
{
    // Tried on a copy of the table, so a refused mark leaves the record exactly as it was.
    DiagramRecord trial;
    trial.marks = record.marks;
    trial.markCount = record.markCount;
    Marks::MarkEdit edit = Marks::AddMark(trial, kind, userEdit, from, to, markColour, currentNumber);
    // The automatic arrow is no mark of the user's: it is rebuilt from the en-passant file, and the
    // table keeps a slot beyond the user's marks for it.
    if (userEdit && edit.added && UserMarkSlots(trial) > MaxStoredMarks) {
        Marks::MarkEdit refused;
        refused.tableFull = true;
        return refused;
    }
    record.marks = trial.marks;
    record.markCount = trial.markCount;
    return edit;
}

int ClampPaletteRow(int row)
{
    return std::clamp(row, 0, PaletteRows - 1);
}

int ClampPaletteColumn(int column)
{
    return std::clamp(column, 0, PaletteColumns - 1);
}

char PaletteLetter(int row, int column, bool family2)
{
    static constexpr char white1[] = "pnbrqk ", black1[] = "omvtwl ";
    static constexpr char white2[] = "phbrqk ", black2[] = "ojntwl ";
    const char* letters
        = ClampPaletteColumn(column) == 0 ? (family2 ? white2 : white1) : (family2 ? black2 : black1);
    return letters[ClampPaletteRow(row)];
}

uint8_t PaletteNumber(int row, int column)
{
    static constexpr char numbers[] = "0123456789abcd";
    char c = numbers[2 * ClampPaletteRow(row) + ClampPaletteColumn(column)];
    return static_cast<uint8_t>(c > '9' ? c - 0x27 : c);
}

char OtherColourLetter(char letter, bool family2)
{
    switch (letter) {
    case 'p':
        return 'o';
    case 'o':
        return 'p';
    case 'r':
        return 't';
    case 't':
        return 'r';
    case 'q':
        return 'w';
    case 'w':
        return 'q';
    case 'k':
        return 'l';
    case 'l':
        return 'k';
    case 'm':
        return 'n';
    default:
        break;
    }
    if (family2) {
        switch (letter) {
        case 'b':
            return 'n';
        case 'n':
            return 'b';
        case 'h':
            return 'j';
        case 'j':
            return 'h';
        default:
            return letter;
        }
    }
    switch (letter) {
    case 'b':
        return 'v';
    case 'v':
        return 'b';
    case 'n':
        return 'm';
    default:
        return letter;
    }
}

char LetterForPut(char currentPiece, bool lightSquare)
{
    if (lightSquare) return currentPiece;
    if (currentPiece == ' ') return '+';
    return static_cast<char>(std::toupper(static_cast<unsigned char>(currentPiece)));
}

namespace {
constexpr char upright[] = "BKLMNOPQRTVW";
constexpr char turnedLeft[] = "ACDEFGHIJSUX";
constexpr char turnedRight[] = "YZacdefghijs";
}

char RotatedFairyLetter(char letter, int rotation)
{
    if (rotation != 4 && rotation != 5) return letter;
    const char* p = letter != 0 ? std::strchr(upright, letter) : nullptr;
    if (!p) return letter;
    return (rotation == 4 ? turnedLeft : turnedRight)[p - upright];
}

char UprightFairyLetter(char letter, int rotation)
{
    if (rotation != 4 && rotation != 5) return letter;
    const char* turned = rotation == 4 ? turnedLeft : turnedRight;
    const char* p = letter != 0 ? std::strchr(turned, letter) : nullptr;
    return p ? upright[p - turned] : letter;
}

FontBoard UprightBoard(const DiagramRecord& record)
{
    FontBoard board = record.board;
    for (int row = 0; row < 8; ++row)
        for (int cell = 1; cell <= 8; ++cell)
            board[row][cell] = UprightFairyLetter(board[row][cell], record.rotations[row][cell]);
    return board;
}

} // namespace MarkEditing
