#include "CSetPieces.h"

#include "platform/Codec.h"
#include "platform/Help.h"

#include "ui_CSetPieces.h"

std::string PgnRtfHeader(int fontSize)
{
    return "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\froman Varnok Fairy;}}\n"
           "{\\colortbl\\red0\\green0\\blue0;}\n"
           "\\deflang1033\\pard\\tx360\\tx720\\tx1080\\tx1440\\tx1800\\tx2160\\tx2520\\tx2880\\tx3240\\tx3600"
           "\\tx3960\\tx4320\\tx4680\\tx5040\\tx5400\\tx5760\\tx6120\\tx6480\\plain\\f3\\fs"
        + std::to_string(fontSize) + " ";
}

CSetPieces::CSetPieces(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CSetPieces>())
{
    form->setupUi(this);
    form->IDC_1093->setMaxLength(5);
    connect(form->IDC_1028, &QPushButton::clicked, this, [this] { OnHelpButton(); });
}

CSetPieces::~CSetPieces() = default;

std::string CSetPieces::SampleRtf()
{
    return PgnRtfHeader(80) + "nbrqk\n\\par }";
}

void CSetPieces::OnInitDialog()
{
    if (!m_strFontFace.empty()) form->IDC_1092->SetChessFace(m_strFontFace);
    form->IDC_1092->SetRtf(SampleRtf());
}

void CSetPieces::DoDataExchange(bool saving)
{
    if (saving) {
        m_strLetters = Codec::FromQt(form->IDC_1093->text()).substr(0, 5);
        m_strCountry = Codec::FromQt(form->IDC_1094->text());
    } else {
        form->IDC_1093->setText(Codec::ToQt(m_strLetters.substr(0, 5)));
        form->IDC_1094->setText(Codec::ToQt(m_strCountry));
    }
}

void CSetPieces::OnHelpButton()
{
    AfxHtmlHelp(this, m_szHelpPath + "/html/lang.htm", HH_DISPLAY_TOPIC);
}
