// Clipboard bitmaps whose headers claim what no real picture holds: they are refused, or taken in
// within what every writer can store.

#include "PictureTestSupport.h"

#include "picture/CxImage.h"
#include "picture/Dib.h"

#include <gtest/gtest.h>

#include <png.h>

#include <vector>

namespace {

// A packed DIB of the given header, palette entries (grey) and data bytes.
std::vector<uint8_t> packedDib(
    const BITMAPINFOHEADER& header, uint32_t entries, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> block(InfoHeaderSize + 4 * entries);
    writeInfoHeader(block.data(), header);
    for (uint32_t i = 0; i < entries; ++i)
        for (int c = 0; c < 3; ++c) block[InfoHeaderSize + 4 * i + uint32_t(c)] = uint8_t(i);
    block.insert(block.end(), data.begin(), data.end());
    return block;
}

BITMAPINFOHEADER header(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t colours)
{
    BITMAPINFOHEADER h;
    h.biSize = InfoHeaderSize;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    h.biClrUsed = colours;
    return h;
}

} // namespace

TEST(HostileBlocks, RunLengthHeadersAreBelievedOnlyAsFarAsTheirDataCanPaint)
{
    // Pairs of "255 pixels of index 7", then the end of the picture.
    auto runs = [](size_t pairs) {
        std::vector<uint8_t> data;
        for (size_t i = 0; i < pairs; ++i) data.insert(data.end(), { 255, 7 });
        data.insert(data.end(), { 0, 1 });
        return data;
    };
    struct Case {
        const char* name;
        int32_t width, height;
        uint16_t bits;
        uint32_t compression;
        std::vector<uint8_t> data;
        bool taken;
    };
    const std::vector<Case> cases = {
        // 40 + 4 + 2 bytes that would have cost 2 GB.
        { "46 bytes claiming 46000 x 46000", 46000, 46000, 8, BI_RLE8, { 0, 1 }, false },
        { "run-length 4 bits claiming 46000 x 46000", 46000, 46000, 4, BI_RLE4, { 0, 1 }, false },
        { "a screen-sized picture left unpainted", 4096, 4096, 8, BI_RLE8, { 0, 1 }, true },
        // 20 million pixels need 78432 pairs of 255 pixels; the end mark is a pair too.
        { "runs enough for every pixel", 5000, 4000, 8, BI_RLE8, runs(78431), true },
        { "one pair of runs short", 5000, 4000, 8, BI_RLE8, runs(78430), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> block
            = packedDib(header(c.width, c.height, c.bits, c.compression, 1), 1, c.data);
        CxImage image;
        EXPECT_EQ(image.CreateFromHANDLE(block.data(), block.size()), c.taken);
        if (!c.taken) {
            EXPECT_STREQ(image.GetLastError(), "DIB pixel data truncated");
            EXPECT_FALSE(image.IsValid());
            continue;
        }
        EXPECT_EQ(image.GetWidth(), uint32_t(c.width));
        EXPECT_EQ(image.GetHeight(), uint32_t(c.height));
        EXPECT_EQ(image.GetPixelIndex(0, 0), c.data[1] == 7 ? 7 : 0);
    }
}

TEST(HostileBlocks, ExtremeResolutionsStayWithinWhatEachFormatHolds)
{
    struct Case {
        const char* name;
        uint32_t pelsPerMeter;
        int32_t dpi;
        uint32_t physical; // pHYs and the image's own header
        int jpegDensity;
    };
    const Case cases[] = {
        // 54546085 dpi is a hair more than 2^31 - 1 pixels a metre.
        { "the largest header value", 0x7FFFFFFF, 54546085, 0x7FFFFFFF, 65535 },
        { "a negative header value", 0x80000000, 96, 3780, 96 },
        { "less than one dot an inch", 1, 96, 3780, 96 },
        { "an ordinary 300 dpi", 11811, 300, 11811, 300 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage source;
        fillTrueColour(source, 4, 3);
        std::vector<uint8_t> block = source.CopyToHandle();
        writeU32(&block[24], c.pelsPerMeter);
        writeU32(&block[28], c.pelsPerMeter);
        CxImage image;
        ASSERT_TRUE(image.CreateFromHANDLE(block.data(), block.size()));
        EXPECT_EQ(image.GetXDPI(), c.dpi);
        EXPECT_EQ(image.GetYDPI(), c.dpi);
        std::vector<uint8_t> own = image.CopyToHandle();
        EXPECT_EQ(le32(own, 24), c.physical);

        PngFacts png;
        ASSERT_TRUE(decodePng(encodeToMemory(image, ImageTypePng), &png).ok);
        EXPECT_EQ(png.physX, c.physical);
        EXPECT_EQ(png.physY, c.physical);
        EXPECT_EQ(png.physUnit, PNG_RESOLUTION_METER);

        JpegFacts jpeg;
        ASSERT_TRUE(decodeJpeg(encodeToMemory(image, ImageTypeJpeg), &jpeg).ok);
        EXPECT_EQ(jpeg.xDensity, c.jpegDensity);
        EXPECT_EQ(jpeg.yDensity, c.jpegDensity);
    }
}
