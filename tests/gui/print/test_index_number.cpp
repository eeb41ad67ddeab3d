#include "platform/Modal.h"
#include "PrintTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Win32;

namespace {

using IndexNumberTest = ProgramTest;

TEST_F(IndexNumberTest, DefaultShowsOneAndOkSetsTheStartNumber)
{
    CPlaviaView& view = View();
    view.m_nStartNumber = 7;
    DialogScript dialogs;
    dialogs.Then([](CDialog& d) {
        auto* edit = d.findChild<QLineEdit*>("IDC_1026");
        EXPECT_EQ(edit->text(), "7");
        d.findChild<QPushButton*>("IDC_150")->click();
        EXPECT_EQ(edit->text(), "1");
        edit->setText("5");
        return int(IDOK);
    });
    view.OnFileChangeIndexNumber();
    EXPECT_EQ(view.m_nStartNumber, 5);
    EXPECT_TRUE(view.m_bModified);

    dialogs.Then([](CDialog& d) {
        d.findChild<QLineEdit*>("IDC_1026")->setText("0");
        return int(IDCANCEL);
    });
    view.OnFileChangeIndexNumber();
    EXPECT_EQ(view.m_nStartNumber, 5);
}

// The start number stays within nine digits: a larger one is refused with a message and the dialog
// keeps the number it had.
TEST_F(IndexNumberTest, StartNumberIsBounded)
{
    CPlaviaView& view = View();
    MessageBoxScript boxes;
    DialogScript dialogs;
    for (const char* typed : { "1000000000", "2147483647", "0", "-3" }) {
        dialogs.Then([typed](CDialog& d) {
            d.findChild<QLineEdit*>("IDC_1026")->setText(typed);
            d.findChild<QPushButton*>("IDOK")->click();
            EXPECT_EQ(d.result(), 0) << typed << ": the dialog stays open";
            return int(IDOK);
        });
        view.OnFileChangeIndexNumber();
        EXPECT_EQ(view.m_nStartNumber, 1) << typed;
    }
    ASSERT_EQ(boxes.asked.size(), 4u);
    EXPECT_EQ(boxes.asked[0].text, "Please enter an integer between 1 and 999999999.");
    dialogs.Then([](CDialog& d) {
        d.findChild<QLineEdit*>("IDC_1026")->setText("999999999");
        return int(IDOK);
    });
    view.OnFileChangeIndexNumber();
    EXPECT_EQ(view.m_nStartNumber, 999999999);
    EXPECT_EQ(boxes.asked.size(), 4u);
}

} // namespace

#include "platform/Dc.h"
#include "platform/Print.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

namespace {

class PrintTest : public PrintListTest {
protected:
    // Prints one page into a journal of drawing calls.
    std::vector<DcCall> PrintPage(int page, int right = 11000, int bottom = -15000)
    {
        CPlaviaView& view = View();
        CPrintInfo info;
        view.OnPreparePrinting(info);
        info.currentPage = page;
        info.drawRight = right;
        info.drawBottom = bottom;
        QImage image(850, 1100, QImage::Format_RGB32);
        image.fill(Qt::white);
        std::vector<DcCall> calls;
        Dc dc(&image);
        dc.SetPrinting(true);
        dc.SetMapMode(MM_TWIPS);
        dc.SetJournal(&calls);
        view.OnPrint(dc, info);
        return calls;
    }
    static std::vector<std::string> Texts(const std::vector<DcCall>& calls, const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const DcCall& c : calls)
            if (c.op == "TextOut" && c.text.rfind(prefix, 0) == 0) out.push_back(c.text);
        return out;
    }
};

TEST_F(PrintTest, NineAPageCountsPagesAndTitlesTheLastPage)
{
    MakeDiagrams(19);
    CPlaviaView& view = View();
    EXPECT_EQ(view.PrintPageCount(), 3);
    std::vector<DcCall> calls = PrintPage(3);
    EXPECT_EQ(view.printDiagramsOnPage, 1);
    EXPECT_EQ(Texts(calls, "Diag."), std::vector<std::string> { "Diag.19" });
    calls = PrintPage(1);
    EXPECT_EQ(Texts(calls, "Diag.").size(), 9u);
    EXPECT_EQ(Texts(calls, "$tMvWlVmT%").size(), 9u);
}

TEST_F(PrintTest, StartNumberNumbersThePrintedTitles)
{
    MakeDiagrams(9);
    View().m_nStartNumber = 5;
    std::vector<std::string> titles = Texts(PrintPage(1), "Diag.");
    ASSERT_EQ(titles.size(), 9u);
    EXPECT_EQ(titles.front(), "Diag.5");
    EXPECT_EQ(titles.back(), "Diag.13");
}

TEST_F(PrintTest, OnePerPageSmallUsesASeventeenthOfThePage)
{
    MakeDiagrams(2);
    AppSettings::MonoMultiDiagPrint = 1;
    AppSettings::SizeDiag = 2;
    CPlaviaView& view = View();
    EXPECT_EQ(view.PrintPageCount(), 2);
    PrintPage(2, 11900, -15840);
    EXPECT_EQ(view.printSquareSize, 11900 / 17);
    EXPECT_EQ(view.printTextHeight, 11900 / 17 / 3);
}

TEST_F(PrintTest, FlippedDiagramsPrintAsStored)
{
    MakeDiagrams(1);
    View().m_pCurrentDiagram->flipped = 1;
    std::vector<DcCall> calls = PrintPage(1);
    EXPECT_EQ(Texts(calls, "$tMvWlVmT%").size(), 1u); // rank 8 first, as stored
}

TEST_F(PrintTest, LeavingThePreviewGoesToThePreviewedPage)
{
    MakeDiagrams(19);
    CPlaviaView& view = View();
    view.GoToDiagram(9);
    CPrintInfo info;
    view.OnPreparePrinting(info);
    EXPECT_EQ(info.currentPage, 1);
    info.currentPage = 3;
    view.OnEndPrintPreview(info);
    EXPECT_EQ(view.m_nCurrentIndex, 18);
    info.currentPage = 0; // no page: back to the one the preview started on
    view.OnPreparePrinting(info);
    view.OnEndPrintPreview(info);
    EXPECT_EQ(view.m_nCurrentIndex, 18);
}

// File > Print Preview through the real preview window: the user pages to another page and closes it.
class PreviewCloseTest : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        SettingsState::legalCheckActive = true;
    }
    // Once the preview window is up with its pages laid out, shows `page` and closes the window.
    void CloseOnPage(int page)
    {
        auto* poll = new QTimer;
        auto* clock = new QElapsedTimer;
        clock->start();
        QObject::connect(poll, &QTimer::timeout, [poll, clock, page, this] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            auto* widget = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
            const bool timedOut = clock->elapsed() > 20000;
            if (!timedOut && (!widget || widget->pageCount() < page)) return;
            if (widget) {
                pagesSeen = widget->pageCount();
                widget->setCurrentPage(page);
            }
            if (dialog) dialog->close();
            poll->stop();
            poll->deleteLater();
            delete clock;
        });
        poll->start(20);
    }
    int pagesSeen = 0;
};

TEST_F(PreviewCloseTest, ClosingOnAnotherPageRunsTheLeaveCheck)
{
    CPlaviaView& view = View();
    MakeDiagrams(19);
    view.GoToDiagram(9);
    view.SetBoardPosition(0); // an empty board: no kings, not to be left like this
    MessageBoxScript boxes;
    CloseOnPage(3);
    view.OnFilePrintPreview();
    EXPECT_EQ(pagesSeen, 3);
    EXPECT_EQ(view.m_nCurrentIndex, 8) << "the illegal diagram stays current";
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "There are not a black and a white king.");

    // Mended, the same close goes to the first diagram of the page shown.
    view.SetBoardPosition(1);
    CloseOnPage(3);
    view.OnFilePrintPreview();
    EXPECT_EQ(view.m_nCurrentIndex, 18);
    EXPECT_EQ(boxes.asked.size(), 1u);

    // Closing on the page it opened on leaves nothing, whatever the board.
    view.SetBoardPosition(0);
    CloseOnPage(3);
    view.OnFilePrintPreview();
    EXPECT_EQ(view.m_nCurrentIndex, 18);
    EXPECT_EQ(boxes.asked.size(), 1u);
}

TEST_F(PreviewCloseTest, ADoubtfulDiagramIsAskedAboutAndNoKeepsItCurrent)
{
    CPlaviaView& view = View();
    MakeDiagrams(10);
    view.GoToDiagram(1);
    // Three white knights: a position the user may keep, if asked.
    view.m_pCurrentDiagram->board[7][4] = 'n'; // on d1, for the queen
    MessageBoxScript boxes;
    boxes.Answer(IDNO);
    CloseOnPage(2);
    view.OnFilePrintPreview();
    EXPECT_EQ(view.m_nCurrentIndex, 0);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    boxes.Answer(IDYES);
    CloseOnPage(2);
    view.OnFilePrintPreview();
    EXPECT_EQ(view.m_nCurrentIndex, 9);
}

} // namespace
