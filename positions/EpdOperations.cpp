#include "EpdOperations.h"

#include <algorithm>
#include <vector>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string digitsFrom(std::string_view operation, size_t start)
{
    std::string digits;
    for (size_t i = start; i < operation.size(); ++i)
        if (isDigit(operation[i])) digits += operation[i];
    return digits;
}

std::string commentText(std::string_view operation, bool fromEpdFile)
{
    // The text starts after the opcode, a blank and the opening quote, and ends at the closing quote.
    if (operation.size() <= 4) return {};
    std::string_view quoted = operation.substr(4);
    return DecodeCommentText(quoted.substr(0, quoted.find('"')), fromEpdFile);
}

bool escapedByte(char c)
{
    return c == '*' || c == QuoteEscape || c == LineBreakEscape;
}

// Operations of one group come out in the order of their first characters; those that share a first
// character keep the order of the line.
std::string joinSorted(std::vector<std::string_view>& operations)
{
    std::stable_sort(operations.begin(), operations.end(), [](std::string_view a, std::string_view b) {
        return static_cast<unsigned char>(a[0]) < static_cast<unsigned char>(b[0]);
    });
    std::string joined;
    for (std::string_view op : operations) {
        joined += op;
        joined += ';';
    }
    return joined;
}

} // namespace

size_t OperationEnd(std::string_view text, size_t start)
{
    bool quoted = false;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == ';' && !quoted)
            return i;
    }
    if (!quoted) return std::string_view::npos;
    // An unclosed quote: the operation ends at its first ';' as if there were no quote.
    return text.find(';', start);
}

EpdOperations ParseEpdOperations(std::string_view text, bool fromEpdFile)
{
    EpdOperations ops;
    std::vector<std::string_view> before, middle, after;
    size_t pos = 0;
    for (;;) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == ';')) ++pos;
        if (pos >= text.size()) break;
        size_t end = OperationEnd(text, pos);
        if (end == std::string_view::npos) break;
        std::string_view op = text.substr(pos, end - pos);
        pos = end + 1;
        char first = op[0];
        char second = op.size() > 1 ? op[1] : '\0';
        if (first == 'c' && isDigit(second)) {
            ops.opcode = std::string { first, second };
            ops.comment = commentText(op, fromEpdFile);
        } else if (first == 'c' || first == 'd' || first == 'e') {
            middle.push_back(op);
        } else if (first == 'f') {
            ops.fmvn = digitsFrom(op, 5);
        } else if (first == 'h') {
            ops.hmvc = digitsFrom(op, 5);
        } else if (first == 'g') {
            // dropped
        } else if (static_cast<unsigned char>(first) >= 'i' && static_cast<unsigned char>(first) <= 0x7F) {
            after.push_back(op);
        } else {
            before.push_back(op);
        }
    }
    ops.before = joinSorted(before);
    ops.middle = joinSorted(middle);
    ops.after = joinSorted(after);
    return ops;
}

std::string EscapeCommentForFile(std::string_view text, bool epdFile)
{
    const char* lineBreak = epdFile ? "  " : "**";
    auto breakAt = [&](size_t i) { return i < text.size() && (text[i] == '\r' || text[i] == '\n'); };
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            out += QuoteEscape;
        } else if (c == '\r' || c == '\n') {
            // A lone CR or LF would end the file line; it is kept as a line break.
            out += lineBreak;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == QuoteEscape || c == LineBreakEscape
            || (c == '*' && i + 1 < text.size() && (text[i + 1] == '*' || (!epdFile && breakAt(i + 1))))) {
            out += LineBreakEscape;
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

// What a 0x87 that escapes no byte stands for: a line break in a comment of a file, a blank in a comment
// of an .epd file, itself in the display copy.
enum class LoneEscape { LineBreak, Blank, Kept };

std::string decode(std::string_view text, LoneEscape lone)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (c == QuoteEscape) {
            out += '"';
        } else if (c == LineBreakEscape && hasNext && escapedByte(text[i + 1])) {
            out += text[++i];
        } else if (c == LineBreakEscape && lone == LoneEscape::LineBreak) {
            out += "\r\n";
            ++i;
        } else if (c == LineBreakEscape && lone == LoneEscape::Blank) {
            out += ' ';
        } else if (c == '*' && hasNext && text[i + 1] == '*') {
            out += "\r\n";
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string DecodeCommentText(std::string_view text, bool epdFile)
{
    return decode(text, epdFile ? LoneEscape::Blank : LoneEscape::LineBreak);
}

std::string UnescapeComment(std::string_view text)
{
    return decode(text, LoneEscape::Kept);
}
