#include "positions/Legality.h"
#include "positions/PositionChecker.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

// A test name made of the row's description: its words run together, each with a capital, and every
// character that a test name cannot hold left out.
std::string RowName(const char* why)
{
    std::string name;
    bool wordStart = true;
    for (const char* p = why; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (std::isalnum(c)) {
            name += wordStart ? static_cast<char>(std::toupper(c)) : static_cast<char>(c);
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
    return name;
}

struct CheckCase {
    const char* text;
    LegalityCode expected;
    const char* why;
};

// One row per rule, and the cases where the order of the rules decides.
const CheckCase checkCases[] = {
    { "", 19, "empty text" },
    { "k", 19, "one character" },
    { "8/8/8/8/8/8/8/", 18, "14 characters" },
    { "8/8/8/8/8/8/8/8", 10, "exactly 15 characters, no kings" },
    { "4k3/8/8/8/8/8/8/4K3 w - -", 0, "bare kings" },
    { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0, "start position" },
    { "4k3/8/8/8/8/8/8/K3K3 w - -", 1, "two white kings" },
    { "4k1k1/8/8/8/8/8/8/4K3 w - -", 1, "two black kings" },
    { "QQQQQQQQ/QQ2k3/8/8/8/8/8/4K3 w - -", 2, "ten white queens" },
    { "RRRRRRRR/RRR1k3/8/8/8/8/8/4K3 w - -", 3, "eleven white rooks" },
    { "BBBBBBBB/BBB1k3/8/8/8/8/8/4K3 w - -", 4, "eleven white bishops, the colour warning waits" },
    { "nnnnnnnn/nnn1k3/8/8/8/8/8/4K3 w - -", 5, "eleven black knights" },
    { "P3k3/8/8/8/8/8/8/4K3 w - -", 6, "white pawn on rank 8" },
    { "4k3/8/8/8/8/8/8/p3K3 w - -", 6, "black pawn on rank 1" },
    { "4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - -", 7, "nine white pawns" },
    { "8/8/8/3kK3/8/8/8/8 w - -", 8, "kings side by side on a rank" },
    { "8/8/3k4/3K4/8/8/8/8 w - -", 8, "kings one above the other on a file" },
    { "8/8/3k4/4K3/8/8/8/8 w - -", 8, "kings on a falling diagonal" },
    { "8/8/4k3/3K4/8/8/8/8 w - -", 8, "kings on a rising diagonal" },
    { "k7/1K6/8/8/8/8/8/8 w - -", 8, "kings diagonally in the corner" },
    { "8/8/3k4/8/3K4/8/8/8 w - -", 0, "kings two squares apart on a file" },
    { "8/8/2k5/8/4K3/8/8/8 w - -", 0, "kings two squares apart on a diagonal" },
    { "4k3/8/8/7Q/7q/8/8/4K3 w - -", 9, "both kings in check, White to move" },
    { "4k3/8/8/7Q/7q/8/8/4K3", 9, "both kings in check, side not given" },
    { "4k3/8/8/7Q/7q/8/8/4K3 b - -", 11, "both kings in check, Black to move" },
    { "4k3/8/8/8/7q/8/8/4K3 b - -", 11, "white king in check, Black to move" },
    { "4k3/8/8/8/7q/8/8/4K3", 0, "white king in check, side not given" },
    { "4k3/8/8/8/7q/8/8/4K3 w - -", 0, "white king in check, White to move" },
    { "4k3/8/8/7Q/8/8/8/4K3 w - -", 12, "black king in check, White to move" },
    { "4k3/8/8/7Q/8/8/8/4K3 b - -", 0, "black king in check, Black to move" },
    { "4k3/8/8/8/8/8/8/6K1 w K -", 13, "white castling with the king on g1" },
    { "4k3/8/8/8/8/8/8/6K1 w KQkq -", 13, "white castling is tested before black" },
    { "4k3/8/8/8/8/8/8/4K3 w K -", 0, "castling with the king on e1 and no rook" },
    { "3k4/8/8/8/8/8/8/4K3 w q -", 14, "black castling with the king on d8" },
    { "4k3/8/8/8/8/8/8/6K1 w - KQ", 0, "a dash ends the castling field" },
    { "4k3/8/8/8/8/8/8/6K1 w  KQ", 0, "the third blank ends the reading" },
    { "4k3/8/8/8/8/8/88/4K3 w - -", 15, "a rank of sixteen squares hides a slash" },
    { "/8/8/8/8/8/8/8/8 w - -", 15, "eight slashes" },
    { "4k3/8/8/8/8/8/8 w - -", 16, "seven ranks: the blank is read as a square" },
    { "4k3/8/8/8/8/8/8/4K", 16, "the text ends inside rank 1" },
    { "4k3/8/8/8/8/8/8/4K*2 w - -", 16, "a character that is no letter or digit" },
    { "4k3/8/8/8/8/8/8/4K\xe9"
      "2 w - -",
        16, "a byte above 0x7F" },
    { "4k3/8/8/8/8/8/8/NNN1K3 w - -", -1, "three white knights" },
    { "4k3/8/8/8/8/8/8/BBB1K3 w - -", -2, "three white bishops, the first two on both colours" },
    { "4k3/8/8/8/8/8/8/RRR1K3 w - -", -3, "three white rooks" },
    { "nnn1k3/8/8/8/8/8/8/4K3 w - -", -4, "three black knights" },
    { "bbb1k3/8/8/8/8/8/8/4K3 w - -", -5, "three black bishops" },
    { "rrr1k3/8/8/8/8/8/8/4K3 w - -", -6, "three black rooks" },
    { "NNNNk3/8/8/8/8/8/8/RRR1K3 w - -", -1, "knights are named before rooks" },
    { "4k3/8/8/8/8/8/8/B1B1K3 w - -", -7, "white bishops on a1 and c1" },
    { "b1b1k3/8/8/8/8/8/8/4K3 w - -", -8, "black bishops on a8 and c8" },
    { "4k3/8/8/8/8/8/8/B1BBK3 w - -", -7, "the colour warning comes before the count" },
    { "4k3/8/8/8/8/8/8/BB1BK3 w - -", -2, "only the first two bishops are compared" },
    { "8/8/8/8/8/8/8/B1B1K3 w - -", 10, "a missing king is an error, not the colour warning" },
    { "P3k3/8/8/8/8/8/8/B1B1K3 w - -", 6, "a pawn on rank 8 is an error, not the colour warning" },
    { "P3k3/8/8/8/8/8/8/NNN1K3 w - -", 6, "three knights and a pawn on rank 8" },
    { "4k3/8/3N1N2/8/8/8/8/4K3 b - -", -9, "black king checked by two knights" },
    { "4k3/8/3N1N2/8/8/8/8/4K3 w - -", 12, "the same with White to move" },
    { "4k3/8/8/8/8/3n1n2/8/4K3 w - -", -10, "white king checked by two knights" },
    { "R3k3/8/8/8/4R3/8/8/6K1 b - -", -11, "black king checked along a rank and a file" },
    { "4r1k1/8/8/8/8/8/8/r3K3 w - -", -12, "white king checked by two rooks" },
    { "4q1k1/8/8/8/8/8/8/r3K3 w - -", -12, "a queen and a rook count the same" },
    { "6k1/8/8/8/8/2b3q1/8/4K3 w - -", 0, "two diagonal checks warn nothing" },
    { "6k1/8/8/8/8/2b3b1/8/4K3 w - -", -8, "two checking bishops share a colour, nothing more" },
    { "6k1/8/8/8/8/3n4/8/r3K3 w - -", 0, "a knight and a rook warn nothing" },
    { "6k1/8/8/8/8/3n1n2/8/r3K2r w - -", -10, "knights and rooks at once: the knight code stays" },
    { "4k3/8/8/8/8/8/3p4/4K3 b - -", 11, "a black pawn strikes downwards" },
    { "4k3/8/8/8/8/4K3/3p4/8 b - -", 0, "a black pawn below the king strikes nothing" },
    { "4k3/3P4/8/8/8/8/8/4K3 w - -", 12, "a white pawn strikes upwards" },
    { "4k3/8/3P4/8/8/8/8/4K3 w - -", 0, "a pawn two squares away strikes nothing" },
    { "4k3/8/8/8/8/8/8/4R1K1 w - -", 12, "a rook on an open file" },
    { "4k3/4x3/8/8/8/8/8/4R1K1 w - -", 0, "any letter blocks a line" },
};

// gtest shows a row by its description, not by its bytes.
void PrintTo(const CheckCase& c, std::ostream* os)
{
    *os << c.why;
}

class CheckFenPosition : public ::testing::TestWithParam<CheckCase> { };

TEST_P(CheckFenPosition, GivesTheCodeOfTheFirstRuleBroken)
{
    const CheckCase& c = GetParam();
    PositionChecker checker;
    EXPECT_EQ(checker.CheckFenPosition(c.text), c.expected) << c.why << ": \"" << c.text << '"';
    EXPECT_EQ(checker.fullCheck, 1);
}

INSTANTIATE_TEST_SUITE_P(Rules, CheckFenPosition, ::testing::ValuesIn(checkCases),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return RowName(info.param.why); });

TEST(PositionChecker, FillsBoardAndKingSquares)
{
    PositionChecker checker;
    ASSERT_EQ(checker.CheckFenPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), 0);
    EXPECT_EQ(checker.board[Square::FromName("e1").Index()], 'K');
    EXPECT_EQ(checker.board[Square::FromName("e8").Index()], 'k');
    EXPECT_EQ(checker.board[Square::FromName("a8").Index()], 'r');
    EXPECT_EQ(checker.board[Square::FromName("h1").Index()], 'R');
    EXPECT_EQ(checker.board[Square::FromName("e6").Index()], 0) << "empty squares hold NUL";
    EXPECT_EQ(checker.whiteKingCol, 4);
    EXPECT_EQ(checker.whiteKingRow, 7);
    EXPECT_EQ(checker.blackKingCol, 4);
    EXPECT_EQ(checker.blackKingRow, 0);
}

TEST(PositionChecker, NinthSquareStartsTheNextRank)
{
    // "8p" is nine squares: the pawn opens the third row, so one slash too few is left for the field.
    PositionChecker checker;
    EXPECT_EQ(checker.CheckFenPosition("4k3/8p/8/8/8/8/8/4K3 w - -"), 15);
    EXPECT_EQ(checker.board[Square::FromName("a6").Index()], 'p');
    EXPECT_EQ(checker.board[Square::FromName("a7").Index()], 0);
}

TEST(PositionChecker, NulByteEndsTheText)
{
    static const char text[] = "4k3\0/8/8/8/8/8/8/4K3 w - -";
    PositionChecker checker;
    EXPECT_EQ(checker.CheckFenPosition(std::string_view(text, sizeof text - 1)), 18)
        << "measured up to the NUL";
    static const char bare[] = "4k3/8/8/8/8/8/8/4K3 b - -";
    EXPECT_EQ(checker.CheckFenPosition(std::string_view(bare, 10)), 18);
}

TEST(PositionChecker, WarningCodeIsResetByEachCheck)
{
    PositionChecker checker;
    EXPECT_EQ(checker.CheckFenPosition("4k3/8/8/8/8/3n1n2/8/4K3 w - -"), -10);
    EXPECT_EQ(checker.warningCode, -10);
    EXPECT_EQ(checker.CheckFenPosition("4k3/8/8/8/8/8/8/4K3 w - -"), 0);
    EXPECT_EQ(checker.warningCode, 0);
}

// The move interpreter's use: its own board with '0' for empty squares, king squares set by hand,
// and fullCheck left at 0.
struct InterpreterBoard : PositionChecker {
    InterpreterBoard() { board.fill('0'); }
    void put(int row, int col, char piece) { board[row * 8 + col] = piece; }
};

TEST(PositionChecker, IsInCheckOnAnInterpreterBoard)
{
    InterpreterBoard checker;
    checker.put(0, 4, 'K');
    checker.whiteKingRow = 0;
    checker.whiteKingCol = 4;
    checker.put(7, 4, 'k');
    checker.blackKingRow = 7;
    checker.blackKingCol = 4;
    EXPECT_FALSE(checker.IsInCheck(1));
    checker.put(5, 4, 'r');
    checker.put(0, 0, 'r');
    EXPECT_TRUE(checker.IsInCheck(1));
    EXPECT_EQ(checker.warningCode, 0) << "no double-check warning outside CheckFenPosition";
    checker.put(1, 4, 'B');
    checker.put(0, 2, '\0'); // a square emptied by a trial move
    EXPECT_TRUE(checker.IsInCheck(1)) << "the rook on a1 still sees the king across the NUL square";
    checker.put(0, 1, 'N');
    EXPECT_FALSE(checker.IsInCheck(1));
    EXPECT_FALSE(checker.IsInCheck(0));
    checker.blackKingRow = 9; // nonsense from a caller reads nothing outside the board
    EXPECT_FALSE(checker.IsInCheck(0));
}

struct PathCase {
    int fromRow, fromCol;
    char piece;
    int toRow, toCol;
    const char* blockers; // squares as "rc" pairs that hold a piece
    bool expected;
    const char* why;
};

const PathCase pathCases[] = {
    { 0, 0, 'R', 7, 0, "", true, "rook along an open file" },
    { 0, 0, 'r', 7, 0, "40", false, "rook blocked on the file" },
    { 3, 0, 'R', 3, 7, "", true, "rook along an open rank" },
    { 3, 7, 'R', 3, 0, "35", false, "rook blocked on the rank, leftwards" },
    { 0, 0, 'R', 1, 1, "", false, "rook never moves diagonally" },
    { 0, 0, 'R', 0, 1, "01", true, "the target itself may be occupied" },
    { 0, 2, 'B', 5, 7, "", true, "bishop along an open diagonal" },
    { 0, 2, 'b', 5, 7, "35", false, "bishop blocked on the diagonal" },
    { 7, 7, 'B', 0, 0, "", true, "bishop along the long diagonal downwards" },
    { 0, 2, 'B', 0, 5, "", false, "bishop never moves along a rank" },
    { 0, 0, 'B', 2, 1, "", false, "bishop needs equal steps" },
    { 0, 1, 'N', 2, 2, "11", true, "knight jumps over pieces" },
    { 0, 1, 'n', 1, 3, "", true, "knight, the flat jump" },
    { 0, 1, 'N', 2, 1, "", false, "knight does not move straight" },
    { 0, 1, 'N', 1, -1, "", false, "knight jump off the board" },
    { 3, 3, 'Q', 3, 7, "", true, "queen along a rank" },
    { 3, 3, 'q', 7, 7, "", true, "queen along a diagonal" },
    { 3, 3, 'Q', 7, 7, "55", false, "queen blocked on the diagonal" },
    { 3, 3, 'Q', 4, 5, "", false, "queen off every line" },
    { 1, 4, 'P', 3, 4, "", true, "a pawn moves like a queen here" },
    { 1, 4, 'p', 3, 4, "24", false, "a pawn blocked like a queen" },
    { 0, 4, 'K', 0, 6, "", true, "a king moves like a queen here" },
    { 0, 4, 'K', 0, 6, "05", false, "a king blocked like a queen" },
    { 4, 4, 'Q', 4, 4, "", true, "the same square twice" },
    { 4, 4, 'N', 4, 4, "", false, "a knight never stays" },
    { 0, 0, 'Q', 8, 0, "", false, "a target off the board" },
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.why;
}

class CheckPath : public ::testing::TestWithParam<PathCase> { };

TEST_P(CheckPath, FollowsThePiecesWay)
{
    const PathCase& c = GetParam();
    InterpreterBoard checker;
    for (const char* b = c.blockers; b[0] && b[1]; b += 2) checker.put(b[0] - '0', b[1] - '0', 'x');
    EXPECT_EQ(checker.CheckPath(static_cast<int8_t>(c.fromRow), static_cast<int8_t>(c.fromCol),
                  static_cast<uint8_t>(c.piece), static_cast<int8_t>(c.toRow), static_cast<int8_t>(c.toCol)),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(Moves, CheckPath, ::testing::ValuesIn(pathCases),
    [](const ::testing::TestParamInfo<PathCase>& info) { return RowName(info.param.why); });

TEST(PositionChecker, CheckPathCountsOnlyZeroAsEmpty)
{
    InterpreterBoard checker;
    checker.put(0, 3, '\0');
    EXPECT_FALSE(checker.CheckPath(0, 0, 'R', 0, 7));
}

// The program's string table, read from the files it is built from.
std::map<int, std::string> StringTable()
{
    std::map<int, std::string> table;
    for (const auto& entry : std::filesystem::directory_iterator(BRENNIX_STRINGS)) {
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            const size_t tab = line.find('\t');
            if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
            table[std::stoi(line.substr(0, tab))] = line.substr(tab + 1);
        }
    }
    return table;
}

// The text the user reads for a code, put together as the view does: the message, with the named
// pieces in place of %1 where the message has an argument.
std::string TextFor(const Legality::Message& message)
{
    static const std::map<int, std::string> table = StringTable();
    if (message.kind == Legality::MessageKind::None) return "";
    std::string text = table.at(message.stringId);
    if (message.argumentId) text.replace(text.find("%1"), 2, table.at(message.argumentId));
    return text;
}

struct MessageCase {
    LegalityCode code;
    const char* name;
    Legality::MessageKind kind;
    const char* text; // exactly as shown, doubled blanks and the literal "/n" included
    bool dataDialog;
};

using K = Legality::MessageKind;
const MessageCase messageCases[] = {
    { 0, "NoObjection", K::None, "", false },
    { 1, "TooManyKings", K::Error, "Error, too many kings on the board.", false },
    { 2, "TooManyQueens", K::Error, "Error, too many queens on the board.", false },
    { 3, "TooManyRooks", K::Error, "Error, too many rooks on the board.", false },
    { 4, "TooManyBishops", K::Error, "Error, too many bishops on the board.", false },
    { 5, "TooManyKnights", K::Error, "Error, too many knights on the board.", false },
    { 6, "PawnOnBackRank", K::Error, "No pawns allowed at first or 8th rank.", false },
    { 7, "TooManyPawns", K::Error, "Error, too many pawns on the board.", false },
    { 8, "AdjacentKings", K::Error, "Error, adjacents Kings.", false },
    { 9, "BothInCheck", K::Error, "Black and white are  in check!", false },
    { 10, "KingMissing", K::Error, "There are not a black and a white king.", false },
    { 11, "WhiteInCheckNotToMove", K::Error, "White is in check and is not active colour.", true },
    { 12, "BlackInCheckNotToMove", K::Error, "Black is in check and is not active color.", true },
    { 13, "WhiteCastling", K::Error, "No white castling allowed.", true },
    { 14, "BlackCastling", K::Error, "No black castling allowed.", true },
    { 15, "SlashCount", K::Error,
        "This is not an FEN file or it is corrupted (less than 7 characters\"\"/\"\")", false },
    { 16, "BadCharacter", K::Error,
        "This is not an FEN file or it is corrupted./n(FEN position description with no authorized "
        "characters).",
        false },
    { 17, "TooManyBadLines", K::Error, "This is not an EPD file or it is corrupted.", false },
    { 18, "TooShort", K::Error, "This is not an FEN file or it is corrupted./n(less than 15 characters)",
        false },
    { 19, "BlankLine", K::Error, "Blank line.", false },
    { 20, "OutOfMemory", K::Error, "Out of memory.", false },
    { 21, "AboveTheErrors", K::None, "", false },
    { 1000, "SkippedLine", K::None, "", false },
    { -1, "ManyWhiteKnights", K::Question,
        "There are more  than two white Knights in this diagram, so do you want to ignore this?", false },
    { -2, "ManyWhiteBishops", K::Question,
        "There are more  than two white Bishops in this diagram, so do you want to ignore this?", false },
    { -3, "ManyWhiteRooks", K::Question,
        "There are more  than two white Rooks in this diagram, so do you want to ignore this?", false },
    { -4, "ManyBlackKnights", K::Question,
        "There are more  than two black Knights in this diagram, so do you want to ignore this?", false },
    { -5, "ManyBlackBishops", K::Question,
        "There are more  than two black Bishops in this diagram, so do you want to ignore this?", false },
    { -6, "ManyBlackRooks", K::Question,
        "There are more  than two black Rooks in this diagram, so do you want to ignore this?", false },
    { -7, "WhiteBishopsSameColour", K::Question,
        "There are more than one white Bishop  on squares of same colour, so do you want to ignore this?",
        false },
    { -8, "BlackBishopsSameColour", K::Question,
        "There are more than one black Bishop  on squares of same colour, so do you want to ignore this?",
        false },
    { -9, "BlackCheckedByTwoKnights", K::Question,
        "The black King is in check by the two white Knights, so do you want to ignore this?", false },
    { -10, "WhiteCheckedByTwoKnights", K::Question,
        "The white King is in check by the two black Knights, so do you want to ignore this?", false },
    { -11, "BlackCheckedByTwoRooks", K::Question,
        "The black King is in check by  two white Rooks, so do you want to ignore this?", false },
    { -12, "WhiteCheckedByTwoRooks", K::Question,
        "The white  King is in check by  two black  Rooks, so do you want to ignore this?", false },
    { -13, "BelowTheWarnings", K::None, "", false },
};

void PrintTo(const MessageCase& c, std::ostream* os)
{
    *os << c.name;
}

class LegalityMessage : public ::testing::TestWithParam<MessageCase> { };

TEST_P(LegalityMessage, ShowsTheTextInItsBox)
{
    const MessageCase& c = GetParam();
    const Legality::Message m = Legality::MessageFor(c.code);
    EXPECT_EQ(m.kind, c.kind);
    EXPECT_EQ(TextFor(m), c.text);
    EXPECT_EQ(m.opensDataDialog, c.dataDialog);
    // An error box with its icon; a question whose default button is No.
    const unsigned style = c.kind == K::Error ? 0x10u : c.kind == K::Question ? 292u : 0u;
    EXPECT_EQ(m.style, style);
}

INSTANTIATE_TEST_SUITE_P(Codes, LegalityMessage, ::testing::ValuesIn(messageCases),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

} // namespace
