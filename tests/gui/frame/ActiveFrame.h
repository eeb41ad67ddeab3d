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
