#include "app/CPlaviaApp.h"
#include "app/CommandLine.h"
#include "app/EndRequests.h"
#include "app/TestScript.h"
#include "platform/Strings.h"
#include "res/StringIds.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    // The usage text and the version need no window, nor a display to show one on.
    CommandLine::SetArguments(argc, argv);
    if (const CommandLine::Request asked = CommandLine::Parse(CommandLine::Arguments());
        asked.help || asked.version) {
        std::puts((asked.help ? CommandLine::UsageText() : LoadString(StringId::ProgramTitle)).c_str());
        return 0;
    }
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Brennix");
    QApplication::setOrganizationName("Oskeld free chess software");
    // What is left once Qt has taken its own options.
    CommandLine::SetArguments(argc, argv);
    for (const std::string& option : CommandLine::Parse(CommandLine::Arguments()).unknownOptions)
        std::fprintf(stderr, "%s\n", CommandLine::UnknownOptionText(option).c_str());
    CPlaviaApp app;
    TestScript script(app);
    EndRequests::Install(app);
    if (!app.InitInstance()) return 1;
    script.Start();
    int result = qt.exec();
    int exitResult = app.ExitInstance();
    return result != 0 ? result : exitResult;
}
