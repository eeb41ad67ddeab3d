// Printed pages on the papers and margins a print dialog offers. Each thing a page holds (a board with
// its coordinates and side-to-move marker, the title over it, its comment, the page's title and texts,
// the page number) is found on the page as poppler renders the PDF: by what a page without it lacks, or,
// for boards and their titles, as the frame of a board and the ink around it. Every one must lie inside
// the printable area and apart from every other, and texts show whole lines only.
//
// BRENNIX_PRINT_CHECK_DIR=folder keeps the PDFs and the rendered pages there.

#include "PrintTestSupport.h"
#include "platform/Print.h"

#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <deque>

namespace {

constexpr int Dpi = 150;

struct Paper {
    const char* name;
    QPageSize::PageSizeId size;
    QPageLayout::Orientation orientation;
    double margin; // millimetres, on every side
};

// Nine a page of a BNX list (comments in boxes under the boards) or of an EPD list (a line per diagram
// under each row), one a page in two sizes.
enum class Layout { NineAPage, NineAPageEpd, OneBig, OneNormal };

struct PaperCase {
    Paper paper;
    Layout layout;
};

std::string Name(const PaperCase& c)
{
    const char* const names[] = { "NineAPage", "NineAPageEpd", "OneBig", "OneNormal" };
    const char* layout = names[int(c.layout)];
    return std::string(c.paper.name) + "_" + layout;
}

std::string CaseName(const ::testing::TestParamInfo<PaperCase>& info)
{
    return Name(info.param);
}

void PrintTo(const PaperCase& c, std::ostream* out)
{
    *out << Name(c);
}

// The ink of a rendered page: the pixels clearly darker than the paper.
struct Ink {
    int width = 0, height = 0;
    std::vector<uint8_t> on;

    Ink() = default;
    Ink(int w, int h)
        : width(w)
        , height(h)
        , on(size_t(w) * size_t(h))
    {
    }
    explicit Ink(const QImage& page)
        : Ink(page.width(), page.height())
    {
        const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < height; ++y) {
            const uchar* row = grey.constScanLine(y);
            for (int x = 0; x < width; ++x) on[Index(x, y)] = row[x] < 160;
        }
    }
    size_t Index(int x, int y) const { return size_t(y) * size_t(width) + size_t(x); }
    bool At(int x, int y) const { return on[Index(x, y)] != 0; }
    QRect Box() const
    {
        int left = width, top = height, right = -1, bottom = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
    }
    // The runs of rows that hold ink: the lines of a text.
    std::vector<std::pair<int, int>> Bands() const
    {
        std::vector<std::pair<int, int>> bands;
        for (int y = 0; y < height; ++y) {
            bool any = false;
            for (int x = 0; x < width && !any; ++x) any = At(x, y);
            if (!any) continue;
            if (!bands.empty() && bands.back().second == y - 1)
                bands.back().second = y;
            else
                bands.push_back({ y, y });
        }
        return bands;
    }
};

// What `with` inks where `without` leaves the paper blank.
Ink Added(const QImage& with, const QImage& without)
{
    Ink added(with.width(), with.height());
    if (with.size() != without.size()) return added;
    const QImage a = with.convertToFormat(QImage::Format_Grayscale8),
                 b = without.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < a.height(); ++y) {
        const uchar *rowA = a.constScanLine(y), *rowB = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) added.on[added.Index(x, y)] = rowA[x] < 160 && rowB[x] > 200;
    }
    return added;
}

// The ink's connected parts (pixels touching at a side or a corner), by their boxes.
std::vector<QRect> Parts(const Ink& ink)
{
    std::vector<QRect> parts;
    std::vector<uint8_t> seen(ink.on.size());
    std::deque<QPoint> queue;
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x) {
            if (!ink.At(x, y) || seen[ink.Index(x, y)]) continue;
            QRect box(x, y, 1, 1);
            seen[ink.Index(x, y)] = 1;
            queue.push_back({ x, y });
            while (!queue.empty()) {
                const QPoint p = queue.front();
                queue.pop_front();
                box |= QRect(p, QSize(1, 1));
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = p.x() + dx, ny = p.y() + dy;
                        if (nx < 0 || ny < 0 || nx >= ink.width || ny >= ink.height) continue;
                        if (!ink.At(nx, ny) || seen[ink.Index(nx, ny)]) continue;
                        seen[ink.Index(nx, ny)] = 1;
                        queue.push_back({ nx, ny });
                    }
            }
            parts.push_back(box);
        }
    return parts;
}

int Distance(const QRect& a, const QRect& b)
{
    const int dx = std::max({ 0, a.left() - b.right(), b.left() - a.right() });
    const int dy = std::max({ 0, a.top() - b.bottom(), b.top() - a.bottom() });
    return std::max(dx, dy);
}

std::string Describe(const QRect& r)
{
    return "(" + std::to_string(r.left()) + "," + std::to_string(r.top()) + ")-(" + std::to_string(r.right())
        + "," + std::to_string(r.bottom()) + ")";
}

struct Element {
    std::string name;
    QRect box;
};

// The diagrams of a page that holds boards and their titles only: each board's frame is one piece of
// ink much taller than any text; the ink nearest a frame belongs to that diagram, as its title when it
// lies wholly above the frame, as part of the board otherwise (pieces, coordinates, the side-to-move
// marker).
struct Diagram {
    QRect frame, board, title;
};

std::vector<Diagram> FindDiagrams(const Ink& page)
{
    const std::vector<QRect> parts = Parts(page);
    const int tall = page.Box().height() / 6;
    std::vector<Diagram> diagrams;
    // A frame of double lines may be two pieces, one inside the other.
    for (const QRect& p : parts) {
        if (p.height() <= tall) continue;
        auto same = std::find_if(
            diagrams.begin(), diagrams.end(), [&p](const Diagram& d) { return d.frame.intersects(p); });
        if (same == diagrams.end())
            diagrams.push_back({ p, p, {} });
        else
            same->board = same->frame |= p;
    }
    std::sort(diagrams.begin(), diagrams.end(), [](const Diagram& a, const Diagram& b) {
        if (std::abs(a.frame.top() - b.frame.top()) > a.frame.height() / 2)
            return a.frame.top() < b.frame.top();
        return a.frame.left() < b.frame.left();
    });
    if (diagrams.empty()) return diagrams;
    for (const QRect& p : parts) {
        if (p.height() > tall) continue;
        Diagram* nearest = &diagrams.front();
        for (Diagram& d : diagrams)
            if (Distance(p, d.frame) < Distance(p, nearest->frame)) nearest = &d;
        if (p.bottom() < nearest->frame.top())
            nearest->title |= p;
        else
            nearest->board |= p;
    }
    return diagrams;
}

class PaperTest : public PrintListTest, public ::testing::WithParamInterface<PaperCase> {
protected:
    void SetUp() override
    {
        PrintListTest::SetUp();
        ASSERT_TRUE(temporary.isValid());
        const char* keep = std::getenv("BRENNIX_PRINT_CHECK_DIR");
        folder = keep ? QString::fromLocal8Bit(keep) : temporary.path();
        QDir().mkpath(folder);
    }
    void TearDown() override
    {
        Print::scriptedPrinter = nullptr;
        PrintListTest::TearDown();
    }

    bool OnePerPage() const
    {
        return GetParam().layout == Layout::OneBig || GetParam().layout == Layout::OneNormal;
    }
    bool Epd() const { return GetParam().layout == Layout::NineAPageEpd; }

    QPageLayout PageLayout() const
    {
        const Paper& p = GetParam().paper;
        return QPageLayout(QPageSize(p.size), p.orientation,
            QMarginsF(p.margin, p.margin, p.margin, p.margin), QPageLayout::Millimeter);
    }

    // The printable area on the rendered page, a pixel wider on each side for the edges of glyphs.
    QRect Printable() const { return PageLayout().paintRectPixels(Dpi).adjusted(-1, -1, 1, 1); }

    // What a page holds, each text shown or left blank. A blanked text keeps its lines, empty, so that
    // a page without it is laid out as the page with it.
    struct Content {
        bool title = true, topText = true, number = true;
        bool asBnx = false; // the list printed as a BNX list in any case
        std::array<bool, 9> comments { true, true, true, true, true, true, true, true, true };
        static Content Bare()
        {
            Content c;
            c.title = c.topText = c.number = false;
            c.comments.fill(false);
            return c;
        }
    };

    // Capital letters only: every line of a text then inks the same height.
    static std::string Blanked(const std::string& text, bool shown)
    {
        if (shown) return text;
        std::string lines;
        for (char c : text)
            if (c == '\r' || c == '\n') lines += c;
        return lines;
    }
    std::string CommentText(int k) const
    {
        if (OnePerPage()) return "KNIGHT ONE\r\nBISHOP TWO\r\nROOK THREE";
        std::string longer;
        if (Epd()) {
            for (int i = 0; i < 12; ++i) longer += "KNIGHT BISHOP ";
            return k % 2 ? "KNIGHT" : longer;
        }
        for (int i = 0; i < 30; ++i) longer += "KNIGHT BISHOP ";
        const std::string texts[3] = { longer, "KNIGHT ONE\r\nBISHOP TWO", "KNIGHT" };
        return texts[k % 3];
    }
    std::string TopText() const
    {
        if (OnePerPage()) return "TOP TEXT ONE\r\nTOP TEXT TWO";
        std::string longer;
        for (int i = 0; i < 25; ++i) longer += "PAGE TEXT ";
        return longer;
    }

    // Page 1 of the list as printed with this content, rendered by poppler.
    QImage Print(const std::string& name, const Content& content)
    {
        frame.reset();
        GlobalModes::Reset();
        MakeDiagrams(9);
        CPlaviaView& view = View();
        int k = 0;
        for (DiagramRecord* r = view.m_pFirstDiagram; r; r = r->next, ++k)
            r->comment = r->displayComment = Blanked(CommentText(k), content.comments[size_t(k)]);
        view.m_strExtension = Epd() && !content.asBnx ? "epd" : "bnx";
        view.PageNode(1)->title = content.title ? "PAGE TITLE" : "";
        view.PageNode(1)->topText = Blanked(TopText(), content.topText);
        AppSettings::MonoMultiDiagPrint = OnePerPage() ? 1 : 0;
        AppSettings::SizeDiag = GetParam().layout == Layout::OneBig ? 0 : 1;
        AppSettings::PrintComment = 1;
        AppSettings::PrintCoords = 1;
        AppSettings::PrintActiveColor = 1;
        AppSettings::PrintPageNumber = content.number ? 1 : 0;

        const QString stem = QDir(folder).filePath(QString::fromStdString(Name(GetParam()) + "-" + name));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(stem + ".pdf");
        printer.setPageLayout(PageLayout());
        printer.setFromTo(1, 1);
        Print::scriptedPrinter = &printer;
        view.OnFilePrint();
        Print::scriptedPrinter = nullptr;
        QProcess poppler;
        poppler.start("pdftoppm",
            { "-r", QString::number(Dpi), "-gray", "-singlefile", "-f", "1", "-l", "1", stem + ".pdf",
                stem });
        if (!poppler.waitForFinished(60000) || poppler.exitCode() != 0) return {};
        return QImage(stem + ".pgm");
    }

    // Each element inside the printable area and apart from every other.
    void ExpectInsideAndApart(const std::vector<Element>& elements)
    {
        const QRect printable = Printable();
        for (const Element& e : elements) {
            if (e.box.isEmpty()) {
                ADD_FAILURE() << e.name << " is not printed";
                continue;
            }
            EXPECT_TRUE(printable.contains(e.box))
                << e.name << " at " << Describe(e.box) << " is not inside the printable area "
                << Describe(printable);
        }
        for (size_t i = 0; i < elements.size(); ++i)
            for (size_t j = i + 1; j < elements.size(); ++j)
                EXPECT_FALSE(elements[i].box.intersects(elements[j].box))
                    << elements[i].name << " at " << Describe(elements[i].box) << " overlaps "
                    << elements[j].name << " at " << Describe(elements[j].box);
    }

    // A text printed in whole lines (of capitals, all of one height), `lines` of them when given.
    static void ExpectWholeLines(const std::string& name, const Ink& text, int lines = -1)
    {
        const auto bands = text.Bands();
        if (lines >= 0) {
            EXPECT_EQ(int(bands.size()), lines) << name << ": lines printed";
        }
        if (bands.empty()) return;
        int tallest = 0;
        for (const auto& [top, bottom] : bands) tallest = std::max(tallest, bottom - top + 1);
        for (const auto& [top, bottom] : bands)
            EXPECT_GE(bottom - top + 1, tallest - 1) << name << ": the line at " << top << " is cut";
    }

    QTemporaryDir temporary;
    QString folder;
};

TEST_P(PaperTest, EverythingIsPrintedWholeInsideThePrintableAreaAndApart)
{
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed (run scripts/setup.sh)";

    const Content all;
    const QImage full = Print("full", all);
    ASSERT_FALSE(full.isNull());
    Content without = all;
    without.number = false;
    const Ink number = Added(full, Print("no-number", without));
    without = all;
    without.title = false;
    const Ink title = Added(full, Print("no-title", without));
    without = all;
    without.topText = false;
    const Ink topText = Added(full, Print("no-top-text", without));
    const QImage bare = Print("bare", Content::Bare());

    std::vector<Element> elements { { "the page number", number.Box() }, { "the page title", title.Box() },
        { "the texts on top of the page", topText.Box() } };
    ExpectWholeLines("the page title", title, 1);

    if (OnePerPage()) {
        ExpectWholeLines("the texts on top of the page", topText, 2);
        without = all;
        without.comments.fill(false);
        const Ink comment = Added(full, Print("no-comment", without));
        ExpectWholeLines("the comment", comment, 3);
        elements.push_back({ "the comment", comment.Box() });
        elements.push_back({ "the board", Ink(bare).Box() });
        ExpectInsideAndApart(elements);
        return;
    }

    // The longer texts are cut to the lines that fit their place, in whole lines.
    ExpectWholeLines("the texts on top of the page", topText);
    EXPECT_GE(topText.Bands().size(), 2u);

    // The boards and their titles, alone: an EPD list prints its lines under them even without comments,
    // a BNX list only its comments, which are blank here; both lists put their boards and titles at the
    // same places on the paper sizes checked.
    Content bnx = Content::Bare();
    bnx.asBnx = true;
    const QImage boards = Epd() ? Print("bare-bnx", bnx) : bare;
    ASSERT_TRUE(Added(boards, bare).Box().isEmpty()) << "boards and titles move with the kind of list";
    const std::vector<Diagram> diagrams = FindDiagrams(Ink(boards));
    ASSERT_EQ(diagrams.size(), 9u) << "boards found whole and apart";
    for (size_t k = 0; k < diagrams.size(); ++k) {
        const Diagram& d = diagrams[k];
        const std::string n = std::to_string(k + 1);
        elements.push_back({ "board " + n, d.board });
        elements.push_back({ "the title of board " + n, d.title });
        // All boards of one size, as square as the font draws them.
        EXPECT_NEAR(d.frame.width(), diagrams[0].frame.width(), 2) << n;
        EXPECT_NEAR(d.frame.height(), diagrams[0].frame.height(), 2) << n;
        EXPECT_NEAR(double(d.frame.width()) / d.frame.height(), 1.0, 0.06) << n;
    }
    EXPECT_LT(diagrams[0].frame.top(), diagrams[3].frame.top());
    EXPECT_LT(diagrams[0].frame.left(), diagrams[1].frame.left());

    if (Epd()) {
        // A line per diagram under each row of boards, the comment after its "Diag." and number, a long
        // one cut at the edge of the page: the comments of a row are its lines' ink after the numbers.
        without = all;
        without.comments.fill(false);
        const Ink comments = Added(full, Print("no-comments", without)), numbers = Added(bare, boards);
        Ink added = comments;
        for (size_t i = 0; i < added.on.size(); ++i) added.on[i] |= numbers.on[i];
        std::array<Ink, 3> rows;
        rows.fill(Ink(added.width, added.height));
        for (int y = 0; y < added.height; ++y)
            for (int x = 0; x < added.width; ++x) {
                if (!added.At(x, y)) continue;
                size_t row = 0;
                for (size_t r = 0; r < 3; ++r)
                    if (diagrams[3 * r].frame.bottom() < y) row = r;
                rows[row].on[added.Index(x, y)] = 1;
            }
        for (size_t r = 0; r < 3; ++r) {
            const std::string name = "the comment lines under row " + std::to_string(r + 1);
            ExpectWholeLines(name, rows[r], 3);
            // The comment at the end of each line is no more than one line either.
            Ink comment(rows[r].width, rows[r].height);
            for (size_t i = 0; i < comment.on.size(); ++i) comment.on[i] = rows[r].on[i] && comments.on[i];
            EXPECT_EQ(comment.Bands().size(), 3u) << name;
            elements.push_back({ name, rows[r].Box() });
        }
        ExpectInsideAndApart(elements);
        return;
    }

    // The comments, found half of them at a time, each under the board nearest to it.
    std::array<Ink, 9> comments;
    for (int half = 0; half < 2; ++half) {
        without = all;
        for (size_t k = 0; k < 9; ++k) without.comments[k] = k % 2 != size_t(half);
        const Ink added = Added(full, Print("no-comments-" + std::to_string(half), without));
        for (auto& c : comments)
            if (c.on.empty()) c = Ink(added.width, added.height);
        for (int y = 0; y < added.height; ++y)
            for (int x = 0; x < added.width; ++x) {
                if (!added.At(x, y)) continue;
                size_t owner = 9;
                int best = 0;
                for (size_t k = size_t(half); k < 9; k += 2) {
                    const QRect& f = diagrams[k].frame;
                    const int d = std::abs(x - f.center().x()) + 3 * std::abs(y - f.bottom());
                    if (owner == 9 || d < best) {
                        owner = k;
                        best = d;
                    }
                }
                comments[owner].on[added.Index(x, y)] = 1;
            }
    }
    const int commentLines[3] = { -1, 2, 1 };
    for (size_t k = 0; k < 9; ++k) {
        const std::string name = "the comment of board " + std::to_string(k + 1);
        ExpectWholeLines(name, comments[k], commentLines[k % 3]);
        elements.push_back({ name, comments[k].Box() });
    }
    EXPECT_GE(comments[0].Bands().size(), 3u) << "a long comment fills its place";
    ExpectInsideAndApart(elements);
}

const Paper papers[] = {
    { "A4Portrait0mm", QPageSize::A4, QPageLayout::Portrait, 0 },
    { "A4Portrait10mm", QPageSize::A4, QPageLayout::Portrait, 10 },
    { "A4Portrait20mm", QPageSize::A4, QPageLayout::Portrait, 20 },
    { "A4Landscape0mm", QPageSize::A4, QPageLayout::Landscape, 0 },
    { "A4Landscape10mm", QPageSize::A4, QPageLayout::Landscape, 10 },
    { "A4Landscape20mm", QPageSize::A4, QPageLayout::Landscape, 20 },
    { "LetterPortrait10mm", QPageSize::Letter, QPageLayout::Portrait, 10 },
    { "LetterLandscape10mm", QPageSize::Letter, QPageLayout::Landscape, 10 },
};

std::vector<PaperCase> AllCases()
{
    std::vector<PaperCase> cases;
    for (const Layout layout : { Layout::NineAPage, Layout::OneBig, Layout::OneNormal })
        for (const Paper& p : papers) cases.push_back({ p, layout });
    // The lines of a list without comment boxes, on pages where both kinds of list have one size.
    cases.push_back({ papers[1], Layout::NineAPageEpd });
    cases.push_back({ papers[0], Layout::NineAPageEpd });
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Papers, PaperTest, ::testing::ValuesIn(AllCases()), CaseName);

} // namespace
