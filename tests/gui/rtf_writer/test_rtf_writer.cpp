// RTF copies as LibreOffice Writer shows them: every case's copy is converted to PDF by Writer itself
// (headless), the page turned into a picture by poppler, and the board found on it compared cell by
// cell with the program's own drawing of the same diagram on screen: frame, squares, pieces and square
// markers. The coordinates, which the screen writes in a text font beside the board, are compared with
// the chess font's own coordinate glyphs for that rank and file, as the program draws them.
//
// BRENNIX_RTF_CHECK_DIR=folder keeps the copies, the PDFs and the pictures there.

#include "platform/ChessFont.h"
#include "platform/ChessFontTable.h"
#include "platform/Clipboard.h"
#include "platform/Dc.h"
#include "platform/Profile.h"
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

using namespace Win32;

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
    bool largest = false; // squares so large that the copy is held to the largest size
    std::string Name() const
    {
        std::string name = ChessFontFaceName(font);
        for (char& c : name)
            if (c == ' ') c = '-';
        return name + (frame ? "-frame" : "-noframe") + (coordinates ? "-coords" : "")
            + (flipped ? "-flipped" : "") + (marks ? "-marks" : "") + (largest ? "-largest" : "");
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
        AppSettings::RestoreDefaults();
        AppSettings::Border = c.frame ? 0 : 1;
        AppSettings::PNGSaveCoords = c.coordinates ? 1 : 0;
        if (c.largest) {
            // Squares of 80: the size derived from them would be 56 points.
            AppSettings::TailleFonte = 80;
            AppSettings::layerboardLeft = 100;
            AppSettings::layerboardTop = 100;
            AppSettings::layerboardRight = 100 + 9 * 80;
            AppSettings::layerboardBottom = 100 + 9 * 80;
            AppSettings::ToolBarLeft = 100 + 11 * 80;
            AppSettings::ToolBarRight = 100 + 15 * 80;
            // A layout the user stored, which the frame keeps rather than fitting its own to the screen.
            Profile::WriteProfileInt("BoardsPlacement", "TailleFonte", AppSettings::TailleFonte);
        }
        CPlaviaView& view = View();
        // Room for the board of the largest squares, frame included.
        Frame().resize(1600, 1200);
        view.resize(1500, 1000);
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
            auto on = [](const char* name, uint8_t type) {
                const auto square = uint8_t(Square::FromName(name).MarkNumber());
                return MarkSlot { square, square, type };
            };
            const MarkSlot marks[] = {
                on("e4", MarkSquare1), // a pawn
                on("h5", MarkSquare1), // light
                on("g5", MarkSquare2), // dark
                on("d3", MarkSquare2), // light
                on("a4", MarkSquare1), // dark
                on("f7", uint8_t(MarkNumberFirst + 2)), // a pawn: 3
            };
            record.markCount = 0;
            for (const MarkSlot& m : marks) record.marks.Set(record.markCount++, m);
            for (const MarkSlot& m : marks)
                if (m.from == Square::FromName("e4").MarkNumber() || m.type >= MarkNumberFirst
                    || ChessFontFaceName(c.font) != "Varnok Fairy")
                    skipped.push_back(m.from);
        }
        if (c.flipped) view.OnFlipBoard();
        view.OnCopyRtf();
        return Clipboard::GetRtf().value_or("");
    }

    // Squares (as stored) whose screen drawing a copy does not carry.
    std::vector<int> skipped;

    // The diagram as the program draws it, cell by cell as the copy lays it out (with the frame: ten rows
    // of ten cells, the frame's cells included; without: the eight by eight squares), in cells of the
    // screen's square size: the screen's board, with the font's coordinate glyphs where the copy has
    // coordinates.
    QImage ProgramDrawing(const Case& c)
    {
        CPlaviaView& view = View();
        view.m_bShowCoordinates = false;
        const QImage screen = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int sq = view.m_nSquareSize;
        const int cells = c.frame ? 10 : 8, first = c.frame ? -1 : 0;
        EXPECT_TRUE(
            screen.rect().contains(QRect(view.m_rectBoard.left, view.m_rectBoard.top - sq, 10 * sq, 10 * sq)))
            << "the screen shows the whole board";
        QImage drawing(cells * sq, cells * sq, QImage::Format_RGB32);
        drawing.fill(Qt::white);
        {
            QPainter painter(&drawing);
            const QRect board(view.m_rectBoard.left + (c.frame ? 0 : sq), view.m_rectBoard.top + first * sq,
                cells * sq, cells * sq);
            painter.drawImage(QPoint(0, 0), screen, board);
        }
        const std::string face = ChessFontFaceName(c.font);
        if (c.frame && c.coordinates && face != "Chess Berlin") {
            const int base = c.font >= 16 ? 0xC0 : 0xE0; // rank 1 of the face's letter family; files follow
            auto glyph = [&](int code, int column, int row) {
                const QImage cell = DrawRows({ std::string(1, char(code)) }, face, sq);
                QPainter painter(&drawing);
                painter.fillRect(column * sq, row * sq, sq, sq, Qt::white);
                painter.drawImage(column * sq, row * sq, cell);
            };
            for (int i = 0; i < 8; ++i) {
                glyph(base + (c.flipped ? i : 7 - i), 0, i + 1); // the rank of each row
                glyph(base + 8 + (c.flipped ? 7 - i : i), i + 1, 9); // the file of each column
            }
        }
        if (const char* keep = std::getenv("BRENNIX_RTF_CHECK_DIR"))
            drawing.save(QDir(keep).filePath(QString::fromStdString(c.Name()) + "-program.png"));
        return drawing;
    }
};

// Pages of a PDF, as pdfinfo counts them.
int PdfPages(const QString& pdf)
{
    QString info;
    if (!RunProgram("pdfinfo", { pdf }, 60, &info)) return -1;
    for (const QString& line : info.split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

TEST_F(RtfWriterCheck, WriterShowsEveryCopyAsTheProgramDrawsIt)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (soffice.isEmpty() || pdftoppm.isEmpty())
        GTEST_SKIP() << "LibreOffice Writer or poppler is not installed (run scripts/setup.sh)";

    // Every variant (frame, coordinates, flipped) on the fairy face, which is the default one and has
    // frame and marker letters of its own, and on the face it is built from; one variant on each other
    // face, the variants taken in turn; markers on the fairy face; and the largest copy.
    auto variant = [](int font, int v) { return Case { font, (v & 1) == 0, (v & 2) == 0, (v & 4) != 0 }; };
    std::vector<Case> cases;
    int others = 0;
    for (int font = 0; font < ChessFontCount; ++font) {
        if (!ChessFontFace::Find(ChessFontFaceName(font))) continue;
        const std::string face = ChessFontFaceName(font);
        if (face == "Varnok Fairy" || face == "Chess Merida") {
            for (int v = 0; v < 8; ++v) cases.push_back(variant(font, v));
        } else {
            cases.push_back(variant(font, others++ % 8));
        }
        if (face == "Varnok Fairy") {
            Case marked = variant(font, 4);
            marked.marks = true;
            cases.push_back(marked);
            marked.frame = false;
            cases.push_back(marked);
        }
        if (face == "Chess Merida") {
            Case largest = variant(font, 0);
            largest.largest = true;
            cases.push_back(largest);
        }
    }
    ASSERT_FALSE(cases.empty()) << "no chess font is installed (run scripts/setup.sh)";

    QTemporaryDir temporary;
    const char* keep = std::getenv("BRENNIX_RTF_CHECK_DIR");
    const QString folder = keep ? QString::fromLocal8Bit(keep) : temporary.path();
    QDir().mkpath(folder);

    struct Made {
        Case c;
        std::string rtf;
        QImage drawing;
        int cell = 0;
        std::vector<int> skipped;
    };
    std::vector<Made> made;
    QStringList files;
    for (const Case& c : cases) {
        Made m { c, Copy(c), {}, View().m_nSquareSize, {} };
        m.skipped = skipped;
        ASSERT_FALSE(m.rtf.empty()) << c.Name();
        m.drawing = ProgramDrawing(c);
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

        const int cells = c.frame ? 10 : 8;
        ASSERT_EQ(int(Rtf::PlainLines(m.rtf).size()), cells);
        const Grid grid = Locate(page, m.drawing, cells, cells);
        ASSERT_GT(grid.width, 10);
        // A row that Writer breaks in two would make the board taller than wide.
        EXPECT_NEAR(grid.width / grid.height, 1.0, 0.08) << "squares stretched";
        if (c.largest) {
            EXPECT_NE(m.rtf.find("\\fs88 "), std::string::npos) << "held to 44 points";
            EXPECT_EQ(PdfPages(stem + ".pdf"), 1) << "the board spreads over pages";
            EXPECT_NEAR(grid.width, 44.0 * 144 / 72, 3) << "every row on one line, at 44 points";
        }

        // Every cell of the copy against the program's drawing.
        for (int r = 0; r < cells; ++r)
            for (int col = 0; col < cells; ++col) {
                const int file = c.frame ? col : col + 1, rank = c.frame ? r : r + 1; // 1..8 on squares
                const bool square = file >= 1 && file <= 8 && rank >= 1 && rank <= 8;
                if (square) {
                    const Square shown = Square::FromCell(rank - 1, file);
                    const int stored = (c.flipped ? shown.Mirrored() : shown).MarkNumber();
                    if (std::find(m.skipped.begin(), m.skipped.end(), stored) != m.skipped.end()) continue;
                }
                const CellInk writer = CellFeatures(
                    page, grid.left + col * grid.width, grid.top + r * grid.height, grid.width, grid.height);
                const CellInk program = CellFeatures(m.drawing, col * m.cell, r * m.cell, m.cell, m.cell);
                const auto [mean, most] = CellDistance(writer, program);
                if (mean > 0.07 || most > 0.3) {
                    ++failures;
                    std::string where
                        = "frame cell row " + std::to_string(r) + " column " + std::to_string(col);
                    if (square)
                        where = std::string("square ") + char('a' + (c.flipped ? 8 - file : file - 1))
                            + std::to_string(c.flipped ? rank : 9 - rank);
                    ADD_FAILURE() << where << " differs from the program's drawing: mean " << mean << " most "
                                  << most << " (writer " << Mean(writer) << ", program " << Mean(program)
                                  << ")";
                }
            }
    }
    std::printf("rtf-writer: %zu copies checked, %d cells differ\n", made.size(), failures);
}

} // namespace
