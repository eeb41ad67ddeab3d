#include "PgnTestSupport.h"

#include <gtest/gtest.h>

using PgnTest::Replay;

namespace {

// The game as read: the moves in English letters, each followed by its NAGs and its comment.
std::string summary(const CTraiteUnMot& interpreter)
{
    std::string text;
    for (const PlyNode& ply : interpreter.plies) {
        if (!text.empty()) text += ' ';
        text += ply.san;
        for (int32_t nag : ply.nags)
            if (nag) text += " $" + std::to_string(nag);
        if (!ply.comment.empty()) text += " {" + ply.comment + "}";
    }
    return text;
}

std::string read(std::string_view moves, bool comments = true)
{
    CTraiteUnMot interpreter;
    interpreter.importComments = comments ? 1 : 0;
    Replay(interpreter, "", moves);
    EXPECT_FALSE(interpreter.stopped) << moves << " stops at " << interpreter.stopMove;
    return summary(interpreter);
}

struct WordCase {
    const char* text;
    const char* read;
    const char* why;
};

const WordCase wordCases[] = {
    { "1. e4 e5 2. Nf3 Nc6 1-0", "e4 e5 Nf3 Nc6 { 1-0 }", "move numbers, moves, a result" },
    { "1.e4 e5 2.Nf3 2...Nc6", "e4 e5 Nf3 Nc6", "moves glued to their numbers" },
    { "1. e4 e5 0-1", "e4 e5 { 0-1 }", "Black wins" },
    { "1. e4 e5 1/2-1/2", "e4 e5 { 1/2-1/2 }", "a draw" },
    { "1. e4 e5 \xC2\xBD-\xC2\xBD", "e4 e5 { 1/2-1/2 }", "a draw in UTF-8 halves" },
    { "1. e4 e5 * 2. Nf3", "e4 e5", "'*' ends the game" },
    { "1. e4 e5 2. Nf3 1-0 {after the end} 2... Nc6", "e4 e5 Nf3 { 1-0 }", "nothing after the result" },
    { "1. e4 e5 [Event \"next\"] 2. Nf3", "e4 e5", "the next game's tags end the game" },
    { "1. e4 [%clk 0:01:00] e5", "e4 e5", "a bracketed command is passed over" },
    { "1. e4 (1. d4 d5 (1... Nf6 2. c4)) e5", "e4 e5", "nested variations are skipped" },
    { "1. e4 e5 2. Nf3 (2. f4 {the gambit} exf4) Nc6", "e4 e5 Nf3 Nc6", "a variation with a comment" },
    { "1. e4 (1. d4 {a ) b} d5) e5", "e4 e5", "a bracket inside a variation's comment" },
    { "1. e4 (1. d4 ; a line comment )\n d5) e5", "e4 e5", "a line comment inside a variation" },
    { "1. e4 {a (b} e5", "e4 {a (b} e5", "a comment keeps its brackets" },
    { "1. e4 {a} {b} e5", "e4 {a b} e5", "two comments on one move" },
    { "1. e4 {a {b} e5", "e4 {a {b} e5", "comments do not nest: the first '}' closes" },
    { "1. e4 e5 {x}Nf3", "e4 e5 {x} Nf3", "a move glued to a comment's end" },
    { "1. e4 e5 Nf3{x} Nc6", "e4 e5 Nf3 {x} Nc6", "a comment glued to a move" },
    { "1. e4 e5 {never closed Nf3 Nc6", "e4 e5 {never closed Nf3 Nc6}",
        "an open comment ends with the game" },
    { "{An introduction} 1. e4", "e4", "a comment before the first move has no ply" },
    { "1. e4 {[%clk 0:01:00]} e5", "e4 {[%clk 0:01:00]} e5", "a command in a comment is comment text" },
    { "1. e4 $1 $14 e5 $0 $256 $300", "e4 $1 $14 e5", "NAGs outside 1..255 are ignored" },
    { "$3 1. e4", "e4", "a NAG before the first move" },
    { "1. e4 $1 $2 $3 $4 $5 $6 $7 $8 $9", "e4 $1 $2 $3 $4 $5 $6 $7 $8", "at most eight NAGs a ply" },
    { "1. e4$1 e5", "e4 $1 e5", "a NAG glued to its move" },
    { "1. e4 ; Nf3 is not read\ne5", "e4 e5", "a line comment" },
    { "%an escape line Nf3\n1. e4", "e4", "an escape line" },
    { "1. e4 ! e5 !? 2. Nf3 +- Nc6 ... 3. Bb5 +-- a6 = 4. Ba4 \xC2\xB1 Nf6 +/- 5. O-O ---",
        "e4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 O-O", "stray marks are passed over" },
    { "1. e4 d5 2. e5 f5 3. exf6 e.p. Nxf6", "e4 d5 e5 f5 exf6 Nxf6", "a separate e.p. mark" },
    { "1. e4 e5 2. Nf3 Nf6 3. Bc4 Bc5 4. 0-0 0-0", "e4 e5 Nf3 Nf6 Bc4 Bc5 O-O O-O", "digit zeros castle" },
    { "1. d4 d5 2. Nc3 Nc6 3. Bf4 Bf5 4. Qd2 Qd7 5. 0-0-0 0-0-0+ 1-0",
        "d4 d5 Nc3 Nc6 Bf4 Bf5 Qd2 Qd7 O-O-O O-O-O+ { 1-0 }", "digit zeros castle long" },
    { "1. e4!? e5?! 2. Nf3!! Nc6??", "e4!? e5?! Nf3!! Nc6??", "marks glued to moves stay with them" },
    { "1. e4 e5 12 Nf3", "e4 e5 Nf3", "a number without its point" },
    { "1. e4 e5 2. \xE2\x99\x98"
      "f3 \xE2\x99\x9E"
      "c6 3.\xE2\x99\x97"
      "b5+ a6",
        "e4 e5 Nf3 Nc6 Bb5+ a6", "figurines, also glued to the move number" },
    { "1. e4 e5 2. \xC3\xA2\xE2\x84\xA2\xCB\x9C"
      "f3!",
        "e4 e5 Nf3!", "a figurine read as Windows-1252" },
    { "1. e4 1\xE2\x80\xA6 e5 2.\xC2\xA0Nf3 2\x85Nc6 3.\xA0"
      "Bb5",
        "e4 e5 Nf3 Nc6 Bb5", "ellipses and no-break spaces stand for points and blanks" },
    { "1. e4\xE2\x80\xBC e5 \xE2\xA9\xB2 2. Nf3\xE2\x80\xA0 \xE2\x86\x92 Nc6 \xB1", "e4 e5 Nf3 Nc6",
        "signs after a move or on their own are passed over" },
};

} // namespace

TEST(MoveReading, WordClasses)
{
    for (const WordCase& c : wordCases) EXPECT_EQ(read(c.text), c.read) << c.why << ": " << c.text;
}

TEST(MoveReading, CommentsAreKeptOnlyWhenAsked)
{
    EXPECT_EQ(read("1. e4 {kept?} e5 {no} 1-0", false), "e4 e5 { 1-0 }");
}

TEST(MoveReading, ReportsTheLineCommentAndTheGameEnd)
{
    CTraiteUnMot interpreter;
    interpreter.NewGame();
    EXPECT_EQ(interpreter.ContinueToken("1."), CTraiteUnMot::GoOn);
    EXPECT_EQ(interpreter.ContinueToken("e4"), CTraiteUnMot::GoOn);
    EXPECT_EQ(interpreter.ContinueToken(";"), CTraiteUnMot::SkipRestOfLine);
    EXPECT_EQ(interpreter.ContinueToken("{"), CTraiteUnMot::GoOn);
    EXPECT_EQ(interpreter.ContinueToken("1-0"), CTraiteUnMot::GoOn); // still inside the comment
    EXPECT_EQ(interpreter.ContinueToken("}"), CTraiteUnMot::GoOn);
    EXPECT_TRUE(interpreter.plies.empty()); // the replay waits for the game's end
    EXPECT_EQ(interpreter.ContinueToken("e5"), CTraiteUnMot::GoOn);
    EXPECT_EQ(interpreter.ContinueToken("1/2-1/2"), CTraiteUnMot::GameComplete);
    EXPECT_EQ(interpreter.plies.size(), 2u);
}

TEST(MoveReading, EvaluationSymbols)
{
    const struct {
        const char* word;
        uint32_t length;
    } cases[] = {
        { "=", 1 },
        { "=+", 1 },
        { "\xC2\xB1", 2 },
        { "\xE2\x88\x93", 3 },
        { "\xE2\x96\xA1", 3 },
        { "\xE2\x88", 0 },
        { "+-", 0 },
        { "", 0 },
        { "e4", 0 },
    };
    for (const auto& c : cases) EXPECT_EQ(EvaluationSymbol(c.word), c.length) << c.word;
}

TEST(MoveReading, LongWordsAndGamesHaveNoLimit)
{
    std::string comment(20000, 'c');
    std::string moves = "1. e4 {" + comment + "} e5 " + std::string(300, '!') + " 2. Nf3";
    CTraiteUnMot interpreter;
    interpreter.importComments = 1;
    Replay(interpreter, "", moves);
    ASSERT_EQ(interpreter.plies.size(), 3u);
    // What a ply keeps of its comment is bounded, and far more than a diagram's text shows.
    EXPECT_EQ(interpreter.plies[0].comment, comment.substr(0, PgnLimits {}.maxCommentBytes));

    // A long game: two hundred knight moves back and forth.
    std::string game;
    for (int i = 1; i <= 100; ++i)
        game += std::to_string(2 * i - 1) + ". Nf3 Nf6 " + std::to_string(2 * i) + ". Ng1 Ng8 ";
    Replay(interpreter, "", game);
    EXPECT_EQ(interpreter.plies.size(), 400u);
    EXPECT_EQ(interpreter.plies.back().halfmoveClock, "400");
    EXPECT_EQ(interpreter.plies.back().fullmoveNumber, 201u);

    // A word far longer than any move is no move: its start names it.
    Replay(interpreter, "", "1. e4 " + std::string(100, 'N'));
    EXPECT_TRUE(interpreter.stopped);
    EXPECT_EQ(interpreter.plies.size(), 1u);
    EXPECT_EQ(interpreter.stopMove, std::string(CTraiteUnMot::MaxMoveBytes, 'N') + "\xE2\x80\xA6");
    // Even when it begins as a move does.
    Replay(interpreter, "", "1. e4 e5 2. Nf3" + std::string(80, '!') + "x");
    EXPECT_TRUE(interpreter.stopped);
    EXPECT_EQ(interpreter.plies.size(), 2u);
}

TEST(MoveReading, APlyKeepsABoundedPartOfItsComments)
{
    CTraiteUnMot interpreter;
    interpreter.importComments = 1;
    interpreter.maxCommentBytes = 16;
    // The comments after one move share the bound; a character of UTF-8 is never cut; the next move
    // has a bound of its own; the result still ends the last comment.
    Replay(interpreter, "",
        "1. e4 {first comment} $1 {second one} e5 {abcdefghijklmno\xC3\xBCxyz} 2. Nf3 {"
            + std::string(100, 'x') + "} 1-0");
    ASSERT_EQ(interpreter.plies.size(), 3u);
    EXPECT_EQ(interpreter.plies[0].comment, "first comment se");
    EXPECT_EQ(interpreter.plies[0].nags[0], 1);
    EXPECT_EQ(interpreter.plies[1].comment, "abcdefghijklmno");
    EXPECT_EQ(interpreter.plies[2].comment, std::string(16, 'x') + " 1-0 ");
}
