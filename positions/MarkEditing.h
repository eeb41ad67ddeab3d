#pragma once

#include "DiagramRecord.h"
#include "Marks.h"

#include <cstdint>

// What the mouse does to a diagram, without the window: which piece a drag chooses, which colour a
// click gives, which mark an arrow becomes, and the mark table's limit. The view's handlers turn
// window events into these calls.
namespace MarkEditing {

// The key and button flags of a mouse event, with the values the program has always used.
enum MouseFlag : int {
    MK_LBUTTON = 0x01,
    MK_RBUTTON = 0x02,
    MK_SHIFT = 0x04,
    MK_CONTROL = 0x08,
    MK_MBUTTON = 0x10,
};

// Flags that hold a key (Shift, Ctrl) or the middle button: a click colours the square, a drag draws an
// arrow, rather than putting a piece.
constexpr bool HoldsKeyOrMiddle(int flags)
{
    return flags > (MK_LBUTTON | MK_RBUTTON);
}
// A press of one button at most, with nothing held: it puts the palette's piece on the square.
constexpr bool PutsPiece(int flags)
{
    return flags < (MK_LBUTTON | MK_RBUTTON);
}
// The flags given to the put that follows a marker drawn by a drag: it puts no piece, and gives the
// square back the letter the press put there.
constexpr int MarkerPut = MK_RBUTTON | MK_MBUTTON;
static_assert(!PutsPiece(MarkerPut));

// A BNX file keeps this many marks of a diagram; a record never holds more, so nothing is lost at saving.
constexpr int MaxStoredMarks = 69;

// The piece palette: seven rows (pawn .. king, then the blank) in a white and a black column.
constexpr int PaletteRows = 7;
constexpr int PaletteColumns = 2;

// A release that moved at most this many pixels each way from its press is a click.
constexpr int ClickTolerance = 10;

inline bool IsClick(int dx, int dy)
{
    return (dx < 0 ? -dx : dx) <= ClickTolerance && (dy < 0 ? -dy : dy) <= ClickTolerance;
}

// The eight directions of a drag. dx grows to the right, dy upwards.
enum class Drag { Up, Down, Right, Left, UpLeft, UpRight, DownRight, DownLeft };

// Straight when the drag leans less than about 26.6 degrees from the horizontal or the vertical;
// equal moves both ways are diagonal.
bool IsStraight(int dx, int dy);
Drag ClassifyDrag(int dx, int dy);

// What a drag gesture chooses: a piece (with its palette row) or a square marker (an AddMark kind).
struct GestureChoice {
    char piece = 0; // 0 for a marker
    int paletteRow = -1;
    int markerKind = 0;
};
GestureChoice ChoiceForDrag(Drag drag, bool black, bool family2);

// The fairy rotation mark a straight drag sets on a square (-1: a diagonal drag sets none).
int RotationForDrag(int dx, int dy, bool lightSquare);

// The AddMark kind of an arrow drawn with these release flags: only Shift, Ctrl and the right button
// count; any other button or combination draws in the chosen mark colour (kind 0), never an automatic
// arrow.
int ArrowKindForFlags(int flags);

// The colour a click in marks mode gives an uncoloured square; 0 for flags that colour nothing.
int ClickColourForFlags(int flags, int markColour);

// Colours an uncoloured cell or clears a coloured one; returns the change of the coloured count
// (+1, -1 or 0 when the flags colour nothing).
int ToggleSquareColour(DiagramRecord& record, int row, int cell, int flags, int markColour);

// Marks::AddMark, refused (tableFull, the record untouched) when a mark of the user's would make more
// than MaxStoredMarks of them; the automatic double-step arrow is never refused.
Marks::MarkEdit AddMarkWithinLimit(DiagramRecord& record, int kind, bool userEdit, int from, int to,
    uint8_t markColour, uint8_t currentNumber);
int UsedMarkSlots(const DiagramRecord& record);
// The slots in use by the user's own marks (all but the automatic double-step arrow).
int UserMarkSlots(const DiagramRecord& record);

// The palette cell's piece letter (light-square form), the blank in row 6; rows and columns outside the
// palette are clamped to its cells.
char PaletteLetter(int row, int column, bool family2);
// The number mark type of a numbers-palette cell: '0'..'9', then 0x3A..0x3D for 10..13.
uint8_t PaletteNumber(int row, int column);
int ClampPaletteRow(int row);
int ClampPaletteColumn(int column);

// The same piece in the other colour (the blank and anything unknown stay).
char OtherColourLetter(char letter, bool family2);

// The letter a put writes: the piece's light-square form, or its dark-square form ('+' for the blank).
char LetterForPut(char currentPiece, bool lightSquare);

// Dark-square pieces turned a quarter turn for rotation marks 4 and 5 take letters of their own.
char RotatedFairyLetter(char letter, int rotation);
// The upright letter of a piece that RotatedFairyLetter turned; any other letter stays.
char UprightFairyLetter(char letter, int rotation);
// The board with every turned piece standing upright again, as the letters of a position line name it.
FontBoard UprightBoard(const DiagramRecord& record);

} // namespace MarkEditing
