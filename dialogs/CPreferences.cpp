#include "CPreferences.h"

#include "platform/ColourDialog.h"
#include "platform/Help.h"
#include "settings/AppSettings.h"

#include "ui_CPreferences.h"

#include <QHelpEvent>

using namespace Win32;

namespace {

const HelpIdPairs preferencesHelp = { { 1000, 1 }, { 1007, 2 }, { 1002, 3 }, { 1006, 4 }, { 1022, 5 },
    { 1036, 6 }, { 1037, 7 }, { 1005, 8 }, { 1003, 9 }, { 1013, 12 }, { 1014, 13 }, { 1015, 14 },
    { 1016, 15 }, { 1017, 16 }, { 1018, 17 }, { 1034, 18 }, { 1035, 19 }, { 1038, 20 }, { 1033, 21 },
    { 1049, 22 }, { 3, 23 }, { 1001, 24 }, { 1004, 25 }, { 1095, 26 } };

void Paint(QWidget* swatch, COLORREF colour)
{
    QColor c(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::WindowText, c);
    swatch->setPalette(p);
}

} // namespace

CPreferences::CPreferences(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CPreferences>())
{
    form->setupUi(this);
    Ui::CPreferences& f = *form;
    // The position is taken when the user lets the handle go, as the trackbar reports it.
    connect(f.IDC_1002, &QSlider::sliderReleased, this, [this] { m_nBlend = form->IDC_1002->value(); });
    connect(f.IDC_1002, &QSlider::valueChanged, this, [this](int v) {
        if (!form->IDC_1002->isSliderDown()) m_nBlend = v;
    });
    connect(f.IDC_1000, &QPushButton::clicked, this, [this] {
        if (ChooseColour(this, m_crPieces)) ShowSwatches();
    });
    connect(f.IDC_1007, &QPushButton::clicked, this, [this] {
        m_crPieces = m_crPiecesSaved;
        ShowSwatches();
    });
    connect(f.IDC_1003, &QPushButton::clicked, this, [this] {
        if (ChooseColour(this, m_crBackground)) ShowSwatches();
    });
    connect(f.IDC_1005, &QPushButton::clicked, this, [this] {
        m_crBackground = m_crBackgroundSaved;
        ShowSwatches();
    });
    connect(f.IDC_1013, &QRadioButton::clicked, this, [this] {
        m_nPrintMode = 0;
        EnableOnePerPage(false);
    });
    connect(f.IDC_1014, &QRadioButton::clicked, this, [this] {
        m_nPrintMode = 1;
        EnableOnePerPage(true);
        QRadioButton* sizes[3] = { form->IDC_1017, form->IDC_1016, form->IDC_1015 };
        sizes[std::clamp(m_nDiagramSize, 0, 2)]->setChecked(true);
    });
    connect(f.IDC_1017, &QRadioButton::clicked, this, [this] { m_nDiagramSize = 0; });
    connect(f.IDC_1016, &QRadioButton::clicked, this, [this] { m_nDiagramSize = 1; });
    connect(f.IDC_1015, &QRadioButton::clicked, this, [this] { m_nDiagramSize = 2; });
    connect(f.IDC_1033, &QCheckBox::toggled, this, [this](bool on) { form->IDC_1049->setEnabled(on); });
    connect(f.IDC_3, &QPushButton::clicked, this,
        [this] { AfxHtmlHelp(this, m_szHelpPath + "/html/dial3s6r.htm", HH_DISPLAY_TOPIC); });
}

CPreferences::~CPreferences() = default;

void CPreferences::ShowSwatches()
{
    Paint(form->IDC_1001, m_crPieces);
    Paint(form->IDC_1004, m_crBackground);
}

void CPreferences::EnableOnePerPage(bool on)
{
    for (QWidget* w :
        std::initializer_list<QWidget*> { form->IDC_1015, form->IDC_1016, form->IDC_1017, form->IDC_1018 })
        w->setEnabled(on);
}

void CPreferences::OnInitDialog()
{
    InstallControlHelp(this, m_szHelpPath + "preferences.txt", preferencesHelp);
}

void CPreferences::DoDataExchange(bool saving)
{
    Ui::CPreferences& f = *form;
    if (saving) {
        m_bLegalOnly = f.IDC_1006->isChecked();
        m_nPrintMode = f.IDC_1014->isChecked() ? 1 : 0;
        m_bPrintComments = f.IDC_1018->isChecked();
        m_bDeleteWarning = f.IDC_1022->isChecked();
        m_bPrintCoords = f.IDC_1033->isChecked();
        m_bPrintActiveColour = f.IDC_1034->isChecked();
        m_bPrintPageNumber = f.IDC_1035->isChecked();
        m_bPictureCoords = f.IDC_1036->isChecked();
        m_bTransparentBackground = f.IDC_1037->isChecked();
        m_bIntelligentMouse = f.IDC_1038->isChecked();
        m_bUpperCaseCoords = f.IDC_1049->isChecked();
        m_bNoBorder = f.IDC_1095->isChecked();
        return;
    }
    m_crBackgroundSaved = m_crBackground;
    m_crPiecesSaved = m_crPieces;
    ShowSwatches();
    f.IDC_1002->setValue(m_nBlend);
    m_nBlend = f.IDC_1002->value(); // the trackbar keeps 128..255
    f.IDC_1006->setChecked(m_bLegalOnly);
    f.IDC_1013->setChecked(m_nPrintMode == 0);
    f.IDC_1014->setChecked(m_nPrintMode == 1);
    // The warning box shows the setting itself; like every box, it reaches the setting only on OK.
    m_bDeleteWarning = AppSettings::DeleteWarning != 0;
    f.IDC_1022->setChecked(m_bDeleteWarning);
    f.IDC_1018->setChecked(m_bPrintComments);
    f.IDC_1033->setChecked(m_bPrintCoords);
    f.IDC_1049->setChecked(m_bUpperCaseCoords);
    f.IDC_1049->setEnabled(m_bPrintCoords);
    f.IDC_1034->setChecked(m_bPrintActiveColour);
    f.IDC_1035->setChecked(m_bPrintPageNumber);
    f.IDC_1036->setChecked(m_bPictureCoords);
    f.IDC_1037->setChecked(m_bTransparentBackground);
    f.IDC_1038->setChecked(m_bIntelligentMouse);
    f.IDC_1095->setChecked(m_bNoBorder);
    EnableOnePerPage(m_nPrintMode == 1);
    if (m_nPrintMode == 1) {
        QRadioButton* sizes[3] = { f.IDC_1017, f.IDC_1016, f.IDC_1015 };
        sizes[std::clamp(m_nDiagramSize, 0, 2)]->setChecked(true);
    }
}

bool CPreferences::event(QEvent* e)
{
    if (e->type() == QEvent::WhatsThis) {
        auto* help = static_cast<QHelpEvent*>(e);
        if (QWidget* control = childAt(help->pos()))
            AfxHtmlHelp(control, m_szHelpPath + "preferences.txt", HH_TP_HELP_WM_HELP, preferencesHelp);
        return true;
    }
    return CDialog::event(e);
}
