#include "Shell.h"

#include "Codec.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace {
ShellScript* script = nullptr;
}

ShellScript::ShellScript()
{
    script = this;
}

ShellScript::~ShellScript()
{
    if (script == this) script = nullptr;
}

namespace {

// How long the desktop's opener is given to say that it could not open an address. Some openers wait
// for the program they start; one still at work by then has found its program.
constexpr int openerVerdictMs = 2000;

// The opener's exit status (1 bad arguments, 2 no such file, 3 no program for it, 4 the program
// failed) as the codes the program reports.
int OpenerError(int status)
{
    switch (status) {
    case 2:
        return SE_ERR_FNF;
    case 3:
        return SE_ERR_NOASSOC;
    default:
        return SE_ERR_ASSOCINCOMPLETE;
    }
}

int RunOpener(const QString& opener, const QString& address)
{
    // No parent: an opener still running when the program ends keeps running.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start(opener, { address });
    if (!process->waitForStarted()) {
        delete process;
        return SE_ERR_FNF;
    }
    if (process->waitForFinished(openerVerdictMs)) {
        const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        const int status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        delete process;
        return opened ? 33 : OpenerError(status);
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return 33;
}

} // namespace

int ShellOpen(const std::string& address)
{
    if (script) {
        script->opened.push_back(address);
        return script->openResult;
    }
    QUrl url(Codec::ToQt(address), QUrl::TolerantMode);
    if (!url.isValid() || address.empty()) return SE_ERR_FNF;
    // The desktop's opener tells by its exit status whether the address could be opened; the toolkit's
    // own road only tells whether the opener started.
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (!opener.isEmpty()) return RunOpener(opener, QString::fromUtf8(url.toEncoded()));
    return QDesktopServices::openUrl(url) ? 33 : SE_ERR_NOASSOC;
}

bool StartProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    if (script) {
        script->started.push_back({ program, arguments });
        return script->startResult;
    }
    QStringList list;
    for (const std::string& a : arguments) list << Codec::ToQt(a);
    return QProcess::startDetached(Codec::ToQt(program), list);
}
