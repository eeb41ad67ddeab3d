#include "PgnFileCheck.h"

#include <cstdio>
#include <cstring>

unsigned CheckPgnFileLines(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 40119;
    constexpr size_t LineBytes = 511;
    constexpr int LinesExamined = 19;
    constexpr int TagLinesNeeded = 5;

    char buffer[4096];
    size_t size = std::fread(buffer, 1, sizeof buffer, file);
    size_t at = size >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    int examined = 0;
    int tags = 0;
    // Where the line being read stands: its first byte, how many of its bytes are read, and a CR
    // that may be followed by the LF of the same line end.
    bool lineStart = true;
    size_t lineBytes = 0;
    bool afterCr = false;
    bool failed = false;
    // On a line of tags, each further tag counts as a tag line of its own: a game may have its tags,
    // or be whole, on one line. `closing` follows the '"' and ']' that end a tag.
    bool tagLine = false;
    int closing = 0;
    while (examined < LinesExamined) {
        if (at == size) {
            if (std::ferror(file)) {
                failed = true;
                break;
            }
            size = std::fread(buffer, 1, sizeof buffer, file);
            at = 0;
            if (size == 0) {
                failed = std::ferror(file) != 0;
                break;
            }
        }
        const char c = buffer[at++];
        if (afterCr) {
            afterCr = false;
            if (c == '\n') continue;
        }
        if (c == '\n' || c == '\r') {
            afterCr = c == '\r';
            lineStart = true;
            lineBytes = 0;
            tagLine = false;
            continue;
        }
        if (lineStart) {
            // A line that begins with its line end is empty and is not counted.
            ++examined;
            tagLine = c == '[';
            if (tagLine) ++tags;
            closing = 0;
            lineStart = false;
        } else if (tagLine) {
            if (c == '"')
                closing = 1;
            else if (c == ']' && closing == 1)
                closing = 2;
            else if (c == '[' && closing == 2)
                ++tags;
            else if (!(closing == 2 && (c == ' ' || c == '\t')))
                closing = 0;
        }
        if (++lineBytes == LineBytes) {
            lineStart = true;
            lineBytes = 0;
        }
    }
    std::fclose(file);
    if (failed) return 40118;
    return tags < TagLinesNeeded ? 40118 : 0;
}
