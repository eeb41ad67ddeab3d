// The program installed as a desktop program: `cmake --install` puts it, its icon, its desktop entry and
// the file type of its lists in place, and a file manager that follows them opens a list with it.
#include "ProgramProcess.h"

#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace {

class InstalledProgram : public ProgramProcess {
protected:
    void SetUp() override
    {
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start("cmake", { "--install", BRENNIX_BUILD_DIR, "--prefix", prefix.path() });
        ASSERT_TRUE(install.waitForFinished(60000));
        output = QString::fromLocal8Bit(install.readAll());
        ASSERT_EQ(install.exitCode(), 0) << output.toStdString();
    }
    QString InPrefix(const QString& name) const { return prefix.filePath(name); }
    QString ReadText(const QString& name) const { return QString::fromUtf8(ReadFile(InPrefix(name))); }
    QTemporaryDir prefix;
    QString output;
};

TEST_F(InstalledProgram, ProgramIconEntryAndFileTypeAreInPlace)
{
    const QFileInfo program(InPrefix("bin/brennix"));
    ASSERT_TRUE(program.isFile() && program.isExecutable());
    QProcess version;
    version.start(program.filePath(), { "--version" });
    ASSERT_TRUE(version.waitForFinished(10000));
    EXPECT_EQ(version.readAllStandardOutput().trimmed(), "Brennix 4.3");

    for (int size : { 16, 32, 48, 256 }) {
        const QImage icon(InPrefix(QString("share/icons/hicolor/%1x%1/apps/brennix.png").arg(size)));
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        int dark = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) dark += qGray(icon.pixel(x, y)) < 128;
        EXPECT_GT(dark, size * size / 20) << "the knight is drawn at " << size;
    }

    // The desktop entry is one the desktop takes.
    const QString entry = InPrefix("share/applications/brennix.desktop");
    ASSERT_TRUE(QFile::exists(entry));
    if (!QStandardPaths::findExecutable("desktop-file-validate").isEmpty()) {
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start("desktop-file-validate", { entry });
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
        EXPECT_TRUE(validate.readAll().trimmed().isEmpty());
    }
    // The databases a file manager reads: .bnx names the list type, and the list type this program.
    EXPECT_TRUE(QFile::exists(InPrefix("share/mime/packages/brennix.xml")));
    EXPECT_TRUE(ReadText("share/mime/globs2")
                    .contains(QRegularExpression(
                        "^\\d+:application/x-brennix-list:\\*\\.bnx$", QRegularExpression::MultilineOption)))
        << ReadText("share/mime/globs2").toStdString();
    EXPECT_TRUE(
        ReadText("share/applications/mimeinfo.cache").contains("application/x-brennix-list=brennix.desktop;"))
        << ReadText("share/applications/mimeinfo.cache").toStdString();
}

// A double click on a list in a file manager: the entry's command with the list's address in place of
// its field code, run from wherever the file manager runs.
TEST_F(InstalledProgram, FileManagerOpensAListThroughTheEntry)
{
    QSettings entry(InPrefix("share/applications/brennix.desktop"), QSettings::IniFormat);
    const QString command = entry.value("Desktop Entry/Exec").toString();
    QStringList words = command.split(' ', Qt::SkipEmptyParts);
    ASSERT_EQ(words.size(), 2) << command.toStdString();
    ASSERT_TRUE(words[1] == "%U" || words[1] == "%u" || words[1] == "%F" || words[1] == "%f")
        << command.toStdString();
    const QString list = Path("lists/my list #2.bnx");
    ASSERT_TRUE(QDir().mkpath(Path("lists")));
    ASSERT_TRUE(QFile::copy(QString(BRENNIX_TEST_DATA) + "/files/save.bnx", list));
    const QString argument = words[1].compare("%u", Qt::CaseInsensitive) == 0
        ? QUrl::fromLocalFile(list).toString(QUrl::FullyEncoded)
        : list;
    // The program is looked up on the path, as the entry names it.
    executable = QStandardPaths::findExecutable(words[0], { InPrefix("bin") });
    ASSERT_EQ(executable, InPrefix("bin/brennix"));
    const Run run = Start({ "report", "menu File/Exit" }, { argument });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Value("title"), "my list #2.bnx - Brennix 4.3");
    EXPECT_EQ(run.Value("file"), list);
    EXPECT_GE(run.Value("diagrams").toInt(), 2);
    EXPECT_TRUE(run.Asked().isEmpty()) << run.Asked().join('\n').toStdString();
}

} // namespace
