#include "RtfReader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>

namespace Rtf {

namespace {

constexpr int64_t MaxParameter = 0x7FFFFFFF;
// 1638 points, the largest size a word processor offers; the view turns sizes into pixels.
constexpr int64_t MaxHalfPoints = 3276;

struct State {
    int font = 0;
    int halfPoints = 24;
    bool skip = false; // inside a destination whose text is not shown
};

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
int HexValue(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
}

} // namespace

std::vector<Line> Read(std::string_view rtf)
{
    std::map<int, std::string> fonts;
    std::vector<Line> lines(1);
    std::vector<State> stack { State {} };
    // The font table is read as it comes: "{\fN ... name;}" inside "{\fonttbl ...}".
    int fontTableDepth = -1;
    int pendingFont = -1;
    std::string fontName;

    auto emit = [&](char c) {
        State& s = stack.back();
        if (s.skip) return;
        if (fontTableDepth >= 0) {
            if (c == ';') {
                if (pendingFont >= 0) fonts[pendingFont] = fontName;
                fontName.clear();
            } else {
                fontName += c;
            }
            return;
        }
        Line& line = lines.back();
        auto it = fonts.find(s.font);
        std::string name = it == fonts.end() ? std::string() : it->second;
        if (line.empty() || line.back().fontName != name || line.back().halfPoints != s.halfPoints)
            line.push_back({ name, s.halfPoints, {} });
        line.back().bytes += c;
    };

    size_t i = 0;
    while (i < rtf.size()) {
        char c = rtf[i];
        if (c == '{') {
            stack.push_back(stack.back());
            ++i;
            continue;
        }
        if (c == '}') {
            if (fontTableDepth >= 0 && static_cast<int>(stack.size()) - 1 == fontTableDepth)
                fontTableDepth = -1;
            if (stack.size() > 1) stack.pop_back();
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            emit(c);
            ++i;
            continue;
        }
        // A control word, symbol or escaped byte.
        ++i;
        if (i >= rtf.size()) break;
        char n = rtf[i];
        if (n == '\'' && i + 2 < rtf.size() && IsHex(rtf[i + 1]) && IsHex(rtf[i + 2])) {
            emit(static_cast<char>(HexValue(rtf[i + 1]) * 16 + HexValue(rtf[i + 2])));
            i += 3;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(n))) {
            if (n == '\\' || n == '{' || n == '}') emit(n);
            ++i;
            continue;
        }
        size_t start = i;
        while (i < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[i]))) ++i;
        std::string word(rtf.substr(start, i - start));
        bool hasNumber = false;
        int64_t number = 0;
        bool negative = false;
        if (i < rtf.size() && rtf[i] == '-') {
            negative = true;
            ++i;
        }
        // A parameter beyond any value a control word takes is held at that bound, however many
        // digits it has.
        while (i < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[i]))) {
            hasNumber = true;
            number = std::min<int64_t>(number * 10 + (rtf[i] - '0'), MaxParameter);
            ++i;
        }
        if (negative) number = -number;
        if (i < rtf.size() && rtf[i] == ' ') ++i; // the delimiter belongs to the word

        State& s = stack.back();
        if (word == "fonttbl") {
            fontTableDepth = static_cast<int>(stack.size()) - 1;
        } else if (word == "f" && hasNumber) {
            if (fontTableDepth >= 0) {
                pendingFont = static_cast<int>(number);
                fontName.clear();
            } else {
                s.font = static_cast<int>(number);
            }
        } else if (word == "fs" && hasNumber) {
            s.halfPoints = static_cast<int>(std::clamp<int64_t>(number, 1, MaxHalfPoints));
        } else if (word == "line" || word == "par") {
            if (fontTableDepth < 0 && !s.skip) lines.emplace_back();
        } else if (word == "tab") {
            emit('\t');
        } else if (word == "colortbl" || word == "stylesheet" || word == "info" || word == "pict") {
            s.skip = true;
        } else if (word == "plain") {
            s.halfPoints = 24;
        }
    }
    while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    return lines;
}

std::vector<std::string> PlainLines(std::string_view rtf)
{
    std::vector<std::string> out;
    for (const Line& line : Read(rtf)) {
        std::string text;
        for (const Run& run : line) text += run.bytes;
        out.push_back(text);
    }
    return out;
}

} // namespace Rtf
