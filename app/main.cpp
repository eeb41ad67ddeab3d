#include "app/CPlaviaApp.h"
#include "app/EndRequests.h"
#include "app/TestScript.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Brennix");
    QApplication::setOrganizationName("Oskeld free chess software");
    CPlaviaApp app;
    TestScript script(app);
    EndRequests::Install(app);
    if (!app.InitInstance()) return 1;
    script.Start();
    int result = qt.exec();
    int exitResult = app.ExitInstance();
    return result != 0 ? result : exitResult;
}
