#include "PrintTestSupport.h"
#include "tests/support/TestEnvironment.h"
#include "positions/Square.h"

#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

// An arrow between two empty squares, named by their files and ranks.
struct ArrowCase {
    const char* name;
    const char* from;
    const char* to;
};

std::string CaseName(const ::testing::TestParamInfo<ArrowCase>& info)
{
    return info.param.name;
}

void PrintTo(const ArrowCase& c, std::ostream* out)
{
    *out << c.name;
}

// The arrows of a printed page, found as what an arrow changes on the page, measured against the squares,
// found as what colouring two corner squares changes. On paper the y axis points up: an arrow turned or
// built as if it pointed down lands squares away, or points the wrong way.
class PrintedArrowTest : public PrintListTest, public ::testing::WithParamInterface<ArrowCase> {
protected:
    static constexpr int Dpi = 100;

    // The only page, one diagram on it and nothing else: no coordinates, comment, side to move or number.
    QImage PrintedPage(const QString& name)
    {
        AppSettings::MonoMultiDiagPrint = 1;
        AppSettings::SizeDiag = 1;
        AppSettings::PrintComment = 0;
        AppSettings::PrintCoords = 0;
        AppSettings::PrintActiveColor = 0;
        AppSettings::PrintPageNumber = 0;
        return PrintListTest::PrintedPage(folder.filePath(name), 1, Dpi);
    }

    static int MarkNumberOf(const char* name) { return ::Square::FromName(name).MarkNumber(); }

    QTemporaryDir folder;
};

QRect Where(const QImage& image, const std::function<bool(int, int)>& inked)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inked(x, y)) box |= QRect(x, y, 1, 1);
    return box;
}

TEST_P(PrintedArrowTest, GoesFromTheCentreOfItsSquareToTheCentreOfTheOther)
{
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed (run scripts/setup.sh)";
    const ArrowCase& c = GetParam();
    MakeDiagrams(1);
    DiagramRecord& record = *View().m_pFirstDiagram;
    const QImage plain = PrintedPage("plain");
    ASSERT_FALSE(plain.isNull());
    auto changed = [&plain](const QImage& page) {
        return Where(page,
            [&](int x, int y) { return std::abs(qGray(page.pixel(x, y)) - qGray(plain.pixel(x, y))) > 40; });
    };
    // The squares: a1 and h8 coloured change the page from one corner of the squares to the other. A board
    // with coloured squares is drawn a square at a time, which moves a few pixels of the frame: only rows
    // and columns the colours change whole count.
    record.colours.Set(7, 1, MarkGreen);
    record.colours.Set(0, 8, MarkGreen);
    record.colouredCount = 2;
    const QImage corners = PrintedPage("corners");
    std::vector<int> rows(size_t(plain.height())), columns(size_t(plain.width()));
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (std::abs(qGray(corners.pixel(x, y)) - qGray(plain.pixel(x, y))) > 40) {
                ++rows[size_t(y)];
                ++columns[size_t(x)];
            }
    auto span = [](const std::vector<int>& counts) {
        const auto whole = [](int n) { return n >= 10; };
        const auto first = std::find_if(counts.begin(), counts.end(), whole);
        const auto last = std::find_if(counts.rbegin(), counts.rend(), whole);
        return std::make_pair(int(first - counts.begin()), int(counts.rend() - last));
    };
    const auto [left0, right0] = span(columns);
    const auto [top0, bottom0] = span(rows);
    const QRect squares(left0, top0, right0 - left0, bottom0 - top0);
    ASSERT_NEAR(squares.width(), squares.height(), 2);
    const double cell = squares.width() / 8.0;
    record.colours.Clear();
    record.colouredCount = 0;

    record.marks.Set(0, MarkSlot { uint8_t(MarkNumberOf(c.from)), uint8_t(MarkNumberOf(c.to)), MarkRed });
    record.markCount = 1;
    const QImage marked = PrintedPage("marked");
    const QRect arrow = changed(marked);
    ASSERT_FALSE(arrow.isEmpty()) << "no arrow printed";

    auto centre = [&](const char* square) {
        return QPointF(
            squares.left() + (square[0] - 'a' + 0.5) * cell, squares.top() + ('8' - square[1] + 0.5) * cell);
    };
    const QPointF tail = centre(c.from), tip = centre(c.to);
    // The tip ends on the target's centre, the head's side a little beyond it on a slanted arrow; the tail
    // starts on the source's centre, the shaft's half width aside.
    const double near = cell / 8, shaft = cell / 11 + near;
    const double left = arrow.left(), right = arrow.right() + 1, top = arrow.top(),
                 bottom = arrow.bottom() + 1;
    if (tip.x() > tail.x()) {
        EXPECT_NEAR(right, tip.x(), near) << "tip";
        EXPECT_NEAR(left, tail.x(), shaft) << "tail";
    } else if (tip.x() < tail.x()) {
        EXPECT_NEAR(left, tip.x(), near) << "tip";
        EXPECT_NEAR(right, tail.x(), shaft) << "tail";
    } else {
        EXPECT_NEAR((left + right) / 2, tail.x(), near) << "a vertical arrow on its file";
    }
    if (tip.y() > tail.y()) {
        EXPECT_NEAR(bottom, tip.y(), near) << "tip";
        EXPECT_NEAR(top, tail.y(), shaft) << "tail";
    } else if (tip.y() < tail.y()) {
        EXPECT_NEAR(top, tip.y(), near) << "tip";
        EXPECT_NEAR(bottom, tail.y(), shaft) << "tail";
    } else {
        EXPECT_NEAR((top + bottom) / 2, tail.y(), near) << "a horizontal arrow on its rank";
    }

    // The head is at the target: across the arrow just inside the head's base (a quarter square before the
    // tip) the arrow is much wider than its shaft near the tail.
    const QPointF along = (tip - tail) / std::hypot(tip.x() - tail.x(), tip.y() - tail.y());
    const QPointF across(-along.y(), along.x());
    auto width = [&](QPointF at) {
        int inked = 0;
        for (double step = -cell / 2; step <= cell / 2; step += 0.5) {
            const QPoint p = (at + step * across).toPoint();
            inked += std::abs(qGray(marked.pixel(p)) - qGray(plain.pixel(p))) > 40 ? 1 : 0;
        }
        return inked / 2.0;
    };
    const double nearTip = width(tip - cell / 4.5 * along), nearTail = width(tail + cell / 4.5 * along);
    EXPECT_GT(nearTip, 1.4 * nearTail) << "the head is not at the target";
}

const ArrowCase arrowCases[] = {
    { "Right", "b4", "g4" },
    { "Left", "g5", "b5" },
    { "Up", "d3", "d6" },
    { "Down", "e6", "e3" },
    { "UpRight", "c3", "f6" },
    { "DownLeft", "f6", "c3" },
    { "UpLeft", "g3", "d6" },
    { "KnightJump", "c3", "d5" },
};

INSTANTIATE_TEST_SUITE_P(Arrows, PrintedArrowTest, ::testing::ValuesIn(arrowCases), CaseName);

} // namespace
