#include "Shell.h"

#include "Codec.h"

#include <QDesktopServices>
#include <QProcess>
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

int ShellOpen(const std::string& address)
{
    if (script) {
        script->opened.push_back(address);
        return script->openResult;
    }
    QUrl url(Codec::ToQt(address), QUrl::TolerantMode);
    if (!url.isValid() || address.empty()) return SE_ERR_FNF;
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
