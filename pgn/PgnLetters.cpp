#include "PgnLetters.h"

namespace PgnLetters {

namespace {

constexpr LetterSet set(const char (&letters)[6])
{
    return { letters[0], letters[1], letters[2], letters[3], letters[4] };
}

const SetTable defaultSets {
    set("ZZZZZ"), // no set
    set("RLTDK"), // 1: Afrikaans, Finnish
    set("SLTDK"), // 2: Croatian, Danish, German, Slavonic, Swedish
    set("JSVDK"), // 3: Czech
    set("PLTDK"), // 4: Dutch
    set("NBRQK"), // 5: English
    set("ROVLK"), // 6: Estonian
    set("CFTDR"), // 7: French
    set("HFSDK"), // 8: Frisian
    set("HFBVK"), // 9: Hungarian
    set("RBHDK"), // 10: Icelandic
    set("CATDR"), // 11: Italian, Spanish
    set("HLSDK"), // 12: Norwegian
    set("SGWHK"), // 13: Polish
    set("CBTDR"), // 14: Portuguese
    set("CNTDR"), // 15: Romanian
    set("ZZZZZ"), // 16: the user's
};

const char* const languageNames[LanguageCount] = { "Afrikaans", "Croatian", "Czech", "Danish", "Dutch",
    "English", "Estonian", "Finnish", "French", "Frisian", "German", "Hungarian", "Icelandic", "Italian",
    "Norwegian", "Polish", "Portuguese", "Romanian", "Slavonic", "Spanish", "Swedish" };

const int languageSets[LanguageCount + 1]
    = { 1, 2, 3, 2, 4, 5, 6, 1, 7, 8, 2, 9, 10, 11, 12, 13, 14, 15, 2, 11, 2, UserSet };

} // namespace

const SetTable& DefaultSets()
{
    return defaultSets;
}

int IndexInSet(const LetterSet& set, char letter)
{
    for (int i = 0; i < 5; ++i)
        if (set[i] == letter) return i;
    return -1;
}

int EnglishIndex(char letter)
{
    return IndexInSet(English, letter);
}

const char* LanguageName(int index)
{
    return index >= 0 && index < LanguageCount ? languageNames[index] : "";
}

int SetForLanguage(int index)
{
    return index >= 0 && index <= LanguageCount ? languageSets[index] : EnglishSet;
}

size_t FigurineAt(std::string_view text, size_t at, char& piece)
{
    // The figurines are E2 99 94..9F in UTF-8: white king, queen, rook, bishop, knight, pawn, then the
    // same in black.
    static constexpr char pieces[12] = { 'K', 'Q', 'R', 'B', 'N', 'P', 'K', 'Q', 'R', 'B', 'N', 'P' };
    if (at >= text.size()) return 0;
    auto at3 = [&](size_t i, std::string_view bytes) { return text.substr(i, bytes.size()) == bytes; };
    if (at3(at, "\xE2\x99") && at + 2 < text.size()) {
        const auto last = static_cast<unsigned char>(text[at + 2]);
        if (last >= 0x94 && last <= 0x9F) {
            piece = pieces[last - 0x94];
            return 3;
        }
        return 0;
    }
    // Read as Windows-1252, E2 99 is "\xC3\xA2" and "\xE2\x84\xA2"; the third byte is one of these.
    static constexpr std::string_view thirdBytes[12]
        = { "\xE2\x80\x9D", "\xE2\x80\xA2", "\xE2\x80\x93", "\xE2\x80\x94", "\xCB\x9C", "\xE2\x84\xA2",
              "\xC5\xA1", "\xE2\x80\xBA", "\xC5\x93", "\xC2\x9D", "\xC5\xBE", "\xC5\xB8" };
    constexpr std::string_view lead = "\xC3\xA2\xE2\x84\xA2";
    if (!at3(at, lead)) return 0;
    for (size_t k = 0; k < 12; ++k) {
        if (at3(at + lead.size(), thirdBytes[k])) {
            piece = pieces[k];
            return lead.size() + thirdBytes[k].size();
        }
    }
    return 0;
}

std::string DisplayMove(std::string_view san, const LetterSet& set)
{
    std::string move(san);
    if (move.empty()) return move;
    if (int piece = EnglishIndex(move[0]); piece >= 0) move[0] = set[piece];
    if (size_t equals = move.find('='); equals != std::string::npos && equals + 1 < move.size())
        if (int promoted = EnglishIndex(move[equals + 1]); promoted >= 0) move[equals + 1] = set[promoted];
    return move;
}

} // namespace PgnLetters
