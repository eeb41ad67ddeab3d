#include "PictureTestSupport.h"

#include "picture/CxImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> dibBytes(const CxImage& image)
{
    return std::vector<uint8_t>(image.GetDIB(), image.GetDIB() + image.GetSize());
}

// A packed DIB put together byte by byte, the way another program might hand one over.
struct Block {
    std::vector<uint8_t> bytes;
    explicit Block(uint32_t headerSize = 40)
        : bytes(headerSize, 0)
    {
        put32(0, headerSize);
    }
    Block& put16(size_t at, uint16_t v)
    {
        grow(at + 2);
        bytes[at] = uint8_t(v), bytes[at + 1] = uint8_t(v >> 8);
        return *this;
    }
    Block& put32(size_t at, uint32_t v)
    {
        grow(at + 4);
        for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(v >> (8 * i));
        return *this;
    }
    Block& info(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0, uint32_t colours = 0)
    {
        put32(4, uint32_t(width)).put32(8, uint32_t(height)).put16(12, 1).put16(14, bits);
        return put32(16, compression).put32(32, colours);
    }
    // Bit-field masks right after a 40-byte header.
    Block& masks(uint32_t red, uint32_t green, uint32_t blue)
    {
        return put32(40, red).put32(44, green).put32(48, blue);
    }
    Block& append(std::initializer_list<uint8_t> more)
    {
        bytes.insert(bytes.end(), more);
        return *this;
    }
    void grow(size_t n)
    {
        if (bytes.size() < n) bytes.resize(n);
    }
};

Rgb colourAt(const CxImage& image, int x, int y)
{
    RGBQUAD c = image.GetPixelColor(x, y);
    return Rgb { c.rgbRed, c.rgbGreen, c.rgbBlue };
}

} // namespace

TEST(ImageStorage, CreateWritesEveryHeaderFieldAndZeroesTheRest)
{
    struct Case {
        int width, height;
        uint32_t askedBits, bits, colours, stride;
    };
    const Case cases[] = {
        { 1, 3, 1, 1, 2, 4 },
        { 1, 3, 4, 4, 16, 4 },
        { 1, 3, 8, 8, 256, 4 },
        { 1, 3, 24, 24, 0, 4 },
        { 33, 2, 1, 1, 2, 8 },
        { 9, 2, 3, 4, 16, 8 },
        { 3, 2, 5, 8, 256, 4 },
        { 5, 2, 24, 24, 0, 16 },
        { 7, 2, 16, 24, 0, 24 },
        { 10, 2, 32, 24, 0, 32 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " asked " << c.askedBits);
        CxImage image;
        ASSERT_NE(image.Create(c.width, c.height, c.askedBits), nullptr);
        EXPECT_EQ(image.GetBpp(), c.bits);
        EXPECT_EQ(image.GetNumColors(), c.colours);
        EXPECT_EQ(image.GetEffWidth(), c.stride);
        EXPECT_EQ(image.GetSize(), 40 + 4 * c.colours + c.stride * uint32_t(c.height));
        std::vector<uint8_t> dib = dibBytes(image);
        expectInfoHeader(dib, 0,
            { uint32_t(c.width), uint32_t(c.height), c.bits, c.stride * uint32_t(c.height), 3780, 3780,
                c.colours });
        EXPECT_EQ(image.GetBits(), image.GetDIB() + 40 + 4 * c.colours);
        for (size_t i = 40; i < dib.size(); ++i) ASSERT_EQ(dib[i], 0) << "byte " << i;
    }
}

TEST(ImageStorage, CreateRefusesSizesItCannotHold)
{
    CxImage image;
    for (auto [w, h] : { std::pair { 0, 5 }, { 5, 0 }, { -3, 5 }, { 5, -1 } }) {
        EXPECT_EQ(image.Create(w, h, 24), nullptr);
        EXPECT_STREQ(image.GetLastError(), "CxImage::Create : width and height must be greater than zero");
        EXPECT_FALSE(image.IsValid());
    }
    EXPECT_EQ(image.Create(60000, 60000, 24), nullptr);
    EXPECT_STREQ(image.GetLastError(), "CxImage::Create can't allocate memory");
    EXPECT_FALSE(image.IsValid());
}

TEST(ImageStorage, ResolutionIsKeptInTheStoredHeader)
{
    CxImage image;
    image.Create(4, 4, 8);
    image.SetXDPI(72);
    image.SetYDPI(0);
    EXPECT_EQ(image.GetXDPI(), 72);
    EXPECT_EQ(image.GetYDPI(), 96);
    std::vector<uint8_t> dib = image.CopyToHandle();
    EXPECT_EQ(le32(dib, 24), 2835u);
    EXPECT_EQ(le32(dib, 28), 3780u);
}

TEST(ImagePixels, IndicesAreAddressedBottomUpWithTheLeftPixelHigh)
{
    CxImage four;
    four.Create(3, 2, 4);
    four.SetPixelIndex(0, 0, 0xA);
    four.SetPixelIndex(1, 0, 0x5);
    four.SetPixelIndex(2, 1, 0xF);
    four.SetPixelIndex(3, 0, 0x7); // outside: ignored
    EXPECT_EQ(four.GetBits()[0], 0xA5);
    EXPECT_EQ(four.GetBits()[four.GetEffWidth() + 1], 0xF0);
    four.SetPixelIndex(1, 0, 0x3);
    EXPECT_EQ(four.GetBits()[0], 0xA3);
    EXPECT_EQ(four.GetPixelIndex(0, 0), 0xA);
    EXPECT_EQ(four.GetPixelIndex(2, 1), 0xF);

    CxImage one;
    one.Create(10, 1, 1);
    one.SetPixelIndex(0, 0, 1);
    one.SetPixelIndex(9, 0, 1);
    EXPECT_EQ(one.GetBits()[0], 0x80);
    EXPECT_EQ(one.GetBits()[1], 0x40);
    one.SetPixelIndex(0, 0, 0);
    EXPECT_EQ(one.GetBits()[0], 0x00);
    EXPECT_EQ(one.GetPixelIndex(9, 0), 1);

    // Outside the picture: the transparent index when there is one, else the first stored byte.
    CxImage eight;
    eight.Create(2, 2, 8);
    eight.SetPixelIndex(0, 0, 42);
    EXPECT_EQ(eight.GetPixelIndex(-1, 0), 42);
    eight.SetTransIndex(7);
    EXPECT_EQ(eight.GetPixelIndex(5, 5), 7);
}

TEST(ImagePixels, NearestIndexPrefersTheLowestOfEqualDistances)
{
    CxImage image;
    image.Create(1, 1, 4);
    image.SetPaletteColor(0, 0, 0, 0);
    image.SetPaletteColor(1, 10, 0, 0);
    image.SetPaletteColor(2, 30, 0, 0);
    image.SetPaletteColor(3, 20, 0, 0);
    for (int i = 4; i < 16; ++i) image.SetPaletteColor(uint8_t(i), 200, 200, 200);
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD { 0, 0, 20, 0 }), 3); // exact
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD { 0, 0, 25, 0 }), 2); // 30 and 20 tie: 3 is not lower than 2
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD { 0, 0, 5, 0 }), 0); // 0 and 10 tie
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD { 190, 190, 190, 0 }), 4);
    image.SetClrImportant(3); // only the first three entries are searched
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD { 190, 190, 190, 0 }), 2);
    image.SetPaletteColor(1, 190, 190, 190); // a palette change is seen at once
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD { 190, 190, 190, 0 }), 1);

    // An important count above the palette size searches the palette, no further.
    CxImage eight;
    eight.Create(1, 1, 8);
    eight.SetPaletteColor(255, 1, 2, 3);
    eight.SetClrImportant(1000);
    EXPECT_EQ(eight.GetNearestIndex(RGBQUAD { 3, 2, 1, 0 }), 255);
}

TEST(ImagePixels, SwapIndexExchangesPaletteEntriesAndPixels)
{
    CxImage image;
    image.Create(3, 2, 4);
    image.SetPaletteColor(0, 1, 1, 1);
    image.SetPaletteColor(7, 7, 7, 7);
    const uint8_t indices[6] = { 0, 7, 3, 7, 0, 0 };
    for (int i = 0; i < 6; ++i) image.SetPixelIndex(i % 3, i / 3, indices[i]);
    image.SwapIndex(7);
    const uint8_t swapped[6] = { 7, 0, 3, 0, 7, 7 };
    for (int i = 0; i < 6; ++i) EXPECT_EQ(image.GetPixelIndex(i % 3, i / 3), swapped[i]) << i;
    EXPECT_EQ(image.GetPaletteColor(0).rgbRed, 7);
    EXPECT_EQ(image.GetPaletteColor(7).rgbRed, 1);
    EXPECT_EQ(image.GetBits()[1] & 0x0F, 0) << "padding nibble untouched";
    image.SwapIndex(16); // no such entry: nothing happens
    EXPECT_EQ(image.GetPaletteColor(0).rgbRed, 7);
}

TEST(ImagePixels, GreyScaleMeansTheIdentityRamp)
{
    CxImage image;
    image.Create(1, 1, 8);
    EXPECT_FALSE(image.IsGrayScale());
    for (int i = 0; i < 256; ++i) image.SetPaletteColor(uint8_t(i), uint8_t(i), uint8_t(i), uint8_t(i));
    EXPECT_TRUE(image.IsGrayScale());
    image.SetPaletteColor(200, 200, 200, 201);
    EXPECT_FALSE(image.IsGrayScale());
    CxImage colour;
    colour.Create(1, 1, 24);
    EXPECT_FALSE(colour.IsGrayScale());
}

TEST(ImageReduction, EveryPixelGoesToItsNearestEntryWithoutDithering)
{
    CxImage image;
    fillTrueColour(image, 13, 7);
    image.SetXDPI(150);
    CxImage reference;
    fillTrueColour(reference, 13, 7);
    RGBQUAD palette[16] = {};
    for (int i = 0; i < 16; ++i)
        palette[i] = RGBQUAD { uint8_t(i * 17), uint8_t(255 - i * 16), uint8_t(i * 9), 0 };
    ASSERT_TRUE(image.DecreaseBpp(4, palette, 16));
    EXPECT_EQ(image.GetBpp(), 4u);
    EXPECT_EQ(image.GetNumColors(), 16u);
    EXPECT_EQ(image.GetXDPI(), 150);
    EXPECT_EQ(image.CopyToHandle()[24], uint8_t(5906 & 0xFF)) << "resolution carried into the new header";
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x) {
            RGBQUAD c = reference.GetPixelColor(x, y);
            int best = 0, bestDistance = 1 << 30;
            for (int j = 0; j < 16; ++j) {
                int d = (palette[j].rgbRed - c.rgbRed) * (palette[j].rgbRed - c.rgbRed)
                    + (palette[j].rgbGreen - c.rgbGreen) * (palette[j].rgbGreen - c.rgbGreen)
                    + (palette[j].rgbBlue - c.rgbBlue) * (palette[j].rgbBlue - c.rgbBlue);
                if (d < bestDistance) bestDistance = d, best = j;
            }
            ASSERT_EQ(image.GetPixelIndex(x, y), best) << x << "," << y;
        }
    }
    EXPECT_FALSE(image.DecreaseBpp(8, palette, 16)) << "4 bits cannot grow to 8";
}

TEST(ImageReduction, UnfilledEntriesAreBlackAndStillCount)
{
    CxImage image;
    image.Create(2, 1, 24);
    image.SetPixelColor(0, 0, RGBQUAD { 250, 250, 250, 0 });
    image.SetPixelColor(1, 0, RGBQUAD { 3, 2, 1, 0 });
    RGBQUAD palette[256] = {};
    palette[0] = RGBQUAD { 255, 255, 255, 0 };
    palette[1] = RGBQUAD { 128, 128, 128, 0 };
    ASSERT_TRUE(image.DecreaseBpp(8, palette, 256));
    EXPECT_EQ(image.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 2) << "the first of the black entries";
}

TEST(ImageReduction, EscapeStopsTheConversion)
{
    CxImage image;
    fillTrueColour(image, 4, 4);
    image.setEscape(1);
    RGBQUAD palette[2] = { { 255, 255, 255, 0 }, { 0, 0, 0, 0 } };
    ASSERT_TRUE(image.DecreaseBpp(1, palette, 2));
    EXPECT_EQ(image.GetBpp(), 1u);
    EXPECT_EQ(image.getProgress(), 0);
}

TEST(ImageConversion, DeviceBitmapRowsAreTurnedBottomUp)
{
    // Two rows top-down, 32 bits a pixel with a spare byte, and a wider row than needed.
    const uint8_t pixels[2][12] = {
        { 1, 2, 3, 99, 4, 5, 6, 99, 0xEE, 0xEE, 0xEE, 0xEE },
        { 7, 8, 9, 99, 10, 11, 12, 99, 0xEE, 0xEE, 0xEE, 0xEE },
    };
    CxImage image;
    ASSERT_TRUE(image.CreateFromHBITMAP(BITMAP { 2, 2, 12, 32, pixels }));
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(image.GetXDPI(), 96);
    EXPECT_EQ(colourAt(image, 0, 1), (Rgb { 3, 2, 1 })); // top-left
    EXPECT_EQ(colourAt(image, 1, 0), (Rgb { 12, 11, 10 })); // bottom-right
    const uint8_t* bottom = image.GetBits();
    EXPECT_EQ(bottom[6], 0);
    EXPECT_EQ(bottom[7], 0) << "row padding stays zero";

    const uint8_t packed[1][6] = { { 1, 2, 3, 4, 5, 6 } };
    ASSERT_TRUE(image.CreateFromHBITMAP(BITMAP { 2, 1, 6, 24, packed }));
    EXPECT_EQ(colourAt(image, 1, 0), (Rgb { 6, 5, 4 }));

    EXPECT_FALSE(image.CreateFromHBITMAP(BITMAP { 2, 1, 4, 16, packed }));
    EXPECT_STREQ(image.GetLastError(), "GetDIBits failed");
    EXPECT_FALSE(image.CreateFromHBITMAP(BITMAP { 3, 1, 6, 24, packed })) << "row shorter than the width";
    EXPECT_FALSE(image.IsValid());
}

TEST(ImageConversion, OwnBlocksComeBackByteForByte)
{
    for (int bits : { 1, 4, 8, 24 }) {
        SCOPED_TRACE(bits);
        CxImage image;
        if (bits == 24)
            fillTrueColour(image, 7, 5);
        else
            fillIndexed(image, 7, 5, bits, 1 << bits);
        image.SetXDPI(300);
        std::vector<uint8_t> block = image.CopyToHandle();
        ASSERT_EQ(block.size(), image.GetSize());
        CxImage copy;
        ASSERT_TRUE(copy.CreateFromHANDLE(block.data(), block.size()));
        EXPECT_EQ(dibBytes(copy), block);
        EXPECT_EQ(copy.GetXDPI(), 300);
        EXPECT_EQ(copy.GetYDPI(), 96);
    }
    CxImage empty;
    EXPECT_TRUE(empty.CopyToHandle().empty());
}

TEST(ImageConversion, MalformedBlocksAreRefusedBeforeTheyAreRead)
{
    struct Case {
        const char* name;
        Block block;
        const char* error;
    };
    auto fullBlock = [](int32_t w, int32_t h, uint16_t bits, uint32_t compression = 0, uint32_t colours = 0) {
        Block b;
        b.info(w, h, bits, compression, colours);
        uint32_t entries = colours ? colours : bits <= 8 ? 1u << bits : 0;
        b.grow(40 + 4 * entries + size_t((int64_t(w) * bits + 31) / 32 * 4) * size_t(h < 0 ? -h : h));
        return b;
    };
    Block tooShort = fullBlock(4, 4, 24);
    tooShort.bytes.pop_back();
    Block shortHeader;
    shortHeader.bytes.resize(30);
    std::vector<Case> cases = {
        { "header size 20", Block(20), "DIB header size not supported" },
        { "header cut off", shortHeader, "DIB block too small" },
        { "width 0", fullBlock(0, 4, 24), "DIB width or height out of range" },
        { "negative width", fullBlock(-4, 4, 24), "DIB width or height out of range" },
        { "height 0", fullBlock(4, 0, 24), "DIB width or height out of range" },
        { "2 bits", fullBlock(4, 4, 2), "DIB bit count not supported" },
        { "0 bits", fullBlock(4, 4, 0), "DIB bit count not supported" },
        { "run-length 24 bits", fullBlock(4, 4, 24, 1), "unknown compression" },
        { "32 bits, compression 7", fullBlock(4, 4, 32, 7), "unknown compression" },
        { "8 bits with masks", fullBlock(4, 4, 8, 3), "compression type not supported" },
        { "4 bits as RLE8", fullBlock(4, 4, 4, 1), "compression type not supported" },
        { "top-down RLE8", fullBlock(4, -4, 8, 1), "compression type not supported" },
        { "pixels one byte short", tooShort, "DIB pixel data truncated" },
        { "1000 palette entries", fullBlock(4, 4, 8, 0, 1000), "DIB palette too large" },
        { "palette past the end", Block().info(4, 4, 8, 0, 200), "DIB block too small" },
        { "row too wide", Block().info(0x40000000, 1, 24), "DIB width or height out of range" },
        { "rows past the end", Block().info(100000, 100000, 24), "DIB pixel data truncated" },
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage image;
        EXPECT_FALSE(image.CreateFromHANDLE(c.block.bytes.data(), c.block.bytes.size()));
        EXPECT_STREQ(image.GetLastError(), c.error);
        EXPECT_FALSE(image.IsValid());
    }
    CxImage image;
    EXPECT_FALSE(image.CreateFromHANDLE(nullptr, 100));
    uint8_t three[3] = { 40, 0, 0 };
    EXPECT_FALSE(image.CreateFromHANDLE(three, 3));
}

TEST(ImageConversion, ForeignPaddingAndStrayBitsAreNotKept)
{
    Block b;
    b.info(3, 2, 4, 0, 16);
    b.grow(40 + 64);
    b.append(
        { 0x12, 0x3F, 0xAB, 0xCD, 0x45, 0x6F, 0xFF, 0xFF }); // the low nibble of byte 1 is past the width
    CxImage image;
    ASSERT_TRUE(image.CreateFromHANDLE(b.bytes.data(), b.bytes.size()));
    const uint8_t* bits = image.GetBits();
    EXPECT_EQ(bits[0], 0x12);
    EXPECT_EQ(bits[1], 0x30);
    EXPECT_EQ(bits[2], 0);
    EXPECT_EQ(bits[3], 0);
    EXPECT_EQ(bits[4], 0x45);
    EXPECT_EQ(bits[5], 0x60);
    EXPECT_EQ(bits[7], 0);
}

TEST(ImageConversion, OtherProgramsBlockFormsAreConverted)
{
    struct Pixel {
        int x, y;
        Rgb colour;
    };
    struct Case {
        const char* name;
        Block block;
        uint32_t bits;
        std::vector<Pixel> pixels;
    };
    Block core(12);
    core.put16(4, 2).put16(6, 1).put16(8, 1).put16(10, 1);
    std::vector<Case> cases = {
        { "16 bits with 5-6-5 masks", // pure blue; red with full green
            Block().info(2, 1, 16, 3).masks(0xF800, 0x07E0, 0x001F).append({ 0x1F, 0x00, 0xE0, 0xFF }), 24,
            { { 0, 0, { 0, 0, 248 } }, { 1, 0, { 248, 252, 0 } } } },
        { "16 bits without masks are 5-5-5", Block().info(1, 1, 16).append({ 0x00, 0x7C, 0, 0 }), 24,
            { { 0, 0, { 248, 0, 0 } } } },
        { "32 bits: the pixels follow the header directly",
            Block().info(2, 1, 32).append({ 1, 2, 3, 0, 4, 5, 6, 0 }), 24,
            { { 0, 0, { 3, 2, 1 } }, { 1, 0, { 6, 5, 4 } } } },
        { "32 bits with masks in another byte order",
            Block().info(1, 1, 32, 3).masks(0xFF, 0xFF00, 0xFF0000).append({ 10, 20, 30, 0 }), 24,
            { { 0, 0, { 10, 20, 30 } } } },
        { "top-down rows: the first stored row is the top",
            Block().info(1, -2, 24).append({ 1, 2, 3, 0, 4, 5, 6, 0 }), 24,
            { { 0, 1, { 3, 2, 1 } }, { 0, 0, { 6, 5, 4 } } } },
        { "12-byte header with three-byte palette entries",
            core.append({ 10, 20, 30, 40, 50, 60, 0x40, 0, 0, 0 }), 1,
            { { 0, 0, { 30, 20, 10 } }, { 1, 0, { 60, 50, 40 } } } },
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage image;
        ASSERT_TRUE(image.CreateFromHANDLE(c.block.bytes.data(), c.block.bytes.size()))
            << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), c.bits);
        for (const Pixel& p : c.pixels) EXPECT_EQ(colourAt(image, p.x, p.y), p.colour) << p.x << "," << p.y;
    }
    {
        SCOPED_TRACE("long header with a short palette after it");
        Block b(124);
        b.info(2, 1, 8, 0, 2).put32(24, 2835).put32(28, 0);
        b.append({ 1, 2, 3, 99, 4, 5, 6, 99, 1, 0, 0, 0 });
        CxImage image;
        ASSERT_TRUE(image.CreateFromHANDLE(b.bytes.data(), b.bytes.size()));
        EXPECT_EQ(image.GetNumColors(), 256u);
        EXPECT_EQ(image.GetPaletteColor(1), (RGBQUAD { 4, 5, 6, 0 }));
        EXPECT_EQ(image.GetPaletteColor(2), (RGBQUAD {}));
        EXPECT_EQ(image.GetPixelIndex(0, 0), 1);
        EXPECT_EQ(image.GetXDPI(), 72);
        EXPECT_EQ(image.GetYDPI(), 96);
    }
}

TEST(ImageConversion, RunLengthBlocksAreExpandedWithinThePicture)
{
    Block rle8;
    rle8.info(4, 3, 8, 1, 16);
    rle8.grow(40 + 64);
    rle8.append({
        3, 5, 1, 7, 0, 0, // bottom row: 5 5 5 7
        0, 3, 1, 2, 3, 0, 4, 9, 0, 0, // literal 1 2 3 and its pad byte, then a run past the right edge
        0, 2, 1, 0, 2, 9, // move one right in the top row, then 9 9
        0, 1, 6, 6, // end of picture: the run after it is not drawn
    });
    CxImage image;
    ASSERT_TRUE(image.CreateFromHANDLE(rle8.bytes.data(), rle8.bytes.size()));
    const uint8_t expected[3][4] = { { 5, 5, 5, 7 }, { 1, 2, 3, 9 }, { 0, 9, 9, 0 } };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(image.GetPixelIndex(x, y), expected[y][x]) << x << "," << y;

    Block rle4;
    rle4.info(7, 1, 4, 2, 16);
    rle4.grow(40 + 64);
    rle4.append({ 5, 0x12, 0, 3, 0xAB, 0xC0, 0, 1 });
    ASSERT_TRUE(image.CreateFromHANDLE(rle4.bytes.data(), rle4.bytes.size()));
    const uint8_t row[7] = { 1, 2, 1, 2, 1, 0xA, 0xB };
    for (int x = 0; x < 7; ++x) EXPECT_EQ(image.GetPixelIndex(x, 0), row[x]) << x;

    // Data that stops in the middle of a literal run draws what is there.
    Block cut;
    cut.info(4, 1, 8, 1, 2);
    cut.grow(40 + 8);
    cut.append({ 0, 4, 1, 1 });
    ASSERT_TRUE(image.CreateFromHANDLE(cut.bytes.data(), cut.bytes.size()));
    EXPECT_EQ(image.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(image.GetPixelIndex(2, 0), 0);
}

// The reduction of a true-colour picture must give every pixel the index the pixel-by-pixel lookup
// gives: least distance, the lowest index among equal distances, only the searched entries.
TEST(ImageReduction, FastReductionPicksTheSameIndicesAsTheLookupOfEachPixel)
{
    struct Case {
        const char* name;
        uint32_t bits;
        uint32_t important;
        int distinctEntries; // entries after these repeat earlier ones or stay black
    };
    const Case cases[] = {
        { "16 entries", 4, 16, 16 },
        { "256 entries", 8, 256, 256 },
        { "256 entries, few filled", 8, 256, 37 },
        { "16 entries, ties everywhere", 4, 16, 5 },
        { "important count below the palette", 8, 40, 256 },
        { "two entries", 1, 2, 2 },
    };
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return uint8_t(seed >> 16);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t size = 1u << c.bits;
        std::vector<RGBQUAD> palette(size);
        for (uint32_t j = 0; j < size; ++j) {
            if (int(j) < c.distinctEntries)
                palette[j] = RGBQUAD { uint8_t(next() & 0xF8), uint8_t(next() & 0xF0), uint8_t(next()), 0 };
            else if (c.distinctEntries < 10)
                palette[j] = palette[j % uint32_t(c.distinctEntries)];
        }
        if (size >= 4 && c.distinctEntries >= 4) {
            // Pairs of entries as far from a colour as each other, one apart from it in green alone: the
            // lower index must win whichever side of the colour it lies on.
            palette[0] = RGBQUAD { 7, 60, 250, 0 };
            palette[1] = RGBQUAD { 7, 80, 250, 0 };
            palette[2] = RGBQUAD { 250, 140, 10, 0 };
            palette[3] = RGBQUAD { 250, 130, 20, 0 };
        }
        const RGBQUAD between[] = { { 7, 70, 250, 0 }, { 250, 130, 10, 0 } };
        // Colours near the entries and between them, long runs and single pixels, the corners of the cube.
        const int width = 301, height = 97;
        CxImage image;
        ASSERT_TRUE(image.Create(width, height, 24));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                RGBQUAD colour { next(), next(), next(), 0 };
                if (x % 7 == 0) colour = RGBQUAD { uint8_t(x), uint8_t(y), uint8_t(x + y), 0 };
                if (y % 5 == 0) colour = RGBQUAD { 0, 0, 0, 0 };
                if (y % 11 == 0) colour = RGBQUAD { 255, 255, 255, 0 };
                if (x % 13 == 0 && y % 3 == 0) {
                    colour = palette[(x + y) % size];
                    colour.rgbRed = uint8_t(colour.rgbRed + 1);
                }
                if (y == 1 && x < 20) colour = between[x % 2];
                image.SetPixelColor(x, y, colour);
            }
        CxImage lookup;
        lookup.Create(width, height, c.bits);
        lookup.SetPalette(palette.data(), size);
        lookup.SetClrImportant(c.important);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) lookup.SetPixelColor(x, y, image.GetPixelColor(x, y));
        ASSERT_TRUE(image.DecreaseBpp(c.bits, palette.data(), c.important));
        ASSERT_EQ(image.GetSize(), lookup.GetSize());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(image.GetPixelIndex(x, y), lookup.GetPixelIndex(x, y)) << x << "," << y;
        EXPECT_EQ(dibBytes(image), dibBytes(lookup));
    }
}
