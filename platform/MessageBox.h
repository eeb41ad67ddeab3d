#pragma once

#include <functional>
#include <string>
#include <vector>

// The styles and answers of the message boxes the program asks, with their Windows values so that
// combinations read as they do elsewhere in the program.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Shows text (Windows-1252 bytes) and returns the button pressed. Escape and the box's close button
// give IDCANCEL, also for a Yes/No box: such a question is left unanswered, and its caller does
// neither what Yes nor what No would do.
int AfxMessageBox(const std::string& text, unsigned style = MB_OK);
int AfxMessageBox(unsigned stringId, unsigned style = MB_OK);
// A short warning sound, for failures that only beep.
void MessageBeep();

// Tests replace the interactive box: each question is recorded and answered by the script.
struct AskedMessage {
    std::string text;
    unsigned style;
};
class MessageBoxScript {
public:
    // Installs itself over any script already installed, until it is destroyed (the one before it then
    // answers again); answers IDOK (or IDYES for questions) unless told otherwise.
    MessageBoxScript();
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;
    void Answer(int button) { answers.push_back(button); }
    std::vector<AskedMessage> asked;
    std::vector<int> answers; // used in order; when they run out the default answer is given
    int beeps = 0;
    int Ask(const std::string& text, unsigned style);

private:
    size_t next = 0;
    MessageBoxScript* previous = nullptr;
};

// While it exists, boxes are shown and answered on the screen, whatever script is installed (tests of
// the box itself).
class RealMessageBoxes {
public:
    RealMessageBoxes();
    ~RealMessageBoxes();
    RealMessageBoxes(const RealMessageBoxes&) = delete;
    RealMessageBoxes& operator=(const RealMessageBoxes&) = delete;

private:
    MessageBoxScript* scripted;
};
