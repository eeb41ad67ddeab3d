// The program's file dialogs as the user works them: the kind chosen, the name typed, the columns read.
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// Runs a real dialog of `request`; `user` acts in it once it is up. Message boxes the dialog shows
// itself (its own question before replacing a file) are noted and answered No.
class RealFileDialog {
public:
    bool Run(const FileDialogRequest& request, const std::function<void(QFileDialog&)>& user)
    {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            QTest::qWaitForWindowExposed(dialog);
            user(*dialog);
            // Whatever the user did, a dialog still up is left with Cancel.
            if (dialog->isVisible()) dialog->reject();
        });
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                questions << box->text();
                box->done(QMessageBox::No);
            }
        });
        watch.start(20);
        return AfxFileDialog(nullptr, request, path, filterIndex);
    }
    std::string path;
    int filterIndex = -1;
    QStringList questions;
};

// Chooses the kind with the keyboard, as the user goes down the list of kinds.
void ChooseKind(QFileDialog& dialog, const QString& kind)
{
    auto* kinds = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_TRUE(kinds);
    kinds->setFocus();
    QTest::keyClick(kinds, Qt::Key_Home);
    for (int i = 0; i < kinds->count() && !kinds->currentText().startsWith(kind); ++i)
        QTest::keyClick(kinds, Qt::Key_Down);
    ASSERT_TRUE(kinds->currentText().startsWith(kind)) << kind.toStdString();
}

void TypeNameAndEnter(QFileDialog& dialog, const QString& name)
{
    auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_TRUE(edit);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}

struct SaveCase {
    const char* name;
    unsigned filter; // string id of the filter the dialog offers
    const char* extension; // the request's own
    const char* kind; // chosen in the dialog
    const char* typed;
    const char* saved; // the file name the dialog gives back
    int filterIndex;
};
void PrintTo(const SaveCase& c, std::ostream* os)
{
    *os << c.name;
}
class SaveDialogKind : public ::testing::TestWithParam<SaveCase> { };

// A name typed without extension gets the chosen kind's; a BNX file of that name is no reason to ask.
TEST_P(SaveDialogKind, NameWithoutExtensionTakesTheChosenKinds)
{
    const SaveCase& c = GetParam();
    QTemporaryDir folder;
    for (const char* existing : { "worksheet1.bnx", "board.png" }) {
        QFile file(folder.filePath(existing));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    FileDialogRequest request;
    request.open = false;
    request.defaultExtension = c.extension;
    request.filter = LoadString(c.filter);
    request.initialName = std::string("*.") + c.extension;
    request.folder = QFile::encodeName(folder.path()).toStdString();
    RealFileDialog dialog;
    ASSERT_TRUE(dialog.Run(request, [&](QFileDialog& d) {
        ChooseKind(d, c.kind);
        TypeNameAndEnter(d, c.typed);
    }));
    EXPECT_EQ(dialog.path, QFile::encodeName(folder.filePath(c.saved)).toStdString());
    EXPECT_EQ(dialog.filterIndex, c.filterIndex);
    EXPECT_TRUE(dialog.questions.isEmpty()) << dialog.questions.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveDialogKind,
    ::testing::Values(
        SaveCase { "PgnOfABnxList", 40033, "bnx", "PGN Files", "worksheet1", "worksheet1.pgn", 3 },
        SaveCase { "BnxOfABnxList", 40033, "bnx", "Brennix Files", "worksheet2", "worksheet2.bnx", 0 },
        SaveCase { "FenOfAnEpdList", 40025, "epd", "FEN Files", "studies", "studies.fen", 2 },
        SaveCase { "ExtensionTypedIsKept", 40033, "bnx", "PGN Files", "games.txt", "games.txt", 3 },
        SaveCase { "JpegPicture", 40043, "png", "JPG Files", "board", "board.jpg", 1 },
        SaveCase { "BmpPicture", 40043, "png", "BMP Files", "board", "board.bmp", 2 }),
    [](const auto& info) { return std::string(info.param.name); });

// The replace question is about the file that will be written.
TEST(SaveDialog, ReplacingAFileOfTheChosenKindIsAsked)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("worksheet1.pgn"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    FileDialogRequest request;
    request.open = false;
    request.defaultExtension = "bnx";
    request.filter = LoadString(40033);
    request.folder = QFile::encodeName(folder.path()).toStdString();
    RealFileDialog dialog;
    bool stillOpen = false;
    dialog.Run(request, [&](QFileDialog& d) {
        ChooseKind(d, "PGN Files");
        TypeNameAndEnter(d, "worksheet1");
        stillOpen = d.isVisible(); // the question was answered No
    });
    ASSERT_EQ(dialog.questions.size(), 1);
    EXPECT_TRUE(dialog.questions.front().contains("worksheet1.pgn"))
        << dialog.questions.front().toStdString();
    EXPECT_TRUE(stillOpen);
}

// Every column shows its contents whole, beside a name column that takes the rest.
TEST(FileDialogLayout, ColumnsAreNotCut)
{
    QTemporaryDir folder;
    for (const char* name :
        { "an opening repertoire for the black pieces.bnx", "endgames.bnx", "studies.bnx" }) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(123456, 'x'));
    }
    FileDialogRequest request;
    request.filter = LoadString(40083);
    request.folder = QFile::encodeName(folder.path()).toStdString();
    RealFileDialog dialog;
    dialog.Run(request, [&](QFileDialog& d) {
        auto* details = d.findChild<QTreeView*>("treeView");
        ASSERT_TRUE(details);
        // The details view, as the dialog's own button shows it.
        d.setViewMode(QFileDialog::Detail);
        ASSERT_TRUE(QTest::qWaitFor([&] { return details->model()->rowCount(details->rootIndex()) == 3; }));
        QApplication::processEvents();
        QHeaderView* header = details->header();
        for (int column = 1; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) continue;
            EXPECT_GE(header->sectionSize(column),
                static_cast<QAbstractItemView*>(details)->sizeHintForColumn(column))
                << "column " << column << " is cut";
            EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << "heading " << column;
        }
        EXPECT_LE(header->length(), details->viewport()->width()) << "the columns go beyond the view";
        EXPECT_GE(header->sectionSize(0), details->fontMetrics().horizontalAdvance("an opening repertoire"));
    });
}

// A pipe named like a list would be read for ever: the dialog refuses it and stays.
TEST(OpenDialog, RefusesWhatIsNoRegularFile)
{
    QTemporaryDir folder;
    const QString pipe = folder.filePath("list.fen");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    FileDialogRequest request;
    request.filter = LoadString(40085);
    request.folder = QFile::encodeName(folder.path()).toStdString();
    MessageBoxScript boxes;
    RealFileDialog dialog;
    bool stillOpen = false;
    const bool chosen = dialog.Run(request, [&](QFileDialog& d) {
        TypeNameAndEnter(d, "list.fen");
        stillOpen = d.isVisible();
    });
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "list.fen cannot be opened: it is a named pipe, not a file of positions.");
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
}

} // namespace
