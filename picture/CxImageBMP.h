#pragma once

#include "picture/CxImage.h"

class CxImageBMP : public CxImage {
public:
    CxImageBMP()
        : CxImage(ImageTypeBmp)
    {
    }
    bool Encode(CxFile* hFile);
};
