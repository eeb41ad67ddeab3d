#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <memory>

class CPlaviaApp;
class DialogScript;
class FileDialogScript;
class MessageBoxScript;
class QWidget;

// Lets a test drive the running program, in its own event loop, from a script file named by the
// BRENNIX_TEST_SCRIPT variable; without it nothing here does anything. One instruction a line:
//   answer yes|no|cancel|ok|default   the next message box is answered so (boxes are then never shown)
//   file PATH | file cancel           the next file dialog chooses PATH, or is cancelled
//   dialog ok|cancel                  the next dialog is ended so, without being shown
//   menu TITLE/ITEM                   opens the menu and chooses the item, as a user does
//   close                             asks the main window to close, as its close button does
//   press yes|no|cancel|ok            presses that button of the message box on the screen
//   escape                            presses Escape in the dialog or message box on the screen
//   close-box                         closes the dialog or message box on the screen, as its close
//                                     button does
//   touch PATH                        creates the file PATH, so that a test outside knows how far the
//                                     program got: the steps before it have run (and it can then send
//                                     the program a signal)
//   await PATH                        the next step comes once the file PATH exists (made by the test
//                                     outside, after what it did to the program)
//   wait MILLISECONDS                 the next step comes that much later
//   settle                            the next step comes after what the steps before it set off: when
//                                     they told the program to end, it has ended and nothing more runs
//   report                            notes the title, window, screen, board, list and texture
// The answers are kept from the start; the other steps run one after the other once the window is
// shown. What was asked and noted is written at the end to BRENNIX_TEST_LOG (else the script's name
// with ".log" added).
class TestScript {
public:
    explicit TestScript(CPlaviaApp& app);
    ~TestScript();
    TestScript(const TestScript&) = delete;
    TestScript& operator=(const TestScript&) = delete;
    // Starts the steps (after the main window is shown).
    void Start();

private:
    void RunStep(int index);
    void Await(const QString& path, int next);
    void ChooseMenuItem(const QString& path);
    void PressButton(const QString& button);
    // The dialog or message box on the screen, noted in the log; null (and noted) when there is none.
    QWidget* ShownModal(const QString& step);
    void Report();
    CPlaviaApp& app;
    bool active = false;
    QElapsedTimer clock;
    QString logPath;
    QStringList steps;
    QStringList log;
    std::unique_ptr<MessageBoxScript> boxes;
    std::unique_ptr<FileDialogScript> files;
    std::unique_ptr<DialogScript> dialogs;
};
