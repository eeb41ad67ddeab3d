// Keys as the user presses them: delivered through the application to the window and widget that have
// the focus, as the window system delivers them.
#include "ActiveFrame.h"
#include "platform/Commands.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

namespace {

class Keyboard : public ProgramTest {
protected:
    CMainFrame& Shown() { return ActiveFrame(Frame()); }
    // A key pressed and released where the window system sends it: to the active window, with its
    // modifier keys pressed first. A menu is no window of the window system's: it takes its keys from
    // the window it was opened in.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget* active = QApplication::activeWindow();
        ASSERT_TRUE(active && active->windowHandle());
        QTest::keyClick(active->windowHandle(), key, modifiers);
        QApplication::processEvents();
    }
    static QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
};

TEST_F(Keyboard, AltEInAnOpenMenuMovesToTheEditMenu)
{
    Shown();
    Press(Qt::Key_F, Qt::AltModifier);
    QMenu* file = OpenMenu();
    ASSERT_TRUE(file);
    ASSERT_EQ(file->title(), "&File");
    Press(Qt::Key_E, Qt::AltModifier);
    EXPECT_FALSE(GlobalModes::bnxCopyPending) << "Alt+E made a BNX copy";
    QMenu* edit = OpenMenu();
    ASSERT_TRUE(edit) << "the menus were closed";
    EXPECT_EQ(edit->title(), "&Edit");
    Press(Qt::Key_Escape);
    Press(Qt::Key_Escape);
    // Outside the menus the key is the copy's.
    Press(Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(GlobalModes::bnxCopyPending);
}

// Alt alone, pressed and released, leaves the menus, as it does everywhere.
TEST_F(Keyboard, AltAloneInAnOpenMenuClosesIt)
{
    Shown();
    Press(Qt::Key_V, Qt::AltModifier);
    ASSERT_TRUE(OpenMenu());
    Press(Qt::Key_Alt);
    EXPECT_EQ(OpenMenu(), nullptr);
    EXPECT_FALSE(GlobalModes::bnxCopyPending);
}

} // namespace
