#pragma once

#include "picture/CxImage.h"

class CxImageWBMP : public CxImage {
public:
    CxImageWBMP()
        : CxImage(ImageTypeWbmp)
    {
    }
    bool Encode(CxFile* hFile);
};
