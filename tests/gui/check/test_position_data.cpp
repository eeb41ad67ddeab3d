#include "platform/Help.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "positions/BoardLetters.h"
#include "tests/support/TestEnvironment.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class PositionDataTest : public ProgramTest {
protected:
    // Puts a font letter on a square given as file 'a'..'h' and rank 1..8.
    void Put(char file, int rank, char lightLetter)
    {
        int row = 8 - rank, cell = file - 'a' + 1;
        View().m_pCurrentDiagram->board[row][cell]
            = BoardLetters::OnSquare(lightLetter, BoardLetters::IsLightSquare(row, cell));
    }
    DiagramRecord& Current() { return *View().m_pCurrentDiagram; }
};

template <class T> T* Control(CDialog& d, int id)
{
    return d.findChild<T*>(QString("IDC_%1").arg(id));
}

TEST_F(PositionDataTest, CastlingFollowsTheKingAndRooks)
{
    CPlaviaView& view = View();
    Put('e', 1, 'k');
    Put('a', 1, 'r');
    view.DeriveCastlingRights();
    EXPECT_EQ(Current().castleWhiteLong, 1u);
    EXPECT_EQ(Current().castleWhiteShort, 0u);
    EXPECT_EQ(Current().castleBlackLong + Current().castleBlackShort, 0u);
    view.m_pCurrentDiagram->board[7][5] = ' ';
    Put('f', 1, 'k');
    view.DeriveCastlingRights();
    EXPECT_EQ(Current().castleWhiteLong, 0u);
    view.SetBoardPosition(1);
    Current().castleBlackLong = 0;
    view.DeriveCastlingRights();
    EXPECT_EQ(Current().castleBlackLong + Current().castleBlackShort + Current().castleWhiteLong
            + Current().castleWhiteShort,
        4u);
}

TEST_F(PositionDataTest, WarningQuestionDefaultsToNoAndYesIsRemembered)
{
    MessageBoxScript boxes;
    CPlaviaView& view = View();
    boxes.Answer(IDNO);
    EXPECT_FALSE(view.AskIgnoreWarning(-1));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text,
        "There are more  than two white Knights in this diagram, so do you want to ignore this?");
    EXPECT_EQ(boxes.asked[0].style, 292u);
    EXPECT_EQ(Current().warningsAccepted, 0);
    boxes.Answer(IDYES);
    EXPECT_TRUE(view.AskIgnoreWarning(-12));
    EXPECT_EQ(boxes.asked[1].text,
        "The white  King is in check by  two black  Rooks, so do you want to ignore this?");
    EXPECT_EQ(Current().warningsAccepted, 1);
    EXPECT_TRUE(view.AskIgnoreWarning(-13));
    EXPECT_EQ(boxes.asked.size(), 2u);
}

TEST_F(PositionDataTest, ErrorsElevenToFourteenOpenTheDataDialog)
{
    MessageBoxScript boxes;
    DialogScript dialogs;
    CPlaviaView& view = View();
    view.ReportError(8);
    EXPECT_EQ(boxes.asked.back().text, "Error, adjacents Kings.");
    EXPECT_EQ(boxes.asked.back().style, unsigned(MB_ICONERROR));
    EXPECT_EQ(dialogs.shown, 0);
    view.ReportError(12);
    EXPECT_EQ(boxes.asked.back().text, "Black is in check and is not active color.");
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_EQ(dialogs.titles.back(), "FEN/EPD datas");
    view.ReportError(0);
    view.ReportError(-3);
    EXPECT_EQ(boxes.asked.size(), 2u);
}

TEST_F(PositionDataTest, DialogOkAppliesEverything)
{
    CPlaviaView& view = View();
    view.m_bEpdMode = false;
    view.SetBoardPosition(1);
    view.m_pCurrentPage->title = "Page one";
    DialogScript dialogs;
    dialogs.Then([](CDialog& d) {
        EXPECT_TRUE(Control<QCheckBox>(d, 105)->isChecked());
        EXPECT_TRUE(Control<QRadioButton>(d, 109)->isChecked());
        Control<QCheckBox>(d, 105)->click(); // typed by hand: no longer derived
        Control<QRadioButton>(d, 110)->setChecked(true);
        Control<QLineEdit>(d, 120)->setText("c");
        Control<QLineEdit>(d, 1005)->setText("");
        Control<QLineEdit>(d, 1063)->setText("");
        Control<QPlainTextEdit>(d, 112)->setPlainText("First line\nsecond");
        return int(IDOK);
    });
    view.OnEditDiagramDatas();
    DiagramRecord& r = Current();
    EXPECT_TRUE(view.m_bModified);
    EXPECT_FALSE(view.m_bDeriveCastling);
    EXPECT_EQ(r.castleWhiteShort, 0u);
    EXPECT_EQ(r.castleWhiteLong, 1u);
    EXPECT_EQ(r.blackToMove, 1u);
    EXPECT_EQ(r.enPassantFile, "c");
    EXPECT_EQ(r.comment, "First line\r\nsecond");
    EXPECT_EQ(r.commentOpcode, "c0");
    EXPECT_EQ(r.fullmoveNumber, "1");
    EXPECT_EQ(r.halfmoveClock, "0");
    EXPECT_EQ(r.displayComment, "b Qkq First line\r\nsecond");
    EXPECT_EQ(view.m_pCurrentPage->title, "Page one");
    // Black to move with e.p. file c: the double step c2-c4 is marked.
    bool arrow = false;
    for (const MarkSlot& m : r.marks)
        if (m.type == MarkDoubleStep && m.from == Square::FromName("c2").MarkNumber()
            && m.to == Square::FromName("c4").MarkNumber())
            arrow = true;
    EXPECT_TRUE(arrow);

    // Emptying the box removes the arrow again; an EPD list leaves empty counters empty.
    view.m_bEpdMode = true;
    dialogs.Then([](CDialog& d) {
        Control<QLineEdit>(d, 120)->setText("");
        Control<QLineEdit>(d, 1005)->setText("");
        return int(IDOK);
    });
    view.OnEditDiagramDatas();
    for (const MarkSlot& m : r.marks) EXPECT_NE(m.type, MarkDoubleStep);
    EXPECT_TRUE(r.enPassantFile.empty());
    EXPECT_EQ(r.fullmoveNumber, "");
}

TEST_F(PositionDataTest, CancelChangesNothingAndCorrectionModeKeepsPageTexts)
{
    CPlaviaView& view = View();
    view.m_pCurrentPage->title = "Kept";
    DialogScript dialogs;
    dialogs.Then([](CDialog& d) {
        Control<QCheckBox>(d, 106)->setChecked(true);
        return int(IDCANCEL);
    });
    view.OnEditDiagramDatas();
    EXPECT_EQ(Current().castleWhiteLong, 0u);
    EXPECT_FALSE(view.m_bModified);

    GlobalModes::correctionMode = true;
    dialogs.Then([](CDialog& d) {
        // The page texts stay empty in correction mode, and are not written back.
        auto* page = Control<QPushButton>(d, 1029);
        EXPECT_NE(page, nullptr);
        return int(IDOK);
    });
    view.OnEditDiagramDatas();
    EXPECT_EQ(view.m_pCurrentPage->title, "Kept");
}

TEST_F(PositionDataTest, PageTextEditorReachesThePageOnlyThroughOk)
{
    CPlaviaView& view = View();
    DialogScript dialogs;
    dialogs.Then([&dialogs](CDialog& d) {
        dialogs.Then([](CDialog& titles) {
            titles.findChild<QLineEdit*>("IDC_1030")->setText("Endgames");
            titles.findChild<QPlainTextEdit*>("IDC_1031")->setPlainText("Top\ntext");
            return int(IDOK);
        });
        Control<QPushButton>(d, 1029)->click();
        return int(IDOK);
    });
    view.OnEditDiagramDatas();
    EXPECT_EQ(dialogs.titles.size(), 2u);
    EXPECT_EQ(view.m_pCurrentPage->title, "Endgames");
    EXPECT_EQ(view.m_pCurrentPage->topText, "Top\r\ntext");
}

TEST_F(PositionDataTest, BlackToMoveOnlyInEditorModeAndMarksTheListModified)
{
    CPlaviaView& view = View();
    view.OnBlackToMove();
    EXPECT_EQ(Current().blackToMove, 1u);
    EXPECT_TRUE(view.m_bModified);
    Current().blackToMove = 7;
    view.OnBlackToMove();
    EXPECT_EQ(Current().blackToMove, 0u);
    view.m_bModified = false;
    GlobalModes::editorMode = false;
    view.OnBlackToMove();
    EXPECT_EQ(Current().blackToMove, 0u);
    EXPECT_FALSE(view.m_bModified);
}

TEST_F(PositionDataTest, HelpPagesAndControlTopicsExist)
{
    EXPECT_TRUE(AfxHtmlHelp(nullptr, HelpPath + "/html/dial3s6q.htm", HH_DISPLAY_TOPIC));
    EXPECT_NE(LastHelpPage().find("dial3s6q.htm"), std::string::npos);
    EXPECT_FALSE(AfxHtmlHelp(nullptr, HelpPath + "/html/nothing.htm", HH_DISPLAY_TOPIC));
    for (int topic = 1; topic <= 12; ++topic)
        EXPECT_FALSE(HelpTopicText(HelpPath + "editepd.txt", topic).empty());
}

} // namespace

namespace {

class ValidateTest : public PositionDataTest {
protected:
    void SetUp() override
    {
        PositionDataTest::SetUp();
        View();
    }
    void Position(std::initializer_list<std::pair<const char*, char>> pieces)
    {
        View().SetBoardPosition(0);
        for (auto [square, letter] : pieces) Put(square[0], square[1] - '0', letter);
    }
};

TEST_F(ValidateTest, IllegalPositionIsReportedAndKeepsTheUserThere)
{
    MessageBoxScript boxes;
    CPlaviaView& view = View();
    view.OnAddDiagram(); // an empty board has no kings
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "There are not a black and a white king.");
    EXPECT_EQ(view.DiagramCount(), 1);

    Position({ { "e1", 'k' }, { "e2", 'l' } });
    view.OnAddDiagram();
    EXPECT_EQ(boxes.asked.back().text, "Error, adjacents Kings.");
    EXPECT_EQ(view.DiagramCount(), 1);

    Position({ { "e1", 'k' }, { "e8", 'l' } });
    view.OnAddDiagram();
    EXPECT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(view.DiagramCount(), 2);
}

TEST_F(ValidateTest, WarningAskedOnceAndSkippedInCorrectionMode)
{
    MessageBoxScript boxes;
    CPlaviaView& view = View();
    Position({ { "e1", 'k' }, { "e8", 'l' }, { "a1", 'n' }, { "b1", 'n' }, { "c1", 'n' } });
    boxes.Answer(IDNO);
    EXPECT_FALSE(view.ValidateCurrent());
    EXPECT_EQ(boxes.asked.back().style, 292u);
    boxes.Answer(IDYES);
    EXPECT_TRUE(view.ValidateCurrent());
    EXPECT_TRUE(view.ValidateCurrent());
    EXPECT_EQ(boxes.asked.size(), 2u);

    Current().warningsAccepted = 0;
    GlobalModes::correctionMode = true;
    EXPECT_TRUE(view.ValidateCurrent());
    EXPECT_EQ(boxes.asked.size(), 2u);
    GlobalModes::correctionMode = false;
    SettingsState::legalCheckActive = false;
    EXPECT_TRUE(view.ValidateCurrent());
    SettingsState::legalCheckActive = true;
    GlobalModes::editorMode = false;
    EXPECT_TRUE(view.ValidateCurrent());
    EXPECT_EQ(boxes.asked.size(), 2u);
}

TEST_F(ValidateTest, StatusPaneShowsCountAndFenAndFollowsChanges)
{
    CPlaviaView& view = View();
    EXPECT_EQ(view.StatusText(), "");
    view.m_bDisplayFen = true;
    Position({ { "e1", 'k' }, { "a1", 'r' }, { "e8", 'l' } });
    view.UpdateStatusText();
    QString text = Frame().StatusText();
    EXPECT_TRUE(text.startsWith("Pieces count: 3       FEN: 4k3/8/8/8/8/8/8/R3K3 w Q")) << text.toStdString();
    view.OnBlackToMove();
    EXPECT_TRUE(Frame().StatusText().contains("R3K3 b Q")) << Frame().StatusText().toStdString();
}

// The status text may be asked for before the view has a frame.
using StatusWithoutFrame = ProgramTest;
TEST_F(StatusWithoutFrame, DoesNotCrash)
{
    CPlaviaView view;
    view.m_bDisplayFen = true;
    view.UpdateStatusText();
    EXPECT_NE(view.StatusText().find("Pieces count: 0"), std::string::npos);
}

} // namespace
