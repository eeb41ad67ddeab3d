#include "CNumDiag.h"

#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "positions/DiagramList.h"

#include "res/StringIds.h"
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
            AfxMessageBox(
                FormatString1(StringId::EnterNumberUpTo, std::to_string(DiagramList::MaxStartNumber)),
                MB_ICONWARNING);
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
    return ok && n >= 1 && n <= DiagramList::MaxStartNumber ? static_cast<int>(n) : 0;
}

void CNumDiag::DoDataExchange(bool saving)
{
    if (!saving) {
        form->IDC_1026->setText(QString::number(m_nNumber));
        return;
    }
    if (int n = TypedNumber()) m_nNumber = n;
}
