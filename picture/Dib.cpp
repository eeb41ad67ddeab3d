#include "picture/Dib.h"

namespace {
constexpr uint64_t MaxUnpaintedRlePixels = 4096 * 4096;
}

BITMAPINFOHEADER readInfoHeader(const uint8_t* p)
{
    BITMAPINFOHEADER h;
    h.biSize = readU32(p);
    h.biWidth = int32_t(readU32(p + 4));
    h.biHeight = int32_t(readU32(p + 8));
    h.biPlanes = readU16(p + 12);
    h.biBitCount = readU16(p + 14);
    h.biCompression = readU32(p + 16);
    h.biSizeImage = readU32(p + 20);
    h.biXPelsPerMeter = int32_t(readU32(p + 24));
    h.biYPelsPerMeter = int32_t(readU32(p + 28));
    h.biClrUsed = readU32(p + 32);
    h.biClrImportant = readU32(p + 36);
    return h;
}

void writeInfoHeader(uint8_t* p, const BITMAPINFOHEADER& h)
{
    writeU32(p, h.biSize);
    writeU32(p + 4, uint32_t(h.biWidth));
    writeU32(p + 8, uint32_t(h.biHeight));
    writeU16(p + 12, h.biPlanes);
    writeU16(p + 14, h.biBitCount);
    writeU32(p + 16, h.biCompression);
    writeU32(p + 20, h.biSizeImage);
    writeU32(p + 24, uint32_t(h.biXPelsPerMeter));
    writeU32(p + 28, uint32_t(h.biYPelsPerMeter));
    writeU32(p + 32, h.biClrUsed);
    writeU32(p + 36, h.biClrImportant);
}

uint32_t dibStride(int64_t width, int bits)
{
    if (width <= 0 || bits <= 0) return 0;
    int64_t stride = (width * bits + 31) / 32 * 4;
    return stride > 0x7FFFFFFF ? 0 : uint32_t(stride);
}

bool checkPackedDib(const uint8_t* block, size_t size, PackedDibLayout& d, std::string& error)
{
    d = PackedDibLayout {};
    if (!block || size < 4) {
        error = "DIB block too small";
        return false;
    }
    d.headerSize = readU32(block);
    if (d.headerSize != CoreHeaderSize && d.headerSize < InfoHeaderSize) {
        error = "DIB header size not supported";
        return false;
    }
    if (d.headerSize > size) {
        error = "DIB block too small";
        return false;
    }
    if (d.headerSize == CoreHeaderSize) {
        d.header.biSize = InfoHeaderSize;
        d.header.biWidth = readU16(block + 4);
        d.header.biHeight = readU16(block + 6);
        d.header.biPlanes = readU16(block + 8);
        d.header.biBitCount = readU16(block + 10);
        d.paletteEntrySize = 3;
    } else {
        d.header = readInfoHeader(block);
    }
    const BITMAPINFOHEADER& h = d.header;
    const int bits = h.biBitCount;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        error = "DIB width or height out of range";
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        error = "DIB bit count not supported";
        return false;
    }
    const uint32_t compression = d.headerSize == CoreHeaderSize ? BI_RGB : h.biCompression;
    if (bits <= 8) {
        bool rle = (compression == BI_RLE8 && bits == 8) || (compression == BI_RLE4 && bits == 4);
        if (compression != BI_RGB && !rle) {
            error = "compression type not supported";
            return false;
        }
    } else if (compression != BI_RGB && !(compression == BI_BITFIELDS && bits != 24)) {
        error = "unknown compression";
        return false;
    }
    d.rows = h.biHeight < 0 ? uint32_t(-int64_t(h.biHeight)) : uint32_t(h.biHeight);
    d.topDown = h.biHeight < 0;
    if (d.topDown && compression != BI_RGB && compression != BI_BITFIELDS) {
        error = "compression type not supported";
        return false;
    }
    d.stride = dibStride(h.biWidth, bits);
    if (d.stride == 0) {
        error = "DIB width or height out of range";
        return false;
    }

    uint64_t offset = d.headerSize;
    if (compression == BI_BITFIELDS) {
        // A 40-byte header is followed by the three masks; longer headers hold them inside.
        if (d.headerSize == InfoHeaderSize) offset += 12;
        if (InfoHeaderSize + 12 > size) {
            error = "DIB block too small";
            return false;
        }
        for (int i = 0; i < 3; ++i) d.masks[i] = readU32(block + InfoHeaderSize + 4 * i);
    } else if (bits == 16) {
        d.masks[0] = 0x7C00, d.masks[1] = 0x03E0, d.masks[2] = 0x001F;
    } else if (bits == 32) {
        d.masks[0] = 0xFF0000, d.masks[1] = 0xFF00, d.masks[2] = 0xFF;
    }
    uint64_t entries = h.biClrUsed;
    if (entries == 0 && bits <= 8) entries = uint64_t(1) << bits;
    if (entries > 256) {
        error = "DIB palette too large";
        return false;
    }
    d.paletteEntries = uint32_t(entries);
    d.paletteOffset = uint32_t(offset);
    offset += entries * d.paletteEntrySize;
    if (offset > size) {
        error = "DIB block too small";
        return false;
    }
    d.pixelOffset = uint32_t(offset);
    d.pixelBytes = size - size_t(offset);
    if (compression == BI_RLE8 || compression == BI_RLE4) {
        if (h.biSizeImage != 0 && h.biSizeImage < d.pixelBytes) d.pixelBytes = h.biSizeImage;
        // Run-length data may leave pixels unpainted, so a few bytes can claim any size. A picture of a
        // screen's size is believed whatever the data holds; beyond that only as far as the runs can paint
        // (255 pixels for every two bytes), so that a small block cannot claim gigabytes.
        const uint64_t pixels = uint64_t(h.biWidth) * d.rows;
        if (pixels > MaxUnpaintedRlePixels && pixels > (uint64_t(d.pixelBytes) + 1) / 2 * 255) {
            error = "DIB pixel data truncated";
            return false;
        }
    } else if (uint64_t(d.stride) * d.rows > d.pixelBytes) {
        error = "DIB pixel data truncated";
        return false;
    }
    return true;
}
