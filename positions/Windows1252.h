#pragma once

#include <optional>

// Windows-1252, the code page of every text the program keeps: in files, on the clipboard and in the
// string table. Bytes below 0x80 and from 0xA0 on are the characters of the same number.
namespace Windows1252 {

namespace Detail {
// The characters of the bytes 0x80..0x9F; 0 for the five bytes the code page leaves undefined.
constexpr char32_t high[32] = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
    0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };
}

// The character of a byte; 0 for the bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
constexpr char32_t CodePoint(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? Detail::high[byte - 0x80] : byte;
}

// The byte of a character, if the code page has one. An undefined byte stands for the control
// character of its own number, so that it comes back unchanged from a trip through Unicode.
constexpr std::optional<unsigned char> ByteOf(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character < 0x100))
        return static_cast<unsigned char>(character);
    if (character < 0xA0) {
        if (CodePoint(static_cast<unsigned char>(character)) != 0) return std::nullopt;
        return static_cast<unsigned char>(character);
    }
    for (int i = 0; i < 32; ++i)
        if (Detail::high[i] == character) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

} // namespace Windows1252
