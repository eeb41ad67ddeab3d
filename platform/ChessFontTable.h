#pragma once

#include <QImage>
#include <array>
#include <string>

// The chess fonts the program knows: eighteen faces by table index (the FontFaceName setting), their
// names in the string table from 40050 on. Indexes above 15 use the second letter family.
constexpr int ChessFontCount = 18;

// Which fonts of the table are installed; filled once at start by ScanInstalledChessFonts.
extern std::array<bool, ChessFontCount> installedChessFonts;

// Looks the table's faces up among the installed fonts of the machine and of the user: a font is
// installed when a value name of the Fonts key starts with its face name, letter case ignored.
void ScanInstalledChessFonts();

std::string ChessFontFaceName(int index);

// The font that draws for a chosen one: the chosen font when it is installed, else the default font
// (index 2), else the first installed font of the table; the chosen one when none is installed.
constexpr int DefaultChessFont = 2;
int FontInEffect(int chosen);
inline bool UsesLetterFamily2(int index)
{
    return static_cast<unsigned>(index) > 15;
}

// A 64 x 64 sample of the font: a corner of a board drawn in it, or a neutral picture of our own when
// the font is not installed.
QImage ChessFontSample(int index);
// The credit line shown for a font.
std::string ChessFontCredit(int index);
