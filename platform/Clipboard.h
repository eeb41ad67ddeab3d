#pragma once

#include <optional>
#include <string>
#include <vector>

// The clipboard with the three forms the program exchanges: "Rich Text Format", text (CF_TEXT, our
// Windows-1252 bytes) and a device-independent bitmap (the packed DIB bytes).
namespace Clipboard {

// Replaces the clipboard's content; empty forms are left out. Returns false when the clipboard cannot
// be used.
bool SetData(
    const std::string& text, const std::string& rtf = {}, const std::vector<unsigned char>& dib = {});
// The text form, as bytes; none when the clipboard holds no text.
std::optional<std::string> GetText();
std::optional<std::string> GetRtf();
std::optional<std::vector<unsigned char>> GetDib();
bool HasText();

} // namespace Clipboard
