#include "CDialogChangeFont.h"

#include "platform/ChessFontTable.h"
#include "platform/Codec.h"
#include "platform/Help.h"
#include "platform/Strings.h"
#include "positions/BoardLetters.h"

#include "res/StringIds.h"
#include "ui_CDialogChangeFont.h"

#include <QHelpEvent>
#include <QPixmap>

namespace {

const HelpIdPairs fontHelp = { { 1040, 1 }, { 1044, 2 }, { 1039, 3 }, { 1041, 4 }, { 1042, 5 }, { 1043, 6 },
    { 1048, 7 }, { 1047, 8 }, { 1046, 9 } };

// The page about the letters of a face that spells pieces its own way; none for the other faces.
const char* FontInfoPage(const std::string& face)
{
    if (face == "Chess Alpha") return "/html/alpha.htm";
    if (BoardLetters::IsBerlinFace(face)) return "/html/berlin.htm";
    return nullptr;
}

QListWidgetItem* AddEntry(QListWidget* list, int index)
{
    auto* item = new QListWidgetItem(Codec::ToQt(ChessFontFaceName(index)), list);
    item->setData(Qt::UserRole, index);
    return item;
}

} // namespace

CDialogChangeFont::CDialogChangeFont(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CDialogChangeFont>())
{
    form->setupUi(this);
    Ui::CDialogChangeFont& f = *form;
    f.IDC_1039->setSortingEnabled(true);
    f.IDC_1042->setSortingEnabled(true);
    connect(f.IDC_1039, &QListWidget::itemSelectionChanged, this, [this] { OnSelchangeInstalledFonts(); });
    connect(f.IDC_1042, &QListWidget::itemSelectionChanged, this, [this] { OnSelchangeNotInstalledList(); });
    connect(f.IDC_1039, &QListWidget::itemDoubleClicked, this, [this] { OnDblclkInstalledFonts(); });
    connect(f.IDOK, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(f.IDC_1046, &QPushButton::clicked, this, [this] { OnFontInfo(); });
    connect(f.IDC_1047, &QPushButton::clicked, this, [this] { OnHelpButton(); });
}

CDialogChangeFont::~CDialogChangeFont() = default;

int CDialogChangeFont::SelectedIndex(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->data(Qt::UserRole).toInt();
}

void CDialogChangeFont::OnInitDialog()
{
    Ui::CDialogChangeFont& f = *form;
    f.IDC_1043->PreSubclassWindow();
    f.IDC_1043->setText(LoadQString(StringId::FontsPageAddress));
    f.IDC_1043->SetAddress(LoadString(StringId::FontsPageAddress));
    f.IDC_1039->clear();
    f.IDC_1042->clear();
    for (int i = 0; i < ChessFontCount; ++i)
        AddEntry(installedChessFonts[size_t(i)] ? f.IDC_1039 : f.IDC_1042, i);
    f.IDC_1039->sortItems();
    f.IDC_1042->sortItems();

    // The entry that begins with the current face, if that font is installed.
    const QString current = Codec::ToQt(ChessFontFaceName(m_nCurrentFont));
    for (int row = 0; row < f.IDC_1039->count(); ++row)
        if (!current.isEmpty() && f.IDC_1039->item(row)->text().startsWith(current, Qt::CaseInsensitive)) {
            f.IDC_1039->setCurrentRow(row);
            break;
        }
    f.IDC_1046->setEnabled(FontInfoPage(ChessFontFaceName(m_nCurrentFont)) != nullptr);
    if (f.IDC_1042->count() > 0) {
        f.IDC_1042->setCurrentRow(0);
        ShowSample(1, SelectedIndex(f.IDC_1042));
    } else {
        f.IDC_1041->clear();
    }
    ShowSample(0, m_nCurrentFont);
    m_nFontIndex = SelectedIndex(f.IDC_1039);
    SetAuthorText(0, m_nFontIndex);
    EnableOk();
    InstallControlHelp(this, m_szHelpPath + "Text1.txt", fontHelp);
}

void CDialogChangeFont::DoDataExchange(bool saving)
{
    if (saving) m_nFontIndex = SelectedIndex(form->IDC_1039);
}

void CDialogChangeFont::ShowSample(int side, int index)
{
    QLabel* picture = side == 0 ? form->IDC_1040 : form->IDC_1041;
    if (index < 0 || index >= ChessFontCount) {
        picture->clear();
        return;
    }
    picture->setPixmap(QPixmap::fromImage(ChessFontSample(index)));
}

void CDialogChangeFont::SetAuthorText(int side, int index)
{
    QLabel* line = side == 0 ? form->IDC_1044 : form->IDC_1048;
    line->setText(index < 0 ? QString() : Codec::ToQt(ChessFontCredit(index)));
}

void CDialogChangeFont::EnableOk()
{
    // Without a chosen font OK would hand back no font at all.
    form->IDOK->setEnabled(SelectedIndex(form->IDC_1039) >= 0);
}

void CDialogChangeFont::OnSelchangeInstalledFonts()
{
    const int index = SelectedIndex(form->IDC_1039);
    EnableOk();
    if (index < 0) return;
    SetAuthorText(0, index);
    ShowSample(0, index);
    form->IDC_1046->setEnabled(FontInfoPage(ChessFontFaceName(index)) != nullptr);
}

void CDialogChangeFont::OnSelchangeNotInstalledList()
{
    const int index = SelectedIndex(form->IDC_1042);
    if (index < 0) return;
    SetAuthorText(1, index);
    ShowSample(1, index);
}

void CDialogChangeFont::OnDblclkInstalledFonts()
{
    m_nFontIndex = SelectedIndex(form->IDC_1039);
    OnOK();
}

void CDialogChangeFont::OnOK()
{
    m_nFontIndex = SelectedIndex(form->IDC_1039);
    if (m_nFontIndex < 0) return;
    accept();
}

void CDialogChangeFont::OnFontInfo()
{
    if (const char* page = FontInfoPage(ChessFontFaceName(SelectedIndex(form->IDC_1039))))
        AfxHtmlHelp(this, m_szHelpPath + page, HH_DISPLAY_TOPIC);
}

void CDialogChangeFont::OnHelpButton()
{
    AfxHtmlHelp(this, m_szHelpPath + "/html/dial3s6s.htm", HH_DISPLAY_TOPIC);
}

bool CDialogChangeFont::event(QEvent* e)
{
    if (e->type() == QEvent::WhatsThis) {
        auto* help = static_cast<QHelpEvent*>(e);
        if (QWidget* control = childAt(help->pos()))
            AfxHtmlHelp(control, m_szHelpPath + "Text1.txt", HH_TP_HELP_WM_HELP, fontHelp);
        return true;
    }
    return CDialog::event(e);
}
