#include "CPlaviaView.h"

#include "app/AppSettings.h"

#include <QPainter>

void CPlaviaView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    COLORREF c = SettingsState::backgroundColour;
    painter.fillRect(rect(), QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
}
