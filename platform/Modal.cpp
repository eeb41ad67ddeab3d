#include "Modal.h"

#include "MessageBox.h"

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
