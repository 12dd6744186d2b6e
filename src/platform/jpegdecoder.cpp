// JPEG pictures through libjpeg, straight into a QImage.
#include "platform/picturedecoders_p.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace platform {

using namespace detail;

namespace {

enum class JpegStatus { Ok, Invalid, TooLarge, NoMemory };

// Where the decoder writes: the caller's image, created once the size is known.
struct JpegSink {
    QImage *image;
};

unsigned char *beginImage(JpegSink *sink, JDIMENSION width, JDIMENSION height, std::size_t *stride)
{
    *sink->image = QImage(int(width), int(height), QImage::Format_RGB32);
    if (sink->image->isNull())
        return nullptr;
    *stride = std::size_t(sink->image->bytesPerLine());
    return sink->image->bits();
}

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

// Warnings (a file cut short, corrupt data that could be skipped) are not shown: the picture
// shows what could be decoded.
void outputMessage(j_common_ptr) {}

// libjpeg leaves by longjmp on a fatal error: this function holds no C++ object, so nothing
// is skipped but libjpeg's own state, which jpeg_destroy_decompress frees.
JpegStatus decodeInto(const unsigned char *data, unsigned long size, JpegSink *sink)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = outputMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return JpegStatus::Invalid;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_calc_output_dimensions(&cinfo);
    if (!fitsInMemory(cinfo.output_width, cinfo.output_height)) {
        jpeg_destroy_decompress(&cinfo);
        return JpegStatus::TooLarge;
    }
    jpeg_start_decompress(&cinfo);

    std::size_t stride = 0;
    unsigned char *pixels = beginImage(sink, cinfo.output_width, cinfo.output_height, &stride);
    if (!pixels) {
        jpeg_destroy_decompress(&cinfo);
        return JpegStatus::NoMemory;
    }
    JSAMPARRAY cmykRow = nullptr;
    if (cmyk)
        cmykRow = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                             cinfo.output_width * 4, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char *line = pixels + std::size_t(cinfo.output_scanline) * stride;
        JSAMPROW row = cmyk ? cmykRow[0] : line;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            break;
        if (!cmyk)
            continue;
        // Adobe writes CMYK inverted; others store the ink amounts.
        const bool inverted = cinfo.saw_Adobe_marker;
        for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
            const unsigned char *in = row + 4 * x;
            unsigned c = in[0], m = in[1], y = in[2], k = in[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            unsigned char *out = line + 4 * x;
            out[0] = static_cast<unsigned char>(y * k / 255);
            out[1] = static_cast<unsigned char>(m * k / 255);
            out[2] = static_cast<unsigned char>(c * k / 255);
            out[3] = 255;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return JpegStatus::Ok;
}

} // namespace

PictureResult decodeJpeg(const QByteArray &bytes)
{
    PictureResult r;
    if (bytes.isEmpty())
        return failure(badJpeg());
    JpegSink sink{&r.image};
    switch (decodeInto(reinterpret_cast<const unsigned char *>(bytes.constData()),
                       static_cast<unsigned long>(bytes.size()), &sink)) {
    case JpegStatus::Ok:
        return r;
    case JpegStatus::TooLarge:
    case JpegStatus::NoMemory:
        return failure(tooLarge());
    case JpegStatus::Invalid:
        break;
    }
    return failure(badJpeg());
}

} // namespace platform
