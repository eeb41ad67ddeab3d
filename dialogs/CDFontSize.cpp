#include "CDFontSize.h"

#include "platform/MessageBox.h"

#include "ui_CDFontSize.h"

#include <QPushButton>

CDFontSize::CDFontSize(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CDFontSize>())
{
    form->setupUi(this);
    connect(form->buttons, &QDialogButtonBox::accepted, this, [this] { OnOk(); });
}

CDFontSize::~CDFontSize() = default;

void CDFontSize::OnOk()
{
    // The size must be a number from 0 to 200; otherwise the dialog stays open.
    bool ok = false;
    float value = form->IDC_1025->text().toFloat(&ok);
    if (!ok || value < 0.0f || value > 200.0f) {
        AfxMessageBox("Enter a number between 0 and 200.", MB_ICONWARNING);
        form->IDC_1025->setFocus();
        return;
    }
    accept();
}

void CDFontSize::DoDataExchange(bool saving)
{
    if (!saving) {
        form->IDC_1025->setText(QString::number(m_fSize));
        return;
    }
    bool ok = false;
    float value = form->IDC_1025->text().toFloat(&ok);
    if (ok && value >= 0.0f && value <= 200.0f) m_fSize = value;
}
