#include "FileDialog.h"

#include "Codec.h"

#include <algorithm>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {

FileDialogScript* script = nullptr;

} // namespace

QStringList QtFileFilters(const std::string& filter)
{
    QStringList parts = Codec::ToQt(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty()) break;
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            // Windows' "*.*" also matches names without a dot.
            if (p == "*.*") p = "*";
        }
        if (qsizetype open = description.lastIndexOf('('); open > 0 && description.endsWith(')'))
            description = description.left(open).trimmed();
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

FileDialogScript::FileDialogScript()
    : previous(script)
{
    script = this;
}

FileDialogScript::~FileDialogScript()
{
    if (script == this) script = previous;
}

bool FileDialogScript::Ask(const FileDialogRequest& request, std::string& path, int* filterIndex)
{
    asked.push_back(request);
    if (next >= answers.size()) return false;
    if (filterIndex) *filterIndex = next < filters.size() ? filters[next] : 0;
    path = answers[next++];
    return !path.empty();
}

bool AfxFileDialog(QWidget* parent, const FileDialogRequest& request, std::string& path)
{
    int filterIndex = 0;
    return AfxFileDialog(parent, request, path, filterIndex);
}

bool AfxFileDialog(QWidget* parent, const FileDialogRequest& request, std::string& path, int& filterIndex)
{
    filterIndex = 0;
    if (script) return script->Ask(request, path, &filterIndex);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters = QtFileFilters(request.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.folder.empty()) dialog.setDirectory(QFile::decodeName(request.folder.c_str()));
    // "*.bnx" names a kind, already shown first by the filter; a real name is offered as the file.
    if (!request.initialName.empty() && request.initialName.front() != '*')
        dialog.selectFile(QFile::decodeName(request.initialName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    filterIndex = std::max(0, int(filters.indexOf(dialog.selectedNameFilter())));
    path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
    return true;
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileExtension(const std::string& path)
{
    std::string name = FileNameOf(path);
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

std::string DisplayFileName(const std::string& path)
{
    return Codec::FromQt(QFile::decodeName(FileNameOf(path).c_str()));
}
