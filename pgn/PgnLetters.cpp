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
