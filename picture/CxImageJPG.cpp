#include "picture/CxImageJPG.h"

#include "picture/CxFile.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr size_t JpegBufferSize = 4096;

// The destination manager: libjpeg's part first, so the library's pointer leads back to ours.
struct CxFileJpg {
    jpeg_destination_mgr pub;
    CxFile* file;
    JOCTET* buffer;
};

CxFileJpg* destinationOf(j_compress_ptr cinfo)
{
    return reinterpret_cast<CxFileJpg*>(cinfo->dest);
}

void initDestination(j_compress_ptr cinfo)
{
    CxFileJpg* d = destinationOf(cinfo);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = JpegBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    CxFileJpg* d = destinationOf(cinfo);
    if (d->file->Write(d->buffer, 1, JpegBufferSize) != JpegBufferSize) ERREXIT(cinfo, JERR_FILE_WRITE);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = JpegBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    CxFileJpg* d = destinationOf(cinfo);
    size_t count = JpegBufferSize - d->pub.free_in_buffer;
    if (count > 0 && d->file->Write(d->buffer, 1, count) != count) ERREXIT(cinfo, JERR_FILE_WRITE);
    if (!d->file->Flush() || d->file->Error() != 0) ERREXIT(cinfo, JERR_FILE_WRITE);
}

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char* message;
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    JpegErrorManager* e = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    longjmp(e->jump, 1);
}

} // namespace

bool CxImageJPG::Encode(CxFile* hFile)
{
    if (EncodeSafeCheck(hFile)) return false;
    const bool grey = GetNumColors() != 0;
    if (grey && !IsGrayScale()) {
        setLastError("JPEG can save only RGB or GreyScale images");
        return false;
    }

    char message[JMSG_LENGTH_MAX] = {};
    jpeg_compress_struct cinfo;
    memset(&cinfo, 0, sizeof cinfo);
    JpegErrorManager jerr;
    CxFileJpg destination {};
    destination.file = hFile;
    destination.buffer = static_cast<JOCTET*>(malloc(JpegBufferSize));
    if (!destination.buffer) {
        setLastError("Insufficient memory");
        return false;
    }
    cinfo.err = jpeg_std_error(&jerr.pub);
    jerr.pub.error_exit = errorExit;
    jerr.message = message;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_compress(&cinfo);
        free(destination.buffer);
        setLastError(message);
        return false;
    }
    jpeg_create_compress(&cinfo);
    destination.pub.init_destination = initDestination;
    destination.pub.empty_output_buffer = emptyOutputBuffer;
    destination.pub.term_destination = termDestination;
    cinfo.dest = &destination.pub;

    cinfo.image_width = GetWidth();
    cinfo.image_height = GetHeight();
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, GetJpegQuality(), FALSE);
    cinfo.density_unit = 1;
    // JFIF holds 16 bits of each density.
    cinfo.X_density = UINT16(std::min(GetXDPI(), 0xFFFF));
    cinfo.Y_density = UINT16(std::min(GetYDPI(), 0xFFFF));
    jpeg_start_compress(&cinfo, TRUE);

    const uint32_t stride = GetEffWidth();
    // A grey row is one byte a pixel, which is more than the stored row of a 1- or 4-bit picture.
    JSAMPARRAY buffer = (*cinfo.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, std::max(stride, GetWidth()) + 8, 1);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int32_t y = int32_t(GetHeight() - 1 - cinfo.next_scanline);
        if (grey) {
            for (int32_t x = 0; x < int32_t(GetWidth()); ++x)
                buffer[0][x] = GetPaletteColor(GetPixelIndex(x, y)).rgbRed;
        } else {
            memcpy(buffer[0], GetBits() + size_t(y) * stride, stride);
            RGBtoBGR(buffer[0], stride);
        }
        jpeg_write_scanlines(&cinfo, buffer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    free(destination.buffer);
    return true;
}
