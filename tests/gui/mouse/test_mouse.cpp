#include "app/CTrueColorToolBar.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "positions/MarkEditing.h"
#include "tests/support/InstalledFonts.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <optional>

using namespace Win32;
using namespace MarkEditing;

namespace {

// The default geometry: squares of 51 pixels, the board's rank-number column at x 115, rank 8 at y 54.
constexpr int Sq = 51;
POINT Centre(int column, int row)
{
    return { 115 + column * Sq + Sq / 2, 54 + row * Sq + Sq / 2 };
}
POINT Offset(POINT p, int dx, int dyUp)
{
    return { p.x + dx, p.y - dyUp };
}

class MouseTest : public ProgramTest {
protected:
    CPlaviaView& Shown() { return ShownView(); }
    DiagramRecord& Current() { return *View().m_pCurrentDiagram; }
    char Letter(int row, int cell) { return Current().board[row][cell]; }
    // A left press and release without keys (the release carries no button).
    void Drag(POINT from, POINT to, int releaseFlags = 0, int pressFlags = MK_LBUTTON)
    {
        View().OnLButtonDown(pressFlags, from);
        View().OnLButtonUp(releaseFlags, to);
    }
    int UsedSlots() { return UsedMarkSlots(Current()); }
    std::optional<MarkSlot> Slot(int from, int to)
    {
        for (const MarkSlot& s : Current().marks)
            if (s.from == from && s.to == to) return s;
        return std::nullopt;
    }
    MessageBoxScript boxes;
};

const POINT e2 = Centre(5, 6), e4 = Centre(5, 4), d2 = Centre(4, 6);

TEST_F(MouseTest, ViewHasFocusForReleases)
{
    EXPECT_TRUE(Shown().hasFocus());
}

TEST_F(MouseTest, PressPutsTheCurrentPieceInTheSquaresColour)
{
    CPlaviaView& view = Shown();
    GlobalModes::currentPiece = 'q';
    Drag(e2, e2);
    Drag(d2, d2);
    EXPECT_EQ(Letter(6, 5), 'q') << "e2 is light";
    EXPECT_EQ(Letter(6, 4), 'Q') << "d2 is dark";
    EXPECT_TRUE(view.m_bModified);
    GlobalModes::currentPiece = ' ';
    Drag(e2, e2);
    Drag(d2, d2);
    EXPECT_EQ(Letter(6, 5), ' ');
    EXPECT_EQ(Letter(6, 4), '+');
}

TEST_F(MouseTest, TenPixelsIsAClickElevenADrag)
{
    Shown();
    GlobalModes::currentPiece = 'q';
    Drag(e2, Offset(e2, 10, 0));
    EXPECT_EQ(Letter(6, 5), 'q') << "a click keeps the piece the press put";
    Drag(e2, Offset(e2, 0, -10));
    EXPECT_EQ(Letter(6, 5), 'q');
    Drag(e2, Offset(e2, 11, 0));
    EXPECT_EQ(Letter(6, 5), 'k') << "a drag right chooses the king";
    GlobalModes::currentPiece = 'q';
    Drag(e2, Offset(e2, 0, 11));
    EXPECT_EQ(Letter(6, 5), 'p');
}

struct GestureCase {
    int dx, dyUp;
    char white, black; // 0: a square marker
    int paletteRow;
    uint8_t marker;
};

TEST_F(MouseTest, EveryGestureOfTheDragTable)
{
    const GestureCase cases[] = {
        { 10, 30, 'p', 'o', 0, 0 },
        { 0, -30, 'q', 'w', 4, 0 },
        { 30, 0, 'k', 'l', 5, 0 },
        { -30, 0, 'r', 't', 3, 0 },
        { -20, 20, 'n', 'm', 1, 0 },
        { 15, 30, 'b', 'v', 2, 0 },
        { 20, -20, 0, 0, -1, MarkSquare1 },
        { -20, -20, 0, 0, -1, MarkSquare2 },
    };
    CPlaviaView& view = Shown();
    for (int black = 0; black < 2; ++black) {
        for (const GestureCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.dx << "," << c.dyUp << " black " << black);
            view.OnEditClearBoard();
            Current().board[6][5] = 'r'; // e2 holds a white rook before the press
            view.m_nPaletteColumn = black;
            view.m_nPaletteRow = 6;
            GlobalModes::currentPiece = black ? 'o' : 'p';
            Drag(e2, Offset(e2, c.dx, c.dyUp));
            if (c.white) {
                EXPECT_EQ(Letter(6, 5), black ? c.black : c.white);
                EXPECT_EQ(GlobalModes::currentPiece, black ? c.black : c.white);
                EXPECT_EQ(view.m_nPaletteRow, c.paletteRow);
                EXPECT_EQ(UsedSlots(), 0);
            } else {
                EXPECT_EQ(Letter(6, 5), 'r') << "the marker gesture gives the square its letter back";
                std::optional<MarkSlot> slot = Slot(53, 53);
                ASSERT_NE(slot, std::nullopt);
                EXPECT_EQ(slot->type, c.marker);
                EXPECT_EQ(view.m_nPaletteRow, 6);
            }
        }
    }
}

TEST_F(MouseTest, GesturesInLetterFamilyTwo)
{
    const EveryChessFontInstalled fonts;
    AppSettings::FontFaceName = 16;
    Shown();
    Drag(e2, Offset(e2, -20, 20));
    EXPECT_EQ(Letter(6, 5), 'h');
    View().m_nPaletteColumn = 1;
    Drag(d2, Offset(d2, 15, 30));
    EXPECT_EQ(Letter(6, 4), 'N') << "the black bishop of family 2 on a dark square";
}

TEST_F(MouseTest, WithoutIntelligentMouseADragChoosesNothing)
{
    AppSettings::IntelligentMouse = 0;
    Shown();
    GlobalModes::currentPiece = 'q';
    Drag(e2, Offset(e2, 30, 0));
    EXPECT_EQ(Letter(6, 5), 'q');
    EXPECT_EQ(GlobalModes::currentPiece, 'q');
}

TEST_F(MouseTest, DoubleClickEmptiesTheSquare)
{
    CPlaviaView& view = Shown();
    GlobalModes::currentPiece = 'q';
    Drag(d2, d2);
    view.OnLButtonDblClk(MK_LBUTTON, d2);
    view.OnLButtonUp(0, d2);
    EXPECT_EQ(Letter(6, 4), '+');
    EXPECT_EQ(GlobalModes::currentPiece, 'q') << "the current piece stays";
}

TEST_F(MouseTest, RightPressPutsThePieceInTheOtherColour)
{
    CPlaviaView& view = Shown();
    GlobalModes::currentPiece = 'n';
    view.OnRButtonDown(MK_RBUTTON, e2);
    view.OnRButtonUp(0, e2);
    EXPECT_EQ(Letter(6, 5), 'm');
    EXPECT_EQ(GlobalModes::currentPiece, 'm');
    EXPECT_EQ(view.m_nPaletteColumn, 1);
    EXPECT_EQ(GlobalModes::homeKeyX, e2.x);
    EXPECT_EQ(GlobalModes::homeKeyY, e2.y);
    view.OnRButtonDown(MK_RBUTTON, d2);
    EXPECT_EQ(Letter(6, 4), 'N');
    EXPECT_EQ(view.m_nPaletteColumn, 0);
}

TEST_F(MouseTest, RightPressInFamilyTwoSwapsItsKnights)
{
    const EveryChessFontInstalled fonts;
    AppSettings::FontFaceName = 17;
    CPlaviaView& view = Shown();
    GlobalModes::currentPiece = 'h';
    view.OnRButtonDown(MK_RBUTTON, e2);
    EXPECT_EQ(Letter(6, 5), 'j');
}

TEST_F(MouseTest, RightReleaseOutsideBoardAndPaletteOpensTheDiagramData)
{
    CPlaviaView& view = Shown();
    int opened = 0;
    int owner = 0;
    CommandRouter::Instance().Register(&owner, 102, [&] { ++opened; });
    view.OnRButtonUp(0, Centre(5, 5));
    view.OnRButtonUp(0, { 750, 100 }); // the palette
    EXPECT_EQ(opened, 0);
    view.OnRButtonUp(0, { 20, 700 });
    EXPECT_EQ(opened, 1);
    CommandRouter::Instance().Unregister(&owner);
}

TEST_F(MouseTest, MarksModeClicksToggleColours)
{
    CPlaviaView& view = Shown();
    CommandRouter::Instance().Execute(32819);
    ASSERT_TRUE(GlobalModes::colourMarksMode);
    Drag(e4, e4, MK_CONTROL, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(Current().colours[4][5], MarkGreen);
    EXPECT_EQ(Current().colouredCount, 1);
    EXPECT_EQ(view.m_nBnxOnlyCount, 1);
    EXPECT_EQ(Letter(4, 5), ' ') << "marks mode puts no piece";
    Drag(e4, e4, MK_SHIFT, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(Current().colours[4][5], 0) << "any keys take the colour away";
    EXPECT_EQ(Current().colouredCount, 0);
    EXPECT_EQ(view.m_nBnxOnlyCount, 0);

    struct Case {
        int flags;
        int colour;
    };
    view.m_nMarkColour = MarkYellow;
    for (Case c : { Case { 0, MarkYellow }, Case { MK_SHIFT, MarkRed },
             Case { MK_SHIFT | MK_CONTROL, MarkYellow }, Case { MK_RBUTTON | MK_CONTROL, MarkBlue } }) {
        Drag(d2, d2, c.flags);
        EXPECT_EQ(Current().colours[6][4], c.colour) << c.flags;
        Drag(d2, d2, c.flags);
        EXPECT_EQ(Current().colours[6][4], 0);
    }
}

TEST_F(MouseTest, ShiftClickOutsideMarksModeColoursToo)
{
    Shown();
    GlobalModes::currentPiece = 'q';
    Drag(e4, e4, MK_SHIFT, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(Current().colours[4][5], MarkRed);
    EXPECT_EQ(Letter(4, 5), ' ') << "a press with a key puts nothing";
}

TEST_F(MouseTest, ArrowsAreAddedAndToggledOffByARepeatedDrag)
{
    CPlaviaView& view = Shown();
    GlobalModes::colourMarksMode = true;
    view.m_nMarkColour = MarkGreen;
    Drag(e2, e4);
    std::optional<MarkSlot> arrow = Slot(53, 37);
    ASSERT_NE(arrow, std::nullopt);
    EXPECT_EQ(arrow->type, MarkGreen);
    EXPECT_EQ(Current().markCount, 1u);
    EXPECT_EQ(view.m_nBnxOnlyCount, 1);
    EXPECT_TRUE(view.m_bModified);
    Drag(e2, e4);
    EXPECT_EQ(Slot(53, 37), std::nullopt);
    EXPECT_EQ(Current().markCount, 0u);
    EXPECT_EQ(view.m_nBnxOnlyCount, 0);

    Drag(e2, e4, MK_SHIFT);
    EXPECT_EQ(Slot(53, 37)->type, MarkRed2);
    Drag(e2, Centre(5, 6 - 1) /* e3 */, MK_RBUTTON | MK_CONTROL);
    EXPECT_EQ(Slot(53, 45)->type, MarkBlue);
    EXPECT_EQ(Letter(6, 5), ' ') << "arrows put no piece";
}

TEST_F(MouseTest, MiddleButtonArrowHasTheMarkColourNeverTheAutomaticType)
{
    CPlaviaView& view = Shown();
    view.m_nMarkColour = MarkYellow;
    Drag(e2, e4, MK_MBUTTON);
    std::optional<MarkSlot> arrow = Slot(53, 37);
    ASSERT_NE(arrow, std::nullopt);
    EXPECT_EQ(arrow->type, MarkYellow);
    view.AddDoubleStepArrow("d", 0);
    EXPECT_NE(Slot(53, 37), std::nullopt) << "an automatic arrow does not take a user arrow away";
}

TEST_F(MouseTest, ArrowNeedsTwoSquaresOfTheBoard)
{
    Shown();
    GlobalModes::colourMarksMode = true;
    Drag(e2, Offset(e2, 12, 0)); // a drag that ends on the square it started from
    Drag(e2, { 395, 54 + 8 * Sq + 10 }); // released on the file letters
    Drag(e2, { 115 + 10, 100 }); // released on the rank numbers
    Drag(e2, { 900, 300 }); // released beside the board
    EXPECT_EQ(UsedSlots(), 0);
    EXPECT_TRUE(boxes.asked.empty()) << "no too-many-arrows message for a release off the squares";
}

TEST_F(MouseTest, PressOnLabelsOrOutsideChangesNoSquareAndAddsNoMark)
{
    CPlaviaView& view = Shown();
    GlobalModes::currentPiece = 'q';
    Drag(e2, e2); // e2 becomes the last pressed square
    const FontBoard board = Current().board;
    const POINT rankLabel { 115 + 10, Centre(5, 1).y }; // beside rank 7: square 8 * 1 is h8 by number
    const POINT fileLetter { e4.x, 54 + 8 * Sq + 10 };
    for (POINT p : { rankLabel, fileLetter }) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        GlobalModes::colourMarksMode = false;
        Drag(p, p);
        Drag(p, Offset(p, 20, -20)); // marker gesture
        Drag(p, Offset(p, 30, 0)); // fairy-style straight drag
        GlobalModes::fairyMode = true;
        Drag(p, Offset(p, 30, 0));
        GlobalModes::fairyMode = false;
        GlobalModes::colourMarksMode = true;
        Drag(p, p, MK_CONTROL); // colour toggle
        Drag(p, e4); // arrow
        GlobalModes::numbersMode = true;
        Drag(p, p);
        GlobalModes::numbersMode = false;
        EXPECT_EQ(Current().board, board);
        EXPECT_EQ(Current().colouredCount, 0);
        EXPECT_EQ(UsedSlots(), 0);
        for (const auto& row : Current().colours)
            for (int8_t c : row) EXPECT_EQ(c, 0);
        for (const auto& row : Current().rotations)
            for (int8_t r : row) EXPECT_EQ(r, 0);
    }
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(view.m_nBnxOnlyCount, 0);
}

TEST_F(MouseTest, PressBesideBoardAndPaletteIgnoresItsRelease)
{
    CPlaviaView& view = Shown();
    Drag(e2, e2); // remembers e2
    GlobalModes::colourMarksMode = true;
    view.OnLButtonDown(MK_LBUTTON, { 20, 700 });
    EXPECT_TRUE(view.m_bIgnoreNextRelease);
    view.OnLButtonUp(MK_CONTROL, { 20, 700 });
    EXPECT_FALSE(view.m_bIgnoreNextRelease);
    EXPECT_EQ(Current().colours[6][5], 0);
}

TEST_F(MouseTest, ReleaseWithoutFocusIsIgnored)
{
    CPlaviaView& view = Shown();
    GlobalModes::colourMarksMode = true;
    view.clearFocus();
    QApplication::processEvents();
    Drag(e2, e4);
    EXPECT_EQ(UsedSlots(), 0);
}

TEST_F(MouseTest, SeventiethMarkIsRefusedWithTheMessage)
{
    CPlaviaView& view = Shown();
    for (int i = 1; i <= MaxStoredMarks; ++i)
        view.AddMark(Marks::KindColour, 1, (i - 1) % 64 + 1, (i - 1) / 64 + 1);
    EXPECT_EQ(Current().markCount, 69u);
    EXPECT_TRUE(boxes.asked.empty());
    GlobalModes::colourMarksMode = true;
    Drag(e4, e2);
    EXPECT_EQ(Current().markCount, 69u);
    EXPECT_EQ(Slot(37, 53), std::nullopt);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "It's the maximum number of arrows for a diagram.");
    EXPECT_EQ(boxes.asked[0].style, MB_ICONERROR);
    EXPECT_EQ(view.m_nBnxOnlyCount, 69);
}

TEST_F(MouseTest, FlippedBoardActsOnTheMirroredSquare)
{
    Shown();
    Current().flipped = 1;
    GlobalModes::currentPiece = 'q';
    Drag(Centre(1, 0), Centre(1, 0));
    EXPECT_EQ(Letter(7, 8), 'q') << "the top-left screen square is h1";
    EXPECT_EQ(Letter(0, 1), ' ');
    GlobalModes::colourMarksMode = true;
    Drag(Centre(1, 0), Centre(1, 1)); // h1 to h2 on screen
    EXPECT_NE(Slot(64, 56), std::nullopt);
    Drag(Centre(2, 0), Centre(2, 0), MK_CONTROL);
    EXPECT_EQ(Current().colours[7][7], MarkGreen) << "g1";
}

TEST_F(MouseTest, PaletteChoosesThePieceAndEndsMarksMode)
{
    CPlaviaView& view = Shown();
    GlobalModes::colourMarksMode = true;
    // The palette's hit cells lie one square right of its rectangle (676, 54, 829, 411).
    const POINT blackRook { 676 + Sq + Sq + 10, 54 + 3 * Sq + 10 };
    view.OnLButtonDown(MK_LBUTTON, blackRook);
    view.OnLButtonUp(0, blackRook);
    EXPECT_EQ(GlobalModes::currentPiece, 't');
    EXPECT_EQ(view.m_nPaletteRow, 3);
    EXPECT_EQ(view.m_nPaletteColumn, 1);
    EXPECT_FALSE(GlobalModes::colourMarksMode);
    EXPECT_FALSE(GlobalModes::mouseEdit);
    view.OnLButtonDown(MK_LBUTTON, { 676 + Sq + 10, 54 + 6 * Sq + 10 });
    EXPECT_EQ(GlobalModes::currentPiece, ' ') << "the blank";
}

TEST_F(MouseTest, PaletteRowIsClampedToItsCells)
{
    CPlaviaView& view = Shown();
    view.m_rectPalette.bottom = view.m_rectPalette.top + 9 * Sq; // taller than its seven rows
    view.m_rectPalette.right = view.m_rectPalette.left + 4 * Sq;
    view.OnLButtonDown(MK_LBUTTON, { 676 + Sq + 10, 54 + 8 * Sq + 10 });
    EXPECT_EQ(view.m_nPaletteRow, 6);
    EXPECT_EQ(GlobalModes::currentPiece, ' ');
    view.OnLButtonDown(MK_LBUTTON, { 676 + 4 * Sq + 10, 54 + 10 });
    EXPECT_EQ(view.m_nPaletteColumn, 1);
    EXPECT_EQ(GlobalModes::currentPiece, 'o');
    Drag(e2, e2);
    EXPECT_EQ(Letter(6, 5), 'o');
}

TEST_F(MouseTest, NumbersModeWritesAndRemovesNumberMarks)
{
    CPlaviaView& view = Shown();
    Current().board[4][5] = 'q';
    CommandRouter::Instance().Execute(32857);
    ASSERT_TRUE(GlobalModes::numbersMode);
    EXPECT_FALSE(CommandRouter::Instance().Query(32819).enabled);
    CommandRouter::Instance().Query(32857);
    EXPECT_EQ(GlobalModes::currentPiece, 'r');
    const FontBoard board = Current().board;

    Drag(e4, e4);
    std::optional<MarkSlot> number = Slot(37, 37);
    ASSERT_NE(number, std::nullopt);
    EXPECT_EQ(number->type, '1');
    EXPECT_EQ(Current().board, board) << "numbers never change the board";
    Drag(e4, e4, MK_SHIFT);
    EXPECT_EQ(Slot(37, 37), std::nullopt) << "the same square again removes it";
    Drag(e4, Offset(e4, 30, 30));
    EXPECT_NE(Slot(37, 37), std::nullopt) << "a drag writes the number on the pressed square";
    view.OnRButtonDown(MK_RBUTTON, e2);
    EXPECT_EQ(Current().board, board);

    // The numbers palette: row 5, white column is 10 (0x3A).
    const char piece = GlobalModes::currentPiece;
    view.OnLButtonDown(MK_LBUTTON, { 676 + Sq + 10, 54 + 5 * Sq + 10 });
    EXPECT_EQ(GlobalModes::currentNumber, 0x3A);
    EXPECT_EQ(GlobalModes::currentPiece, piece) << "the numbers palette chooses no piece";
    Drag(d2, d2);
    EXPECT_EQ(Slot(52, 52)->type, 0x3A);
}

TEST_F(MouseTest, NumbersModeWithMarksModeLeftOnStillWritesNumbers)
{
    Shown();
    GlobalModes::colourMarksMode = true;
    GlobalModes::numbersMode = true;
    const FontBoard board = Current().board;
    Drag(e4, e4);
    EXPECT_NE(Slot(37, 37), std::nullopt);
    EXPECT_EQ(Current().board, board);
}

TEST_F(MouseTest, FairyDragsSetRotationMarks)
{
    CPlaviaView& view = Shown();
    GlobalModes::fairyMode = true;
    Drag(d2, Offset(d2, 30, 0)); // dark square, right
    EXPECT_EQ(Current().rotations[6][4], 4);
    EXPECT_EQ(Letter(6, 4), 'C') << "the king turned counter-clockwise";
    EXPECT_TRUE(view.m_bFairyMarks);
    Drag(d2, Offset(d2, -30, 0));
    EXPECT_EQ(Current().rotations[6][4], 5);
    EXPECT_EQ(Letter(6, 4), 'h') << "the rook turned clockwise";
    Drag(e2, Offset(e2, 30, 0)); // light square, right
    EXPECT_EQ(Current().rotations[6][5], 1);
    EXPECT_EQ(Letter(6, 5), 'k');
    Drag(e2, Offset(e2, 0, -30));
    EXPECT_EQ(Current().rotations[6][5], 2);
    Drag(e2, Offset(e2, 20, 20));
    EXPECT_EQ(Current().rotations[6][5], 2) << "diagonal drags turn nothing";
    EXPECT_EQ(Letter(6, 5), 'b');
    // A plain press on a square marked 4 puts the turned letter.
    GlobalModes::currentPiece = 'w';
    Current().rotations.Set(6, 4, 4);
    Drag(d2, d2);
    EXPECT_EQ(Letter(6, 4), 'X');
}

TEST_F(MouseTest, PlacementDragSetsTheGeometry)
{
    CPlaviaView& view = Shown();
    ASSERT_GE(view.width(), 520);
    CommandRouter::Instance().Execute(32782);
    ASSERT_TRUE(view.m_bPlacementMode);
    EXPECT_EQ(view.cursor().shape(), Qt::BitmapCursor) << "the placement cursor";
    view.OnLButtonDown(MK_LBUTTON, { 100, 60 });
    EXPECT_EQ(QWidget::mouseGrabber(), &view);
    view.OnMouseMove(MK_LBUTTON, { 300, 90 });
    EXPECT_EQ(view.m_ptMove.y, 60) << "the drag keeps to the line of its press";
    view.OnMouseMove(MK_LBUTTON, { 508, 60 });
    view.OnLButtonUp(0, { 508, 60 });
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(view.m_bPlacementMode);
    EXPECT_EQ(view.m_nSquareSize, 51);
    EXPECT_EQ(view.m_rectBoard, (RECT { 49, 60, 508, 519 }));
    EXPECT_EQ(view.m_rectBoardDevice, view.m_rectBoard);
    EXPECT_EQ(view.m_rectPalette, (RECT { 610, 60, 763, 417 }));
    EXPECT_EQ(view.m_rectText, (RECT { -2, 519, 967, 570 }));
    EXPECT_EQ(view.m_ptDown.x, 0);
    EXPECT_EQ(GlobalModes::homeKeyX, 408);
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);

    // The new board is edited where it now lies.
    GlobalModes::currentPiece = 'q';
    Drag({ 49 + Sq + 5, 60 + 5 }, { 49 + Sq + 5, 60 + 5 });
    EXPECT_EQ(Letter(0, 1), 'q');
}

TEST_F(MouseTest, NarrowPlacementDragGivesTheSmallestBoardAndStaysInTheWindow)
{
    CPlaviaView& view = Shown();
    view.OnBoardPlacement();
    view.OnLButtonDown(MK_LBUTTON, { 300, 100 });
    view.OnLButtonUp(0, { 310, 100 });
    // The smallest square the settings take back at the next start, so the placement survives it.
    EXPECT_EQ(view.m_nSquareSize, AppSettings::MinimumSquareSize);
    EXPECT_EQ(view.m_rectBoard, (RECT { 290, 100, 380, 190 }));

    view.OnBoardPlacement();
    view.OnLButtonDown(MK_LBUTTON, { 100, 60 });
    view.OnMouseMove(MK_LBUTTON, { view.width() + 300, 60 });
    EXPECT_EQ(view.m_ptMove.x, view.width() - 6) << "the drag is confined to the window";
    view.OnLButtonUp(0, { view.width() + 300, 60 });
    EXPECT_EQ(view.m_nSquareSize, (view.width() - 6 - 100) / 8);
}

TEST_F(MouseTest, PlacementReleaseWithoutFocusStillReleasesTheConfinement)
{
    CPlaviaView& view = Shown();
    view.OnBoardPlacement();
    view.OnLButtonDown(MK_LBUTTON, { 100, 60 });
    ASSERT_EQ(QWidget::mouseGrabber(), &view);
    view.clearFocus();
    QApplication::processEvents();
    view.OnLButtonUp(0, { 400, 60 });
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(view.m_bPlacementMode) << "the ignored release does not end the mode";
    view.setFocus();
    view.OnLButtonDown(MK_LBUTTON, { 100, 60 });
    view.OnLButtonUp(0, { 508, 60 });
    EXPECT_FALSE(view.m_bPlacementMode);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(MouseTest, PlacementCommandNeedsEditorMode)
{
    CPlaviaView& view = Shown();
    EXPECT_TRUE(CommandRouter::Instance().Query(32782).enabled);
    view.OnEditEditor();
    EXPECT_FALSE(CommandRouter::Instance().Query(32782).enabled);
    EXPECT_FALSE(CommandRouter::Instance().Query(32819).enabled);
    EXPECT_FALSE(CommandRouter::Instance().Query(32857).enabled);
    GlobalModes::currentPiece = 'q';
    Drag(e2, e2);
    EXPECT_EQ(Letter(6, 5), ' ') << "no mouse editing outside editor mode";
}

TEST_F(MouseTest, DoubleStepArrowIsAddedOnceAndFollowsTheSide)
{
    CPlaviaView& view = Shown();
    GlobalModes::mouseEdit = true;
    view.AddDoubleStepArrow("e", 0);
    std::optional<MarkSlot> arrow = Slot(13, 29);
    ASSERT_NE(arrow, std::nullopt);
    EXPECT_EQ(arrow->type, MarkDoubleStep);
    view.AddDoubleStepArrow("e", 0);
    EXPECT_EQ(UsedSlots(), 1) << "going back to the diagram adds no second arrow";
    view.AddDoubleStepArrow("e", 1);
    EXPECT_EQ(UsedSlots(), 1);
    EXPECT_NE(Slot(53, 37), std::nullopt);
    EXPECT_EQ(view.m_nBnxOnlyCount, 0) << "automatic arrows are not the user's marks";
    EXPECT_FALSE(view.m_bModified);
    view.AddDoubleStepArrow("", 1);
    view.AddDoubleStepArrow("z", 1);
    EXPECT_EQ(UsedSlots(), 1);
}

TEST_F(MouseTest, ColourCommandsAndTheirPopUp)
{
    CPlaviaView& view = Shown();
    CommandRouter& router = CommandRouter::Instance();
    EXPECT_EQ(view.m_nMarkColour, MarkBlue);
    EXPECT_EQ(router.Query(381).checked, 1);
    struct Case {
        unsigned id;
        int colour;
    };
    for (Case c : { Case { 390, MarkGreen }, Case { 391, MarkRed }, Case { 392, MarkYellow },
             Case { 381, MarkBlue } }) {
        router.Execute(c.id);
        EXPECT_EQ(view.m_nMarkColour, c.colour);
        for (unsigned other : { 381u, 390u, 391u, 392u })
            EXPECT_EQ(router.Query(other).checked, other == c.id ? 1 : 0);
    }

    // The colour pop-up (menu 204) drops down from the marks button of the tool bar.
    QMenu* menu = nullptr;
    for (QToolButton* button : Frame().ToolBar()->findChildren<QToolButton*>())
        if (button->defaultAction() && button->defaultAction()->data().toUInt() == 32819)
            menu = button->menu();
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* a : menu->actions()) texts << a->text();
    EXPECT_EQ(texts, (QStringList { "Blue", "Green", "Red", "Yellow" }));
    menu->actions()[2]->trigger();
    EXPECT_EQ(view.m_nMarkColour, MarkRed);
    GlobalModes::colourMarksMode = false;
    emit menu->aboutToShow();
    EXPECT_TRUE(menu->actions()[2]->isChecked());
    EXPECT_FALSE(menu->actions()[0]->isChecked());
    EXPECT_TRUE(GlobalModes::colourMarksMode) << "dropping the menu down turns the marks mode on";
}

TEST_F(MouseTest, MarksModeCommandTogglesAndIsOffWhileNumbering)
{
    Shown();
    CommandRouter& router = CommandRouter::Instance();
    EXPECT_EQ(router.Query(32819).checked, 0);
    router.Execute(32819);
    EXPECT_TRUE(GlobalModes::colourMarksMode);
    EXPECT_EQ(router.Query(32819).checked, 1);
    router.Execute(32819);
    EXPECT_FALSE(GlobalModes::colourMarksMode);
    router.Execute(32857);
    EXPECT_EQ(router.Query(32857).checked, 1);
    EXPECT_FALSE(router.Execute(32819));
    router.Execute(32857);
    EXPECT_FALSE(GlobalModes::numbersMode);
}

TEST_F(MouseTest, RealMouseEventsReachTheHandlers)
{
    CPlaviaView& view = Shown();
    GlobalModes::currentPiece = 'q';
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(d2.x, d2.y));
    EXPECT_EQ(Letter(6, 4), 'Q');
    // The window system follows a double click with its release; QTest leaves that to the caller.
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(d2.x, d2.y));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(d2.x, d2.y));
    EXPECT_EQ(Letter(6, 4), '+');
    QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, QPoint(e2.x, e2.y));
    EXPECT_EQ(Letter(6, 5), 'w');

    GlobalModes::colourMarksMode = true;
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(e2.x, e2.y));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(e4.x, e4.y));
    EXPECT_NE(Slot(53, 37), std::nullopt);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ControlModifier, QPoint(e4.x, e4.y));
    EXPECT_EQ(Current().colours[4][5], MarkGreen);
}

} // namespace
