#include "picture/CxImage.h"

#include "storage/AtomicFile.h"

#include "picture/CxIOFile.h"
#include "picture/CxImageBMP.h"
#include "picture/CxImageJPG.h"
#include "picture/CxImagePNG.h"
#include "picture/CxImageWBMP.h"
#include "picture/PaletteMatcher.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include <unistd.h>

static_assert(sizeof(RGBQUAD) == 4 && alignof(RGBQUAD) == 1, "palette entries are stored as 4 bytes");

namespace {

// The largest packed DIB an image may hold: its sizes must fit the header's 32-bit fields.
constexpr uint64_t MaxDibSize = 0x7FFFFFFF;

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// The header and PNG's pHYs hold the resolution in 31 bits.
int32_t pelsPerMeter(int32_t dpi)
{
    const double ppm = std::floor(dpi * 10000.0 / 254.0 + 0.5);
    return ppm >= 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(ppm);
}

int32_t dpiFromPelsPerMeter(int32_t ppm)
{
    return ppm == 0 ? 96 : int32_t(std::floor(ppm * 254.0 / 10000.0 + 0.5));
}

uint8_t maskedChannel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0) return 0;
    int shift = std::countr_zero(mask);
    int width = std::popcount(mask);
    uint32_t value = (pixel & mask) >> shift;
    return uint8_t(width >= 8 ? value >> (width - 8) : value << (8 - width));
}

} // namespace

ImageType pictureTypeForPath(std::string_view path)
{
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    std::string_view extension = path;
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        extension = path.substr(dot + 1);
    if (equalsIgnoringCase(extension, "png")) return ImageTypePng;
    if (equalsIgnoringCase(extension, "jpg") || equalsIgnoringCase(extension, "jpeg")) return ImageTypeJpeg;
    return ImageTypeBmp;
}

CxImage::CxImage(uint32_t imagetype)
{
    Startup(imagetype);
}

CxImage::~CxImage()
{
    Destroy();
}

void CxImage::Startup(uint32_t imagetype)
{
    m_pDib = nullptr;
    head = BITMAPINFOHEADER {};
    info = ImageInfo {};
    info.imageType = imagetype;
    SetXDPI(96);
    SetYDPI(96);
}

void CxImage::setLastError(std::string_view text)
{
    info.lastError = std::string(text.substr(0, 255));
}

void CxImage::storeHeader()
{
    if (m_pDib) writeInfoHeader(m_pDib, head);
}

uint8_t* CxImage::Create(int32_t dwWidth, int32_t dwHeight, uint32_t wBpp, uint32_t imagetype)
{
    if (!Destroy()) return nullptr;
    if (dwWidth <= 0 || dwHeight <= 0) {
        setLastError("CxImage::Create : width and height must be greater than zero");
        return nullptr;
    }
    uint16_t bits;
    uint32_t colours;
    if (wBpp <= 1)
        bits = 1, colours = 2;
    else if (wBpp <= 4)
        bits = 4, colours = 16;
    else if (wBpp <= 8)
        bits = 8, colours = 256;
    else
        bits = 24, colours = 0;
    uint32_t stride = dibStride(dwWidth, bits);
    uint64_t size = InfoHeaderSize + uint64_t(stride) * uint64_t(dwHeight) + 4 * colours;
    // Zero-filled, so the padding at the end of every row is zero from the start.
    void* block = stride != 0 && size <= MaxDibSize ? calloc(size_t(size), 1) : nullptr;
    if (!block) {
        setLastError("CxImage::Create can't allocate memory");
        return nullptr;
    }
    m_pDib = static_cast<uint8_t*>(block);
    info.imageType = imagetype;
    info.effWidth = stride;
    head.biSize = InfoHeaderSize;
    head.biWidth = dwWidth;
    head.biHeight = dwHeight;
    head.biPlanes = 1;
    head.biBitCount = bits;
    head.biCompression = BI_RGB;
    head.biClrImportant = 0;
    head.biClrUsed = colours;
    head.biSizeImage = stride * uint32_t(dwHeight);
    info.bits = m_pDib + InfoHeaderSize + GetPaletteSize();
    info.nearestValid = false;
    storeHeader();
    return m_pDib;
}

bool CxImage::Destroy()
{
    if (info.ghostOf) return false;
    free(m_pDib);
    m_pDib = nullptr;
    info.bits = nullptr;
    return true;
}

void CxImage::Ghost(CxImage* from)
{
    if (!from) return;
    head = from->head;
    info = from->info;
    m_pDib = from->m_pDib;
    info.ghostOf = from;
}

void CxImage::CopyInfo(const CxImage& from)
{
    if (m_pDib) return;
    info = from.info;
    // The storage of the other image is not ours.
    info.bits = nullptr;
    info.effWidth = 0;
    info.ghostOf = nullptr;
}

void CxImage::Transfer(CxImage& from)
{
    if (!Destroy()) return;
    head = from.head;
    info = from.info;
    m_pDib = from.m_pDib;
    from.m_pDib = nullptr;
    from.head = BITMAPINFOHEADER {};
    from.info = ImageInfo {};
}

uint32_t CxImage::GetSize() const
{
    return InfoHeaderSize + head.biSizeImage + GetPaletteSize();
}

RGBQUAD* CxImage::GetPalette() const
{
    if (!m_pDib || head.biClrUsed == 0) return nullptr;
    return reinterpret_cast<RGBQUAD*>(m_pDib + InfoHeaderSize);
}

void CxImage::SetXDPI(int32_t dpi)
{
    if (dpi <= 0) dpi = 96;
    info.xDpi = dpi;
    head.biXPelsPerMeter = pelsPerMeter(dpi);
    storeHeader();
}

void CxImage::SetYDPI(int32_t dpi)
{
    if (dpi <= 0) dpi = 96;
    info.yDpi = dpi;
    head.biYPelsPerMeter = pelsPerMeter(dpi);
    storeHeader();
}

uint32_t CxImage::GetCodecOption(uint32_t imagetype) const
{
    return imagetype < info.codecOptions.size() ? info.codecOptions[imagetype] : 0;
}

RGBQUAD CxImage::GetPaletteColor(uint8_t idx) const
{
    RGBQUAD* palette = GetPalette();
    if (!palette || idx >= head.biClrUsed) return RGBQUAD {};
    return palette[idx];
}

bool CxImage::GetPaletteRGB(int idx, uint8_t* r, uint8_t* g, uint8_t* b) const
{
    RGBQUAD* palette = GetPalette();
    if (!palette || idx < 0 || uint32_t(idx) >= head.biClrUsed) return false;
    *r = palette[idx].rgbRed;
    *g = palette[idx].rgbGreen;
    *b = palette[idx].rgbBlue;
    return true;
}

void CxImage::SetPaletteColor(uint8_t idx, RGBQUAD c)
{
    RGBQUAD* palette = GetPalette();
    if (!palette || idx >= head.biClrUsed) return;
    palette[idx] = c;
    info.nearestValid = false;
}

void CxImage::SetPaletteColor(uint8_t idx, uint8_t r, uint8_t g, uint8_t b)
{
    SetPaletteColor(idx, RGBQUAD { b, g, r, 0 });
}

void CxImage::SetPalette(const RGBQUAD* pPal, uint32_t nColors)
{
    RGBQUAD* palette = GetPalette();
    if (!pPal || !palette) return;
    memcpy(palette, pPal, std::min<size_t>(size_t(4) * nColors, GetPaletteSize()));
    info.nearestValid = false;
}

void CxImage::SetStdPalette()
{
    static const uint8_t sixteen[16][3] = { { 0, 0, 0 }, { 128, 0, 0 }, { 0, 128, 0 }, { 128, 128, 0 },
        { 0, 0, 128 }, { 128, 0, 128 }, { 0, 128, 128 }, { 192, 192, 192 }, { 128, 128, 128 }, { 255, 0, 0 },
        { 0, 255, 0 }, { 255, 255, 0 }, { 0, 0, 255 }, { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };
    if (!GetPalette() || (head.biBitCount != 4 && head.biBitCount != 8)) return;
    for (int i = 0; i < 16; ++i) SetPaletteColor(uint8_t(i), sixteen[i][0], sixteen[i][1], sixteen[i][2]);
    if (head.biBitCount == 4) return;
    // The rest of 256: a 6 x 6 x 6 colour cube, then a ramp of greys.
    int i = 16;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b, ++i)
                SetPaletteColor(uint8_t(i), uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b));
    for (int k = 0; i < 256; ++i, ++k) {
        uint8_t grey = uint8_t(8 + 10 * k);
        SetPaletteColor(uint8_t(i), grey, grey, grey);
    }
}

void CxImage::SetClrImportant(uint32_t ncolors)
{
    if (head.biBitCount == 1 && ncolors > 1) ncolors = 2;
    if (head.biBitCount == 4 && ncolors > 15) ncolors = 16;
    head.biClrImportant = ncolors;
    info.nearestValid = false;
    storeHeader();
}

uint8_t CxImage::GetPixelIndex(int32_t x, int32_t y) const
{
    if (!m_pDib || head.biClrUsed == 0) return 0;
    if (x < 0 || y < 0 || x >= head.biWidth || y >= head.biHeight) {
        if (info.transparentIndex != -1) return uint8_t(info.transparentIndex);
        return info.bits[0];
    }
    const uint8_t* row = info.bits + size_t(y) * info.effWidth;
    switch (head.biBitCount) {
    case 8:
        return row[x];
    case 4:
        return x & 1 ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

void CxImage::SetPixelIndex(int32_t x, int32_t y, uint8_t i)
{
    if (!m_pDib || head.biClrUsed == 0) return;
    if (x < 0 || y < 0 || x >= head.biWidth || y >= head.biHeight) return;
    uint8_t* row = info.bits + size_t(y) * info.effWidth;
    switch (head.biBitCount) {
    case 8:
        row[x] = i;
        break;
    case 4:
        if (x & 1)
            row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (i & 0x0F));
        else
            row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | (i & 0x0F) << 4);
        break;
    default: {
        uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = uint8_t(i & 1 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
    }
    }
}

RGBQUAD CxImage::GetPixelColor(int32_t x, int32_t y) const
{
    if (!m_pDib) return RGBQUAD {};
    if (x < 0 || y < 0 || x >= head.biWidth || y >= head.biHeight) {
        if (info.transparentIndex == -1) return GetPixelColor(0, 0);
        if (head.biBitCount < 24) return GetPaletteColor(uint8_t(info.transparentIndex));
        return info.backgroundColour;
    }
    RGBQUAD c;
    if (head.biClrUsed) {
        c = GetPaletteColor(GetPixelIndex(x, y));
    } else {
        const uint8_t* p = info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
        c.rgbBlue = p[0];
        c.rgbGreen = p[1];
        c.rgbRed = p[2];
    }
    c.rgbReserved = 0;
    return c;
}

void CxImage::SetPixelColor(int32_t x, int32_t y, RGBQUAD c)
{
    if (!m_pDib || x < 0 || y < 0 || x >= head.biWidth || y >= head.biHeight) return;
    if (head.biClrUsed) {
        SetPixelIndex(x, y, GetNearestIndex(c));
        return;
    }
    uint8_t* p = info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
}

uint8_t CxImage::GetNearestIndex(RGBQUAD c)
{
    RGBQUAD* palette = GetPalette();
    if (!palette) return 0;
    if (info.nearestValid && info.nearestKey == c) return info.nearestIndex;
    info.nearestKey = c;
    info.nearestValid = true;
    // Never search past the palette, whatever the important count says.
    uint32_t entries = head.biClrImportant ? std::min(head.biClrImportant, head.biClrUsed) : head.biClrUsed;
    info.nearestIndex = 0;
    if (entries < 1) return 0;
    int32_t distance = 200000;
    for (uint32_t j = 0; j < entries; ++j) {
        int32_t db = palette[j].rgbBlue - c.rgbBlue;
        int32_t dg = palette[j].rgbGreen - c.rgbGreen;
        int32_t dr = palette[j].rgbRed - c.rgbRed;
        int32_t d = db * db + dg * dg + dr * dr;
        if (d == 0) {
            info.nearestIndex = uint8_t(j);
            return info.nearestIndex;
        }
        if (d < distance) {
            distance = d;
            info.nearestIndex = uint8_t(j);
        }
    }
    return info.nearestIndex;
}

bool CxImage::IsGrayScale() const
{
    RGBQUAD* palette = GetPalette();
    if (!palette) return false;
    for (uint32_t i = 0; i < head.biClrUsed; ++i)
        if (palette[i].rgbBlue != i || palette[i].rgbGreen != i || palette[i].rgbRed != i) return false;
    return true;
}

void CxImage::SwapIndex(uint8_t idx)
{
    RGBQUAD* palette = GetPalette();
    if (!palette || idx == 0 || idx >= head.biClrUsed) return;
    std::swap(palette[0], palette[idx]);
    for (int32_t y = 0; y < head.biHeight; ++y) {
        for (int32_t x = 0; x < head.biWidth; ++x) {
            uint8_t i = GetPixelIndex(x, y);
            if (i == 0)
                SetPixelIndex(x, y, idx);
            else if (i == idx)
                SetPixelIndex(x, y, 0);
        }
    }
    info.nearestValid = false;
}

void CxImage::RGBtoBGR(uint8_t* buffer, uint32_t length) const
{
    if (!buffer || head.biClrUsed != 0) return;
    uint32_t n = std::min(length, info.effWidth);
    for (uint32_t i = 0; i + 2 < n; i += 3) std::swap(buffer[i], buffer[i + 2]);
}

bool CxImage::CreateFromHBITMAP(const BITMAP& bitmap)
{
    if (!Destroy()) return false;
    const int bytesPerPixel = bitmap.bmBitsPixel / 8;
    if (!bitmap.bmBits || bitmap.bmWidth <= 0 || bitmap.bmHeight <= 0
        || (bitmap.bmBitsPixel != 24 && bitmap.bmBitsPixel != 32)
        || int64_t(bitmap.bmWidthBytes) < int64_t(bitmap.bmWidth) * bytesPerPixel) {
        setLastError("GetDIBits failed");
        return false;
    }
    if (!Create(bitmap.bmWidth, bitmap.bmHeight, bitmap.bmBitsPixel, ImageTypeNone)) return false;
    const uint8_t* source = static_cast<const uint8_t*>(bitmap.bmBits);
    for (int32_t y = 0; y < head.biHeight; ++y) {
        // The device bitmap runs top-down, the DIB bottom-up.
        const uint8_t* s = source + size_t(head.biHeight - 1 - y) * size_t(bitmap.bmWidthBytes);
        uint8_t* d = info.bits + size_t(y) * info.effWidth;
        for (int32_t x = 0; x < head.biWidth; ++x, s += bytesPerPixel, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    return true;
}

std::vector<uint8_t> CxImage::CopyToHandle() const
{
    if (!m_pDib) return {};
    try {
        return std::vector<uint8_t>(m_pDib, m_pDib + GetSize());
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool CxImage::CreateFromHANDLE(const void* block, size_t size)
{
    if (!Destroy()) return false;
    const uint8_t* source = static_cast<const uint8_t*>(block);
    PackedDibLayout layout;
    std::string error;
    if (!checkPackedDib(source, size, layout, error)) {
        setLastError(error);
        return false;
    }
    const BITMAPINFOHEADER& h = layout.header;
    if (!Create(h.biWidth, int32_t(layout.rows), h.biBitCount, ImageTypeNone)) return false;
    SetXDPI(dpiFromPelsPerMeter(h.biXPelsPerMeter));
    SetYDPI(dpiFromPelsPerMeter(h.biYPelsPerMeter));

    if (RGBQUAD* palette = GetPalette()) {
        uint32_t n = std::min(layout.paletteEntries, head.biClrUsed);
        const uint8_t* p = source + layout.paletteOffset;
        for (uint32_t i = 0; i < n; ++i, p += layout.paletteEntrySize)
            palette[i] = RGBQUAD { p[0], p[1], p[2], 0 };
    }
    const uint8_t* pixels = source + layout.pixelOffset;
    const uint32_t compression = layout.headerSize == CoreHeaderSize ? BI_RGB : h.biCompression;
    if (compression == BI_RLE8 || compression == BI_RLE4) {
        decodeRle(pixels, layout.pixelBytes, compression == BI_RLE4);
    } else if (h.biBitCount == 16 || h.biBitCount == 32) {
        Bitfield2RGB(pixels, layout);
    } else {
        // Rows as stored; what lies past the last pixel of a row is not ours to keep.
        const uint32_t used = uint32_t((uint64_t(head.biWidth) * head.biBitCount + 7) / 8);
        const int spare = int(used * 8 - uint64_t(head.biWidth) * head.biBitCount);
        for (uint32_t y = 0; y < layout.rows; ++y) {
            uint32_t from = layout.topDown ? layout.rows - 1 - y : y;
            uint8_t* row = info.bits + size_t(y) * info.effWidth;
            memcpy(row, pixels + size_t(from) * layout.stride, used);
            if (spare) row[used - 1] &= uint8_t(0xFF << spare);
        }
    }
    return true;
}

void CxImage::Bitfield2RGB(const uint8_t* src, const PackedDibLayout& layout)
{
    const int bytesPerPixel = layout.header.biBitCount / 8;
    for (uint32_t y = 0; y < layout.rows; ++y) {
        uint32_t from = layout.topDown ? layout.rows - 1 - y : y;
        const uint8_t* s = src + size_t(from) * layout.stride;
        uint8_t* d = info.bits + size_t(y) * info.effWidth;
        for (int32_t x = 0; x < head.biWidth; ++x, s += bytesPerPixel, d += 3) {
            uint32_t pixel = bytesPerPixel == 2 ? readU16(s) : readU32(s);
            d[0] = maskedChannel(pixel, layout.masks[2]);
            d[1] = maskedChannel(pixel, layout.masks[1]);
            d[2] = maskedChannel(pixel, layout.masks[0]);
        }
    }
}

void CxImage::decodeRle(const uint8_t* src, size_t size, bool rle4)
{
    int64_t x = 0;
    int64_t y = 0;
    size_t i = 0;
    auto put = [&](uint8_t index) {
        if (x < head.biWidth && y < head.biHeight) SetPixelIndex(int32_t(x), int32_t(y), index);
        ++x;
    };
    while (i + 1 < size && y < head.biHeight) {
        uint8_t count = src[i++];
        uint8_t value = src[i++];
        if (count) {
            for (int k = 0; k < count; ++k) put(rle4 ? (k & 1 ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of picture
            return;
        } else if (value == 2) { // move right and up
            if (i + 1 >= size) return;
            x += src[i];
            y += src[i + 1];
            i += 2;
        } else { // a run of literal pixels, padded to a whole word
            size_t bytes = rle4 ? (value + 1u) / 2 : value;
            size_t available = std::min(bytes, size - i);
            for (int k = 0; k < value; ++k) {
                size_t at = rle4 ? size_t(k / 2) : size_t(k);
                if (at >= available) break;
                put(rle4 ? (k & 1 ? src[i + at] & 0x0F : src[i + at] >> 4) : src[i + at]);
            }
            i += available + (bytes & 1);
        }
    }
}

bool CxImage::DecreaseBpp(uint32_t nbit, const RGBQUAD* ppal, uint32_t clrimportant)
{
    if (!m_pDib || head.biBitCount < nbit) return false;
    if (head.biBitCount == nbit && head.biClrImportant != 0 && head.biClrImportant < clrimportant)
        return true;

    CxImage tmp;
    tmp.CopyInfo(*this);
    tmp.SetXDPI(info.xDpi);
    tmp.SetYDPI(info.yDpi);
    if (!tmp.Create(head.biWidth, head.biHeight, nbit, info.imageType)) {
        setLastError(tmp.GetLastError());
        return false;
    }
    tmp.SetClrImportant(clrimportant);
    if (ppal) {
        tmp.SetPalette(ppal, tmp.GetNumColors());
    } else if (tmp.GetBpp() == 1) {
        tmp.SetPaletteColor(0, 0, 0, 0);
        tmp.SetPaletteColor(1, 255, 255, 255);
    } else {
        tmp.SetStdPalette();
    }
    if (head.biClrUsed == 0 && head.biBitCount == 24 && tmp.GetPalette()) {
        // A true-colour picture holds tens of thousands of colours: each is looked up once, and its
        // nearest entry found without a walk over the whole palette.
        const RGBQUAD* palette = tmp.GetPalette();
        const uint32_t used = tmp.head.biClrUsed;
        PaletteMatcher nearest(
            palette, tmp.head.biClrImportant ? std::min(tmp.head.biClrImportant, used) : used);
        const uint8_t* last = nullptr;
        uint8_t lastIndex = 0;
        for (int32_t y = 0; y < head.biHeight; ++y) {
            info.progress = int32_t(int64_t(100) * y / head.biHeight);
            if (info.escape) break;
            const uint8_t* p = info.bits + size_t(y) * info.effWidth;
            for (int32_t x = 0; x < head.biWidth; ++x, p += 3) {
                lastIndex = nearest.Nearest(p[2], p[1], p[0]);
                tmp.SetPixelIndex(x, y, lastIndex);
                last = p;
            }
        }
        if (last) {
            // Left as the pixel-by-pixel conversion leaves it.
            tmp.info.nearestKey = RGBQUAD { last[0], last[1], last[2], 0 };
            tmp.info.nearestIndex = lastIndex;
            tmp.info.nearestValid = true;
        }
    } else {
        for (int32_t y = 0; y < head.biHeight; ++y) {
            info.progress = int32_t(int64_t(100) * y / head.biHeight);
            if (info.escape) break;
            for (int32_t x = 0; x < head.biWidth; ++x) tmp.SetPixelColor(x, y, GetPixelColor(x, y));
        }
    }
    if (head.biBitCount == 1) {
        tmp.SetPaletteColor(0, 0, 0, 0);
        tmp.SetPaletteColor(1, 255, 255, 255);
    }
    tmp.info.progress = info.progress;
    Transfer(tmp);
    return true;
}

bool CxImage::EncodeSafeCheck(CxFile* hFile)
{
    if (!hFile) {
        setLastError("null file handler");
        return true;
    }
    if (!m_pDib) {
        setLastError("null image!!!");
        return true;
    }
    return false;
}

namespace {

template <class Writer> bool encodeAs(CxImage* image, CxFile* file, std::string& error)
{
    // The writer shares this image's pixels instead of copying them.
    Writer writer;
    writer.Ghost(image);
    if (writer.Encode(file)) return true;
    error = writer.GetLastError();
    return false;
}

} // namespace

bool CxImage::Encode(CxFile* hFile, uint32_t imagetype)
{
    std::string error;
    bool ok;
    switch (imagetype) {
    case ImageTypeBmp:
        ok = encodeAs<CxImageBMP>(this, hFile, error);
        break;
    case ImageTypeJpeg:
        ok = encodeAs<CxImageJPG>(this, hFile, error);
        break;
    case ImageTypePng:
        ok = encodeAs<CxImagePNG>(this, hFile, error);
        break;
    case ImageTypeWbmp:
        ok = encodeAs<CxImageWBMP>(this, hFile, error);
        break;
    default:
        setLastError("Encode: Unknown format");
        return false;
    }
    if (!ok) setLastError(error);
    return ok;
}

bool CxImage::EncodeToFile(FILE* hFile, uint32_t imagetype)
{
    CxIOFile file(hFile);
    return Encode(hFile ? &file : nullptr, imagetype);
}

namespace {

// Closing flushes the stream's buffer: a full disk may only show here.
bool closeChecked(FILE* stream, bool written)
{
    return fclose(stream) == 0 && written;
}

} // namespace

bool CxImage::Save(const std::string& filename, uint32_t imagetype)
{
    FILE* stream = fopen(filename.c_str(), "wb");
    if (!stream) return false;
    bool encoded = EncodeToFile(stream, imagetype);
    if (closeChecked(stream, encoded)) return true;
    if (encoded) setLastError("Write Error");
    return false;
}

bool CxImage::saveAtomically(const std::string& filename, uint32_t imagetype)
{
    bool encoded = true;
    AtomicFile::Result result = AtomicFile::Write(filename, [&](int fd) {
        // The stream owns a copy of the descriptor, so closing it flushes without closing the file.
        int copy = dup(fd);
        FILE* stream = copy < 0 ? nullptr : fdopen(copy, "wb");
        if (!stream) {
            int error = errno;
            if (copy >= 0) close(copy);
            return error ? error : EIO;
        }
        encoded = EncodeToFile(stream, imagetype);
        bool ok = closeChecked(stream, encoded);
        return ok ? 0 : (errno ? errno : EIO);
    });
    if (result.Ok()) return true;
    switch (result.stage) {
    case AtomicFile::Stage::Create: setLastError(std::string("Can't create file: ") + strerror(result.error)); break;
    case AtomicFile::Stage::Replace: setLastError(std::string("Can't replace file: ") + strerror(result.error)); break;
    default:
        // The encoder leaves its own reason; a failure after it is the file's.
        if (encoded) setLastError("Write Error");
        break;
    }
    return false;
}
