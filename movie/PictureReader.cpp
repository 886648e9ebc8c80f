#include "movie/PictureReader.h"

#include "movie/FlashImage.h"
#include "platform/FileBytes.h"
#include "platform/PngDecoder.h"

#include <algorithm>
#include <string>
#include <vector>

namespace pictova {

namespace fs = std::filesystem;

namespace {

class TJpegReader final : public TPictureReader {
public:
    void Load(TFlashImage& image, const fs::path& file) const override {
        image.LoadFromJpegFile(file);
    }
};

class TBmpReader final : public TPictureReader {
public:
    void Load(TFlashImage& image, const fs::path& file) const override {
        image.BMP().LoadFromFile(file);
        image.LoadFromBMP();
    }
};

class TPngReader final : public TPictureReader {
public:
    void Load(TFlashImage& image, const fs::path& file) const override {
        // A file that cannot be read says so (EFileError); the image names
        // the file in the decoder's errors.
        image.LoadFromDecodedPicture(DecodePng(ReadFileBytes(file)));
    }
};

} // namespace

const TPictureReader& JpegPictureReader() {
    static const TJpegReader reader;
    return reader;
}

const TPictureReader& BmpPictureReader() {
    static const TBmpReader reader;
    return reader;
}

const TPictureReader& PngPictureReader() {
    static const TPngReader reader;
    return reader;
}

TImageFormat ImageFormatOf(const fs::path& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    if (ext == ".jpg" || ext == ".jpeg")
        return TImageFormat::Jpeg;
    if (ext == ".png")
        return TImageFormat::Png;
    if (ext == ".bmp")
        return TImageFormat::Bmp;
    if (ext == ".gif")
        return TImageFormat::Gif;
    if (ext == ".tif" || ext == ".tiff")
        return TImageFormat::Tiff;
    return TImageFormat::Unknown;
}

const TPictureReader* PictureReaderFor(const fs::path& file) {
    switch (ImageFormatOf(file)) {
    case TImageFormat::Jpeg:
        return &JpegPictureReader();
    case TImageFormat::Bmp:
        return &BmpPictureReader();
    case TImageFormat::Png:
        return &PngPictureReader();
    case TImageFormat::Gif:
    case TImageFormat::Tiff:
    case TImageFormat::Unknown:
        break;
    }
    return nullptr;
}

} // namespace pictova
