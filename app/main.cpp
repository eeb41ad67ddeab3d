#include "app/CPlaviaApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Brennix");
    QApplication::setOrganizationName("Oskeld free chess software");
    CPlaviaApp app;
    if (!app.InitInstance()) return 1;
    int result = qt.exec();
    int exitResult = app.ExitInstance();
    return result != 0 ? result : exitResult;
}
