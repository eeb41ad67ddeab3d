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
    static QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
};

TEST_F(Keyboard, AltEInAnOpenMenuMovesToTheEditMenu)
{
    Shown();
    PressKey(Qt::Key_F, Qt::AltModifier);
    QMenu* file = OpenMenu();
    ASSERT_TRUE(file);
    ASSERT_EQ(file->title(), "&File");
    PressKey(Qt::Key_E, Qt::AltModifier);
    EXPECT_FALSE(GlobalModes::bnxCopyPending) << "Alt+E made a BNX copy";
    QMenu* edit = OpenMenu();
    ASSERT_TRUE(edit) << "the menus were closed";
    EXPECT_EQ(edit->title(), "&Edit");
    PressKey(Qt::Key_Escape);
    PressKey(Qt::Key_Escape);
    // Outside the menus the key is the copy's.
    PressKey(Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(GlobalModes::bnxCopyPending);
}

// Alt alone, pressed and released, leaves the menus, as it does everywhere.
TEST_F(Keyboard, AltAloneInAnOpenMenuClosesIt)
{
    Shown();
    PressKey(Qt::Key_V, Qt::AltModifier);
    ASSERT_TRUE(OpenMenu());
    PressKey(Qt::Key_Alt);
    EXPECT_EQ(OpenMenu(), nullptr);
    EXPECT_FALSE(GlobalModes::bnxCopyPending);
}

} // namespace
