// Times colour reduction and the three picture writers on board-like pictures of growing size; all of
// it should grow linearly with the number of pixels.
//
//   bench_picture            one line per size: megapixels=M quantise_ms=T png_ms=T jpeg_ms=T bmp_ms=T
//   bench_picture --out DIR  would also write the start position as the board view draws it

#include "picture/CQuantizer.h"
#include "picture/CxImage.h"
#include "picture/CxMemFile.h"
#include "picture/SyntheticBoard.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

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

// The start position drawn by the board view belongs here once the view can draw into a picture
// without a window; until then the option says so and writes nothing.
bool writeStartPosition(const std::string& folder)
{
    std::fprintf(stderr, "bench_picture: --out %s: the board drawing is not available to the benchmark yet\n",
        folder.c_str());
    return false;
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
