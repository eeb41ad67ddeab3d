#pragma once

#include <QRawFont>
#include <QString>
#include <array>
#include <map>
#include <memory>
#include <string>

// A chess font opened for drawing board text. Board rows are bytes, and each byte is drawn with the
// glyph that the font's own byte-encoded character map gives it (the Macintosh Roman map these fonts
// carry, or a symbol map), not with the Unicode character of the byte: the fonts put their frame and
// coordinate glyphs at different code points above 0x7F, but always at the same bytes.
class ChessFontFace {
public:
    enum class ByteMap { MacRoman, Symbol, Unicode };

    // The installed font of this family (case is ignored), or null when there is none.
    static std::shared_ptr<const ChessFontFace> Find(const std::string& family);
    // Opens a font file directly; null when it cannot be read.
    static std::shared_ptr<const ChessFontFace> Open(const QString& path);
    // Makes a font file answer for a family name, ahead of the installed fonts (fonts of the program's
    // own and tests). An empty path removes the entry.
    static void RegisterFile(const std::string& family, const QString& path);
    // Forgets the fonts looked up so far (after fonts were installed or registered).
    static void ClearCache();
    // Whether the face is one of the chess-font table or registered: such faces are drawn byte by byte
    // in square cells.
    static bool IsChessFace(const std::string& face);

    const QString& FilePath() const { return path; }
    const QString& FamilyName() const { return family; }
    ByteMap Map() const { return byteMap; }
    // The glyph of a byte; 0 (the missing-glyph box) when the font has none.
    quint32 Glyph(unsigned char byte) const { return glyphs[byte]; }
    // Whether the font has a Unicode character map, the one word processors on Linux draw text through.
    bool HasUnicodeMap() const { return unicodeMap; }
    // The character that the Unicode map gives the glyph of a byte: the byte's own character in code
    // page 1252 when that reaches the glyph, else the lowest printable one that does; 0 when none does.
    uint32_t CodePoint(unsigned char byte) const { return codePoints[byte]; }
    // Font units: the em and the cell above and below the baseline, as the font gives them for
    // Windows (so a cell height of h pixels scales the font by h / (ascent + descent)).
    int UnitsPerEm() const { return unitsPerEm; }
    int CellAscent() const { return cellAscent; }
    int CellDescent() const { return cellDescent; }
    // The font at a pixel size (the em square in pixels); cached per size.
    QRawFont RawFont(double pixelSize) const;

private:
    bool Load(const QString& path);
    QString path;
    QString family;
    ByteMap byteMap = ByteMap::Unicode;
    std::array<quint32, 256> glyphs {};
    bool unicodeMap = false;
    std::array<uint32_t, 256> codePoints {};
    int unitsPerEm = 2048;
    int cellAscent = 2048;
    int cellDescent = 0;
    QByteArray data;
    mutable std::map<int, QRawFont> sizes; // key: pixel size in 1/64 pixels
};

// The fonts installed on the machine and for the user, as family and file.
struct InstalledFontFile {
    std::string family;
    std::string style;
    std::string file;
    bool userFont = false; // found in the user's own font folders
};
std::vector<InstalledFontFile> ListInstalledFontFiles();
