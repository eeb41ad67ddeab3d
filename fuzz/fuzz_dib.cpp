// Packed DIB blocks as the clipboard hands them over: checked and taken in, reduced to the picture
// commands' palettes, and written as PNG, BMP, JPEG and WBMP.
//
// Options byte: bit 0 textured (256 colours, else 16), bit 1 transparent bottom-left colour, bit 2 run
// the writers on the image as taken in (before the reduction).

#include "FuzzSupport.h"

#include "picture/CQuantizer.h"
#include "picture/CxImage.h"
#include "picture/CxMemFile.h"

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> encode(CxImage& image, uint32_t type)
{
    CxMemFile file;
    if (!file.Open()) return {};
    if (!image.Encode(&file, type)) return {};
    const uint8_t* bytes = file.GetBuffer();
    return std::vector<uint8_t>(bytes, bytes + file.Size());
}

uint32_t be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// PNG holds every four-byte number of its chunks below 2^31, the resolution among them.
void checkPng(const std::vector<uint8_t>& png)
{
    if (png.empty()) return;
    FUZZ_CHECK(png.size() > 8 && std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8) == 0);
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = be32(&png[at]);
        FUZZ_CHECK(length <= 0x7FFFFFFF && at + 12 + length <= png.size());
        if (std::memcmp(&png[at + 4], "pHYs", 4) == 0) {
            FUZZ_CHECK(length == 9);
            FUZZ_CHECK(be32(&png[at + 8]) <= 0x7FFFFFFF);
            FUZZ_CHECK(be32(&png[at + 12]) <= 0x7FFFFFFF);
        }
        at += 12 + length;
    }
}

void writeAll(CxImage& image)
{
    checkPng(encode(image, ImageTypePng));
    encode(image, ImageTypeBmp);
    encode(image, ImageTypeJpeg);
    encode(image, ImageTypeWbmp);
}

// Reduction and writing cost time in proportion to the pixels; large pictures are checked on entry only.
constexpr uint64_t MaxPixelsToWrite = 1 << 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const auto* block = reinterpret_cast<const uint8_t*>(input.text.data());
    CxImage image;
    if (!image.CreateFromHANDLE(block, input.text.size())) {
        FUZZ_CHECK(!image.IsValid());
        FUZZ_CHECK(*image.GetLastError() != 0);
        return 0;
    }
    FUZZ_CHECK(image.GetXDPI() > 0 && image.GetYDPI() > 0);

    // The image's own block comes back byte for byte.
    std::vector<uint8_t> own = image.CopyToHandle();
    FUZZ_CHECK(own.size() == image.GetSize());
    CxImage copy;
    FUZZ_CHECK(copy.CreateFromHANDLE(own.data(), own.size()));
    FUZZ_CHECK(copy.GetSize() == image.GetSize());
    FUZZ_CHECK(std::memcmp(copy.GetDIB(), image.GetDIB(), image.GetSize()) == 0);

    if (uint64_t(image.GetWidth()) * image.GetHeight() > MaxPixelsToWrite) return 0;
    if (input.flag(2)) writeAll(image);

    // As Save as picture and Copy (BMP mode) reduce the colours.
    const bool textured = input.flag(0);
    const uint32_t colours = textured ? 256 : 16;
    const int bits = textured ? 8 : 4;
    std::vector<RGBQUAD> palette(colours);
    {
        CQuantizer quantizer(colours, bits);
        if (!quantizer.ProcessImage(image.GetDIB(), image.GetSize())) return 0;
        FUZZ_CHECK(quantizer.GetColorCount() <= colours);
        quantizer.SetColorTable(palette.data());
    }
    if (!image.DecreaseBpp(uint32_t(bits), palette.data(), colours)) return 0;
    if (input.flag(1)) image.SetTransIndex(image.GetPixelIndex(0, 0) & 0xFF);
    writeAll(image);
    return 0;
}
