#include "ProgramProcess.h"

#include <csignal>
#include <unistd.h>

namespace {

const QString Quit = "Quit without saving?";
const QString MakeChange = "menu Edit/Standard start position";
// The next step waits for what the steps before it set off: a program told to end has ended.
const QString Settle = "settle";

// Every stored setting, by its exact name (blanks included).
const QStringList allNames = { "BoardsPlacement/layerboardLeft", "BoardsPlacement/layerboardRight",
    "BoardsPlacement/layerboardTop", "BoardsPlacement/layerboard Bottom", "BoardsPlacement/TailleFonte",
    "BoardsPlacement/ToolBarLeft", "BoardsPlacement/ToolBarRight", "BoardsPlacement/ToolBarTop",
    "BoardsPlacement/ToolBarBottom", "BoardsPlacement/TextPlacementLeft",
    "BoardsPlacement/TextPlacementRight", "BoardsPlacement/TextPlacementTop",
    "BoardsPlacement/TextPlacementBottom", "FTPPreferences/FileFormat", "PrintPreferences/Lang",
    "PrintPreferences/Langindex", "Display/WidePlacement", "Display/HeightPlacement", "Display/WindowWide",
    "Display/WindowHeight", "Display/TransparentWindowsFlag", "Display/Blend", "Display/RValueBoard",
    "Display/GValueBoard", "Display/BValueBoard", "Display/Texture", "Display/RValueFond ",
    "Display/GValueFond", "Display/BValueFond", "Fen/LegalPosition", "Fen/DeleteWarning",
    "Fen/IntelligentMouse", "PrintPreferences/MonoMultiDiagPrint", "PrintPreferences/SizeDiag",
    "PrintPreferences/PrintComment", "PrintPreferences/PrintCoords", "PrintPreferences/PrintActiveColor",
    "PrintPreferences/PrintPageNumber", "PrintPreferences/PNGSaveCoords", "PrintPreferences/SaveTtansparent",
    "Display/FontFaceName", "PrintPreferences/Border" };

using ProgramTest = ProgramProcess;

// --- leaving the program

struct LeaveCase {
    const char* name;
    QStringList script;
};
void PrintTo(const LeaveCase& c, std::ostream* os)
{
    *os << c.name;
}
class Leaving : public ProgramProcess, public ::testing::WithParamInterface<LeaveCase> { };

// File > Exit and the close button end an unchanged program at once, asking nothing, and every
// setting is written under its exact name, the window's placement as it was on the screen.
TEST_P(Leaving, EndsWithStatusZeroAndWritesEverySetting)
{
    const Run run = Start(GetParam().script);
    ASSERT_TRUE(run.ended) << "the program is still running after the request to end";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.Asked().isEmpty()) << run.Asked().join('|').toStdString();
    QStringList keys = StoredKeys();
    keys.sort();
    QStringList expected = allNames;
    expected.sort();
    EXPECT_EQ(keys, expected);
    const QRect window = run.Rect("window"), client = run.Rect("client");
    EXPECT_EQ(Stored("Display/WidePlacement").toInt(), window.x());
    EXPECT_EQ(Stored("Display/HeightPlacement").toInt(), window.y());
    EXPECT_EQ(Stored("Display/WindowWide").toInt(), client.width());
    EXPECT_EQ(Stored("Display/WindowHeight").toInt(), client.height());
    EXPECT_EQ(Stored("Display/Texture").toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Roads, Leaving,
    ::testing::Values(LeaveCase { "FileExit", { "report", "menu File/Exit" } },
        LeaveCase { "CloseButton", { "report", "close" } },
        // The second request finds the program ending and asks nothing more.
        LeaveCase { "CloseTwice", { "report", "close", "close" } }),
    [](const auto& info) { return std::string(info.param.name); });

struct ChangedCase {
    const char* name;
    QStringList script;
    int questions; // how often "Quit without saving?" is asked
    bool staysOpen; // after the first answer
    bool saved; // the list is written to the file chosen in the save dialog
    int saveDialogs; // how often the save dialog was asked for
};
void PrintTo(const ChangedCase& c, std::ostream* os)
{
    *os << c.name;
}
class ChangedList : public ProgramProcess, public ::testing::WithParamInterface<ChangedCase> { };

// With a changed list the question comes once per request to end; Yes ends, No saves first and ends
// only when the list is in its file.
TEST_P(ChangedList, AsksOnceAndDoesWhatTheAnswerSays)
{
    const ChangedCase& c = GetParam();
    QStringList script = c.script;
    script.replaceInStrings("SAVED", Path("saved.bnx"));
    const Run run = Start(script);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.CountAsked(Quit) + run.Lines("shown").count(Quit), c.questions)
        << run.log.join('\n').toStdString();
    // A program that stayed open reported itself after the first answer.
    EXPECT_EQ(run.Value("visible") == "1", c.staysOpen) << run.log.join('\n').toStdString();
    EXPECT_EQ(QFile::exists(Path("saved.bnx")), c.saved);
    EXPECT_EQ(run.Lines("file-dialog").size(), c.saveDialogs);
    EXPECT_TRUE(QFile::exists(IniPath()));
}

INSTANTIATE_TEST_SUITE_P(Answers, ChangedList,
    ::testing::Values(
        ChangedCase {
            "ExitYes", { "answer yes", MakeChange, "menu File/Exit", Settle, "report" }, 1, false, false, 0 },
        ChangedCase {
            "CloseYes", { "answer yes", MakeChange, "close", Settle, "report" }, 1, false, false, 0 },
        ChangedCase { "CloseTwiceYes", { "answer yes", MakeChange, "close", "close", Settle, "report" }, 1,
            false, false, 0 },
        ChangedCase { "ExitNoSaves",
            { "answer no", "file SAVED", MakeChange, "menu File/Exit", Settle, "report" }, 1, false, true,
            1 },
        ChangedCase { "CloseNoSaves", { "answer no", "file SAVED", MakeChange, "close", Settle, "report" }, 1,
            false, true, 1 },
        // Cancelling the save keeps the program open, after one question; the next Exit asks again.
        ChangedCase { "ExitNoCancelled",
            { "answer no", "answer yes", "file cancel", MakeChange, "menu File/Exit", Settle, "report",
                "menu File/Exit" },
            2, true, false, 1 },
        ChangedCase { "CloseNoCancelled",
            { "answer no", "answer yes", "file cancel", MakeChange, "close", Settle, "report", "close" }, 2,
            true, false, 1 },
        // The real box on the screen: a close request while it is open changes nothing.
        ChangedCase { "RealBoxCloseWhileAsking",
            { MakeChange, "menu File/Exit", "close", "press yes", Settle, "report" }, 1, false, false, 0 },
        // Escape, or the box's own close button, answers neither Yes nor No: the program stays and
        // saves nothing (no save dialog either), and the next Exit asks again.
        ChangedCase { "RealBoxEscape",
            { "file cancel", MakeChange, "menu File/Exit", "escape", Settle, "report", "menu File/Exit",
                "press yes" },
            2, true, false, 0 },
        ChangedCase { "RealBoxCloseButton",
            { "file cancel", MakeChange, "menu File/Exit", "close-box", Settle, "report", "menu File/Exit",
                "press yes" },
            2, true, false, 0 },
        ChangedCase { "CloseThenRealBoxEscape",
            { "file cancel", MakeChange, "close", "escape", Settle, "report", "close", "press yes" }, 2, true,
            false, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

// --- the desktop ends the program with a signal

struct SignalCase {
    const char* name;
    int signal;
    QStringList script; // what the user did before the signal came
    int sent; // signals sent: the second only once the program is seen still running after the first
    int questions; // how often "Quit without saving?" is asked
    bool saved; // the list is written to the file chosen in the save dialog
};
void PrintTo(const SignalCase& c, std::ostream* os)
{
    *os << c.name;
}
class EndSignal : public ProgramProcess, public ::testing::WithParamInterface<SignalCase> { };

// SIGTERM (a logout, a shutdown), SIGINT (Ctrl+C) and SIGHUP (the terminal closed) are the close button:
// the program asks about a changed list and, when it ends, ends as File > Exit does, its settings written.
TEST_P(EndSignal, IsTakenAsTheCloseButton)
{
    const SignalCase& c = GetParam();
    QStringList script = c.script;
    script.replaceInStrings("SAVED", Path("saved.bnx"));
    script << "touch " + Path("ready");
    if (c.sent == 2)
        script << "await " + Path("sent") << "report"
               << "touch " + Path("stayed");
    const Run run = Start(script, {}, 15000, [&](QProcess& program) {
        ASSERT_TRUE(WaitForFile(program, Path("ready")));
        ::kill(static_cast<pid_t>(program.processId()), c.signal);
        if (c.sent == 1) return;
        WriteFile(Path("sent"), "");
        ASSERT_TRUE(WaitForFile(program, Path("stayed"))) << "the program ended at the first signal";
        ::kill(static_cast<pid_t>(program.processId()), c.signal);
    });
    ASSERT_TRUE(run.ended) << "the program is still running after the signal";
    EXPECT_FALSE(run.crashed) << "the signal killed the program";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.CountAsked(Quit), c.questions) << run.log.join('\n').toStdString();
    if (c.sent == 2) {
        EXPECT_EQ(run.Value("visible"), "1");
        EXPECT_EQ(run.Value("modified"), "1");
    }
    EXPECT_EQ(QFile::exists(Path("saved.bnx")), c.saved);
    QStringList keys = StoredKeys();
    keys.sort();
    QStringList expected = allNames;
    expected.sort();
    EXPECT_EQ(keys, expected);
}

INSTANTIATE_TEST_SUITE_P(Signals, EndSignal,
    ::testing::Values(SignalCase { "TermUnchanged", SIGTERM, {}, 1, 0, false },
        SignalCase { "IntUnchanged", SIGINT, {}, 1, 0, false },
        SignalCase { "HupUnchanged", SIGHUP, {}, 1, 0, false },
        SignalCase { "TermChangedYes", SIGTERM, { "answer yes", MakeChange }, 1, 1, false },
        SignalCase { "TermChangedNoSaves", SIGTERM, { "answer no", "file SAVED", MakeChange }, 1, 1, true },
        // Escape on the question keeps the program; the next signal asks again.
        SignalCase {
            "TermChangedEscapeThenYes", SIGTERM, { "answer cancel", "answer yes", MakeChange }, 2, 2, false },
        SignalCase { "HupChangedYes", SIGHUP, { "answer yes", MakeChange }, 1, 1, false }),
    [](const auto& info) { return std::string(info.param.name); });

// A save that fails keeps the program open too, and the list is not lost.
TEST_F(ProgramTest, FailedSaveKeepsTheProgramOpen)
{
    QDir().mkpath(Path("blocked"));
    WriteFile(Path("blocked/saved.bnx/keep"), "a folder stands where the file would go");
    const Run run = Start({ "answer no", "answer ok", "answer yes", "file " + Path("blocked/saved.bnx"),
        MakeChange, "menu File/Exit", Settle, "report", "menu File/Exit" });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.Asked().size(), 3) << run.Asked().join('\n').toStdString();
    EXPECT_EQ(run.Asked()[0].section(' ', 1), Quit);
    EXPECT_TRUE(run.Asked()[1].contains("Cannot save the file saved.bnx")) << run.Asked()[1].toStdString();
    EXPECT_EQ(run.Asked()[2].section(' ', 1), Quit);
    EXPECT_EQ(run.Value("visible"), "1");
    EXPECT_EQ(run.Value("modified"), "1");
}

// --- what the next start finds

TEST_F(ProgramTest, NextStartRestoresWhatTheLastOneLeft)
{
    WriteIni("[Display]\nWidePlacement=200\nHeightPlacement=150\nWindowWide=900\nWindowHeight=650\n"
             "FontFaceName=5\nRValueFond%20=200\nBlend=150\nTexture=2\n"
             "[BoardsPlacement]\nlayerboardLeft=40\nlayerboardTop=30\nlayerboardRight=400\n"
             "layerboard%20Bottom=390\nTailleFonte=40\nToolBarLeft=480\nToolBarRight=640\nToolBarTop=30\n"
             "ToolBarBottom=350\nTextPlacementLeft=20\nTextPlacementRight=700\nTextPlacementTop=390\n"
             "TextPlacementBottom=430\n"
             "[PrintPreferences]\nLang=Deutsch BSLTD\nLangindex=16\n[FTPPreferences]\nFileFormat=360\n");
    const Run first = Start({ "report", "menu File/Exit" });
    ASSERT_TRUE(first.ended);
    EXPECT_EQ(first.Rect("window").topLeft(), QPoint(200, 150));
    EXPECT_EQ(first.Rect("client").size(), QSize(900, 650));
    EXPECT_EQ(first.Value("board"), "40 30 400 390");
    EXPECT_EQ(first.Value("square"), "40");
    EXPECT_EQ(first.Value("texture"), "2");
    const QMap<QString, QVariant> expected = { { "Display/WidePlacement", 200 },
        { "Display/HeightPlacement", 150 }, { "Display/WindowWide", 900 }, { "Display/WindowHeight", 650 },
        { "Display/FontFaceName", 5 }, { "Display/RValueFond ", 200 }, { "Display/Blend", 150 },
        { "Display/Texture", 2 }, { "BoardsPlacement/layerboard Bottom", 390 },
        { "BoardsPlacement/TailleFonte", 40 }, { "BoardsPlacement/ToolBarRight", 640 },
        { "BoardsPlacement/TextPlacementBottom", 430 }, { "PrintPreferences/Lang", "Deutsch BSLTD" },
        { "PrintPreferences/Langindex", 16 }, { "FTPPreferences/FileFormat", 360 } };
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(Stored(it.key()).toString(), it.value().toString()) << it.key().toStdString();
    // A second run changes nothing of it.
    const Run second = Start({ "menu File/Exit" });
    ASSERT_TRUE(second.ended);
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(Stored(it.key()).toString(), it.value().toString()) << it.key().toStdString();
}

// Left in the semi-transparent mode, the program keeps the texture the user had chosen: the next start
// is transparent without texture, and leaving that mode brings the texture back.
TEST_F(ProgramTest, TransparentModeKeepsTheChosenTexture)
{
    const Run first = Start({ "menu View/Background textures/Chalk", "menu View/Transparent window Mode",
        "report", "menu File/Exit" });
    ASSERT_TRUE(first.ended);
    EXPECT_EQ(first.Value("texture"), "0");
    EXPECT_EQ(Stored("Display/TransparentWindowsFlag").toInt(), 1);
    EXPECT_EQ(Stored("Display/Texture").toInt(), 3);

    const Run second = Start({ "report", "menu View/Transparent window Mode", "report", "menu File/Exit" });
    ASSERT_TRUE(second.ended);
    const QStringList textures = second.Lines("texture"), transparent = second.Lines("transparent");
    EXPECT_EQ(textures, (QStringList { "0", "3" }));
    EXPECT_EQ(transparent, (QStringList { "1", "0" }));
    EXPECT_EQ(Stored("Display/Texture").toInt(), 3);
    EXPECT_EQ(Stored("Display/TransparentWindowsFlag").toInt(), 0);
}

// --- settings that cannot be used as they are

struct StoredSettingsCase {
    const char* name;
    QByteArray ini;
    QRect screen; // the screen the window is shown on
    const char* board; // the board rectangle used, left top right bottom
    int square;
    int fileFormat; // stored at the end
    QSize size; // the window's size, when the case is about it
};
void PrintTo(const StoredSettingsCase& c, std::ostream* os)
{
    *os << c.name;
}
class StoredSettings : public ProgramProcess, public ::testing::WithParamInterface<StoredSettingsCase> { };

const QRect primary(0, 0, 1920, 1080), secondary(1920, 0, 1280, 1024);
const char* defaultBoard = "115 54 574 513";

// Whatever the settings file holds, the window is on a screen, the board is in the window and the
// values are ones the program can work with.
TEST_P(StoredSettings, WindowOnScreenBoardInsideValuesBounded)
{
    const StoredSettingsCase& c = GetParam();
    WriteIni(c.ini);
    const Run run = Start({ "report", "menu File/Exit" });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Value("visible"), "1");
    const QRect window = run.Rect("window");
    EXPECT_EQ(run.Rect("screen"), c.screen);
    EXPECT_TRUE(c.screen.contains(window)) << run.Value("window").toStdString();
    EXPECT_GE(window.width(), 400);
    EXPECT_GE(window.height(), 300);
    if (!c.size.isEmpty()) {
        EXPECT_EQ(run.Rect("client").size(), c.size);
    }

    EXPECT_EQ(run.Value("board").toStdString(), c.board);
    EXPECT_EQ(run.Value("square").toInt(), c.square);
    const QStringList b = run.Value("board").split(' ');
    const QRect view = run.Rect("view");
    const int sq = c.square, left = b[0].toInt(), top = b[1].toInt();
    EXPECT_GE(left + sq, 0);
    EXPECT_LE(left + 2 * sq, view.width());
    EXPECT_GE(top, 0);
    EXPECT_LE(top + sq, view.height());
    EXPECT_EQ(Stored("FTPPreferences/FileFormat").toInt(), c.fileFormat);
    EXPECT_EQ(Stored("BoardsPlacement/TailleFonte").toInt(), c.square);
    const QStringList keys = StoredKeys();
    for (const QString& name : allNames) EXPECT_TRUE(keys.contains(name)) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, StoredSettings,
    ::testing::Values(
        StoredSettingsCase { "FarLeftAndUp", "[Display]\nWidePlacement=-5000\nHeightPlacement=-5000\n",
            primary, defaultBoard, 51, 450, QSize(1220, 790) },
        StoredSettingsCase { "BeyondEveryScreen", "[Display]\nWidePlacement=90000\nHeightPlacement=50\n",
            primary, defaultBoard, 51, 450, QSize(1220, 790) },
        StoredSettingsCase { "OnTheSecondScreen",
            "[Display]\nWidePlacement=2500\nHeightPlacement=100\nWindowWide=1000\nWindowHeight=700\n",
            secondary, defaultBoard, 51, 450, QSize(1000, 700) },
        StoredSettingsCase { "HugeWindow", "[Display]\nWindowWide=2147483647\nWindowHeight=2147483647\n",
            primary, defaultBoard, 51, 450, {} },
        StoredSettingsCase {
            "TinyWindow", "[Display]\nWindowWide=3\nWindowHeight=-20\n", primary, defaultBoard, 51, 450, {} },
        StoredSettingsCase { "BoardFarLeft", "[BoardsPlacement]\nlayerboardLeft=-100000\n", primary,
            defaultBoard, 51, 450, {} },
        StoredSettingsCase { "BoardBelowTheWindow",
            "[BoardsPlacement]\nlayerboardTop=5000\nlayerboard%20Bottom=5459\n", primary, defaultBoard, 51,
            450, {} },
        StoredSettingsCase { "PaletteUpsideDown", "[BoardsPlacement]\nToolBarTop=900\nToolBarBottom=100\n",
            primary, defaultBoard, 51, 450, {} },
        StoredSettingsCase { "HugeSquares", "[BoardsPlacement]\nTailleFonte=2147483647\n", primary,
            defaultBoard, 51, 450, {} },
        StoredSettingsCase { "LargestSquares",
            "[BoardsPlacement]\nTailleFonte=400\nlayerboardLeft=0\nlayerboardTop=0\nlayerboardRight=3600\n"
            "layerboard%20Bottom=3600\n",
            primary, "0 0 3600 3600", 400, 450, {} },
        StoredSettingsCase { "BoardMovedAndSized",
            "[BoardsPlacement]\nTailleFonte=30\nlayerboardLeft=-30\nlayerboardTop=10\nlayerboardRight=240\n"
            "layerboard%20Bottom=280\n",
            primary, "-30 10 240 280", 30, 450, {} },
        StoredSettingsCase { "NotNumbers",
            "[BoardsPlacement]\nTailleFonte=abc\nlayerboardLeft=\x01\x02\n[Display]\nWidePlacement=@Invalid()"
            "\n"
            "WindowWide=12x\n",
            primary, defaultBoard, 51, 450, {} },
        StoredSettingsCase { "Garbage", QByteArray("\xff\xfe[[[\n=\n\0\0junk\n[Display\nBlend\n", 30),
            primary, defaultBoard, 51, 450, QSize(1220, 790) },
        StoredSettingsCase { "SmallestPictureWithoutCoordinates",
            "[PrintPreferences]\nPNGSaveCoords=0\n[FTPPreferences]\nFileFormat=85\n", primary, defaultBoard,
            51, 85, {} },
        StoredSettingsCase { "TooSmallPictureWithCoordinates", "[FTPPreferences]\nFileFormat=85\n", primary,
            defaultBoard, 51, 450, {} },
        StoredSettingsCase {
            "LargestPicture", "[FTPPreferences]\nFileFormat=3608\n", primary, defaultBoard, 51, 3608, {} },
        StoredSettingsCase {
            "TooLargePicture", "[FTPPreferences]\nFileFormat=999999\n", primary, defaultBoard, 51, 450, {} }),
    [](const auto& info) { return std::string(info.param.name); });

// --- settings that cannot be written

struct UnwritableCase {
    const char* name;
    const char*
        blocker; // made at the settings' place: a file where the folder is, a folder where the file is
    const char* reason;
};
void PrintTo(const UnwritableCase& c, std::ostream* os)
{
    *os << c.name;
}
class UnwritableSettings : public ProgramProcess, public ::testing::WithParamInterface<UnwritableCase> { };

TEST_P(UnwritableSettings, UserIsToldOnceAndTheProgramStillEnds)
{
    const UnwritableCase& c = GetParam();
    WriteFile(Path(c.blocker), "in the way");
    const Run run = Start({ "answer ok", "menu File/Exit" });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.Asked().size(), 1) << run.Asked().join('\n').toStdString();
    const QString message = run.Asked()[0];
    EXPECT_TRUE(message.startsWith("10 The settings could not be written to " + IniPath() + ":\\n"))
        << message.toStdString();
    EXPECT_TRUE(message.contains(c.reason)) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Blockers, UnwritableSettings,
    ::testing::Values(UnwritableCase { "FileForTheFolder", "config/Oskeld free chess software",
                          "Oskeld free chess software is a file where a folder is needed" },
        UnwritableCase {
            "FolderForTheFile", "config/Oskeld free chess software/Brennix.ini/x", "Is a directory" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramTest, ReadOnlySettingsFileIsReported)
{
    ASSERT_TRUE(AsOrdinaryUser()) << "no ordinary user to run the program as";
    WriteIni("[Display]\nBlend=200\n");
    QFile::setPermissions(IniPath(), QFile::ReadOwner);
    const Run run = Start({ "answer ok", "menu File/Exit" });
    QFile::setPermissions(IniPath(), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.Asked().size(), 1);
    EXPECT_TRUE(run.Asked()[0].contains("Permission denied")) << run.Asked()[0].toStdString();
}

// --- a file named on the command line

struct CommandLineCase {
    const char* name;
    const char* file; // in the test's folder
    QByteArray content; // empty: the file does not exist
    QStringList script;
    const char* title;
    int diagrams;
    QStringList asked; // texts the boxes showed, in order
    int dialogs; // error lists shown
};
void PrintTo(const CommandLineCase& c, std::ostream* os)
{
    *os << c.name;
}
class CommandLineFile : public ProgramProcess, public ::testing::WithParamInterface<CommandLineCase> { };

const QByteArray goodFen = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1\n"
                           "4k3/8/8/8/8/8/8/4K3 w - - 0 1\n"
                           "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 20\n";
const QByteArray faultyFen = "4k3/8/8/8/8/8/8/4K3 w - - 0 1\n"
                             "4k3/8/8/8/8/8/8 w - - 0 1\n"
                             "kk6/8/8/8/8/8/8/4K3 w - - 0 1\n"
                             "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 20\n";

// The file is opened as File > Open opens it: its diagrams, its name in the title, the errors of Open.
TEST_P(CommandLineFile, OpensLikeFileOpen)
{
    const CommandLineCase& c = GetParam();
    if (!c.content.isEmpty()) WriteFile(Path(c.file), c.content);
    QStringList script = c.script;
    script << "report"
           << "menu File/Exit";
    const Run run = Start(script, { Path(c.file) });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Value("title").toStdString(), c.title);
    EXPECT_EQ(run.Value("diagrams").toInt(), c.diagrams);
    QStringList asked;
    for (const QString& a : run.Asked()) asked << a.section(' ', 1);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(run.Lines("dialog").size(), c.dialogs);
    if (!c.content.isEmpty()) {
        EXPECT_EQ(ReadFile(Path(c.file)), c.content) << "the file is left as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, CommandLineFile,
    ::testing::Values(
        CommandLineCase { "GoodFen", "list.fen", goodFen, {}, "list.fen - Brennix 4.3", 3, {}, 0 },
        CommandLineCase { "GoodText", "list.txt", "4k3/8/8/8/8/8/8/4K3 w - -\n8/8/8/8/8/8/k7/2K5 w - -\n", {},
            "list.txt - Brennix 4.3", 2, {}, 0 },
        CommandLineCase { "Missing", "missing.bnx", {}, { "answer ok" }, "No Name - Brennix 4.3", 1,
            { "Cannot open the file missing.bnx:\\nNo such file or directory" }, 0 },
        // The error list is shown; without correcting, the good positions are kept.
        CommandLineCase { "FaultyLines", "faulty.fen", faultyFen, { "dialog cancel" },
            "faulty.fen - Brennix 4.3", 2, {}, 1 }),
    [](const auto& info) { return std::string(info.param.name); });

// A good BNX list: every diagram is read, and the next Save writes them all back, not an empty list.
TEST_F(ProgramTest, CommandLineBnxListIsTheOneSaved)
{
    QFile::copy(QString(BRENNIX_TEST_DATA) + "/files/save.bnx", Path("list.bnx"));
    QFile::setPermissions(Path("list.bnx"), QFile::ReadOwner | QFile::WriteOwner);
    const Run first = Start({ "report", "menu File/Save", "menu File/Exit" }, { Path("list.bnx") });
    ASSERT_TRUE(first.ended);
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.Value("title"), "list.bnx - Brennix 4.3");
    EXPECT_EQ(first.Value("file"), Path("list.bnx"));
    EXPECT_TRUE(first.Asked().isEmpty()) << first.Asked().join('\n').toStdString();
    const int diagrams = first.Value("diagrams").toInt();
    EXPECT_GE(diagrams, 2);
    // Named as a file manager started in its folder would: the list keeps its whole path.
    const Run second = Start({ "report", "menu File/Exit" }, { "list.bnx" });
    ASSERT_TRUE(second.ended);
    EXPECT_EQ(second.Value("diagrams").toInt(), diagrams);
    EXPECT_EQ(second.Value("file"), Path("list.bnx"));
}

// A list read with faulty lines left out is not written over its file without asking.
TEST_F(ProgramTest, CommandLineFaultyFileIsNotOverwrittenWithoutAsking)
{
    WriteFile(Path("faulty.fen"), faultyFen);
    const Run run = Start({ "dialog cancel", "answer no", "answer no", "answer yes", MakeChange,
                              "menu File/Exit", Settle, "report", "menu File/Exit" },
        { Path("faulty.fen") });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    QStringList asked;
    for (const QString& a : run.Asked()) asked << a.section(' ', 1);
    ASSERT_EQ(asked.size(), 3) << asked.join('\n').toStdString();
    EXPECT_EQ(asked[0], Quit);
    EXPECT_TRUE(asked[1].startsWith("Some positions of faulty.fen could not be loaded"))
        << asked[1].toStdString();
    EXPECT_EQ(asked[2], Quit);
    EXPECT_EQ(run.Value("visible"), "1");
    EXPECT_EQ(ReadFile(Path("faulty.fen")), faultyFen);
}

} // namespace
