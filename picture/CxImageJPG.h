#pragma once

#include "picture/CxImage.h"

class CxImageJPG : public CxImage {
public:
    CxImageJPG()
        : CxImage(ImageTypeJpeg)
    {
    }
    bool Encode(CxFile* hFile);
};
