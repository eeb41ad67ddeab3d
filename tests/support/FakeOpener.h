#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

// The desktop's opener, replaced by a script of ours for one test: it records the address it is given
// and exits with the status it is told. A held opener waits, after recording the address, until the
// test lets it go, as an opener does while it looks for a program.
class FakeOpener {
public:
    explicit FakeOpener(int status, bool held = false)
    {
        const QString script = dir.path() + "/xdg-open";
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        QString text = QString("#!/bin/sh\nprintf '%s' \"$1\" > '%1/argument'\n").arg(dir.path());
        // A held opener also ends when its folder is gone: it never outlives the test.
        if (held)
            text += QString("while [ ! -e '%1/go' ]; do [ -d '%1' ] || exit 1; sleep 0.02; done\n")
                        .arg(dir.path());
        text += QString("exit %1\n").arg(status);
        f.write(text.toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        oldPath = qgetenv("PATH");
        qputenv("PATH", dir.path().toUtf8() + ":" + oldPath);
    }
    ~FakeOpener()
    {
        Release();
        qputenv("PATH", oldPath);
    }
    FakeOpener(const FakeOpener&) = delete;
    FakeOpener& operator=(const FakeOpener&) = delete;

    QString Argument() const
    {
        QFile f(dir.path() + "/argument");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // Lets a held opener exit.
    void Release()
    {
        QFile go(dir.path() + "/go");
        go.open(QIODevice::WriteOnly);
    }

private:
    QTemporaryDir dir;
    QByteArray oldPath;
};
