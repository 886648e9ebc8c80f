#include "platform/PngDecoder.h"

#include <stdexcept>
#include <string>

#include <png.h>

namespace pictova {

namespace {

// Refuses pictures whose pixel buffer alone would take more than this.
constexpr uint64_t kMaxPixelBytes = uint64_t(1) << 31;

class TPngImage {
public:
    TPngImage() { Image.version = PNG_IMAGE_VERSION; }
    ~TPngImage() { png_image_free(&Image); }
    png_image Image{};
};

[[noreturn]] void Fail(const png_image& image, const char* what) {
    throw std::runtime_error(std::string("PNG: ") + what + ": " + image.message);
}

} // namespace

TDecodedPicture DecodePng(std::span<const uint8_t> png) {
    TPngImage reader;
    png_image& image = reader.Image;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        Fail(image, "cannot read the header");

    TDecodedPicture out;
    out.Width = int(image.width);
    out.Height = int(image.height);
    const bool mapped = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0 ||
                        (image.format & PNG_FORMAT_FLAG_COLOR) == 0;
    // Read with alpha and drop it ourselves, so colours are not composited.
    image.format = mapped ? PNG_FORMAT_RGBA_COLORMAP : PNG_FORMAT_RGBA;
    const uint64_t bytes = uint64_t(PNG_IMAGE_SIZE(image));
    if (bytes == 0 || bytes > kMaxPixelBytes)
        throw std::runtime_error("PNG: picture of " + std::to_string(image.width) + " x " +
                                 std::to_string(image.height) + " pixels is too large");
    std::vector<uint8_t> buffer(bytes);
    std::vector<uint8_t> colormap(mapped ? PNG_IMAGE_COLORMAP_SIZE(image) : 0);
    if (!png_image_finish_read(&image, nullptr, buffer.data(), 0,
                               mapped ? colormap.data() : nullptr))
        Fail(image, "cannot decode the pixels");

    if (mapped) {
        out.BitsPerPixel = 8;
        out.Palette.resize(image.colormap_entries);
        for (size_t i = 0; i < out.Palette.size(); ++i)
            out.Palette[i] = {colormap[4 * i], colormap[4 * i + 1], colormap[4 * i + 2]};
        out.Pixels = std::move(buffer);
    } else {
        out.BitsPerPixel = 24;
        const size_t count = size_t(out.Width) * size_t(out.Height);
        out.Pixels.resize(count * 3);
        for (size_t i = 0; i < count; ++i) {
            out.Pixels[3 * i] = buffer[4 * i];
            out.Pixels[3 * i + 1] = buffer[4 * i + 1];
            out.Pixels[3 * i + 2] = buffer[4 * i + 2];
        }
    }
    return out;
}

} // namespace pictova
