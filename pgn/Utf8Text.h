#pragma once

#include <cstddef>
#include <string_view>

// PGN files are often written in UTF-8, while the diagram list keeps Windows-1252.

// What a UTF-8 lead byte asks of the bytes after it: how many continuation bytes follow, and the
// range of the first of them (the others lie in 80..BF); false for a byte that leads no character.
bool Utf8Lead(unsigned char lead, size_t& continuations, unsigned char& low, unsigned char& high);

// The length (2 to 4) of the UTF-8 character that begins at `at`, or 0 when none does: no lead
// byte, a missing or wrong continuation byte, an overlong form, a surrogate or a code point above
// U+10FFFF. ASCII bytes are no UTF-8 characters of their own here, and give 0 too.
size_t Utf8CharacterLength(std::string_view text, size_t at);

// The characters a text shows: a UTF-8 character is one, and so is every other byte.
size_t ShownWidth(std::string_view text);
