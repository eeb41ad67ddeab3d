#include "PictureTestSupport.h"

#include "picture/CQuantizer.h"
#include "tests/support/SyntheticBoard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <vector>

// Node allocations can be made to fail on demand; everything else allocates as usual. The compiler
// cannot see that new and delete below are a matched pair on one heap.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
int nothrowAllocationsLeft = -1;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (nothrowAllocationsLeft == 0) return nullptr;
    if (nothrowAllocationsLeft > 0) --nothrowAllocationsLeft;
    return std::malloc(size ? size : 1);
}

// The ordinary forms are replaced too, so that every allocation and release meets the same heap.
void* operator new(std::size_t size)
{
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

namespace {

struct Colour {
    uint8_t r, g, b;
    int pixels = 1;
};

// A 24-bit picture of one row holding the colours in order, each as often as asked.
void pictureOf(CxImage& image, const std::vector<Colour>& colours)
{
    int width = 0;
    for (const Colour& c : colours) width += c.pixels;
    image.Create(width, 1, 24);
    int x = 0;
    for (const Colour& c : colours)
        for (int k = 0; k < c.pixels; ++k) image.SetPixelColor(x++, 0, RGBQUAD { c.b, c.g, c.r, 0 });
}

std::vector<RGBQUAD> quantise(const CxImage& image, uint32_t colours, int bits, size_t tableSize = 256)
{
    CQuantizer quantizer(colours, bits);
    EXPECT_TRUE(quantizer.ProcessImage(image.GetDIB(), image.GetSize()));
    std::vector<RGBQUAD> table(tableSize, RGBQUAD { 1, 2, 3, 4 });
    quantizer.SetColorTable(table.data());
    return table;
}

RGBQUAD quad(uint8_t r, uint8_t g, uint8_t b)
{
    return RGBQUAD { b, g, r, 0 };
}

} // namespace

TEST(Quantizer, FewColoursComeOutExactly)
{
    struct Case {
        uint32_t colours;
        int bits;
        int distinct;
        int step; // spacing of the colours; 16 keeps them apart in their top four bits
    };
    for (Case c :
        { Case { 16, 8, 16, 1 }, Case { 256, 8, 256, 1 }, Case { 16, 4, 16, 16 }, Case { 16, 8, 9, 7 } }) {
        SCOPED_TRACE(testing::Message() << c.colours << " colours, " << c.bits << " bits");
        CxImage image;
        image.Create(37, 23, 24);
        std::vector<RGBQUAD> used;
        for (int i = 0; i < c.distinct; ++i)
            used.push_back(quad(
                uint8_t(i * c.step % 256), uint8_t(i * c.step * 7 % 256), uint8_t(255 - i * c.step % 256)));
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x) image.SetPixelColor(x, y, used[size_t(x + 37 * y) % used.size()]);
        CxImage reference;
        reference.CreateFromHANDLE(image.GetDIB(), image.GetSize());
        std::vector<RGBQUAD> table = quantise(image, c.colours, c.bits, c.colours);
        for (const RGBQUAD& u : used) EXPECT_NE(std::find(table.begin(), table.end(), u), table.end());
        ASSERT_TRUE(image.DecreaseBpp(c.colours == 16 ? 4 : 8, table.data(), c.colours));
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x) ASSERT_EQ(image.GetPixelColor(x, y), reference.GetPixelColor(x, y));
    }
}

TEST(Quantizer, TheSeventeenthGroupMergesTheNewestPairOnce)
{
    // Pairs of colours that differ only in the fourth bit of red share an inner node of level 3; the
    // seventeenth colour opens a node of its own, which has one child, so merging it gains nothing and
    // the newest pair is merged as well.
    std::vector<Colour> colours;
    for (int k = 0; k < 8; ++k) {
        colours.push_back({ uint8_t(k * 32 + 2), 8, 4 });
        colours.push_back({ uint8_t(k * 32 + 22), 8, 4, k == 7 ? 3 : 1 });
    }
    colours.push_back({ 0, 128, 0 });
    CxImage image;
    pictureOf(image, colours);
    CQuantizer quantizer(16, 4);
    ASSERT_TRUE(quantizer.ProcessImage(image.GetDIB(), image.GetSize()));
    EXPECT_EQ(quantizer.GetColorCount(), 16u);
    std::array<RGBQUAD, 16> table {};
    quantizer.SetColorTable(table.data());
    // Palette order follows the interleaved bits: the red-low half, the green colour, the red-high half.
    std::vector<RGBQUAD> expected;
    for (int k = 0; k < 4; ++k)
        expected.push_back(quad(uint8_t(k * 32 + 2), 8, 4)),
            expected.push_back(quad(uint8_t(k * 32 + 22), 8, 4));
    expected.push_back(quad(0, 128, 0));
    for (int k = 4; k < 7; ++k)
        expected.push_back(quad(uint8_t(k * 32 + 2), 8, 4)),
            expected.push_back(quad(uint8_t(k * 32 + 22), 8, 4));
    expected.push_back(quad((226 + 3 * 246) / 4, 8, 4)); // weighted by the pixels of each
    EXPECT_EQ(std::vector<RGBQUAD>(table.begin(), table.end()), expected);
}

TEST(Quantizer, TheSameInputGivesTheSamePalette)
{
    CxImage board;
    ASSERT_TRUE(makeBoardLikeImage(board, 300, 310));
    for (auto [colours, bits] : { std::pair { 256u, 8 }, { 16u, 4 } }) {
        SCOPED_TRACE(colours);
        CQuantizer first(colours, bits), second(colours, bits);
        ASSERT_TRUE(first.ProcessImage(board.GetDIB(), board.GetSize()));
        ASSERT_TRUE(second.ProcessImage(board.GetDIB(), board.GetSize()));
        EXPECT_EQ(first.GetColorCount(), second.GetColorCount());
        EXPECT_LE(first.GetColorCount(), colours);
        std::vector<RGBQUAD> a(colours), b(colours);
        first.SetColorTable(a.data());
        second.SetColorTable(b.data());
        EXPECT_EQ(a, b);
    }
}

TEST(Quantizer, OnePixelAndUnusualColourBits)
{
    CxImage one;
    pictureOf(one, { { 200, 100, 50 } });
    std::vector<RGBQUAD> table = quantise(one, 16, 4, 16);
    EXPECT_EQ(table[0], quad(200, 100, 50));
    EXPECT_EQ(table[1], (RGBQUAD { 1, 2, 3, 4 })) << "entries not filled keep their contents";

    CxImage three;
    pictureOf(three, { { 10, 20, 30 }, { 40, 50, 60, 2 }, { 255, 255, 255 } });
    // No colour bits: the root is the only leaf, one averaged colour.
    table = quantise(three, 16, 0, 16);
    EXPECT_EQ(table[0], quad((10 + 80 + 255) / 4, (20 + 100 + 255) / 4, (30 + 120 + 255) / 4));
    EXPECT_EQ(table[1], (RGBQUAD { 1, 2, 3, 4 }));
    // Out-of-range colour bits mean 8.
    const std::vector<RGBQUAD> eight = quantise(three, 16, 8, 16);
    EXPECT_EQ(quantise(three, 16, 9, 16), eight);
    EXPECT_EQ(quantise(three, 16, -1, 16), eight);
    EXPECT_EQ(eight[2], quad(255, 255, 255));
}

TEST(Quantizer, FewerThanSixteenColoursAreMergedInRuns)
{
    std::vector<Colour> colours;
    for (int i = 0; i < 16; ++i) colours.push_back({ uint8_t(16 * i), 0, 0, i + 1 });
    CxImage image;
    pictureOf(image, colours);
    CQuantizer quantizer(4, 8);
    ASSERT_TRUE(quantizer.ProcessImage(image.GetDIB(), image.GetSize()));
    EXPECT_EQ(quantizer.GetColorCount(), 16u) << "the tree itself goes down to sixteen only";
    std::vector<RGBQUAD> table(4);
    quantizer.SetColorTable(table.data());
    for (int j = 0; j < 4; ++j) {
        int sum = 0, weighted = 0;
        for (int i = 4 * j; i < 4 * j + 4; ++i) sum += i + 1, weighted += 16 * i * (i + 1);
        EXPECT_EQ(table[size_t(j)], quad(uint8_t(weighted / sum), 0, 0)) << j;
    }
    CxImage three;
    pictureOf(three, { { 1, 1, 1 }, { 2, 2, 2 }, { 3, 3, 3 } });
    std::vector<RGBQUAD> few = quantise(three, 4, 8, 4);
    EXPECT_EQ(few[2], quad(3, 3, 3));
    EXPECT_EQ(few[3], (RGBQUAD { 1, 2, 3, 4 }));
}

TEST(Quantizer, PalettePicturesAreReadThroughTheirPalette)
{
    for (int bits : { 1, 4, 8 }) {
        SCOPED_TRACE(bits);
        CxImage image;
        image.Create(5, 3, uint32_t(bits));
        image.SetPaletteColor(0, RGBQUAD { 10, 20, 30, 40 });
        image.SetPaletteColor(1, RGBQUAD { 50, 60, 70, 80 });
        for (int x = 0; x < 5; ++x) image.SetPixelIndex(x, 1, 1);
        std::vector<RGBQUAD> table = quantise(image, 16, 8, 16);
        // Ten pixels of entry 0 and five of entry 1, the reserved byte taken as alpha.
        EXPECT_EQ(table[0], (RGBQUAD { 10, 20, 30, 40 }));
        EXPECT_EQ(table[1], (RGBQUAD { 50, 60, 70, 80 }));
        EXPECT_EQ(table[2], (RGBQUAD { 1, 2, 3, 4 }));
    }
    // An index past a short palette is black.
    CxImage image;
    image.Create(2, 1, 8);
    image.SetPaletteColor(0, 90, 90, 90);
    image.SetPixelIndex(1, 0, 3);
    std::vector<uint8_t> block = image.CopyToHandle();
    block[32] = 2; // biClrUsed: two entries stored
    block[33] = 0;
    block.erase(block.begin() + 40 + 8, block.begin() + 40 + 1024);
    CQuantizer quantizer(16, 8);
    ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
    std::vector<RGBQUAD> table(16);
    quantizer.SetColorTable(table.data());
    EXPECT_EQ(table[0], quad(0, 0, 0));
    EXPECT_EQ(table[1], quad(90, 90, 90));
}

TEST(Quantizer, RefusesBlocksItCannotWalk)
{
    std::vector<uint8_t> block(40 + 8, 0);
    block[0] = 40;
    block[4] = 2;
    block[8] = 1;
    block[12] = 1;
    for (uint8_t bits : { 16, 32 }) {
        SCOPED_TRACE(int(bits));
        block[14] = bits;
        CQuantizer quantizer(16, 4);
        EXPECT_FALSE(quantizer.ProcessImage(block.data(), block.size()));
        EXPECT_EQ(quantizer.GetColorCount(), 0u);
        EXPECT_FALSE(quantizer.allocationFailed());
    }
    block[14] = 24;
    CQuantizer truncated(16, 4);
    EXPECT_FALSE(truncated.ProcessImage(block.data(), 45));
    EXPECT_FALSE(truncated.ProcessImage(nullptr, 0));
    // Run-length data is no pixel rows.
    std::vector<uint8_t> rle(40 + 1024 + 4, 0);
    rle[0] = 40, rle[4] = 2, rle[8] = 1, rle[12] = 1, rle[14] = 8, rle[16] = 1;
    EXPECT_FALSE(truncated.ProcessImage(rle.data(), rle.size()));
    EXPECT_EQ(truncated.GetColorCount(), 0u);
    // Top-down rows: accepted with nothing added.
    block[8] = 0xFF, block[9] = 0xFF, block[10] = 0xFF, block[11] = 0xFF;
    CQuantizer topDown(16, 4);
    EXPECT_TRUE(topDown.ProcessImage(block.data(), block.size()));
    EXPECT_EQ(topDown.GetColorCount(), 0u);
}

TEST(Quantizer, ColourSumsDoNotOverflowOnLargePictures)
{
    // 17.2 million white pixels: their sum of one component passes 2^32.
    CxImage image;
    ASSERT_NE(image.Create(4200, 4100, 24), nullptr);
    std::fill(image.GetBits(), image.GetBits() + size_t(image.GetEffWidth()) * 4100, 0xFF);
    std::vector<RGBQUAD> table = quantise(image, 16, 4, 16);
    EXPECT_EQ(table[0], quad(255, 255, 255));
}

TEST(Quantizer, RunningOutOfMemoryIsReported)
{
    CxImage board;
    ASSERT_TRUE(makeBoardLikeImage(board, 64, 64));
    for (int allowed : { 0, 1, 5, 12 }) {
        SCOPED_TRACE(allowed);
        CQuantizer quantizer(16, 4);
        nothrowAllocationsLeft = allowed;
        bool processed = quantizer.ProcessImage(board.GetDIB(), board.GetSize());
        nothrowAllocationsLeft = -1;
        EXPECT_FALSE(processed);
        EXPECT_TRUE(quantizer.allocationFailed());
        std::vector<RGBQUAD> table(16);
        quantizer.SetColorTable(table.data()); // what was gathered is still a palette
    }
    CQuantizer enough(16, 4);
    EXPECT_TRUE(enough.ProcessImage(board.GetDIB(), board.GetSize()));
    EXPECT_FALSE(enough.allocationFailed());
}
