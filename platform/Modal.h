#pragma once

#include "MessageBox.h"

#include <QDialog>

class QAbstractButton;
#include <deque>
#include <functional>

// Dialogs of the program exchange their members with their controls on entry and on OK, the way
// the dialogs it was designed around do. Tests script what the user does instead of showing them.
class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(QWidget* parent = nullptr);
    // Runs the dialog modally: members -> controls, the user (or the script), controls -> members on OK.
    // Returns IDOK or IDCANCEL.
    int DoModal();

protected:
    // saving false: members to controls; true: controls to members.
    virtual void DoDataExchange(bool saving) { }
    virtual void OnInitDialog() { }
    // Tab stops on the chosen button of each group of radio buttons, as the arrows move within it.
    void showEvent(QShowEvent* event) override;
    // F1 opens the dialog's help, as its Help button does.
    void keyPressEvent(QKeyEvent* event) override;
    // The dialog's Help button, if it has one.
    QAbstractButton* HelpButton() const;
};

// While a DialogScript exists, each DoModal takes the next step instead of showing the dialog:
// the step may change the controls and returns the button (IDOK/IDCANCEL).
class DialogScript {
public:
    using Step = std::function<int(CDialog&)>;
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    void Then(Step step) { steps.push_back(std::move(step)); }
    int Run(CDialog& dialog);
    int shown = 0;
    std::vector<QString> titles;

private:
    std::deque<Step> steps;
    DialogScript* previous = nullptr;
};
