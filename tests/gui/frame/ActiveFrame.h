#pragma once

#include "app/CMainFrame.h"
#include "view/CPlaviaView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

// The main window on the screen, active, with the keyboard focus on the board, as the user finds it.
inline CMainFrame& ActiveFrame(CMainFrame& frame)
{
    frame.show();
    QApplication::setActiveWindow(&frame);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.View()->setFocus();
    return frame;
}

// A dialog on the screen and active, as the user sees it while it runs.
inline void ActiveDialog(QWidget& dialog)
{
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// Counts the mouse presses that reach a widget, while it lives.
class PressCounter : public QObject {
public:
    explicit PressCounter(QWidget* watched)
        : watched(watched)
    {
        watched->installEventFilter(this);
    }
    ~PressCounter() override { watched->removeEventFilter(this); }
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonPress) ++presses;
        return false;
    }

private:
    QWidget* watched;
};

// A key pressed and released where the window system sends it: to the active window, which gives it to
// its focus widget or to the menu open in it, with the modifier keys pressed first. A window manager
// moves the activation at its own pace: the key waits for an active window.
inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::qWaitFor([] { return QApplication::activeWindow() != nullptr; }, 2000);
    QWidget* active = QApplication::activeWindow();
    ASSERT_TRUE(active && active->windowHandle());
    QTest::keyClick(active->windowHandle(), key, modifiers);
    QApplication::processEvents();
}
