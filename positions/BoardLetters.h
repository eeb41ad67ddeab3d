#pragma once

#include "DiagramRecord.h"

#include <string>
#include <string_view>

// Chess-font letters. Family 2 ("Chess Berlin", "Chess Alpha") spells the knights and the black
// bishop differently and frames the board with digits.
namespace BoardLetters {

// A square is light when row + cell is odd (a8 and h1 are light).
inline bool IsLightSquare(int row, int cell) { return (row + cell) % 2 == 1; }
inline char EmptySquare(int row, int cell) { return IsLightSquare(row, cell) ? ' ' : '+'; }
inline bool IsEmptySquareLetter(char c) { return c == ' ' || c == '+'; }

char LeftBorder(bool family2);
char RightBorder(bool family2);

// The face of family 2 whose bottom frame has letters of its own and which has no file or rank letters.
constexpr std::string_view BerlinFace = "Chess Berlin";
inline bool IsBerlinFace(std::string_view face)
{
    return face == BerlinFace;
}

// The frame rows above and below the board, ten letters each. The bottom row may carry the file letters
// in place of its border (h to a on a flipped board); the Berlin face has none.
std::string TopFrameRow(bool family2);
std::string BottomFrameRow(bool family2, bool berlin, bool fileLetters = false, bool flipped = false);

// FEN letter ('P'..'K' white, 'p'..'k' black) to the font letter of a light square; 0 if unknown.
char FontLetterForFen(char fen, bool family2);
// Font letter (either case) to its FEN letter; 0 for an empty square or an unknown letter.
char FenLetterForFont(char font, bool family2);
// The letter a piece takes on a square of the given colour.
char OnSquare(char lightLetter, bool light);

// The letter that a family switch turns c into (ConvertLetterFamily's table); toFamily2 is the
// family now chosen.
char ConvertLetter(char c, bool toFamily2);

// Rows of the standard start position (rows 0, 1, 6, 7), with their border letters.
const char* StartRow(int row, bool family2);

// The empty board in the given family.
FontBoard EmptyBoard(bool family2);

// Converts every cell of a board row 0..9 to the other family.
void ConvertBoard(FontBoard& board, bool toFamily2);

} // namespace BoardLetters
