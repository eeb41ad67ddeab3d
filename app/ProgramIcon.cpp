#include "ProgramIcon.h"

#include "platform/Dc.h"

#include <QPixmap>

using namespace Win32;

QImage ProgramIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        Dc dc(&image);
        CFont font;
        font.CreateFont(size, 0, 0, 0, FW_NORMAL, false, false, false, ANSI_CHARSET, OUT_STROKE_PRECIS, 0,
            ANTIALIASED_QUALITY, 0, "Chess Merida");
        CFont* old = dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(0, 0, 0));
        dc.TextOut(0, 0, "n");
        dc.SelectObject(old);
    }
    return image;
}

QIcon ProgramIcon()
{
    static const QIcon icon = [] {
        QIcon result;
        for (int size : { 16, 32, 48 }) result.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
        return result;
    }();
    return icon;
}
