// The splash window; its picture is decoded with libjpeg from the bytes in the program.
#include "player/splash.h"

#include <QPainter>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace player {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr) {}

}  // namespace

QImage DecodeJpeg(std::span<const unsigned char> bytes)
{
    if (bytes.empty())
        return {};
    jpeg_decompress_struct info {};
    ErrorManager err {};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = onError;
    err.base.output_message = onMessage;
    // Everything the jump may skip over lives outside this frame's non-volatile locals.
    QImage image;
    QImage* out = &image;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width == 0 || info.output_height == 0 || info.output_width > 8192 ||
        info.output_height > 8192 || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    *out = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

TSplashForm::TSplashForm() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    m_picture = DecodeJpeg(SplashJpeg());
    if (!m_picture.isNull())
        setFixedSize(m_picture.size());
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
}

}  // namespace player
