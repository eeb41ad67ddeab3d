#pragma once

#include <QKeySequence>
#include <QObject>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QIcon;
class QKeyEvent;
class QMainWindow;
class QMenu;
class QMenuBar;
class QStatusBar;
class QWidget;

// The state an update handler gives a command before its menu item or key is used.
class CCmdUI {
public:
    explicit CCmdUI(unsigned id)
        : m_nID(id)
    {
    }
    void Enable(bool on = true) { enabled = on; }
    void SetCheck(int check = 1) { checked = check; }
    unsigned m_nID;
    bool enabled = true;
    int checked = -1; // -1: the handler did not say, the item is not checkable
};

using CommandHandler = std::function<void()>;
using UpdateHandler = std::function<void(CCmdUI&)>;

// One table of commands: id, handler and update handler, registered by the object that owns them
// (view, frame, application). Menus, accelerators and tool-bar buttons all route through it.
class CommandRouter {
public:
    static CommandRouter& Instance();
    void Register(const void* owner, unsigned id, CommandHandler handler, UpdateHandler update = {});
    void Unregister(const void* owner);
    bool Has(unsigned id) const;
    // Runs the update handler; a command without one is enabled.
    CCmdUI Query(unsigned id) const;
    // Runs the command when its update handler leaves it enabled; returns whether it ran.
    bool Execute(unsigned id);

private:
    struct Entry {
        const void* owner;
        CommandHandler handler;
        UpdateHandler update;
    };
    std::map<unsigned, std::vector<Entry>> entries; // later registrations take precedence
};

// Builds the menu bar from the menu resource and the extra accelerators, wires prompts into the
// status bar and keeps the items' state in step with their update handlers.
class MenuBuilder : public QObject {
    Q_OBJECT
public:
    MenuBuilder(QMainWindow* window, QStatusBar* statusBar);
    void Build(const QString& menuResource, const QString& acceleratorResource);
    // Refreshes enabled/checked state and visibility of every action (called before menus open and when
    // idle).
    void UpdateAll();
    QAction* ActionFor(unsigned id) const;
    // A button of a tool bar for the command, kept in step like the menu items.
    QAction* MakeToolAction(unsigned id, const QIcon& icon, QWidget* parent);
    // The status-bar prompt of a command: its string-table text up to the first line break.
    static QString Prompt(unsigned id);
    // Keys that are both a command's accelerator and the mnemonic of a menu-bar title: the accelerator
    // wins, the menu is reached with the mouse or from another menu.
    std::vector<QKeySequence> WinningAccelerators() const;

    // Context help: until the next click, a click on a menu item or a tool button, or choosing a command
    // by any road, calls `help` with the command instead of running it; a click elsewhere in the window
    // calls it with 0 and the widget clicked. Escape leaves the mode.
    using HelpRequest = std::function<void(unsigned id, QWidget* area)>;
    void EnterHelpMode(HelpRequest help);
    bool InHelpMode() const { return bool(helpRequest); }
    void LeaveHelpMode();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTriggered(unsigned id);
    QAction* WinningAction(const QKeyEvent* key) const;
    bool OfTheMenuBar(const QMenu* menu) const;
    // Alt in an open menu of the menu bar: true when it was taken care of.
    bool MenuAltKey(QObject* watched, QEvent* event);
    bool HelpModeEvent(QObject* watched, QEvent* event);
    void GiveHelp(unsigned id, QWidget* area);
    void ShowDisabledPrompt(QMenu* menu, QAction* item);
    void UpdateMenu(QMenu* menu);
    void UpdateItem(QAction* action);
    QAction* MakeAction(unsigned id, const QString& text, const QString& keys, QWidget* parent);
    QMainWindow* window;
    QStatusBar* statusBar;
    std::multimap<unsigned, QAction*> actions;
    std::vector<QAction*> toolActions;
    std::vector<QMenu*> menus;
    std::vector<std::pair<QKeySequence, QAction*>> winning;
    HelpRequest helpRequest;
    bool eatNextRelease = false;
    bool disabledPromptShown = false;
    bool altAlone = false; // Alt is down in an open menu, and no other key came with it yet
    bool passingAlt = false;
};

// Turns "Ctrl+ALT+N", "Alt+D", "Up" into a key sequence.
QKeySequence AcceleratorKeys(const QString& text);
