#include "Commands.h"

#include "Strings.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

CommandRouter& CommandRouter::Instance()
{
    static CommandRouter router;
    return router;
}

void CommandRouter::Register(const void* owner, unsigned id, CommandHandler handler, UpdateHandler update)
{
    entries[id].push_back({ owner, std::move(handler), std::move(update) });
}

void CommandRouter::Unregister(const void* owner)
{
    for (auto it = entries.begin(); it != entries.end();) {
        auto& list = it->second;
        std::erase_if(list, [owner](const Entry& e) { return e.owner == owner; });
        it = list.empty() ? entries.erase(it) : std::next(it);
    }
}

bool CommandRouter::Has(unsigned id) const
{
    return entries.count(id) != 0;
}

CCmdUI CommandRouter::Query(unsigned id) const
{
    CCmdUI ui(id);
    auto it = entries.find(id);
    if (it == entries.end()) {
        ui.Enable(false);
        return ui;
    }
    if (const Entry& e = it->second.back(); e.update) e.update(ui);
    return ui;
}

bool CommandRouter::Execute(unsigned id)
{
    auto it = entries.find(id);
    if (it == entries.end() || !Query(id).enabled) return false;
    // Copy: the handler may register or unregister commands while it runs.
    CommandHandler handler = it->second.back().handler;
    if (handler) handler();
    return true;
}

QKeySequence AcceleratorKeys(const QString& text)
{
    QString normal;
    const QStringList parts = text.trimmed().split('+');
    for (const QString& part : parts) {
        QString p = part.trimmed();
        if (p.compare("ctrl", Qt::CaseInsensitive) == 0)
            p = "Ctrl";
        else if (p.compare("alt", Qt::CaseInsensitive) == 0)
            p = "Alt";
        else if (p.compare("shift", Qt::CaseInsensitive) == 0)
            p = "Shift";
        else if (p.compare("ins", Qt::CaseInsensitive) == 0 || p.compare("insert", Qt::CaseInsensitive) == 0)
            p = "Ins";
        if (!normal.isEmpty()) normal += '+';
        normal += p;
    }
    return QKeySequence::fromString(normal, QKeySequence::PortableText);
}

MenuBuilder::MenuBuilder(QMainWindow* window, QStatusBar* statusBar)
    : QObject(window)
    , window(window)
    , statusBar(statusBar)
{
}

QString MenuBuilder::Prompt(unsigned id)
{
    return LoadQString(id).section('\n', 0, 0);
}

QAction* MenuBuilder::MakeAction(unsigned id, const QString& text, const QString& keys, QWidget* parent)
{
    auto* action = new QAction(text, parent);
    if (!keys.isEmpty()) action->setShortcut(AcceleratorKeys(keys));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] {
        CommandRouter::Instance().Execute(id);
        UpdateAll();
    });
    connect(action, &QAction::hovered, this, [this, id] {
        if (statusBar) statusBar->showMessage(Prompt(id));
    });
    actions.emplace(id, action);
    return action;
}

void MenuBuilder::Build(const QString& menuResource, const QString& acceleratorResource)
{
    EnsureResources();
    QFile file(menuResource);
    if (file.open(QIODevice::ReadOnly)) {
        // Lines: "POPUP text", "END", "SEPARATOR" or "id<TAB>text[\tkeys]"; indentation is free.
        std::vector<QMenu*> stack;
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        for (const QString& raw : lines) {
            QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith('#')) continue;
            if (line.startsWith("POPUP ")) {
                QString title = line.mid(6);
                QMenu* menu
                    = stack.empty() ? window->menuBar()->addMenu(title) : stack.back()->addMenu(title);
                connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
                menus.push_back(menu);
                stack.push_back(menu);
            } else if (line == "END") {
                if (!stack.empty()) stack.pop_back();
            } else if (line == "SEPARATOR") {
                if (!stack.empty()) stack.back()->addSeparator();
            } else if (!stack.empty()) {
                qsizetype tab = line.indexOf('\t');
                if (tab < 0) continue;
                unsigned id = line.left(tab).toUInt();
                QString rest = line.mid(tab + 1).replace("\\t", "\t");
                QString text = rest.section('\t', 0, 0);
                QString keys = rest.section('\t', 1, 1);
                stack.back()->addAction(MakeAction(id, text, keys, stack.back()));
            }
        }
    }
    QFile accel(acceleratorResource);
    if (accel.open(QIODevice::ReadOnly)) {
        // Lines: "id<TAB>keys": keys that reach a command without a menu item of their own.
        const QStringList lines = QString::fromUtf8(accel.readAll()).split('\n');
        for (const QString& raw : lines) {
            QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith('#')) continue;
            QStringList parts = line.split('\t', Qt::SkipEmptyParts);
            if (parts.size() < 2) continue;
            QAction* action = MakeAction(parts[0].toUInt(), QString(), parts[1], window);
            action->setShortcutContext(Qt::WindowShortcut);
            window->addAction(action);
        }
    }
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &MenuBuilder::UpdateAll);
    idle->start(250);
    UpdateAll();
}

void MenuBuilder::UpdateMenu(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        if (QMenu* sub = action->menu()) {
            UpdateMenu(sub);
            continue;
        }
        UpdateItem(action);
    }
}

void MenuBuilder::UpdateItem(QAction* action)
{
    unsigned id = action->data().toUInt();
    CommandRouter& router = CommandRouter::Instance();
    // A command nobody handles yet is not offered at all.
    action->setVisible(router.Has(id));
    if (!router.Has(id)) return;
    CCmdUI ui = router.Query(id);
    action->setEnabled(ui.enabled);
    action->setCheckable(ui.checked >= 0);
    if (ui.checked >= 0) action->setChecked(ui.checked != 0);
}

QAction* MenuBuilder::MakeToolAction(unsigned id, const QIcon& icon, QWidget* parent)
{
    QAction* action = MakeAction(id, LoadQString(id).section('\n', 1, 1), QString(), parent);
    action->setIcon(icon);
    action->setStatusTip(Prompt(id));
    toolActions.push_back(action);
    return action;
}

void MenuBuilder::UpdateAll()
{
    for (QMenu* menu : menus) UpdateMenu(menu);
    for (QAction* action : toolActions) UpdateItem(action);
    // Keys without menu items keep their shortcuts live only while the command exists and is enabled.
    for (auto& [id, action] : actions) {
        if (action->parent() != window) continue;
        CommandRouter& router = CommandRouter::Instance();
        action->setEnabled(router.Has(id) && router.Query(id).enabled);
    }
    // Hide pop-ups that hold nothing visible.
    for (QMenu* menu : menus) {
        bool any = false;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->isVisible()) any = true;
        menu->menuAction()->setVisible(any);
    }
}

QAction* MenuBuilder::ActionFor(unsigned id) const
{
    auto it = actions.find(id);
    return it == actions.end() ? nullptr : it->second;
}
