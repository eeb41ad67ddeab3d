#include "CommandLine.h"

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "res/StringIds.h"
#include "view/CPlaviaView.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace CommandLine {

namespace {

std::optional<std::vector<std::string>> given;

QString HostName()
{
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? QString::fromUtf8(name) : QString();
}

bool IsAddress(const std::string& argument)
{
    static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]*://");
    return scheme.match(QString::fromUtf8(argument.c_str())).hasMatch();
}

// The local file a file:// address names, with the bytes its percent escapes stand for; empty for any
// other address, or for a file of another computer.
std::string LocalPathOf(const std::string& address)
{
    const std::string prefix = "file://";
    if (address.size() < prefix.size()
        || QByteArray::fromStdString(address.substr(0, prefix.size())).toLower() != prefix.c_str())
        return {};
    const std::string rest = address.substr(prefix.size());
    const size_t slash = rest.find('/');
    if (slash == std::string::npos) return {};
    const QString host = QString::fromUtf8(rest.substr(0, slash).c_str());
    if (!host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0
        && host.compare(HostName(), Qt::CaseInsensitive) != 0)
        return {};
    std::string path = rest.substr(slash);
    // An address ends before its query or fragment; a file name holds them escaped.
    path = path.substr(0, path.find_first_of("?#"));
    return QByteArray::fromPercentEncoding(QByteArray::fromStdString(path)).toStdString();
}

} // namespace

Request Parse(const std::vector<std::string>& arguments)
{
    Request request;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == "--") {
            options = false;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            if (argument == "--help" || argument == "-h")
                request.help = true;
            else if (argument == "--version")
                request.version = true;
            else
                request.unknownOptions.push_back(argument);
        } else if (IsAddress(argument)) {
            request.files.push_back({ argument, LocalPathOf(argument) });
        } else {
            request.files.push_back({ argument, argument });
        }
    }
    return request;
}

void SetArguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    given = std::move(arguments);
}

std::vector<std::string> Arguments()
{
    if (given) return *given;
    std::vector<std::string> arguments;
    const QStringList list = QCoreApplication::arguments();
    for (qsizetype i = 1; i < list.size(); ++i) arguments.push_back(QFile::encodeName(list[i]).toStdString());
    return arguments;
}

void OpenFiles(CPlaviaView& view, const Request& request)
{
    if (request.files.empty()) return;
    const FileArgument& first = request.files.front();
    auto shown = [](const FileArgument& file) {
        return file.path.empty() ? file.given : DisplayFileName(file.path);
    };
    if (first.path.empty()) {
        AfxMessageBox(FormatString1(StringId::NotALocalFile, first.given), MB_ICONERROR);
    } else if (const std::string reason = NotARegularFile(first.path); !reason.empty()) {
        // A pipe or a device would be read for ever; a folder holds no positions.
        AfxMessageBox(reason, MB_ICONERROR);
    } else {
        // Kept whole, as the open dialog gives it: a later Save goes to the same file wherever it runs.
        std::error_code ec;
        const std::filesystem::path whole = std::filesystem::absolute(first.path, ec).lexically_normal();
        view.OpenPositionFile(ec ? first.path : whole.string());
    }
    if (request.files.size() > 1) {
        std::string others;
        for (size_t i = 1; i < request.files.size(); ++i)
            others += (i > 1 ? "\n" : "") + shown(request.files[i]);
        AfxMessageBox(FormatString(StringId::OneListAtATime, { shown(first), others }), MB_ICONINFORMATION);
    }
}

std::string UsageText()
{
    return LoadString(StringId::CommandLineUsage);
}

std::string UnknownOptionText(const std::string& option)
{
    return FormatString1(StringId::UnknownOption, option);
}

} // namespace CommandLine
