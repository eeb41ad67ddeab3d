#include "positions/Square.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each square in every numbering the program meets.
struct SquareCase {
    const char* name;
    int index; // the board's order: a8 = 0
    int row, column; // the checker's and the font rows'
    int file, rank; // the notation's, from 0
    int cell; // the font row's cell
    int markNumber; // the files' mark slots: a8 = 1
};

const SquareCase squareCases[] = {
    { "a8", 0, 0, 0, 0, 7, 1, 1 },
    { "h8", 7, 0, 7, 7, 7, 8, 8 },
    { "a1", 56, 7, 0, 0, 0, 1, 57 },
    { "h1", 63, 7, 7, 7, 0, 8, 64 },
    { "e4", 36, 4, 4, 4, 3, 5, 37 },
    { "d6", 19, 2, 3, 3, 5, 4, 20 },
};

void PrintTo(const SquareCase& c, std::ostream* os) { *os << c.name; }

class SquareNumberings : public testing::TestWithParam<SquareCase> { };

TEST_P(SquareNumberings, EveryConversionNamesTheSameSquare)
{
    const SquareCase& c = GetParam();
    const Square square = Square::FromName(c.name);
    ASSERT_TRUE(square.Valid());
    EXPECT_EQ(square.Index(), c.index);
    EXPECT_EQ(square.Row(), c.row);
    EXPECT_EQ(square.Column(), c.column);
    EXPECT_EQ(square.File(), c.file);
    EXPECT_EQ(square.Rank(), c.rank);
    EXPECT_EQ(square.Cell(), c.cell);
    EXPECT_EQ(square.MarkNumber(), c.markNumber);
    EXPECT_EQ(Square::FromIndex(c.index), square);
    EXPECT_EQ(Square::FromRowColumn(c.row, c.column), square);
    EXPECT_EQ(Square::FromFileRank(c.file, c.rank), square);
    EXPECT_EQ(Square::FromCell(c.row, c.cell), square);
    EXPECT_EQ(Square::FromMarkNumber(c.markNumber), square);
    // A board turned round shows the square's opposite: the mark numbers of the two add up to 65.
    EXPECT_EQ(square.Mirrored().MarkNumber(), 65 - c.markNumber);
    EXPECT_EQ(square.Mirrored().Mirrored(), square);
}

INSTANTIATE_TEST_SUITE_P(Squares, SquareNumberings, testing::ValuesIn(squareCases),
    [](const testing::TestParamInfo<SquareCase>& info) { return std::string(info.param.name); });

TEST(Square, ValuesOffTheBoardMakeNoSquare)
{
    EXPECT_FALSE(Square().Valid());
    EXPECT_EQ(Square::None().MarkNumber(), 0) << "a free mark slot";
    EXPECT_FALSE(Square::FromMarkNumber(0).Valid());
    EXPECT_FALSE(Square::FromMarkNumber(65).Valid());
    EXPECT_FALSE(Square::FromIndex(-1).Valid());
    EXPECT_FALSE(Square::FromIndex(64).Valid());
    EXPECT_FALSE(Square::FromRowColumn(8, 0).Valid());
    EXPECT_FALSE(Square::FromRowColumn(0, -1).Valid());
    EXPECT_FALSE(Square::FromCell(0, 0).Valid()) << "cell 0 is the border";
    EXPECT_FALSE(Square::FromCell(0, 9).Valid()) << "cell 9 is the border";
    for (const char* name : { "", "e", "e9", "i1", "e0", "e44", "E4" })
        EXPECT_FALSE(Square::FromName(name).Valid()) << name;
    EXPECT_FALSE(Square::None().Mirrored().Valid());
}

TEST(Square, MovesByFilesAndRanks)
{
    EXPECT_EQ(Square::FromName("e2").Moved(0, 2), Square::FromName("e4"));
    EXPECT_EQ(Square::FromName("e7").Moved(0, -2), Square::FromName("e5"));
    EXPECT_EQ(Square::FromName("b1").Moved(1, 2), Square::FromName("c3"));
    EXPECT_FALSE(Square::FromName("h4").Moved(1, 0).Valid()) << "no wrap onto the next rank";
    EXPECT_FALSE(Square::FromName("a8").Moved(0, 1).Valid());
    EXPECT_FALSE(Square::None().Moved(0, 0).Valid());
}

} // namespace
