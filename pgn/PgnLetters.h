#pragma once

#include <array>
#include <string>
#include <string_view>

// The piece letters in which PGN files and the import write their moves. Moves are played in the
// English letters; every other language is a set of five letters for knight, bishop, rook, queen
// and king, in that order.
namespace PgnLetters {

using LetterSet = std::array<char, 5>;

constexpr int SetCount = 16;
constexpr int EnglishSet = 5;
constexpr int UserSet = 16;
// Index 0 stands for "no set".
using SetTable = std::array<LetterSet, SetCount + 1>;

// The sixteen sets as the program starts; set 16 is the user's and reads "ZZZZZ" until he gives
// his own letters.
const SetTable& DefaultSets();

// The English letters "NBRQK".
constexpr LetterSet English { 'N', 'B', 'R', 'Q', 'K' };

// Index 0..4 of an English piece letter, or -1.
int EnglishIndex(char letter);
// Index 0..4 of a letter in a set, or -1.
int IndexInSet(const LetterSet& set, char letter);

// The languages of the import's "Display moves in:" list, in their order, and the set each uses;
// index 21 is the user's own language.
constexpr int LanguageCount = 21;
const char* LanguageName(int index);
int SetForLanguage(int index);

// A move of a game, as the interpreter keeps it in English letters ("Nf3", "exd8=Q+", "O-O-O"),
// written in the letters of `set`: the piece letter in front and the promotion letter after '='
// are exchanged, everything else is kept as it stands, so castling and squares never change.
std::string DisplayMove(std::string_view san, const LetterSet& set);

// The chess figurine (U+2654..U+265F, white and black king, queen, rook, bishop, knight, pawn) that
// begins at `at`: its length in bytes, and the English letter of the piece it draws ('P' for a pawn);
// 0 when none begins there. A figurine is read in UTF-8, and also in the form a UTF-8 file takes
// once it has been read as Windows-1252 and saved again as UTF-8 ("\xC3\xA2\xE2\x84\xA2" and the
// third byte's character).
size_t FigurineAt(std::string_view text, size_t at, char& piece);

} // namespace PgnLetters
