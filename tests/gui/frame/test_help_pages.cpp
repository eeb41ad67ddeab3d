// The help as a reader walks it, and what it says against what the program does.
#include "ActiveFrame.h"
#include "app/CAboutDlg.h"
#include "app/CTrueColorToolBar.h"
#include "dialogs/CPreferences.h"
#include "platform/Commands.h"
#include "platform/Help.h"
#include "platform/Modal.h"
#include "platform/Print.h"
#include "platform/Strings.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPageSetupDialog>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <deque>
#include <map>
#include <set>

namespace {

class HelpPages : public ProgramTest {
protected:
    void TearDown() override
    {
        if (QWidget* help = HelpWindow()) delete help;
        ProgramTest::TearDown();
    }
    // The links of the page the help window shows, as it resolves them for a click.
    static std::vector<QUrl> Links(QTextBrowser& browser)
    {
        std::vector<QUrl> links;
        for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.isAnchor() && !format.anchorHref().isEmpty())
                    links.push_back(browser.source().resolved(QUrl(format.anchorHref())));
            }
        return links;
    }
    // The entry of a command on the commands page: the text after its place mark, to the end of its
    // description.
    static QString CommandEntry(unsigned id)
    {
        EnsureResources();
        QFile page(":/help/html/commands.htm");
        if (!page.open(QIODevice::ReadOnly)) return {};
        const QString html = QString::fromUtf8(page.readAll());
        const qsizetype at = html.indexOf(QString("name=\"c%1\"").arg(id));
        if (at < 0) return {};
        const qsizetype end = html.indexOf("</dd>", at);
        return html.mid(at, end - at).remove(QRegularExpression("<[^>]*>")).simplified();
    }
};

// From Help Topics, every page of the help is reached by links, and every link leads to a page and a
// place that exist.
TEST_F(HelpPages, IndexLeadsToEveryPageAndNoLinkIsDead)
{
    Frame().show();
    ASSERT_TRUE(CommandRouter::Instance().Execute(57667)); // Help > Help Topics
    auto* browser = qobject_cast<QTextBrowser*>(HelpWindow());
    ASSERT_TRUE(browser);
    const QUrl index = browser->source();
    EXPECT_TRUE(index.path().endsWith("/help/html/index.htm")) << index.toString().toStdString();

    std::set<QString> reached { index.path() };
    std::deque<QUrl> pages { index };
    std::map<QString, std::set<QString>> places; // anchors named on each page
    std::vector<std::pair<QString, QUrl>> links; // (page, link) of every internal link
    while (!pages.empty()) {
        const QUrl page = pages.front();
        pages.pop_front();
        browser->setSource(page);
        ASSERT_EQ(browser->source().path(), page.path());
        ASSERT_FALSE(browser->toPlainText().trimmed().isEmpty()) << page.path().toStdString();
        const QString html = browser->document()->toHtml();
        QRegularExpression named("<a name=\"([^\"]+)\"");
        for (auto m = named.globalMatch(html); m.hasNext();) places[page.path()].insert(m.next().captured(1));
        for (const QUrl& link : Links(*browser)) {
            if (link.scheme() != page.scheme()) continue; // the web and e-mail, outside the help
            links.emplace_back(page.path(), link);
            if (reached.insert(link.path()).second) pages.push_back(link.adjusted(QUrl::RemoveFragment));
        }
    }
    EnsureResources();
    const QStringList all = QDir(":/help/html").entryList({ "*.htm" }, QDir::Files);
    ASSERT_GE(all.size(), 13);
    for (const QString& name : all)
        EXPECT_TRUE(reached.count("/help/html/" + name))
            << name.toStdString() << " is not reached from the index";
    for (const auto& [from, link] : links) {
        EXPECT_TRUE(QFile::exists(":" + link.path()))
            << from.toStdString() << " -> " << link.toString().toStdString();
        if (link.hasFragment())
            EXPECT_TRUE(places[link.path()].count(link.fragment()))
                << from.toStdString() << " -> " << link.toString().toStdString() << ": no such place";
    }
    // The index links the other pages itself, not only through them.
    std::set<QString> fromIndex;
    for (const auto& [from, link] : links)
        if (from == index.path()) fromIndex.insert(link.path());
    EXPECT_EQ(fromIndex.size(), size_t(all.size() - 1));
}

TEST_F(HelpPages, InsertDiagramIsDescribedAsItInserts)
{
    SettingsState::legalCheckActive = false;
    CPlaviaView& view = View();
    ASSERT_TRUE(CommandRouter::Instance().Execute(140)); // two diagrams
    view.GoToDiagram(1);
    const DiagramRecord* first = view.m_pCurrentDiagram;
    ASSERT_TRUE(CommandRouter::Instance().Execute(142));
    // The new diagram comes after the current one.
    EXPECT_EQ(view.m_nCurrentIndex, 1);
    EXPECT_EQ(view.m_pCurrentDiagram->previous, first);
    const QString entry = CommandEntry(142);
    EXPECT_TRUE(entry.contains("after the current one")) << entry.toStdString();
    EXPECT_FALSE(entry.contains("before")) << entry.toStdString();
}

// What the About box and Print Setup show is what their help and prompts promise.
TEST_F(HelpPages, AboutAndPrintSetupPromiseWhatTheyShow)
{
    CAboutDlg about(&Frame());
    QStringList shown;
    for (QLabel* label : about.findChildren<QLabel*>()) shown << label->text();
    const bool copyright = shown.join('\n').contains("copyright", Qt::CaseInsensitive)
        || shown.join('\n').contains(QChar(0xA9));
    for (const QString& text : { CommandEntry(57664), MenuBuilder::Prompt(57664) })
        EXPECT_EQ(text.contains("copyright", Qt::CaseInsensitive), copyright) << text.toStdString();

    // Print Setup is the page set-up: paper, orientation and margins, and no choice of printer.
    QString dialogClass;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialogClass = dialog->metaObject()->className();
            qobject_cast<QDialog*>(dialog)->reject();
        }
    });
    Print::PrintSetup(&Frame()); // what the application runs for the command
    ASSERT_TRUE(dialogClass.contains("PageSetup")) << dialogClass.toStdString();
    const QRegularExpression printerChoice(
        "(choos|chang)\\w* the printer", QRegularExpression::CaseInsensitiveOption);
    for (const QString& text : { CommandEntry(57606), MenuBuilder::Prompt(57606) }) {
        EXPECT_FALSE(text.contains(printerChoice)) << text.toStdString();
        EXPECT_TRUE(text.contains("paper")) << text.toStdString();
    }
}

// Help opened from the main window before a dialog: it can still be read, scrolled and clicked while
// the dialog runs, and it is left as it was when the dialog ends.
TEST_F(HelpPages, HelpOpenedBeforeADialogStaysUsableWhileItRuns)
{
    Frame().show();
    ASSERT_TRUE(CommandRouter::Instance().Execute(57667)); // Help Topics
    auto* help = qobject_cast<QTextBrowser*>(HelpWindow());
    ASSERT_TRUE(help && help->windowHandle());
    CPreferences dialog(&Frame());
    dialog.m_szHelpPath = HelpPath;
    dialog.m_nBlend = 190;
    int presses = -1;
    DialogScript script;
    script.Then([&](CDialog& d) {
        QTimer::singleShot(0, &d, [&] {
            QApplication::processEvents();
            PressCounter counter(help->viewport());
            QTest::mouseClick(
                help->windowHandle(), Qt::LeftButton, {}, help->viewport()->mapTo(help, QPoint(20, 20)));
            presses = counter.presses;
            d.reject();
        });
        return d.exec() == QDialog::Accepted ? int(IDOK) : int(IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(presses, 1) << "the click did not reach the help window";
    ASSERT_TRUE(HelpWindow());
    EXPECT_TRUE(HelpWindow()->isVisible());
}

// Each button of the tool bar has a picture of its own, Add and Insert diagram included.
TEST(ToolBarPictures, NoTwoCommandsLookAlike)
{
    const QImage strip = CTrueColorToolBar::Strip(0);
    std::vector<std::pair<unsigned, QImage>> pictures;
    for (unsigned id : CTrueColorToolBar::Buttons())
        if (id != 0) pictures.emplace_back(id, CTrueColorToolBar::ButtonImage(strip, int(pictures.size())));
    ASSERT_EQ(pictures.size(), 25u);
    for (size_t a = 0; a < pictures.size(); ++a)
        for (size_t b = a + 1; b < pictures.size(); ++b)
            EXPECT_NE(pictures[a].second, pictures[b].second)
                << "commands " << pictures[a].first << " and " << pictures[b].first
                << " have the same picture";
}

// The pictures are image files of the resources: a file that is missing, cut short or drawn for fewer
// buttons leaves a button blank in one of its states.
TEST(ToolBarPictures, EveryStateHasAPictureForEveryButton)
{
    size_t buttons = 0;
    for (unsigned id : CTrueColorToolBar::Buttons())
        if (id != 0) ++buttons;
    const char* const states[] = { "normal", "hot", "disabled" };
    for (int state = 0; state < 3; ++state) {
        const QImage strip = CTrueColorToolBar::Strip(state);
        ASSERT_EQ(strip.size(), QSize(16 * int(buttons), 16)) << states[state];
        for (int index = 0; index < int(buttons); ++index) {
            const QImage picture = CTrueColorToolBar::ButtonImage(strip, index);
            int inked = 0;
            bool grey = true;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const QRgb pixel = picture.pixel(x, y);
                    if (qAlpha(pixel) == 0) continue;
                    ++inked;
                    grey = grey && qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
                }
            EXPECT_GE(inked, 8) << states[state] << " button " << index << " is blank";
            if (state == 2) EXPECT_TRUE(grey) << "disabled button " << index << " has colour";
        }
    }
}

} // namespace
