#include "CDTaille.h"

#include "ui_CDTaille.h"

#include <QIntValidator>

CDTaille::CDTaille(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CDTaille>())
{
    form->setupUi(this);
    form->IDC_1011->setValidator(new QIntValidator(0, 100000, this));
}

CDTaille::~CDTaille() = default;

void CDTaille::DoDataExchange(bool saving)
{
    if (saving)
        m_nSize = form->IDC_1011->text().toInt();
    else
        form->IDC_1011->setText(QString::number(m_nSize));
}
