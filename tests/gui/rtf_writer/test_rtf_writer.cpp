// RTF copies as LibreOffice Writer shows them: every case's copy is converted to PDF by Writer itself
// (headless), the page turned into a picture by poppler, and the board found on it compared square by
// square with what the program draws: the board on screen for the squares (pieces, dark squares,
// markers), and the copy's own bytes drawn in the chess font for the whole diagram (frame and
// coordinates included).
//
// BRENNIX_RTF_CHECK_DIR=folder keeps the copies, the PDFs and the pictures there.

#include "platform/ChessFont.h"
#include "platform/ChessFontTable.h"
#include "platform/Clipboard.h"
#include "platform/Dc.h"
#include "platform/RtfReader.h"
#include "positions/BoardText.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

namespace {

// Pieces on every rank and file, none of it symmetric, so that a square out of place, a mirrored
// board or a wrong glyph all show.
constexpr const char* Position = "r3k2r/pp1n1ppp/2p1bn2/q2pp3/1bPP4/2N1PN2/PPQB1PPP/R3KB1R w KQkq - 0 1";

struct Case {
    int font = 0;
    bool frame = true; // the Border setting off
    bool coordinates = true;
    bool flipped = false;
    bool marks = false; // square markers on empty squares and a number mark
    std::string Name() const
    {
        std::string name = ChessFontFaceName(font);
        for (char& c : name)
            if (c == ' ') c = '-';
        return name + (frame ? "-frame" : "-noframe") + (coordinates ? "-coords" : "")
            + (flipped ? "-flipped" : "") + (marks ? "-marks" : "");
    }
};

// Ink of a pixel on a white page: 0 white, 1 black or full colour.
double Ink(QRgb p)
{
    return 1.0 - std::min({ qRed(p), qGreen(p), qBlue(p) }) / 255.0;
}

// The ink of a cell in a grid of 4 x 4 parts.
using CellInk = std::array<double, 16>;

CellInk CellFeatures(const QImage& image, double x0, double y0, double w, double h)
{
    CellInk ink {};
    for (int part = 0; part < 16; ++part) {
        const int px0 = int(std::lround(x0 + w * (part % 4) / 4)),
                  px1 = int(std::lround(x0 + w * (part % 4 + 1) / 4));
        const int py0 = int(std::lround(y0 + h * (part / 4) / 4)),
                  py1 = int(std::lround(y0 + h * (part / 4 + 1) / 4));
        double sum = 0;
        int n = 0;
        for (int y = py0; y < py1; ++y)
            for (int x = px0; x < px1; ++x) {
                sum += image.rect().contains(x, y) ? Ink(image.pixel(x, y)) : 0.0;
                ++n;
            }
        ink[size_t(part)] = n ? sum / n : 0;
    }
    return ink;
}

double Mean(const CellInk& ink)
{
    double sum = 0;
    for (double v : ink) sum += v;
    return sum / 16;
}

// How far two cells differ: the mean and the largest difference of their parts.
std::pair<double, double> CellDistance(const CellInk& a, const CellInk& b)
{
    double sum = 0, most = 0;
    for (size_t i = 0; i < 16; ++i) {
        const double d = std::abs(a[i] - b[i]);
        sum += d;
        most = std::max(most, d);
    }
    return { sum / 16, most };
}

// A grid of cells on a picture: its top-left corner and the size of one cell.
struct Grid {
    double left = 0, top = 0, width = 0, height = 0;
};

bool RunProgram(const QString& program, const QStringList& arguments, int seconds, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(seconds * 1000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output) *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Draws the lines of a copy as the program draws chess-font rows: byte by byte in square cells.
QImage DrawRows(const std::vector<std::string>& lines, const std::string& face, int cell)
{
    size_t columns = 0;
    for (const std::string& line : lines) columns = std::max(columns, line.size());
    QImage image(int(columns) * cell, int(lines.size()) * cell, QImage::Format_RGB32);
    image.fill(Qt::white);
    Dc dc(&image);
    CFont font;
    font.CreateFont(cell, 0, 0, 0, FW_NORMAL, false, false, false, ANSI_CHARSET, OUT_STROKE_PRECIS, 0,
        ANTIALIASED_QUALITY, 0x16, face);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    for (size_t r = 0; r < lines.size(); ++r) dc.TextOut(0, int(r) * cell, lines[r]);
    return image;
}

// Finds where a drawing of the copy sits on the page: the scale and offset at which the page's ink best
// matches the drawing's, starting from the box around the page's ink.
Grid Locate(const QImage& page, const QImage& drawing, int columns, int rows)
{
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (Ink(page.pixel(x, y)) > 0.5) box |= QRect(x, y, 1, 1);
    Grid best;
    if (box.isEmpty()) return best;
    QRect drawn;
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x)
            if (Ink(drawing.pixel(x, y)) > 0.5) drawn |= QRect(x, y, 1, 1);
    if (drawn.isEmpty()) return best;
    // The drawing's cells are square and the ink box of both is the same part of the grid.
    const double cellX = drawing.width() / double(columns), cellY = drawing.height() / double(rows);
    const double scaleX = box.width() / double(drawn.width()), scaleY = box.height() / double(drawn.height());
    best.width = cellX * scaleX;
    best.height = cellY * scaleY;
    best.left = box.left() - drawn.left() * scaleX;
    best.top = box.top() - drawn.top() * scaleY;
    return best;
}

class RtfWriterCheck : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        SettingsState::currentTexture = 0;
        SettingsState::backgroundColour = RGB(255, 255, 255);
        SettingsState::legalCheckActive = false;
    }

    // The board of the case, as the user makes it: the position pasted, the face chosen, marks set,
    // the board flipped; then Copy (RTF mode).
    std::string Copy(const Case& c)
    {
        frame.reset();
        GlobalModes::Reset();
        AppSettings::Border = c.frame ? 0 : 1;
        AppSettings::PNGSaveCoords = c.coordinates ? 1 : 0;
        CPlaviaView& view = View();
        view.resize(1100, 760);
        // A white page for the screen too.
        SettingsState::currentTexture = 0;
        SettingsState::backgroundColour = RGB(255, 255, 255);
        view.SelectChessFont(c.font);
        Clipboard::SetData(Position, {});
        view.OnEditPaste();
        DiagramRecord& record = *view.m_pCurrentDiagram;
        skipped.clear();
        if (c.marks) {
            // Square marks name their square twice. Markers on empty squares of both colours. A copy carries
            // no marker on a piece, no number, and markers only in the fairy face, which has their glyphs:
            // the screen is not asked about those squares.
            const MarkSlot marks[] = {
                { uint8_t(SquareNumber(5, 4)), uint8_t(SquareNumber(5, 4)), MarkSquare1 }, // e4, a pawn
                { uint8_t(SquareNumber(8, 3)), uint8_t(SquareNumber(8, 3)), MarkSquare1 }, // h5, light
                { uint8_t(SquareNumber(7, 3)), uint8_t(SquareNumber(7, 3)), MarkSquare2 }, // g5, dark
                { uint8_t(SquareNumber(4, 5)), uint8_t(SquareNumber(4, 5)), MarkSquare2 }, // d3, light
                { uint8_t(SquareNumber(1, 4)), uint8_t(SquareNumber(1, 4)), MarkSquare1 }, // a4, dark
                { uint8_t(SquareNumber(6, 1)), uint8_t(SquareNumber(6, 1)), uint8_t(MarkNumberFirst + 2) }
            }; // f7, a pawn: 3
            record.markCount = 0;
            for (const MarkSlot& m : marks) record.marks[record.markCount++] = m;
            for (const MarkSlot& m : marks)
                if (m.from == SquareNumber(5, 4) || m.type >= MarkNumberFirst
                    || ChessFontFaceName(c.font) != "Varnok Fairy")
                    skipped.push_back(m.from);
        }
        if (c.flipped) view.OnFlipBoard();
        view.OnCopyRtf();
        return Clipboard::GetRtf().value_or("");
    }

    // Squares (as stored) whose screen drawing a copy does not carry.
    std::vector<int> skipped;

    // The eight by eight squares as the view paints them.
    std::vector<CellInk> ScreenSquares(const Case& c)
    {
        CPlaviaView& view = View();
        view.m_bShowCoordinates = false;
        const QImage screen = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int sq = view.m_nSquareSize;
        std::vector<CellInk> cells;
        for (int r = 0; r < 8; ++r)
            for (int f = 0; f < 8; ++f)
                cells.push_back(CellFeatures(
                    screen, view.m_rectBoard.left + (f + 1) * sq, view.m_rectBoard.top + r * sq, sq, sq));
        if (const char* keep = std::getenv("BRENNIX_RTF_CHECK_DIR"))
            screen.save(QDir(keep).filePath(QString::fromStdString(c.Name()) + "-screen.png"));
        return cells;
    }
};

TEST_F(RtfWriterCheck, WriterShowsEveryCopyAsTheProgramDrawsIt)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (soffice.isEmpty() || pdftoppm.isEmpty())
        GTEST_SKIP() << "LibreOffice Writer or poppler is not installed (run scripts/setup.sh)";

    std::vector<Case> cases;
    for (int font = 0; font < ChessFontCount; ++font) {
        if (!ChessFontFace::Find(ChessFontFaceName(font))) continue;
        for (int variant = 0; variant < 8; ++variant)
            cases.push_back(Case { font, (variant & 1) == 0, (variant & 2) == 0, (variant & 4) != 0, false });
        if (ChessFontFaceName(font) == "Varnok Fairy" || font == 5)
            for (int variant = 0; variant < 4; ++variant)
                cases.push_back(Case { font, (variant & 1) == 0, true, (variant & 2) != 0, true });
    }
    ASSERT_FALSE(cases.empty()) << "no chess font is installed (run scripts/setup.sh)";

    QTemporaryDir temporary;
    const char* keep = std::getenv("BRENNIX_RTF_CHECK_DIR");
    const QString folder = keep ? QString::fromLocal8Bit(keep) : temporary.path();
    QDir().mkpath(folder);

    struct Made {
        Case c;
        std::string rtf;
        std::vector<CellInk> screen;
        std::vector<int> skipped;
    };
    std::vector<Made> made;
    QStringList files;
    for (const Case& c : cases) {
        Made m { c, Copy(c), {}, {} };
        m.skipped = skipped;
        ASSERT_FALSE(m.rtf.empty()) << c.Name();
        m.screen = ScreenSquares(c);
        const QString path = QDir(folder).filePath(QString::fromStdString(c.Name()) + ".rtf");
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(m.rtf.data(), qint64(m.rtf.size()));
        files << path;
        made.push_back(std::move(m));
    }

    // One run of Writer for every copy, with a profile of its own.
    QString log;
    QStringList arguments { "-env:UserInstallation=file://" + QDir(folder).filePath("profile"), "--headless",
        "--convert-to", "pdf", "--outdir", QDir(folder).filePath("pdf") };
    ASSERT_TRUE(RunProgram(soffice, arguments + files, 280, &log)) << log.toStdString();

    int failures = 0;
    for (const Made& m : made) {
        const Case& c = m.c;
        SCOPED_TRACE(c.Name());
        const QString stem = QDir(folder).filePath("pdf/" + QString::fromStdString(c.Name()));
        ASSERT_TRUE(RunProgram(
            pdftoppm, { "-r", "144", "-png", "-singlefile", "-f", "1", "-l", "1", stem + ".pdf", stem }, 60));
        const QImage page = QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(page.isNull());

        // The copy's lines, as bytes, drawn the way the program draws chess-font rows.
        const std::vector<std::string> lines = Rtf::PlainLines(m.rtf);
        const int rows = int(lines.size()), columns = c.frame ? 10 : 8;
        ASSERT_EQ(rows, c.frame ? 10 : 8);
        const QImage drawing = DrawRows(lines, ChessFontFaceName(c.font), 72);
        const Grid grid = Locate(page, drawing, columns, rows);
        ASSERT_GT(grid.width, 10);
        EXPECT_NEAR(grid.width / grid.height, 1.0, 0.08) << "squares stretched";

        // Every cell of the copy against the drawing of its bytes.
        for (int r = 0; r < rows; ++r)
            for (int col = 0; col < columns; ++col) {
                const CellInk writer = CellFeatures(
                    page, grid.left + col * grid.width, grid.top + r * grid.height, grid.width, grid.height);
                const CellInk own = CellFeatures(drawing, col * 72, r * 72, 72, 72);
                const auto [mean, most] = CellDistance(writer, own);
                if (mean > 0.06 || most > 0.25) {
                    ++failures;
                    ADD_FAILURE() << "cell row " << r << " column " << col
                                  << " differs from the font's glyph: mean " << mean << " most " << most;
                }
            }

        // The squares against the board on screen.
        const int first = c.frame ? 1 : 0;
        for (int r = 0; r < 8; ++r)
            for (int f = 0; f < 8; ++f) {
                const CellInk writer = CellFeatures(page, grid.left + (first + f) * grid.width,
                    grid.top + (first + r) * grid.height, grid.width, grid.height);
                const int square = c.flipped ? 65 - SquareNumber(f + 1, r) : SquareNumber(f + 1, r);
                if (std::find(m.skipped.begin(), m.skipped.end(), square) != m.skipped.end()) continue;
                const CellInk& screen = m.screen[size_t(r * 8 + f)];
                const auto [mean, most] = CellDistance(writer, screen);
                if (mean > 0.07 || most > 0.3) {
                    ++failures;
                    ADD_FAILURE() << "square " << char('a' + (c.flipped ? 7 - f : f))
                                  << (c.flipped ? r + 1 : 8 - r) << " differs from the screen: mean " << mean
                                  << " most " << most << " (writer " << Mean(writer) << ", screen "
                                  << Mean(screen) << ")";
                }
            }
    }
    std::printf("rtf-writer: %zu copies checked, %d cells differ\n", made.size(), failures);
}

} // namespace
