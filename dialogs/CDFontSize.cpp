#include "CDFontSize.h"

#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "positions/BoardText.h"

#include "res/StringIds.h"
#include "ui_CDFontSize.h"

#include <QPushButton>
#include <cmath>

namespace {

// A size a copy can be read at: 0 (the size of the squares on screen) or 1 to MaxCopyPoints points.
// Below one point the copy's size in half-points comes out as 0 or 1, which no word processor shows;
// above the largest, the board no longer fits across a page.
bool ReadSize(const QString& text, float& size)
{
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value)
        || !(value == 0.0f || (value >= 1.0f && value < float(BoardText::MaxCopyPoints + 1))))
        return false;
    size = value;
    return true;
}

} // namespace

CDFontSize::CDFontSize(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CDFontSize>())
{
    form->setupUi(this);
    connect(form->buttons, &QDialogButtonBox::accepted, this, [this] { OnOk(); });
}

CDFontSize::~CDFontSize() = default;

void CDFontSize::OnOk()
{
    float value = 0.0f;
    if (!ReadSize(form->IDC_1025->text(), value)) {
        AfxMessageBox(LoadString(StringId::FontSizeRange), MB_ICONWARNING);
        form->IDC_1025->setFocus();
        form->IDC_1025->selectAll();
        return;
    }
    accept();
}

void CDFontSize::DoDataExchange(bool saving)
{
    if (!saving) {
        form->IDC_1025->setText(QString::number(m_fSize));
        return;
    }
    ReadSize(form->IDC_1025->text(), m_fSize);
}
