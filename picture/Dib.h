#pragma once

// The packed device-independent bitmap: a 40-byte header, the palette, then the pixel rows bottom-up,
// each padded to 4 bytes. It is the image's only storage and the clipboard's bitmap form, so its bytes
// are kept exactly little-endian whatever the machine.

#include <cstddef>
#include <cstdint>
#include <string>

struct RGBQUAD {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
    bool operator==(const RGBQUAD&) const = default;
};

struct RGBTRIPLE {
    uint8_t rgbtBlue = 0;
    uint8_t rgbtGreen = 0;
    uint8_t rgbtRed = 0;
};

struct BITMAPINFOHEADER {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

// A device bitmap as the screen capture hands it over: rows top-down, bmWidthBytes apart; 32-bit pixels
// are blue, green, red and an unused byte, 24-bit pixels blue, green, red.
struct BITMAP {
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
    int32_t bmWidthBytes = 0;
    uint16_t bmBitsPixel = 0;
    const void* bmBits = nullptr;
};

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t CoreHeaderSize = 12;
constexpr uint32_t FileHeaderSize = 14;

inline uint16_t readU16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t readU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void writeU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void writeU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Reads or writes the 40 header bytes at p.
BITMAPINFOHEADER readInfoHeader(const uint8_t* p);
void writeInfoHeader(uint8_t* p, const BITMAPINFOHEADER& header);

// Bytes of one stored row, padded to 4; 0 when the row could not be held in 32 bits.
uint32_t dibStride(int64_t width, int bits);

// What a packed DIB in memory holds, once checked against the bytes that are really there.
struct PackedDibLayout {
    BITMAPINFOHEADER header; // a 12-byte core header is widened into this form
    uint32_t headerSize = 0; // bytes of the header as stored
    uint32_t paletteEntries = 0; // entries really stored (biClrUsed, or 2^bits when that is 0)
    uint32_t paletteOffset = 0;
    uint32_t paletteEntrySize = 4; // 3 after a core header
    uint32_t masks[3] = { 0, 0, 0 }; // bit-field masks of 16- and 32-bit pixels
    uint32_t pixelOffset = 0;
    uint32_t stride = 0;
    uint32_t rows = 0; // |height|
    bool topDown = false; // a negative height
    size_t pixelBytes = 0; // bytes from pixelOffset to the end that the pixels may use
};

// Checks header size, width, height, planes, bit count, compression, palette and data size against the
// block's size before anything is read from it. False with a reason in error when the block is unusable.
bool checkPackedDib(const uint8_t* block, size_t size, PackedDibLayout& layout, std::string& error);
