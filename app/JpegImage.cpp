#include "JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// Pictures beyond this edge length are refused rather than allocated.
constexpr JDIMENSION kMaxEdge = 8192;

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to the decoder, which then gives up on the picture.
struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void jumpOnError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JumpingErrorManager*>(info->err);
    std::longjmp(errors->jump, 1);
}

// Warnings (a truncated file, for instance) are not worth a line on stderr.
void ignoreMessage(j_common_ptr) {}

// Only plain C data lives across setjmp here; the QImage is created by the
// caller-facing function once the header has been read.
// libjpeg scales a picture by eighths while it decodes.
constexpr unsigned kScaleDenominator = 8;

bool decodeInto(jpeg_decompress_struct& info, JumpingErrorManager& errors, const QByteArray& bytes, QSize atLeast,
                QImage& image)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxEdge
        || info.image_height > kMaxEdge)
        return false;
    info.out_color_space = JCS_RGB;
    if (!atLeast.isEmpty()) {
        info.scale_denom = kScaleDenominator;
        for (info.scale_num = 1; info.scale_num < kScaleDenominator; ++info.scale_num) {
            jpeg_calc_output_dimensions(&info);
            if (info.output_width >= JDIMENSION(atLeast.width()) && info.output_height >= JDIMENSION(atLeast.height()))
                break;
        }
    }
    jpeg_start_decompress(&info);
    if (info.output_components != 3)
        return false;
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
    if (image.isNull())
        return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray& bytes, QSize atLeast)
{
    if (bytes.isEmpty())
        return {};
    jpeg_decompress_struct info{};
    JumpingErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpOnError;
    errors.base.output_message = ignoreMessage;

    QImage image;
    const bool ok = decodeInto(info, errors, bytes, atLeast, image);
    jpeg_destroy_decompress(&info);
    return ok ? image : QImage();
}
