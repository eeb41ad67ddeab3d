#include "CEditeurDlg.h"

#include "platform/Codec.h"
#include "platform/Help.h"

#include "ui_CEditeurDlg.h"
#include "ui_CTITLE.h"

#include <QEvent>
#include <QHelpEvent>
#include <QRegularExpressionValidator>
#include <QTextOption>

namespace {

const HelpIdPairs editorHelp = { { 105, 1 }, { 106, 2 }, { 107, 3 }, { 108, 4 }, { 109, 5 }, { 110, 6 },
    { 112, 7 }, { 1029, 8 }, { 120, 9 }, { 1005, 10 }, { 1063, 11 }, { 1026, 12 } };

QString Text(const std::string& bytes)
{
    return Codec::ToQt(bytes);
}
std::string Bytes(const QString& text)
{
    return Codec::FromQt(text);
}

} // namespace

QString MultiLineToQt(const std::string& bytes)
{
    QString text = Codec::ToQt(bytes);
    text.replace("\r\n", "\n");
    return text;
}

std::string MultiLineFromQt(const QString& text)
{
    QString t = text;
    t.replace("\r\n", "\n");
    t.replace("\n", "\r\n");
    return Codec::FromQt(t);
}

CEditeurDlg::CEditeurDlg(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CEditeurDlg>())
{
    form->setupUi(this);
    QTextOption centred(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    form->IDC_112->document()->setDefaultTextOption(centred);
    // Counters are numbers: only digits can be typed.
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
    form->IDC_1005->setValidator(digits);
    form->IDC_1063->setValidator(digits);
    for (QCheckBox* box : { form->IDC_105, form->IDC_106, form->IDC_107, form->IDC_108 })
        connect(box, &QCheckBox::clicked, this, [this] { OnCastlingClicked(); });
    connect(form->IDC_1029, &QPushButton::clicked, this, [this] { OnPageTextEditor(); });
    connect(form->IDC_1026, &QPushButton::clicked, this, [this] { OnHelpButton(); });
    // The en passant box shows lower case, as a file letter is written.
    connect(form->IDC_120, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (t != t.toLower()) form->IDC_120->setText(t.toLower());
    });
}

CEditeurDlg::~CEditeurDlg() = default;

void CEditeurDlg::OnInitDialog()
{
    InstallControlHelp(this, m_szHelpPath + "editepd.txt", editorHelp);
}

void CEditeurDlg::DoDataExchange(bool saving)
{
    if (saving) {
        m_bWhiteQueenSide = form->IDC_106->isChecked();
        m_bWhiteKingSide = form->IDC_105->isChecked();
        m_bBlackKingSide = form->IDC_107->isChecked();
        m_bBlackQueenSide = form->IDC_108->isChecked();
        m_strComment = MultiLineFromQt(form->IDC_112->toPlainText().left(1000));
        m_nActiveColour = form->IDC_110->isChecked() ? 1 : 0;
        m_strEnPassant = Bytes(form->IDC_120->text().left(1));
        m_strFullMove = Bytes(form->IDC_1005->text().left(3));
        m_strHalfmove = Bytes(form->IDC_1063->text());
        return;
    }
    form->IDC_106->setChecked(m_bWhiteQueenSide);
    form->IDC_105->setChecked(m_bWhiteKingSide);
    form->IDC_107->setChecked(m_bBlackKingSide);
    form->IDC_108->setChecked(m_bBlackQueenSide);
    form->IDC_112->setPlainText(MultiLineToQt(m_strComment));
    // Any side other than Black (a value from elsewhere) shows as White, as the file writes it.
    form->IDC_109->setChecked(m_nActiveColour != 1);
    form->IDC_110->setChecked(m_nActiveColour == 1);
    form->IDC_120->setText(Text(m_strEnPassant));
    form->IDC_1005->setText(Text(m_strFullMove));
    form->IDC_1063->setText(Text(m_strHalfmove));
}

void CEditeurDlg::OnPageTextEditor()
{
    CTITLE titles(this);
    titles.m_strTitle = m_strPageTitle;
    titles.m_strTopText = m_strPageTopText;
    titles.m_strInfo = m_strPageInfo;
    if (titles.DoModal() != IDOK) return;
    m_strPageTitle = titles.m_strTitle;
    m_strPageTopText = titles.m_strTopText;
    m_strPageInfo = titles.m_strInfo;
}

void CEditeurDlg::OnHelpButton()
{
    AfxHtmlHelp(this, m_szHelpPath + "/html/dial3s6q.htm", HH_DISPLAY_TOPIC);
}

bool CEditeurDlg::event(QEvent* e)
{
    // F1 over a control pops up its topic, the way the help key works on the program's dialogs.
    if (e->type() == QEvent::WhatsThis) {
        auto* help = static_cast<QHelpEvent*>(e);
        QWidget* control = childAt(help->pos());
        if (control) AfxHtmlHelp(control, m_szHelpPath + "editepd.txt", HH_TP_HELP_WM_HELP, editorHelp);
        return true;
    }
    return CDialog::event(e);
}

struct CTITLE::Form : Ui::CTITLE { };

CTITLE::CTITLE(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Form>())
{
    form->setupUi(this);
    QTextOption centred(Qt::AlignHCenter);
    form->IDC_1031->document()->setDefaultTextOption(centred);
}

CTITLE::~CTITLE() = default;

void CTITLE::DoDataExchange(bool saving)
{
    if (saving) {
        m_strTitle = Bytes(form->IDC_1030->text());
        m_strTopText = MultiLineFromQt(form->IDC_1031->toPlainText());
        m_strInfo = Bytes(form->IDC_1032->text());
        return;
    }
    form->IDC_1030->setText(Text(m_strTitle));
    form->IDC_1031->setPlainText(MultiLineToQt(m_strTopText));
    form->IDC_1032->setText(Text(m_strInfo));
}
