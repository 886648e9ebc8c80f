#pragma once
// TFlashImage: the movie's bitmap character. It holds a picture in the form
// it will take in the movie and writes exactly one bitmap tag for it: JPEG
// data embedded as it is (progressive files re-encoded as baseline on
// request), bitmaps as zlib-compressed lossless data.

#include "media/BMPReader.h"
#include "movie/FlashObject.h"
#include "movie/PictureReader.h"
#include "platform/Errors.h"
#include "platform/PngDecoder.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pictova {

// A picture file of a type the movie cannot take; Detail() is the upper-case
// extension without its dot.
class EImageFormatError : public EPictureError {
public:
    EImageFormatError(std::filesystem::path file, std::string extension)
        : EPictureError(UnsupportedFormat, std::move(file), std::move(extension)) {}
};

class TFlashImage : public TFlashIDObject {
public:
    // What DataStream holds.
    enum TDataState : uint8_t {
        dsNone = 0,
        dsMemory = 1,    // filled by a caller
        dsLossless = 2,  // pixels in BMP; payload built when written
        dsReencoded = 3, // progressive JPEG re-encoded into memory
        dsJPEGFile = 4,  // JPEG file, read when the tag is written
    };

    explicit TFlashImage(TFlashMovie* owner = nullptr);
    TFlashImage(const TFlashImage&) = default;
    TFlashImage& operator=(const TFlashImage&) = default;
    ~TFlashImage() override;

    // JPG, JPEG or BMP by extension (any case); other types are an error.
    void LoadFromFile(const std::filesystem::path& fileName);
    // The same through the given reader (PictureReaderFor takes PNG files
    // too); none means the file's type is not supported.
    void LoadFromFile(const std::filesystem::path& fileName, const TPictureReader* reader);
    // The JPEG reader's part: the file is checked here and embedded when the
    // tag is written. Errors name the file only through LoadFromFile.
    void LoadFromJpegFile(const std::filesystem::path& fileName);
    // Pixels of a decoded picture (PNG): 8-bit colour-mapped or 24-bit.
    void LoadFromDecodedPicture(const TDecodedPicture& picture);
    // Takes the pixels already in BMP() and derives the bitmap format.
    void LoadFromBMP();

    // Switching it on re-encodes a progressive JPEG file as baseline (quality 90).
    void SetConvertProgressive(bool on);
    bool ConvertProgressive() const { return FConvertProgressive; }

    uint16_t Width() const { return FWidth; }
    uint16_t Height() const { return FHeight; }
    bool IsJPEG() const { return FIsJPEG; }
    bool HasAlpha() const { return FHasAlpha; }
    TDataState DataState() const { return FDataState; }
    uint8_t BitmapFormat() const { return FBitmapFormat; }
    uint32_t ColorCount() const { return FColorCount; }

    TBMPReader& BMP();
    // The tag payload; asking for it when there is none makes an empty one
    // (state dsMemory); a JPEG file is then read into memory. JPEG data is the
    // whole file.
    std::vector<uint8_t>& DataStream();
    void SetDataStream(std::vector<uint8_t> data);
    // Raw alpha bytes (one per pixel) of a JPEG picture; when filled, the
    // picture is written as DefineBitsJPEG3.
    std::vector<uint8_t>& AlphaStream();

    void Assign(const TBasedSWFObject& source) override;
    uint8_t MinVersion() const override;
    void WriteToStream(TBitsEngine& be) override;

private:
    void LoadNamedFile(const std::filesystem::path& fileName, const TPictureReader* reader);
    // Decodes the JPEG and keeps it as a baseline JPEG of quality 90.
    void Reencode(const std::vector<uint8_t>& jpeg, const std::filesystem::path& fileName);
    std::vector<uint8_t> JpegBytes() const;
    std::vector<uint8_t> BuildLosslessPayload();
    void WriteJPEG(TBitsEngine& be);
    void WriteLossless(TBitsEngine& be);

    // Owned so that a copy has data of its own; no conversion runs when copying.
    TSWFOwned<std::vector<uint8_t>> FAlphaStream;
    bool FIsJPEG = false;
    TSWFOwned<TBMPReader> FBMP;
    uint32_t FColorCount = 0;
    bool FConvertProgressive = false;
    TSWFOwned<std::vector<uint8_t>> FDataStream;
    std::filesystem::path FJPEGFile; // dsJPEGFile: opened only while writing
    TDataState FDataState = dsNone;
    bool FHasAlpha = false;
    uint16_t FHeight = 0;
    uint16_t FPaddedWidth = 0;
    uint16_t FWidth = 0;
    uint8_t FBitmapFormat = 0; // 3, 4, 5, or 1 for 32-bit pixels with alpha
};

// Width and height from the first baseline or extended sequential frame
// header of JPEG data; {0, 0} when there is none (progressive files).
struct TJpegSize {
    uint16_t Width = 0;
    uint16_t Height = 0;
};
TJpegSize ScanJpegSize(const std::vector<uint8_t>& jpeg);

// The headers of a JPEG file as the codec reads them: its marker segments
// from the start marker to the first scan header, with the application and
// comment segments the codec skips seeked over (APP0 and APP14 kept): as a
// rule a few kilobytes, whatever metadata the file carries. Nothing when the file does
// not read as such a sequence (missing, cut short, broken or unusual); the
// whole file then tells what is wrong with it.
std::optional<std::vector<uint8_t>> ReadJpegHeaders(const std::filesystem::path& file);

} // namespace pictova
