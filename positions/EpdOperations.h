#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The operations of an EPD line, sorted into the places a DiagramRecord keeps them. Each group holds
// its operations verbatim, each followed by ';', in the order of their first characters.
struct EpdOperations {
    std::string before; // opcodes sorting before 'c': digits, capitals, 'a', 'b', punctuation, bytes >= 0x80
    std::string middle; // 'c' not followed by a digit, 'd', 'e'
    std::string after; // 'i' up to 0x7F
    std::string comment; // the text of the comment operation "c0".."c9", quotes and line breaks restored
    std::string opcode; // "c0".."c9", or empty when the line has no comment operation
    std::string fmvn; // digits of the fullmove operation
    std::string hmvc; // digits of the halfmove operation
};

// Sorts an operations text. 'g' operations are dropped, and so is a last operation without its ';'.
// In a file other than .epd a byte 0x87 and the character after it stand for a line break.
EpdOperations ParseEpdOperations(std::string_view text, bool fromEpdFile);

// The index of the ';' that ends the operation starting at `start`, or npos when there is none. A ';'
// between double quotes belongs to the quoted text; a quote that is never closed quotes nothing.
size_t OperationEnd(std::string_view text, size_t start);

// The bytes that stand for a double quote and a line break inside a quoted text of a file. 0x87 also
// introduces the bytes that would otherwise be read as something else: 0x87 followed by '*', 0xD5 or
// 0x87 stands for that byte itself. Any other byte after 0x87 keeps its old meaning (a line break, or a
// blank in an .epd file), so older files read as they always did.
constexpr char QuoteEscape = static_cast<char>(0xD5);
constexpr char LineBreakEscape = static_cast<char>(0x87);

// A comment's text as a file line carries it: quotes become 0xD5, line breaks "**" (two blanks in an
// .epd file), so that the line stays one line and the quoted text stays quoted; a '*' that would make
// "**" with what follows, and the bytes 0xD5 and 0x87 themselves, are written after 0x87.
std::string EscapeCommentForFile(std::string_view text, bool epdFile);
// The quoted text of a comment operation as the user typed it: the reverse of EscapeCommentForFile.
std::string DecodeCommentText(std::string_view text, bool epdFile);
// The display copy of a line's fields: 0xD5 back to a double quote, "**" back to CR LF, and the bytes
// written after 0x87 back to themselves.
std::string UnescapeComment(std::string_view text);
