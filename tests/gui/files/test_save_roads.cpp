// The roads that end in a save (Save As, Exit, New and Open, the merge) lose nothing the user did not
// agree to lose, and "modified" says whether the list differs from its file.
#include "FilesTest.h"

#include "dialogs/CDSaveWarning.h"
#include "platform/Commands.h"
#include "platform/Strings.h"
#include "positions/KindLosses.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>

namespace {

constexpr const char* kings = "4k3/8/8/8/8/8/8/4K3 w - - 0 1";

enum class Warning { Cancel, ChosenKind, Bnx };

class SaveRoads : public FilesTest {
protected:
    // The next save warning is answered so; its line naming what would be lost is kept.
    void AnswerWarning(Warning answer)
    {
        dialogs.Then([this, answer](CDialog& d) {
            lost = d.findChild<QLabel*>("lostLabel")->text().toStdString();
            if (auto* warning = dynamic_cast<CDSaveWarning*>(&d)) parts = warning->m_nLostParts;
            if (answer == Warning::Cancel) return int(IDCANCEL);
            if (answer == Warning::ChosenKind) d.findChild<QPushButton*>("IDC_1028")->click();
            return int(IDOK);
        });
    }
    // Diagram datas, OK after the comment box was given this text (or left as it was).
    void DatasOk(const char* comment = nullptr)
    {
        dialogs.Then([comment](CDialog& d) {
            if (comment) d.findChild<QPlainTextEdit*>("IDC_112")->setPlainText(comment);
            return int(IDOK);
        });
        View().OnEditDiagramDatas();
    }
    std::string lost;
    unsigned parts = 0;
};

// A list read from a BNX file holds marks, coloured squares, page texts and a start number, though none
// of them was made in this session: Save As .epd names them all, and the EPD file is a copy.
TEST_F(SaveRoads, WhatAFileBroughtIsWarnedAboutBeforeAKindThatLosesIt)
{
    Open(Fixture("save.bnx"));
    CPlaviaView& view = View();
    ASSERT_EQ(view.m_nBnxOnlyCount, 0);
    // A copy of a list that is in its file whole leaves it so.
    files.Answer(Path("copy.epd"));
    AnswerWarning(Warning::ChosenKind);
    view.OnFileSaveAs();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("copy.epd"))));
    EXPECT_FALSE(view.m_bModified);
    EXPECT_EQ(Title(), "save.bnx - Brennix 4.3");
    CommandRouter::Instance().Execute(160); // Flip board

    // Cancel writes nothing.
    files.Answer(Path("out.epd"));
    AnswerWarning(Warning::Cancel);
    view.OnFileSaveAs();
    EXPECT_EQ(dialogs.shown, 2);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("out.epd"))));

    files.Answer(Path("out.epd"));
    AnswerWarning(Warning::ChosenKind);
    view.OnFileSaveAs();
    using namespace KindLosses;
    EXPECT_EQ(
        parts, unsigned(BoardMarks | ColouredSquares | Flip | PageTexts | StartNumber | CommentLineBreaks));
    EXPECT_EQ(lost,
        "The file you have chosen cannot keep: arrows, square markers and numbers in squares, coloured "
        "squares, flipped boards, page texts, the start number, line breaks in comments.");
    const std::string epd = Slurp(Path("out.epd"));
    EXPECT_EQ(std::count(epd.begin(), epd.end(), '\n'), 10);
    EXPECT_EQ(Title(), "save.bnx - Brennix 4.3");
    EXPECT_EQ(view.m_strFilePath, Path("save.bnx"));
    EXPECT_TRUE(view.m_bModified);

    // Exit asks, since the list is in no file whole.
    boxes.Answer(IDYES);
    view.OnFileExit();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Quit without saving?");
}

TEST_F(SaveRoads, APageTitleAloneIsWarnedAbout)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    dialogs.Then([this](CDialog& d) {
        dialogs.Then([](CDialog& t) {
            t.findChild<QLineEdit*>("IDC_1030")->setText("My studies");
            return int(IDOK);
        });
        d.findChild<QPushButton*>("IDC_1029")->click();
        return int(IDOK);
    });
    view.OnEditDiagramDatas();
    ASSERT_EQ(view.m_pFirstPage->title, "My studies");
    files.Answer(Path("studies.epd"));
    AnswerWarning(Warning::Bnx);
    view.OnFileSaveAs();
    EXPECT_EQ(parts, unsigned(KindLosses::PageTexts));
    // The BNX answer keeps everything: the list is in that file now.
    EXPECT_NE(Slurp(Path("studies.bnx")).find("My studies"), std::string::npos);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("studies.epd"))));
    EXPECT_EQ(view.m_strFilePath, Path("studies.bnx"));
    EXPECT_EQ(Title(), "studies.bnx - Brennix 4.3");
    EXPECT_FALSE(view.m_bModified);
}

// A FEN list with a comment typed in: Exit -> No saves into the FEN file, which cannot hold the comment.
// The program quits only when the user chose to drop it or saved it as BNX.
TEST_F(SaveRoads, ExitThroughALossySaveQuitsOnlyAtTheUsersWord)
{
    const std::string fen = std::string(kings) + "\r\n";
    Write(Path("list.fen"), fen);
    Open(Path("list.fen"));
    CPlaviaView& view = View();
    DatasOk("my comment");
    ASSERT_TRUE(view.m_bModified);

    boxes.Answer(IDNO);
    AnswerWarning(Warning::Cancel);
    view.OnFileExit();
    EXPECT_EQ(parts, unsigned(KindLosses::Comments));
    EXPECT_EQ(view.m_nExitRequests, 0);
    EXPECT_EQ(Slurp(Path("list.fen")), fen);

    // New -> Yes goes the same road: Cancel keeps the list.
    boxes.Answer(IDYES);
    AnswerWarning(Warning::Cancel);
    CommandRouter::Instance().Execute(31002);
    EXPECT_EQ(view.m_pFirstDiagram->comment, "my comment");
    EXPECT_EQ(view.m_strFilePath, Path("list.fen"));

    // The BNX answer keeps the comment, and the program ends.
    boxes.Answer(IDNO);
    AnswerWarning(Warning::Bnx);
    view.OnFileExit();
    EXPECT_EQ(view.m_nExitRequests, 1);
    EXPECT_NE(Slurp(Path("list.bnx")).find("my comment"), std::string::npos);
    EXPECT_EQ(Slurp(Path("list.fen")), fen);
}

TEST_F(SaveRoads, ExitWithTheChosenKindDropsWhatTheUserAgreedToDrop)
{
    Write(Path("list.fen"), std::string(kings) + "\r\n");
    Open(Path("list.fen"));
    CPlaviaView& view = View();
    DatasOk("dropped");
    view.m_pFirstDiagram->halfmoveClock = "7";
    boxes.Answer(IDNO);
    AnswerWarning(Warning::ChosenKind);
    view.OnFileExit();
    EXPECT_EQ(parts, unsigned(KindLosses::Comments)) << "the user was told what the file drops";
    EXPECT_EQ(view.m_nExitRequests, 1);
    EXPECT_EQ(Slurp(Path("list.fen")), "4k3/8/8/8/8/8/8/4K3 w - - 7 1\r\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("list.bnx"))));
}

// Flip board changes what a BNX file holds; OK in a dialog that changed nothing does not.
TEST_F(SaveRoads, ModifiedFollowsWhatChanged)
{
    Open(Fixture("save.bnx"));
    CPlaviaView& view = View();
    ASSERT_FALSE(view.m_bModified);
    auto& router = CommandRouter::Instance();

    DatasOk();
    EXPECT_FALSE(view.m_bModified) << "Diagram datas, OK with nothing changed";
    dialogs.Then([](CDialog&) { return int(IDOK); });
    router.Execute(32775);
    EXPECT_FALSE(view.m_bModified) << "Change index number, OK with the same number";

    router.Execute(160);
    EXPECT_TRUE(view.m_bModified) << "Flip board";
    boxes.Answer(IDNO);
    view.OnFileNew();
    Open(Fixture("save.bnx"));
    EXPECT_EQ(view.m_pFirstDiagram->flipped, 0);

    dialogs.Then([](CDialog& d) {
        d.findChild<QLineEdit*>("IDC_1026")->setText("9");
        return int(IDOK);
    });
    router.Execute(32775);
    EXPECT_TRUE(view.m_bModified) << "Change index number, another number";

    struct Edit {
        const char* name;
        std::function<void(CDialog&)> edit;
    };
    const std::vector<Edit> edits = {
        { "comment", [](CDialog& d) { d.findChild<QPlainTextEdit*>("IDC_112")->setPlainText("new"); } },
        { "en passant", [](CDialog& d) { d.findChild<QLineEdit*>("IDC_120")->setText("a"); } },
        { "fullmove", [](CDialog& d) { d.findChild<QLineEdit*>("IDC_1005")->setText("40"); } },
        { "page title",
            [this](CDialog& d) {
                dialogs.Then([](CDialog& t) {
                    t.findChild<QLineEdit*>("IDC_1030")->setText("Other");
                    return int(IDOK);
                });
                d.findChild<QPushButton*>("IDC_1029")->click();
            } },
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        view.m_bModified = false;
        dialogs.Then([&e](CDialog& d) {
            e.edit(d);
            return int(IDOK);
        });
        view.OnEditDiagramDatas();
        EXPECT_TRUE(view.m_bModified);
    }
}

// A merge, then a cancelled Save As: the list keeps its own file, and Save writes there, never over the
// file merged in.
TEST_F(SaveRoads, MergeThenCancelledSaveAsKeepsTheListsOwnFile)
{
    const std::string own = Fixture("save.bnx");
    Open(own);
    CPlaviaView& view = View();
    std::string other = std::string(kings).substr(0, 25) + " c0 \"Startnum 3 theirs\";\r\n";
    for (int i = 0; i < 8; ++i) other += "0 0 0 0 0 0 0 0 0 0 0 0 \r\n";
    other += "\r\n0 0\r\n";
    Write(Path("other.bnx"), other);
    files.Answer(Path("other.bnx"));
    files.Cancel();
    view.OnFileMerge();
    EXPECT_EQ(view.DiagramCount(), 11);
    EXPECT_EQ(view.m_strFilePath, own);
    EXPECT_EQ(Title(), "save.bnx - Brennix 4.3");
    EXPECT_TRUE(view.m_bModified);

    view.OnFileSave();
    EXPECT_EQ(Slurp(Path("other.bnx")), other);
    Open(own);
    EXPECT_EQ(View().DiagramCount(), 11);
    EXPECT_EQ(View().m_nStartNumber, 5);
}

// The real box on the screen, no script: Escape and the box's close button on "Quit without saving?"
// leave the program open with nothing written; No still saves and quits.
struct Dismissal {
    const char* name;
    std::function<void(QMessageBox&)> act;
    bool ends; // the program quits (after writing the list)
};
void PrintTo(const Dismissal& d, std::ostream* os)
{
    *os << d.name;
}

class RealQuitQuestion : public ProgramTest, public ::testing::WithParamInterface<Dismissal> {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        // An exit that an earlier test's File > Exit posted would end the box's own event loop at once:
        // the program's loop runs and ends first, as it does after File > Exit.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    QTemporaryDir folder;
    RealMessageBoxes onTheScreen;
};

TEST_P(RealQuitQuestion, OnlyNoWritesTheFile)
{
    const Dismissal& d = GetParam();
    CPlaviaView& view = ShownView();
    const std::string path = folder.filePath("list.bnx").toStdString();
    view.m_strFilePath = path;
    view.SetBoardPosition(1);
    view.m_bModified = true;

    QString shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        answer.stop();
        shown = box->text();
        d.act(*box);
    });
    answer.start(10);
    view.OnFileExit();
    answer.stop();
    EXPECT_EQ(shown, "Quit without saving?");
    EXPECT_EQ(view.m_nExitRequests, d.ends ? 1 : 0);
    EXPECT_EQ(QFile::exists(QString::fromStdString(path)), d.ends);
}

void Key(QMessageBox& box, Qt::Key key)
{
    QWidget* target = box.focusWidget() ? box.focusWidget() : &box;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

INSTANTIATE_TEST_SUITE_P(Answers, RealQuitQuestion,
    ::testing::Values(Dismissal { "Escape", [](QMessageBox& b) { Key(b, Qt::Key_Escape); }, false },
        Dismissal { "CloseButton", [](QMessageBox& b) { b.windowHandle()->close(); }, false },
        Dismissal { "No", [](QMessageBox& b) { b.button(QMessageBox::No)->click(); }, true }),
    [](const auto& info) { return std::string(info.param.name); });

// Every kind of box, dismissed: a question with Cancel or without it gives IDCANCEL, a message OK.
TEST_F(RealQuitQuestion, DismissedBoxesAnswerCancelOrOk)
{
    ShownView();
    for (unsigned style : { unsigned(MB_YESNO), unsigned(MB_YESNO | MB_DEFBUTTON2), unsigned(MB_YESNOCANCEL),
             unsigned(MB_OKCANCEL), unsigned(MB_OK) }) {
        for (bool escape : { true, false }) {
            SCOPED_TRACE(::testing::Message() << "style " << style << (escape ? " Escape" : " close button"));
            QTimer answer;
            QObject::connect(&answer, &QTimer::timeout, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box || !box->isVisible()) return;
                answer.stop();
                if (escape)
                    Key(*box, Qt::Key_Escape);
                else
                    box->windowHandle()->close();
            });
            answer.start(10);
            const int result = AfxMessageBox("Go on?", style);
            EXPECT_EQ(result, style == MB_OK ? IDOK : IDCANCEL);
        }
    }
}

} // namespace
