#include "CNumDiag.h"

#include "platform/MessageBox.h"

#include "ui_CNumDiag.h"

#include <QPushButton>

CNumDiag::CNumDiag(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CNumDiag>())
{
    form->setupUi(this);
    connect(form->IDC_150, &QPushButton::clicked, this, [this] { OnDefault(); });
    connect(form->IDOK, &QPushButton::clicked, this, [this] {
        if (TypedNumber() == 0) {
            AfxMessageBox("Please enter an integer between 1 and 2147483647.", MB_ICONWARNING);
            return;
        }
        accept();
    });
}

CNumDiag::~CNumDiag() = default;

void CNumDiag::OnDefault()
{
    m_nNumber = 1;
    DoDataExchange(false);
}

int CNumDiag::TypedNumber() const
{
    bool ok = false;
    qlonglong n = form->IDC_1026->text().trimmed().toLongLong(&ok);
    return ok && n >= 1 && n <= 2147483647 ? static_cast<int>(n) : 0;
}

void CNumDiag::DoDataExchange(bool saving)
{
    if (!saving) {
        form->IDC_1026->setText(QString::number(m_nNumber));
        return;
    }
    if (int n = TypedNumber()) m_nNumber = n;
}
