#pragma once

#include "picture/CxImage.h"

class CxImagePNG : public CxImage {
public:
    CxImagePNG()
        : CxImage(ImageTypePng)
    {
    }
    bool Encode(CxFile* hFile);
};
