#include "FilesTest.h"

#include "dialogs/CDialog_Errors.h"
#include "platform/Commands.h"
#include "platform/Help.h"
#include "platform/Strings.h"
#include "positions/Marks.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr const char* kings = "4k3/8/8/8/8/8/8/4K3 w - -";
constexpr const char* twoWhiteKings = "4k3/8/8/8/8/8/8/3KK3 w - -";

std::string Lines(int n, const std::string& line)
{
    std::string text;
    for (int i = 0; i < n; ++i) text += line + "\r\n";
    return text;
}

int CountLines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// A folder nobody may write in, root included where the file system allows it.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& path)
        : path(path)
    {
        QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner | QFile::ExeOwner);
        if (::geteuid() == 0) immutable = std::system(("chattr +i '" + path + "' 2>/dev/null").c_str()) == 0;
        std::ofstream probe(path + "/probe");
        works = !probe;
        if (probe) {
            probe.close();
            std::remove((path + "/probe").c_str());
        }
    }
    ~ReadOnlyFolder()
    {
        if (immutable) (void)std::system(("chattr -i '" + path + "'").c_str());
        QFile::setPermissions(
            QString::fromStdString(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool works = false;

private:
    std::string path;
    bool immutable = false;
};

using FileCommands = FilesTest;

TEST_F(FileCommands, DialogsHaveTheirHelpPages)
{
    for (const char* page : { "/html/openerrors.htm", "/html/savewarning.htm", "/html/gotonumber.htm" }) {
        EXPECT_TRUE(AfxHtmlHelp(nullptr, HelpPath + page, HH_DISPLAY_TOPIC)) << page;
        EXPECT_NE(LastHelpPage().find(page), std::string::npos);
    }
}

TEST(FileDialog, FiltersOfTheStringTableBecomeQtFilters)
{
    EXPECT_EQ(QtFileFilters(LoadString(40084)),
        QStringList({ "EPD Files (*.epd)", "Brennix Files (*.bnx)", "FEN Files (*.fen)", "Text Files (*.txt)",
            "All Files (*)" }));
    EXPECT_EQ(QtFileFilters("Brennix Files (*.bnx)|*.bnx||"), QStringList({ "Brennix Files (*.bnx)" }));
    EXPECT_EQ(FileExtension("/a.b/list.EPD"), "epd");
    EXPECT_EQ(FileExtension("/a.b/list"), "");
    EXPECT_EQ(FileNameOf("/a/b/list.bnx"), "list.bnx");
}

TEST_F(FileCommands, OpenThenSaveWritesTheFileAgainByteForByte)
{
    const std::string path = Fixture("save.bnx");
    Open(path);
    CPlaviaView& view = View();
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(view.DiagramCount(), 10);
    EXPECT_EQ(view.m_nPageCount, 2);
    EXPECT_EQ(view.m_nStartNumber, 5);
    EXPECT_EQ(view.m_strExtension, "bnx");
    EXPECT_EQ(view.m_strFilePath, path);
    EXPECT_EQ(SettingsState::currentFileName, "save.bnx");
    EXPECT_EQ(Title(), "save.bnx - Brennix 4.3");
    EXPECT_FALSE(view.m_bModified);
    EXPECT_EQ(view.m_pCurrentDiagram, view.m_pFirstDiagram);
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_TRUE(files.asked[0].open);
    EXPECT_EQ(files.asked[0].filter, LoadString(40083));
    EXPECT_EQ(files.asked[0].initialName, "*.bnx");

    const std::string before = Slurp(path);
    view.m_bModified = true;
    view.OnFileSave();
    EXPECT_EQ(Slurp(path), before);
    EXPECT_FALSE(view.m_bModified);
    EXPECT_TRUE(boxes.asked.empty());
}

TEST_F(FileCommands, HeaderOptionsChangeTheModesOnlyWhenTheOpenSucceeds)
{
    // A file whose header has no end is no list: nothing of it is taken, not even its option.
    const std::string cut = Path("cut.bnx");
    Write(cut, "HEADER_PRINT_X No_Legal \r\nPage\r\n");
    Open(cut);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, LoadString(40034));
    EXPECT_EQ(AppSettings::LegalPosition, 1);
    EXPECT_TRUE(SettingsState::legalCheckActive);
    EXPECT_EQ(View().m_strFilePath, "No Name");

    Open(Fixture("noleg.bnx"));
    EXPECT_EQ(AppSettings::LegalPosition, 0);
    EXPECT_FALSE(SettingsState::legalCheckActive);
    EXPECT_TRUE(SettingsState::legalSuspendedByFile);
    EXPECT_FALSE(GlobalModes::fairyMode);

    // Saved with the checks off, the header keeps saying so.
    View().OnFileSaveAs();
    files.Answer(Path("copy.bnx"));
    View().OnFileSaveAs();
    EXPECT_EQ(Slurp(Path("copy.bnx")), Slurp(Path("noleg.bnx")));
}

TEST_F(FileCommands, FairyFileSetsFairyModeAndIsWrittenBackWithItsRotations)
{
    Open(Fixture("fairy.bnx"));
    EXPECT_TRUE(GlobalModes::fairyMode);
    EXPECT_TRUE(View().m_bFairyMarks);
    files.Answer(Path("again.bnx"));
    View().OnFileSaveAs();
    ASSERT_FALSE(files.asked.empty());
    EXPECT_EQ(files.asked.back().filter, LoadString(40109));
    EXPECT_EQ(Slurp(Path("again.bnx")), Slurp(Path("fairy.bnx")));
}

TEST_F(FileCommands, SaveAsNamesTheFileWrittenSoTheNextSaveKeepsItsForm)
{
    // A list that an EPD file keeps whole: positions with comments.
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    view.m_pFirstDiagram->comment = "first";
    view.m_pFirstDiagram->commentOpcode = "c0";
    view.m_bModified = true;
    files.Answer(Path("list.epd"));
    view.OnFileSaveAs();
    EXPECT_TRUE(dialogs.titles.empty()) << "no warning: nothing is lost";
    EXPECT_EQ(files.asked.back().filter, LoadString(40033));
    EXPECT_EQ(view.m_strExtension, "epd");
    EXPECT_EQ(view.m_strFilePath, Path("list.epd"));
    EXPECT_EQ(Title(), "list.epd - Brennix 4.3");
    EXPECT_FALSE(view.m_bModified);
    const std::string epd = Slurp(Path("list.epd"));
    EXPECT_EQ(CountLines(epd), 1);
    EXPECT_NE(epd.find("c0 \"first\";"), std::string::npos);

    // The next Save writes the same lines into the same file, never a BNX block.
    view.m_pFirstDiagram->comment = "changed";
    view.m_bModified = true;
    view.OnFileSave();
    const std::string again = Slurp(Path("list.epd"));
    EXPECT_EQ(CountLines(again), 1);
    EXPECT_NE(again.find("c0 \"changed\";"), std::string::npos);
    EXPECT_FALSE(view.m_bModified);
    // Save is a BNX command in the menu.
    EXPECT_FALSE(CommandRouter::Instance().Query(141).enabled);
    EXPECT_FALSE(CommandRouter::Instance().Query(32854).enabled);
    EXPECT_TRUE(CommandRouter::Instance().Query(32771).enabled);
}

TEST_F(FileCommands, CancelledSaveAsChangesNothing)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    view.m_bModified = true;
    files.Cancel();
    view.OnFileSave();
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_FALSE(files.asked[0].open);
    EXPECT_EQ(view.m_strFilePath, "No Name");
    EXPECT_EQ(view.m_strExtension, "bnx");
    EXPECT_TRUE(view.m_bModified);
}

TEST_F(FileCommands, ListWithMarksWarnsBeforeAFormThatLosesThem)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    view.AddMark(Marks::KindColour, 1, 12, 28);
    ASSERT_GT(view.m_nBnxOnlyCount, 0);

    // Cancel: nothing written, nothing renamed.
    files.Answer(Path("x.epd"));
    dialogs.Then([](CDialog&) { return int(IDCANCEL); });
    view.OnFileSaveAs();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("x.epd"))));
    EXPECT_EQ(view.m_strFilePath, "No Name");
    EXPECT_EQ(view.m_strExtension, "bnx");

    // "No, save with the file extention I have chosen": only the position lines, in a copy; the list
    // keeps its own name and stays changed.
    files.Answer(Path("x.epd"));
    QString lostLine;
    dialogs.Then([&lostLine](CDialog& d) {
        lostLine = d.findChild<QLabel*>("lostLabel")->text();
        d.findChild<QPushButton*>("IDC_1028")->click();
        return d.result() == QDialog::Accepted ? int(IDOK) : int(IDCANCEL);
    });
    view.OnFileSaveAs();
    EXPECT_EQ(CountLines(Slurp(Path("x.epd"))), 1);
    EXPECT_EQ(
        lostLine, "The file you have chosen cannot keep: arrows, square markers and numbers in squares.");
    EXPECT_EQ(view.m_strExtension, "bnx");
    EXPECT_EQ(view.m_strFilePath, "No Name");
    EXPECT_TRUE(view.m_bModified);

    // "Yes save with squares and arrows" when x.bnx exists: asked first; No writes nothing.
    Write(Path("x.bnx"), "old");
    files.Answer(Path("x.epd"));
    dialogs.Then([](CDialog&) { return int(IDOK); });
    boxes.Answer(IDNO);
    view.OnFileSave();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("x.bnx already exists."), std::string::npos);
    EXPECT_EQ(Slurp(Path("x.bnx")), "old");
    EXPECT_EQ(view.m_strFilePath, "No Name");

    files.Answer(Path("x.epd"));
    dialogs.Then([](CDialog&) { return int(IDOK); });
    view.OnFileSave();
    EXPECT_NE(Slurp(Path("x.bnx")).find("12 28 4 "), std::string::npos);
    EXPECT_EQ(view.m_strExtension, "bnx");
    EXPECT_EQ(view.m_strFilePath, Path("x.bnx"));
    EXPECT_EQ(Title(), "x.bnx - Brennix 4.3");
    EXPECT_FALSE(view.m_bModified);
    EXPECT_EQ(dialogs.titles.back(), "Save File warning");
}

TEST_F(FileCommands, FailedSaveKeepsTheOldFileTheModifiedFlagAndTheProgram)
{
    const std::string path = Fixture("save.bnx");
    Open(path);
    CPlaviaView& view = View();
    const std::string before = Slurp(path);
    view.m_pFirstDiagram->comment = "lost?";
    view.m_bModified = true;
    ReadOnlyFolder readOnly(folder.path().toStdString());
    if (!readOnly.works) GTEST_SKIP() << "this file system lets the test write into a read-only folder";

    view.OnFileSave();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("Cannot save the file save.bnx"), std::string::npos);
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
    EXPECT_EQ(Slurp(path), before);
    EXPECT_TRUE(view.m_bModified);

    boxes.Answer(IDNO); // not "Quit without saving": save first, which fails
    view.OnFileExit();
    EXPECT_EQ(view.m_nExitRequests, 0);
    EXPECT_EQ(boxes.asked[1].text, "Quit without saving?");
}

TEST_F(FileCommands, ExitQuitsOnlyWhenTheListIsSafe)
{
    CPlaviaView& view = View();
    // The program ends through the window around the view, which listens for the request.
    int quitRequests = 0;
    QObject listener;
    QObject::connect(&view, &CPlaviaView::quitRequested, &listener, [&quitRequests] { ++quitRequests; });
    view.OnFileExit();
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(view.m_nExitRequests, 1);

    view.m_bModified = true;
    view.OnFileExit(); // Yes: quit without saving
    EXPECT_EQ(view.m_nExitRequests, 2);

    // No: the current diagram is wrong and must be mended first.
    view.m_pCurrentDiagram->board[7][4] = 'K';
    boxes.Answer(IDNO);
    view.OnFileExit();
    EXPECT_EQ(view.m_nExitRequests, 2);
    ASSERT_GE(boxes.asked.size(), 2u);
    EXPECT_EQ(boxes.asked[boxes.asked.size() - 2].text, LoadString(40038));
    EXPECT_EQ(boxes.asked.back().text, LoadString(40008));

    // No with a good diagram: Save As; cancelling it keeps the program open, saving quits.
    view.SetBoardPosition(1);
    boxes.Answer(IDNO);
    files.Cancel();
    view.OnFileExit();
    EXPECT_EQ(view.m_nExitRequests, 2);
    boxes.Answer(IDNO);
    files.Answer(Path("end.bnx"));
    view.OnFileExit();
    EXPECT_EQ(view.m_nExitRequests, 3);
    EXPECT_EQ(quitRequests, 3);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("end.bnx"))));
    // The frame's close button is File > Exit.
    EXPECT_TRUE(CommandRouter::Instance().Has(158));
}

TEST_F(FileCommands, NewAndOpenAskBeforeAChangedListIsReplaced)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    view.m_bModified = true;
    boxes.Answer(IDCANCEL);
    CommandRouter::Instance().Execute(31002);
    EXPECT_TRUE(view.BoardHasPieces());
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_NE(boxes.asked[0].text.find("No Name"), std::string::npos);

    boxes.Answer(IDCANCEL);
    view.OnFileOpen();
    EXPECT_TRUE(files.asked.empty());

    // Yes saves first; a cancelled save keeps the list.
    boxes.Answer(IDYES);
    files.Cancel();
    view.OnFileOpen();
    EXPECT_EQ(files.asked.size(), 1u);
    EXPECT_TRUE(view.BoardHasPieces());

    boxes.Answer(IDNO);
    CommandRouter::Instance().Execute(31002);
    EXPECT_FALSE(view.BoardHasPieces());
    EXPECT_FALSE(view.m_bModified);
}

TEST_F(FileCommands, FailedOrCancelledOpenLeavesTheListAsItWas)
{
    Open(Fixture("golden.epd"));
    CPlaviaView& view = View();
    ASSERT_EQ(view.DiagramCount(), 10);
    view.m_nStartNumber = 7;
    view.OnGoLastDiagram();
    auto unchanged = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(view.DiagramCount(), 10);
        EXPECT_EQ(view.m_nCurrentIndex, 9);
        EXPECT_EQ(view.m_nStartNumber, 7);
        EXPECT_EQ(view.m_strExtension, "epd");
        EXPECT_EQ(view.m_strFilePath, Path("golden.epd"));
        EXPECT_EQ(Title(), "golden.epd - Brennix 4.3");
    };
    files.Cancel();
    view.OnFileOpen();
    unchanged("cancel");
    EXPECT_EQ(files.asked.back().filter, LoadString(40084));
    EXPECT_EQ(files.asked.back().initialName, "*.epd");

    Open(Path("missing.bnx"));
    unchanged("missing file");
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Cannot open the file missing.bnx:\nNo such file or directory");

    Open(Path("picture.png"));
    unchanged("picture");
    EXPECT_EQ(boxes.asked.back().text, LoadString(40045));

    Write(Path("empty.bnx"), "");
    Open(Path("empty.bnx"));
    unchanged("empty file");
    EXPECT_EQ(boxes.asked.back().text, LoadString(40045));

    Write(Path("blank.fen"), Lines(2, kings) + Lines(10, ""));
    Open(Path("blank.fen"));
    unchanged("no position file");
    EXPECT_EQ(boxes.asked.back().text, LoadString(40014));
    EXPECT_EQ(boxes.asked.size(), 4u);
}

// Errors on lines 3 and 7 (two white kings) of ten.
std::string FileWithTwoErrors()
{
    std::string text;
    for (int line = 1; line <= 10; ++line)
        text += std::string(line == 3 || line == 7 ? twoWhiteKings : kings) + " c0 \"line "
            + std::to_string(line) + "\";\r\n";
    return text;
}

TEST_F(FileCommands, ErrorListDialogThenLoadWithoutBadPositions)
{
    Write(Path("errors.epd"), FileWithTwoErrors());
    QStringList listed;
    dialogs.Then([&](CDialog& d) {
        auto* list = d.findChild<QListWidget*>("IDC_1010");
        for (int i = 0; i < list->count(); ++i) listed << list->item(i)->text();
        return int(IDCANCEL);
    });
    Open(Path("errors.epd"));
    EXPECT_EQ(dialogs.titles.back(), "Open file: Errors list");
    EXPECT_EQ(listed,
        QStringList({ "Ligne 3 : Error, too many kings on the board.",
            "Ligne 7 : Error, too many kings on the board." }));
    CPlaviaView& view = View();
    EXPECT_EQ(view.DiagramCount(), 8);
    EXPECT_FALSE(GlobalModes::correctionMode);

    // The first Save over that file says that the two positions will not be in it.
    view.m_bModified = true;
    boxes.Answer(IDNO);
    view.OnFileSave();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(Slurp(Path("errors.epd")), FileWithTwoErrors());
    EXPECT_TRUE(view.m_bModified);
    view.OnFileSave();
    EXPECT_EQ(CountLines(Slurp(Path("errors.epd"))), 8);
    view.OnFileSave();
    EXPECT_EQ(boxes.asked.size(), 2u);
}

TEST_F(FileCommands, HundredFiftyFaultyLinesAreListedUpToAHundred)
{
    std::string text;
    for (int i = 0; i < 200; ++i) text += std::string(i % 4 == 0 ? kings : twoWhiteKings) + "\n";
    Write(Path("many.epd"), text);
    int rows = 0;
    QString last;
    dialogs.Then([&](CDialog& d) {
        auto* list = d.findChild<QListWidget*>("IDC_1010");
        rows = list->count();
        last = list->item(rows - 1)->text();
        return int(IDCANCEL);
    });
    Open(Path("many.epd"));
    EXPECT_EQ(rows, 101);
    EXPECT_EQ(last,
        "50 more faulty lines are not listed: \"Load file without bad positions\" leaves them out too, "
        "\"Correct errors\" shows each of them.");
    EXPECT_EQ(View().DiagramCount(), 50);

    // "Correct errors" takes every one of them, and walks to each, the unlisted ones too.
    dialogs.Then([](CDialog&) { return int(IDOK); });
    Open(Path("many.epd"));
    CPlaviaView& view = View();
    EXPECT_EQ(view.DiagramCount(), 200);
    ASSERT_TRUE(GlobalModes::correctionMode);
    EXPECT_EQ(view.m_nCurrentIndex, 1);
    int walked = 1;
    while (GlobalModes::correctionMode && walked < 200) {
        view.m_pCurrentDiagram->board[7][4] = '+'; // one white king less
        boxes.Answer(IDNO); // "Save ?" at the end
        view.OnGoNextDiagram();
        if (GlobalModes::correctionMode) ++walked;
    }
    EXPECT_EQ(walked, 150);
    EXPECT_EQ(view.m_nCurrentIndex, 199);
}

TEST_F(FileCommands, CorrectionModeWalksExactlyToTheFaultyDiagrams)
{
    Write(Path("errors.epd"), FileWithTwoErrors());
    dialogs.Then([](CDialog&) { return int(IDOK); });
    Open(Path("errors.epd"));
    CPlaviaView& view = View();
    EXPECT_EQ(view.DiagramCount(), 10);
    ASSERT_TRUE(GlobalModes::correctionMode);
    EXPECT_TRUE(GlobalModes::editorMode);
    EXPECT_TRUE(SettingsState::legalCheckActive);
    EXPECT_EQ(view.m_nCurrentIndex, 2);
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "line 3");
    EXPECT_EQ(SettingsState::correctionStatusText, LoadString(40000));
    EXPECT_FALSE(CommandRouter::Instance().Query(32600).enabled);
    EXPECT_FALSE(CommandRouter::Instance().Query(32777).enabled);
    EXPECT_FALSE(CommandRouter::Instance().Query(32778).enabled);
    EXPECT_TRUE(CommandRouter::Instance().Query(32776).enabled);

    // The faulty diagram must be mended before the walk goes on.
    view.OnGoNextDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 2);
    view.m_pCurrentDiagram->board[7][4] = '+';

    view.m_bDisplayFen = true;
    view.OnGoNextDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 6);
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "line 7");
    // The status bar follows the walk.
    EXPECT_EQ(Frame().StatusText().toStdString(), view.StatusText());
    view.m_pCurrentDiagram->board[7][4] = '+';

    boxes.Answer(IDNO);
    const size_t asked = boxes.asked.size();
    view.OnGoNextDiagram();
    EXPECT_FALSE(GlobalModes::correctionMode);
    EXPECT_EQ(SettingsState::correctionStatusText, "");
    ASSERT_EQ(boxes.asked.size(), asked + 1);
    EXPECT_EQ(boxes.asked.back().text, LoadString(40026));
    EXPECT_EQ(view.m_nCurrentIndex, 6);
    EXPECT_EQ(view.m_pCurrentPage, view.m_pFirstPage);
}

TEST_F(FileCommands, CorrectionSkipsUnreadableLinesAndWalksFromTheRightDiagram)
{
    // Line 5 is blank: it is listed, left out, and the diagrams after it move up by one.
    std::string text;
    for (int line = 1; line <= 20; ++line)
        text += line == 5 ? std::string("\r\n")
                          : std::string(line == 3 || line == 19 ? twoWhiteKings : kings) + " c0 \"line "
                + std::to_string(line) + "\";\r\n";
    Write(Path("gaps.epd"), text);
    dialogs.Then([](CDialog&) { return int(IDOK); });
    Open(Path("gaps.epd"));
    CPlaviaView& view = View();
    EXPECT_EQ(view.DiagramCount(), 19);
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "line 3");
    view.m_pCurrentDiagram->board[7][4] = '+';
    view.OnGoNextDiagram();
    EXPECT_EQ(view.m_nCurrentIndex, 17);
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "line 19");
    EXPECT_EQ(view.m_pCurrentPage, view.m_pFirstPage->next);
    view.m_pCurrentDiagram->board[7][4] = '+';
    // Saving at the end warns that the blank line's position is not in the file.
    boxes.Answer(IDYES);
    boxes.Answer(IDYES);
    view.OnGoNextDiagram();
    EXPECT_FALSE(GlobalModes::correctionMode);
    EXPECT_EQ(CountLines(Slurp(Path("gaps.epd"))), 19);
}

TEST_F(FileCommands, MergeAppendsTheSecondFileAndAsksWhereToSave)
{
    Open(Fixture("save.bnx"));
    CPlaviaView& view = View();
    std::string three = "HEADER_PRINT\r\ntheirs\r\n\r\n\r\nHEADER_PRINT_END\r\n";
    for (int i = 0; i < 3; ++i)
        three += std::string(kings) + "\r\n" + Lines(8, "0 0 0 0 0 0 0 0 0 0 0 0 ") + "\r\n0 0\r\n";
    Write(Path("three.bnx"), three);
    files.Answer(Path("three.bnx"));
    files.Answer(Path("merged.bnx"));
    CommandRouter::Instance().Execute(32854);
    EXPECT_EQ(view.DiagramCount(), 13);
    EXPECT_EQ(view.m_nCurrentIndex, 0);
    EXPECT_EQ(view.m_pCurrentDiagram, view.m_pFirstDiagram);
    EXPECT_EQ(view.m_nStartNumber, 5);
    EXPECT_EQ(view.m_pFirstPage->title, "Page one");
    EXPECT_FALSE(GlobalModes::mergeMode);
    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_FALSE(files.asked[2].open);
    EXPECT_EQ(view.m_strFilePath, Path("merged.bnx"));
    EXPECT_FALSE(view.m_bModified);

    // A cancelled merge adds nothing, and Save As still follows.
    files.Cancel();
    files.Cancel();
    view.OnFileMerge();
    EXPECT_EQ(view.DiagramCount(), 13);
    EXPECT_EQ(files.asked.size(), 5u);
}

} // namespace
