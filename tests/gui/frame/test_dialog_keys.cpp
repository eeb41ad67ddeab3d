// Every dialog under the keyboard: Tab reaches each control in order, F1 opens the dialog's help.
#include "ActiveFrame.h"
#include "app/CAboutDlg.h"
#include "dialogs/CDAllerNum.h"
#include "dialogs/CDFontSize.h"
#include "dialogs/CDSaveWarning.h"
#include "dialogs/CDTaille.h"
#include "dialogs/CDWarningSupp.h"
#include "dialogs/CDialogChangeFont.h"
#include "dialogs/CDialog_Errors.h"
#include "dialogs/CEditeurDlg.h"
#include "dialogs/CHyperLink.h"
#include "dialogs/CNumDiag.h"
#include "dialogs/CPgnImport.h"
#include "dialogs/CPreferences.h"
#include "dialogs/CSetPieces.h"
#include "platform/Help.h"
#include "platform/Modal.h"
#include "platform/Shell.h"
#include "tests/support/TestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolTip>
#include <QWindow>
#include <functional>
#include <memory>

namespace {

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<CDialog>(QWidget*)> make;
    QStringList tabOrder; // the controls Tab goes through, from the first; a button without name by its text
    const char* helpPage; // the page F1 opens; empty when the dialog has no help
};
void PrintTo(const DialogCase& c, std::ostream* os)
{
    *os << c.name;
}

OpenErrorList SomeErrors()
{
    OpenErrorList list;
    list.Add(2, LegalityCode(1));
    list.Add(5, LegalityCode(3));
    return list;
}
const OpenErrorList someErrors = SomeErrors();

template <class Dialog>
std::unique_ptr<CDialog> WithHelp(QWidget* parent, const std::function<void(Dialog&)>& more = {})
{
    auto dialog = std::make_unique<Dialog>(parent);
    dialog->m_szHelpPath = HelpPath;
    if (more) more(*dialog);
    return dialog;
}

const QStringList okCancel = { "IDOK", "IDCANCEL" };

const DialogCase dialogs[] = {
    { "About", [](QWidget* p) { return std::make_unique<CAboutDlg>(p); }, { "OK" }, "" },
    { "GoToNumber", [](QWidget* p) { return WithHelp<CDAllerNum>(p, [](auto& d) { d.m_nCount = 5; }); },
        QStringList { "IDC_1011" } + okCancel, "gotonumber.htm" },
    { "FontSize", [](QWidget* p) { return std::make_unique<CDFontSize>(p); }, { "IDC_1025", "OK", "Cancel" },
        "" },
    { "SaveWarning", [](QWidget* p) { return WithHelp<CDSaveWarning>(p); },
        { "IDOK", "IDC_1028", "IDCANCEL" }, "savewarning.htm" },
    { "DiagramSize", [](QWidget* p) { return std::make_unique<CDTaille>(p); }, { "IDC_1011", "OK", "Cancel" },
        "" },
    { "RemoveWarning", [](QWidget* p) { return std::make_unique<CDWarningSupp>(p); },
        QStringList { "IDC_1023" } + okCancel, "" },
    { "ChessFonts", [](QWidget* p) { return WithHelp<CDialogChangeFont>(p); },
        QStringList { "IDC_1039", "IDC_1042", "IDC_1043", "IDC_1047" } + okCancel, "dial3s6s.htm" },
    { "OpenErrors",
        [](QWidget* p) { return WithHelp<CDialog_Errors>(p, [](auto& d) { d.m_pErrors = &someErrors; }); },
        QStringList { "IDC_1010" } + okCancel, "openerrors.htm" },
    { "DiagramDatas", [](QWidget* p) { return WithHelp<CEditeurDlg>(p); },
        QStringList { "IDC_106", "IDC_105", "IDC_107", "IDC_108", "IDC_109", "IDC_120", "IDC_1005",
            "IDC_1063", "IDC_112", "IDC_1029", "IDC_1026" }
            + okCancel,
        "dial3s6q.htm" },
    { "PageTexts", [](QWidget* p) { return std::make_unique<CTITLE>(p); },
        { "IDC_1030", "IDC_1031", "IDC_1032", "OK", "Cancel" }, "" },
    { "StartNumber", [](QWidget* p) { return std::make_unique<CNumDiag>(p); },
        { "IDC_1026", "IDOK", "IDC_150", "IDCANCEL" }, "" },
    { "PgnImport",
        [](QWidget* p) {
            return WithHelp<CPgnImport>(p, [](auto& d) {
                d.m_strFilePath = std::string(BRENNIX_TEST_DATA) + "/files/two.pgn";
                d.m_strFontFace = "Chess Merida";
            });
        },
        QStringList {
            "IDC_1070", "IDC_1069", "IDC_1085", "IDC_1091", "IDC_1082", "IDC_1083", "IDC_1084", "IDC_1090" }
            + okCancel,
        "openpgn.htm" },
    { "PreferencesNineAPage",
        [](QWidget* p) { return WithHelp<CPreferences>(p, [](auto& d) { d.m_nBlend = 190; }); },
        QStringList { "IDC_1002", "IDC_1000", "IDC_1007", "IDC_1003", "IDC_1005", "IDC_1006", "IDC_1022",
            "IDC_1038", "IDC_1095", "IDC_1013", "IDC_1033", "IDC_1034", "IDC_1035", "IDC_1036", "IDC_1037",
            "IDC_3" }
            + okCancel,
        "dial3s6r.htm" },
    { "PreferencesOneAPage",
        [](QWidget* p) {
            return WithHelp<CPreferences>(p, [](auto& d) {
                d.m_nBlend = 190;
                d.m_nPrintMode = 1;
                d.m_nDiagramSize = 2;
                d.m_bPrintCoords = true;
            });
        },
        QStringList { "IDC_1002", "IDC_1000", "IDC_1007", "IDC_1003", "IDC_1005", "IDC_1006", "IDC_1022",
            "IDC_1038", "IDC_1095", "IDC_1014", "IDC_1015", "IDC_1018", "IDC_1033", "IDC_1049", "IDC_1034",
            "IDC_1035", "IDC_1036", "IDC_1037", "IDC_3" }
            + okCancel,
        "dial3s6r.htm" },
    { "Language",
        [](QWidget* p) { return WithHelp<CSetPieces>(p, [](auto& d) { d.m_strFontFace = "Chess Merida"; }); },
        QStringList { "IDC_1094", "IDC_1093", "IDC_1028" } + okCancel, "lang.htm" },
};

QString Name(const QWidget* w)
{
    if (!w) return "(nothing)";
    if (!w->objectName().isEmpty()) return w->objectName();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text().remove('&');
    return w->metaObject()->className();
}

class DialogKeys : public ProgramTest, public ::testing::WithParamInterface<DialogCase> {
protected:
    void TearDown() override
    {
        if (QWidget* help = HelpWindow()) delete help;
        ProgramTest::TearDown();
    }
    // Runs the dialog as the program does; `user` acts on it once it is on the screen and active.
    void Run(const std::function<void(CDialog&)>& user)
    {
        std::unique_ptr<CDialog> dialog = GetParam().make(&Frame());
        DialogScript script;
        script.Then([&](CDialog& d) {
            ActiveDialog(d);
            user(d);
            d.hide();
            return int(IDCANCEL);
        });
        dialog->DoModal();
    }
};

// From the first control, Tab goes through every control in reading order and comes back to it;
// Shift+Tab goes the same way back.
TEST_P(DialogKeys, TabReachesEveryControlInOrder)
{
    Run([](CDialog& d) {
        const QStringList& expected = GetParam().tabOrder;
        QWidget* first = d.findChild<QWidget*>(expected.front());
        if (!first) // a button of a button box, known by its text
            for (QAbstractButton* b : d.findChildren<QAbstractButton*>())
                if (Name(b) == expected.front()) first = b;
        ASSERT_TRUE(first);
        first->setFocus(Qt::TabFocusReason);
        QStringList forward;
        for (int i = 0; i < expected.size(); ++i) {
            forward << Name(QApplication::focusWidget());
            PressKey(Qt::Key_Tab);
        }
        EXPECT_EQ(forward.join(' ').toStdString(), expected.join(' ').toStdString());
        EXPECT_EQ(QApplication::focusWidget(), first)
            << "Tab goes on to " << Name(QApplication::focusWidget()).toStdString();
        QStringList backward;
        for (int i = 0; i < expected.size(); ++i) {
            PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
            backward.prepend(Name(QApplication::focusWidget()));
        }
        EXPECT_EQ(backward.join(' ').toStdString(), expected.join(' ').toStdString());
    });
}

// F1 opens the help page of the dialog wherever the focus is in it; a dialog without help ignores it.
TEST_P(DialogKeys, F1OpensTheDialogsHelp)
{
    const std::string page = GetParam().helpPage;
    Run([&](CDialog& d) {
        for (const QString& control : { GetParam().tabOrder.front(), GetParam().tabOrder.back() }) {
            if (QWidget* w = d.findChild<QWidget*>(control)) w->setFocus(Qt::TabFocusReason);
            if (QWidget* help = HelpWindow()) {
                delete help;
                QApplication::setActiveWindow(&d);
                EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
            }
            PressKey(Qt::Key_F1);
            if (page.empty()) {
                EXPECT_EQ(HelpWindow(), nullptr) << control.toStdString();
                continue;
            }
            ASSERT_TRUE(HelpWindow()) << "F1 on " << control.toStdString() << " opened no help";
            EXPECT_TRUE(HelpWindow()->isVisible());
            EXPECT_EQ(LastHelpPage(), ":/help/html/" + page) << control.toStdString();
            EXPECT_TRUE(d.isVisible()) << "the dialog stays";
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogKeys, ::testing::ValuesIn(dialogs),
    [](const auto& info) { return std::string(info.param.name); });

// The comment box and the page text take Tab as the other boxes do; Ctrl+Tab types a tab in them.
TEST_F(ProgramTest, TextBoxesLeaveWithTabAndTypeATabWithCtrlTab)
{
    for (const char* boxName : { "IDC_112", "IDC_1031" }) {
        std::unique_ptr<CDialog> dialog = std::string(boxName) == "IDC_112"
            ? std::unique_ptr<CDialog>(std::make_unique<CEditeurDlg>(&Frame()))
            : std::unique_ptr<CDialog>(std::make_unique<CTITLE>(&Frame()));
        DialogScript script;
        script.Then([&](CDialog& d) {
            ActiveDialog(d);
            auto* box = d.findChild<QPlainTextEdit*>(boxName);
            EXPECT_TRUE(box);
            if (!box) return int(IDCANCEL);
            box->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(QApplication::focusWidget(), "a");
            PressKey(Qt::Key_Tab, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), "b");
            EXPECT_EQ(box->toPlainText().toStdString(), "a\tb") << boxName;
            PressKey(Qt::Key_Tab);
            EXPECT_NE(QApplication::focusWidget(), box) << boxName << ": Tab stays in the box";
            EXPECT_EQ(box->toPlainText().toStdString(), "a\tb") << boxName;
            d.hide();
            return int(IDCANCEL);
        });
        dialog->DoModal();
    }
}

// Choosing one diagram a page with the arrow keys brings the sizes in reach of Tab, at the chosen one.
TEST_F(ProgramTest, PreferencesSizesAreReachedOnceOneDiagramAPageIsChosen)
{
    CPreferences dialog(&Frame());
    dialog.m_nBlend = 190;
    dialog.m_nDiagramSize = 0;
    DialogScript script;
    script.Then([&](CDialog& d) {
        ActiveDialog(d);
        d.findChild<QWidget*>("IDC_1013")->setFocus(Qt::TabFocusReason);
        PressKey(Qt::Key_Down);
        EXPECT_EQ(Name(QApplication::focusWidget()), "IDC_1014");
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(Name(QApplication::focusWidget()), "IDC_1017") << "Big, the size chosen";
        PressKey(Qt::Key_Left);
        EXPECT_EQ(Name(QApplication::focusWidget()), "IDC_1016");
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(Name(QApplication::focusWidget()), "IDC_1018");
        PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Name(QApplication::focusWidget()), "IDC_1016") << "the stop follows the choice";
        d.hide();
        return int(IDOK);
    });
    dialog.DoModal();
    EXPECT_EQ(dialog.m_nPrintMode, 1);
    EXPECT_EQ(dialog.m_nDiagramSize, 1);
}

// The font dialog's download link is reached with Tab and followed with Space or Enter.
TEST_F(ProgramTest, FontDownloadLinkIsFollowedFromTheKeyboard)
{
    ShellScript shell;
    CDialogChangeFont dialog(&Frame());
    dialog.m_szHelpPath = HelpPath;
    DialogScript script;
    script.Then([&](CDialog& d) {
        ActiveDialog(d);
        auto* link = d.findChild<CHyperLink*>("IDC_1043");
        EXPECT_TRUE(link);
        d.findChild<QWidget*>("IDC_1039")->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 5 && QApplication::focusWidget() != link; ++i) PressKey(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), link);
        PressKey(Qt::Key_Space);
        PressKey(Qt::Key_Return);
        d.hide();
        return int(IDCANCEL);
    });
    dialog.DoModal();
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], shell.opened[1]);
    EXPECT_EQ(shell.opened[0].rfind("https://", 0), 0u) << shell.opened[0];
}

// Runs offscreen and on an X server, whose pop-ups keep the click that closes them.
using DialogHelpKeys = ProgramTest;

// Shift+F1 tells what the control with the focus does; the next click does what it always does.
TEST_F(DialogHelpKeys, ShiftF1KeepsTheNextClick)
{
    CPreferences dialog(&Frame());
    dialog.m_szHelpPath = HelpPath;
    dialog.m_nBlend = 190;
    QString shown;
    bool toggled = false;
    DialogScript script;
    script.Then([&](CDialog& d) {
        ActiveDialog(d);
        d.findChild<QWidget*>("IDC_1006")->setFocus(Qt::TabFocusReason);
        PressKey(Qt::Key_F1, Qt::ShiftModifier);
        shown = QToolTip::isVisible() ? QToolTip::text() : QString();
        // A pop-up would take the next click for itself, to close.
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        auto* warn = d.findChild<QCheckBox*>("IDC_1022");
        const bool before = warn->isChecked();
        QTest::mouseClick(warn, Qt::LeftButton, {}, QPoint(5, warn->height() / 2));
        toggled = warn->isChecked() != before;
        d.hide();
        return int(IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(shown.toStdString(), HelpTopicText("preferences.txt", 4));
    EXPECT_TRUE(toggled) << "the click after Shift+F1 was swallowed";
}

} // namespace
