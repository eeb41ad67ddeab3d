#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

using namespace Win32;

namespace {

using WindowPlacement::PlacementFitsView;
using WindowPlacement::PlaceOnScreen;

// Two screens side by side, the primary one on the left; the right one's usable area leaves a panel
// of 40 pixels at its top.
const QList<QRect> screens = { QRect(0, 0, 1920, 1080), QRect(1920, 40, 1280, 984) };

struct PlaceCase {
    const char* name;
    int left, top, width, height;
    QRect placed;
};
void PrintTo(const PlaceCase& c, std::ostream* os)
{
    *os << c.name;
}
class Placing : public ::testing::TestWithParam<PlaceCase> { };

TEST_P(Placing, WindowIsBroughtOntoAScreen)
{
    const PlaceCase& c = GetParam();
    EXPECT_EQ(PlaceOnScreen(c.left, c.top, c.width, c.height, screens, 0), c.placed);
}

INSTANTIATE_TEST_SUITE_P(Table, Placing,
    ::testing::Values(PlaceCase { "FirstRun", 327, 123, 1220, 790, QRect(327, 123, 1220, 790) },
        PlaceCase { "HangingOverTheRightEdge", 1000, 500, 1220, 790, QRect(700, 290, 1220, 790) },
        PlaceCase { "FarAway", -5000, -5000, 1220, 790, QRect(0, 0, 1220, 790) },
        PlaceCase { "OnTheRightScreen", 2100, 10, 1000, 700, QRect(2100, 40, 1000, 700) },
        // Mostly on the right screen, though its centre is off every screen.
        PlaceCase { "OverlappingTheRightScreenMost", 2800, 600, 1000, 900, QRect(2200, 124, 1000, 900) },
        PlaceCase { "LargerThanItsScreen", 2000, 100, 3000, 3000, QRect(1920, 40, 1280, 984) },
        PlaceCase { "LargestSize", 0, 0, 2147483647, 2147483647, QRect(0, 0, 1920, 1080) },
        PlaceCase { "LowestCorner", -2147483647, -2147483647, 1220, 790, QRect(0, 0, 1220, 790) },
        PlaceCase { "TooSmall", 100, 100, 10, -5, QRect(100, 100, 400, 300) }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Placing, PrimaryScreenTakesAWindowThatIsNowhere)
{
    EXPECT_EQ(PlaceOnScreen(9000, 9000, 800, 600, screens, 1), QRect(2400, 424, 800, 600));
    EXPECT_EQ(PlaceOnScreen(9000, 9000, 800, 600, {}, 0), QRect(9000, 9000, 800, 600))
        << "no screen: as saved";
}

struct FitCase {
    const char* name;
    RECT board, palette, text;
    int square;
    bool fits;
};
void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.name;
}
class BoardFit : public ::testing::TestWithParam<FitCase> { };

// A view of 1220 by 700 pixels.
TEST_P(BoardFit, BoardMustBeSeenInTheView)
{
    const FitCase& c = GetParam();
    EXPECT_EQ(PlacementFitsView(c.board, c.palette, c.text, c.square, 1220, 700), c.fits);
}

const RECT board { 115, 54, 574, 513 }, palette { 676, 54, 829, 411 }, text { 64, 513, 1033, 564 };

INSTANTIATE_TEST_SUITE_P(Table, BoardFit,
    ::testing::Values(FitCase { "Defaults", board, palette, text, 51, true },
        // Placement mode puts the rank numbers left of the window when pressed near its edge.
        FitCase { "RankNumbersCutOff", { -51, 54, 408, 513 }, palette, text, 51, true },
        FitCase { "FirstSquareCutOff", { -52, 54, 407, 513 }, palette, text, 51, false },
        FitCase { "LowestRowOutside", { 115, 600, 574, 1059 }, palette, text, 51, true },
        FitCase { "TopBelowTheView", { 115, 650, 574, 1109 }, palette, text, 51, false },
        FitCase { "RightOfTheView", { 1130, 54, 1589, 513 }, palette, text, 51, false },
        FitCase { "FarLeft", { -100000, 54, 574, 513 }, palette, text, 51, false },
        FitCase { "BoardUpsideDown", { 115, 513, 574, 54 }, palette, text, 51, false },
        FitCase { "PaletteUpsideDown", board, { 676, 411, 829, 54 }, text, 51, false },
        FitCase { "EmptyText", board, palette, { 64, 513, 64, 513 }, 51, true },
        FitCase { "TextBeyondCoordinates", board, palette, { 64, 513, 40000, 564 }, 51, false },
        FitCase { "SquareTooSmall", board, palette, text, 9, false },
        FitCase { "SquareTooLarge", board, palette, text, 401, false },
        FitCase { "LargestSquare", { 0, 0, 3600, 3600 }, palette, text, 400, true }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
