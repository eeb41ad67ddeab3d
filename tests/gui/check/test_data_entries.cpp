#include "dialogs/CEditeurDlg.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "tests/support/TestEnvironment.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

// What the data dialog and the page text editor do with entries they cannot keep as typed: the user
// presses the real OK button, and the dialog either closes with everything whole or stays open and says why.
namespace {

template <class T> T* Control(CDialog& d, const char* name)
{
    T* control = d.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// Presses OK as the user does; the answer is what the dialog made of it.
int PressOk(CDialog& d)
{
    if (auto* ok = d.findChild<QPushButton*>("IDOK"))
        ok->click();
    else
        Control<QDialogButtonBox>(d, "buttons")->button(QDialogButtonBox::Ok)->click();
    return d.result() == QDialog::Accepted ? IDOK : IDCANCEL;
}

QString Selected(QPlainTextEdit* edit)
{
    return edit->textCursor().selectedText();
}

class DataEntriesTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        View().m_bEpdMode = false;
        View().SetBoardPosition(1);
    }
    DiagramRecord& Current() { return *View().m_pCurrentDiagram; }
    MessageBoxScript boxes;
    DialogScript dialogs;
};

TEST_F(DataEntriesTest, WhatTheDiagramBroughtIsKeptWhole)
{
    std::string longComment;
    for (int i = 0; longComment.size() < 1200; ++i) longComment += "Line " + std::to_string(i) + "\r\n";
    Current().comment = longComment;
    Current().commentOpcode = "c0";
    Current().fullmoveNumber = "1234";
    Current().halfmoveClock = "12345";
    dialogs.Then([](CDialog& d) {
        EXPECT_EQ(Control<QLineEdit>(d, "IDC_1005")->text(), "1234");
        Control<QRadioButton>(d, "IDC_110")->setChecked(true); // only the side to move changes
        return PressOk(d);
    });
    View().OnEditDiagramDatas();
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(Current().blackToMove, 1u);
    EXPECT_EQ(Current().comment, longComment);
    EXPECT_EQ(Current().fullmoveNumber, "1234");
    EXPECT_EQ(Current().halfmoveClock, "12345");

    // A shorter edit of the long comment is kept too; only growing beyond what it brought is refused.
    const std::string shorter = longComment.substr(0, longComment.size() - 8);
    dialogs.Then([&shorter](CDialog& d) {
        auto* comment = Control<QPlainTextEdit>(d, "IDC_112");
        comment->setPlainText(MultiLineToQt(shorter));
        return PressOk(d);
    });
    View().OnEditDiagramDatas();
    EXPECT_EQ(Current().comment, shorter);
}

TEST_F(DataEntriesTest, AnOverlongCommentIsRefusedWithItsExcessSelected)
{
    const QString typed = QString(1000, u'a') + "bcd";
    dialogs.Then([&](CDialog& d) {
        auto* comment = Control<QPlainTextEdit>(d, "IDC_112");
        comment->setPlainText(typed);
        EXPECT_EQ(PressOk(d), IDCANCEL); // the dialog stays open
        EXPECT_EQ(Selected(comment), "bcd");
        comment->setPlainText(QString(1000, u'a'));
        return PressOk(d);
    });
    View().OnEditDiagramDatas();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text,
        "The comment holds 1003 characters, more than the 1000 it can hold; the part beyond is selected. "
        "Shorten it, then press OK again.");
    EXPECT_EQ(Current().comment, std::string(1000, 'a'));
}

TEST_F(DataEntriesTest, RefusedThenCancelledChangesNothing)
{
    Current().comment = "Kept";
    dialogs.Then([](CDialog& d) {
        Control<QRadioButton>(d, "IDC_110")->setChecked(true);
        Control<QPlainTextEdit>(d, "IDC_112")->setPlainText(QString(1001, u'x'));
        EXPECT_EQ(PressOk(d), IDCANCEL);
        return int(IDCANCEL);
    });
    View().OnEditDiagramDatas();
    EXPECT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(Current().comment, "Kept");
    EXPECT_EQ(Current().blackToMove, 0u);
    EXPECT_FALSE(View().m_bModified);
}

struct ForeignCase {
    const char* name;
    QString typed;
    const char* listed;
    QString selected;
};
void PrintTo(const ForeignCase& c, std::ostream* out)
{
    *out << c.name;
}

class ForeignCharacters : public DataEntriesTest, public ::testing::WithParamInterface<ForeignCase> { };

TEST_P(ForeignCharacters, AreReportedInTheCommentBeforeAnythingChanges)
{
    const ForeignCase& c = GetParam();
    Current().comment = "Before";
    dialogs.Then([&c](CDialog& d) {
        auto* comment = Control<QPlainTextEdit>(d, "IDC_112");
        comment->setPlainText(c.typed);
        EXPECT_EQ(PressOk(d), IDCANCEL);
        EXPECT_EQ(Selected(comment), c.selected);
        return int(IDCANCEL);
    });
    View().OnEditDiagramDatas();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text,
        std::string(
            "A diagram file holds only the characters of the Western European code page (Windows-1252), "
            "so these cannot be stored: ")
            + c.listed + ". The first one is selected: remove or replace them, then press OK again.");
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONWARNING));
    EXPECT_EQ(Current().comment, "Before");
}

INSTANTIATE_TEST_SUITE_P(DataDialog, ForeignCharacters,
    ::testing::Values(ForeignCase { "Cyrillic", QString::fromUtf8("Study: \u042d\u0442\u044e\u0434 \u042d"),
                          "U+042D, U+0442, U+044E, U+0434", QString::fromUtf8("\u042d") },
        ForeignCase {
            "Chinese", QString::fromUtf8("\u5c06\u519b!"), "U+5C06, U+519B", QString::fromUtf8("\u5c06") },
        ForeignCase { "BeyondTheBasicPlane", QString::fromUtf8("Mate \U0001F451 in two\n\u0100"),
            "U+1F451, U+0100", QString::fromUtf8("\U0001F451") }),
    [](const ::testing::TestParamInfo<ForeignCase>& info) { return info.param.name; });

TEST_F(DataEntriesTest, EveryWesternCharacterPassesUnchanged)
{
    // Every byte a comment can hold, line breaks and no-break space included.
    std::string all;
    for (int b = 0x20; b <= 0xFF; ++b) {
        all += static_cast<char>(b);
        if (b % 32 == 31) all += "\r\n";
    }
    Current().comment = all;
    dialogs.Then([](CDialog& d) { return PressOk(d); });
    View().OnEditDiagramDatas();
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(Current().comment, all);

    // Typed (not loaded) the same characters pass too.
    dialogs.Then([&all](CDialog& d) {
        Control<QPlainTextEdit>(d, "IDC_112")->setPlainText(MultiLineToQt(all) + QChar(0x20AC));
        return PressOk(d);
    });
    View().OnEditDiagramDatas();
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(Current().comment, all + "\x80");
}

TEST_F(DataEntriesTest, PageTextEditorReportsForeignCharactersInEachText)
{
    struct Field {
        const char* name;
        bool multiLine;
    };
    for (Field field :
        { Field { "IDC_1030", false }, Field { "IDC_1031", true }, Field { "IDC_1032", false } }) {
        boxes.asked.clear();
        dialogs.Then([&](CDialog& d) {
            dialogs.Then([&](CDialog& titles) {
                const QString foreign = QString::fromUtf8("\u0417\u0430\u0434\u0430\u0447\u0438");
                if (field.multiLine)
                    Control<QPlainTextEdit>(titles, field.name)->setPlainText("Top\n" + foreign);
                else
                    Control<QLineEdit>(titles, field.name)->setText("Page " + foreign);
                EXPECT_EQ(PressOk(titles), IDCANCEL) << field.name;
                if (!field.multiLine) {
                    EXPECT_EQ(Control<QLineEdit>(titles, field.name)->selectedText(), QString(foreign[0]));
                }
                // Mended, the page texts go through.
                if (field.multiLine)
                    Control<QPlainTextEdit>(titles, field.name)->setPlainText("Top\nProblems");
                else
                    Control<QLineEdit>(titles, field.name)->setText("Problems");
                return PressOk(titles);
            });
            Control<QPushButton>(d, "IDC_1029")->click();
            return PressOk(d);
        });
        View().OnEditDiagramDatas();
        ASSERT_EQ(boxes.asked.size(), 1u) << field.name;
        EXPECT_NE(boxes.asked[0].text.find("U+0417, U+0430, U+0434, U+0447, U+0438"), std::string::npos);
    }
    EXPECT_EQ(View().m_pCurrentPage->title, "Problems");
    EXPECT_EQ(View().m_pCurrentPage->topText, "Top\r\nProblems");
    EXPECT_EQ(View().m_pCurrentPage->infoText, "Problems");
}

} // namespace
