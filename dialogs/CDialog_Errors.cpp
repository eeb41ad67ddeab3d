#include "CDialog_Errors.h"

#include "platform/Codec.h"
#include "platform/Help.h"
#include "platform/Strings.h"
#include "positions/ErrorList.h"

#include "res/StringIds.h"
#include "ui_CDialog_Errors.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

CDialog_Errors::CDialog_Errors(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CDialog_Errors>())
{
    form->setupUi(this);
    connect(form->IDOK, &QPushButton::clicked, this, [this] { accept(); });
    connect(form->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
    new QShortcut(QKeySequence::HelpContents, this,
        [this] { AfxHtmlHelp(this, m_szHelpPath + "/html/openerrors.htm", HH_DISPLAY_TOPIC); });
}

CDialog_Errors::~CDialog_Errors() = default;

QListWidget* CDialog_Errors::ListBox() const
{
    return form->IDC_1010;
}

void CDialog_Errors::OnInitDialog()
{
    form->IDC_1010->clear();
    if (!m_pErrors) return;
    const auto& entries = m_pErrors->Entries();
    for (size_t i = 0; i < m_pErrors->ListedCount(); ++i) {
        const ErrorListEntry& entry = entries[i];
        if (entry.lineNumber <= 0) continue;
        std::string line = "Ligne " + std::to_string(entry.lineNumber) + " : ";
        if (int id = ErrorMessageId(entry.code)) line += LoadString(static_cast<unsigned>(id));
        form->IDC_1010->addItem(Codec::ToQt(line));
    }
    if (m_pErrors->MoreCount() > 0)
        form->IDC_1010->addItem(
            Codec::ToQt(FormatString1(StringId::MoreFaultyLines, std::to_string(m_pErrors->MoreCount()))));
}
