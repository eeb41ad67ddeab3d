#include "TestScript.h"

#include "CMainFrame.h"
#include "CPlaviaApp.h"
#include "platform/Codec.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "settings/AppSettings.h"
#include "view/CPlaviaView.h"
#include "view/GlobalModes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>

using namespace Win32;

namespace {

QString Plain(QString text)
{
    return text.section('\t', 0, 0).remove('&').trimmed();
}

QString Escaped(const std::string& text)
{
    return Codec::ToQt(text).replace('\\', "\\\\").replace('\n', "\\n").replace('\r', "\\r");
}

QString Numbers(std::initializer_list<int> values)
{
    QStringList out;
    for (int v : values) out << QString::number(v);
    return out.join(' ');
}

QString RectText(const QRect& r)
{
    return Numbers({ r.x(), r.y(), r.width(), r.height() });
}

QString RectText(const RECT& r)
{
    return Numbers({ r.left, r.top, r.right, r.bottom });
}

int ButtonCode(const QString& word)
{
    if (word == "yes") return IDYES;
    if (word == "no") return IDNO;
    if (word == "cancel") return IDCANCEL;
    return IDOK;
}

} // namespace

TestScript::TestScript(CPlaviaApp& app)
    : app(app)
{
    const QString scriptPath = qEnvironmentVariable("BRENNIX_TEST_SCRIPT");
    if (scriptPath.isEmpty()) return;
    active = true;
    clock.start();
    logPath = qEnvironmentVariable("BRENNIX_TEST_LOG", scriptPath + ".log");
    QFile file(scriptPath);
    if (!file.open(QIODevice::ReadOnly)) {
        log << "script: cannot read " + scriptPath;
        return;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QString word = line.section(' ', 0, 0);
        const QString rest = line.section(' ', 1).trimmed();
        if (word == "answer") {
            if (!boxes) boxes = std::make_unique<MessageBoxScript>();
            if (rest != "default") boxes->Answer(ButtonCode(rest));
        } else if (word == "file") {
            if (!files) files = std::make_unique<FileDialogScript>();
            if (rest == "cancel")
                files->Cancel();
            else
                files->Answer(QFile::encodeName(rest).toStdString());
        } else if (word == "dialog") {
            if (!dialogs) dialogs = std::make_unique<DialogScript>();
            const int result = ButtonCode(rest);
            dialogs->Then([result](CDialog&) { return result; });
        } else {
            steps << line;
        }
    }
}

TestScript::~TestScript()
{
    if (!active) return;
    log << QString("ended at %1").arg(clock.elapsed());
    if (boxes)
        for (const AskedMessage& m : boxes->asked)
            log << QString("asked %1 %2").arg(m.style, 0, 16).arg(Escaped(m.text));
    if (files)
        for (const FileDialogRequest& r : files->asked)
            log << QString("file-dialog ") + (r.open ? "open" : "save");
    if (dialogs)
        for (const QString& title : dialogs->titles) log << "dialog " + title;
    QFile out(logPath);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write((log.join('\n') + '\n').toUtf8());
}

void TestScript::Start()
{
    if (active && !steps.isEmpty()) QTimer::singleShot(0, qApp, [this] { RunStep(0); });
}

void TestScript::RunStep(int index)
{
    if (index >= steps.size()) return;
    const QString line = steps[index];
    const QString word = line.section(' ', 0, 0);
    const QString rest = line.section(' ', 1).trimmed();
    // The next step is due before this one runs: a step that opens a modal box does not return
    // until the box is answered, maybe by the next step. So the step after "settle" is queued only now,
    // behind the events the steps before it posted, such as the program's own request to end.
    log << QString("step %1 at %2").arg(line).arg(clock.elapsed());
    if (word == "await") {
        Await(rest, index + 1);
        return;
    }
    const int delay = word == "wait" ? rest.toInt() : 0;
    QTimer::singleShot(delay, qApp, [this, index] { RunStep(index + 1); });
    if (word == "menu")
        ChooseMenuItem(rest);
    else if (word == "close")
        app.MainFrame()->windowHandle()->close();
    else if (word == "press")
        PressButton(rest);
    else if (word == "escape") {
        if (QWidget* modal = ShownModal(word)) {
            QWidget* target = modal->focusWidget() ? modal->focusWidget() : modal;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &press);
            QCoreApplication::sendEvent(target, &release);
        }
    } else if (word == "close-box") {
        if (QWidget* modal = ShownModal(word)) modal->windowHandle()->close();
    } else if (word == "touch") {
        QFile mark(rest);
        if (!mark.open(QIODevice::WriteOnly)) log << "touch: cannot create " + rest;
    } else if (word == "report")
        Report();
    else if (word != "wait" && word != "settle")
        log << "script: unknown step " + line;
}

void TestScript::Await(const QString& path, int next)
{
    if (!QFile::exists(path)) {
        QTimer::singleShot(20, qApp, [this, path, next] { Await(path, next); });
        return;
    }
    // What the file's maker did before it (a signal, say) is dealt with before the next step.
    QCoreApplication::processEvents();
    QTimer::singleShot(0, qApp, [this, next] { RunStep(next); });
}

void TestScript::ChooseMenuItem(const QString& path)
{
    QMenuBar* bar = app.MainFrame()->menuBar();
    const QStringList names = path.split('/');
    auto find = [](const QList<QAction*>& actions, const QString& name) -> QAction* {
        for (QAction* a : actions)
            if (Plain(a->text()) == name) return a;
        return nullptr;
    };
    QAction* top = find(bar->actions(), names.front());
    if (!top || !top->menu()) {
        log << "menu: no item " + path;
        return;
    }
    // Opened from the menu bar, so its items are brought up to date as for a click on its title;
    // submenus are opened with the arrow key, the item is chosen with Enter.
    bar->setActiveAction(top);
    QMenu* menu = top->menu();
    for (qsizetype i = 1; i < names.size(); ++i) {
        QAction* action = find(menu->actions(), names[i]);
        if (!action || !action->isEnabled() || !action->isVisible()) {
            log << (action ? "menu: disabled " : "menu: no item ") + path;
            bar->setActiveAction(nullptr);
            return;
        }
        menu->setActiveAction(action);
        const bool last = i + 1 == names.size();
        QKeyEvent key(QEvent::KeyPress, last ? Qt::Key_Return : Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &key);
        if (!last) {
            if (!action->menu()) {
                log << "menu: no submenu " + path;
                return;
            }
            menu = action->menu();
        }
    }
}

QWidget* TestScript::ShownModal(const QString& step)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
        log << step + ": no dialog or message box";
        return nullptr;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        log << "shown " + box->text().replace('\n', "\\n");
    else
        log << "shown " + modal->windowTitle();
    return modal;
}

void TestScript::PressButton(const QString& button)
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
        log << "press: no message box";
        return;
    }
    ShownModal("press");
    const QMessageBox::StandardButton which = button == "yes" ? QMessageBox::Yes
        : button == "no"                                      ? QMessageBox::No
        : button == "cancel"                                  ? QMessageBox::Cancel
                                                              : QMessageBox::Ok;
    if (QAbstractButton* b = box->button(which))
        b->click();
    else
        log << "press: no button " + button;
}

void TestScript::Report()
{
    CMainFrame* frame = app.MainFrame();
    CPlaviaView* view = frame->View();
    QScreen* screen = frame->screen();
    log << "title " + frame->windowTitle();
    log << "visible " + QString::number(frame->isVisible());
    log << "window " + RectText(frame->frameGeometry());
    log << "client " + RectText(frame->geometry());
    log << "screen " + RectText(screen ? screen->availableGeometry() : QRect());
    log << "view " + RectText(QRect(view->mapTo(frame, QPoint(0, 0)), view->size()));
    log << "board " + RectText(view->m_rectBoard);
    log << "palette " + RectText(view->m_rectPalette);
    log << "text " + RectText(view->m_rectText);
    log << "square " + QString::number(view->m_nSquareSize);
    log << "diagrams " + QString::number(view->DiagramCount());
    log << "file " + QFile::decodeName(view->m_strFilePath.c_str());
    log << "modified " + QString::number(view->m_bModified);
    log << "texture " + QString::number(SettingsState::currentTexture);
    log << "transparent " + QString::number(GlobalModes::transparentNow);
}
