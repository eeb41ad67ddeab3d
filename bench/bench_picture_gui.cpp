// Times Save as picture of the start position at the default picture size (450 pixels): the board
// painted into an image, reduced, encoded and written through its temporary file. Each must stay under
// 50 ms in a Release build.
//
//   bench_picture_gui            one line per picture: save_ms (the whole work after the timer's tick)
//                                and its steps capture_ms, reduce_ms, encode_ms, write_ms (best of five)
//   bench_picture_gui --out DIR  also leaves board.png, board.jpg, board.bmp (16 colours) and
//                                board256.png (with texture) in DIR

#include "app/AppSettings.h"
#include "app/CMainFrame.h"
#include "picture/CxImage.h"
#include "picture/CxMemFile.h"
#include "platform/ChessFont.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "platform/Profile.h"
#include "view/CPlaviaView.h"
#include "view/GlobalModes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr double TargetMs = 50;

double bestOfFive(const std::function<void()>& work)
{
    double best = 1e300;
    for (int run = 0; run < 5; ++run) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

struct Picture {
    const char* name;
    int texture;
};

} // namespace

int main(int argc, char** argv)
{
    std::string out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else {
            std::fprintf(stderr, "usage: bench_picture_gui [--out DIR]\n");
            return 2;
        }
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The benchmark's settings live and die with it: nobody's own settings are read or changed.
    QTemporaryDir home;
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", (home.path() + "/run").toLocal8Bit().constData(), 1);
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Brennix");
    QApplication::setOrganizationName("Oskeld free chess software");
    Profile::SetRegistryKey("Oskeld free chess software", "Brennix");
    AppSettings::RestoreDefaults();
    GlobalModes::Reset();
    MessageBoxScript boxes;

    if (!ChessFontFace::Find("Varnok Fairy"))
        std::fprintf(stderr,
            "bench_picture_gui: the chess fonts are not installed (scripts/setup.sh); "
            "the pictures show no pieces\n");

    CMainFrame frame;
    frame.resize(1100, 760);
    frame.show();
    QApplication::processEvents();
    CPlaviaView& view = *frame.View();
    view.SetBoardPosition(1);
    {
        // The size command at its default picture size.
        DialogScript dialogs;
        dialogs.Then([](CDialog&) { return int(IDOK); });
        view.OnDiagramSize();
    }

    const QString folder = out.empty() ? home.path() : QString::fromLocal8Bit(out.c_str());
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "bench_picture_gui: cannot create %s\n", out.c_str());
        return 1;
    }
    const Picture pictures[]
        = { { "board.png", 0 }, { "board.jpg", 0 }, { "board.bmp", 0 }, { "board256.png", 1 } };

    // One line per picture: the whole command's work after the tick, then its steps.
    for (const Picture& picture : pictures) {
        SettingsState::currentTexture = picture.texture;
        const std::string path = QFile::encodeName(QDir(folder).filePath(picture.name)).toStdString();
        const std::string extension = FileExtension(picture.name);
        const uint32_t type = pictureTypeForPath(extension);
        view.m_strPicturePath = path;
        view.m_strPictureExtension = extension;
        bool ok = true;
        const double totalMs = bestOfFive([&] { ok = view.SaveBoardPicture() && ok; });
        if (!ok) {
            std::fprintf(stderr, "bench_picture_gui: %s: %s\n", picture.name,
                boxes.asked.empty() ? "failed" : boxes.asked.back().text.c_str());
            return 1;
        }
        CxImage image;
        const double captureMs = bestOfFive([&] { ok = view.CaptureBoard(image) && ok; });
        std::string error;
        double reduceMs = 0;
        if (type != ImageTypeJpeg) {
            std::vector<uint8_t> dib = image.CopyToHandle();
            reduceMs = bestOfFive([&] {
                ok = image.CreateFromHANDLE(dib.data(), dib.size())
                    && CPlaviaView::ReducePictureColours(image, picture.texture != 0, error) && ok;
            });
        } else {
            image.SetJpegQuality(50);
        }
        const double encodeMs = bestOfFive([&] {
            CxMemFile memory;
            ok = memory.Open() && image.Encode(&memory, type) && ok;
        });
        const double writeMs = bestOfFive([&] { ok = image.saveAtomically(path, type) && ok; });
        if (!ok) {
            std::fprintf(
                stderr, "bench_picture_gui: %s: %s %s\n", picture.name, error.c_str(), image.GetLastError());
            return 1;
        }
        std::printf(
            "picture=%s size=%ux%u colours=%u save_ms=%.1f capture_ms=%.1f reduce_ms=%.1f encode_ms=%.1f "
            "write_ms=%.1f%s\n",
            picture.name, image.GetWidth(), image.GetHeight(), image.GetNumColors(), totalMs, captureMs,
            reduceMs, encodeMs, writeMs, totalMs > TargetMs ? " (above the 50 ms target)" : "");
        std::fflush(stdout);
    }
    if (!out.empty()) std::printf("wrote board.png board.jpg board.bmp board256.png to %s\n", out.c_str());
    return 0;
}
