#pragma once

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <string>

// A program with its file dialogs, message boxes and dialogs scripted, and a folder of its own.
class FilesTest : public ProgramTest {
protected:
    std::string Path(const std::string& name) const
    {
        return folder.filePath(QString::fromStdString(name)).toStdString();
    }

    // Copies a fixture of tests/data/files into the folder.
    std::string Fixture(const std::string& name, const std::string& as = {})
    {
        std::string target = Path(as.empty() ? name : as);
        QFile::remove(QString::fromStdString(target));
        QFile::copy(QString::fromStdString(std::string(BRENNIX_TEST_DATA) + "/files/" + name),
            QString::fromStdString(target));
        QFile::setPermissions(QString::fromStdString(target), QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

    static std::string Slurp(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    static void Write(const std::string& path, const std::string& text)
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }

    // Opens a file through File > Open.
    void Open(const std::string& path)
    {
        files.Answer(path);
        View().OnFileOpen();
    }

    std::string Title() { return Frame().windowTitle().toStdString(); }

    QTemporaryDir folder;
    FileDialogScript files;
    MessageBoxScript boxes;
    DialogScript dialogs;
};
