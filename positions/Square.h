#pragma once

#include <cstdint>
#include <string_view>

// A square of the board. Its index is row * 8 + column, row 0 being the eighth rank and column 0 file a
// (a8 = 0, h8 = 7, a1 = 56, h1 = 63): the order of a diagram's font rows, of the legality checker's board
// and of the move interpreter's board. The other ways squares are counted are met only where a file, a
// record or the chess notation asks for them, each through its named conversion:
// - file and rank as the notation names them, both from 0 (file a, the first rank), or by the name
//   itself ("e4");
// - the cell of a font row (row 0..7, cell 1..8: cell 0 is the border);
// - the number a mark slot keeps, as the files write it: a8 = 1, h8 = 8, a1 = 57, h1 = 64, 0 for none.
// A square made from values off the board is no square: Valid() is false, and None() compares equal to it.
class Square {
public:
    constexpr Square() = default;
    static constexpr Square None() { return {}; }

    static constexpr Square FromRowColumn(int row, int column)
    {
        return onBoard(row) && onBoard(column) ? Square(row * 8 + column) : None();
    }
    static constexpr Square FromIndex(int index) { return index >= 0 && index < 64 ? Square(index) : None(); }
    static constexpr Square FromFileRank(int file, int rank) { return FromRowColumn(7 - rank, file); }
    static constexpr Square FromCell(int row, int cell) { return FromRowColumn(row, cell - 1); }
    static constexpr Square FromName(std::string_view name)
    {
        return name.size() == 2 ? FromFileRank(name[0] - 'a', name[1] - '1') : None();
    }
    static constexpr Square FromMarkNumber(int number) { return FromIndex(number - 1); }

    constexpr bool Valid() const { return index >= 0; }
    constexpr int Index() const { return index; }
    constexpr int Row() const { return index >> 3; }
    constexpr int Column() const { return index & 7; }
    constexpr int File() const { return Column(); }
    constexpr int Rank() const { return 7 - Row(); }
    constexpr int Cell() const { return Column() + 1; }
    // 0 for no square.
    constexpr int MarkNumber() const { return index + 1; }

    // The square a board turned round shows in this one's place.
    constexpr Square Mirrored() const { return Valid() ? Square(63 - index) : None(); }
    // The square so many files to the right and ranks up, or None off the board.
    constexpr Square Moved(int files, int ranks) const
    {
        return Valid() ? FromFileRank(File() + files, Rank() + ranks) : None();
    }

    constexpr bool operator==(const Square&) const = default;

private:
    constexpr explicit Square(int index)
        : index(static_cast<int8_t>(index))
    {
    }
    static constexpr bool onBoard(int n) { return n >= 0 && n < 8; }

    int8_t index = -1;
};
