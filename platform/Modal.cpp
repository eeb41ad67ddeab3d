#include "Modal.h"

#include "Help.h"
#include "MessageBox.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <algorithm>
#include <map>

namespace {
DialogScript* script = nullptr;
}

CDialog::CDialog(QWidget* parent)
    : QDialog(parent)
{
}

int CDialog::DoModal()
{
    OnInitDialog();
    DoDataExchange(false);
    int result = script ? script->Run(*this) : (exec() == QDialog::Accepted ? IDOK : IDCANCEL);
    if (result == IDOK) DoDataExchange(true);
    return result;
}

namespace {

// The buttons of one choice: those of a button group, or the free radio buttons of one parent.
std::map<const QObject*, std::vector<QAbstractButton*>> Choices(const QWidget* dialog)
{
    std::map<const QObject*, std::vector<QAbstractButton*>> choices;
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (!button->isCheckable()) continue;
        if (QButtonGroup* group = button->group()) {
            if (group->exclusive()) choices[group].push_back(button);
        } else if (button->autoExclusive()) {
            choices[button->parent()].push_back(button);
        }
    }
    return choices;
}

// Tab reaches a choice at its chosen button; a choice with nothing chosen keeps a stop on each.
void PlaceTabStop(const std::vector<QAbstractButton*>& buttons)
{
    const bool anyChecked
        = std::any_of(buttons.begin(), buttons.end(), [](auto* b) { return b->isChecked(); });
    for (QAbstractButton* button : buttons) {
        const bool stop = !anyChecked || button->isChecked();
        button->setFocusPolicy(stop ? Qt::FocusPolicy(button->focusPolicy() | Qt::TabFocus)
                                    : Qt::FocusPolicy(button->focusPolicy() & ~Qt::TabFocus));
    }
}

} // namespace

void CDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    for (auto& [owner, buttons] : Choices(this)) {
        PlaceTabStop(buttons);
        // A choice made by the program (a radio it checks as another is clicked) moves the stop too.
        for (QAbstractButton* button : buttons)
            if (!button->property("brennixTabStop").toBool()) {
                button->setProperty("brennixTabStop", true);
                connect(button, &QAbstractButton::toggled, this, [this, button](bool on) {
                    if (!on) return;
                    for (auto& [o, group] : Choices(this))
                        if (std::find(group.begin(), group.end(), button) != group.end()) PlaceTabStop(group);
                });
            }
    }
}

QAbstractButton* CDialog::HelpButton() const
{
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        if (button->text().remove('&').trimmed().compare("Help", Qt::CaseInsensitive) == 0) return button;
    return nullptr;
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::WhatsThis)) {
        ShowFocusedControlHelp(focusWidget());
        return;
    }
    if (event->matches(QKeySequence::HelpContents)) {
        if (QAbstractButton* help = HelpButton(); help && help->isEnabled() && help->isVisible()) {
            help->click();
            return;
        }
    }
    // A text box that Tab leaves takes a tab character from Ctrl+Tab.
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        if (auto* box = qobject_cast<QPlainTextEdit*>(focusWidget());
            box && box->tabChangesFocus() && !box->isReadOnly()) {
            box->insertPlainText("\t");
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

DialogScript::DialogScript()
    : previous(script)
{
    script = this;
}
DialogScript::~DialogScript()
{
    if (script == this) script = previous;
}

int DialogScript::Run(CDialog& dialog)
{
    ++shown;
    titles.push_back(dialog.windowTitle());
    if (steps.empty()) return IDCANCEL;
    Step step = std::move(steps.front());
    steps.pop_front();
    return step(dialog);
}
