#pragma once

#include "picture/Dib.h"

#include <cstddef>
#include <cstdint>

struct OctreeNode {
    bool bIsLeaf = false;
    uint32_t nPixelCount = 0;
    // Wide enough for every pixel of the largest picture an image can hold.
    uint64_t nRedSum = 0;
    uint64_t nGreenSum = 0;
    uint64_t nBlueSum = 0;
    uint64_t nAlphaSum = 0;
    OctreeNode* pChild[8] = {};
    OctreeNode* pNext = nullptr;
};

// Chooses a palette of at most 256 colours for a packed DIB with an octree of its colours.
class CQuantizer {
public:
    CQuantizer(uint32_t nMaxColors, int nColorBits);
    virtual ~CQuantizer();
    CQuantizer(const CQuantizer&) = delete;
    CQuantizer& operator=(const CQuantizer&) = delete;

    // Adds every pixel of a 1-, 4-, 8- or 24-bit uncompressed DIB of size bytes. False for any other
    // DIB, and when memory for the tree ran out (allocationFailed() tells which).
    bool ProcessImage(const uint8_t* pDib, size_t size);
    // Writes the palette into prgb, which has room for the requested number of colours; entries the
    // quantiser does not fill keep their contents.
    void SetColorTable(RGBQUAD* prgb);
    uint32_t GetColorCount() const { return m_nLeafCount; }
    bool allocationFailed() const { return m_bAllocationFailed; }

protected:
    bool AddColor(OctreeNode** ppNode, uint8_t r, uint8_t g, uint8_t b, uint8_t a, uint32_t nColorBits,
        uint32_t nLevel, uint32_t* pLeafCount, OctreeNode** pReducibleNodes);
    OctreeNode* CreateNode(
        uint32_t nLevel, uint32_t nColorBits, uint32_t* pLeafCount, OctreeNode** pReducibleNodes);
    void ReduceTree(uint32_t nColorBits, uint32_t* pLeafCount, OctreeNode** pReducibleNodes);
    void GetPaletteColors(
        OctreeNode* pTree, RGBQUAD* prgb, uint32_t* pIndex, uint32_t* pSum, uint32_t capacity);
    void DeleteTree(OctreeNode** ppNode);
    uint8_t GetPixelIndex(int32_t x, int32_t y, int nbit, uint32_t effwdt, const uint8_t* pimage);

    OctreeNode* m_pTree = nullptr;
    uint32_t m_nLeafCount = 0;
    OctreeNode* m_pReducibleNodes[9] = {};
    uint32_t m_nMaxColors;
    uint32_t m_nOutputMaxColors;
    uint32_t m_nColorBits;
    bool m_bAllocationFailed = false;
};
