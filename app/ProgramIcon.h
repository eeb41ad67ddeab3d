#pragma once

#include <QIcon>

// The program's icon: a knight of the chess font on a light square, drawn when first asked for.
QIcon ProgramIcon();
