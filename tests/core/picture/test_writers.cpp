#include "PictureTestSupport.h"

#include "picture/CQuantizer.h"
#include "picture/CxIOFile.h"
#include "tests/support/SyntheticBoard.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Sample {
    const char* name;
    int width, height, bits, colours;
};

const Sample samples[] = {
    { "1 bit", 19, 5, 1, 2 },
    { "4 bits", 9, 6, 4, 16 },
    { "4 bits, 1 wide", 1, 4, 4, 16 },
    { "8 bits", 11, 3, 8, 256 },
    { "8 bits, 1 wide", 1, 3, 8, 200 },
    { "24 bits", 13, 7, 24, 0 },
    { "24 bits, 1 wide", 1, 5, 24, 0 },
};

void make(CxImage& image, const Sample& s)
{
    if (s.bits == 24)
        fillTrueColour(image, s.width, s.height);
    else
        fillIndexed(image, s.width, s.height, s.bits, s.colours);
}

// A fresh folder under the build's temporary directory, removed with the object.
struct TempFolder {
    fs::path path;
    TempFolder()
    {
        path = fs::temp_directory_path()
            / ("brennix-picture-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    static inline int counter = 0;
};

std::vector<std::string> names(const fs::path& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        found.push_back(entry.path().filename().string());
    return found;
}

} // namespace

TEST(BmpWriter, HeaderFieldsAndOffsetsFollowTheDepth)
{
    struct Case {
        int width, height, bits;
        uint32_t offset, stride;
    };
    const Case cases[] = {
        { 10, 3, 24, 54, 32 },
        { 10, 3, 8, 1078, 12 },
        { 10, 3, 4, 118, 8 },
        { 10, 3, 1, 62, 4 },
        { 1, 3, 24, 54, 4 },
        { 1, 3, 8, 1078, 4 },
        { 1, 3, 4, 118, 4 },
        { 1, 3, 1, 62, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " wide, " << c.bits << " bits");
        CxImage image;
        image.Create(c.width, c.height, uint32_t(c.bits));
        image.SetXDPI(120);
        std::vector<uint8_t> file = encodeToMemory(image, ImageTypeBmp);
        ASSERT_EQ(file.size(), c.offset + c.stride * uint32_t(c.height));
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(le32(file, 2), file.size());
        EXPECT_EQ(le16(file, 6), 0);
        EXPECT_EQ(le16(file, 8), 0);
        EXPECT_EQ(le32(file, 10), c.offset);
        expectInfoHeader(file, 14,
            { uint32_t(c.width), uint32_t(c.height), uint32_t(c.bits), c.stride * uint32_t(c.height), 4724,
                3780, c.bits == 24 ? 0u : 1u << c.bits });
    }
}

TEST(BmpWriter, AnIndependentReaderSeesTheSamePixelsAndZeroPadding)
{
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.name);
        CxImage image;
        make(image, s);
        std::vector<uint8_t> file = encodeToMemory(image, ImageTypeBmp);
        Decoded read = decodeBmp(file);
        ASSERT_TRUE(read.ok) << read.error;
        Decoded expected = expectedPixels(image);
        EXPECT_EQ(read.width, expected.width);
        EXPECT_EQ(read.height, expected.height);
        EXPECT_EQ(read.pixels, expected.pixels);
        // Every bit after the last pixel of a row is zero.
        const uint32_t stride = image.GetEffWidth();
        const uint32_t usedBits = uint32_t(s.width) * uint32_t(s.bits);
        for (int y = 0; y < s.height; ++y) {
            const uint8_t* row = &file[le32(file, 10) + size_t(y) * stride];
            for (uint32_t bit = usedBits; bit < stride * 8; ++bit)
                ASSERT_EQ((row[bit / 8] >> (7 - bit % 8)) & 1, 0) << "row " << y << " bit " << bit;
        }
    }
}

TEST(PngWriter, LibpngReadsTheSamePixelsAtEveryDepth)
{
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.name);
        CxImage image;
        make(image, s);
        PngFacts facts;
        Decoded read = decodePng(encodeToMemory(image, ImageTypePng), &facts);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.pixels, expectedPixels(image).pixels);
        EXPECT_EQ(facts.bitDepth, s.bits == 24 ? 8 : s.bits);
        EXPECT_EQ(facts.colourType, s.bits == 24 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE);
        EXPECT_EQ(facts.interlace, PNG_INTERLACE_NONE);
        EXPECT_TRUE(facts.transparency.empty());
    }
}

TEST(PngWriter, WritesResolutionInMetresAndBackground)
{
    CxImage palette;
    fillIndexed(palette, 40, 30, 4, 16);
    PngFacts facts;
    std::vector<uint8_t> file = encodeToMemory(palette, ImageTypePng);
    ASSERT_TRUE(decodePng(file, &facts).ok);
    EXPECT_TRUE(facts.hasPhys);
    EXPECT_EQ(facts.physX, 3780u);
    EXPECT_EQ(facts.physY, 3780u);
    EXPECT_EQ(facts.physUnit, PNG_RESOLUTION_METER);
    EXPECT_TRUE(facts.hasBackground);
    EXPECT_EQ(facts.backgroundIndex, 0);

    CxImage colour;
    fillTrueColour(colour, 5, 5);
    colour.SetXDPI(300);
    ASSERT_TRUE(decodePng(encodeToMemory(colour, ImageTypePng), &facts).ok);
    EXPECT_EQ(facts.physX, 11811u);
    EXPECT_EQ(facts.physY, 3780u);
    EXPECT_EQ(facts.backgroundColour, (Rgb { 255, 255, 255 }));
    colour.SetTransIndex(3);
    ASSERT_TRUE(decodePng(encodeToMemory(colour, ImageTypePng), &facts).ok);
    EXPECT_EQ(facts.backgroundColour, (Rgb { 0, 0, 0 }))
        << "with a transparent index, the background colour field";
}

// The zlib stream at the start of the first IDAT names its window (the high nibble of its first byte,
// 7 for 32 KB) and how hard it was compressed (the top two bits of the second: 2 for zlib's default
// level, 1 for the quicker levels 2 to 5).
struct ZlibHeader {
    int window = -1;
    int effort = -1;
};

ZlibHeader zlibHeaderOf(const std::vector<uint8_t>& png)
{
    ZlibHeader header;
    size_t idat = findPngChunk(png, "IDAT");
    if (idat == 0 || idat + 10 > png.size()) return header;
    header.window = png[idat + 8] >> 4;
    header.effort = png[idat + 9] >> 6;
    return header;
}

TEST(PngWriter, CompressesAsMeasuredBestForEachDepth)
{
    // A plain board in 16 colours: zlib's defaults, whose full window reaches the squares of the row
    // above; a textured board in 256 colours, and true colour: level 4.
    struct DepthCase {
        int bits;
        int window;
        int effort;
    };
    for (const DepthCase& c : { DepthCase { 4, 7, 2 }, DepthCase { 8, 7, 1 }, DepthCase { 24, 7, 1 } }) {
        CxImage image;
        ASSERT_TRUE(makeBoardLikeImage(image, 432, 432));
        if (c.bits < 24) {
            std::vector<RGBQUAD> palette(size_t(1) << c.bits);
            for (size_t i = 0; i < palette.size(); ++i)
                palette[i] = { uint8_t(i * 37), uint8_t(i * 91), uint8_t(i * 13), 0 };
            ASSERT_TRUE(image.DecreaseBpp(uint32_t(c.bits), palette.data(), uint32_t(palette.size())));
        }
        const std::vector<uint8_t> file = encodeToMemory(image, ImageTypePng);
        const ZlibHeader header = zlibHeaderOf(file);
        EXPECT_EQ(header.window, c.window) << c.bits << " bits";
        EXPECT_EQ(header.effort, c.effort) << c.bits << " bits";
        Decoded read = decodePng(file);
        ASSERT_TRUE(read.ok) << c.bits << " bits";
        EXPECT_EQ(read.pixels, expectedPixels(image).pixels) << c.bits << " bits";
    }
}

TEST(PngWriter, SmallPicturesKeepOnlyThePaletteEntriesInUse)
{
    struct Case {
        int width, height, bits, used;
        int entries;
    };
    const Case cases[] = {
        { 20, 20, 4, 6, 6 }, // under 65536 pixels: trimmed
        { 256, 256, 4, 6, 16 }, // 65536 pixels: all entries
        { 20, 20, 8, 3, 3 }, { 20, 20, 1, 1, 2 }, // two entries are never trimmed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << ", " << c.bits << " bits");
        CxImage image;
        fillIndexed(image, c.width, c.height, c.bits, c.used);
        PngFacts facts;
        Decoded read = decodePng(encodeToMemory(image, ImageTypePng), &facts);
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(facts.paletteEntries, c.entries);
        EXPECT_EQ(read.pixels, expectedPixels(image).pixels);
    }
}

TEST(PngWriter, TheTransparentColourMovesToIndexZero)
{
    CxImage image;
    fillIndexed(image, 8, 4, 4, 10);
    const Decoded before = expectedPixels(image);
    const RGBQUAD seven = image.GetPaletteColor(7);
    const RGBQUAD zero = image.GetPaletteColor(0);
    image.SetTransIndex(7);
    PngFacts facts;
    Decoded read = decodePng(encodeToMemory(image, ImageTypePng), &facts);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(facts.transparency, std::vector<uint8_t> { 0 });
    EXPECT_EQ(facts.palette[0], (Rgb { seven.rgbRed, seven.rgbGreen, seven.rgbBlue }));
    EXPECT_EQ(facts.palette[7], (Rgb { zero.rgbRed, zero.rgbGreen, zero.rgbBlue }));
    EXPECT_EQ(read.pixels, before.pixels) << "the picture looks the same, only relabelled";
    // The pixels that had index 7 now have index 0 in the file and in the image itself.
    for (size_t i = 0; i < before.pixels.size(); ++i) {
        int x = int(i % 8), top = int(i / 8);
        bool wasSeven = (x + 3 * (3 - top)) % 10 == 7;
        EXPECT_EQ(facts.indices[i] == 0, wasSeven) << i;
    }
    EXPECT_EQ(image.GetTransIndex(), 0);
    EXPECT_EQ(image.GetPaletteColor(0), seven);

    // Index 0 already transparent: nothing is swapped.
    CxImage plain;
    fillIndexed(plain, 8, 4, 4, 10);
    plain.SetTransIndex(0);
    ASSERT_TRUE(decodePng(encodeToMemory(plain, ImageTypePng), &facts).ok);
    EXPECT_EQ(facts.transparency, std::vector<uint8_t> { 0 });
    EXPECT_EQ(plain.GetPaletteColor(0).rgbRed, 0);

    // An index past the palette marks nothing.
    CxImage beyond;
    fillIndexed(beyond, 8, 4, 1, 2);
    beyond.SetTransIndex(5);
    ASSERT_TRUE(decodePng(encodeToMemory(beyond, ImageTypePng), &facts).ok);
    EXPECT_TRUE(facts.transparency.empty());
}

TEST(JpegWriter, LibjpegReadsAFaithfulPicture)
{
    // Sharp square edges with halved colour resolution: what libjpeg itself reaches is just above the bounds.
    CxImage board;
    ASSERT_TRUE(makeBoardLikeImage(board, 160, 120));
    const Decoded original = expectedPixels(board);
    struct Case {
        int quality;
        double minimum;
    };
    for (Case c : { Case { 90, 31.0 }, Case { 50, 25.0 } }) {
        SCOPED_TRACE(c.quality);
        board.SetJpegQuality(uint8_t(c.quality));
        JpegFacts facts;
        Decoded read = decodeJpeg(encodeToMemory(board, ImageTypeJpeg), &facts);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.width, 160);
        EXPECT_EQ(read.height, 120);
        EXPECT_EQ(facts.components, 3);
        EXPECT_EQ(facts.densityUnit, 1);
        EXPECT_EQ(facts.xDensity, 96);
        EXPECT_EQ(facts.yDensity, 96);
        EXPECT_GT(psnr(read, original), c.minimum);
    }
    // Colour order and orientation: a picture red on top, blue below.
    CxImage halves;
    halves.Create(16, 16, 24);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            halves.SetPixelColor(x, y, y >= 8 ? RGBQUAD { 0, 0, 255, 0 } : RGBQUAD { 255, 0, 0, 0 });
    Decoded read = decodeJpeg(encodeToMemory(halves, ImageTypeJpeg));
    ASSERT_TRUE(read.ok);
    EXPECT_GT(read.at(4, 2).r, 200);
    EXPECT_LT(read.at(4, 2).b, 60);
    EXPECT_GT(read.at(4, 13).b, 200);
    EXPECT_LT(read.at(4, 13).r, 60);
}

TEST(JpegWriter, GreyRampPicturesAreOneComponentOthersWithAPaletteFail)
{
    for (int bits : { 8, 4, 1 }) {
        SCOPED_TRACE(bits);
        CxImage grey;
        const int width = 37, height = 9;
        grey.Create(width, height, uint32_t(bits));
        for (int i = 0; i < int(grey.GetNumColors()); ++i)
            grey.SetPaletteColor(uint8_t(i), uint8_t(i), uint8_t(i), uint8_t(i));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                grey.SetPixelIndex(x, y, uint8_t(x / 6 * (bits == 8 ? 40 : bits == 4 ? 3 : 1) % (1 << bits)));
        JpegFacts facts;
        Decoded read = decodeJpeg(encodeToMemory(grey, ImageTypeJpeg), &facts);
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(facts.components, 1);
        EXPECT_EQ(read.width, width);
        EXPECT_GT(psnr(read, expectedPixels(grey)), 35.0);
    }
    CxImage colour;
    fillIndexed(colour, 4, 4, 8, 10);
    std::string error;
    EXPECT_TRUE(encodeToMemory(colour, ImageTypeJpeg, &error).empty());
    EXPECT_EQ(error, "JPEG can save only RGB or GreyScale images");
}

TEST(WbmpWriter, WritesOneBitPicturesTopRowFirst)
{
    CxImage image;
    image.Create(130, 2, 1);
    image.SetPixelIndex(0, 1, 1); // top-left
    image.SetPixelIndex(129, 0, 1); // bottom-right
    std::vector<uint8_t> file = encodeToMemory(image, ImageTypeWbmp);
    ASSERT_EQ(file.size(), 2u + 2 + 1 + 2 * 17);
    EXPECT_EQ(file[0], 0);
    EXPECT_EQ(file[1], 0);
    EXPECT_EQ(file[2], 0x81); // 130 = 1 * 128 + 2
    EXPECT_EQ(file[3], 0x02);
    EXPECT_EQ(file[4], 0x02);
    EXPECT_EQ(file[5], 0x80);
    EXPECT_EQ(file[5 + 17 + 16], 0x40);

    std::string error;
    CxImage deep;
    deep.Create(4, 4, 8);
    EXPECT_TRUE(encodeToMemory(deep, ImageTypeWbmp, &error).empty());
    EXPECT_EQ(error, "Can't save this image as WBMP");
    CxImage wide;
    wide.Create(256, 1, 1);
    EXPECT_TRUE(encodeToMemory(wide, ImageTypeWbmp, &error).empty());
    EXPECT_EQ(error, "Can't save this image as WBMP");
}

TEST(Writers, RefuseMissingFilesImagesAndFormats)
{
    CxImage image;
    image.Create(2, 2, 24);
    EXPECT_FALSE(image.Encode(nullptr, ImageTypePng));
    EXPECT_STREQ(image.GetLastError(), "null file handler");
    CxMemFile file;
    file.Open();
    CxImage empty;
    EXPECT_FALSE(empty.Encode(&file, ImageTypeBmp));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    for (uint32_t type : { 0u, 5u }) {
        EXPECT_FALSE(image.Encode(&file, type));
        EXPECT_STREQ(image.GetLastError(), "Encode: Unknown format");
    }
}

TEST(Writers, AShortWriteFailsWithTheImagesLastError)
{
    struct Case {
        uint32_t type;
        const char* error;
    };
    const Case cases[] = {
        { ImageTypeBmp, "Write Error" },
        { ImageTypePng, "Error saving PNG file" },
        { ImageTypeJpeg, "Output file write error --- out of disk space?" },
        { ImageTypeWbmp, "Write Error" },
    };
    for (const Case& c : cases) {
        CxImage image;
        if (c.type == ImageTypeWbmp)
            fillIndexed(image, 100, 100, 1, 2);
        else
            ASSERT_TRUE(makeBoardLikeImage(image, 300, 300));
        const size_t whole = encodeToMemory(image, c.type).size();
        // Short at the very start, in the middle and on the last byte.
        for (size_t room : { size_t(0), size_t(10), whole / 2, whole - 1 }) {
            SCOPED_TRACE(testing::Message() << "type " << c.type << ", room " << room << " of " << whole);
            ShortFile file(room);
            EXPECT_FALSE(image.Encode(&file, c.type));
            EXPECT_STREQ(image.GetLastError(), c.error);
        }
        ShortFile enough(whole);
        EXPECT_TRUE(image.Encode(&enough, c.type)) << image.GetLastError();
    }
}

TEST(Saving, WritesTheFileItIsGiven)
{
    TempFolder folder;
    CxImage image;
    fillIndexed(image, 9, 9, 4, 16);
    const std::string path = (folder.path / "board.png").string();
    ASSERT_TRUE(image.Save(path, ImageTypePng));
    Decoded read = decodePng(readFile(path));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.pixels, expectedPixels(image).pixels);
    FILE* stream = fopen((folder.path / "board.bmp").string().c_str(), "wb");
    ASSERT_TRUE(stream);
    EXPECT_TRUE(image.EncodeToFile(stream, ImageTypeBmp));
    fclose(stream);
    EXPECT_EQ(decodeBmp(readFile((folder.path / "board.bmp").string())).pixels, read.pixels);
}

TEST(Saving, AnUnwritableFolderFailsCleanly)
{
    CxImage image;
    fillTrueColour(image, 4, 4);
    TempFolder folder;
    fs::path target = folder.path;
    // Permissions do not stop the superuser; the process file system takes no new files from anyone.
    if (geteuid() == 0)
        target = "/proc";
    else
        fs::permissions(folder.path, fs::perms::owner_read | fs::perms::owner_exec);
    for (uint32_t type : { ImageTypePng, ImageTypeJpeg, ImageTypeBmp }) {
        SCOPED_TRACE(type);
        EXPECT_FALSE(image.Save((target / "brennix-a.png").string(), type));
        EXPECT_FALSE(image.saveAtomically((target / "brennix-b.png").string(), type));
        EXPECT_NE(std::string(image.GetLastError()).find("Can't create file"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(target / "brennix-a.png"));
    EXPECT_FALSE(fs::exists(target / "brennix-b.png"));
    for (const std::string& name : names(target)) EXPECT_NE(name.rfind(".brennix-b.png.", 0), 0u) << name;
    fs::permissions(folder.path, fs::perms::owner_all);
    EXPECT_TRUE(names(folder.path).empty());
}

TEST(Saving, AMissingFolderFailsCleanly)
{
    TempFolder folder;
    CxImage image;
    fillTrueColour(image, 4, 4);
    const std::string path = (folder.path / "no such folder" / "a.png").string();
    EXPECT_FALSE(image.Save(path, ImageTypePng));
    EXPECT_FALSE(image.saveAtomically(path, ImageTypePng));
    EXPECT_TRUE(names(folder.path).empty());
}

TEST(Saving, ReplacingWritesCompletelyOrLeavesTheOldFile)
{
    TempFolder folder;
    const std::string path = (folder.path / "board.PNG").string();
    {
        FILE* old = fopen(path.c_str(), "wb");
        fputs("old picture", old);
        fclose(old);
    }
    CxImage broken;
    fillIndexed(broken, 8, 8, 8, 256);
    EXPECT_FALSE(broken.saveAtomically(path, ImageTypeJpeg)) << "a colour palette cannot become a JPEG";
    EXPECT_EQ(names(folder.path), std::vector<std::string> { "board.PNG" });
    std::vector<uint8_t> kept = readFile(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old picture");

    CxImage image;
    fillIndexed(image, 8, 8, 4, 16);
    ASSERT_TRUE(image.saveAtomically(path, pictureTypeForPath(path))) << image.GetLastError();
    EXPECT_EQ(names(folder.path), std::vector<std::string> { "board.PNG" });
    Decoded read = decodePng(readFile(path));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.pixels, expectedPixels(image).pixels);
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << "an ordinary file, not a private temporary one";

    // Replacing keeps the old file's permissions.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(image.saveAtomically(path, ImageTypePng));
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // A leftover temporary of another run is stepped around, not overwritten.
    const fs::path stale = folder.path / ".board.PNG.AAAAAA";
    {
        FILE* file = fopen(stale.c_str(), "wb");
        fclose(file);
    }
    ASSERT_TRUE(image.saveAtomically(path, ImageTypePng));
    EXPECT_EQ(names(folder.path).size(), 2u);
    EXPECT_TRUE(fs::exists(stale));
}

TEST(Saving, ThroughALinkTheTargetIsReplacedAndTheLinkKept)
{
    TempFolder folder;
    const fs::path real = folder.path / "real.png", link = folder.path / "link.png";
    {
        FILE* file = fopen(real.c_str(), "wb");
        fclose(file);
    }
    fs::create_symlink(real, link);
    CxImage image;
    fillIndexed(image, 5, 5, 4, 16);
    ASSERT_TRUE(image.saveAtomically(link.string(), ImageTypePng)) << image.GetLastError();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(decodePng(readFile(real.string())).ok);
    EXPECT_EQ(names(folder.path).size(), 2u);

    EXPECT_FALSE(image.saveAtomically(folder.path.string(), ImageTypePng)) << "a folder is no picture";
    EXPECT_EQ(names(folder.path).size(), 2u);
}

TEST(Saving, TheExtensionChoosesTheFormatWhateverItsCase)
{
    const std::pair<const char*, ImageType> cases[] = {
        { "board.png", ImageTypePng },
        { "BOARD.PNG", ImageTypePng },
        { "b.Png", ImageTypePng },
        { "b.jpg", ImageTypeJpeg },
        { "b.JPG", ImageTypeJpeg },
        { "b.jpeg", ImageTypeJpeg },
        { "b.JPEG", ImageTypeJpeg },
        { "b.bmp", ImageTypeBmp },
        { "b.BMP", ImageTypeBmp },
        { "b.gif", ImageTypeBmp },
        { "board", ImageTypeBmp },
        { "/tmp/x.png/board", ImageTypeBmp },
        { "/tmp/x.jpg.png", ImageTypePng },
        { "png", ImageTypePng },
        { "JPG", ImageTypeJpeg },
        { "", ImageTypeBmp },
    };
    for (auto [path, type] : cases) EXPECT_EQ(pictureTypeForPath(path), type) << path;
}

TEST(Saving, AQuantisedBoardRoundTripsThroughEveryFormat)
{
    // The road of a saved board: capture, clipboard block, reduction, file.
    CxImage capture;
    ASSERT_TRUE(makeBoardLikeImage(capture, 120, 124));
    std::vector<uint8_t> clipboard = capture.CopyToHandle();
    CxImage picture;
    ASSERT_TRUE(picture.CreateFromHANDLE(clipboard.data(), clipboard.size()));
    CQuantizer quantizer(16, 4);
    ASSERT_TRUE(quantizer.ProcessImage(picture.GetDIB(), picture.GetSize()));
    RGBQUAD palette[16] = {};
    quantizer.SetColorTable(palette);
    ASSERT_TRUE(picture.DecreaseBpp(4, palette, 16));
    picture.SetTransIndex(picture.GetPixelIndex(0, 0));
    const Decoded expected = expectedPixels(picture);
    PngFacts facts;
    Decoded png = decodePng(encodeToMemory(picture, ImageTypePng), &facts);
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.pixels, expected.pixels);
    EXPECT_EQ(facts.bitDepth, 4);
    EXPECT_EQ(facts.transparency, std::vector<uint8_t> { 0 });
    EXPECT_EQ(facts.indices[size_t(123) * 120], 0) << "the bottom-left pixel is the transparent one";
    EXPECT_EQ(decodeBmp(encodeToMemory(picture, ImageTypeBmp)).pixels, expected.pixels);
}
