// The palette after the numbers mode: the piece it shows lit is the piece a click puts.
#include "platform/Commands.h"
#include "positions/MarkEditing.h"
#include "tests/support/InstalledFonts.h"
#include "tests/support/TestEnvironment.h"

#include <QImage>
#include <QTest>

namespace {

constexpr int Sq = 51; // the default geometry: board at (115, 54), palette at (676, 54)

// The middle of palette cell (row, column) as the user clicks it: the cells lie one square right of
// the palette's rectangle.
QPoint PaletteCell(int row, int column)
{
    return { 676 + Sq + column * Sq + Sq / 2, 54 + row * Sq + Sq / 2 };
}

class NumbersPalette : public ProgramTest {
protected:
    // The command as the menu runs it, then the idle update the program makes after every command.
    void ToggleNumbers()
    {
        ASSERT_TRUE(CommandRouter::Instance().Execute(32857));
        Frame().Menus()->UpdateAll();
    }
    // The palette cell (row, column) drawn in the selection colour, or (-1, -1).
    std::pair<int, int> LitCell()
    {
        const QImage image = View().grab().toImage();
        std::pair<int, int> lit { -1, -1 };
        int most = 0;
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 2; ++column) {
                const QPoint centre = PaletteCell(row, column);
                int pink = 0;
                for (int y = centre.y() - Sq / 2; y < centre.y() + Sq / 2; ++y)
                    for (int x = centre.x() - Sq / 2; x < centre.x() + Sq / 2; ++x)
                        if (image.pixelColor(x, y) == QColor(255, 0, 128)) ++pink;
                if (pink > most) {
                    most = pink;
                    lit = { row, column };
                }
            }
        return lit;
    }
    EveryChessFontInstalled fonts;
};

TEST_F(NumbersPalette, LeavingTheNumbersBringsBackThePieceChosenBeforeAndLightsIt)
{
    CPlaviaView& view = ShownView();
    QTest::mouseClick(&view, Qt::LeftButton, {}, PaletteCell(4, 1)); // the black queen
    ASSERT_EQ(GlobalModes::currentPiece, 'w');
    EXPECT_EQ(LitCell(), std::make_pair(4, 1));

    ToggleNumbers();
    ASSERT_TRUE(GlobalModes::numbersMode);
    QTest::mouseClick(&view, Qt::LeftButton, {}, PaletteCell(1, 0)); // a number
    ToggleNumbers();
    ASSERT_FALSE(GlobalModes::numbersMode);

    EXPECT_EQ(GlobalModes::currentPiece, 'w');
    EXPECT_EQ(LitCell(), std::make_pair(4, 1));
    // A click on e4 puts the piece the palette shows lit.
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(115 + 5 * Sq + Sq / 2, 54 + 4 * Sq + Sq / 2));
    EXPECT_EQ(view.m_pCurrentDiagram->board[4][5], 'w'); // e4 is a light square
}

// A diagram added in the numbers mode selects the first number; the piece comes back all the same.
TEST_F(NumbersPalette, AddingADiagramMeanwhileChangesNothingOfIt)
{
    SettingsState::legalCheckActive = false;
    CPlaviaView& view = ShownView();
    QTest::mouseClick(&view, Qt::LeftButton, {}, PaletteCell(1, 0)); // the white knight
    ToggleNumbers();
    ASSERT_TRUE(CommandRouter::Instance().Execute(140));
    EXPECT_EQ(view.m_nPaletteRow, 0);
    ToggleNumbers();
    EXPECT_EQ(GlobalModes::currentPiece, 'n');
    EXPECT_EQ(LitCell(), std::make_pair(1, 0));
}

} // namespace
