#pragma once
// Reads the facts of an MPEG audio file (MP3 and its Layer I/II siblings)
// that a sound needs, without decoding it: where the audio starts (after an
// ID3v2 tag), the first frame's header, an optional VBR header, and from
// these the frame length, frame count, bit rate and playing time.

#include "media/ByteView.h"
#include "media/ID3Tags.h"
#include "media/MPEGFrame.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace pictova {

// The header an encoder puts into the first frame of a file: "Xing" (VBR) or
// its CBR twin "Info", or "VBRI". That frame holds no sound.
struct TVBRData {
    bool Found = false;
    std::array<char, 4> ID{};
    uint32_t Frames = 0; // audio frames, the header's own frame not counted
    uint32_t Bytes = 0;  // bytes of the stream, the header's frame included

    std::string_view Name() const { return std::string_view(ID.data(), ID.size()); }
};

class TMPEGaudio {
public:
    // The search looks at this many bytes and tries the first SearchPositions
    // of them as the start of a frame.
    static constexpr size_t SearchBlockSize = 3458;
    static constexpr size_t SearchPositions = 1730;

    void Reset();
    // Reads a whole file held in memory. Never fails: FrameData().Found tells
    // whether an audio frame was found; without one all fields are reset.
    void ReadFromMemory(TBytes file);
    // False when the file cannot be read (all fields then stay reset).
    bool ReadFromFile(const std::filesystem::path& path);

    uint64_t FileLength() const { return FFileLength; }
    const TMPEGFrameData& FrameData() const { return FFrameData; }
    const TVBRData& VBRData() const { return FVBRData; }
    const TID3v1& ID3v1() const { return FID3v1; }
    const TID3v2& ID3v2() const { return FID3v2; }

    // kbit/s: the average from the VBR header when there is one, else the
    // first frame's. 0 without a frame.
    uint32_t BitRate() const;
    uint32_t SampleRate() const { return MPEGSampleRate(FFrameData); } // Hz
    uint32_t SamplesPerFrame() const { return MPEGSamplesPerFrame(FFrameData); }
    uint8_t ChannelMode() const { return FFrameData.ModeID; } // mpegModeStereo..mpegModeUnknown
    bool IsMono() const { return FFrameData.ModeID == mpegModeMono; }
    // The VBR header's count, else the whole frames of the first frame's
    // length that the audio bytes hold.
    uint32_t FrameCount() const;
    // Seconds; 0 without a frame.
    double Duration() const;

    // Offsets from the file start of the sound frames: from the first frame
    // (the one after a VBR header's frame) to the end of the file or the
    // start of an ID3v1 tag.
    uint64_t AudioStart() const;
    uint64_t AudioEnd() const;
    // Bytes of the first frame at AudioStart (which differs from
    // FrameData().Length when the VBR header's frame is longer).
    uint32_t AudioFrameLength() const { return FAudioFrameLength; }

private:
    uint64_t FirstFrameOffset() const { return uint64_t(FID3v2.TagSize) + FFrameData.Position; }
    // Bytes from the first frame (a VBR header's frame included) to AudioEnd.
    uint64_t FramesBytes() const;
    bool FindFrame(TBytes file, size_t blockStart);
    void FindVBRHeader(TBytes frame);

    uint64_t FFileLength = 0;
    TMPEGFrameData FFrameData;
    TVBRData FVBRData;
    TID3v1 FID3v1;
    TID3v2 FID3v2;
    uint32_t FAudioFrameLength = 0;
};

} // namespace pictova
