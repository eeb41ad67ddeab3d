#include "platform/Print.h"
#include "PrintTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// Printing into a PDF file through the print command, the pages read back as pictures by poppler.
class PageNumberTest : public PrintListTest {
protected:
    void SetUp() override
    {
        PrintListTest::SetUp();
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override
    {
        Print::scriptedPrinter = nullptr;
        PrintListTest::TearDown();
    }

    // Page `page` of the printed list as a picture at 50 dots per inch.
    QImage PrintedPage(const QString& name, int page)
    {
        return PrintListTest::PrintedPage(folder.filePath(name), page, 50);
    }

    QTemporaryDir folder;
};

// Where two renderings of a page differ: the area that only the page number inks.
QRect Difference(const QImage& with, const QImage& without)
{
    QRect box;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (qGray(with.pixel(x, y)) < 160 && qGray(without.pixel(x, y)) > 200) box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(PageNumberTest, NumberIsPrintedInsideThePageInBothLayouts)
{
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed (run scripts/setup.sh)";
    struct Case {
        const char* name;
        bool onePerPage;
        int diagrams;
        int page;
    };
    const Case cases[] = { { "nine", false, 19, 2 }, { "nine-last", false, 19, 3 }, { "one", true, 3, 2 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frame.reset();
        // The editing modes belong to the program, not to its window: a new window starts in editor mode
        // only from the modes of a new run.
        GlobalModes::Reset();
        MakeDiagrams(c.diagrams);
        AppSettings::MonoMultiDiagPrint = c.onePerPage ? 1 : 0;
        AppSettings::PrintPageNumber = 0;
        const QImage without = PrintedPage(QString(c.name) + "-plain", c.page);
        AppSettings::PrintPageNumber = 1;
        const QImage with = PrintedPage(QString(c.name) + "-numbered", c.page);
        ASSERT_FALSE(with.isNull());
        ASSERT_EQ(with.size(), without.size());
        // A4 at 50 dpi.
        EXPECT_NEAR(with.width(), 413, 2);
        EXPECT_NEAR(with.height(), 585, 2);

        // The number: a small mark centred across the page, in the bottom margin's reach but on the paper,
        // above the bottom edge and below everything else printed.
        const QRect number = Difference(with, without);
        ASSERT_FALSE(number.isEmpty()) << "no page number on the page";
        EXPECT_LE(number.width(), 20);
        EXPECT_LE(number.height(), 14);
        EXPECT_NEAR(number.center().x(), with.width() / 2, 6);
        EXPECT_GT(number.top(), with.height() * 3 / 4);
        EXPECT_LT(number.bottom(), with.height() - 20) << "outside the printable area";
        for (int y = number.bottom() + 1; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x) ASSERT_GT(qGray(with.pixel(x, y)), 200) << x << "," << y;
    }
}

} // namespace
