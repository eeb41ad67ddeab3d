#include "CDSaveWarning.h"

#include "platform/Help.h"

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

void CDSaveWarning::OnSaveWithChosenExtension()
{
    m_bSaveAsBnx = 0;
    accept();
}
