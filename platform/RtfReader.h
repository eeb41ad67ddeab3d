#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reads the RTF this program writes itself (board copies and the PGN boards): the font table, font
// sizes, paragraphs, line breaks and \'hh bytes. Anything else is passed over.
namespace Rtf {

struct Run {
    std::string fontName; // from the font table; empty when the run's font is not in it
    int halfPoints = 24;
    std::string bytes; // the text, 8-bit as written
};

// One line of the document: the runs between two line or paragraph breaks.
using Line = std::vector<Run>;

std::vector<Line> Read(std::string_view rtf);

// The lines as bytes only (fonts dropped), for tests and plain-text copies.
std::vector<std::string> PlainLines(std::string_view rtf);

} // namespace Rtf
