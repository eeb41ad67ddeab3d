#include "CEditeurDlg.h"

#include "platform/Codec.h"
#include "platform/Help.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"

#include "res/StringIds.h"
#include "ui_CEditeurDlg.h"
#include "ui_CTITLE.h"

#include <QEvent>
#include <QHelpEvent>
#include <QRegularExpressionValidator>
#include <QTextCursor>
#include <QTextOption>
#include <algorithm>
#include <cstdio>

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

void Select(QPlainTextEdit* edit, qsizetype from, qsizetype to)
{
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(static_cast<int>(from));
    cursor.setPosition(static_cast<int>(to), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}
void Select(QLineEdit* edit, qsizetype from, qsizetype to)
{
    edit->setSelection(static_cast<int>(from), static_cast<int>(to - from));
}

// Selects the first character of the text that Windows-1252 cannot store and says which cannot be;
// false when there is one.
template <class Edit> bool StorableOrReported(Edit* edit, const QString& text)
{
    const Codec::Unstorable found = Codec::FindUnstorable(text);
    if (!found.Any()) return true;
    std::string list;
    for (size_t i = 0; i < found.characters.size(); ++i) {
        if (i == 8) {
            list += ", ...";
            break;
        }
        char code[16];
        std::snprintf(
            code, sizeof code, "%sU+%04X", i ? ", " : "", static_cast<unsigned>(found.characters[i]));
        list += code;
    }
    Select(edit, found.first, found.first + found.length);
    AfxMessageBox(FormatString1(StringId::CharactersNotInCodePage, list), MB_ICONWARNING);
    edit->setFocus();
    return false;
}

} // namespace

QString PlainTextOf(const QPlainTextEdit* edit)
{
    // toPlainText() turns no-break spaces into blanks; the raw text keeps every character.
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

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
        m_strComment = MultiLineFromQt(PlainTextOf(form->IDC_112));
        m_nActiveColour = form->IDC_110->isChecked() ? 1 : 0;
        m_strEnPassant = Bytes(form->IDC_120->text().left(1));
        m_strFullMove = Bytes(form->IDC_1005->text());
        m_strHalfmove = Bytes(form->IDC_1063->text());
        return;
    }
    form->IDC_106->setChecked(m_bWhiteQueenSide);
    form->IDC_105->setChecked(m_bWhiteKingSide);
    form->IDC_107->setChecked(m_bBlackKingSide);
    form->IDC_108->setChecked(m_bBlackQueenSide);
    const QString comment = MultiLineToQt(m_strComment);
    commentLimit = std::max<qsizetype>(1000, comment.size());
    form->IDC_112->setPlainText(comment);
    // Any side other than Black (a value from elsewhere) shows as White, as the file writes it.
    form->IDC_109->setChecked(m_nActiveColour != 1);
    form->IDC_110->setChecked(m_nActiveColour == 1);
    form->IDC_120->setText(Text(m_strEnPassant));
    // Three digits can be typed; a longer number the diagram brought is shown, and kept, whole.
    form->IDC_1005->setMaxLength(std::max(3, static_cast<int>(m_strFullMove.size())));
    form->IDC_1005->setText(Text(m_strFullMove));
    form->IDC_1063->setText(Text(m_strHalfmove));
}

void CEditeurDlg::accept()
{
    const QString comment = PlainTextOf(form->IDC_112);
    if (!StorableOrReported(form->IDC_112, comment)) return;
    if (comment.size() > commentLimit) {
        std::string text = LoadString(StringId::CommentTooLong);
        text.replace(text.find("%1"), 2, std::to_string(comment.size()));
        text.replace(text.find("%2"), 2, std::to_string(commentLimit));
        Select(form->IDC_112, commentLimit, comment.size());
        AfxMessageBox(text, MB_ICONWARNING);
        form->IDC_112->setFocus();
        return;
    }
    CDialog::accept();
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
        m_strTopText = MultiLineFromQt(PlainTextOf(form->IDC_1031));
        m_strInfo = Bytes(form->IDC_1032->text());
        return;
    }
    form->IDC_1030->setText(Text(m_strTitle));
    form->IDC_1031->setPlainText(MultiLineToQt(m_strTopText));
    form->IDC_1032->setText(Text(m_strInfo));
}

void CTITLE::accept()
{
    if (!StorableOrReported(form->IDC_1030, form->IDC_1030->text())) return;
    if (!StorableOrReported(form->IDC_1031, PlainTextOf(form->IDC_1031))) return;
    if (!StorableOrReported(form->IDC_1032, form->IDC_1032->text())) return;
    CDialog::accept();
}
