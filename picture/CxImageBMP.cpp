#include "picture/CxImageBMP.h"

#include "picture/CxFile.h"

bool CxImageBMP::Encode(CxFile* hFile)
{
    if (EncodeSafeCheck(hFile)) return false;
    uint8_t fileHeader[FileHeaderSize] = { 'B', 'M' };
    writeU32(fileHeader + 2, GetSize() + FileHeaderSize);
    writeU32(fileHeader + 10, FileHeaderSize + InfoHeaderSize + GetPaletteSize());
    storeHeader();
    if (hFile->Write(fileHeader, FileHeaderSize, 1) != 1 || hFile->Write(GetDIB(), GetSize(), 1) != 1) {
        setLastError("Write Error");
        return false;
    }
    return true;
}
