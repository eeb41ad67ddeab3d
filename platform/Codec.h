#pragma once

#include <QString>
#include <string>
#include <vector>

// Texts of files, the string table and the clipboard are Windows-1252 bytes; Qt wants Unicode.
namespace Codec {
QString ToQt(const std::string& bytes);
// Characters without a Windows-1252 byte become '?'; texts a user types go through Unstorable first.
std::string FromQt(const QString& text);

// Where text holds characters that Windows-1252 cannot store: the first one's position and length
// (in QString units, 2 for a character beyond the BMP), and each such character once, in order.
struct Unstorable {
    qsizetype first = -1;
    qsizetype length = 0;
    std::vector<char32_t> characters;
    bool Any() const { return first >= 0; }
};
Unstorable FindUnstorable(const QString& text);
}

// UTF-8 texts, such as the tags and comments of a PGN file written as UTF-8.
namespace Codec {
// Decodes UTF-8; a byte that begins no UTF-8 character is read as Windows-1252, so a file that mixes
// the two still shows every character it can.
QString FromUtf8(const std::string& bytes);
// UTF-8 to the Windows-1252 bytes the diagram list keeps. A letter that the code page lacks loses
// its accent or stroke (č c, ő o, ł l), a character that decomposes into code-page characters is
// written so (the ligature ﬁ as fi), the evaluation signs ∓ ⩲ ⩱ become -+ += =+ and the minus sign -;
// every other character becomes '?', as Windows writes characters it cannot convert.
std::string Utf8ToWindows1252(const std::string& bytes);
} // namespace Codec
