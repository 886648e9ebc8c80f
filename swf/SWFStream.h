#pragma once
// TBasedSWFStream: the SWF file header and an in-memory body of serialised
// tags, written as a plain (FWS) or zlib-compressed (CWS) movie file.

#include "swf/SWFTypes.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>

namespace pictova {

struct TSWFHeader {
    char Signature[3] = {'F', 'W', 'S'};
    uint8_t Version = 5;
    uint32_t FileLength = 0;
    TRect FrameRect;         // twips
    uint16_t FPS = 0;        // 8.8 fixed point
    uint16_t FrameCount = 0; // top-level ShowFrame tags
};

class TBasedSWFStream {
public:
    // Stage 1 while the body is built, 2 while compressing.
    using TProgressEvent = std::function<void(TBasedSWFStream& sender, int percent, int stage)>;

    TBasedSWFStream() = default;
    // Coordinates in user units: pixels when systemCoord, else twips.
    TBasedSWFStream(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax, float frameRate,
                    bool systemCoord);
    virtual ~TBasedSWFStream() = default;
    TBasedSWFStream(const TBasedSWFStream&) = delete;
    TBasedSWFStream& operator=(const TBasedSWFStream&) = delete;

    // Pixel units (UnitFactor 20) or twips (1). Does not rescale FrameRect.
    void SetSystemCoord(bool on);
    bool SystemCoord() const { return FSystemCoord; }
    uint8_t UnitFactor() const { return FUnitFactor; }

    void SetFrameRate(float fps) { Header.FPS = SingleToFixed8(fps); }
    float FrameRate() const { return Fixed8ToSingle(Header.FPS); }
    // A compressed movie keeps at least version 6.
    void SetVersion(uint8_t v);
    uint8_t Version() const { return Header.Version; }
    void SetCompressed(bool on);
    bool Compressed() const { return FCompressed; }
    uint16_t FrameCount() const { return Header.FrameCount; }
    void SetFrameCount(uint16_t count) { Header.FrameCount = count; }
    const TRect& FrameRect() const { return Header.FrameRect; }
    const TSWFHeader& GetHeader() const { return Header; }

    // In user units (integer division by UnitFactor).
    int32_t Width() const;
    int32_t Height() const;
    uint32_t HeaderSize() const;

    // The body as it stands; the owner fills it before saving.
    std::ostream& Body() { return FBody; }
    std::string BodyBytes() const { return FBody.str(); }
    uint32_t BodySize() const;
    void ClearBody();

    // Replaces the file only when the whole movie was written; a failed save
    // leaves an existing file untouched and throws.
    void SaveToFile(const std::filesystem::path& fileName);
    void SaveToStream(std::ostream& stream);
    // 0: whole header; 1: signature, version, length; 2: frame size, rate, count.
    void WriteHeader(std::ostream& stream, int part);

    TProgressEvent OnProgress;

private:
    void CompressBody(std::ostream& stream);

    std::stringstream FBody;
    bool FCompressed = false;
    uint8_t FUnitFactor = 1;
    bool FSystemCoord = false;
    TSWFHeader Header;
};

} // namespace pictova
