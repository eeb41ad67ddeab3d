#pragma once

#include <QIcon>
#include <QImage>

// The program's icon: a knight of the chess font on a light square, drawn when first asked for.
QIcon ProgramIcon();
// The icon's picture at one size (square, `size` pixels), as the desktop's icon theme takes it.
QImage ProgramIconImage(int size);
