#pragma once

#include "picture/Dib.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class CxFile;

enum ImageType : uint32_t {
    ImageTypeNone = 0,
    ImageTypeBmp = 1,
    ImageTypeJpeg = 2,
    ImageTypePng = 3,
    ImageTypeWbmp = 4,
};

// The picture type a file name asks for, by its extension and regardless of case: "png" PNG, "jpg" and
// "jpeg" JPEG, anything else BMP. Takes a whole path or the bare extension.
ImageType pictureTypeForPath(std::string_view pathOrExtension);

// A raster image held as one packed DIB. Failures are a false or null result and a text in the image's
// last error; nothing here talks to the user.
class CxImage {
public:
    explicit CxImage(uint32_t imagetype = ImageTypeNone);
    virtual ~CxImage();
    CxImage(const CxImage&) = delete;
    CxImage& operator=(const CxImage&) = delete;

    // Storage.
    uint8_t* Create(int32_t dwWidth, int32_t dwHeight, uint32_t wBpp, uint32_t imagetype = ImageTypeNone);
    bool Destroy();
    void Ghost(CxImage* from);
    void CopyInfo(const CxImage& from);
    void Transfer(CxImage& from);

    // Accessors.
    const uint8_t* GetDIB() const { return m_pDib; }
    uint8_t* GetBits() const { return m_pDib ? info.bits : nullptr; }
    uint32_t GetSize() const;
    RGBQUAD* GetPalette() const;
    uint32_t GetPaletteSize() const { return 4 * head.biClrUsed; }
    uint32_t GetNumColors() const { return head.biClrUsed; }
    uint32_t GetEffWidth() const { return info.effWidth; }
    uint32_t GetWidth() const { return uint32_t(head.biWidth); }
    uint32_t GetHeight() const { return uint32_t(head.biHeight); }
    uint32_t GetBpp() const { return head.biBitCount; }
    int32_t GetXDPI() const { return info.xDpi; }
    int32_t GetYDPI() const { return info.yDpi; }
    void SetXDPI(int32_t dpi);
    void SetYDPI(int32_t dpi);
    uint8_t GetJpegQuality() const { return info.jpegQuality; }
    void SetJpegQuality(uint8_t q) { info.jpegQuality = q; }
    uint32_t GetCodecOption(uint32_t imagetype) const;
    const char* GetLastError() const { return info.lastError.c_str(); }
    bool IsValid() const { return m_pDib != nullptr; }
    int32_t GetTransIndex() const { return info.transparentIndex; }
    void SetTransIndex(int32_t idx) { info.transparentIndex = idx; }
    // Colour reduction reports how far it got and stops when the escape is set.
    int32_t getProgress() const { return info.progress; }
    void setEscape(int32_t escape) { info.escape = escape; }

    // Palette and pixels; (0, 0) is the bottom-left pixel, setters ignore pixels outside the image.
    RGBQUAD GetPaletteColor(uint8_t idx) const;
    bool GetPaletteRGB(int idx, uint8_t* r, uint8_t* g, uint8_t* b) const;
    void SetPaletteColor(uint8_t idx, RGBQUAD c);
    void SetPaletteColor(uint8_t idx, uint8_t r, uint8_t g, uint8_t b);
    void SetPalette(const RGBQUAD* pPal, uint32_t nColors = 256);
    void SetStdPalette();
    void SetClrImportant(uint32_t ncolors);
    uint8_t GetPixelIndex(int32_t x, int32_t y) const;
    void SetPixelIndex(int32_t x, int32_t y, uint8_t i);
    RGBQUAD GetPixelColor(int32_t x, int32_t y) const;
    void SetPixelColor(int32_t x, int32_t y, RGBQUAD c);
    uint8_t GetNearestIndex(RGBQUAD c);
    bool IsGrayScale() const;
    void SwapIndex(uint8_t idx);
    void RGBtoBGR(uint8_t* buffer, uint32_t length) const;

    // Conversions. A device bitmap of 24 or 32 bits becomes a 24-bit image; a packed DIB block (the
    // clipboard's bitmap form) is checked before it is read and copied in; CopyToHandle gives the
    // image's own packed DIB, empty without an image.
    bool CreateFromHBITMAP(const BITMAP& bitmap);
    std::vector<uint8_t> CopyToHandle() const;
    bool CreateFromHANDLE(const void* block, size_t size);
    bool DecreaseBpp(uint32_t nbit, const RGBQUAD* ppal = nullptr, uint32_t clrimportant = 0);

    // Writing. Save writes in place. saveAtomically writes a hidden temporary file beside the target and
    // renames it over the target only when every byte is written and synced, so a failure leaves no
    // partial picture and the old file untouched; the new file keeps the old one's permissions, and a
    // link keeps pointing at the replaced file.
    bool Save(const std::string& filename, uint32_t imagetype);
    bool saveAtomically(const std::string& filename, uint32_t imagetype);
    bool EncodeToFile(FILE* hFile, uint32_t imagetype);
    bool Encode(CxFile* hFile, uint32_t imagetype);

protected:
    bool EncodeSafeCheck(CxFile* hFile);
    void setLastError(std::string_view text);
    void Bitfield2RGB(const uint8_t* src, const PackedDibLayout& layout);
    void decodeRle(const uint8_t* src, size_t size, bool rle4);
    void storeHeader();

    // Copied as a unit by Ghost, CopyInfo and Transfer.
    struct ImageInfo {
        uint32_t effWidth = 0;
        uint8_t* bits = nullptr;
        CxImage* ghostOf = nullptr;
        uint32_t imageType = ImageTypeNone;
        std::string lastError;
        int32_t progress = 0;
        int32_t escape = 0;
        int32_t transparentIndex = -1;
        RGBQUAD backgroundColour {};
        uint8_t jpegQuality = 90;
        int32_t xDpi = 96;
        int32_t yDpi = 96;
        uint8_t alphaMax = 255;
        bool paletteAlphaEnabled = false;
        bool enabled = true;
        std::array<uint32_t, 5> codecOptions {};
        RGBQUAD nearestKey {};
        uint8_t nearestIndex = 0;
        bool nearestValid = false;
    };

    uint8_t* m_pDib = nullptr;
    BITMAPINFOHEADER head {};
    ImageInfo info;

private:
    void Startup(uint32_t imagetype);
};
