#pragma once

#include "platform/Dc.h"
#include "platform/WinTypes.h"
#include "positions/DiagramRecord.h"
#include "positions/Square.h"

#include <array>
#include <string>

// Where the board drawing puts things, as plain functions of the board rectangle and the square size,
// so that the mouse code and the tests can ask without painting. `board` is the view's board rectangle:
// its left edge is the left edge of the rank-number cell, its top the top of the rank-8 row.
namespace BoardGeometry {

// The cell of a board row: column 0 is the left border (rank numbers), 1..8 files a..h as shown, 9 the
// right border; row 0..7 from the top.
Win32::RECT CellRect(const Win32::RECT& board, int sq, int column, int row);

// Centre of a shown square, given by its mark number (a8 = 1 as shown).
Win32::POINT SquareCentre(const Win32::RECT& board, int sq, int square);

// The mark slots the drawing shows: squares 1..64, arrows of types 1..6, square markers 7 and 8 and
// number marks '0'..'9', 0x3A..0x3D. Anything else read from a file is skipped.
bool IsDrawableArrow(const MarkSlot& slot);
bool IsDrawableSquareMark(const MarkSlot& slot);
bool IsNumberMark(int type);
// Colour codes of coloured squares that are drawn (1..4); others count as none.
bool IsDrawableSquareColour(int code);

// An arrow as drawn: the seven points of the arrow built pointing up from its tail, the angle it is
// turned by about the tail (degrees, 0 = up, clockwise on screen) and its length.
struct ArrowShape {
    std::array<Win32::POINT, 7> points;
    Win32::POINT tail;
    double angle = 0;
    double length = 0;
    // The world transform that turns the upright arrow into place (identity when the angle is 0).
    Win32::XFORM Transform() const;
    // The points after the transform, rounded to pixels (for tests and hit checks).
    std::array<Win32::POINT, 7> TurnedPoints() const;
};
// How broad an arrow is for a square size: half its shaft's width, its head's length and half the head's
// width.
struct ArrowProportions {
    int halfShaft = 0;
    int headLength = 0;
    int halfHead = 0;
};
// On screen and in pictures of the board.
ArrowProportions ScreenArrow(int sq);
// On paper, broader: a hairline of the screen's proportions would be lost in print.
ArrowProportions PrintedArrow(int sq);
// The arrow from one square's centre to another's, its tail off a piece on the first square and its tip
// off a piece on the last. Whichever way the y axis points (down on screen, up in the twips of a page),
// the turned tip lands on `to`.
ArrowShape ArrowBetween(Win32::POINT from, Win32::POINT to, int sq, bool fromOccupied, bool toOccupied,
    const ArrowProportions& size);
// An arrow of the screen between two shown squares. fromOccupied/toOccupied: the shown square holds a
// piece (its letter is neither ' ' nor '+').
ArrowShape ArrowPolygon(
    const Win32::RECT& board, int sq, int from, int to, bool fromOccupied, bool toOccupied);

// The middle third of a shown square, where markers and number marks go.
Win32::RECT MarkerRect(const Win32::RECT& board, int sq, int square);
// Where a number mark's character is written.
Win32::POINT NumberMarkOrigin(const Win32::RECT& board, int sq, int square);
// The character of a number mark of this type (the rank-digit table "00123456789abcd").
char NumberMarkChar(int type);

// Letters of black pieces (either case) in the given family.
bool IsBlackPieceLetter(char letter, bool family2);
inline bool IsEmptyLetter(char letter)
{
    return letter == ' ' || letter == '+';
}

// The piece palette: 4 columns and 9 rows drawn beside the board, row 0 level with the top frame.
constexpr int PaletteDrawColumns = 4;
constexpr int PaletteDrawRows = 9;
Win32::POINT PaletteCellOrigin(
    const Win32::RECT& board, const Win32::RECT& palette, int sq, int column, int row);
// The letters of a palette row (4 letters): pieces or the empty board of numbers mode.
std::string PaletteRowText(int row, bool family2, bool numbers);
// The two numbers written over a numbers-palette row 1..7 ("01" .. "cd"), empty for other rows.
std::string PaletteNumberChars(int row);
// The number mark type of a numbers-palette cell (row 1..7, column 1..2 as drawn); 0 outside.
int PaletteCellNumber(int row, int column);
// Where the number of a numbers-palette cell is written.
Win32::POINT PaletteNumberOrigin(
    const Win32::RECT& board, const Win32::RECT& palette, int sq, int column, int row);

// Rank labels and file letters of the coordinates.
Win32::POINT RankLabelOrigin(const Win32::RECT& board, int sq, int index);
Win32::POINT FileLetterOrigin(const Win32::RECT& board, int sq, int index);

// The label under the board: "Diag." + number + " : " + the shown comment (or, with the text hidden,
// the side to move and the castling flags), with a "c0 " before a double quote left out.
std::string LabelText(int number, const DiagramRecord& record, bool hideText);

// The record cell shown at a display cell (mirrored on a flipped diagram); borders map to themselves.
void RecordCell(bool flipped, int row, int cell, int& recordRow, int& recordCell);

} // namespace BoardGeometry
