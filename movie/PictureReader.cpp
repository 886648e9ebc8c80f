#include "movie/PictureReader.h"

#include "movie/FlashImage.h"
#include "platform/FileBytes.h"
#include "platform/PngDecoder.h"

#include <cctype>
#include <optional>
#include <stdexcept>
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
        std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(file);
        if (!bytes)
            throw std::runtime_error("Die Bilddatei \"" + file.string() +
                                     "\" kann nicht geöffnet werden.");
        image.LoadFromDecodedPicture(DecodePng(*bytes));
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

const TPictureReader* PictureReaderFor(const fs::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".jpg" || ext == ".jpeg")
        return &JpegPictureReader();
    if (ext == ".bmp")
        return &BmpPictureReader();
    if (ext == ".png")
        return &PngPictureReader();
    return nullptr;
}

} // namespace pictova
