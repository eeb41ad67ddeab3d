#include "Help.h"

#include "Codec.h"
#include "Strings.h"
#include "res/StringIds.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QTextBrowser>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

namespace {

std::string lastPage;
QPointer<QTextBrowser> window;
QPointer<QWindow> helpOwner; // the window that asked for help last

// A modal window blocks every window but its own: while one runs, the help window is made one of its
// own, so that help opened before it can still be read, scrolled and closed.
class HelpBesideModals : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return false;
        // Only modal windows matter; looking at the help window first would cast it while it is being
        // destroyed, when it is a plain widget and no longer a text browser.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow() || !widget->isModal()) return false;
        if (!window || widget == window) return false;
        QWindow* help = window->windowHandle();
        if (!help) return false;
        if (event->type() == QEvent::Show) {
            if (widget->windowHandle()) help->setTransientParent(widget->windowHandle());
            return false;
        }
        // Back to another modal window still open, or to the window that asked for the help.
        QWindow* next = helpOwner;
        for (QWidget* other : QApplication::topLevelWidgets())
            if (other != widget && other != window && other->isModal() && other->isVisible() && other->windowHandle())
                next = other->windowHandle();
        help->setTransientParent(next);
        return false;
    }
};

// What follows the "::" of the help path names a page or topic file inside our help resources; a "#"
// names a place on the page, which is not part of the file.
QString ResourcePath(const std::string& path, QString* anchor = nullptr)
{
    std::string page = path;
    if (auto pos = page.find("::"); pos != std::string::npos) page = page.substr(pos + 2);
    if (auto hash = page.find('#'); hash != std::string::npos) {
        if (anchor) *anchor = QString::fromStdString(page.substr(hash + 1));
        page.erase(hash);
    }
    while (!page.empty() && (page.front() == '/' || page.front() == '\\')) page.erase(0, 1);
    return ":/help/" + QString::fromStdString(page);
}

// Topic files hold one topic a line: its number, a tab, its text.
QHash<int, QString> Topics(const std::string& topicFile)
{
    QHash<int, QString> topics;
    QFile f(ResourcePath(topicFile));
    if (!f.open(QIODevice::ReadOnly)) return topics;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
        qsizetype tab = line.indexOf('\t');
        if (tab <= 0) continue;
        bool ok = false;
        int n = line.left(tab).toInt(&ok);
        if (ok) topics.insert(n, line.mid(tab + 1).trimmed());
    }
    return topics;
}

// A pop-up text under its control, as a tip: it takes no click away from the window under it.
void ShowHelpTip(QWidget* control, const QString& text)
{
    if (control) QToolTip::showText(control->mapToGlobal(QPoint(0, control->height())), text, control);
}

const char* const helpTextProperty = "brennixHelpText";

int ControlId(const QWidget* control)
{
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        QString name = w->objectName();
        if (name.startsWith("IDC_")) return name.mid(4).toInt();
    }
    return 0;
}

} // namespace

std::string HelpTopicText(const std::string& topicFile, int topic)
{
    EnsureResources();
    return Codec::FromQt(Topics(topicFile).value(topic));
}

std::string LastHelpPage()
{
    return lastPage;
}

QWidget* HelpWindow()
{
    return window;
}

bool AfxHtmlHelp(QWidget* owner, const std::string& path, unsigned command, const HelpIdPairs& pairs)
{
    EnsureResources();
    if (command == HH_DISPLAY_TOPIC) {
        QString anchor;
        QString resource = ResourcePath(path, &anchor);
        if (!QFile::exists(resource)) return false;
        lastPage = resource.toStdString() + (anchor.isEmpty() ? "" : "#" + anchor.toStdString());
        if (!window) {
            window = new QTextBrowser;
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->setWindowTitle(LoadQString(StringId::ProgramName) + " Help");
            window->setSearchPaths({ ":/help/html", ":/help" });
            window->resize(640, 520);
            qApp->installEventFilter(new HelpBesideModals(window));
        }
        QUrl url("qrc" + resource);
        if (!anchor.isEmpty()) url.setFragment(anchor);
        window->setSource(url);
        window->show();
        // The window that asks for help owns the help window, as a dialog owns its own: so a modal
        // dialog's help can be read, scrolled and closed while the dialog is still open.
        QWidget* caller = owner ? owner->window() : QApplication::activeModalWidget();
        if (caller && caller != window && caller->windowHandle() && window->windowHandle()) {
            window->windowHandle()->setTransientParent(caller->windowHandle());
            helpOwner = caller->windowHandle();
        }
        window->raise();
        window->activateWindow();
        return true;
    }
    if (command == HH_TP_HELP_WM_HELP) {
        int control = ControlId(owner);
        for (auto [id, topic] : pairs) {
            if (id != control || id == 0) continue;
            QString text = Topics(path).value(topic);
            if (text.isEmpty()) return false;
            ShowHelpTip(owner, text);
            return true;
        }
        return false;
    }
    return false;
}

void InstallControlHelp(QWidget* dialog, const std::string& topicFile, const HelpIdPairs& pairs)
{
    EnsureResources();
    const QHash<int, QString> topics = Topics(topicFile);
    for (auto [id, topic] : pairs) {
        if (id <= 0) continue;
        QWidget* control = dialog->findChild<QWidget*>(QString("IDC_%1").arg(id));
        QString text = topics.value(topic);
        if (!control || text.isEmpty()) continue;
        // A control with a tip of its own (a link shows its address) keeps it.
        if (control->toolTip().isEmpty()) control->setToolTip(text);
        // Not as a "What's this" text: the window system's own Shift+F1 shows those in a pop-up that
        // takes the next click away.
        control->setProperty(helpTextProperty, text);
    }
}

bool ShowFocusedControlHelp(QWidget* focus)
{
    for (QWidget* w = focus; w && !w->isWindow(); w = w->parentWidget()) {
        const QString text = w->property(helpTextProperty).toString();
        if (text.isEmpty()) continue;
        ShowHelpTip(w, text);
        return true;
    }
    return false;
}
