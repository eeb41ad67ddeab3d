#include "FileDialog.h"

#include "Codec.h"
#include "MessageBox.h"
#include "Strings.h"
#include "res/StringIds.h"

#include <algorithm>
#include <sys/stat.h>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStringList>
#include <QTreeView>

namespace {

FileDialogScript* script = nullptr;

// The dialog of the program: the extension follows the kind chosen, the columns show what they hold,
// and an open dialog takes regular files only (a pipe or a device would be read for ever).
class ProgramFileDialog : public QFileDialog {
public:
    ProgramFileDialog(QWidget* parent, const FileDialogRequest& request)
        : QFileDialog(parent)
        , fallbackSuffix(QString::fromStdString(request.defaultExtension))
    {
        // The desktop's own dialog would know nothing of the kinds and files the program takes.
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        const QStringList filters = QtFileFilters(request.filter);
        if (!filters.isEmpty()) setNameFilters(filters);
        connect(this, &QFileDialog::filterSelected, this,
            [this](const QString& filter) { setDefaultSuffix(FilterSuffix(filter, fallbackSuffix)); });
        setDefaultSuffix(FilterSuffix(selectedNameFilter(), fallbackSuffix));
        if (!request.folder.empty()) setDirectory(QFile::decodeName(request.folder.c_str()));
        // "*.bnx" names a kind, already shown first by the filter; a real name is offered as the file.
        if (!request.initialName.empty() && request.initialName.front() != '*')
            selectFile(QFile::decodeName(request.initialName.c_str()));
        FitToContents();
    }

    void accept() override
    {
        if (acceptMode() == QFileDialog::AcceptOpen && !selectedFiles().isEmpty()) {
            const std::string reason
                = NotARegularFile(QFile::encodeName(selectedFiles().front()).toStdString());
            if (!reason.empty()) {
                // A folder is opened as the dialog opens folders; anything else is refused, and the dialog
                // stays for another choice.
                if (QFileInfo(selectedFiles().front()).isDir()) return QFileDialog::accept();
                AfxMessageBox(reason, MB_ICONERROR);
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    // Big enough for the names of a folder of lists and for the columns beside them, on any screen.
    void FitToContents()
    {
        if (auto* details = findChild<QTreeView*>("treeView")) {
            QHeaderView* header = details->header();
            header->setStretchLastSection(false);
            header->setSectionResizeMode(0, QHeaderView::Stretch);
            for (int column = 1; column < header->count(); ++column)
                header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
        QSize size(880, 560);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
        resize(size.expandedTo(minimumSizeHint()));
    }
    QString fallbackSuffix;
};

} // namespace

QString FilterSuffix(const QString& filter, const QString& fallback)
{
    const qsizetype open = filter.lastIndexOf('(');
    const QString patterns = open >= 0 ? filter.mid(open + 1).chopped(filter.endsWith(')') ? 1 : 0) : filter;
    const QString first = patterns.section(' ', 0, 0, QString::SectionSkipEmpty);
    if (!first.startsWith("*.")) return fallback;
    const QString suffix = first.mid(2);
    if (suffix.isEmpty() || suffix.contains('*') || suffix.contains('?')) return fallback;
    return suffix;
}

std::string NotARegularFile(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return {};
    const unsigned kind = S_ISDIR(status.st_mode) ? StringId::AFolder
        : S_ISFIFO(status.st_mode)                ? StringId::ANamedPipe
        : S_ISSOCK(status.st_mode)                ? StringId::ASocket
                                                  : StringId::ADevice;
    return FormatString(StringId::NotAFileOfPositions, { DisplayFileName(path), LoadString(kind) });
}

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
    ProgramFileDialog dialog(parent, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    filterIndex = std::max(0, int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())));
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
