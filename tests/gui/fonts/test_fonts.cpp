#include "dialogs/CDialogChangeFont.h"
#include "dialogs/CHyperLink.h"
#include "platform/ChessFont.h"
#include "platform/ChessFontTable.h"
#include "platform/Clipboard.h"
#include "platform/Commands.h"
#include "platform/Help.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Strings.h"
#include "tests/support/FakeOpener.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

using namespace Win32;

namespace {

std::vector<RegistryValue> Fonts(std::initializer_list<const char*> names)
{
    std::vector<RegistryValue> values;
    for (const char* n : names) values.push_back({ n, "font.ttf" });
    return values;
}

std::vector<int> Installed()
{
    std::vector<int> found;
    for (int i = 0; i < ChessFontCount; ++i)
        if (installedChessFonts[size_t(i)]) found.push_back(i);
    return found;
}

// --- the scan of the Fonts key

TEST(FontScan, FaceNamesArePrefixesOfTheValueNamesInAnyCase)
{
    RegistryScript registry;
    registry.SetKey(HKEY_LOCAL_MACHINE, FontsKey,
        Fonts({ "Arial (TrueType)", "Chess Merida (TrueType)", "CHESS CASES (TrueType)",
            "chess motif bold (TrueType)", "Chess Lin (TrueType)", "Varnok Fairy (TrueType)",
            "Chess Kingdom" }));
    // The user's own fonts: one the machine has as well, one it has not.
    registry.SetKey(HKEY_CURRENT_USER, "software\\microsoft\\windows nt\\currentversion\\fonts",
        Fonts({ "Chess Merida (TrueType)", "Chess Berlin Regular (TrueType)" }));
    ScanInstalledChessFonts();
    // Merida 5, Cases 1, Motif 3, Fairy 2, Kingdom 10, Berlin 16; "Chess Lin" names no font of the table.
    EXPECT_EQ(Installed(), (std::vector<int> { 1, 2, 3, 5, 10, 16 }));
}

TEST(FontScan, MissingKeysAndOverlongValuesEndTheWalkOfTheirRoot)
{
    RegistryScript registry;
    registry.SetKey(HKEY_LOCAL_MACHINE, FontsKey,
        Fonts({ "Chess Merida (TrueType)", std::string(300, 'x').c_str(), "Chess Cases (TrueType)" }));
    ScanInstalledChessFonts(); // no key for the user: that walk ends at once
    EXPECT_EQ(Installed(), (std::vector<int> { 5 }));
    RegistryScript none;
    ScanInstalledChessFonts();
    EXPECT_TRUE(Installed().empty());
}

TEST(FontScan, EnumRegValuesOpensWalksAndCloses)
{
    RegistryScript registry;
    registry.SetKey(HKEY_LOCAL_MACHINE, "Key", { { "one", "1" }, { "two", "2" } });
    std::string name, data;
    EXPECT_EQ(EnumRegValues(HKEY_LOCAL_MACHINE, "Missing", &name, &data), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(EnumRegValues(HKEY_LOCAL_MACHINE, "Key", &name, &data), ERROR_SUCCESS);
    EXPECT_EQ(name, "one");
    EXPECT_EQ(data, "1");
    EXPECT_EQ(EnumRegValues(HKEY_LOCAL_MACHINE, nullptr, &name, &data), ERROR_SUCCESS);
    EXPECT_EQ(name, "two");
    EXPECT_EQ(EnumRegValues(HKEY_LOCAL_MACHINE, "", &name, &data), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(name, "");
    EXPECT_EQ(EnumRegValues(HKEY_LOCAL_MACHINE, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(EnumRegValues(HKEY_LOCAL_MACHINE, "", &name, &data), ERROR_NO_MORE_ITEMS);
}

TEST(FontScan, TheDesktopListsTheInstalledChessFontsUnderTheMachine)
{
    if (!ChessFontFace::Find("Chess Merida"))
        GTEST_SKIP() << "Chess Merida is not installed (run scripts/setup.sh)";
    auto key = ReadRegistryKey(HKEY_LOCAL_MACHINE, FontsKey);
    ASSERT_TRUE(key.has_value());
    bool merida = false;
    for (const RegistryValue& v : *key) merida = merida || v.name == "Chess Merida (TrueType)";
    EXPECT_TRUE(merida);
    ScanInstalledChessFonts();
    EXPECT_TRUE(installedChessFonts[5]);
    EXPECT_FALSE(installedChessFonts[4]); // "Chess Millennia-D" is not the "Millennia-L" face
}

// --- the Chess fonts command

class FontCommandTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        // Installed: Cases, Merida, Marroquin, Berlin, Varnok Fairy.
        registry.SetKey(HKEY_LOCAL_MACHINE, FontsKey,
            Fonts({ "Chess Merida (TrueType)", "Chess Cases (TrueType)", "Chess Marroquin (TrueType)",
                "Chess Berlin (TrueType)", "Varnok Fairy (TrueType)" }));
    }
    static QListWidget* List(CDialog& d, const char* name) { return d.findChild<QListWidget*>(name); }
    static QStringList Names(QListWidget* list)
    {
        QStringList names;
        for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
        return names;
    }
    static void Choose(QListWidget* list, const QString& name)
    {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == name) list->setCurrentRow(i);
    }
    RegistryScript registry;
    DialogScript dialogs;
    MessageBoxScript boxes;
};

TEST_F(FontCommandTest, DialogListsBothSidesInAlphabeticalOrder)
{
    AppSettings::FontFaceName = 5; // Chess Merida
    CPlaviaView& view = View();
    bool checked = false;
    dialogs.Then([&](CDialog& d) {
        QListWidget* installed = List(d, "IDC_1039");
        QListWidget* others = List(d, "IDC_1042");
        EXPECT_EQ(Names(installed),
            (QStringList {
                "Chess Berlin", "Chess Cases", "Chess Marroquin", "Chess Merida", "Varnok Fairy" }));
        EXPECT_EQ(Names(others),
            (QStringList { "Chess Adventurer", "Chess Alfonso-X", "Chess Alpha", "Chess Condal",
                "Chess Harlequin", "Chess Kingdom", "Chess Leipzig", "Chess Line", "Chess Magnetic",
                "Chess Mark", "Chess Mediaeval", "Chess Millennia-D", "Chess Motif" }));
        EXPECT_EQ(installed->currentItem()->text(), "Chess Merida");
        EXPECT_EQ(installed->currentItem()->data(Qt::UserRole).toInt(), 5);
        EXPECT_EQ(others->currentRow(), 0);
        EXPECT_EQ(others->currentItem()->data(Qt::UserRole).toInt(), 0);
        EXPECT_FALSE(d.findChild<QPushButton*>("IDC_1046")->isEnabled());
        EXPECT_TRUE(d.findChild<QPushButton*>("IDOK")->isEnabled());
        EXPECT_FALSE(d.findChild<QLabel*>("IDC_1040")->pixmap().isNull());
        EXPECT_FALSE(d.findChild<QLabel*>("IDC_1041")->pixmap().isNull());
        EXPECT_EQ(d.findChild<QLabel*>("IDC_1044")->text(), LoadQString(40463));
        Choose(installed, "Chess Cases");
        EXPECT_EQ(d.findChild<QLabel*>("IDC_1044")->text(), LoadQString(40460));
        Choose(installed, "Chess Berlin");
        EXPECT_TRUE(d.findChild<QPushButton*>("IDC_1046")->isEnabled());
        EXPECT_EQ(d.findChild<QLabel*>("IDC_1044")->text(), LoadQString(40462));
        Choose(others, "Chess Alpha");
        EXPECT_EQ(d.findChild<QLabel*>("IDC_1048")->text(), LoadQString(40462));
        EXPECT_EQ(d.findChild<CHyperLink*>("IDC_1043")->Address(), LoadString(40464));
        checked = true;
        return int(IDCANCEL);
    });
    CommandRouter::Instance().Execute(199);
    EXPECT_TRUE(checked);
    ASSERT_EQ(dialogs.shown, 1);
    EXPECT_EQ(dialogs.titles[0], "Change diagram font dialog");
    EXPECT_EQ(view.m_strFontFace, "Chess Merida");
}

TEST_F(FontCommandTest, SwitchingFamiliesConvertsEveryBoardAndCopiesTheCurrentOne)
{
    AppSettings::FontFaceName = 5;
    CPlaviaView& view = View();
    view.OnEditStandardStartPosition();
    DiagramRecord* first = view.m_pCurrentDiagram;
    DiagramRecord* second = view.AppendDiagram();
    second->board = first->board;
    second->board[3][4] = 'N'; // white knight on d5 (dark)
    second->rotations.Set(3, 4, 4); // ... unless it is a turned fairy letter: it stays as placed
    second->board[4][4] = 'n';
    GlobalModes::currentPiece = 'v';
    Clipboard::SetData("nothing");

    dialogs.Then([](CDialog& d) {
        Choose(List(d, "IDC_1039"), "Chess Berlin");
        return int(IDOK);
    });
    view.OnChessFonts();
    EXPECT_EQ(AppSettings::FontFaceName, 16);
    EXPECT_EQ(view.m_strFontFace, "Chess Berlin");
    EXPECT_TRUE(view.m_bLetterFamily2);
    EXPECT_EQ(view.m_nFontCharset, 2);
    EXPECT_EQ(std::string(first->board[0].data()), "4tJnWlNjT5");
    EXPECT_EQ(std::string(first->board[7].data()), "4RhBqKbHr5");
    EXPECT_EQ(second->board[3][4], 'N');
    EXPECT_EQ(second->board[4][4], 'h');
    EXPECT_EQ(std::string(view.EmptyBoardTemplate[0].data()), "4 + + + +5");
    EXPECT_EQ(GlobalModes::currentPiece, 'n');
    for (const FontRow& row : view.m_displayRows) {
        EXPECT_EQ(row[0], '4');
        EXPECT_EQ(row[9], '5');
    }
    ASSERT_TRUE(Clipboard::GetRtf().has_value());
    EXPECT_NE(Clipboard::GetRtf()->find("Chess Berlin"), std::string::npos);

    // Chess Alpha is of the same family: nothing is converted or copied.
    Clipboard::SetData("nothing");
    view.SelectChessFont(17);
    EXPECT_EQ(std::string(first->board[0].data()), "4tJnWlNjT5");
    EXPECT_FALSE(Clipboard::GetRtf().has_value());
    EXPECT_EQ(view.m_nFontCharset, 2);

    // And back: every letter as it was.
    view.SelectChessFont(5);
    EXPECT_EQ(std::string(first->board[0].data()), "$tMvWlVmT%");
    EXPECT_EQ(std::string(first->board[7].data()), "$RnBqKbNr%");
    EXPECT_EQ(second->board[4][4], 'n');
    EXPECT_EQ(GlobalModes::currentPiece, 'v');
    view.SelectChessFont(1);
    EXPECT_EQ(view.m_nFontCharset, 0);
}

TEST_F(FontCommandTest, OkNeedsAnInstalledFontToBeChosen)
{
    AppSettings::FontFaceName = 4; // Chess Millennia-D, not installed
    CPlaviaView& view = View();
    dialogs.Then([](CDialog& d) {
        EXPECT_TRUE(List(d, "IDC_1039")->selectedItems().isEmpty());
        EXPECT_FALSE(d.findChild<QPushButton*>("IDOK")->isEnabled());
        Choose(List(d, "IDC_1039"), "Chess Cases");
        EXPECT_TRUE(d.findChild<QPushButton*>("IDOK")->isEnabled());
        List(d, "IDC_1039")->clearSelection();
        EXPECT_FALSE(d.findChild<QPushButton*>("IDOK")->isEnabled());
        return int(IDOK); // what a script can do and a user cannot
    });
    view.OnChessFonts();
    // The stored choice stays; the board is drawn in the default font meanwhile.
    EXPECT_EQ(AppSettings::FontFaceName, 4);
    EXPECT_EQ(view.m_strFontFace, "Varnok Fairy");
}

TEST_F(FontCommandTest, CommandIsOffInFairyModeAndCancelChangesNothing)
{
    AppSettings::FontFaceName = 2;
    CPlaviaView& view = View();
    view.OnFairyMode();
    ASSERT_TRUE(GlobalModes::fairyMode);
    EXPECT_FALSE(CommandRouter::Instance().Query(199).enabled);
    view.OnChessFonts();
    EXPECT_EQ(dialogs.shown, 0);
    view.OnFairyMode();
    EXPECT_TRUE(CommandRouter::Instance().Query(199).enabled);
    dialogs.Then([](CDialog& d) {
        Choose(List(d, "IDC_1039"), "Chess Berlin");
        return int(IDCANCEL);
    });
    view.OnChessFonts();
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_EQ(view.m_strFontFace, "Varnok Fairy");
    EXPECT_FALSE(view.m_bLetterFamily2);
}

TEST_F(FontCommandTest, HelpButtonsOpenTheirPages)
{
    AppSettings::FontFaceName = 16;
    View();
    CDialogChangeFont dialog;
    dialog.m_szHelpPath = HelpPath;
    dialog.m_nCurrentFont = 16;
    dialogs.Then([](CDialog& d) {
        EXPECT_TRUE(d.findChild<QPushButton*>("IDC_1046")->isEnabled());
        d.findChild<QPushButton*>("IDC_1046")->click();
        EXPECT_NE(LastHelpPage().find("berlin.htm"), std::string::npos);
        d.findChild<QPushButton*>("IDC_1047")->click();
        EXPECT_NE(LastHelpPage().find("dial3s6s.htm"), std::string::npos);
        EXPECT_FALSE(d.findChild<QListWidget*>("IDC_1039")->toolTip().isEmpty());
        return int(IDCANCEL);
    });
    dialog.DoModal();
}

// --- a stored font that is not installed

using FontInEffect = ProgramTest;

TEST_F(FontInEffect, AStoredFontThatIsNotInstalledIsDrawnInAnInstalledOne)
{
    struct Case {
        std::vector<const char*> installed;
        int stored;
        const char* drawn;
        bool family2;
    };
    const Case cases[] = {
        { { "Chess Merida (TrueType)", "Varnok Fairy (TrueType)" }, 16, "Varnok Fairy", false },
        { { "Chess Merida (TrueType)", "Chess Cases (TrueType)" }, 16, "Chess Cases", false },
        { { "Chess Berlin (TrueType)", "Varnok Fairy (TrueType)" }, 16, "Chess Berlin", true },
        { { "Varnok Fairy (TrueType)" }, 5, "Varnok Fairy", false },
        { {}, 16, "Chess Berlin", true }, // nothing to fall back on
    };
    for (const Case& c : cases) {
        SetUp();
        AppSettings::FontFaceName = static_cast<uint8_t>(c.stored);
        RegistryScript registry;
        std::vector<RegistryValue> values;
        for (const char* name : c.installed) values.push_back({ name, "font.ttf" });
        registry.SetKey(HKEY_LOCAL_MACHINE, FontsKey, values);
        {
            CMainFrame frame;
            CPlaviaView& view = *frame.View();
            EXPECT_EQ(view.m_strFontFace, c.drawn) << c.stored;
            EXPECT_EQ(view.m_bLetterFamily2, c.family2) << c.drawn;
            EXPECT_EQ(view.m_nFontCharset, view.m_nFontIndex > 2 ? 2 : 0);
            // The copy names the font its letters are drawn for.
            EXPECT_NE(view.BuildRtfText().find(c.drawn), std::string::npos) << c.drawn;
        }
        // The choice itself is kept for when the font is installed.
        EXPECT_EQ(AppSettings::FontFaceName, c.stored) << c.drawn;
    }
}

TEST_F(FontInEffect, TheDefaultFontStandingInDrawsChessPieces)
{
    AppSettings::FontFaceName = 16; // "Chess Berlin", which this machine has not
    CPlaviaView& view = View();
    if (installedChessFonts[16]) GTEST_SKIP() << "Chess Berlin is installed here";
    ASSERT_TRUE(installedChessFonts[DefaultChessFont]);
    EXPECT_EQ(view.m_strFontFace, "Varnok Fairy");
    EXPECT_TRUE(ChessFontFace::Find(view.m_strFontFace)) << "a font file draws the board, not plain letters";
    EXPECT_EQ(AppSettings::FontFaceName, 16);
}

TEST(FontSamples, InstalledFontsDrawACornerOfABoardAndTheOthersANeutralPicture)
{
    if (!ChessFontFace::Find("Chess Merida")) GTEST_SKIP() << "Chess Merida is not installed";
    QImage merida = ChessFontSample(5), missing = ChessFontSample(4);
    EXPECT_EQ(merida.size(), QSize(64, 64));
    EXPECT_EQ(missing.size(), QSize(64, 64));
    int dark = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) dark += qGray(merida.pixel(x, y)) < 100;
    EXPECT_GT(dark, 300);
    EXPECT_NE(merida, ChessFontSample(1));
}

// --- the hyperlink

TEST(HyperLink, OpensWithTheDesktopOrFallsBackToTheBrowserCommand)
{
    ShellScript shell;
    const std::string url = "https://example.org/a b;\"c\"";
    EXPECT_EQ(CHyperLink::OpenAddress(url, SW_SHOW), 33);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], url);

    shell.openResult = SE_ERR_NOASSOC;
    RegistryScript registry;
    EXPECT_EQ(CHyperLink::OpenAddress(url, SW_SHOW), SE_ERR_NOASSOC); // no browser registered
    registry.SetKey(HKEY_CLASSES_ROOT, ".htm", { { "", "browser.desktop" } });
    registry.SetKey(HKEY_CLASSES_ROOT, "browser.desktop\\shell\\open\\command",
        { { "", "\"/opt/my browser/run\" --new-window \"%1\" --rest" } });
    EXPECT_EQ(CHyperLink::OpenAddress(url, SW_SHOW), 33);
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0].program, "/opt/my browser/run");
    // The address is one argument of its own, whatever it holds.
    EXPECT_EQ(shell.started[0].arguments, (std::vector<std::string> { "--new-window", url }));

    registry.SetKey(HKEY_CLASSES_ROOT, "browser.desktop\\shell\\open\\command", { { "", "browser" } });
    shell.startResult = false;
    EXPECT_EQ(CHyperLink::OpenAddress(url, SW_SHOW), SE_ERR_FNF);
    EXPECT_EQ(shell.started.back().arguments, (std::vector<std::string> { url }));
}

TEST(HyperLink, FailedClickBeepsAndReportsTheReason)
{
    ShellScript shell;
    RegistryScript registry;
    MessageBoxScript boxes;
    CHyperLink link;
    link.SetAddress("https://example.org/");
    link.PreSubclassWindow();
    EXPECT_EQ(link.text(), "https://example.org/"); // an empty text shows the address
    EXPECT_EQ(link.toolTip(), "https://example.org/");
    EXPECT_EQ(link.TextColour(), RGB(0, 0, 238));
    shell.openResult = SE_ERR_NOASSOC;
    link.OnLinkClicked();
    EXPECT_EQ(boxes.beeps, 1);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text,
        "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename "
        "extension.");
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONWARNING));
    EXPECT_FALSE(link.m_bOpened);
    EXPECT_EQ(link.TextColour(), RGB(0, 0, 238));
    shell.openResult = 42;
    link.OnLinkClicked();
    EXPECT_TRUE(link.m_bOpened);
    EXPECT_EQ(link.TextColour(), RGB(85, 26, 139));
    EXPECT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(CHyperLink::OpenErrorText(0), "The operating system is out\nof memory or resources.");
    EXPECT_EQ(CHyperLink::OpenErrorText(77), "Unknown Error (77) occurred.");
}

TEST(HyperLink, AnOpenerThatFailsIsReported)
{
    struct Case {
        int status;
        bool opened;
        const char* reason;
    };
    const Case cases[] = {
        { 0, true, nullptr },
        { 4, false, "The filename association is\nincomplete or invalid." },
        { 3, false, "There is no application associated\nwith the given filename extension." },
        { 2, false, "The specified file was not found." },
    };
    for (const Case& c : cases) {
        FakeOpener opener(c.status);
        RegistryScript registry; // and no browser registered for the fallback
        MessageBoxScript boxes;
        CHyperLink link;
        link.SetAddress("https://example.org/fonts");
        link.PreSubclassWindow();
        link.OnLinkClicked();
        ASSERT_TRUE(QTest::qWaitFor([] { return PendingShellOpens() == 0; }, 20000)) << "no verdict";
        EXPECT_EQ(opener.Argument(), "https://example.org/fonts") << c.status;
        EXPECT_EQ(link.m_bOpened, c.opened) << c.status;
        if (c.opened) {
            EXPECT_TRUE(boxes.asked.empty());
            EXPECT_EQ(link.TextColour(), RGB(85, 26, 139));
            continue;
        }
        ASSERT_EQ(boxes.asked.size(), 1u) << c.status;
        EXPECT_EQ(boxes.asked[0].text, std::string("Unable to open hyperlink:\n\n") + c.reason);
        EXPECT_EQ(boxes.beeps, 1);
        EXPECT_EQ(link.TextColour(), RGB(0, 0, 238));
    }
}

using FrameLinks = ProgramTest;

TEST_F(FrameLinks, StaySilentWhenTheOpenerFails)
{
    FakeOpener opener(4);
    RegistryScript registry;
    MessageBoxScript boxes;
    Frame().OnWebHomePage();
    ASSERT_TRUE(QTest::qWaitFor([] { return PendingShellOpens() == 0; }, 20000)) << "no verdict";
    EXPECT_EQ(opener.Argument().toStdString(), LoadString(40042));
    EXPECT_TRUE(boxes.asked.empty());
}

// An opener may take its time before it says that it found no program. The click returns at once and
// the window goes on answering; the verdict is told when it comes, also after the dialog was closed.
TEST(HyperLink, TheOpenerIsWaitedForWithoutStoppingTheWindow)
{
    const std::string reason = "Unable to open hyperlink:\n\nThere is no application associated\nwith the "
                               "given filename extension.";
    for (const bool closedFirst : { false, true }) {
        SCOPED_TRACE(closedFirst ? "the dialog closed before the verdict" : "the dialog open");
        FakeOpener opener(3, true);
        RegistryScript registry;
        MessageBoxScript boxes;
        auto link = std::make_unique<CHyperLink>();
        link->SetAddress("https://example.org/fonts");
        link->PreSubclassWindow();
        link->OnLinkClicked();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !opener.Argument().isEmpty(); }, 20000)) << "no opener ran";
        EXPECT_EQ(PendingShellOpens(), 1);
        EXPECT_FALSE(link->m_bOpened);
        EXPECT_TRUE(boxes.asked.empty()) << "the verdict came before the opener gave it";
        bool answered = false;
        QTimer::singleShot(0, [&answered] { answered = true; });
        EXPECT_TRUE(QTest::qWaitFor([&answered] { return answered; }, 20000));
        if (closedFirst) link.reset();
        opener.Release();
        ASSERT_TRUE(QTest::qWaitFor([] { return PendingShellOpens() == 0; }, 20000)) << "no verdict";
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].text, reason);
        EXPECT_EQ(boxes.beeps, 1);
        if (link) {
            EXPECT_EQ(link->TextColour(), RGB(0, 0, 238));
        }
    }
}

TEST_F(FontCommandTest, TheLinksTipIsItsAddress)
{
    View();
    bool checked = false;
    dialogs.Then([&](CDialog& d) {
        auto* link = d.findChild<CHyperLink*>("IDC_1043");
        EXPECT_EQ(link->toolTip().toStdString(), LoadString(40464));
        QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), link->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(link, &tip);
        EXPECT_EQ(QToolTip::text().toStdString(), LoadString(40464));
        // The other controls keep their help texts as tips.
        EXPECT_EQ(d.findChild<QWidget*>("IDC_1047")->toolTip().toStdString(), HelpTopicText("Text1.txt", 8));
        QToolTip::hideText();
        checked = true;
        return int(IDCANCEL);
    });
    CommandRouter::Instance().Execute(199);
    EXPECT_TRUE(checked);
}

TEST(HyperLink, HoverUnderlinesAndCentredLinksStayCentred)
{
    QWidget parent;
    CHyperLink link(&parent);
    link.setText("link text");
    link.setAlignment(Qt::AlignCenter);
    link.setGeometry(100, 100, 400, 80);
    link.PreSubclassWindow();
    const QRect r = link.geometry();
    EXPECT_LT(r.width(), 400);
    EXPECT_LT(r.height(), 80);
    EXPECT_NEAR(r.center().x(), 300, 1);
    EXPECT_NEAR(r.center().y(), 140, 1);
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(link.font().underline());
    link.OnMouseMove();
    EXPECT_TRUE(link.m_bHovering);
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.TextColour(), RGB(255, 0, 0));
    link.OnTimer(); // the cursor is elsewhere
    EXPECT_FALSE(link.m_bHovering);
    EXPECT_FALSE(link.font().underline());
    link.m_nUnderlineMode = 1; // always underlined
    link.setFont(link.m_fontUnderlined);
    link.OnMouseMove();
    link.OnTimer();
    EXPECT_EQ(link.font().underline(), true);
}

} // namespace
