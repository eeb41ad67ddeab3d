#include "ChessFont.h"

#include "Codec.h"
#include "Strings.h"
#include "res/StringIds.h"

#include <QDir>
#include <QFile>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <set>

namespace {

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct Registry {
    std::map<std::string, QString> files; // lower-case family -> file
    std::map<std::string, std::shared_ptr<const ChessFontFace>> found; // lower-case family -> face or null
};

// Never destroyed: the faces hold Qt font engines, and a program that loses its X connection is ended
// by Qt's exit() with the application still alive, when freeing them would touch Qt's font state as it
// goes. The process's end frees the memory.
Registry& Fonts()
{
    static Registry* registry = new Registry;
    return *registry;
}

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        FT_Init_FreeType(&lib);
        return lib;
    }();
    return library;
}

// The folders whose fonts belong to the user rather than to the machine.
QStringList UserFontFolders()
{
    QStringList folders;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty()) data = QDir::homePath() + "/.local/share";
    folders << QDir::cleanPath(data + "/fonts") << QDir::cleanPath(QDir::homePath() + "/.fonts");
    return folders;
}

QString FontconfigFile(const std::string& family)
{
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    QString best;
    const std::string wanted = Lower(family);
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
            FcChar8* name = nullptr;
            for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &name) == FcResultMatch; ++n) {
                if (Lower(reinterpret_cast<const char*>(name)) != wanted) continue;
                FcChar8* style = nullptr;
                bool regular = FcPatternGetString(set->fonts[i], FC_STYLE, 0, &style) != FcResultMatch
                    || Lower(reinterpret_cast<const char*>(style)) == "regular";
                if (best.isEmpty() || regular) best = QString::fromUtf8(reinterpret_cast<const char*>(file));
                break;
            }
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return best;
}

} // namespace

bool ChessFontFace::Load(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return false;
    data = in.readAll();
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(Library(), reinterpret_cast<const FT_Byte*>(data.constData()),
            static_cast<FT_Long>(data.size()), 0, &face)
        != 0)
        return false;
    path = file;
    family = QString::fromUtf8(face->family_name ? face->family_name : "");
    unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    cellAscent = face->ascender;
    cellDescent = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        // Some fonts store a negative descent in this unsigned field; it then counts as none.
        int ascent = os2->usWinAscent, descent = os2->usWinDescent <= 0x7FFF ? os2->usWinDescent : 0;
        if (ascent + descent > 0) {
            cellAscent = ascent;
            cellDescent = descent;
        }
    }
    if (cellAscent + cellDescent <= 0) {
        cellAscent = unitsPerEm;
        cellDescent = 0;
    }

    FT_CharMap mac = nullptr, symbol = nullptr, unicode = nullptr;
    for (int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap map = face->charmaps[i];
        if (map->platform_id == 1 && map->encoding_id == 0) mac = map;
        if (map->platform_id == 3 && map->encoding_id == 0) symbol = map;
        if (map->encoding == FT_ENCODING_UNICODE && !unicode) unicode = map;
    }
    glyphs.fill(0);
    if (mac && FT_Set_Charmap(face, mac) == 0) {
        byteMap = ByteMap::MacRoman;
        for (int b = 0; b < 256; ++b) glyphs[b] = FT_Get_Char_Index(face, static_cast<FT_ULong>(b));
    } else if (symbol && FT_Set_Charmap(face, symbol) == 0) {
        byteMap = ByteMap::Symbol;
        for (int b = 0; b < 256; ++b) {
            FT_UInt g = FT_Get_Char_Index(face, 0xF000u + static_cast<FT_ULong>(b));
            glyphs[b] = g ? g : FT_Get_Char_Index(face, static_cast<FT_ULong>(b));
        }
    } else if (unicode && FT_Set_Charmap(face, unicode) == 0) {
        byteMap = ByteMap::Unicode;
        for (int b = 0; b < 256; ++b) {
            QString ch = Codec::ToQt(std::string(1, static_cast<char>(b)));
            glyphs[b] = FT_Get_Char_Index(face, ch.isEmpty() ? 0 : ch.at(0).unicode());
        }
    }
    codePoints.fill(0);
    unicodeMap = unicode && FT_Set_Charmap(face, unicode) == 0;
    if (unicodeMap) {
        std::map<FT_UInt, uint32_t> lowest; // glyph -> its lowest printable character
        FT_UInt glyph = 0;
        for (FT_ULong code = FT_Get_First_Char(face, &glyph); glyph != 0;
             code = FT_Get_Next_Char(face, code, &glyph)) {
            // Control characters would be taken for line ends or nothing; only the first plane is written
            // in one escape.
            if (code < 0x20 || (code >= 0x7F && code < 0xA0) || code > 0xFFFF) continue;
            lowest.emplace(glyph, uint32_t(code));
        }
        for (int b = 0; b < 256; ++b) {
            if (!glyphs[b]) continue;
            QString ch = Codec::ToQt(std::string(1, static_cast<char>(b)));
            const uint32_t own = ch.isEmpty() ? 0 : ch.at(0).unicode();
            const bool printable = own >= 0x20 && !(own >= 0x7F && own < 0xA0);
            if (printable && FT_Get_Char_Index(face, own) == glyphs[b]) {
                codePoints[b] = own;
            } else if (auto it = lowest.find(glyphs[b]); it != lowest.end()) {
                codePoints[b] = it->second;
            }
        }
    }
    FT_Done_Face(face);
    return true;
}

QRawFont ChessFontFace::RawFont(double pixelSize) const
{
    int key = static_cast<int>(std::lround(pixelSize * 64));
    auto it = sizes.find(key);
    if (it != sizes.end()) return it->second;
    QRawFont font(data, pixelSize, QFont::PreferDefaultHinting);
    sizes.emplace(key, font);
    return font;
}

std::shared_ptr<const ChessFontFace> ChessFontFace::Open(const QString& file)
{
    auto face = std::make_shared<ChessFontFace>();
    if (!face->Load(file)) return nullptr;
    return face;
}

std::shared_ptr<const ChessFontFace> ChessFontFace::Find(const std::string& familyName)
{
    Registry& fonts = Fonts();
    const std::string key = Lower(familyName);
    if (auto it = fonts.found.find(key); it != fonts.found.end()) return it->second;
    QString file;
    if (auto it = fonts.files.find(key); it != fonts.files.end()) file = it->second;
    if (file.isEmpty()) file = FontconfigFile(familyName);
    std::shared_ptr<const ChessFontFace> face = file.isEmpty() ? nullptr : Open(file);
    fonts.found[key] = face;
    return face;
}

void ChessFontFace::RegisterFile(const std::string& familyName, const QString& file)
{
    Registry& fonts = Fonts();
    const std::string key = Lower(familyName);
    if (file.isEmpty())
        fonts.files.erase(key);
    else
        fonts.files[key] = file;
    fonts.found.erase(key);
}

void ChessFontFace::ClearCache()
{
    Fonts().found.clear();
}

bool ChessFontFace::IsChessFace(const std::string& face)
{
    const std::string key = Lower(face);
    if (key.empty()) return false;
    if (Fonts().files.count(key)) return true;
    static const std::set<std::string> table = [] {
        std::set<std::string> names;
        for (unsigned id = StringId::FirstChessFontName; id <= StringId::LastChessFontName; ++id)
            names.insert(Lower(LoadString(id)));
        return names;
    }();
    return table.count(key) != 0;
}

std::vector<InstalledFontFile> ListInstalledFontFiles()
{
    std::vector<InstalledFontFile> list;
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    const QStringList userFolders = UserFontFolders();
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8 *family = nullptr, *style = nullptr, *file = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) continue;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
            FcPatternGetString(set->fonts[i], FC_STYLE, 0, &style);
            InstalledFontFile entry;
            entry.family = Codec::FromQt(QString::fromUtf8(reinterpret_cast<const char*>(family)));
            entry.style = style ? Codec::FromQt(QString::fromUtf8(reinterpret_cast<const char*>(style))) : "";
            QString path = QString::fromUtf8(reinterpret_cast<const char*>(file));
            entry.file = path.toStdString();
            for (const QString& folder : userFolders)
                if (path.startsWith(folder + "/")) entry.userFont = true;
            list.push_back(std::move(entry));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return list;
}
