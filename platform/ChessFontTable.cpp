#include "ChessFontTable.h"

#include "ChessFont.h"
#include "Dc.h"
#include "Registry.h"
#include "Strings.h"
#include "positions/BoardLetters.h"
#include "res/StringIds.h"

#include <strings.h>

using namespace Win32;

std::array<bool, ChessFontCount> installedChessFonts {};

std::string ChessFontFaceName(int index)
{
    if (index < 0 || index >= ChessFontCount) return {};
    return LoadString(StringId::FirstChessFontName + static_cast<unsigned>(index));
}

int FontInEffect(int chosen)
{
    auto installed = [](int i) { return i >= 0 && i < ChessFontCount && installedChessFonts[size_t(i)]; };
    if (installed(chosen)) return chosen;
    if (installed(DefaultChessFont)) return DefaultChessFont;
    for (int i = 0; i < ChessFontCount; ++i)
        if (installed(i)) return i;
    return chosen;
}

void ScanInstalledChessFonts()
{
    installedChessFonts.fill(false);
    std::array<std::string, ChessFontCount> faces;
    for (int i = 0; i < ChessFontCount; ++i) faces[size_t(i)] = ChessFontFaceName(i);
    for (HKEY root : { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER }) {
        std::string name, data;
        // Value names are the face name followed by more, such as the type in brackets.
        for (LONG result = EnumRegValues(root, FontsKey, &name, &data); result == ERROR_SUCCESS;
             result = EnumRegValues(root, "", &name, &data))
            for (int i = 0; i < ChessFontCount; ++i) {
                const std::string& face = faces[size_t(i)];
                if (!face.empty() && strncasecmp(face.c_str(), name.c_str(), face.size()) == 0)
                    installedChessFonts[size_t(i)] = true;
            }
        EnumRegValues(root, nullptr, nullptr, nullptr);
    }
}

QImage ChessFontSample(int index)
{
    const std::string face = ChessFontFaceName(index);
    if (face.empty() || !ChessFontFace::Find(face)) return QImage(":/images/font_sample_none.png");
    QImage sample(64, 64, QImage::Format_RGB32);
    sample.fill(Qt::white);
    Dc dc(&sample);
    CFont font;
    font.CreateFont(32, 0, 0, 0, FW_NORMAL, false, false, false, index > 2 ? SYMBOL_CHARSET : ANSI_CHARSET,
        OUT_STROKE_PRECIS, 0, ANTIALIASED_QUALITY, 0x16, face);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    // A corner of a board: a white knight and a black queen on light squares, a black bishop and a
    // white rook on dark ones.
    const bool family2 = UsesLetterFamily2(index);
    using namespace BoardLetters;
    const std::string top { OnSquare(FontLetterForFen('N', family2), true),
        OnSquare(FontLetterForFen('b', family2), false) };
    const std::string bottom { OnSquare(FontLetterForFen('R', family2), false),
        OnSquare(FontLetterForFen('q', family2), true) };
    dc.TextOut(0, 0, top);
    dc.TextOut(0, 32, bottom);
    return sample;
}

std::string ChessFontCredit(int index)
{
    switch (index) {
    case 1:
        return LoadString(StringId::CasesFontCredit);
    case 2:
        return LoadString(StringId::FairyFontCredit);
    case 16:
    case 17:
        return LoadString(StringId::LetterFontsCredit);
    default:
        return LoadString(StringId::FreeFontCredit);
    }
}
