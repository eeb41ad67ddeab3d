#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The operations of an EPD line, sorted into the places a DiagramRecord keeps them. Each group holds
// its operations verbatim, each followed by ';', in the order of their first characters.
struct EpdOperations {
    std::string before; // opcodes sorting before 'c': digits, capitals, 'a', 'b', punctuation, bytes >= 0x80
    std::string middle; // 'c' (other than the comment shown), 'd', 'e'
    std::string after; // 'f' up to 0x7F, other than the move counters taken
    std::string comment; // the text of the comment operation "c0".."c9", quotes and line breaks restored
    std::string opcode; // "c0".."c9", or empty when the line has no comment operation
    std::string fmvn; // digits of the fullmove operation
    std::string hmvc; // digits of the halfmove operation
};

// Sorts an operations text; every operation is kept. The first comment operation of the usual form
// (opcode, quoted text) is the diagram's comment, any other goes with the 'c' operations. The first
// "fmvn" and "hmvc" that hold digits give the move counters, unless takeCounters is false (the line gave
// them as fields): then they are kept as they stand like any other. A last operation without its ';'
// counts all the same. In a file other than .epd a byte 0x87 and the character after it stand for a
// line break.
EpdOperations ParseEpdOperations(std::string_view text, bool fromEpdFile, bool takeCounters = true);

// The index of the ';' that ends the operation starting at `start`, or npos when the text ends first.
// A ';' between double quotes belongs to the quoted text, where \" and \\ stand for a quote and a
// backslash, as other programs write them; a quote that is never closed that way is read without
// backslashes, and a quote that is never closed at all runs to the end of the text.
size_t OperationEnd(std::string_view text, size_t start);
// Whether the operations from `start` on end inside a quote that is never closed.
bool UnclosedQuote(std::string_view text, size_t start);

// The bytes that stand for a double quote and a line break inside a quoted text of a file. 0x87 also
// introduces the bytes that would otherwise be read as something else: 0x87 followed by '*', 0xD5 or
// 0x87 stands for that byte itself. Any other byte after 0x87 keeps its old meaning (a line break, or a
// blank in an .epd file), so older files read as they always did.
constexpr char QuoteEscape = static_cast<char>(0xD5);
constexpr char LineBreakEscape = static_cast<char>(0x87);

// A comment's text as a file line carries it: quotes become 0xD5, line breaks "**" (two blanks in an
// .epd file), so that the line stays one line and the quoted text stays quoted; a '*' that would make
// "**" with what follows, and the bytes 0xD5 and 0x87 themselves, are written after 0x87; a backslash
// that would be read as escaping the next one or the closing quote is doubled.
std::string EscapeCommentForFile(std::string_view text, bool epdFile);
// The quoted text of a comment operation as the user typed it: the reverse of EscapeCommentForFile. A
// backslash before a quote or a backslash stands for that character, as other programs write them.
std::string DecodeCommentText(std::string_view text, bool epdFile);
// The display copy of a line's fields: 0xD5 back to a double quote, "**" back to CR LF, and the bytes
// written after 0x87 back to themselves.
std::string UnescapeComment(std::string_view text);
// Whether UnescapeComment changes the text.
bool HasEscapes(std::string_view text);
