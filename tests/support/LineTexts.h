#pragma once
// How a comment and the move counters of a record look once they have been through a position line:
// what the tests and the fuzz targets expect to read back. No test framework here, so both can use it.
#include <string>

namespace LineTexts {

// A comment as an .epd line leaves it: every line break two blanks.
inline std::string BreaksAsBlanks(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "  ";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A move counter, or what a line without it reads as.
inline std::string Counter(const std::string& value, const char* byDefault)
{
    return value.empty() ? byDefault : value;
}

} // namespace LineTexts
