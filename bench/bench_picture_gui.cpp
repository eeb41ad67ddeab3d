// Times Save as picture of the start position at the default picture size (450 pixels) for every
// background texture and both palette depths: the board painted into an image, reduced to 16 or 256
// colours, encoded and written through its temporary file. Each must stay under 25 ms in a Release build.
//
//   bench_picture_gui            one line per texture, depth and format: save_ms (capture, reduction,
//                                encoding and writing of the file) and its steps capture_ms, reduce_ms,
//                                encode_ms, write_ms (best of five each), the size of the file in bytes,
//                                then the FNV-1a hash of the reduced picture (palette and pixels) and
//                                of the written file, which must not change when only the speed of the
//                                reduction changes
//   bench_picture_gui --out DIR  also leaves the pictures in DIR, named t<texture>-<bits>.<format>
//
// The save command itself reduces to 16 colours without a texture and to 256 with one; the other two
// pairs are timed the same way so that either depth is known to be fast on every background.

#include "app/CMainFrame.h"
#include "picture/CxImage.h"
#include "picture/CxMemFile.h"
#include "platform/ChessFont.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "platform/Profile.h"
#include "settings/AppSettings.h"
#include "view/CPlaviaView.h"
#include "view/GlobalModes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr double TargetMs = 25;

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

uint64_t fnv1a(const uint8_t* data, size_t size)
{
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
    return hash;
}

uint64_t fileHash(const std::string& path)
{
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QByteArray bytes = file.readAll();
    return fnv1a(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

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

    double worst = 0;
    for (int texture = 0; texture <= 3; ++texture) {
        SettingsState::currentTexture = texture;
        for (int bits : { 4, 8, 24 }) {
            for (const char* format : { "png", "bmp", "jpg" }) {
                // True colour is only ever written as JPEG, and JPEG only in true colour.
                if ((bits == 24) != (std::strcmp(format, "jpg") == 0)) continue;
                const std::string name
                    = "t" + std::to_string(texture) + "-" + std::to_string(bits) + "." + format;
                const std::string path = QFile::encodeName(QDir(folder).filePath(name.c_str())).toStdString();
                const uint32_t type = pictureTypeForPath(format);
                std::string error;
                bool ok = true;
                CxImage image;
                auto reduce = [&](CxImage& picture) {
                    if (bits == 24) {
                        picture.SetJpegQuality(50);
                        return true;
                    }
                    return CPlaviaView::ReducePictureColours(picture, bits == 8, error);
                };
                const double saveMs = bestOfFive([&] {
                    CxImage picture;
                    ok = view.CaptureBoard(picture) && reduce(picture) && picture.saveAtomically(path, type)
                        && ok;
                });
                const double captureMs = bestOfFive([&] { ok = view.CaptureBoard(image) && ok; });
                const std::vector<uint8_t> captured = image.CopyToHandle();
                const double reduceMs = bestOfFive([&] {
                    ok = image.CreateFromHANDLE(captured.data(), captured.size()) && reduce(image) && ok;
                });
                const double encodeMs = bestOfFive([&] {
                    CxMemFile memory;
                    ok = memory.Open() && image.Encode(&memory, type) && ok;
                });
                const double writeMs = bestOfFive([&] { ok = image.saveAtomically(path, type) && ok; });
                if (!ok) {
                    std::fprintf(stderr, "bench_picture_gui: %s: %s %s %s\n", name.c_str(), error.c_str(),
                        image.GetLastError(), boxes.asked.empty() ? "" : boxes.asked.back().text.c_str());
                    return 1;
                }
                worst = std::max(worst, saveMs);
                std::printf(
                    "texture=%d bits=%d format=%s size=%ux%u colours=%u save_ms=%.1f capture_ms=%.1f "
                    "reduce_ms=%.1f encode_ms=%.1f write_ms=%.1f bytes=%lld reduced=%016llx file=%016llx%s\n",
                    texture, bits, format, image.GetWidth(), image.GetHeight(), image.GetNumColors(), saveMs,
                    captureMs, reduceMs, encodeMs, writeMs,
                    static_cast<long long>(QFileInfo(QFile::decodeName(path.c_str())).size()),
                    static_cast<unsigned long long>(fnv1a(image.GetDIB(), image.GetSize())),
                    static_cast<unsigned long long>(fileHash(path)),
                    saveMs > TargetMs ? " (above the 25 ms target)" : "");
                std::fflush(stdout);
            }
        }
    }
    std::printf("slowest save_ms=%.1f\n", worst);
    if (!out.empty()) std::printf("wrote the pictures to %s\n", out.c_str());
    return 0;
}
