#include "positions/DiagramRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// --- texts: held in the word up to seven bytes, in a block of their own beyond

struct TextCase {
    const char* name;
    std::string text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class RecordTextCases : public testing::TestWithParam<TextCase> { };

TEST_P(RecordTextCases, KeepsEveryByteThroughCopyMoveAndAppend)
{
    const std::string& text = GetParam().text;
    RecordText held;
    held = text;
    EXPECT_EQ(held.view(), text);
    EXPECT_EQ(held.size(), text.size());
    EXPECT_EQ(held.empty(), text.empty());

    RecordText copy(held);
    RecordText moved(std::move(copy));
    EXPECT_EQ(moved, held);
    RecordText assigned;
    assigned = moved;
    EXPECT_EQ(assigned.str(), text);

    // Growing across the word's room and back.
    held += "0123456789";
    EXPECT_EQ(held.view(), text + "0123456789");
    held = held.view().substr(0, text.size());
    EXPECT_EQ(held.view(), text);
    held.clear();
    EXPECT_TRUE(held.empty());
    EXPECT_EQ(held.view(), "");
}

INSTANTIATE_TEST_SUITE_P(Lengths, RecordTextCases,
    testing::Values(TextCase { "Empty", "" }, TextCase { "OneByte", "1" }, TextCase { "SixBytes", "acd 5;" },
        TextCase { "SevenBytes", "acd 29;" }, TextCase { "EightBytes", "acd 123;" },
        TextCase { "WithNulAndHighBytes", std::string("a\0b\xD5\x87", 5) },
        TextCase { "Long", std::string(3000, 'x') + "end" }),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(RecordText, TakesAPartOfItself)
{
    for (std::string text : { "abcdefghijklmnop", "abcdef" }) {
        RecordText held;
        held = text;
        held = held.view().substr(2);
        EXPECT_EQ(held.view(), text.substr(2));
    }
}

// --- mark slots: seventy as the files see them, room only up to the last one that holds anything

TEST(MarkSlots, ReadsAsSeventyFreeSlotsUntilOneIsSet)
{
    MarkSlots marks;
    EXPECT_EQ(marks.size(), 70u);
    EXPECT_EQ(marks.Stored(), 0u);
    size_t seen = 0;
    for (const MarkSlot& slot : marks) {
        EXPECT_EQ(slot, MarkSlot {});
        ++seen;
    }
    EXPECT_EQ(seen, 70u);
    marks.Set(69, { 64, 1, MarkRed });
    EXPECT_EQ(marks.Stored(), 70u);
    EXPECT_EQ(marks[69], (MarkSlot { 64, 1, MarkRed }));
    EXPECT_EQ(marks[68], MarkSlot {});
    marks.Set(70, { 1, 2, 3 });
    EXPECT_EQ(marks.Stored(), 70u) << "there is no slot beyond the seventieth";
}

TEST(MarkSlots, FreeingTheLastMarkGivesBackTheRoomOfTheFreeSlotsBeforeIt)
{
    MarkSlots marks;
    marks.Set(2, { 12, 28, MarkGreen });
    marks.Set(5, { 0, 0, MarkRed }); // a mark taken away keeps its type: the file writes "0 0 3"
    marks.Set(9, { 20, 20, MarkNumberFirst });
    EXPECT_EQ(marks.Stored(), 10u);
    marks.Set(9, {});
    EXPECT_EQ(marks.Stored(), 6u) << "the freed slot that kept its type still holds something";
    EXPECT_EQ(marks[5], (MarkSlot { 0, 0, MarkRed }));
    marks.Set(5, {});
    EXPECT_EQ(marks.Stored(), 3u);
    marks.Set(2, {});
    EXPECT_EQ(marks.Stored(), 0u);
    EXPECT_EQ(marks, MarkSlots {});
}

TEST(MarkSlots, CopiesAreIndependentAndAssignKeepsGaps)
{
    std::array<MarkSlot, MaxMarks> table {};
    table[0] = { 1, 9, MarkBlue };
    table[4] = { 0, 0, MarkDoubleStep };
    MarkSlots marks;
    marks.Assign(table.data(), table.size());
    EXPECT_EQ(marks.Stored(), 5u);
    MarkSlots copy = marks;
    copy.Set(0, {});
    EXPECT_EQ(marks[0], (MarkSlot { 1, 9, MarkBlue }));
    EXPECT_NE(copy, marks);
    marks.fill({ 9, 9, 9 });
    for (const MarkSlot& slot : marks) EXPECT_EQ(slot, (MarkSlot { 9, 9, 9 }));
}

// --- colour and rotation cells: room only once one is set

TEST(CellValues, ReadZeroUntilSetAndCopyIndependently)
{
    CellValues cells;
    EXPECT_FALSE(cells.Any());
    EXPECT_EQ(cells[7][11], 0);
    cells.Set(3, 4, 0);
    EXPECT_FALSE(cells.Any());
    cells.Set(3, 4, MarkBlue);
    cells.SetRow(0, { 0, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 1 });
    EXPECT_TRUE(cells.Any());
    EXPECT_EQ(cells[3][4], MarkBlue);
    EXPECT_EQ(cells[0][11], 1) << "the border cells are kept as the file gives them";
    CellValues copy = cells;
    copy.Set(3, 4, 0);
    EXPECT_EQ(cells[3][4], MarkBlue);
    EXPECT_FALSE(copy == cells);
    cells.Clear();
    EXPECT_EQ(cells, CellBytes {});
}

} // namespace
