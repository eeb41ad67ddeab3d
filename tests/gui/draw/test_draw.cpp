#include "DrawSupport.h"
#include "tests/support/InstalledFonts.h"

#include "platform/Commands.h"
#include "positions/BoardLetters.h"
#include "view/BoardGeometry.h"

#include <QTransform>

using namespace Win32;
using namespace DrawSupport;
using namespace BoardGeometry;

namespace {

class DrawTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        AppSettings::Texture = 0; // plain white background, so colours can be read back
    }
    CPlaviaView& Board()
    {
        CPlaviaView& view = View();
        SettingsState::currentTexture = 0;
        return view;
    }
    DiagramRecord& Current() { return *View().m_pCurrentDiagram; }
    void Put(int row, int cell, char letter) { Current().board[size_t(row)][size_t(cell)] = letter; }
    void AddSlot(uint8_t from, uint8_t to, uint8_t type)
    {
        for (size_t i = 0; i < Current().marks.size(); ++i)
            if (Current().marks[i].from == 0) {
                Current().marks.Set(i, { from, to, type });
                ++Current().markCount;
                return;
            }
    }
};

// --- squares and pieces

TEST_F(DrawTest, LightSquaresStayBlankAndDarkSquaresAreHatched)
{
    REQUIRE_FONT("Varnok Fairy");
    QImage image = Render(Board());
    const int light = DarkPixels(image, Inset(Cell(1, 0), 2)); // a8
    const int dark = DarkPixels(image, Inset(Cell(2, 0), 2)); // b8
    const int area = (Sq - 4) * (Sq - 4);
    EXPECT_EQ(light, 0);
    EXPECT_GT(dark, area / 10);
    EXPECT_LT(dark, area / 2);
    // The same for the other corner: h1 light, a1 dark.
    EXPECT_EQ(DarkPixels(image, Inset(Cell(8, 7), 2)), 0);
    EXPECT_GT(DarkPixels(image, Inset(Cell(1, 7), 2)), area / 10);
}

TEST_F(DrawTest, PieceGlyphFillsItsOwnCellOnly)
{
    REQUIRE_FONT("Varnok Fairy");
    CPlaviaView& view = Board();
    Put(7, 4, 'q'); // white queen on d1, a light square
    QImage image = Render(view);
    const int inCell = DarkPixels(image, Cell(4, 7));
    EXPECT_GT(inCell, Sq * Sq / 12);
    // Its light neighbours on the same rank and file stay clean: the glyph cell is exactly one square.
    EXPECT_EQ(DarkPixels(image, Inset(Cell(4, 6), 1)), DarkPixels(image, Inset(Cell(2, 6), 1)));
    EXPECT_GT(DarkPixels(image, Inset(Cell(4, 6), 1)), 0); // d2 is dark: hatching only
    EXPECT_EQ(DarkPixels(image, Inset(Cell(6, 7), 1)), 0); // f1, light and empty
}

TEST_F(DrawTest, RowsAreOneTextCallEachUntilSquaresNeedColours)
{
    CPlaviaView& view = Board();
    std::vector<DcCall> journal;
    Render(view, &journal);
    for (int r = 0; r < 8; ++r) {
        const DcCall* row = TextAt(journal, BoardLeft, BoardTop + r * Sq);
        ASSERT_NE(row, nullptr) << r;
        EXPECT_EQ(row->text, std::string(Current().board[size_t(r)].data(), 10));
        EXPECT_EQ(row->face, "Varnok Fairy");
        EXPECT_EQ(row->fontHeight, Sq);
    }
    EXPECT_EQ(TextAt(journal, BoardLeft, BoardTop - Sq)->text, "!\"\"\"\"\"\"\"\"#");
    EXPECT_EQ(TextAt(journal, BoardLeft, BoardTop + 8 * Sq)->text, "/(((((((()");

    Current().colours.Set(3, 4, int8_t(MarkRed));
    Current().colouredCount = 1;
    journal.clear();
    Render(view, &journal);
    const DcCall* cell = TextAt(journal, BoardLeft + 4 * Sq, BoardTop + 3 * Sq);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text.size(), 1u);
    EXPECT_EQ(cell->bkMode, OPAQUE);
    EXPECT_EQ(cell->bkColour, RGB(248, 166, 166));
    // Hiding text and arrows draws the rows whole again.
    view.m_bHideTextAndArrows = true;
    journal.clear();
    Render(view, &journal);
    EXPECT_EQ(TextAt(journal, BoardLeft, BoardTop + 3 * Sq)->text.size(), 10u);
}

TEST_F(DrawTest, ColouredSquaresAreFilledBehindTheirGlyph)
{
    REQUIRE_FONT("Varnok Fairy");
    CPlaviaView& view = Board();
    Current().colours.Set(0, 1, int8_t(MarkGreen)); // a8, light
    Current().colours.Set(0, 2, int8_t(MarkBlue)); // b8, dark: the colour shows between the hatching
    Current().colouredCount = 2;
    QImage image = Render(view);
    const RECT a8 = Inset(Cell(1, 0), 3), b8 = Inset(Cell(2, 0), 3);
    const int area = a8.Width() * a8.Height();
    EXPECT_GT(Count(image, a8, Near(RGB(168, 241, 172))), area * 9 / 10);
    EXPECT_GT(Count(image, b8, Near(RGB(191, 243, 243), 20)), area / 3);
    EXPECT_EQ(Count(image, Inset(Cell(3, 0), 3), Near(RGB(168, 241, 172))), 0);
}

TEST_F(DrawTest, InvalidColourCodesFromFilesAreNotDrawn)
{
    CPlaviaView& view = Board();
    Current().colours.Set(0, 1, 9);
    Current().colours.Set(0, 3, -2);
    Current().colouredCount = 2;
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    for (const DcCall* call : Calls(journal, "TextOut"))
        if (call->bkMode == OPAQUE) EXPECT_EQ(call->bkColour, RGB(255, 255, 255)) << call->text;
    EXPECT_EQ(Count(image, Inset(Cell(1, 0), 3), Near(RGB(255, 255, 255))), (Sq - 6) * (Sq - 6));
}

// --- arrows

struct ArrowCase {
    const char* name;
    int from, to;
    bool fromOccupied, toOccupied;
    POINT tail;
    double angle;
    int length;
};

TEST(ArrowGeometry, PolygonPointsForStraightDiagonalAndOccupiedSquares)
{
    const RECT board { BoardLeft, BoardTop, BoardLeft + 9 * Sq, BoardTop + 9 * Sq };
    // e2 = 53, e4 = 37, a1 = 57, h8 = 8, a4 = 33, d4 = 36; centres at 115 + column * 51 + 25.
    const ArrowCase cases[] = {
        { "e2-e4 empty", 53, 37, false, false, { 395, 385 }, 0, 102 },
        { "e2-e4 from a pawn: a quarter and an eighth shorter, not sideways", 53, 37, true, false,
            { 395, 373 }, 0, 84 },
        { "e4-e2 down", 37, 53, false, false, { 395, 283 }, 180, 102 },
        { "a4-d4 between pieces", 33, 36, true, true, { 203, 283 }, 90, 129 },
        { "d4-a4 left", 36, 33, false, false, { 344, 283 }, 270, 153 },
        { "a1-h8 diagonal", 57, 8, false, false, { 191, 436 }, 45, 504 },
        { "a1-h8 from and to pieces", 57, 8, true, true, { 203, 424 }, 45, 474 },
    };
    for (const ArrowCase& c : cases) {
        SCOPED_TRACE(c.name);
        ArrowShape arrow = ArrowPolygon(board, Sq, c.from, c.to, c.fromOccupied, c.toOccupied);
        EXPECT_EQ(arrow.tail.x, c.tail.x);
        EXPECT_EQ(arrow.tail.y, c.tail.y);
        EXPECT_NEAR(arrow.angle, c.angle, 1e-6);
        EXPECT_EQ(int(arrow.length), c.length);
        const int w = Sq / 20 + 1, x = c.tail.x, y = c.tail.y, tip = y - c.length;
        const std::array<POINT, 7> expected = { POINT { x + w, y }, POINT { x + w, tip + 4 * w },
            POINT { x + 2 * w + w / 2, tip + 4 * w }, POINT { x, tip },
            POINT { x - 2 * w - w / 2, tip + 4 * w }, POINT { x - w, tip + 4 * w }, POINT { x - w, y } };
        for (size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(arrow.points[i].x, expected[i].x) << i;
            EXPECT_EQ(arrow.points[i].y, expected[i].y) << i;
        }
    }
}

TEST(ArrowGeometry, TurnedTipLandsOnTheTargetCentre)
{
    const RECT board { BoardLeft, BoardTop, BoardLeft + 9 * Sq, BoardTop + 9 * Sq };
    for (int from : { 1, 20, 36, 57, 64 })
        for (int to : { 8, 13, 29, 43, 60 }) {
            if (from == to) continue;
            ArrowShape arrow = ArrowPolygon(board, Sq, from, to, false, false);
            POINT tip = arrow.TurnedPoints()[3], centre = SquareCentre(board, Sq, to);
            EXPECT_LE(std::abs(tip.x - centre.x), 1) << from << "-" << to;
            EXPECT_LE(std::abs(tip.y - centre.y), 1) << from << "-" << to;
        }
}

TEST_F(DrawTest, ArrowIsAPolygonInItsColourTurnedIntoPlace)
{
    CPlaviaView& view = Board();
    Put(6, 5, 'P'); // white pawn on e2
    AddSlot(53, 37, MarkYellow);
    AddSlot(57, 8, MarkGreen);
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    auto polygons = Calls(journal, "Polygon");
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0]->points.size(), 7u);
    EXPECT_EQ(polygons[0]->points[0].y, 373);
    EXPECT_EQ(polygons[0]->brushColour, RGB(244, 247, 162));
    EXPECT_FLOAT_EQ(polygons[0]->world.eM11, 1.0f);
    EXPECT_EQ(polygons[1]->brushColour, RGB(168, 241, 172));
    EXPECT_NEAR(polygons[1]->world.eM11, std::cos(45 / 180.0 * 3.1415926), 1e-6);
    EXPECT_NEAR(polygons[1]->world.eM12, std::sin(45 / 180.0 * 3.1415926), 1e-6);
    EXPECT_NEAR(view.m_dArrowAngle, 45, 1e-6);
    // The yellow shaft runs up the e-file between e3 and e4, the green one along the long diagonal.
    EXPECT_GT(Count(image, { 394, 300, 397, 360 }, Near(RGB(244, 247, 162))), 100);
    EXPECT_GT(Count(image, Inset(Cell(4, 4), 20), Near(RGB(168, 241, 172))), 40); // d4
}

TEST_F(DrawTest, MarksReadFromFilesAreDrawnOnlyWhenValid)
{
    CPlaviaView& view = Board();
    AddSlot(70, 12, MarkRed); // square off the board
    AddSlot(12, 80, MarkRed);
    AddSlot(12, 20, 9); // no such arrow colour
    AddSlot(12, 20, 0);
    AddSlot(30, 30, 0x2A); // below the number marks: would read before the digit table
    AddSlot(30, 30, 0x3E); // past them
    AddSlot(30, 30, 5); // a single-square colour draws nothing
    AddSlot(200, 200, MarkSquare1);
    std::vector<DcCall> journal;
    Render(view, &journal);
    EXPECT_TRUE(Calls(journal, "Polygon").empty());
    EXPECT_TRUE(Calls(journal, "Ellipse").empty());
    EXPECT_TRUE(Calls(journal, "LineTo").empty());
    for (const DcCall* call : Calls(journal, "TextOut")) EXPECT_NE(call->text, "?");
}

// --- markers and numbers

TEST_F(DrawTest, SquareMarkersAndNumberMarksSitInTheMiddleThird)
{
    CPlaviaView& view = Board();
    Put(3, 2, 'm'); // black knight on b5
    AddSlot(29, 29, MarkSquare1); // e5, empty
    AddSlot(26, 26, MarkSquare1); // b5, on the black knight
    AddSlot(44, 44, MarkSquare2); // d3 cross
    AddSlot(23, 23, '3'); // g6, light
    AddSlot(26 + 8, 26 + 8, 0x3D); // b4: "d"
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    auto ellipses = Calls(journal, "Ellipse");
    ASSERT_EQ(ellipses.size(), 2u);
    // e5: column 5, row 3.
    EXPECT_EQ(ellipses[0]->points[0].x, 115 + 5 * 51 + 17);
    EXPECT_EQ(ellipses[0]->points[0].y, 54 + 4 * 51 - 17 - 17);
    EXPECT_EQ(ellipses[0]->points[1].x, 115 + 5 * 51 + 34);
    EXPECT_EQ(ellipses[0]->points[1].y, 54 + 4 * 51 - 17);
    EXPECT_EQ(ellipses[0]->brushColour, RGB(0, 0, 0));
    EXPECT_EQ(ellipses[1]->brushColour, RGB(200, 200, 200));
    EXPECT_GT(DarkPixels(image, { 390, 226, 400, 238 }), 80);

    auto lines = Calls(journal, "LineTo");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->penWidth, Sq / 8);
    EXPECT_EQ(lines[0]->penStyle, PS_GEOMETRIC | PS_ENDCAP_SQUARE);

    const RECT g6 = MarkerRect(view.m_rectBoard, Sq, 23);
    const DcCall* three = TextAt(journal, g6.left + Sq / 14, g6.top - Sq / 10);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->text, "3");
    EXPECT_EQ(three->face, "Arial");
    EXPECT_EQ(three->bkMode, TRANSPARENT);
    EXPECT_GT(DarkPixels(image, Inset(Cell(7, 2), 10)), 10);
    const RECT b4 = MarkerRect(view.m_rectBoard, Sq, 34);
    const DcCall* thirteen = TextAt(journal, b4.left + Sq / 14, b4.top - Sq / 10);
    ASSERT_NE(thirteen, nullptr);
    EXPECT_EQ(thirteen->text, "d");
    EXPECT_EQ(NumberMarkChar('0'), '0');
}

TEST_F(DrawTest, NumberOnABlackPieceIsYellow)
{
    CPlaviaView& view = Board();
    Put(2, 3, 'o'); // black pawn on c6 (light)
    AddSlot(19, 19, '7');
    std::vector<DcCall> journal;
    Render(view, &journal);
    const RECT c6 = MarkerRect(view.m_rectBoard, Sq, 19);
    const DcCall* seven = TextAt(journal, c6.left + Sq / 14, c6.top - Sq / 10);
    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(seven->textColour, RGB(244, 247, 162));
}

// --- the flipped board

TEST_F(DrawTest, FlippedBoardMirrorsSquaresCoordinatesAndMarks)
{
    REQUIRE_FONT("Varnok Fairy");
    CPlaviaView& view = Board();
    Put(0, 1, 't'); // black rook on a8
    Current().colours.Set(0, 1, int8_t(MarkRed));
    Current().colouredCount = 1;
    AddSlot(1, 1, MarkSquare1); // marker on a8
    AddSlot(57, 49, MarkBlue); // a1-a2
    view.OnFlipBoard();
    EXPECT_EQ(Current().flipped, 1);
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    EXPECT_STREQ(view.m_szFileLetters, "HGFEDCBA");
    EXPECT_STREQ(view.m_szRankLabels, "12345678");
    // a8 is shown in the bottom-right corner, with its colour and the rook.
    EXPECT_EQ(view.m_displayRows[7][8], 't');
    EXPECT_EQ(view.m_displayColours[7][8], MarkRed);
    EXPECT_GT(Count(image, Inset(Cell(8, 7), 2), Near(RGB(248, 166, 166))), 200);
    EXPECT_GT(DarkPixels(image, Cell(8, 7)), Sq * Sq / 12);
    EXPECT_EQ(DarkPixels(image, Inset(Cell(1, 0), 2)), 0);
    EXPECT_EQ(view.m_displayMarks[0].from, 64);
    EXPECT_EQ(view.m_displayMarks[1].from, 8);
    EXPECT_EQ(view.m_displayMarks[1].to, 16);
    // Rank "1" at the top, file "H" (lower case with PrintCoords 1) first.
    EXPECT_EQ(TextAt(journal, BoardLeft + Sq / 2, BoardTop + Sq / 3)->text, "1");
    EXPECT_EQ(TextAt(journal, BoardLeft + Sq + Sq / 2 - Sq / 11, BoardTop + 9 * Sq - Sq + Sq / 4)->text, "h");
    view.OnFlipBoard();
    EXPECT_EQ(Current().flipped, 0);
}

TEST_F(DrawTest, FlipBoardTurnsEveryDiagram)
{
    CPlaviaView& view = Board();
    view.AppendDiagram();
    view.AppendDiagram();
    ASSERT_EQ(view.DiagramCount(), 3);
    CommandRouter::Instance().Execute(160);
    for (DiagramRecord* r = view.m_pFirstDiagram; r; r = r->next) EXPECT_EQ(r->flipped, 1);
}

// --- fairy rotations

TEST_F(DrawTest, RotatedPiecesUseTheTurnedFontsOrTheirOwnLetters)
{
    REQUIRE_FONT("Varnok Fairy");
    CPlaviaView& view = Board();
    GlobalModes::fairyMode = true;
    Put(0, 1, 'k');
    Current().rotations.Set(0, 1, 1); // a8: a quarter turn counter-clockwise
    Put(0, 3, 'k');
    Current().rotations.Set(0, 3, 2); // c8: upside down
    Put(0, 5, 'k');
    Current().rotations.Set(0, 5, 3); // e8: clockwise
    Put(0, 7, 'k'); // g8 upright, for comparison
    Put(1, 1, 'C');
    Current().rotations.Set(1, 1, 4); // a7, dark: the letter of the turned king
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    const DcCall* a8 = TextAt(journal, BoardLeft + Sq, BoardTop + Sq);
    ASSERT_NE(a8, nullptr);
    EXPECT_EQ(a8->escapement, 900);
    const DcCall* c8 = TextAt(journal, BoardLeft + 4 * Sq, BoardTop + Sq);
    ASSERT_NE(c8, nullptr);
    EXPECT_EQ(c8->escapement, 1800);
    const DcCall* e8 = TextAt(journal, BoardLeft + 6 * Sq, BoardTop);
    ASSERT_NE(e8, nullptr);
    EXPECT_EQ(e8->escapement, 2700);
    bool turnedLetterUpright = false;
    for (const DcCall* call : Calls(journal, "TextOut"))
        if (call->text == "C" && call->escapement == 0 && call->points[0].x == BoardLeft + Sq
            && call->points[0].y == BoardTop + Sq)
            turnedLetterUpright = true;
    EXPECT_TRUE(turnedLetterUpright);

    // The turned glyphs are the upright king turned, in the same cell.
    auto crop = [&](int column) { return image.copy(BoardLeft + column * Sq, BoardTop, Sq, Sq); };
    const QImage upright = crop(7);
    auto differs = [](const QImage& a, const QImage& b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) n += Dark(a.pixel(x, y)) != Dark(b.pixel(x, y));
        return n;
    };
    const int glyph = DarkPixels(image, Cell(7, 0));
    EXPECT_LT(differs(crop(1), upright.transformed(QTransform().rotate(-90))), glyph / 5);
    EXPECT_LT(differs(crop(3), upright.transformed(QTransform().rotate(180))), glyph / 5);
    EXPECT_LT(differs(crop(5), upright.transformed(QTransform().rotate(90))), glyph / 5);
    EXPECT_GT(differs(crop(1), upright), glyph / 3);
}

// --- palette, label and the other texts

TEST_F(DrawTest, PaletteShowsTheCurrentPieceInPink)
{
    REQUIRE_FONT("Varnok Fairy");
    CPlaviaView& view = Board();
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    // Row 6 of the palette holds the kings; the white king (column 1) is the current piece.
    const RECT palette = view.m_rectPalette;
    const DcCall* king = TextAt(journal, palette.left + Sq, BoardTop + 5 * Sq);
    ASSERT_NE(king, nullptr);
    EXPECT_EQ(king->text, "k");
    EXPECT_EQ(king->textColour, RGB(255, 0, 128));
    const DcCall* blackKing = TextAt(journal, palette.left + 2 * Sq, BoardTop + 5 * Sq);
    ASSERT_NE(blackKing, nullptr);
    EXPECT_EQ(blackKing->text, "L");
    EXPECT_EQ(blackKing->textColour, RGB(0, 0, 0));
    RECT kingCell { palette.left + Sq, BoardTop + 5 * Sq, palette.left + 2 * Sq, BoardTop + 6 * Sq };
    EXPECT_GT(Count(image, kingCell, Near(RGB(255, 0, 128), 40)), 100);
    EXPECT_EQ(TextAt(journal, palette.left, BoardTop + 7 * Sq)->text, "/"); // the palette's foot

    // Outside editor mode there is no palette.
    view.OnEditEditor();
    journal.clear();
    Render(view, &journal);
    EXPECT_EQ(TextAt(journal, palette.left + Sq, BoardTop + 5 * Sq), nullptr);
}

TEST_F(DrawTest, NumbersPaletteWritesItsNumbersAndSetsTheCurrentNumber)
{
    CPlaviaView& view = Board();
    GlobalModes::numbersMode = true;
    view.m_nPaletteRow = 5; // drawn row 6: "ab"
    view.m_nPaletteColumn = 1;
    std::vector<DcCall> journal;
    Render(view, &journal);
    EXPECT_EQ(GlobalModes::currentNumber, 0x3B);
    const RECT palette = view.m_rectPalette;
    const DcCall* b = TextAt(journal, palette.left + 2 * Sq + Sq / 3, BoardTop + 5 * Sq + Sq / 4);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->text, "b");
    EXPECT_EQ(b->face, "Arial");
    const DcCall* cell = TextAt(journal, palette.left + Sq, BoardTop);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->textColour, RGB(0, 128, 128));
    EXPECT_EQ(cell->bkMode, TRANSPARENT);
    view.m_nPaletteRow = 0;
    view.m_nPaletteColumn = 0;
    Render(view);
    EXPECT_EQ(GlobalModes::currentNumber, '0');
}

TEST_F(DrawTest, LabelShowsNumberAndComment)
{
    REQUIRE_FONT("Varnok Fairy");
    CPlaviaView& view = Board();
    view.m_nStartNumber = 5;
    Current().displayComment = "White wins";
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    auto texts = Calls(journal, "DrawText");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text, "Diag.5 : White wins");
    EXPECT_EQ(texts[0]->points[0].x, BoardLeft);
    EXPECT_EQ(texts[0]->points[0].y, BoardTop + 9 * Sq);
    EXPECT_EQ(texts[0]->points[1].x, 1100);
    EXPECT_GT(
        DarkPixels(image, { BoardLeft, BoardTop + 9 * Sq, BoardLeft + 200, BoardTop + 9 * Sq + Sq / 2 }),
        100);
}

TEST(LabelText, CommentsHiddenTextAndTheOperationPrefix)
{
    DiagramRecord r;
    r.displayComment = "Mate in 2";
    EXPECT_EQ(LabelText(3, r, false), "Diag.3 : Mate in 2");
    r.displayComment = "c0 \"Study\" c1 x";
    EXPECT_EQ(LabelText(3, r, false), "Diag.3 : \"Study\" c1 x");
    r.castleWhiteShort = r.castleWhiteLong = r.castleBlackShort = r.castleBlackLong = 1;
    EXPECT_EQ(LabelText(3, r, true), "Diag.3 : w KQkq");
    r.blackToMove = 1;
    r.castleWhiteLong = r.castleBlackShort = 0;
    EXPECT_EQ(LabelText(12, r, true), "Diag.12 : b Kq");
}

TEST_F(DrawTest, LongLabelsBreakBetweenWords)
{
    CPlaviaView& view = Board();
    std::string words;
    for (int i = 0; i < 60; ++i) words += "word ";
    Current().displayComment = words;
    view.resize(600, 700);
    QImage image(600, 700, QImage::Format_RGB32);
    Dc dc(&image);
    view.PaintView(dc);
    const int labelTop = BoardTop + 9 * Sq;
    // More than one line of text under the board, none past the right edge of the window.
    EXPECT_GT(DarkPixels(image, { BoardLeft, labelTop + 30, 590, labelTop + 60 }), 50);
}

TEST_F(DrawTest, CorrectionModeWritesItsTextsAndTheWholeLabel)
{
    CPlaviaView& view = Board();
    GlobalModes::correctionMode = true;
    SettingsState::correctionStatusText = "Error 2 of 5";
    view.m_bHideTextAndArrows = true;
    Current().displayComment = "Broken";
    std::vector<DcCall> journal;
    Render(view, &journal);
    const DcCall* title = nullptr;
    for (const DcCall* call : Calls(journal, "TextOut"))
        if (call->text == "Correction mode,click on \"next\" (>) to display next error.") title = call;
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->textColour, RGB(255, 0, 128));
    EXPECT_EQ(title->points[0].y, BoardTop - Sq);
    const DcCall* status = TextAt(journal, BoardLeft, BoardTop + 9 * Sq + Sq / 2);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text, "Error 2 of 5");
    const DcCall* label = TextAt(journal, BoardLeft, BoardTop + 9 * Sq);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, "Diag.1 : Broken");
    EXPECT_TRUE(Calls(journal, "DrawText").empty());
}

TEST_F(DrawTest, EmptyListDrawsTheTemplateBoardOnly)
{
    CPlaviaView& view = Board();
    view.FreeAllDiagrams();
    view.m_nLastIndex = -1;
    std::vector<DcCall> journal;
    Render(view, &journal);
    EXPECT_EQ(TextAt(journal, BoardLeft, BoardTop)->text, "$ + + + +%");
    EXPECT_TRUE(Calls(journal, "DrawText").empty());
}

TEST_F(DrawTest, PlacementDragShowsOnlyTheLineAndItsWidth)
{
    CPlaviaView& view = Board();
    view.m_bPlacementMode = true;
    view.m_ptDown = { 100, 60 };
    view.m_ptMove = { 508, 60 };
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    auto lines = Calls(journal, "LineTo");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->penColour, RGB(255, 0, 0));
    EXPECT_EQ(lines[0]->penWidth, 2);
    EXPECT_EQ(lines[0]->points[0].x, 100);
    EXPECT_EQ(lines[0]->points[1].x, 508);
    auto texts = Calls(journal, "TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text, "408");
    EXPECT_EQ(texts[0]->points[0].x, 528);
    EXPECT_GT(Count(image, { 200, 58, 400, 62 }, Near(RGB(255, 0, 0))), 300);
}

TEST_F(DrawTest, PlacementModeClearsTheWindowToItsBackgroundColour)
{
    // Textured or not, the command leaves the background colour alone until the drag begins.
    for (int texture : { 0, 1 }) {
        SetUp();
        frame.reset();
        AppSettings::Texture = static_cast<uint8_t>(texture);
        CPlaviaView& view = View();
        view.OnEditStandardStartPosition();
        view.m_ptDown = { 300, 200 }; // an earlier press on the board
        CommandRouter::Instance().Execute(32782);
        ASSERT_TRUE(view.m_bPlacementMode);
        std::vector<DcCall> journal;
        QImage image = Render(view, &journal);
        EXPECT_TRUE(Calls(journal, "TextOut").empty()) << texture;
        EXPECT_TRUE(Calls(journal, "LineTo").empty()) << texture;
        EXPECT_EQ(Count(image, { 0, 0, 1100, 700 }, Near(SettingsState::backgroundColour, 0)), 1100 * 700)
            << texture;
    }
}

TEST_F(DrawTest, TextureIsPaintedUnderATransparentBoard)
{
    AppSettings::Texture = 1;
    CPlaviaView& view = View();
    ASSERT_EQ(SettingsState::currentTexture, 1);
    std::vector<DcCall> journal;
    QImage image = Render(view, &journal);
    auto rects = Calls(journal, "Rectangle");
    ASSERT_FALSE(rects.empty());
    EXPECT_TRUE(rects[0]->brushPattern);
    EXPECT_EQ(rects[0]->points[1].x, 1100);
    EXPECT_EQ(TextAt(journal, BoardLeft, BoardTop)->bkMode, TRANSPARENT);
    // The paper shows through the light squares: not plain white.
    EXPECT_LT(Count(image, Inset(Cell(1, 0), 3), Near(RGB(255, 255, 255), 0)), 100);
}

TEST_F(DrawTest, SecondLetterFamilyDrawsItsOwnFrame)
{
    const EveryChessFontInstalled fonts;
    AppSettings::FontFaceName = 16; // "Chess Berlin"
    CPlaviaView& view = Board();
    std::vector<DcCall> journal;
    Render(view, &journal);
    EXPECT_EQ(TextAt(journal, BoardLeft, BoardTop - Sq)->text, "1222222223");
    EXPECT_EQ(TextAt(journal, BoardLeft, BoardTop + 8 * Sq)->text, "7888888889");
    EXPECT_EQ(TextAt(journal, BoardLeft, BoardTop)->text, "4 + + + +5");
    EXPECT_EQ(TextAt(journal, view.m_rectPalette.left, BoardTop + 7 * Sq)->text, "7889");
    EXPECT_EQ(BoardLetters::BottomFrameRow(true, false), "6777777778");
    EXPECT_EQ(PaletteRowText(2, true, false), "4hJ5");
}

// --- two changed squares

TEST_F(DrawTest, FindMoveSquaresNeedsExactlyTwoChanges)
{
    CPlaviaView& view = Board();
    view.OnEditStandardStartPosition();
    DiagramRecord* second = view.AppendDiagram();
    view.m_pCurrentDiagram = second;
    second->board = second->previous->board;
    second->board[6][5] = '+'; // e2 empty (dark)
    second->board[4][5] = 'P'; // e4 pawn (dark)
    EXPECT_TRUE(view.FindMoveSquares(false));
    EXPECT_EQ(view.m_rectMoveFrom, Cell(5, 4));
    EXPECT_EQ(view.m_rectMoveTo, Cell(5, 6));
    second->flipped = 1;
    EXPECT_TRUE(view.FindMoveSquares(false));
    EXPECT_EQ(view.m_rectMoveFrom, Cell(4, 3));
    second->board[1][4] = ' ';
    EXPECT_FALSE(view.FindMoveSquares(false));
    EXPECT_FALSE(view.FindMoveSquares(true)); // no next diagram
    second->board = second->previous->board;
    EXPECT_FALSE(view.FindMoveSquares(false));
}

TEST_F(DrawTest, PrepareSetsTheClientAndBoardRectangles)
{
    CPlaviaView& view = Board();
    Render(view);
    EXPECT_EQ(view.m_rectClient, (RECT { 0, 0, 1100, 700 }));
    EXPECT_EQ(view.m_rectBoardDevice, view.m_rectBoard);
    EXPECT_EQ(view.m_rectTextDevice.top, BoardTop + 9 * Sq);
}

} // namespace
