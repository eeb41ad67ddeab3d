#include "picture/CQuantizer.h"

#include <array>
#include <new>

namespace {

const uint8_t levelMask[8] = { 0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01 };

} // namespace

CQuantizer::CQuantizer(uint32_t nMaxColors, int nColorBits)
    : m_nMaxColors(nMaxColors < 16 ? 16 : nMaxColors)
    , m_nOutputMaxColors(nMaxColors)
    , m_nColorBits(nColorBits >= 0 && nColorBits <= 7 ? uint32_t(nColorBits) : 8)
{
}

CQuantizer::~CQuantizer()
{
    if (m_pTree) DeleteTree(&m_pTree);
}

bool CQuantizer::ProcessImage(const uint8_t* pDib, size_t size)
{
    PackedDibLayout layout;
    std::string error;
    if (!checkPackedDib(pDib, size, layout, error)) return false;
    const BITMAPINFOHEADER& h = layout.header;
    const int bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
    if (layout.headerSize != CoreHeaderSize && h.biCompression != BI_RGB) return false;
    if (layout.topDown) return true;

    const uint8_t* rows = pDib + layout.pixelOffset;
    const int32_t width = h.biWidth;
    const int32_t height = h.biHeight;
    auto add = [&](uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        if (!AddColor(&m_pTree, r, g, b, a, m_nColorBits, 0, &m_nLeafCount, m_pReducibleNodes)) {
            m_bAllocationFailed = true;
            return false;
        }
        while (m_nLeafCount > m_nMaxColors) ReduceTree(m_nColorBits, &m_nLeafCount, m_pReducibleNodes);
        return true;
    };
    if (bits == 24) {
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* p = rows + size_t(y) * layout.stride;
            for (int32_t x = 0; x < width; ++x, p += 3)
                if (!add(p[2], p[1], p[0], 0)) return false;
        }
        return true;
    }
    const uint8_t* palette = pDib + layout.paletteOffset;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t index = GetPixelIndex(x, y, bits, layout.stride, rows);
            // An index past the stored palette has no colour of its own: black.
            uint8_t r = 0, g = 0, b = 0, a = 0;
            if (index < layout.paletteEntries) {
                const uint8_t* entry = palette + size_t(index) * layout.paletteEntrySize;
                b = entry[0], g = entry[1], r = entry[2];
                if (layout.paletteEntrySize == 4) a = entry[3];
            }
            if (!add(r, g, b, a)) return false;
        }
    }
    return true;
}

bool CQuantizer::AddColor(OctreeNode** ppNode, uint8_t r, uint8_t g, uint8_t b, uint8_t a,
    uint32_t nColorBits, uint32_t nLevel, uint32_t* pLeafCount, OctreeNode** pReducibleNodes)
{
    for (;;) {
        if (!*ppNode) {
            *ppNode = CreateNode(nLevel, nColorBits, pLeafCount, pReducibleNodes);
            if (!*ppNode) return false;
        }
        OctreeNode* node = *ppNode;
        if (node->bIsLeaf) {
            node->nPixelCount++;
            node->nRedSum += r;
            node->nGreenSum += g;
            node->nBlueSum += b;
            node->nAlphaSum += a;
            return true;
        }
        int shift = 7 - int(nLevel);
        int index = (((r & levelMask[nLevel]) >> shift) << 2) | (((g & levelMask[nLevel]) >> shift) << 1)
            | ((b & levelMask[nLevel]) >> shift);
        ppNode = &node->pChild[index];
        ++nLevel;
    }
}

OctreeNode* CQuantizer::CreateNode(
    uint32_t nLevel, uint32_t nColorBits, uint32_t* pLeafCount, OctreeNode** pReducibleNodes)
{
    OctreeNode* node = new (std::nothrow) OctreeNode();
    if (!node) return nullptr;
    node->bIsLeaf = nLevel == nColorBits;
    if (node->bIsLeaf) {
        (*pLeafCount)++;
    } else {
        node->pNext = pReducibleNodes[nLevel];
        pReducibleNodes[nLevel] = node;
    }
    return node;
}

void CQuantizer::ReduceTree(uint32_t nColorBits, uint32_t* pLeafCount, OctreeNode** pReducibleNodes)
{
    if (nColorBits == 0) return;
    uint32_t level = nColorBits - 1;
    while (level > 0 && !pReducibleNodes[level]) --level;
    OctreeNode* node = pReducibleNodes[level];
    if (!node) return;
    pReducibleNodes[level] = node->pNext;
    node->pNext = nullptr;

    uint64_t red = 0, green = 0, blue = 0, alpha = 0;
    uint32_t children = 0;
    for (OctreeNode*& child : node->pChild) {
        if (!child) continue;
        red += child->nRedSum;
        green += child->nGreenSum;
        blue += child->nBlueSum;
        alpha += child->nAlphaSum;
        node->nPixelCount += child->nPixelCount;
        DeleteTree(&child);
        ++children;
    }
    node->bIsLeaf = true;
    node->nRedSum = red;
    node->nGreenSum = green;
    node->nBlueSum = blue;
    node->nAlphaSum = alpha;
    *pLeafCount = *pLeafCount + 1 - children;
}

void CQuantizer::GetPaletteColors(
    OctreeNode* pTree, RGBQUAD* prgb, uint32_t* pIndex, uint32_t* pSum, uint32_t capacity)
{
    if (!pTree) return;
    if (pTree->bIsLeaf) {
        // A leaf left without pixels by a failed allocation has no colour to give.
        if (pTree->nPixelCount == 0 || *pIndex >= capacity) return;
        const uint64_t n = pTree->nPixelCount;
        prgb[*pIndex] = RGBQUAD { uint8_t(pTree->nBlueSum / n), uint8_t(pTree->nGreenSum / n),
            uint8_t(pTree->nRedSum / n), uint8_t(pTree->nAlphaSum / n) };
        if (pSum) pSum[*pIndex] = pTree->nPixelCount;
        (*pIndex)++;
        return;
    }
    for (OctreeNode* child : pTree->pChild) GetPaletteColors(child, prgb, pIndex, pSum, capacity);
}

void CQuantizer::SetColorTable(RGBQUAD* prgb)
{
    if (!prgb) return;
    uint32_t index = 0;
    if (m_nOutputMaxColors >= 16) {
        GetPaletteColors(m_pTree, prgb, &index, nullptr, m_nOutputMaxColors);
        return;
    }
    // Below 16 the tree holds up to 16 leaves; they are merged in runs into the colours asked for.
    std::array<RGBQUAD, 16> leaves {};
    std::array<uint32_t, 16> counts {};
    GetPaletteColors(m_pTree, leaves.data(), &index, counts.data(), 16);
    const uint32_t n = index;
    if (n <= m_nOutputMaxColors) {
        for (uint32_t k = 0; k < n; ++k) prgb[k] = leaves[k];
        return;
    }
    for (uint32_t j = 0; j < m_nOutputMaxColors; ++j) {
        uint32_t first = n * j / m_nOutputMaxColors;
        uint32_t last = n * (j + 1) / m_nOutputMaxColors;
        uint64_t sum = 0, red = 0, green = 0, blue = 0, alpha = 0;
        for (uint32_t k = first; k < last; ++k) {
            sum += counts[k];
            red += uint64_t(leaves[k].rgbRed) * counts[k];
            green += uint64_t(leaves[k].rgbGreen) * counts[k];
            blue += uint64_t(leaves[k].rgbBlue) * counts[k];
            alpha += uint64_t(leaves[k].rgbReserved) * counts[k];
        }
        if (sum == 0) continue;
        prgb[j]
            = RGBQUAD { uint8_t(blue / sum), uint8_t(green / sum), uint8_t(red / sum), uint8_t(alpha / sum) };
    }
}

void CQuantizer::DeleteTree(OctreeNode** ppNode)
{
    if (!*ppNode) return;
    for (OctreeNode*& child : (*ppNode)->pChild) DeleteTree(&child);
    delete *ppNode;
    *ppNode = nullptr;
}

uint8_t CQuantizer::GetPixelIndex(int32_t x, int32_t y, int nbit, uint32_t effwdt, const uint8_t* pimage)
{
    const uint8_t* row = pimage + size_t(y) * effwdt;
    if (nbit == 8) return row[x];
    if (nbit == 4) return x & 1 ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}
