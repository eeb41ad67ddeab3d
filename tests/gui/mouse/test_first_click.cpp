// The first mouse action after a file is opened is the user's, like every other: nothing of the file
// dialog is left over to eat it.
#include "platform/Commands.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "positions/MarkEditing.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

constexpr int Sq = 51; // the default geometry: rank-number column at x 115, rank 8 at y 54
QPoint Centre(int column, int row)
{
    return { 115 + column * Sq + Sq / 2, 54 + row * Sq + Sq / 2 };
}
const QPoint e2 = Centre(5, 6), e4 = Centre(5, 4);

struct FirstActionCase {
    const char* name;
    std::function<void(CPlaviaView&)> before; // what the user chose before the action
    QPoint from, to;
    std::function<bool(CPlaviaView&)> done; // whether the action did what it does
};
void PrintTo(const FirstActionCase& c, std::ostream* os)
{
    *os << c.name;
}

class FirstActionAfterOpen : public ProgramTest, public ::testing::WithParamInterface<FirstActionCase> {
protected:
    // Through the menu command and its file dialog, as the user opens a list.
    void OpenThroughFileOpen()
    {
        const QString path = folder.filePath("list.fen");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("4k3/8/8/8/8/8/8/4K3 w - - 0 1\n8/8/8/8/8/8/k7/2K5 w - - 0 1\n");
        file.close();
        files.Answer(QFile::encodeName(path).toStdString());
        ASSERT_TRUE(CommandRouter::Instance().Execute(32771));
        ASSERT_EQ(View().DiagramCount(), 2);
        ASSERT_EQ(View().m_strFilePath, QFile::encodeName(path).toStdString());
    }
    // A press, a move and a release of the left button, delivered to the view as the window system does.
    void Drag(QPoint from, QPoint to)
    {
        CPlaviaView& view = View();
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        QTest::mouseMove(&view, to);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
    }
    QTemporaryDir folder;
    FileDialogScript files;
    MessageBoxScript boxes;
};

TEST_P(FirstActionAfterOpen, IsNotSwallowed)
{
    const FirstActionCase& c = GetParam();
    ShownView();
    OpenThroughFileOpen();
    CPlaviaView& view = View();
    c.before(view);
    Drag(c.from, c.to);
    EXPECT_TRUE(c.done(view));
    EXPECT_TRUE(boxes.asked.empty());
}

const FirstActionCase firstActions[] = {
    { "ColouredSquare", [](CPlaviaView&) { GlobalModes::colourMarksMode = true; }, e2, e2,
        [](CPlaviaView& v) { return v.m_pCurrentDiagram->colours[6][5] != 0; } },
    { "Arrow", [](CPlaviaView&) { GlobalModes::colourMarksMode = true; }, e2, e4,
        [](CPlaviaView& v) { return MarkEditing::UsedMarkSlots(*v.m_pCurrentDiagram) == 1; } },
    // Straight up chooses the pawn for the pressed square.
    { "Gesture", [](CPlaviaView&) {}, e2, e2 - QPoint(0, 40),
        [](CPlaviaView& v) { return v.m_pCurrentDiagram->board[6][5] == 'p'; } },
    // The placement drag ends with its release: the mode is left and the board is where it was dragged.
    { "BoardPlacement", [](CPlaviaView&) { ASSERT_TRUE(CommandRouter::Instance().Execute(32782)); },
        QPoint(100, 60), QPoint(508, 60),
        [](CPlaviaView& v) {
            return !v.m_bPlacementMode && v.m_nSquareSize == 51 && v.m_rectBoard.left == 49;
        } },
};

INSTANTIATE_TEST_SUITE_P(Actions, FirstActionAfterOpen, ::testing::ValuesIn(firstActions),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
