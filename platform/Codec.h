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
