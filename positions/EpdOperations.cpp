#include "EpdOperations.h"

#include <algorithm>
#include <vector>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string digitsFrom(std::string_view operation, size_t start)
{
    std::string digits;
    for (size_t i = start; i < operation.size(); ++i)
        if (isDigit(operation[i])) digits += operation[i];
    return digits;
}

// The closing quote of the quoted text whose opening quote is at `open`, or npos. With escapes a
// backslash takes the quote or backslash after it as a character.
size_t closingQuote(std::string_view text, size_t open, bool escapes)
{
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (escapes && text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\'))
            ++i;
        else if (text[i] == '"')
            return i;
    }
    return std::string_view::npos;
}

// The text of a comment operation of the usual form: its two-character opcode, blanks, a quoted text
// and nothing after it but blanks. The text runs to the last quote, so quotes inside it, escaped or not,
// stay in it. false for any other form: the operation is then kept as it stands.
bool commentText(std::string_view operation, bool fromEpdFile, std::string& text)
{
    size_t open = 2;
    while (open < operation.size() && isBlank(operation[open])) ++open;
    if (open == 2 || open >= operation.size() || operation[open] != '"') return false;
    size_t close = operation.find_last_not_of(" \t");
    // An empty text is no comment to show; the operation is kept as it stands.
    if (close <= open + 1 || operation[close] != '"') return false;
    text = DecodeCommentText(operation.substr(open + 1, close - open - 1), fromEpdFile);
    return true;
}

// A move counter operation: the opcode `name` on its own, then an operand with digits in it.
bool counterOperation(std::string_view operation, std::string_view name, std::string& digits)
{
    if (!operation.starts_with(name)) return false;
    if (operation.size() > name.size() && !isBlank(operation[name.size()])) return false;
    std::string found = digitsFrom(operation, name.size());
    if (found.empty()) return false;
    digits = std::move(found);
    return true;
}

bool escapedByte(char c)
{
    return c == '*' || c == QuoteEscape || c == LineBreakEscape;
}

// Operations of one group come out in the order of their first characters; those that share a first
// character keep the order of the line. An operation whose quote is never closed comes last: it ran to
// the end of the line, and must do so again when the line is written.
std::string joinSorted(const std::vector<std::string_view>& operations)
{
    // Most lines have one operation of a group, or none.
    if (operations.size() <= 1) return operations.empty() ? std::string() : std::string(operations[0]) + ';';
    std::vector<std::pair<std::pair<bool, unsigned char>, std::string_view>> keyed;
    keyed.reserve(operations.size());
    for (std::string_view op : operations)
        keyed.push_back(
            { { UnclosedQuote(std::string(op) + ';', 0), static_cast<unsigned char>(op[0]) }, op });
    std::stable_sort(
        keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string joined;
    for (const auto& entry : keyed) {
        joined += entry.second;
        joined += ';';
    }
    return joined;
}

} // namespace

size_t OperationEnd(std::string_view text, size_t start)
{
    // The ';' outside quoted texts; `closed` is false when a quoted text has no end.
    auto scan = [&](bool escapes, bool& closed) {
        closed = true;
        for (size_t i = start; i < text.size(); ++i) {
            if (text[i] == '"') {
                i = closingQuote(text, i, escapes);
                if (i == std::string_view::npos) {
                    closed = false;
                    return std::string_view::npos;
                }
            } else if (text[i] == ';') {
                return i;
            }
        }
        return std::string_view::npos;
    };
    bool closed = false;
    for (bool escapes : { true, false }) {
        size_t end = scan(escapes, closed);
        if (closed) return end;
    }
    // A quote that is never closed runs to the end of the line.
    return std::string_view::npos;
}

bool UnclosedQuote(std::string_view text, size_t start)
{
    if (OperationEnd(text, start) != std::string_view::npos) return false;
    // Without a ';' outside quotes, a quoted text may still be open at the end.
    std::string closed = std::string(text.substr(start)) + ';';
    return OperationEnd(closed, 0) == std::string_view::npos;
}

EpdOperations ParseEpdOperations(std::string_view text, bool fromEpdFile, bool takeCounters)
{
    EpdOperations ops;
    std::vector<std::string_view> before, middle, after;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (isBlank(text[pos]) || text[pos] == ';')) ++pos;
        if (pos >= text.size()) break;
        size_t end = OperationEnd(text, pos);
        std::string_view op;
        if (end == std::string_view::npos) {
            // The last operation lacks its ';', or its quote is never closed: it runs to the end of the
            // line, without the blanks there and the ';' that ends it.
            op = text.substr(pos);
            op = op.substr(0, op.find_last_not_of(" \t") + 1);
            if (op.size() > 1 && op.back() == ';') op.remove_suffix(1);
            pos = text.size();
        } else {
            op = text.substr(pos, end - pos);
            pos = end + 1;
        }
        char first = op[0];
        char second = op.size() > 1 ? op[1] : '\0';
        std::string comment;
        if (first == 'c' && isDigit(second) && ops.opcode.empty() && commentText(op, fromEpdFile, comment)) {
            ops.opcode = std::string { first, second };
            ops.comment = std::move(comment);
        } else if (first == 'c' || first == 'd' || first == 'e') {
            middle.push_back(op);
        } else if (takeCounters && ops.fmvn.empty() && counterOperation(op, "fmvn", ops.fmvn)) {
        } else if (takeCounters && ops.hmvc.empty() && counterOperation(op, "hmvc", ops.hmvc)) {
        } else if (static_cast<unsigned char>(first) >= 'f' && static_cast<unsigned char>(first) <= 0x7F) {
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
        } else if (c == '\\' && (i + 1 == text.size() || text[i + 1] == '\\')) {
            // Read as escaping the closing quote or the next backslash, unless doubled.
            out += "\\\\";
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

std::string decode(std::string_view text, LoneEscape lone, bool backslashes)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (c == QuoteEscape) {
            out += '"';
        } else if (backslashes && c == '\\' && hasNext && (text[i + 1] == '"' || text[i + 1] == '\\')) {
            out += text[++i];
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
    return decode(text, epdFile ? LoneEscape::Blank : LoneEscape::LineBreak, true);
}

std::string UnescapeComment(std::string_view text)
{
    return decode(text, LoneEscape::Kept, false);
}

bool HasEscapes(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == QuoteEscape || c == LineBreakEscape
            || (c == '*' && i + 1 < text.size() && text[i + 1] == '*'))
            return true;
    }
    return false;
}
