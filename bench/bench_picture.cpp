// Times colour reduction and the three picture writers on board-like pictures of growing size; all of
// it should grow linearly with the number of pixels.
//
//   bench_picture            one line per size: megapixels=M quantise_ms=T png_ms=T jpeg_ms=T bmp_ms=T
//   bench_picture --out DIR  also writes the start position as the board view paints it, at the default
//                            size: board.png, board.jpg, board.bmp (16 colours), board256.png (texture)

#include "picture/CQuantizer.h"
#include "picture/CxImage.h"
#include "picture/CxMemFile.h"
#include "tests/support/SyntheticBoard.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double bestOfThree(const std::function<void()>& work)
{
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// The reduction a textured board gets before it becomes a PNG or BMP: 256 colours from the octree,
// every pixel mapped to its nearest entry.
bool quantise(CxImage& image)
{
    CQuantizer quantizer(256, 8);
    if (!quantizer.ProcessImage(image.GetDIB(), image.GetSize())) return false;
    std::array<RGBQUAD, 256> palette {};
    quantizer.SetColorTable(palette.data());
    return image.DecreaseBpp(8, palette.data(), 256);
}

bool encode(CxImage& image, uint32_t type)
{
    CxMemFile file;
    return file.Open() && image.Encode(&file, type);
}

// The start position as the board view paints it needs the program's windows, which this benchmark does
// not link: the picture commands' own benchmark beside it writes the files.
bool writeStartPosition(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string tool = (self.parent_path() / "bench_picture_gui").string();
    if (ec || access(tool.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "bench_picture: --out needs bench_picture_gui, built with the GUI\n");
        return false;
    }
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        execl(tool.c_str(), tool.c_str(), "--out", folder.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            if (!writeStartPosition(argv[++i])) return 2;
        } else {
            std::fprintf(stderr, "usage: bench_picture [--out DIR]\n");
            return 2;
        }
    }
    for (double megapixels : { 0.25, 1.0, 4.0 }) {
        const int32_t side = int32_t(std::lround(std::sqrt(megapixels * 1e6)));
        CxImage board;
        if (!makeBoardLikeImage(board, side, side)) {
            std::fprintf(stderr, "bench_picture: %s\n", board.GetLastError());
            return 1;
        }
        const std::vector<uint8_t> dib = board.CopyToHandle();
        CxImage reduced;
        bool ok = true;
        double quantiseMs = bestOfThree(
            [&] { ok = reduced.CreateFromHANDLE(dib.data(), dib.size()) && quantise(reduced) && ok; });
        double pngMs = bestOfThree([&] { ok = encode(reduced, ImageTypePng) && ok; });
        double jpegMs = bestOfThree([&] { ok = encode(board, ImageTypeJpeg) && ok; });
        double bmpMs = bestOfThree([&] { ok = encode(reduced, ImageTypeBmp) && ok; });
        if (!ok) {
            std::fprintf(stderr, "bench_picture: %s %s\n", reduced.GetLastError(), board.GetLastError());
            return 1;
        }
        std::printf("megapixels=%g quantise_ms=%.1f png_ms=%.1f jpeg_ms=%.1f bmp_ms=%.1f\n", megapixels,
            quantiseMs, pngMs, jpegMs, bmpMs);
        std::fflush(stdout);
    }
    return 0;
}
