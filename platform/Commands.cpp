#include "Commands.h"

#include "Strings.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

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
    // Menus and tool buttons put the status tip into the status bar while the item is highlighted, and
    // an empty one when it no longer is: the prompt has to be the tip, or it is wiped at once.
    action->setStatusTip(Prompt(id));
    connect(action, &QAction::triggered, this, [this, id] { OnTriggered(id); });
    actions.emplace(id, action);
    return action;
}

void MenuBuilder::OnTriggered(unsigned id)
{
    if (InHelpMode()) {
        GiveHelp(id, nullptr);
        return;
    }
    CommandRouter::Instance().Execute(id);
    UpdateAll();
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
    // A key that is an accelerator and a menu-bar mnemonic at once would reach neither: the window's
    // keys are looked at before the shortcuts are.
    for (QAction* title : window->menuBar()->actions()) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(title->text());
        if (mnemonic.isEmpty()) continue;
        for (auto& [id, action] : actions)
            if (action->shortcut() == mnemonic) winning.emplace_back(mnemonic, action);
    }
    qApp->installEventFilter(this);
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &MenuBuilder::UpdateAll);
    idle->start(250);
    UpdateAll();
}

std::vector<QKeySequence> MenuBuilder::WinningAccelerators() const
{
    std::vector<QKeySequence> keys;
    for (const auto& entry : winning) keys.push_back(entry.first);
    return keys;
}

QAction* MenuBuilder::WinningAction(const QKeyEvent* key) const
{
    if (winning.empty() || key->key() == 0) return nullptr;
    const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    for (const auto& [sequence, action] : winning)
        if (sequence == pressed) return action;
    return nullptr;
}

namespace {

// The window a key or mouse event is going to, for widgets and for the windows that hold them.
QWidget* TopWidgetOf(QObject* object)
{
    if (auto* w = qobject_cast<QWidget*>(object)) return w->window();
    return nullptr;
}

} // namespace

void MenuBuilder::ShowDisabledPrompt(QMenu* menu, QAction* item)
{
    // The menu takes no disabled item for its current one, so it shows no tip for it; the item's prompt
    // is shown once the menu has done with the move.
    QAction* shown = item && !item->isSeparator() && !item->menu() && !item->isEnabled() ? item : nullptr;
    if (!shown && !disabledPromptShown) return;
    QPointer<QMenu> guard(menu);
    QMetaObject::invokeMethod(
        this,
        [this, guard, shown] {
            if (!statusBar) return;
            if (shown && guard && guard->isVisible()
                && (!guard->activeAction() || guard->activeAction() == shown)) {
                statusBar->showMessage(shown->statusTip());
                disabledPromptShown = true;
            } else if (disabledPromptShown) {
                disabledPromptShown = false;
                if (!guard || !guard->activeAction()) statusBar->clearMessage();
            }
        },
        Qt::QueuedConnection);
}

bool MenuBuilder::eventFilter(QObject* watched, QEvent* event)
{
    if (InHelpMode() && HelpModeEvent(watched, event)) return true;
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::Leave || type == QEvent::Hide)
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            QAction* item = type == QEvent::MouseMove
                ? menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint())
                : nullptr;
            ShowDisabledPrompt(menu, item);
            return false;
        }
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && MenuAltKey(watched, event)) return true;
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
    QAction* action = WinningAction(static_cast<QKeyEvent*>(event));
    if (!action) return false;
    // In an open menu the key is the menus' own: it moves to the menu of that title, as accelerators wait
    // while a menu is open.
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        if (!OfTheMenuBar(menu)) return false;
        if (type == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        for (QAction* title : window->menuBar()->actions())
            if (QKeySequence::mnemonic(title->text()) == action->shortcut() && title->isVisible()) {
                window->menuBar()->setActiveAction(title);
                return true;
            }
        return false;
    }
    // Only for the main window itself: not in a dialog, nor while a modal one or a menu is up.
    if (TopWidgetOf(watched) != window || QApplication::activePopupWidget()
        || QApplication::activeModalWidget())
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Taken as a key press, so the shortcuts never see the clash.
        event->accept();
        return true;
    }
    if (static_cast<QKeyEvent*>(event)->isAutoRepeat() && !action->autoRepeat()) return true;
    UpdateItem(action);
    if (action->isEnabled()) action->trigger();
    return true;
}

bool MenuBuilder::OfTheMenuBar(const QMenu* menu) const
{
    for (const QWidget* w = menu; w; w = w->parentWidget())
        if (w == window->menuBar()) return true;
    return false;
}

bool MenuBuilder::MenuAltKey(QObject* watched, QEvent* event)
{
    auto* menu = qobject_cast<QMenu*>(watched);
    if (!menu || passingAlt || !OfTheMenuBar(menu)) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Alt) {
        if (event->type() == QEvent::KeyPress) altAlone = false;
        return false;
    }
    // The menu closes at the press of Alt: Alt+E would find no menu open. So it waits for the release,
    // and closes then only when no key came with Alt.
    if (event->type() == QEvent::KeyPress) {
        altAlone = true;
        return true;
    }
    if (altAlone) {
        altAlone = false;
        passingAlt = true;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &press);
        passingAlt = false;
    }
    return true;
}

void MenuBuilder::EnterHelpMode(HelpRequest help)
{
    if (!InHelpMode()) QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    helpRequest = std::move(help);
    eatNextRelease = false;
}

void MenuBuilder::LeaveHelpMode()
{
    if (!InHelpMode()) return;
    helpRequest = nullptr;
    QApplication::restoreOverrideCursor();
}

void MenuBuilder::GiveHelp(unsigned id, QWidget* area)
{
    HelpRequest help = std::move(helpRequest);
    LeaveHelpMode();
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (help) help(id, area);
}

bool MenuBuilder::HelpModeEvent(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
        LeaveHelpMode();
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // The release of the click that asked for help belongs to nobody.
        if (!eatNextRelease || !watched->isWidgetType()) return false;
        if (event->type() == QEvent::MouseButtonRelease) eatNextRelease = false;
        return true;
    case QEvent::MouseButtonPress:
        break;
    default:
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        QAction* item = menu->actionAt(mouse->position().toPoint());
        // A press on a sub-menu opens it; help is for the commands.
        if (!item || item->isSeparator() || item->menu() || item->data().toUInt() == 0) return false;
        eatNextRelease = true;
        GiveHelp(item->data().toUInt(), nullptr);
        return true;
    }
    if (widget->window() != window) {
        // A click in another window ends the mode and goes where it was meant to.
        LeaveHelpMode();
        return false;
    }
    for (QWidget* w = widget; w && w != window; w = w->parentWidget())
        if (qobject_cast<QMenuBar*>(w)) return false; // opening a menu to pick an item from it
    eatNextRelease = true;
    for (QWidget* w = widget; w && w != window; w = w->parentWidget())
        if (auto* button = qobject_cast<QToolButton*>(w))
            if (QAction* a = button->defaultAction(); a && a->data().toUInt() != 0) {
                GiveHelp(a->data().toUInt(), nullptr);
                return true;
            }
    GiveHelp(0, widget);
    return true;
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
