// The command line as file managers and users write it: several files, addresses, things that are no
// files, options and their end.
#include "ProgramProcess.h"

#include <QUrl>
#include <sys/stat.h>

namespace {

const QByteArray twoPositions = "4k3/8/8/8/8/8/8/4K3 w - - 0 1\n8/8/8/8/8/8/k7/2K5 w - - 0 1\n";
const QByteArray threePositions = twoPositions + "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 20\n";

struct ArgumentsCase {
    const char* name;
    // Arguments; "HOME/" stands for the test's folder, "URL:name" for the file:// address of a file there.
    QStringList arguments;
    const char* title;
    int diagrams;
    QStringList asked; // style (hex) and text of each message, "HOME/" for the folder
};
void PrintTo(const ArgumentsCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandLineArguments : public ProgramProcess, public ::testing::WithParamInterface<ArgumentsCase> {
protected:
    void SetUp() override
    {
        WriteFile(Path("a.fen"), twoPositions);
        WriteFile(Path("b.fen"), threePositions);
        WriteFile(Path("my list #1.fen"), threePositions);
        WriteFile(Path("-odd.fen"), twoPositions);
        ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe.fen")).constData(), 0600), 0);
        ASSERT_TRUE(QDir().mkpath(Path("folder.bnx")));
    }
    QString Expand(QString text) const
    {
        if (text.startsWith("URL:"))
            return QUrl::fromLocalFile(Path(text.mid(4))).toString(QUrl::FullyEncoded);
        return text.replace("HOME/", home.path() + "/");
    }
};

TEST_P(CommandLineArguments, OpenTheFirstFileAndSayWhatWasNotOpened)
{
    const ArgumentsCase& c = GetParam();
    QStringList arguments;
    for (const QString& a : c.arguments) arguments << Expand(a);
    const Run run = Start({ "answer ok", "answer ok", "report", "menu File/Exit" }, arguments);
    ASSERT_TRUE(run.ended) << "the program did not end: it hangs on " << arguments.join(' ').toStdString();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Value("title").toStdString(), c.title);
    EXPECT_EQ(run.Value("diagrams").toInt(), c.diagrams);
    QStringList expected;
    for (const QString& a : c.asked) expected << Expand(a);
    EXPECT_EQ(run.Asked().join("\n").toStdString(), expected.join("\n").toStdString());
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLineArguments,
    ::testing::Values(ArgumentsCase { "SeveralFiles", { "HOME/a.fen", "HOME/b.fen", "URL:my list #1.fen" },
                          "a.fen - Brennix 4.3", 2,
                          { "40 Brennix opens one list at a time, the first one named: a.fen. These were not "
                            "opened:\\nb.fen\\n"
                            "my list #1.fen" } },
        ArgumentsCase { "FileAddress", { "URL:my list #1.fen" }, "my list #1.fen - Brennix 4.3", 3, {} },
        ArgumentsCase { "FileAddressOfLocalhost",
            { "file://localhost" + QUrl::toPercentEncoding("HOME/b.fen", "/") }, "b.fen - Brennix 4.3", 3,
            {} },
        ArgumentsCase { "FileAddressOfAnotherComputer", { "file://elsewhere.example.org/lists/a.fen" },
            "No Name - Brennix 4.3", 1,
            { "10 file://elsewhere.example.org/lists/a.fen cannot be opened: Brennix opens files of this "
              "computer "
              "only." } },
        ArgumentsCase { "WebAddress", { "https://example.org/a.bnx", "HOME/a.fen" }, "No Name - Brennix 4.3",
            1,
            { "10 https://example.org/a.bnx cannot be opened: Brennix opens files of this computer only.",
                "40 Brennix opens one list at a time, the first one named: https://example.org/a.bnx. These "
                "were "
                "not opened:\\na.fen" } },
        ArgumentsCase { "NamedPipe", { "HOME/pipe.fen" }, "No Name - Brennix 4.3", 1,
            { "10 pipe.fen cannot be opened: it is a named pipe, not a file of positions." } },
        ArgumentsCase { "Device", { "/dev/zero" }, "No Name - Brennix 4.3", 1,
            { "10 zero cannot be opened: it is a device, not a file of positions." } },
        ArgumentsCase { "Folder", { "HOME/folder.bnx" }, "No Name - Brennix 4.3", 1,
            { "10 folder.bnx cannot be opened: it is a folder, not a file of positions." } },
        ArgumentsCase { "DashesEndTheOptions", { "--", "HOME/-odd.fen" }, "-odd.fen - Brennix 4.3", 2, {} },
        ArgumentsCase { "FileNamedLikeAnOption", { "--", "-odd.fen" }, "-odd.fen - Brennix 4.3", 2, {} },
        ArgumentsCase {
            "UnknownOptionIsLeftOut", { "--frobnicate", "HOME/b.fen" }, "b.fen - Brennix 4.3", 3, {} }),
    [](const auto& info) { return std::string(info.param.name); });

// The usage text and the version are written to the terminal, with no window and no display needed.
TEST_F(ProgramProcess, HelpAndVersionNeedNoDisplay)
{
    for (const auto& [option, expected] : { std::pair { "--help", "Usage: brennix [OPTION]... [FILE]" },
             std::pair { "--version", "Brennix 4.3" } }) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        program.setProcessEnvironment(env);
        program.start(BRENNIX_EXECUTABLE, { option });
        ASSERT_TRUE(program.waitForFinished(10000)) << option;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << option;
        EXPECT_EQ(program.exitCode(), 0) << option;
        EXPECT_TRUE(program.readAllStandardOutput().startsWith(expected)) << option;
    }
}

} // namespace
