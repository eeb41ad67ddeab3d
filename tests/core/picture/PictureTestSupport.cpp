#include "PictureTestSupport.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include <jpeglib.h>

std::vector<uint8_t> encodeToMemory(CxImage& image, uint32_t type, std::string* error)
{
    CxMemFile file;
    file.Open();
    if (!image.Encode(&file, type)) {
        if (error) *error = image.GetLastError();
        return {};
    }
    return std::vector<uint8_t>(file.GetBuffer(), file.GetBuffer() + file.Size());
}

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16
        | uint32_t(b.at(at + 3)) << 24;
}

uint16_t le16(const std::vector<uint8_t>& b, size_t at)
{
    return uint16_t(b.at(at) | b.at(at + 1) << 8);
}

void expectInfoHeader(const std::vector<uint8_t>& b, size_t at, const InfoHeaderFields& f)
{
    EXPECT_EQ(le32(b, at), 40u) << "biSize";
    EXPECT_EQ(le32(b, at + 4), f.width) << "biWidth";
    EXPECT_EQ(le32(b, at + 8), f.height) << "biHeight";
    EXPECT_EQ(le16(b, at + 12), 1) << "biPlanes";
    EXPECT_EQ(le16(b, at + 14), f.bits) << "biBitCount";
    EXPECT_EQ(le32(b, at + 16), 0u) << "biCompression";
    EXPECT_EQ(le32(b, at + 20), f.sizeImage) << "biSizeImage";
    EXPECT_EQ(le32(b, at + 24), f.xPelsPerMeter) << "biXPelsPerMeter";
    EXPECT_EQ(le32(b, at + 28), f.yPelsPerMeter) << "biYPelsPerMeter";
    EXPECT_EQ(le32(b, at + 32), f.colours) << "biClrUsed";
    EXPECT_EQ(le32(b, at + 36), 0u) << "biClrImportant";
}

size_t findPngChunk(const std::vector<uint8_t>& bytes, const char* type)
{
    size_t at = 8;
    while (at + 8 <= bytes.size()) {
        uint32_t length = uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16
            | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
        if (memcmp(&bytes[at + 4], type, 4) == 0) return at;
        at += 12 + size_t(length);
    }
    return 0;
}

namespace {

struct PngSource {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

void readPngData(png_structp png, png_bytep out, png_size_t length)
{
    PngSource* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (source->at + length > source->bytes->size()) png_error(png, "read past the end");
    memcpy(out, source->bytes->data() + source->at, length);
    source->at += length;
}

void quietWarning(png_structp, png_const_charp) { }

} // namespace

Decoded decodePng(const std::vector<uint8_t>& bytes, PngFacts* factsOut)
{
    Decoded d;
    PngFacts facts;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        d.error = "not a PNG";
        return d;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quietWarning);
    png_infop info = png_create_info_struct(png);
    PngSource source { &bytes, 0 };
    std::vector<std::vector<uint8_t>> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        d.ok = false;
        d.error = "libpng failed";
        return d;
    }
    png_set_read_fn(png, &source, readPngData);
    png_read_info(png, info);
    d.width = int(png_get_image_width(png, info));
    d.height = int(png_get_image_height(png, info));
    facts.bitDepth = png_get_bit_depth(png, info);
    facts.colourType = png_get_color_type(png, info);
    facts.interlace = png_get_interlace_type(png, info);
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries)) {
        facts.paletteEntries = entries;
        for (int i = 0; i < entries; ++i)
            facts.palette.push_back(Rgb { palette[i].red, palette[i].green, palette[i].blue });
    }
    png_bytep alpha = nullptr;
    int transparent = 0;
    png_color_16p transparentColour = nullptr;
    if (png_get_tRNS(png, info, &alpha, &transparent, &transparentColour) && alpha)
        facts.transparency.assign(alpha, alpha + transparent);
    png_color_16p background = nullptr;
    if (png_get_bKGD(png, info, &background)) {
        facts.hasBackground = true;
        facts.backgroundIndex = background->index;
        facts.backgroundColour
            = Rgb { uint8_t(background->red), uint8_t(background->green), uint8_t(background->blue) };
    }
    png_uint_32 px = 0, py = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &px, &py, &unit)) {
        facts.hasPhys = true;
        facts.physX = px;
        facts.physY = py;
        facts.physUnit = unit;
    }
    if (facts.bitDepth < 8) png_set_packing(png);
    png_read_update_info(png, info);
    rows.assign(size_t(d.height), std::vector<uint8_t>(png_get_rowbytes(png, info)));
    std::vector<png_bytep> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    png_read_image(png, pointers.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            if (facts.colourType == PNG_COLOR_TYPE_PALETTE) {
                uint8_t index = rows[size_t(y)][size_t(x)];
                facts.indices.push_back(index);
                d.pixels.push_back(index < facts.palette.size() ? facts.palette[index] : Rgb {});
            } else if (facts.colourType == PNG_COLOR_TYPE_RGB) {
                const uint8_t* p = &rows[size_t(y)][size_t(3 * x)];
                d.pixels.push_back(Rgb { p[0], p[1], p[2] });
            } else {
                uint8_t v = rows[size_t(y)][size_t(x)];
                d.pixels.push_back(Rgb { v, v, v });
            }
        }
    }
    d.ok = true;
    if (factsOut) *factsOut = facts;
    return d;
}

namespace {

struct JpegError {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

[[noreturn]] void jpegFail(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

} // namespace

Decoded decodeJpeg(const std::vector<uint8_t>& bytes, JpegFacts* facts)
{
    Decoded d;
    jpeg_decompress_struct cinfo;
    memset(&cinfo, 0, sizeof cinfo);
    JpegError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegFail;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        d.error = "libjpeg failed";
        d.ok = false;
        return d;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (facts) {
        facts->components = cinfo.num_components;
        facts->densityUnit = cinfo.density_unit;
        facts->xDensity = cinfo.X_density;
        facts->yDensity = cinfo.Y_density;
    }
    jpeg_start_decompress(&cinfo);
    d.width = int(cinfo.output_width);
    d.height = int(cinfo.output_height);
    const int components = cinfo.output_components;
    std::vector<uint8_t> row(size_t(d.width) * size_t(components));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = { row.data() };
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < d.width; ++x) {
            const uint8_t* p = &row[size_t(x) * size_t(components)];
            d.pixels.push_back(components == 3 ? Rgb { p[0], p[1], p[2] } : Rgb { p[0], p[0], p[0] });
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    d.ok = true;
    return d;
}

Decoded decodeBmp(const std::vector<uint8_t>& b)
{
    Decoded d;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        d.error = "not a BMP";
        return d;
    }
    const uint32_t offset = le32(b, 10);
    const uint32_t headerSize = le32(b, 14);
    const int32_t width = int32_t(le32(b, 18));
    const int32_t height = int32_t(le32(b, 22));
    const int bits = le16(b, 28);
    const uint32_t compression = le32(b, 30);
    uint32_t colours = le32(b, 46);
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    if (compression != 0 || width <= 0 || height <= 0) {
        d.error = "unexpected BMP form";
        return d;
    }
    const size_t stride = (size_t(width) * size_t(bits) + 31) / 32 * 4;
    if (offset + stride * size_t(height) > b.size()) {
        d.error = "BMP pixels truncated";
        return d;
    }
    std::vector<Rgb> palette;
    for (uint32_t i = 0; i < colours && bits <= 8; ++i) {
        size_t at = 14 + headerSize + 4 * i;
        palette.push_back(Rgb { b.at(at + 2), b.at(at + 1), b.at(at) });
    }
    d.width = width;
    d.height = height;
    for (int top = 0; top < height; ++top) {
        const uint8_t* row = &b[offset + size_t(height - 1 - top) * stride];
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                d.pixels.push_back(Rgb { row[3 * x + 2], row[3 * x + 1], row[3 * x] });
                continue;
            }
            unsigned index = bits == 8 ? row[x]
                : bits == 4            ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                       : (row[x / 8] >> (7 - x % 8)) & 1;
            d.pixels.push_back(index < palette.size() ? palette[index] : Rgb {});
        }
    }
    d.ok = true;
    return d;
}

Decoded expectedPixels(const CxImage& image)
{
    Decoded d;
    d.ok = image.IsValid();
    d.width = int(image.GetWidth());
    d.height = int(image.GetHeight());
    for (int top = 0; top < d.height; ++top) {
        for (int x = 0; x < d.width; ++x) {
            RGBQUAD c = image.GetPixelColor(x, d.height - 1 - top);
            d.pixels.push_back(Rgb { c.rgbRed, c.rgbGreen, c.rgbBlue });
        }
    }
    return d;
}

double psnr(const Decoded& a, const Decoded& b)
{
    if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        double dr = a.pixels[i].r - b.pixels[i].r, dg = a.pixels[i].g - b.pixels[i].g,
               db = a.pixels[i].b - b.pixels[i].b;
        sum += dr * dr + dg * dg + db * db;
    }
    double mse = sum / (3.0 * double(a.pixels.size()));
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

void fillTrueColour(CxImage& image, int width, int height)
{
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, y, RGBQUAD { uint8_t(x * 5 + y), uint8_t(y * 3), uint8_t(x * 7 ^ y), 0 });
}

void fillIndexed(CxImage& image, int width, int height, int bits, int colours)
{
    image.Create(width, height, uint32_t(bits));
    for (int i = 0; i < int(image.GetNumColors()); ++i)
        image.SetPaletteColor(uint8_t(i), uint8_t(i * 37), uint8_t(255 - i * 11), uint8_t(i * 91));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.SetPixelIndex(x, y, uint8_t((x + 3 * y) % colours));
}

size_t ShortFile::Write(const void* buffer, size_t size, size_t count)
{
    size_t items = size ? room / size : 0;
    if (items > count) items = count;
    size_t written = CxMemFile::Write(buffer, size, items);
    room -= written * size;
    return written;
}
