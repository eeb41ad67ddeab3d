// The frame as the user meets it through its widgets: prompts in the status bar, keys, context help,
// the help window beside a modal dialog, and the lock-key panes.
#include "ActiveFrame.h"
#include "app/CTrueColorToolBar.h"
#include "dialogs/CDialogChangeFont.h"
#include "platform/Commands.h"
#include "platform/Help.h"
#include "platform/Keyboard.h"
#include "platform/Modal.h"
#include "platform/Strings.h"
#include "tests/support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <set>

using namespace Win32;

namespace {

class FrameHelpTest : public ProgramTest {
protected:
    void TearDown() override
    {
        if (frame) frame->Menus()->LeaveHelpMode();
        while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        if (QWidget* help = HelpWindow()) delete help;
        ProgramTest::TearDown();
    }
    CMainFrame& Shown() { return ActiveFrame(Frame()); }
    static QMenu* OpenMenu(CMainFrame& f, const QString& title)
    {
        QMenuBar* bar = f.menuBar();
        for (QAction* a : bar->actions())
            if (a->text() == title) {
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(a).center());
                return qobject_cast<QMenu*>(QApplication::activePopupWidget());
            }
        return nullptr;
    }
    static void Hover(QMenu* menu, QAction* item)
    {
        QTest::mouseMove(menu, menu->actionGeometry(item).center());
        QApplication::processEvents();
    }
    static unsigned Id(const QAction* a) { return a->data().toUInt(); }
    QString Message() { return Frame().statusBar()->currentMessage(); }
    static QToolButton* Button(CMainFrame& f, unsigned id)
    {
        for (QAction* a : f.ToolBar()->actions())
            if (Id(a) == id) return qobject_cast<QToolButton*>(f.ToolBar()->widgetForAction(a));
        return nullptr;
    }
    QLabel* Pane0() { return Frame().statusBar()->findChildren<QLabel*>().value(0); }

    // Hovers every item of a menu and its sub-menus; returns how many items it saw.
    int WalkMenu(QMenu* menu, std::set<unsigned>& seen)
    {
        int items = 0;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || !a->isVisible()) continue;
            Hover(menu, a);
            if (QMenu* sub = a->menu()) {
                QTest::keyClick(menu, Qt::Key_Right);
                EXPECT_TRUE(sub->isVisible()) << a->text().toStdString();
                items += WalkMenu(sub, seen);
                QTest::keyClick(sub, Qt::Key_Left);
                continue;
            }
            ++items;
            seen.insert(Id(a));
            const QString prompt = MenuBuilder::Prompt(Id(a));
            EXPECT_FALSE(prompt.isEmpty()) << Id(a);
            EXPECT_EQ(Message(), prompt) << a->text().toStdString() << (a->isEnabled() ? "" : " (disabled)");
        }
        return items;
    }
};

// --- prompts

TEST_F(FrameHelpTest, EveryMenuItemShowsItsPromptWhileHighlighted)
{
    CMainFrame& f = Shown();
    std::set<unsigned> seen;
    int items = 0;
    bool sawDisabled = false;
    for (QAction* title : f.menuBar()->actions()) {
        if (!title->isVisible()) continue;
        QMenu* menu = OpenMenu(f, title->text());
        ASSERT_TRUE(menu) << title->text().toStdString();
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->isVisible() && !a->isEnabled()) sawDisabled = true;
        items += WalkMenu(menu, seen);
        QTest::keyClick(menu, Qt::Key_Escape);
        QApplication::processEvents();
        // Away from the menus, pane 0 is back with its own text.
        EXPECT_EQ(Message(), QString()) << title->text().toStdString();
    }
    // All but the application's own two (About, Print Setup), which this test builds no application for.
    EXPECT_GE(items, 47);
    EXPECT_TRUE(sawDisabled) << "a disabled item (Paste with nothing to paste) shows its prompt too";
    EXPECT_TRUE(seen.count(32856) && seen.count(32868) && seen.count(57667));
    EXPECT_TRUE(Pane0()->isVisible());
    EXPECT_EQ(Pane0()->text(), LoadQString(57345));
}

TEST_F(FrameHelpTest, KeyboardWalkShowsPromptsAndPaneZeroKeepsTheFenText)
{
    CMainFrame& f = Shown();
    View().OnDisplayFen();
    const QString fen = Pane0()->text();
    ASSERT_NE(fen, LoadQString(57345));
    QMenu* file = OpenMenu(f, "&File");
    ASSERT_TRUE(file);
    // Arrowing down from the first item reaches the second command of the menu.
    QTest::keyClick(file, Qt::Key_Down);
    QTest::keyClick(file, Qt::Key_Down);
    ASSERT_TRUE(file->activeAction());
    EXPECT_EQ(Message(), MenuBuilder::Prompt(Id(file->activeAction())));
    EXPECT_FALSE(Message().isEmpty());
    QTest::keyClick(file, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(Message(), QString());
    EXPECT_TRUE(Pane0()->isVisible());
    EXPECT_EQ(Pane0()->text(), fen);
}

TEST_F(FrameHelpTest, ColourPopUpItemsShowTheirPrompts)
{
    CMainFrame& f = Shown();
    QToolButton* marks = Button(f, 32819);
    ASSERT_TRUE(marks && marks->menu());
    QMenu* popup = marks->menu();
    QTimer::singleShot(0, [&] {
        for (QAction* a : popup->actions()) {
            Hover(popup, a);
            EXPECT_EQ(Message(), MenuBuilder::Prompt(Id(a))) << a->text().toStdString();
        }
        popup->close();
    });
    marks->showMenu();
}

// --- keys

TEST_F(FrameHelpTest, AltECopiesInBnxModeRatherThanOpeningTheEditMenu)
{
    CMainFrame& f = Shown();
    EXPECT_FALSE(GlobalModes::bnxCopyPending);
    QTest::keyClick(&View(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(GlobalModes::bnxCopyPending);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    // The other titles' mnemonics still open their menus.
    QTest::keyClick(&View(), Qt::Key_F, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title(), "&File");
    // Inside an open menu the key is the menus': it moves on to the Edit menu, and copies nothing. It
    // comes as the window system brings it, with its Alt pressed first.
    GlobalModes::bnxCopyPending = false;
    PressKey(Qt::Key_E, Qt::AltModifier);
    EXPECT_FALSE(GlobalModes::bnxCopyPending);
    auto* edit = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->title(), "&Edit");
    (void)f;
}

TEST_F(FrameHelpTest, NoKeyIsAmbiguous)
{
    CMainFrame& f = Shown();
    // Every mnemonic of the menu bar against every accelerator: the clashes are known and the accelerator
    // wins them; apart from those, each key reaches one command only.
    std::set<QString> mnemonics;
    for (QAction* title : f.menuBar()->actions())
        mnemonics.insert(QKeySequence::mnemonic(title->text()).toString());
    std::map<QString, std::set<unsigned>> commandsByKey;
    for (QAction* a : f.findChildren<QAction*>())
        if (!a->shortcut().isEmpty()) commandsByKey[a->shortcut().toString()].insert(Id(a));
    std::set<QString> clashes;
    for (auto& [key, ids] : commandsByKey) {
        EXPECT_EQ(ids.size(), 1u) << key.toStdString();
        if (mnemonics.count(key)) clashes.insert(key);
    }
    std::set<QString> winning;
    for (const QKeySequence& k : f.Menus()->WinningAccelerators()) winning.insert(k.toString());
    EXPECT_EQ(clashes, winning);
    EXPECT_EQ(winning, std::set<QString> { "Alt+E" });
}

// --- context help

TEST_F(FrameHelpTest, ContextHelpOnAToolButtonShowsItsCommandInsteadOfRunningIt)
{
    CMainFrame& f = Shown();
    QToolButton* bnx = Button(f, 32856);
    ASSERT_TRUE(bnx);
    QTest::keyClick(&View(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(f.Menus()->InHelpMode());
    QTest::mouseClick(bnx, Qt::LeftButton);
    EXPECT_FALSE(f.Menus()->InHelpMode());
    EXPECT_FALSE(GlobalModes::bnxCopyPending);
    EXPECT_EQ(LastHelpPage(), ":/help/html/commands.htm#c32856");
    ASSERT_TRUE(HelpWindow());
    EXPECT_TRUE(HelpWindow()->isVisible());
    // Out of the mode the button runs its command again.
    QTest::mouseClick(bnx, Qt::LeftButton);
    EXPECT_TRUE(GlobalModes::bnxCopyPending);
}

TEST_F(FrameHelpTest, ContextHelpOnAMenuItemAndOnAnAccelerator)
{
    SettingsState::legalCheckActive = false; // so Add diagram, when it runs, adds the empty board's next
    CMainFrame& f = Shown();
    f.OnContextHelp();
    // The menus still open in the mode; the item picked is explained, not run.
    QMenu* edit = OpenMenu(f, "&Edit");
    ASSERT_TRUE(edit);
    QAction* add = nullptr;
    for (QAction* a : edit->actions())
        if (Id(a) == 140) add = a;
    ASSERT_TRUE(add);
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(add).center());
    EXPECT_EQ(LastHelpPage(), ":/help/html/commands.htm#c140");
    EXPECT_EQ(View().m_nLastIndex, 0) << "Add diagram did not run";
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    f.OnContextHelp();
    QTest::keyClick(&View(), Qt::Key_J, Qt::ControlModifier); // Add diagram
    EXPECT_EQ(LastHelpPage(), ":/help/html/commands.htm#c140");
    EXPECT_EQ(View().m_nLastIndex, 0);
    QTest::keyClick(&View(), Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(View().m_nLastIndex, 1);
}

TEST_F(FrameHelpTest, ContextHelpOnTheBoardShowsTheBoardPageAndPutsNoPiece)
{
    CMainFrame& f = Shown();
    const FontBoard before = View().m_pCurrentDiagram->board;
    f.OnContextHelp();
    const POINT e4 { View().m_rectBoard.left + 5 * View().m_nSquareSize + 5,
        View().m_rectBoard.top + 4 * View().m_nSquareSize + 5 };
    QTest::mouseClick(&View(), Qt::LeftButton, {}, QPoint(e4.x, e4.y));
    EXPECT_EQ(LastHelpPage(), ":/help/html/board.htm");
    EXPECT_EQ(View().m_pCurrentDiagram->board, before);
    EXPECT_FALSE(f.Menus()->InHelpMode());

    f.OnContextHelp();
    QTest::mouseClick(f.statusBar(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(LastHelpPage(), ":/help/html/commands.htm#statusbar");

    // Escape leaves the mode; the next click edits the board again.
    f.OnContextHelp();
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_FALSE(f.Menus()->InHelpMode());
    QTest::mouseClick(&View(), Qt::LeftButton, {}, QPoint(e4.x, e4.y));
    EXPECT_NE(View().m_pCurrentDiagram->board, before);
}

TEST_F(FrameHelpTest, EveryCommandHasAPlaceOnTheCommandsPage)
{
    CMainFrame& f = Shown();
    EnsureResources();
    QFile page(":/help/html/commands.htm");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    std::set<unsigned> ids;
    for (QAction* a : f.findChildren<QAction*>())
        if (Id(a) != 0 && a->isVisible()) ids.insert(Id(a));
    for (unsigned id : CTrueColorToolBar::Buttons())
        if (id != 0) ids.insert(id);
    for (unsigned id : { 381u, 390u, 391u, 392u }) ids.insert(id);
    EXPECT_GT(ids.size(), 60u);
    for (unsigned id : ids)
        EXPECT_TRUE(html.contains(QString("name=\"c%1\"").arg(id))) << "no entry for command " << id;
    EXPECT_TRUE(html.contains("name=\"statusbar\"") && html.contains("name=\"toolbar\""));
    EXPECT_TRUE(QFile::exists(":/help/html/board.htm"));
}

// --- the help window of a modal dialog

TEST_F(FrameHelpTest, HelpOfAModalDialogCanBeUsedWhileTheDialogIsOpen)
{
    Shown();
    CDialogChangeFont dialog(&Frame());
    dialog.m_szHelpPath = HelpPath;
    int pressesInHelp = -1;
    bool dialogStillUsable = false;
    DialogScript dialogs;
    dialogs.Then([&](CDialog& d) {
        QTimer::singleShot(0, &d, [&] {
            QTest::mouseClick(d.findChild<QPushButton*>("IDC_1047"), Qt::LeftButton);
            auto* help = qobject_cast<QTextBrowser*>(HelpWindow());
            if (!help || !help->windowHandle()) {
                d.reject();
                return;
            }
            QApplication::processEvents();
            // A click in the help window reaches it through the window system, as the user's would.
            PressCounter counter(help->viewport());
            const QPoint inside = help->viewport()->mapTo(help, QPoint(20, 20));
            QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, inside);
            pressesInHelp = counter.presses;
            // And the dialog goes on working beside it.
            QTest::mouseClick(d.findChild<QPushButton*>("IDC_1047"), Qt::LeftButton);
            dialogStillUsable = LastHelpPage().find("dial3s6s.htm") != std::string::npos;
            d.reject();
        });
        return d.exec() == QDialog::Accepted ? int(IDOK) : int(IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(pressesInHelp, 1);
    EXPECT_TRUE(dialogStillUsable);
}

// --- lock-key panes

TEST_F(FrameHelpTest, LockPanesShowTheirTextOnlyWhileTheKeyIsOn)
{
    LockKeyScript keys;
    CMainFrame& f = Frame();
    for (int pane = 0; pane < 3; ++pane) EXPECT_EQ(f.Indicator(pane)->text(), QString()) << pane;
    keys.states = { true, false, std::nullopt };
    f.UpdateIndicators();
    EXPECT_EQ(f.Indicator(0)->text(), "none");
    EXPECT_EQ(f.Indicator(1)->text(), QString());
    EXPECT_EQ(f.Indicator(2)->text(), QString()) << "a state the system does not tell is not lit";
    keys.states = { false, true, true };
    f.UpdateIndicators();
    EXPECT_EQ(f.Indicator(0)->text(), QString());
    EXPECT_EQ(f.Indicator(1)->text(), "NUM");
    EXPECT_EQ(f.Indicator(2)->text(), "DEF");
    // The panes keep their width, lit or not.
    EXPECT_GE(f.Indicator(1)->minimumWidth(), f.Indicator(1)->fontMetrics().horizontalAdvance("NUM"));
}

TEST_F(FrameHelpTest, WithoutAWindowSystemThatTellsTheLocksThePanesStayEmpty)
{
    if (QGuiApplication::platformName() != "offscreen") GTEST_SKIP() << "runs offscreen";
    CMainFrame& f = Frame();
    for (auto state : LockKeyStates()) EXPECT_FALSE(state.has_value());
    f.UpdateIndicators();
    for (int pane = 0; pane < 3; ++pane) EXPECT_EQ(f.Indicator(pane)->text(), QString());
}

} // namespace

#ifdef BRENNIX_TEST_X11
// After the Qt headers: Xlib's macros would clash with their names.
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace {

using FrameOnX11 = ProgramTest;

// Locks or unlocks the modifier of a lock key, as pressing the key does, and waits for the server.
void SetLock(Display* display, KeySym key, bool on)
{
    const unsigned mask = key == XK_Caps_Lock ? LockMask : XkbKeysymToModifiers(display, key);
    XkbLockModifiers(display, XkbUseCoreKbd, mask, on ? mask : 0);
    XSync(display, False);
}

TEST_F(FrameOnX11, LockPanesFollowTheKeyboardLights)
{
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "runs on an X server";
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_TRUE(x11 && x11->display());
    Display* display = x11->display();
    SetLock(display, XK_Caps_Lock, false);
    SetLock(display, XK_Num_Lock, false);
    CMainFrame& f = Frame();
    f.UpdateIndicators();
    EXPECT_EQ(f.Indicator(0)->text(), QString());
    EXPECT_EQ(f.Indicator(1)->text(), QString());
    SetLock(display, XK_Caps_Lock, true);
    f.UpdateIndicators();
    EXPECT_EQ(f.Indicator(0)->text(), "none");
    EXPECT_EQ(f.Indicator(1)->text(), QString());
    SetLock(display, XK_Num_Lock, true);
    f.UpdateIndicators();
    EXPECT_EQ(f.Indicator(1)->text(), "NUM");
    SetLock(display, XK_Caps_Lock, false);
    SetLock(display, XK_Num_Lock, false);
    f.UpdateIndicators();
    EXPECT_EQ(f.Indicator(0)->text(), QString());
    EXPECT_EQ(f.Indicator(1)->text(), QString());
    // The server knows the lights, lit or not.
    for (int pane = 0; pane < 2; ++pane) EXPECT_TRUE(LockKeyStates()[size_t(pane)].has_value()) << pane;
}

} // namespace
#endif
