#include "CDWarningSupp.h"

#include "ui_CDWarningSupp.h"

CDWarningSupp::CDWarningSupp(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CDWarningSupp>())
{
    form->setupUi(this);
}

CDWarningSupp::~CDWarningSupp() = default;

void CDWarningSupp::DoDataExchange(bool saving)
{
    if (saving)
        m_bDontShowAgain = form->IDC_1023->isChecked();
    else
        form->IDC_1023->setChecked(m_bDontShowAgain);
}

bool CDWarningSupp::DontShowAgainChecked() const
{
    return form->IDC_1023->isChecked();
}
