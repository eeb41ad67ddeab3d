#pragma once

#include "platform/WinTypes.h"

#include <QList>
#include <QRect>

// Where the main window and the board go at start, from settings that may have been written on
// another screen layout or edited by hand.
namespace WindowPlacement {

// The smallest main window the program starts with.
constexpr int MinimumWidth = 400;
constexpr int MinimumHeight = 300;

// The saved rectangle (left, top, width, height) moved onto the screen whose usable area holds its
// centre, else the one it overlaps most, else the primary one (`screens[primary]`), and sized to at
// least the minimum and at most that area.
QRect PlaceOnScreen(int left, int top, int width, int height, const QList<QRect>& screens, int primary);

// Whether the board, palette and text rectangles and the square size can be used in a view of this
// size: each rectangle the right way round and within the coordinates a window has, the square size
// one the program draws, and the top-left square of the board inside the view.
bool PlacementFitsView(const Win32::RECT& board, const Win32::RECT& palette, const Win32::RECT& text,
    int square, int viewWidth, int viewHeight);

// The board, the palette beside it and the label line under it, with their square size.
struct BoardLayout {
    Win32::RECT board;
    Win32::RECT palette;
    Win32::RECT text;
    int square;
};

// The start layout for a view of this size: the program's default layout (squares of 51 pixels) where it
// fits, else the same layout with the largest square size with which board, palette and label fit
// (never below the smallest square size).
BoardLayout FittedDefaultLayout(int viewWidth, int viewHeight);

} // namespace WindowPlacement
