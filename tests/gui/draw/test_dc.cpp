#include "DrawSupport.h"

#include <QRawFont>
#include <set>

using namespace Win32;
using namespace DrawSupport;

namespace {

QImage Blank(int w = 200, int h = 200)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

CFont ChessFont(const std::string& face, int height, int escapement = 0)
{
    CFont font;
    font.CreateFont(height, 0, escapement, escapement, FW_NORMAL, false, false, false, SYMBOL_CHARSET,
        OUT_STROKE_PRECIS, 0, ANTIALIASED_QUALITY, 0x16, face);
    return font;
}

// Chess-font text on a red background (opaque unless said), on a white image.
QImage RedCells(int w, int h, const std::string& face, int height, int escapement, POINT at,
    const std::string& text, int bkMode = OPAQUE)
{
    QImage image = Blank(w, h);
    Dc dc(&image);
    CFont font = ChessFont(face, height, escapement);
    dc.SelectObject(&font);
    dc.SetBkColor(RGB(255, 0, 0));
    dc.SetBkMode(bkMode);
    dc.TextOut(at.x, at.y, text);
    return image;
}

// The cell drawn with an opaque red background, found back as the red area.
RECT RedArea(const QImage& image)
{
    RECT r { image.width(), image.height(), 0, 0 };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 0, 0)) {
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
    return r;
}

TEST(ChessFontBytes, BytesReachTheGlyphsOfTheFontsOwnByteMap)
{
    REQUIRE_FONT("Chess Merida");
    REQUIRE_FONT("Chess Cases");
    // The fonts put the rank-1 frame glyph at byte 0xE0, but at different Unicode characters.
    auto merida = ChessFontFace::Find("Chess Merida");
    auto cases = ChessFontFace::Find("chess cases"); // case is ignored
    ASSERT_TRUE(merida && cases);
    EXPECT_EQ(merida->Map(), ChessFontFace::ByteMap::MacRoman);
    auto unicodeGlyph = [](const ChessFontFace& face, char16_t code) {
        return face.RawFont(40).glyphIndexesForString(QString(QChar(code))).value(0);
    };
    EXPECT_EQ(merida->Glyph(0xE0), unicodeGlyph(*merida, 0x2021));
    EXPECT_EQ(cases->Glyph(0xE0), unicodeGlyph(*cases, 0x00E0));
    EXPECT_NE(merida->Glyph(0xE0), 0u);
    for (unsigned char b : std::string("pnbrqkomvtwlPNBRQKOMVTWL +!\"#$%/()"))
        EXPECT_NE(merida->Glyph(b), 0u) << b;
    EXPECT_EQ(ChessFontFace::Find("No Such Chess Font"), nullptr);
}

TEST(ChessFontBytes, FrameAndCoordinateBytesDrawTheirFrameGlyphs)
{
    REQUIRE_FONT("Chess Merida");
    QImage image = Blank(200, 60);
    {
        Dc dc(&image);
        CFont font = ChessFont("Chess Merida", 50);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(0, 0, "$");
        dc.TextOut(50, 0, "\xE0");
        dc.TextOut(100, 0, "\xE8");
    }
    const int border = DarkPixels(image, { 0, 0, 50, 50 });
    const int rankOne = DarkPixels(image, { 50, 0, 100, 50 });
    EXPECT_GT(border, 100);
    // The rank-1 cell is the left border plus its digit: the border's line is there, and more.
    EXPECT_GT(rankOne, border + 20);
    EXPECT_GT(DarkPixels(image, { 90, 0, 100, 50 }), DarkPixels(image, { 40, 0, 50, 50 }) / 2);
    EXPECT_GT(DarkPixels(image, { 100, 0, 150, 50 }), 30); // file letter a under the board
}

TEST(DcText, OpaqueCellsAreFilledExactlyAndTransparentOnesNot)
{
    REQUIRE_FONT("Chess Merida");
    struct Case {
        int escapement, x, y; // the call's origin for a cell whose top-left must be (40, 40)
    };
    for (Case c :
        { Case { 0, 40, 40 }, Case { 900, 40, 91 }, Case { 1800, 91, 91 }, Case { 2700, 91, 40 } }) {
        SCOPED_TRACE(c.escapement);
        QImage image = RedCells(200, 200, "Chess Merida", 51, c.escapement, { c.x, c.y }, " ");
        EXPECT_EQ(RedArea(image), (RECT { 40, 40, 91, 91 }));
        EXPECT_EQ(Count(image, { 40, 40, 91, 91 }, Near(RGB(255, 0, 0), 0)), 51 * 51);
    }
    QImage image = RedCells(200, 200, "Chess Merida", 51, 0, { 40, 40 }, "  ", TRANSPARENT);
    EXPECT_EQ(Count(image, { 0, 0, 200, 200 }, Near(RGB(255, 0, 0), 0)), 0);
}

TEST(DcText, RowsAreSquareCellsPlacedByTheirTop)
{
    REQUIRE_FONT("Chess Merida");
    QImage image = RedCells(600, 100, "Chess Merida", 51, 0, { 10, 20 }, "          ");
    EXPECT_EQ(RedArea(image), (RECT { 10, 20, 520, 71 }));
    Dc dc(&image);
    CFont font = ChessFont("Chess Merida", 51);
    dc.SelectObject(&font);
    EXPECT_EQ(dc.GetTextExtent("+ + ").cx, 4 * 51);
    EXPECT_EQ(dc.GetTextMetrics().tmHeight, 51);
}

TEST(DcText, TextFontsKeepTheirCellHeightAndWrapBetweenWords)
{
    QImage image = Blank(400, 300);
    Dc dc(&image);
    CFont arial;
    arial.CreateFont(24, 0, 0, 0, FW_BOLD, false, false, false, ANSI_CHARSET, 0, 0, ANTIALIASED_QUALITY,
        FF_SWISS, "Arial");
    dc.SelectObject(&arial);
    TEXTMETRIC tm = dc.GetTextMetrics();
    EXPECT_NEAR(tm.tmHeight, 24, 1);
    dc.SetBkColor(RGB(255, 0, 0));
    dc.TextOut(30, 50, "Diag.1");
    RECT red = RedArea(image);
    EXPECT_EQ(red.left, 30);
    EXPECT_EQ(red.top, 50);
    EXPECT_NEAR(red.bottom - red.top, 24, 1);

    RECT box { 0, 0, 150, 0 };
    int height = dc.DrawText("one two three four five six seven eight", box, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(height, 3 * tm.tmHeight);
    EXPECT_EQ(box.bottom, height);
    RECT single { 0, 0, 150, 0 };
    EXPECT_EQ(dc.DrawText("one two three four five", single, DT_CALCRECT), tm.tmHeight);
    RECT lines { 0, 0, 400, 0 };
    EXPECT_EQ(dc.DrawText("first\r\nsecond\nthird", lines, DT_WORDBREAK | DT_CALCRECT), 3 * tm.tmHeight);
}

TEST(DcText, ChessFaceThatIsNotInstalledStillDrawsSquareCells)
{
    ASSERT_TRUE(ChessFont("Chess Alpha", 40).IsChessFace());
    QImage image = RedCells(300, 100, "Chess Alpha", 40, 0, { 0, 0 }, "4 + +5");
    EXPECT_EQ(RedArea(image), (RECT { 0, 0, 240, 40 }));
}

TEST(DcShapes, RectanglesPolygonsAndEllipsesAreNotAntiAliased)
{
    QImage image = Blank();
    {
        Dc dc(&image);
        CBrush green(RGB(0, 200, 0));
        dc.SelectObject(&green);
        dc.Rectangle(10, 10, 30, 20);
        POINT triangle[] = { { 50, 150 }, { 190, 120 }, { 60, 190 } };
        dc.Polygon(triangle, 3);
        dc.Ellipse(100, 10, 160, 60);
    }
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    EXPECT_EQ(colours, (std::set<QRgb> { qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 200, 0) }));
    // The rectangle covers its left and top edges but not its right and bottom ones.
    EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(29, 19), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 15), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(20, 15), qRgb(0, 200, 0));
}

TEST(DcShapes, WorldTransformTurnsShapesAboutAPoint)
{
    QImage image = Blank();
    {
        Dc dc(&image);
        CBrush black(RGB(0, 0, 0));
        dc.SelectObject(&black);
        dc.SetGraphicsMode(GM_ADVANCED);
        // A quarter turn about (100, 100): the bar pointing up from there ends up pointing right.
        XFORM turn { 0, 1, -1, 0, 200, 0 };
        ASSERT_TRUE(dc.SetWorldTransform(turn));
        POINT bar[] = { { 98, 100 }, { 98, 20 }, { 102, 20 }, { 102, 100 } };
        dc.Polygon(bar, 4);
        dc.SetWorldTransform(XFORM {});
        dc.SetGraphicsMode(GM_COMPATIBLE);
        EXPECT_FALSE(dc.SetWorldTransform(turn));
    }
    EXPECT_EQ(image.pixel(150, 100), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(100, 60), qRgb(255, 255, 255));
}

TEST(DcShapes, GeometricPensWithSquareCapsAndPatternBrushes)
{
    QImage image = Blank();
    {
        Dc dc(&image);
        CPen thick(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID, 6, RGB(0, 0, 255));
        dc.SelectObject(&thick);
        dc.MoveTo(50, 50);
        dc.LineTo(150, 50);
        QImage tile(2, 2, QImage::Format_RGB32);
        tile.fill(Qt::red);
        tile.setPixel(1, 1, qRgb(0, 255, 0));
        CBrush pattern;
        pattern.CreatePatternBrush(tile);
        dc.SelectObject(&pattern);
        dc.PatBlt(0, 100, 10, 10, PATCOPY);
    }
    EXPECT_EQ(image.pixel(48, 50), qRgb(0, 0, 255)); // the square cap goes past the end point
    EXPECT_EQ(image.pixel(100, 47), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(100, 55), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 100), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 101), qRgb(0, 255, 0)); // the pattern keeps the device origin
    EXPECT_EQ(image.pixel(10, 100), qRgb(255, 255, 255));
}

TEST(DcMapping, TwipsGrowUpwardsAtTheDeviceResolution)
{
    QImage image = Blank(400, 400);
    image.setDotsPerMeterX(3780); // 96 dots per inch
    image.setDotsPerMeterY(3780);
    Dc dc(&image);
    dc.SetMapMode(MM_TWIPS);
    RECT r { 0, 0, 1440, -1440 };
    dc.LPtoDP(r);
    EXPECT_EQ(r, (RECT { 0, 0, 96, 96 }));
    dc.DPtoLP(r);
    EXPECT_EQ(r, (RECT { 0, 0, 1440, -1440 }));
    RECT box = dc.GetClipBox();
    EXPECT_EQ(box.right, 400 * 15);
    EXPECT_EQ(box.bottom, -400 * 15);
}

TEST(DcJournal, RecordsWhatWasDrawnWithItsState)
{
    QImage image = Blank();
    std::vector<DcCall> calls;
    Dc dc(&image);
    dc.SetJournal(&calls);
    dc.SetTextColor(RGB(1, 2, 3));
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(5, 6, "abc");
    CBrush red(RGB(255, 0, 0));
    dc.SelectObject(&red);
    dc.Ellipse(1, 2, 3, 4);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].op, "TextOut");
    EXPECT_EQ(calls[0].text, "abc");
    EXPECT_EQ(calls[0].textColour, RGB(1, 2, 3));
    EXPECT_EQ(calls[0].bkMode, TRANSPARENT);
    EXPECT_EQ(calls[1].op, "Ellipse");
    EXPECT_EQ(calls[1].brushColour, RGB(255, 0, 0));
}

} // namespace

namespace {

TEST(ChessFontBytes, RegisteredFilesAnswerForTheirFaceAheadOfTheInstalledFonts)
{
    auto merida = ChessFontFace::Find("Chess Merida");
    if (!merida) GTEST_SKIP() << "Chess Merida is not installed (run scripts/setup.sh)";
    EXPECT_FALSE(ChessFontFace::IsChessFace("Board Test Face"));
    ChessFontFace::RegisterFile("Board Test Face", merida->FilePath());
    EXPECT_TRUE(ChessFontFace::IsChessFace("board test face"));
    auto registered = ChessFontFace::Find("Board Test Face");
    ASSERT_NE(registered, nullptr);
    EXPECT_EQ(registered->FamilyName(), "Chess Merida");
    QImage image = RedCells(120, 60, "Board Test Face", 50, 0, { 0, 0 }, "kL", TRANSPARENT);
    EXPECT_GT(DarkPixels(image, { 0, 0, 50, 50 }), 150);
    EXPECT_GT(DarkPixels(image, { 50, 0, 100, 50 }), DarkPixels(image, { 0, 0, 50, 50 }));
    ChessFontFace::RegisterFile("Board Test Face", QString());
    EXPECT_FALSE(ChessFontFace::IsChessFace("Board Test Face"));
    EXPECT_EQ(ChessFontFace::Find("Board Test Face"), nullptr);
}

} // namespace
