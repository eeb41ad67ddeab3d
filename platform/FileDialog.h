#pragma once

#include <QStringList>
#include <string>
#include <vector>

class QWidget;

// The program's open and save dialogs. The filter is given the way the string table holds it:
// "Description|pattern|Description|pattern||". Paths are the file system's own bytes.
struct FileDialogRequest {
    bool open = true;
    std::string defaultExtension; // added to a name typed without extension
    std::string initialName; // "*.bnx" shows the kind first; a plain name preselects that file
    std::string filter;
    std::string folder; // where the dialog starts; empty for the current folder
};

// Returns false when the user cancels; otherwise `path` holds the chosen file.
bool AfxFileDialog(QWidget* parent, const FileDialogRequest& request, std::string& path);
// The same, also telling which of the filter's kinds was chosen (0 for the first).
bool AfxFileDialog(QWidget* parent, const FileDialogRequest& request, std::string& path, int& filterIndex);

// The filter as Qt's file dialog takes it: "Brennix Files (*.bnx)", "All Files (*)".
QStringList QtFileFilters(const std::string& filter);

// The extension a name typed without one gets when `filter` (Qt's form, "PGN Files (*.pgn)") is the kind
// chosen: its first pattern's, or `fallback` when that names no single extension ("*", "*.*").
QString FilterSuffix(const QString& filter, const QString& fallback);

// Why the file at `path` cannot be read as a list of positions though it exists (a folder, a named pipe,
// a device, a socket), as a message; empty for a regular file, or for a path that names nothing.
std::string NotARegularFile(const std::string& path);

// The extension of a path's file name, after its last dot, lower-cased ("" without one).
std::string FileExtension(const std::string& path);
// The file name of a path, without its folder.
std::string FileNameOf(const std::string& path);
// The file name of a path as a Windows-1252 text, for titles and messages.
std::string DisplayFileName(const std::string& path);

// While a FileDialogScript exists, every dialog is answered from it instead of being shown: the next
// queued path, or a cancel when the queue is empty or holds an empty path. Each request is kept.
class FileDialogScript {
public:
    FileDialogScript();
    ~FileDialogScript();
    FileDialogScript(const FileDialogScript&) = delete;
    FileDialogScript& operator=(const FileDialogScript&) = delete;
    // filter: the kind the user picks in the dialog, 0 for the first.
    void Answer(const std::string& path, int filter = 0)
    {
        answers.push_back(path);
        filters.resize(answers.size() - 1);
        filters.push_back(filter);
    }
    void Cancel() { answers.emplace_back(); }
    std::vector<FileDialogRequest> asked;
    std::vector<std::string> answers;
    std::vector<int> filters; // beside answers; missing entries are 0
    bool Ask(const FileDialogRequest& request, std::string& path, int* filterIndex = nullptr);

private:
    size_t next = 0;
    FileDialogScript* previous = nullptr;
};
