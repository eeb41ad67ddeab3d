#include "CDSaveWarning.h"

#include "platform/Codec.h"
#include "platform/Help.h"
#include "platform/Strings.h"
#include "positions/KindLosses.h"

#include "res/StringIds.h"
#include "ui_CDSaveWarning.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

CDSaveWarning::CDSaveWarning(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CDSaveWarning>())
{
    form->setupUi(this);
    connect(form->IDOK, &QPushButton::clicked, this, [this] { accept(); });
    connect(form->IDC_1028, &QPushButton::clicked, this, [this] { OnSaveWithChosenExtension(); });
    connect(form->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
    new QShortcut(QKeySequence::HelpContents, this,
        [this] { AfxHtmlHelp(this, m_szHelpPath + "/html/savewarning.htm", HH_DISPLAY_TOPIC); });
}

CDSaveWarning::~CDSaveWarning() = default;

std::string CDSaveWarning::LostText(unsigned parts)
{
    std::string names;
    for (KindLosses::Part part : KindLosses::PartsInOrder(parts)) {
        // The names follow the parts' bits, the first part's first.
        unsigned bit = 0;
        while ((1u << bit) != unsigned(part)) ++bit;
        names += (names.empty() ? "" : ", ") + LoadString(StringId::FirstLostPart + bit);
    }
    return names.empty() ? std::string() : FormatString1(StringId::KindCannotKeep, names);
}

void CDSaveWarning::OnInitDialog()
{
    form->lostLabel->setText(Codec::ToQt(LostText(m_nLostParts)));
    form->lostLabel->setVisible(m_nLostParts != 0);
}

void CDSaveWarning::OnSaveWithChosenExtension()
{
    m_bSaveAsBnx = 0;
    accept();
}
