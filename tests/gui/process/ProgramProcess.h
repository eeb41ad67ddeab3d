#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utility>

// The built program run as a user runs it: its own process and event loop, a settings folder of its
// own, two screens side by side (1920x1080 primary, 1280x1024 right of it), and a script of what the
// user does (see app/TestScript.h). What it leaves behind is read back after it ends.
class ProgramProcess : public ::testing::Test {
protected:
    struct Run {
        bool ended = false; // within the time allowed
        int exitCode = -1;
        bool crashed = false; // ended by a signal
        QStringList log;
        // The lines of the log that start with `word` and a blank, without it.
        QStringList Lines(const QString& word) const
        {
            QStringList out;
            for (const QString& line : log)
                if (line.startsWith(word + ' ')) out << line.mid(word.size() + 1);
            return out;
        }
        // The values of the last report.
        QString Value(const QString& key) const
        {
            const QStringList values = Lines(key);
            return values.isEmpty() ? QString() : values.back();
        }
        QRect Rect(const QString& key) const
        {
            const QStringList n = Value(key).split(' ');
            return n.size() == 4 ? QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt()) : QRect();
        }
        // The message boxes asked, in order (their style, a blank, the text with "\n" for line breaks).
        QStringList Asked() const { return Lines("asked"); }
        int CountAsked(const QString& text) const
        {
            int n = 0;
            for (const QString& a : Asked())
                if (a.section(' ', 1) == text) ++n;
            return n;
        }
    };

    QString Path(const QString& name) const { return home.filePath(name); }
    QString IniPath() const { return Path("config/Oskeld free chess software/Brennix.ini"); }

    void WriteFile(const QString& path, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(bytes);
    }
    QByteArray ReadFile(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteIni(const QByteArray& text) const { WriteFile(IniPath(), text); }

    // The settings the program left, read back as the program reads them.
    QVariant Stored(const QString& key) const
    {
        QSettings ini(IniPath(), QSettings::IniFormat);
        return ini.value(key);
    }
    QStringList StoredKeys() const
    {
        QSettings ini(IniPath(), QSettings::IniFormat);
        return ini.allKeys();
    }

    // Something done to the running program from outside: given its process, it returns when done.
    using Outside = std::function<void(QProcess&)>;

    // Waits until the program has made the file (a "touch" step), or has ended; false when it ended first
    // or took too long.
    bool WaitForFile(QProcess& program, const QString& path, int allowedMs = 15000) const
    {
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists(path)) {
            if (program.state() == QProcess::NotRunning || clock.elapsed() > allowedMs) return false;
            program.waitForFinished(20);
        }
        return true;
    }

    // From now on the program meets file permissions as an ordinary user does. The superuser, who may
    // write any file, runs it without that power (the capabilities that override file permissions are
    // dropped): it stays the owner of the test's files and of the build tree, wherever that is. False
    // when that cannot be done here.
    bool AsOrdinaryUser()
    {
        if (::geteuid() != 0) return true;
        QProcess probe;
        probe.start(PowerlessLauncher().front(), PowerlessLauncher().mid(1) + QStringList { "true" });
        if (!probe.waitForFinished(5000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
            return false;
        withoutPowerOverFiles = true;
        return true;
    }
    static QStringList PowerlessLauncher()
    {
        return { "setpriv", "--bounding-set", "-dac_override,-dac_read_search", "--" };
    }

    // Starts the program with the script (one step a line) and the arguments, and waits for its end;
    // `outside` runs meanwhile.
    Run Start(const QStringList& script, const QStringList& arguments = {}, int allowedMs = 15000,
        const Outside& outside = {}) const
    {
        static int runs = 0;
        const QString scriptPath = Path(QString("script%1").arg(++runs));
        const QString logPath = scriptPath + ".log";
        QFile::remove(logPath);
        WriteFile(scriptPath, (script.join('\n') + '\n').toUtf8());
        WriteFile(Path("screens.json"), screens);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + Path("screens.json"));
        env.insert("XDG_CONFIG_HOME", Path("config"));
        env.insert("XDG_DATA_HOME", Path("data"));
        env.insert("XDG_RUNTIME_DIR", Path("run"));
        QDir().mkpath(Path("run"));
        QFile::setPermissions(Path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("BRENNIX_TEST_SCRIPT", scriptPath);
        env.insert("BRENNIX_TEST_LOG", logPath);
        for (const QString& variable : environment)
            env.insert(variable.section('=', 0, 0), variable.section('=', 1));

        QProcess program;
        program.setProcessEnvironment(env);
        // Started as from a terminal: the end signals do what they do by default until the program
        // takes them, whatever this test runner ignores.
        program.setChildProcessModifier([] {
            for (int end : { SIGTERM, SIGINT, SIGHUP }) ::signal(end, SIG_DFL);
        });
        program.setWorkingDirectory(home.path());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.setStandardOutputFile(QProcess::nullDevice());
        const QStringList through = (withoutPowerOverFiles ? PowerlessLauncher() : QStringList {}) + launcher;
        if (through.isEmpty())
            program.start(executable, arguments);
        else
            program.start(through.front(), through.mid(1) + QStringList { executable } + arguments);
        Run run;
        if (!program.waitForStarted(5000)) return run;
        if (outside) outside(program);
        run.ended = program.waitForFinished(allowedMs);
        if (!run.ended) {
            program.kill();
            program.waitForFinished(2000);
        } else if (program.exitStatus() == QProcess::NormalExit) {
            run.exitCode = program.exitCode();
        } else {
            run.crashed = true;
        }
        run.log = QString::fromUtf8(ReadFile(logPath)).split('\n', Qt::SkipEmptyParts);
        return run;
    }

    QTemporaryDir home;
    // A command the program is started through, with its arguments (empty: started directly).
    QStringList launcher;
    // The screens of the offscreen platform, as its configuration file gives them.
    QByteArray screens = R"({"screens": [
            {"name": "left", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "right", "x": 1920, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    // Variables added to the program's environment ("NAME=value").
    QStringList environment;
    // The program started: the one built, unless a test installed it elsewhere.
    QString executable = BRENNIX_EXECUTABLE;
    bool withoutPowerOverFiles = false;
};
