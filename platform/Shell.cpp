#include "Shell.h"

#include "Codec.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <memory>

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

int pendingOpens = 0;

int RunOpener(const QString& opener, const QString& address, std::function<void(int)> done)
{
    // No parent: an opener still running when the program ends keeps running.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    // The first word of the opener is its verdict: its exit status, its failure to start, or, when it
    // is still at work after a while, success.
    auto given = std::make_shared<bool>(false);
    ++pendingOpens;
    auto give = [given, done = std::move(done)](int result) {
        if (*given) return;
        *given = true;
        --pendingOpens;
        if (done) done(result);
    };
    QObject::connect(
        process, &QProcess::errorOccurred, process, [process, give](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;
            give(SE_ERR_FNF);
            process->deleteLater();
        });
    QObject::connect(
        process, &QProcess::finished, process, [process, give](int code, QProcess::ExitStatus status) {
            const bool normal = status == QProcess::NormalExit;
            give(normal && code == 0 ? 33 : OpenerError(normal ? code : -1));
            process->deleteLater();
        });
    QTimer::singleShot(openerVerdictMs, process, [give] { give(33); });
    process->start(opener, { address });
    return *given ? SE_ERR_FNF : ShellOpenPending;
}

} // namespace

int PendingShellOpens()
{
    return pendingOpens;
}

int ShellOpen(const std::string& address, std::function<void(int)> done)
{
    auto settle = [&done](int result) {
        if (done) done(result);
        return result;
    };
    if (script) {
        script->opened.push_back(address);
        return settle(script->openResult);
    }
    QUrl url(Codec::ToQt(address), QUrl::TolerantMode);
    if (!url.isValid() || address.empty()) return settle(SE_ERR_FNF);
    // The desktop's opener tells by its exit status whether the address could be opened; the toolkit's
    // own road only tells whether the opener started.
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (!opener.isEmpty()) return RunOpener(opener, QString::fromUtf8(url.toEncoded()), std::move(done));
    return settle(QDesktopServices::openUrl(url) ? 33 : SE_ERR_NOASSOC);
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
