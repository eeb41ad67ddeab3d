#include "platform/MessageBox.h"
#include "platform/Modal.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Closes any box or dialog that is really shown, as soon as its own event loop runs, so that a test
// of the scripts fails instead of waiting for a user.
class RealWindowCloser {
public:
    RealWindowCloser()
    {
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget* shown = QApplication::activeModalWidget()) {
                ++closed;
                shown->close();
            }
        });
        timer.start();
    }
    int closed = 0;

private:
    QTimer timer;
};

// A test that scripts its own answers for a while hands the boxes back to the script that was there
// before it (the test program's own, which keeps every unscripted box from being shown).
TEST(Scripts, BoxesGoBackToTheEnclosingScript)
{
    MessageBoxScript outer;
    outer.Answer(IDNO);
    {
        MessageBoxScript inner;
        EXPECT_EQ(AfxMessageBox("inner", MB_YESNO), IDYES);
        EXPECT_EQ(inner.asked.size(), 1u);
    }
    RealWindowCloser closer;
    EXPECT_EQ(AfxMessageBox("outer", MB_YESNO), IDNO);
    ASSERT_EQ(outer.asked.size(), 1u);
    EXPECT_EQ(outer.asked[0].text, "outer");
    EXPECT_EQ(closer.closed, 0);
}

TEST(Scripts, DialogsGoBackToTheEnclosingScript)
{
    DialogScript outer;
    outer.Then([](CDialog&) { return int(IDOK); });
    {
        DialogScript inner;
        CDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(inner.shown, 1);
    }
    RealWindowCloser closer;
    CDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(outer.shown, 1);
    EXPECT_EQ(closer.closed, 0);
}

} // namespace
