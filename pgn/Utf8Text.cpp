#include "Utf8Text.h"

bool Utf8Lead(unsigned char lead, size_t& continuations, unsigned char& low, unsigned char& high)
{
    low = 0x80;
    high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        if (lead == 0xE0) low = 0xA0; // no overlong forms
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        if (lead == 0xF0) low = 0x90; // no overlong forms
        if (lead == 0xF4) high = 0x8F; // nothing above U+10FFFF
    } else {
        continuations = 0;
        return false;
    }
    return true;
}

size_t Utf8CharacterLength(std::string_view text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    size_t need = 0;
    unsigned char low = 0;
    unsigned char high = 0;
    if (at >= text.size() || !Utf8Lead(byte(at), need, low, high)) return 0;
    for (size_t k = 1; k <= need; ++k) {
        if (at + k >= text.size() || byte(at + k) < low || byte(at + k) > high) return 0;
        low = 0x80;
        high = 0xBF;
    }
    return need + 1;
}

size_t ShownWidth(std::string_view text)
{
    unsigned char all = 0;
    for (char c : text) all |= static_cast<unsigned char>(c);
    if (all < 0x80) return text.size();
    size_t width = 0;
    for (size_t i = 0; i < text.size(); ++width) {
        size_t length = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : Utf8CharacterLength(text, i);
        i += length ? length : 1;
    }
    return width;
}
