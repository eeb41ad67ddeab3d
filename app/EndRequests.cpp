#include "EndRequests.h"

#include "CMainFrame.h"
#include "CPlaviaApp.h"
#include "view/CPlaviaView.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A signal handler may do next to nothing: it writes the signal's number into this pipe, and the event
// loop, woken by the read end, does the rest.
int pipeEnds[2] = { -1, -1 };

extern "C" void OnEndSignal(int signal)
{
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

// What the close button does; an ending program asks nothing more.
void RequestEnd(CPlaviaApp& app)
{
    if (CPlaviaApp::QuitPosted()) return;
    if (CMainFrame* frame = app.MainFrame())
        frame->close();
    else
        CPlaviaApp::PostQuit();
}

} // namespace

namespace EndRequests {

bool Install(CPlaviaApp& app)
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [&app] {
        char bytes[64];
        bool any = false;
        while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) any = true;
        // Several signals at once are one request.
        if (any) RequestEnd(app);
    });

    struct sigaction action { };
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : { SIGTERM, SIGINT, SIGHUP }) {
        struct sigaction before { };
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }

    // A session manager asks before it ends the session: the user answers the question about a changed
    // list now, and keeping the program open cancels the logout.
    QObject::connect(
        qApp, &QGuiApplication::commitDataRequest, qApp,
        [&app](QSessionManager& manager) {
            CMainFrame* frame = app.MainFrame();
            if (!frame || !frame->View() || !frame->View()->m_bModified) return;
            if (!manager.allowsInteraction()) return;
            RequestEnd(app);
            manager.release();
            if (!CPlaviaApp::QuitPosted()) manager.cancel();
        },
        Qt::DirectConnection);
    return true;
}

} // namespace EndRequests
