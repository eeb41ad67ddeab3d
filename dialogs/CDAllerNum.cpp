#include "CDAllerNum.h"

#include "platform/Help.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"

#include "res/StringIds.h"
#include "ui_CDAllerNum.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

CDAllerNum::CDAllerNum(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CDAllerNum>())
{
    form->setupUi(this);
    m_edit = form->IDC_1011;
    connect(form->IDOK, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(form->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
    new QShortcut(QKeySequence::HelpContents, this,
        [this] { AfxHtmlHelp(this, m_szHelpPath + "/html/gotonumber.htm", HH_DISPLAY_TOPIC); });
}

CDAllerNum::~CDAllerNum() = default;

void CDAllerNum::OnOK()
{
    bool ok = false;
    const qlonglong typed = m_edit->text().trimmed().toLongLong(&ok);
    if (ok && typed > m_nCount) {
        AfxMessageBox(FormatString1(StringId::NumberBeyondList, std::to_string(m_nCount)), MB_ICONERROR);
        return;
    }
    if (!ok) {
        AfxMessageBox(StringId::EnterAnInteger, MB_ICONWARNING);
        return;
    }
    if (typed < 1 || typed > 99999999) {
        AfxMessageBox(StringId::EnterAnIntegerInRange, MB_ICONWARNING);
        return;
    }
    accept();
}

void CDAllerNum::DoDataExchange(bool saving)
{
    if (saving)
        m_nNumber = m_edit->text().trimmed().toInt();
    else
        m_edit->setText(QString::number(m_nNumber));
}
