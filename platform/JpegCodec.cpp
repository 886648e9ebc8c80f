#include "platform/JpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace pictova {

namespace {

// libjpeg reports fatal errors through error_exit; we jump back out of the
// C code and throw from C++ frames only.
struct TErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<TErrorManager*>(info->err);
    (*info->err->format_message)(info, err->Message);
    std::longjmp(err->Jump, 1);
}

void OnMessage(j_common_ptr) {} // warnings are not shown

class TDecoder {
public:
    TDecoder() {
        Info.err = jpeg_std_error(&Err.Base);
        Err.Base.error_exit = OnError;
        Err.Base.output_message = OnMessage;
        jpeg_create_decompress(&Info);
    }
    ~TDecoder() { jpeg_destroy_decompress(&Info); }
    jpeg_decompress_struct Info{};
    TErrorManager Err{};
};

[[noreturn]] void Fail(const char* message) {
    throw std::runtime_error(std::string("JPEG: ") + message);
}

} // namespace

bool JpegIsProgressive(std::span<const uint8_t> jpeg) {
    TDecoder d;
    if (setjmp(d.Err.Jump))
        Fail(d.Err.Message);
    jpeg_mem_src(&d.Info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&d.Info, TRUE);
    return jpeg_has_multiple_scans(&d.Info);
}

TRgbImage DecodeJpeg(std::span<const uint8_t> jpeg) {
    TDecoder d;
    TRgbImage image;
    if (setjmp(d.Err.Jump))
        Fail(d.Err.Message);
    jpeg_mem_src(&d.Info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&d.Info, TRUE);
    d.Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.Info);
    image.Width = int(d.Info.output_width);
    image.Height = int(d.Info.output_height);
    image.Pixels.resize(size_t(image.Width) * size_t(image.Height) * 3);
    while (d.Info.output_scanline < d.Info.output_height) {
        JSAMPROW row =
            image.Pixels.data() + size_t(d.Info.output_scanline) * size_t(image.Width) * 3;
        jpeg_read_scanlines(&d.Info, &row, 1);
    }
    jpeg_finish_decompress(&d.Info);
    return image;
}

std::vector<uint8_t> EncodeJpeg(const TRgbImage& image, int quality, bool progressive) {
    jpeg_compress_struct info{};
    TErrorManager err{};
    info.err = jpeg_std_error(&err.Base);
    err.Base.error_exit = OnError;
    err.Base.output_message = OnMessage;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_create_compress(&info);
    if (setjmp(err.Jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        Fail(err.Message);
    }
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.Width);
    info.image_height = JDIMENSION(image.Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(image.Pixels.data()) +
                       size_t(info.next_scanline) * size_t(image.Width) * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

} // namespace pictova
