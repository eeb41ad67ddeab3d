#include "ColourDialog.h"

#include <QColorDialog>

using namespace Win32;

std::function<bool(COLORREF&)> colourChooserScript;

bool ChooseColour(QWidget* parent, COLORREF& colour)
{
    if (colourChooserScript) return colourChooserScript(colour);
    QColor chosen
        = QColorDialog::getColor(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)), parent);
    if (!chosen.isValid()) return false;
    colour = RGB(chosen.red(), chosen.green(), chosen.blue());
    return true;
}
