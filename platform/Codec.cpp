#include "Codec.h"

#include <algorithm>

namespace {
// Windows-1252 bytes 0x80..0x9F; the rest of the code page coincides with Latin-1.
constexpr char16_t high[32] = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };
}

namespace Codec {

QString ToQt(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char c : bytes) text.append(QChar(c >= 0x80 && c < 0xA0 ? high[c - 0x80] : char16_t(c)));
    return text;
}

namespace {
bool Storable(char32_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return true;
    for (char16_t h : high)
        if (h == u) return true;
    return false;
}
}

Unstorable FindUnstorable(const QString& text)
{
    Unstorable found;
    for (qsizetype i = 0; i < text.size();) {
        const QChar ch = text[i];
        qsizetype length = 1;
        char32_t u = ch.unicode();
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            u = QChar::surrogateToUcs4(ch, text[i + 1]);
            length = 2;
        }
        if (!Storable(u)) {
            if (found.first < 0) {
                found.first = i;
                found.length = length;
            }
            if (std::find(found.characters.begin(), found.characters.end(), u) == found.characters.end())
                found.characters.push_back(u);
        }
        i += length;
    }
    return found;
}

std::string FromQt(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            bytes.push_back(static_cast<char>(u));
            continue;
        }
        char out = '?';
        for (int i = 0; i < 32; ++i)
            if (high[i] == u) out = static_cast<char>(0x80 + i);
        bytes.push_back(out);
    }
    return bytes;
}

} // namespace Codec
