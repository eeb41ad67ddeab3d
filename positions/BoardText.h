#pragma once

#include "DiagramRecord.h"

#include <string>
#include <string_view>

// The board as chess-font text: the plain text and the RTF of a copy, the rows as the screen shows
// them, and the reading of pasted chess-font text.
namespace BoardText {

// The rows as displayed: mirrored square by square (row 7 - r, cell 9 - c) when the diagram is flipped.
FontBoard DisplayRows(const DiagramRecord& record);

// Rows with the square markers (mark types 7 and up) written into the empty squares they name.
FontBoard OverlaySquareMarkers(const FontBoard& displayRows, const DiagramRecord& record);

// Plain text of a copy: top frame, CR LF, the eight rows each ended by LF, bottom frame.
std::string PlainText(const DiagramRecord& record, bool family2, bool berlin);

struct RtfOptions {
    std::string fontFace;
    int fontIndex = 2; // the chess-font table index (charset 2 from 3 on)
    bool family2 = false;
    bool withoutBorder = false; // the Border setting
    bool pictureCoordinates = true; // the PNGSaveCoords setting
    bool flipped = false;
    bool hasMarks = false; // the current diagram holds marks: the fairy face shows the marker rows
    int halfPoints = 0; // \fs value
};

// Font size of a copy in half-points: from the square size unless a copy size is set.
int CopyHalfPoints(int squareSize, float copyFontSize);

// The RTF text of a copy of these rows (display rows, or marker rows for the fairy face with marks).
std::string Rtf(const FontBoard& rows, const RtfOptions& options);

// Reads pasted chess-font text into the rows of `record`: the top frame of the family, then eight rows of
// ten letters of the family (border, eight squares, border), each line ended by CR LF or LF (the last
// row may end the text). Returns true when the text is not such a board; `record` is then untouched.
// The case of each piece letter follows the colour of its square.
bool ParseBoardText(std::string_view text, DiagramRecord& record, bool family2 = false);

} // namespace BoardText
