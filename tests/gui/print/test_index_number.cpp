#include "platform/Modal.h"
#include "tests/support/TestEnvironment.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

using IndexNumberTest = ProgramTest;

TEST_F(IndexNumberTest, DefaultShowsOneAndOkSetsTheStartNumber)
{
    CPlaviaView& view = View();
    view.m_nStartNumber = 7;
    DialogScript dialogs;
    dialogs.Then([](CDialog& d) {
        auto* edit = d.findChild<QLineEdit*>("IDC_1026");
        EXPECT_EQ(edit->text(), "7");
        d.findChild<QPushButton*>("IDC_150")->click();
        EXPECT_EQ(edit->text(), "1");
        edit->setText("5");
        return int(IDOK);
    });
    view.OnFileChangeIndexNumber();
    EXPECT_EQ(view.m_nStartNumber, 5);
    EXPECT_TRUE(view.m_bModified);

    dialogs.Then([](CDialog& d) {
        d.findChild<QLineEdit*>("IDC_1026")->setText("0");
        return int(IDCANCEL);
    });
    view.OnFileChangeIndexNumber();
    EXPECT_EQ(view.m_nStartNumber, 5);
}

} // namespace
