#include "BoardLetters.h"

#include <cctype>
#include <cstring>

namespace BoardLetters {

namespace {
    // Light-square letters in the order P N B R Q K.
    constexpr char whiteFamily1[] = "pnbrqk";
    constexpr char whiteFamily2[] = "phbrqk";
    constexpr char blackFamily1[] = "omvtwl";
    constexpr char blackFamily2[] = "ojntwl";
    constexpr char fenOrder[] = "PNBRQK";

    constexpr const char* startFamily1[8] = { "$tMvWlVmT%", "$OoOoOoOo%", nullptr, nullptr, nullptr, nullptr,
        "$pPpPpPpP%", "$RnBqKbNr%" };
    constexpr const char* startFamily2[8] = { "4tJnWlNjT5", "4OoOoOoOo5", nullptr, nullptr, nullptr, nullptr,
        "4pPpPpPpP5", "4RhBqKbHr5" };
}

char LeftBorder(bool family2) { return family2 ? '4' : '$'; }
char RightBorder(bool family2) { return family2 ? '5' : '%'; }

std::string TopFrameRow(bool family2)
{
    return family2 ? "1222222223" : "!\"\"\"\"\"\"\"\"#";
}

std::string BottomFrameRow(bool family2, bool berlin, bool fileLetters, bool flipped)
{
    if (family2 && berlin) return "7888888889";
    std::string row = family2 ? "6777777778" : "/(((((((()";
    if (fileLetters) {
        const int a = family2 ? 0xC8 : 0xE8;
        for (int i = 0; i < 8; ++i) row[size_t(i + 1)] = static_cast<char>(flipped ? a + 7 - i : a + i);
    }
    return row;
}

char FontLetterForFen(char fen, bool family2)
{
    const char* p = std::strchr(fenOrder, std::toupper(static_cast<unsigned char>(fen)));
    if (fen == 0 || p == nullptr) return 0;
    int index = static_cast<int>(p - fenOrder);
    bool white = std::isupper(static_cast<unsigned char>(fen));
    if (white) return family2 ? whiteFamily2[index] : whiteFamily1[index];
    return family2 ? blackFamily2[index] : blackFamily1[index];
}

char FenLetterForFont(char font, bool family2)
{
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(font)));
    if (lower == 0) return 0;
    const char* white = family2 ? whiteFamily2 : whiteFamily1;
    const char* black = family2 ? blackFamily2 : blackFamily1;
    if (const char* p = std::strchr(white, lower)) return fenOrder[p - white];
    if (const char* p = std::strchr(black, lower))
        return static_cast<char>(std::tolower(static_cast<unsigned char>(fenOrder[p - black])));
    return 0;
}

char OnSquare(char lightLetter, bool light)
{
    if (lightLetter == ' ' || lightLetter == '+') return light ? ' ' : '+';
    unsigned char c = static_cast<unsigned char>(lightLetter);
    return static_cast<char>(light ? std::tolower(c) : std::toupper(c));
}

char ConvertLetter(char c, bool toFamily2)
{
    switch (c) {
    case '$': return '4';
    case '%': return '5';
    case '4': return '$';
    case '5': return '%';
    case 'H':
    case 'V': return 'N';
    case 'h':
    case 'v': return 'n';
    case 'N': return toFamily2 ? 'H' : 'V';
    case 'n': return toFamily2 ? 'h' : 'v';
    case 'M': return 'J';
    case 'm': return 'j';
    case 'J': return 'M';
    case 'j': return 'm';
    default: return c;
    }
}

const char* StartRow(int row, bool family2) { return family2 ? startFamily2[row] : startFamily1[row]; }

FontBoard EmptyBoard(bool family2)
{
    FontBoard board {};
    for (int row = 0; row < 8; ++row) {
        board[row][0] = LeftBorder(family2);
        for (int cell = 1; cell <= 8; ++cell) board[row][cell] = EmptySquare(row, cell);
        board[row][9] = RightBorder(family2);
        board[row][10] = 0;
        board[row][11] = 0;
    }
    return board;
}

void ConvertBoard(FontBoard& board, bool toFamily2)
{
    for (auto& row : board)
        for (int cell = 0; cell <= 9; ++cell) row[cell] = ConvertLetter(row[cell], toFamily2);
}

} // namespace BoardLetters
