#pragma once

#include <optional>
#include <string>
#include <vector>

// The clipboard with the three forms the program exchanges: "Rich Text Format", text (CF_TEXT, our
// Windows-1252 bytes) and a device-independent bitmap (the packed DIB bytes).
namespace Clipboard {

// Replaces the clipboard's content; empty forms are left out. Returns false when the clipboard cannot
// be used. A tag travels with the forms, so the program can tell later whether the clipboard still holds
// what it put there: whoever puts something else there (another program included) drops it.
bool SetData(const std::string& text, const std::string& rtf = {}, const std::vector<unsigned char>& dib = {},
    const std::string& tag = {});
// The tag of the clipboard's content; empty when it carries none.
std::string Tag();
// The text form, as bytes; none when the clipboard holds no text.
std::optional<std::string> GetText();
std::optional<std::string> GetRtf();
std::optional<std::vector<unsigned char>> GetDib();
bool HasText();

} // namespace Clipboard
