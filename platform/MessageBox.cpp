#include "MessageBox.h"

#include "Codec.h"
#include "Strings.h"
#include "res/StringIds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace {
MessageBoxScript* script = nullptr;

// A box whose Escape key and close button answer none of its buttons. A Yes/No box would otherwise
// take them for No, and No may be the answer that writes a file.
class QuestionBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool dismissed = false;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!event->matches(QKeySequence::Cancel)) {
            QMessageBox::keyPressEvent(event);
            return;
        }
        dismissed = true;
        reject();
    }
    void closeEvent(QCloseEvent* event) override
    {
        dismissed = true;
        QDialog::closeEvent(event);
    }
};
} // namespace

MessageBoxScript::MessageBoxScript()
    : previous(script)
{
    script = this;
}
MessageBoxScript::~MessageBoxScript()
{
    if (script == this) script = previous;
}

RealMessageBoxes::RealMessageBoxes()
    : scripted(script)
{
    script = nullptr;
}
RealMessageBoxes::~RealMessageBoxes()
{
    script = scripted;
}

int MessageBoxScript::Ask(const std::string& text, unsigned style)
{
    asked.push_back({ text, style });
    if (next < answers.size()) return answers[next++];
    unsigned buttons = style & 0xF;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

int AfxMessageBox(const std::string& text, unsigned style)
{
    if (script) return script->Ask(text, style);
    QuestionBox box(QApplication::activeWindow());
    box.setWindowTitle(LoadQString(StringId::ProgramName));
    box.setText(Codec::ToQt(text));
    switch (style & 0xF0) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    const bool secondDefault = (style & MB_DEFBUTTON2) != 0;
    QMessageBox::StandardButton first = QMessageBox::Ok, second = QMessageBox::NoButton;
    switch (style & 0xF) {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        second = QMessageBox::Cancel;
        break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        first = QMessageBox::Yes;
        second = QMessageBox::No;
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        first = QMessageBox::Yes;
        second = QMessageBox::No;
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    box.setDefaultButton(secondDefault && second != QMessageBox::NoButton ? second : first);
    const int pressed = box.exec();
    // Dismissed without an answer: a Yes/No question counts as cancelled, the others as their own
    // Escape button (Cancel, or OK when OK is the only one).
    if (box.dismissed && (style & 0xF) != MB_OK) return IDCANCEL;
    switch (pressed) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return (style & 0xF) == MB_YESNO ? IDCANCEL : IDOK;
    }
}

int AfxMessageBox(unsigned stringId, unsigned style)
{
    return AfxMessageBox(LoadString(stringId), style);
}

void MessageBeep()
{
    if (script) {
        ++script->beeps;
        return;
    }
    QApplication::beep();
}
