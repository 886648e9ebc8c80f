#pragma once
// The pixel size of a picture file, read from its header without decoding the
// picture: JPEG frame header, PNG IHDR, BMP information or core header, GIF
// logical screen, TIFF first IFD. Adding a picture to a show needs only this.

#include "movie/PictureReader.h" // TImageFormat

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace pictova {

struct TImageSize {
    std::int32_t Width = 0;  // pixels
    std::int32_t Height = 0; // pixels

    friend bool operator==(const TImageSize&, const TImageSize&) = default;
};

// The size stated by the header of a picture of the given format, or nothing
// when the header is missing, truncated, inconsistent or states a width or
// height that is not positive (or does not fit 32 bits signed). Only the
// bytes the header needs are looked at.
std::optional<TImageSize> ReadImageHeaderSize(std::span<const std::uint8_t> data,
                                              TImageFormat format);

// The same for a file, which is read only as far as its header goes. Files
// that cannot be opened and unknown extensions give nothing; never throws.
std::optional<TImageSize> ReadImageSize(const std::filesystem::path& file);

} // namespace pictova
