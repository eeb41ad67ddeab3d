// The first start on screens of every size: board, palette and label line all in the window, on small
// screens and on screens whose pixels are scaled up; a layout the user stored is the user's.
#include "ProgramProcess.h"

namespace {

struct ScreenCase {
    const char* name;
    int width, height; // the screen's pixels
    const char* scale; // QT_SCALE_FACTOR, or empty
    QByteArray ini; // the settings found at start
    int square; // the square size used, or 0 for any that fits
};
void PrintTo(const ScreenCase& c, std::ostream* os)
{
    *os << c.name;
}
class FirstLayout : public ProgramProcess, public ::testing::WithParamInterface<ScreenCase> { };

QByteArray OneScreen(int width, int height)
{
    return QString(R"({"screens": [{"name": "only", "x": 0, "y": 0, "width": %1, "height": %2, )"
                   R"("logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
        .arg(width)
        .arg(height)
        .toUtf8();
}

TEST_P(FirstLayout, BoardPaletteAndLabelAreInTheWindow)
{
    const ScreenCase& c = GetParam();
    screens = OneScreen(c.width, c.height);
    if (*c.scale) environment << QString("QT_SCALE_FACTOR=") + c.scale;
    if (!c.ini.isEmpty()) WriteIni(c.ini);
    const Run run = Start({ "report", "menu File/Exit" });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    const QRect screen = run.Rect("screen"), window = run.Rect("window"), view = run.Rect("view");
    EXPECT_TRUE(screen.contains(window)) << run.Value("window").toStdString();
    const QStringList b = run.Value("board").split(' '), p = run.Value("palette").split(' '),
                      t = run.Value("text").split(' ');
    ASSERT_EQ(b.size(), 4);
    const int sq = run.Value("square").toInt();
    if (c.square) {
        EXPECT_EQ(sq, c.square);
    }
    // The board with its coordinates, the palette's four columns with its frame, the label's line.
    EXPECT_GE(b[0].toInt(), 0);
    EXPECT_GE(b[1].toInt(), 0);
    EXPECT_LE(b[2].toInt(), view.width());
    EXPECT_LE(p[0].toInt() + 4 * sq, view.width()) << "the palette's black column is cut";
    EXPECT_LE(t[1].toInt() + sq, view.height()) << "the label line is cut";
    EXPECT_GE(t[0].toInt(), 0);
    // What the next start finds is this layout, kept as it is.
    const Run next = Start({ "report", "menu File/Exit" });
    ASSERT_TRUE(next.ended);
    EXPECT_EQ(next.Value("board"), run.Value("board"));
    EXPECT_EQ(next.Value("square"), run.Value("square"));
}

const QByteArray smallStoredLayout
    = "[BoardsPlacement]\nTailleFonte=30\nlayerboardLeft=10\nlayerboardTop=10\n"
      "layerboardRight=280\nlayerboard%20Bottom=280\nToolBarLeft=340\nToolBarRight=430\n"
      "ToolBarTop=10\nToolBarBottom=220\nTextPlacementLeft=0\nTextPlacementRight=500\n"
      "TextPlacementTop=280\nTextPlacementBottom=310\n";

INSTANTIATE_TEST_SUITE_P(Screens, FirstLayout,
    ::testing::Values(ScreenCase { "LargeScreenKeepsTheDefaultLayout", 1920, 1080, "", {}, 51 },
        ScreenCase { "ScaledTwiceOn1600x1200", 1600, 1200, "2", {}, 0 },
        ScreenCase { "ScaledOneAndAHalfOn1366x768", 1366, 768, "1.5", {}, 0 },
        ScreenCase { "Small1024x600", 1024, 600, "", {}, 0 },
        ScreenCase { "Small800x480", 800, 480, "", {}, 0 },
        ScreenCase { "StoredLayoutIsTheUsers", 800, 480, "", smallStoredLayout, 30 }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
