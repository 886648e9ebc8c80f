#pragma once
// One reader per picture file type, each loading a file of its type into an
// image: JPEG files as JPEG data, BMP and PNG files as the pixels of a
// lossless bitmap. Every picture of a show goes into its movie through one of
// them.

#include <filesystem>

namespace pictova {

class TFlashImage;

enum class TImageFormat { Unknown, Jpeg, Png, Bmp, Gif, Tiff };

// Chooses the format by the lower-cased extension, as every picture loader
// does: ".jpg"/".jpeg", ".png", ".bmp", ".gif", ".tif"/".tiff"; anything else
// is Unknown.
TImageFormat ImageFormatOf(const std::filesystem::path& file);

class TPictureReader {
public:
    virtual ~TPictureReader() = default;
    // Fills image from the file; throws when it cannot be read or decoded.
    virtual void Load(TFlashImage& image, const std::filesystem::path& file) const = 0;
};

// Embeds the file as it is (progressive files re-encoded when the image asks for it).
const TPictureReader& JpegPictureReader();
const TPictureReader& BmpPictureReader();
// Decodes into an 8-bit colour-mapped or 24-bit bitmap; transparency is dropped.
const TPictureReader& PngPictureReader();

// The reader of a JPEG, BMP or PNG file by ImageFormatOf; nothing for other
// types.
const TPictureReader* PictureReaderFor(const std::filesystem::path& file);

} // namespace pictova
