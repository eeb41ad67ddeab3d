#include "platform/ChessFont.h"
#include "platform/ChessFontTable.h"
#include "platform/Clipboard.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "platform/Shell.h"
#include "platform/Strings.h"
#include "tests/support/FakeOpener.h"
#include "tests/support/TestEnvironment.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>
#include <cctype>
#include <cstring>

namespace {

using CopyCommandTest = ProgramTest;

// Font size for copy: what the dialog shows, and what the next copy's \fs says after the OK button.
TEST_F(CopyCommandTest, FontSizeShowsTheCopySizeAndRefusesSizesNoOneCanRead)
{
    struct Case {
        const char* typed; // nullptr: leave the shown size as it is
        bool accepted;
        const char* fontSize; // in the next copy
    };
    const Case cases[] = {
        { nullptr, true, "\\fs71 " }, // squares of 51 keep giving 35.5 points
        { "0", true, "\\fs71 " },
        { "12", true, "\\fs24 " },
        { "1", true, "\\fs2 " },
        { "44", true, "\\fs88 " }, // the largest that fits across a page
        { "44.5", true, "\\fs88 " },
        { "45", false, "\\fs71 " },
        { "200", false, "\\fs71 " },
        { "0.5", false, "\\fs71 " },
        { "nan", false, "\\fs71 " },
        { "inf", false, "\\fs71 " },
        { "-3", false, "\\fs71 " },
        { "201", false, "\\fs71 " },
        { "twelve", false, "\\fs71 " },
        { "", false, "\\fs71 " },
    };
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    ASSERT_EQ(view.m_nSquareSize, 51);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "(as shown)");
        view.m_fCopyFontSize = 0.0f;
        MessageBoxScript boxes;
        DialogScript dialogs;
        QString shown;
        dialogs.Then([&](CDialog& d) {
            auto* edit = d.findChild<QLineEdit*>("IDC_1025");
            shown = edit->text();
            if (c.typed) edit->setText(c.typed);
            d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            // A refused size leaves the dialog open; the user then gives up.
            return d.result() == QDialog::Accepted ? int(IDOK) : int(IDCANCEL);
        });
        view.OnFontSizeForCopy();
        EXPECT_EQ(shown, "35.5");
        EXPECT_EQ(boxes.asked.size(), c.accepted ? 0u : 1u);
        if (!c.accepted && !boxes.asked.empty()) {
            EXPECT_EQ(boxes.asked[0].text, LoadString(41200));
        }
        EXPECT_NE(view.BuildRtfText().find(c.fontSize), std::string::npos)
            << view.BuildRtfText().substr(0, 160);
    }

    // A size that was set is shown as the copies use it, fraction dropped.
    view.m_fCopyFontSize = 10.5f;
    DialogScript dialogs;
    dialogs.Then([](CDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("IDC_1025")->text(), "10");
        return int(IDCANCEL);
    });
    view.OnFontSizeForCopy();
    EXPECT_NE(view.BuildRtfText().find("\\fs20 "), std::string::npos);

    // Large squares give no larger a copy than fits across a page, and the dialog says so.
    view.m_fCopyFontSize = 0.0f;
    view.m_nSquareSize = 80;
    EXPECT_NE(view.BuildRtfText().find("\\fs88 "), std::string::npos);
    dialogs.Then([](CDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("IDC_1025")->text(), "44");
        bool told = false;
        for (QLabel* label : d.findChildren<QLabel*>())
            told = told || label->text().contains("At most 44 points");
        EXPECT_TRUE(told);
        return int(IDCANCEL);
    });
    view.OnFontSizeForCopy();
    EXPECT_EQ(LoadString(41200),
        "Type a font size from 1 to 44 points, or 0 for the size of the squares on screen. A larger diagram "
        "does not fit across a page.");
}

// Fairy boards do not leave as text: Copy (RTF mode) and Copy (BNX mode), which puts the same RTF on the
// clipboard, are both off in fairy mode, from the menu and from their keys.
TEST_F(CopyCommandTest, FairyModeTurnsBothTextCopiesOff)
{
    CPlaviaView& view = ShownView();
    view.SetBoardPosition(1);
    view.OnFairyMode();
    ASSERT_TRUE(GlobalModes::fairyMode);
    CommandRouter& commands = CommandRouter::Instance();
    for (unsigned id : { 57634u, 32856u }) EXPECT_FALSE(commands.Query(id).enabled) << id;
    Clipboard::SetData("left as it was");
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(Clipboard::GetText().value_or(""), "left as it was");
    EXPECT_FALSE(Clipboard::GetRtf().has_value());
    EXPECT_FALSE(GlobalModes::bnxCopyPending);

    view.OnFairyMode();
    ASSERT_FALSE(GlobalModes::fairyMode);
    for (unsigned id : { 57634u, 32856u }) EXPECT_TRUE(commands.Query(id).enabled) << id;
    QTest::keyClick(&view, Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(GlobalModes::bnxCopyPending);
    EXPECT_TRUE(Clipboard::GetRtf().has_value());
}

// The copy names each glyph as the installed font's Unicode map does: the fonts that keep their
// coordinates at other characters than the code page's get escapes, the others keep their bytes.
TEST_F(CopyCommandTest, RtfCopyFollowsTheInstalledFontsCharacterMap)
{
    struct Case {
        int font;
        const char* contains;
    };
    const Case cases[] = {
        { 5, "\\fcharset0 Chess Merida;}" },
        { 5, "\\line \\u193\\'e7tMvWlVmT%" },
        { 5, "/\\u203\\'e8\\u200\\'e9" },
        { 2, "\\fcharset0 Varnok Fairy;}" },
        { 2, "\\line \\u193\\'e7tMvWlVmT%" },
        { 0, "\\fcharset0 Chess Adventurer;}" },
        { 0, "\\line \\'e7tMvWlVmT%" }, // its Unicode map has the glyph at the code page's character
        { 0, "/\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF)" },
    };
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contains);
        if (!ChessFontFace::Find(ChessFontFaceName(c.font)))
            GTEST_SKIP() << "the chess fonts are not installed";
        view.SelectChessFont(c.font);
        view.OnCopyRtf();
        const std::string rtf = Clipboard::GetRtf().value_or("");
        EXPECT_NE(rtf.find(c.contains), std::string::npos) << rtf;
    }
}

TEST_F(CopyCommandTest, MailLinkCarriesTheWholePositionInItsBody)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    // Move counters as typed in the position data, with the characters that would cut or change a
    // link's body.
    view.m_pCurrentDiagram->halfmoveClock = "1&x=2";
    view.m_pCurrentDiagram->fullmoveNumber = "#5+%20?";
    const std::string fen = view.BuildFenText(true);
    ASSERT_NE(fen.find('#'), std::string::npos) << fen;
    ShellScript shell;
    view.OnSendFenMail();
    ASSERT_EQ(shell.opened.size(), 1u);
    const std::string link = shell.opened[0];
    EXPECT_EQ(link.rfind(LoadString(40044), 0), 0u) << link;
    for (char c : link.substr(LoadString(40044).size()))
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || std::strchr("%-._~/", c)) << link;

    // Read as a mail program reads it: the subject, and a body that is the greeting and the FEN.
    const QUrl url(QString::fromStdString(link));
    EXPECT_EQ(url.scheme(), "mailto");
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItems().size(), 2);
    EXPECT_EQ(query.queryItemValue("subject"), "Diagram");
    EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded).toStdString(), "Hello,\r\n\r\nFEN:\r\n" + fen);
}

// Without a mail program the desktop's opener fails, and the user is told so as a link tells it; with
// one nothing is said.
TEST_F(CopyCommandTest, MailWithoutAMailProgramIsReported)
{
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    MessageBoxScript boxes;
    {
        FakeOpener opener(3);
        ASSERT_TRUE(CommandRouter::Instance().Execute(164));
        ASSERT_TRUE(QTest::qWaitFor([] { return PendingShellOpens() == 0; }, 20000)) << "no verdict";
        EXPECT_EQ(opener.Argument().left(25), "mailto:?subject=Diagram&b");
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].text,
            "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename "
            "extension.");
        EXPECT_EQ(boxes.beeps, 1);
    }
    FakeOpener mailer(0);
    ASSERT_TRUE(CommandRouter::Instance().Execute(164));
    ASSERT_TRUE(QTest::qWaitFor([] { return PendingShellOpens() == 0; }, 20000)) << "no verdict";
    EXPECT_FALSE(mailer.Argument().isEmpty());
    EXPECT_EQ(boxes.asked.size(), 1u);
}

} // namespace
