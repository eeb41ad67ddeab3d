// Writes the program's icon in the sizes of the desktop's icon theme, for the installation:
// write_icons FOLDER makes FOLDER/hicolor/NxN/apps/brennix.png.
#include "app/ProgramIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_icons FOLDER\n");
        return 2;
    }
    // Drawn without a screen: the build may run where there is none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const QString folder = QString("%1/hicolor/%2x%2/apps").arg(QFile::decodeName(argv[1])).arg(size);
        if (!QDir().mkpath(folder) || !ProgramIconImage(size).save(folder + "/brennix.png")) {
            std::fprintf(stderr, "write_icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
