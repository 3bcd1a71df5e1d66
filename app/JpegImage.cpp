#include "app/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back into decodeJpeg.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onFatalError(j_common_ptr info)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

void onWarning(j_common_ptr, int) {}

// Far beyond any picture of ours; refuses absurd sizes from damaged data.
constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;

// No C++ object with a destructor may live in this frame across setjmp.
bool decodeInto(const unsigned char* data, unsigned long size, JpegImage& out, char* message)
{
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = onFatalError;
    err.base.emit_message = onWarning;
    err.message[0] = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    if (qint64(info.image_width) * info.image_height > kMaxPixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "picture too large (%ux%u)", info.image_width, info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    const int stride = int(info.output_width) * 3;
    out.width = int(info.output_width);
    out.height = int(info.output_height);
    out.rgb.resize(qsizetype(stride) * out.height);
    auto* base = reinterpret_cast<unsigned char*>(out.rgb.data());
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = base + qsizetype(info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

std::optional<JpegImage> decodeJpeg(const QByteArray& data, QString* error)
{
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("no picture data");
        return std::nullopt;
    }
    JpegImage image;
    char message[JMSG_LENGTH_MAX] = {};
    if (!decodeInto(reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long>(data.size()),
                    image, message)) {
        if (error)
            *error = QString::fromLocal8Bit(message);
        return std::nullopt;
    }
    return image;
}
