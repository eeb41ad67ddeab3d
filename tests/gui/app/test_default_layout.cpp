// The layout a first start gives the board, the palette and the label line, for the view it has.
#include "app/WindowPlacement.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

using namespace Win32;

namespace {

using WindowPlacement::FittedDefaultLayout;

TEST(DefaultLayout, IsTheStoredDefaultWhereItFits)
{
    const auto layout = FittedDefaultLayout(1220, 700);
    EXPECT_EQ(layout.square, 51);
    EXPECT_EQ(layout.board, (RECT { 115, 54, 574, 513 }));
    EXPECT_EQ(layout.palette, (RECT { 676, 54, 829, 411 }));
    EXPECT_EQ(layout.text, (RECT { 64, 513, 1033, 564 }));
}

struct ViewCase {
    const char* name;
    int width, height;
    int square;
};
void PrintTo(const ViewCase& c, std::ostream* os)
{
    *os << c.name;
}
class SmallerView : public ::testing::TestWithParam<ViewCase> { };

// The largest square with which all of it is in the view, the same proportions kept.
TEST_P(SmallerView, TakesTheLargestSquareThatFits)
{
    const ViewCase& c = GetParam();
    const auto l = FittedDefaultLayout(c.width, c.height);
    EXPECT_EQ(l.square, c.square);
    const int s = l.square;
    EXPECT_EQ(l.board.right - l.board.left, 9 * s);
    EXPECT_EQ(l.board.bottom - l.board.top, 9 * s);
    EXPECT_EQ(l.palette.left, l.board.left + 11 * s);
    EXPECT_EQ(l.text.top, l.board.bottom);
    EXPECT_GE(l.text.left, 0);
    if (s > AppSettings::MinimumSquareSize) {
        EXPECT_LE(l.palette.left + 4 * s, c.width);
        EXPECT_LE(l.text.bottom, c.height);
        const auto bigger = FittedDefaultLayout(c.width + 1000, c.height + 1000);
        EXPECT_GT(bigger.square, s) << "a larger view takes larger squares";
    }
}

INSTANTIATE_TEST_SUITE_P(Views, SmallerView,
    ::testing::Values(ViewCase { "NarrowView", 798, 900, 45 }, ViewCase { "LowView", 1400, 500, 44 },
        ViewCase { "Tiny", 120, 90, AppSettings::MinimumSquareSize }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
