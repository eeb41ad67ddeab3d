#include "picture/CxImageWBMP.h"

#include "picture/CxFile.h"

namespace {

// Seven bits a byte, the most significant group first, the high bit on every byte but the last.
int multiByteInteger(uint32_t value, uint8_t* out)
{
    int n = 0;
    uint8_t groups[5];
    do {
        groups[n++] = uint8_t(value & 0x7F);
        value >>= 7;
    } while (value);
    for (int i = 0; i < n; ++i) out[i] = uint8_t(groups[n - 1 - i] | (i < n - 1 ? 0x80 : 0));
    return n;
}

} // namespace

bool CxImageWBMP::Encode(CxFile* hFile)
{
    if (EncodeSafeCheck(hFile)) return false;
    if (GetBpp() != 1 || GetWidth() > 255 || GetHeight() > 255) {
        setLastError("Can't save this image as WBMP");
        return false;
    }
    uint8_t header[12] = { 0, 0 };
    int n = 2;
    n += multiByteInteger(GetWidth(), header + n);
    n += multiByteInteger(GetHeight(), header + n);
    bool ok = hFile->Write(header, size_t(n), 1) == 1;
    const uint32_t rowBytes = (GetWidth() + 7) / 8;
    for (int32_t y = int32_t(GetHeight()) - 1; ok && y >= 0; --y)
        ok = hFile->Write(GetBits() + size_t(y) * GetEffWidth(), rowBytes, 1) == 1;
    if (!ok) setLastError("Write Error");
    return ok;
}
