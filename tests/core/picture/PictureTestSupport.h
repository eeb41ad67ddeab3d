#pragma once

// Readers that share nothing with the writers under test: libpng's and libjpeg's own read APIs, and a
// BMP reader that takes the file apart by its documented byte offsets.

#include "picture/CxImage.h"
#include "picture/CxMemFile.h"

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// A decoded picture, rows top-down.
struct Decoded {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int top) const { return pixels[size_t(top) * width + x]; }
};

struct PngFacts {
    int bitDepth = 0, colourType = -1, interlace = -1;
    int paletteEntries = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> transparency; // tRNS alpha values, empty without the chunk
    bool hasBackground = false;
    int backgroundIndex = -1;
    Rgb backgroundColour;
    bool hasPhys = false;
    uint32_t physX = 0, physY = 0;
    int physUnit = -1;
    std::vector<uint8_t> indices; // palette pictures: one index a pixel, rows top-down
};

struct JpegFacts {
    int components = 0;
    int densityUnit = -1, xDensity = 0, yDensity = 0;
};

std::vector<uint8_t> encodeToMemory(CxImage& image, uint32_t type, std::string* error = nullptr);
std::vector<uint8_t> readFile(const std::string& path);

Decoded decodePng(const std::vector<uint8_t>& bytes, PngFacts* facts = nullptr);
Decoded decodeJpeg(const std::vector<uint8_t>& bytes, JpegFacts* facts = nullptr);
Decoded decodeBmp(const std::vector<uint8_t>& bytes);

// The picture as its maker meant it, rows top-down, from the image's own pixels.
Decoded expectedPixels(const CxImage& image);

double psnr(const Decoded& a, const Decoded& b);

uint32_t le32(const std::vector<uint8_t>& bytes, size_t at);
uint16_t le16(const std::vector<uint8_t>& bytes, size_t at);

// Checks the 40 header bytes stored at offset at, field by field.
struct InfoHeaderFields {
    uint32_t width, height, bits, sizeImage, xPelsPerMeter, yPelsPerMeter, colours;
};
void expectInfoHeader(const std::vector<uint8_t>& bytes, size_t at, const InfoHeaderFields& fields);

// The first byte offset of a PNG chunk of that type, or 0.
size_t findPngChunk(const std::vector<uint8_t>& bytes, const char* type);

// A 24-bit picture with a pattern that uses every channel; and palette pictures filled by index.
void fillTrueColour(CxImage& image, int width, int height);
void fillIndexed(CxImage& image, int width, int height, int bits, int colours);

// A file that takes only so many bytes before every write comes up short.
class ShortFile : public CxMemFile {
public:
    explicit ShortFile(size_t room)
        : room(room)
    {
        Open();
    }
    size_t Write(const void* buffer, size_t size, size_t count) override;
    size_t room;
};
