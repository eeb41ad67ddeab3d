#include "FilesTest.h"

#include "platform/Commands.h"
#include "platform/Strings.h"
#include "positions/MarkEditing.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Win32;

namespace {

class Navigation : public FilesTest {
protected:
    // A list of `n` diagrams read from an EPD file, each with its number as comment.
    CPlaviaView& ListOf(int n, const std::string& position = "4k3/8/8/8/8/8/8/4K3 w - -")
    {
        std::string text;
        for (int i = 1; i <= n; ++i) text += position + " c0 \"" + std::to_string(i) + "\";\r\n";
        Write(Path("list.epd"), text);
        Open(Path("list.epd"));
        EXPECT_EQ(View().DiagramCount(), n);
        return View();
    }

    // Types a number into the go-to dialog and presses OK; the dialog answers as it closes (or not).
    void TypeNumber(const QString& number, bool thenCancel)
    {
        dialogs.Then([number, thenCancel](CDialog& d) {
            d.findChild<QLineEdit*>("IDC_1011")->setText(number);
            d.findChild<QPushButton*>("IDOK")->click();
            if (d.result() == QDialog::Accepted) return int(IDOK);
            return thenCancel ? int(IDCANCEL) : int(IDOK);
        });
    }
};

TEST_F(Navigation, TheAutomaticArrowOfAFullDiagramComesBackWithoutABox)
{
    CPlaviaView& view = ListOf(2, "4k3/8/8/3pP3/8/8/8/4K3 w - d6");
    view.OnGoNextDiagram();
    for (int i = 1; i <= MarkEditing::MaxStoredMarks; ++i)
        view.AddMark(Marks::KindColour, 1, i % 64 + 1, i / 64 + 1);
    EXPECT_TRUE(boxes.asked.empty()) << "69 marks of the user's fit beside the arrow";
    for (int step = 0; step < 3; ++step) {
        view.OnGoPreviousDiagram();
        view.OnGoNextDiagram();
    }
    EXPECT_TRUE(boxes.asked.empty()) << boxes.asked.front().text;
    EXPECT_EQ(MarkEditing::UserMarkSlots(*view.m_pCurrentDiagram), 69);
    EXPECT_EQ(MarkEditing::UsedMarkSlots(*view.m_pCurrentDiagram), 70);
    // The user's seventieth mark is still refused, with the box.
    view.AddMark(Marks::KindColour, 1, 30, 31);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "It's the maximum number of arrows for a diagram.");
}

TEST_F(Navigation, StepsKeepIndexAndPageNodeTogether)
{
    CPlaviaView& view = ListOf(12);
    for (int i = 0; i < 8; ++i) view.OnGoNextDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 8);
    EXPECT_EQ(view.m_pCurrentPage, view.m_pFirstPage);
    view.OnGoNextDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 9);
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "10");
    EXPECT_EQ(view.m_pCurrentPage, view.m_pFirstPage->next);
    view.OnGoPreviousDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 8);
    EXPECT_EQ(view.m_pCurrentPage, view.m_pFirstPage);
    view.OnGoLastDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 11);
    EXPECT_EQ(view.m_pCurrentDiagram, view.m_pLastDiagram);
    EXPECT_EQ(view.m_pCurrentPage, view.m_pLastPage);
    view.OnGoNextDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 11);
    view.OnGoFirstDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 0);
    EXPECT_EQ(view.m_pCurrentPage, view.m_pFirstPage);
    view.OnGoPreviousDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 0);
    EXPECT_TRUE(boxes.asked.empty());
}

TEST_F(Navigation, LastGoesToThePageOfTheLastDiagramWhenTheHeaderHasMorePages)
{
    std::string text = "HEADER_PRINT\r\n";
    for (int i = 0; i < 3; ++i) text += "page " + std::to_string(i + 1) + "\r\n\r\n\r\n";
    text += "HEADER_PRINT_END\r\n";
    for (int i = 0; i < 10; ++i) {
        text += "4k3/8/8/8/8/8/8/4K3 w - -\r\n";
        for (int row = 0; row < 8; ++row) text += "0 0 0 0 0 0 0 0 0 0 0 0 \r\n";
        text += "\r\n0 0\r\n";
    }
    Write(Path("pages.bnx"), text);
    Open(Path("pages.bnx"));
    CPlaviaView& view = View();
    ASSERT_EQ(view.DiagramCount(), 10);
    view.OnGoLastDiagram();
    EXPECT_EQ(view.m_pCurrentPage->title, "page 2");
}

TEST_F(Navigation, WithOneDiagramOnlyNextRefreshesTheStatus)
{
    CPlaviaView& view = View();
    view.m_bDisplayFen = true;
    view.OnGoNextDiagram();
    EXPECT_EQ(Frame().StatusText().toStdString(), view.StatusText());
    view.OnGoFirstDiagram();
    view.OnGoPreviousDiagram();
    view.OnGoLastDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 0);
    view.OnGoToNumber();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "There is only one diagram in the list!");
    EXPECT_EQ(dialogs.shown, 0);
}

TEST_F(Navigation, AWrongDiagramIsNotLeft)
{
    CPlaviaView& view = ListOf(3);
    GlobalModes::editorMode = true;
    view.m_pCurrentDiagram->board[0][1] = 'l'; // a second black king
    view.OnGoNextDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 0);
    ASSERT_FALSE(boxes.asked.empty());
    EXPECT_EQ(boxes.asked[0].text, LoadString(40000));
}

TEST_F(Navigation, LeavingAFreshDiagramDerivesItsCastling)
{
    CPlaviaView& view = ListOf(2, "r3k2r/8/8/8/8/8/8/R3K2R w - -");
    view.m_bDeriveCastling = true;
    view.OnGoNextDiagram();
    EXPECT_EQ(view.m_pFirstDiagram->castleWhiteShort, 1u);
    EXPECT_EQ(view.m_pFirstDiagram->castleBlackLong, 1u);
    EXPECT_FALSE(view.m_bDeriveCastling);
}

TEST_F(Navigation, GoToNumberChecksTheRange)
{
    CPlaviaView& view = ListOf(20);
    // 0: the range prompt, and the dialog stays open until cancelled.
    TypeNumber("0", true);
    view.OnGoToNumber();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Please enter an integer between 1 and 99999999.");
    EXPECT_EQ(view.m_nCurrentIndex, 0);
    EXPECT_EQ(dialogs.titles.back(), "Go to number...");

    // One more than the list holds.
    TypeNumber("21", true);
    view.OnGoToNumber();
    ASSERT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(
        boxes.asked[1].text, "There are only 20 diagrams. Enter a number that doesn't pass this value.");
    EXPECT_EQ(boxes.asked[1].style, unsigned(MB_ICONERROR));
    EXPECT_EQ(view.m_nCurrentIndex, 0);

    TypeNumber("12", true);
    view.OnGoToNumber();
    EXPECT_EQ(view.m_nCurrentIndex, 11);
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "12");
    EXPECT_EQ(view.m_pCurrentPage, view.m_pFirstPage->next);
    TypeNumber("20", true);
    view.OnGoToNumber();
    EXPECT_EQ(view.m_pCurrentDiagram, view.m_pLastDiagram);
    EXPECT_EQ(boxes.asked.size(), 2u);
}

TEST_F(Navigation, OneMoveApartRepaintsOnlyTheTwoSquares)
{
    Write(Path("moves.epd"),
        "4k3/8/8/8/8/8/8/4K3 w - -\r\n4k3/8/8/8/8/8/4K3/8 b - -\r\n4k3/8/8/8/8/8/4K3/8 b - -\r\n"
        "4k3/8/8/8/4P3/8/4K3/8 b - e3\r\n");
    Open(Path("moves.epd"));
    CPlaviaView& view = View();
    // The head got its double-step arrow from the reader; the second has no marks.
    view.m_pFirstDiagram->marks.fill({});
    view.m_pFirstDiagram->markCount = 0;
    view.OnGoNextDiagram();
    EXPECT_TRUE(view.m_bTwoSquareRefresh);
    const int sq = view.m_nSquareSize, left = view.m_rectBoard.left, top = view.m_rectBoard.top;
    EXPECT_EQ(view.m_rectMoveFrom, (RECT { left + 5 * sq, top + 6 * sq, left + 6 * sq, top + 7 * sq }));
    EXPECT_EQ(view.m_rectMoveTo, (RECT { left + 5 * sq, top + 7 * sq, left + 6 * sq, top + 8 * sq }));
    view.OnGoPreviousDiagram();
    EXPECT_TRUE(view.m_bTwoSquareRefresh);

    // A coloured square on either board repaints the whole board.
    view.m_pFirstDiagram->colours.Set(0, 1, 1);
    view.m_pFirstDiagram->colouredCount = 1;
    view.OnGoNextDiagram();
    EXPECT_FALSE(view.m_bTwoSquareRefresh);
    // Same boards: no two-square change.
    view.OnGoNextDiagram();
    EXPECT_FALSE(view.m_bTwoSquareRefresh);
    // Arriving adds the double-step arrow, so the whole board is drawn.
    view.OnGoNextDiagram();
    EXPECT_EQ(view.m_pCurrentDiagram->markCount, 1u);
    EXPECT_EQ(view.m_pCurrentDiagram->marks[0], (MarkSlot { 53, 37, MarkDoubleStep }));
    EXPECT_FALSE(view.m_bTwoSquareRefresh);
}

TEST_F(Navigation, ViewTogglesAndTextures)
{
    CPlaviaView& view = View();
    CommandRouter& r = CommandRouter::Instance();
    EXPECT_EQ(r.Query(32774).checked, 1);
    r.Execute(32774);
    EXPECT_FALSE(view.m_bShowCoordinates);
    EXPECT_EQ(r.Query(32774).checked, 0);
    r.Execute(32783);
    EXPECT_TRUE(view.m_bHideTextAndArrows);
    EXPECT_EQ(r.Query(32783).checked, 1);

    view.SetBoardPosition(1);
    r.Execute(399);
    EXPECT_TRUE(view.m_bDisplayFen);
    EXPECT_EQ(Frame().StatusText().toStdString(),
        "Pieces count: 32       FEN: rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    r.Execute(399);
    EXPECT_EQ(Frame().StatusText().toStdString(), "");

    const unsigned ids[] = { 32867, 32868, 32869, 32870 };
    for (int texture : { 3, 0, 2, 1 }) {
        r.Execute(ids[texture]);
        EXPECT_EQ(SettingsState::currentTexture, texture);
        for (int other = 0; other < 4; ++other)
            EXPECT_EQ(r.Query(ids[other]).checked, other == texture ? 1 : 0);
    }
    EXPECT_TRUE(r.Query(145).enabled);
}

} // namespace
