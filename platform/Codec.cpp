#include "Codec.h"

#include "pgn/Utf8Text.h"
#include "positions/Windows1252.h"

#include <algorithm>

namespace {
// A byte the code page leaves undefined is shown as the control character of its number.
QChar CharacterOf(unsigned char byte)
{
    const char32_t u = Windows1252::CodePoint(byte);
    return QChar(char16_t(u != 0 ? u : byte));
}
}

namespace Codec {

QString ToQt(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char c : bytes) text.append(CharacterOf(c));
    return text;
}

namespace {
bool Storable(char32_t u)
{
    return Windows1252::ByteOf(u).has_value();
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
    for (QChar ch : text) bytes.push_back(static_cast<char>(Windows1252::ByteOf(ch.unicode()).value_or('?')));
    return bytes;
}

} // namespace Codec

namespace {

// The code point of a UTF-8 character at `at` and its length, or a length of 0 when none begins there.
char32_t decodeUtf8(const std::string& bytes, size_t at, size_t& length)
{
    length = Utf8CharacterLength(bytes, at);
    if (length == 0) return 0;
    const unsigned char lead = static_cast<unsigned char>(bytes[at]);
    char32_t code = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (size_t k = 1; k < length; ++k)
        code = (code << 6) | (static_cast<unsigned char>(bytes[at + k]) & 0x3F);
    return code;
}

// The Windows-1252 byte of a character, or 0 when the code page has none.
char windows1252Byte(char32_t u)
{
    if (u == 0 || (u >= 0x80 && u < 0xA0)) return 0;
    return static_cast<char>(Windows1252::ByteOf(u).value_or(0));
}

// What Windows-1252 can keep of a character it lacks, or nothing.
std::string nearestWindows1252(char32_t u)
{
    // Letters with a stroke, which have no decomposition, and the signs chess texts use.
    static const struct {
        char32_t code;
        const char* text;
    } nearest[] = { { 0x0141, "L" }, { 0x0142, "l" }, { 0x0110, "D" }, { 0x0111, "d" }, { 0x0126, "H" },
        { 0x0127, "h" }, { 0x0131, "i" }, { 0x0166, "T" }, { 0x0167, "t" }, { 0x2212, "-" }, { 0x2213, "-+" },
        { 0x2A72, "+=" }, { 0x2A71, "=+" } };
    for (const auto& n : nearest)
        if (n.code == u) return n.text;
    const QString text = QString::fromUcs4(&u, 1);
    if (text.size() != 1) return {};
    const QChar ch = text[0];
    const QString parts = ch.decomposition();
    if (parts.isEmpty()) return {};
    if (ch.decompositionTag() == QChar::Canonical) {
        // A letter and its accents: the letter alone, or with the accents the code page has (ǻ å).
        const char32_t base = parts[0].unicode();
        if (char b = windows1252Byte(base)) return std::string(1, b);
        return nearestWindows1252(base);
    }
    std::string out;
    for (QChar c : parts) {
        char b = windows1252Byte(c.unicode());
        if (!b) return {};
        out += b;
    }
    return out;
}

} // namespace

namespace Codec {

QString FromUtf8(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            text.append(QChar(char16_t(c)));
            ++i;
            continue;
        }
        size_t length = 0;
        char32_t code = decodeUtf8(bytes, i, length);
        if (length == 0) {
            text.append(CharacterOf(c));
            ++i;
            continue;
        }
        text.append(QString::fromUcs4(&code, 1));
        i += length;
    }
    return text;
}

std::string Utf8ToWindows1252(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        size_t length = 0;
        char32_t code = decodeUtf8(bytes, i, length);
        if (length == 0) {
            // Not UTF-8: the byte is taken to be Windows-1252 already.
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        i += length;
        // A byte-order mark is no character of the text.
        if (code == 0xFEFF) continue;
        if (char b = windows1252Byte(code)) {
            out += b;
            continue;
        }
        std::string nearest = nearestWindows1252(code);
        out += nearest.empty() ? std::string("?") : nearest;
    }
    return out;
}

} // namespace Codec
