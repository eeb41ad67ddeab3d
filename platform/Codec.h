#pragma once

#include <QString>
#include <string>

// Texts of files, the string table and the clipboard are Windows-1252 bytes; Qt wants Unicode.
namespace Codec {
QString ToQt(const std::string& bytes);
std::string FromQt(const QString& text);
}
