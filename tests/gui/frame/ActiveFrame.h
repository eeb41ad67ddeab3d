#pragma once

#include "app/CMainFrame.h"
#include "view/CPlaviaView.h"

#include <QApplication>
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
