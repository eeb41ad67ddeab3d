// Settings that cannot be written at exit: the user is told why, in the system's words, and only when
// something had to be written.
#include "ProgramProcess.h"

#include <QDirIterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Exit = "menu File/Exit";
const QString Transparent = "menu View/Transparent window Mode";
class SettingsWriting : public ProgramProcess {
protected:
    static bool Runs(const QString& program, const QStringList& arguments)
    {
        QProcess probe;
        probe.start(program, arguments);
        return probe.waitForFinished(5000) && probe.exitStatus() == QProcess::NormalExit
            && probe.exitCode() == 0;
    }
    // The reason the single error box of the run gave for the settings it could not write, or what was
    // asked instead.
    QString ReasonShown(const Run& run) const
    {
        const QString head = "10 The settings could not be written to " + IniPath() + ":\\n";
        if (run.Asked().size() != 1 || !run.Asked().front().startsWith(head))
            return "asked: " + run.Asked().join(" | ");
        return run.Asked().front().mid(head.size()).section("\\n", 0, 0);
    }
};

TEST_F(SettingsWriting, UnchangedReadOnlyFileAsksNothingChangedOneSaysPermissionDenied)
{
    ASSERT_TRUE(AsOrdinaryUser()) << "the program cannot be run without the superuser's power over files";
    const Run first = Start({ Exit });
    ASSERT_TRUE(first.ended);
    ASSERT_TRUE(first.Asked().isEmpty()) << first.Asked().join('\n').toStdString();
    ASSERT_EQ(StoredKeys().size(), 42);
    const QByteArray written = ReadFile(IniPath());
    ASSERT_TRUE(QFile::setPermissions(IniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    // A session that changes nothing has nothing to write, at every exit.
    for (int run = 0; run < 2; ++run) {
        const Run same = Start({ "answer ok", Exit });
        ASSERT_TRUE(same.ended);
        EXPECT_EQ(same.exitCode, 0);
        EXPECT_TRUE(same.Asked().isEmpty()) << same.Asked().join('\n').toStdString();
    }
    EXPECT_EQ(ReadFile(IniPath()), written);

    // One that changes a setting is told that its changes are lost, and why.
    const Run changed = Start({ "answer ok", Transparent, Exit });
    ASSERT_TRUE(changed.ended);
    EXPECT_EQ(changed.exitCode, 0);
    EXPECT_EQ(ReasonShown(changed), "Permission denied");
    EXPECT_EQ(ReadFile(IniPath()), written);
}

TEST_F(SettingsWriting, ReadOnlyConfigFolderIsNamedAsSuch)
{
    ASSERT_TRUE(AsOrdinaryUser()) << "the program cannot be run without the superuser's power over files";
    ASSERT_TRUE(QDir().mkpath(Path("config")));
    ASSERT_TRUE(QFile::setPermissions(Path("config"), QFile::ReadOwner | QFile::ExeOwner));
    const Run run = Start({ "answer ok", Exit });
    QFile::setPermissions(Path("config"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReasonShown(run), "Permission denied");
}

// The settings' folder on a file system of its own that is full: a small memory file system, mounted
// where only the program sees it.
TEST_F(SettingsWriting, FullDiskIsNamedAsSuch)
{
    QStringList unshare = { "--mount", "--propagation", "private" };
    if (::geteuid() != 0) unshare = QStringList { "--user", "--map-root-user" } + unshare;
    if (!Runs("unshare", unshare + QStringList { "sh", "-c", "mount -t tmpfs -o size=64k tmpfs /mnt" }))
        GTEST_SKIP() << "no private file system can be mounted here";
    const QString folder = QFileInfo(IniPath()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteFile(Path("seed.ini"), "[Display]\nBlend=200\n");
    // The settings file as a former session left it; the rest of the space is taken.
    const QString fill = R"(mount -t tmpfs -o size=64k tmpfs "$1" && cp "$2" "$1/Brennix.ini" && )"
                         R"({ head -c 1048576 /dev/zero > "$1/filler" 2>/dev/null; shift 2; exec "$@"; })";
    launcher = QStringList { "unshare" } + unshare
        + QStringList { "sh", "-c", fill, "sh", folder, Path("seed.ini") };
    const Run run = Start({ "answer ok", Exit });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReasonShown(run), "No space left on device");
}

} // namespace
