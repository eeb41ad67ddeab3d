#include "PgnTestSupport.h"

#include "pgn/PgnLetters.h"

#include <gtest/gtest.h>

using PgnLetters::DisplayMove;
using PgnTest::Replay;

namespace {

PgnLetters::LetterSet letters(const char (&five)[6])
{
    return { five[0], five[1], five[2], five[3], five[4] };
}

std::vector<std::string> displayed(const CTraiteUnMot& interpreter)
{
    std::vector<std::string> moves;
    for (const PlyNode& ply : interpreter.plies) moves.push_back(ply.move);
    return moves;
}

} // namespace

TEST(PieceLetters, DisplayRendersTheSanInOtherLetters)
{
    const struct {
        const char* san;
        const char* set;
        const char* shown;
    } cases[] = {
        { "Nf3", "SLTDK", "Sf3" },
        { "Kxe2+", "CFTDR", "Rxe2+" },
        { "exd8=Q+", "CFTDR", "exd8=D+" },
        { "Rae1", "HFBVK", "Bae1" },
        { "e4", "SLTDK", "e4" },
        // Castling and squares never change, whatever letters the user chose.
        { "O-O", "OOOOO", "O-O" },
        { "O-O-O", "ROVLK", "O-O-O" },
        { "Bb5", "ROVLK", "Ob5" },
        { "Qd1", "abcde", "dd1" },
    };
    for (const auto& c : cases) {
        PgnLetters::LetterSet set {};
        for (int i = 0; i < 5; ++i) set[i] = c.set[i];
        EXPECT_EQ(DisplayMove(c.san, set), c.shown) << c.san << " in " << c.set;
    }
}

TEST(PieceLetters, LanguagesAndTheirSets)
{
    const struct {
        const char* name;
        int set;
    } languages[] = {
        { "Afrikaans", 1 },
        { "Croatian", 2 },
        { "Czech", 3 },
        { "Danish", 2 },
        { "Dutch", 4 },
        { "English", 5 },
        { "Estonian", 6 },
        { "Finnish", 1 },
        { "French", 7 },
        { "Frisian", 8 },
        { "German", 2 },
        { "Hungarian", 9 },
        { "Icelandic", 10 },
        { "Italian", 11 },
        { "Norwegian", 12 },
        { "Polish", 13 },
        { "Portuguese", 14 },
        { "Romanian", 15 },
        { "Slavonic", 2 },
        { "Spanish", 11 },
        { "Swedish", 2 },
    };
    ASSERT_EQ(std::size(languages), static_cast<size_t>(PgnLetters::LanguageCount));
    for (int i = 0; i < PgnLetters::LanguageCount; ++i) {
        EXPECT_STREQ(PgnLetters::LanguageName(i), languages[i].name);
        EXPECT_EQ(PgnLetters::SetForLanguage(i), languages[i].set) << languages[i].name;
    }
    EXPECT_EQ(PgnLetters::SetForLanguage(21), PgnLetters::UserSet);
    EXPECT_EQ(PgnLetters::DefaultSets()[2], letters("SLTDK"));
    EXPECT_EQ(PgnLetters::DefaultSets()[7], letters("CFTDR"));
    EXPECT_EQ(PgnLetters::DefaultSets()[16], letters("ZZZZZ"));
}

TEST(PieceLetters, PliesAreShownInTheDisplaySet)
{
    const char* const french = "1. e4 e5 2. Cf3 Cc6 3. Fb5 a6 4. O-O Cf6";
    CTraiteUnMot interpreter;
    Replay(interpreter, "r3k3/4P3/8/8/8/8/8/4K2R w K - 0 1", "1. O-O Kd7 2. Kh1 Kxe7 3. Rf2 Ke6 4. Rf8");
    interpreter.SetDisplaySet(2);
    EXPECT_EQ(displayed(interpreter),
        (std::vector<std::string> { "O-O", "Kd7", "Kh1", "Kxe7", "Tf2", "Ke6", "Tf8" }));
    interpreter.SetDisplaySet(6);
    EXPECT_EQ(displayed(interpreter),
        (std::vector<std::string> { "O-O", "Kd7", "Kh1", "Kxe7", "Vf2", "Ke6", "Vf8" }));
    interpreter.SetDisplaySet(5);
    EXPECT_EQ(displayed(interpreter),
        (std::vector<std::string> { "O-O", "Kd7", "Kh1", "Kxe7", "Rf2", "Ke6", "Rf8" }));

    // A French file shown in English letters, and the user's own letters.
    Replay(interpreter, "", french, 7);
    ASSERT_EQ(interpreter.plies.size(), 8u);
    EXPECT_EQ(interpreter.plies[2].move, "Nf3");
    interpreter.SetUserLetters("CFTDR");
    interpreter.SetDisplaySet(PgnLetters::UserSet);
    EXPECT_EQ(interpreter.plies[2].move, "Cf3");
    EXPECT_EQ(interpreter.plies[6].move, "O-O");
    // Later games keep the chosen letters.
    interpreter.SetUserLetters("12345");
    interpreter.SetDisplaySet(PgnLetters::UserSet);
    Replay(interpreter, "", "1. Nf3 Nf6 2. Rg1", 5);
    EXPECT_EQ(displayed(interpreter), (std::vector<std::string> { "1f3", "1f6", "3g1" }));
}
