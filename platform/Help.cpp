#include "Help.h"

#include "Codec.h"
#include "Strings.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QTextBrowser>
#include <QToolTip>
#include <QWhatsThis>
#include <QWidget>
#include <QWindow>

namespace {

std::string lastPage;
QPointer<QTextBrowser> window;

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
            window->setWindowTitle(LoadQString(57344) + " Help");
            window->setSearchPaths({ ":/help/html", ":/help" });
            window->resize(640, 520);
        }
        QUrl url("qrc" + resource);
        if (!anchor.isEmpty()) url.setFragment(anchor);
        window->setSource(url);
        window->show();
        // The window that asks for help owns the help window, as a dialog owns its own: so a modal
        // dialog's help can be read, scrolled and closed while the dialog is still open.
        QWidget* caller = owner ? owner->window() : QApplication::activeModalWidget();
        if (caller && caller != window && caller->windowHandle() && window->windowHandle())
            window->windowHandle()->setTransientParent(caller->windowHandle());
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
            if (owner) QWhatsThis::showText(owner->mapToGlobal(QPoint(0, owner->height())), text, owner);
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
        control->setWhatsThis(text);
    }
}
