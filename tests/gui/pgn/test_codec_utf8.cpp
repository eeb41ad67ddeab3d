// The UTF-8 side of the codec: what a PGN file written in UTF-8 shows, and what the diagram list
// keeps of it in Windows-1252.
#include "platform/Codec.h"

#include <gtest/gtest.h>

TEST(Utf8Codec, ShowsUtf8AndReadsStrayBytesAsWindows1252)
{
    const struct {
        std::string bytes;
        QString shown;
    } cases[] = {
        { "M\xC3\xBCller", QString::fromUtf8("Müller") },
        { "\xD0\x9F\xD1\x80\xD0\xB8", QString::fromUtf8("При") },
        { "\xE2\x88\x93 \xF0\x9F\x98\x80", QString::fromUtf8("∓ 😀") },
        // Not UTF-8: each such byte is the Windows-1252 character it would be there.
        { "caf\xE9 \x80", QString::fromUtf8("café €") },
        { "\xC3", QString::fromUtf8("Ã") },
        { "\xED\xA0\x80", QString::fromUtf8("í\u00A0€") },
        { "", QString() },
    };
    for (const auto& c : cases) EXPECT_EQ(Codec::FromUtf8(c.bytes), c.shown) << c.bytes;
}

TEST(Utf8Codec, ConvertsToWindows1252WhereItCan)
{
    const struct {
        const char* utf8;
        std::string kept;
        const char* why;
    } cases[] = {
        { "Müller Åkesson café", "M\xFCller \xC5kesson caf\xE9", "letters of the code page" },
        { "„quoted” – … €", "\x84quoted\x94 \x96 \x85 \x80", "punctuation of the code page" },
        { "Dvořák Laznička Erdős", "Dvor\xE1k Laznicka Erdos", "accents the code page lacks are dropped" },
        { "Łódź Wojtaszek Radosław",
            "L\xF3"
            "dz Wojtaszek Radoslaw",
            "letters with a stroke lose it" },
        { "ǻ", "\xE5", "the accents the code page has are kept" },
        { "ﬁne", "fine", "a ligature is spelt out" },
        { "∓ ⩲ ⩱ −", "-+ += =+ -", "evaluation signs and the minus sign" },
        { "Привет 中文 😀", "?????? ?? ?", "every other character becomes '?'" },
        { "\xEF\xBB\xBFtext", "text", "a byte-order mark is no character" },
        { "caf\xE9", "caf\xE9", "a byte that is not UTF-8 stays" },
    };
    for (const auto& c : cases) EXPECT_EQ(Codec::Utf8ToWindows1252(c.utf8), c.kept) << c.why;
}

// Every byte of a file comes back unchanged from the screen, the five the code page leaves undefined
// included; characters the code page lacks are told apart and stored as '?'.
TEST(Windows1252Codec, EveryByteComesBackAndOnlyForeignCharactersAreUnstorable)
{
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const QString shown = Codec::ToQt(all);
    EXPECT_EQ(Codec::FromQt(shown), all);
    EXPECT_LT(Codec::FindUnstorable(shown).first, 0);
    EXPECT_EQ(Codec::ToQt("\x80\x9F\x81"), QString::fromUtf8("€Ÿ\u0081"));
    EXPECT_EQ(Codec::FromQt(QString::fromUtf8("€ ž \u0080 Ж")), "\x80 \x9E ? ?");
    const Codec::Unstorable found = Codec::FindUnstorable(QString::fromUtf8("ok Ж \u0080"));
    EXPECT_EQ(found.first, 3);
    EXPECT_EQ(found.characters, (std::vector<char32_t> { U'Ж', 0x80 }));
}
