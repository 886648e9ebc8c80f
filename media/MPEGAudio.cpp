#include "media/MPEGAudio.h"

#include "platform/Errors.h"
#include "platform/FileBytes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pictova {

namespace {

// Offset of a Xing/Info header from the frame start: the 4-byte header plus
// the Layer III side information, which is shorter for mono and for the
// single granule of MPEG 2 and 2.5.
size_t XingOffset(const TMPEGFrameData& f) {
    const bool mono = f.ModeID == mpegModeMono;
    if (f.VersionID == mpegVersion1)
        return mono ? 21 : 36;
    return mono ? 13 : 21;
}

// A VBRI header always follows 32 bytes after the frame header.
constexpr size_t kVBRIOffset = 36;

} // namespace

void TMPEGaudio::Reset() {
    *this = TMPEGaudio();
}

void TMPEGaudio::ReadFromMemory(TBytes file) {
    Reset();
    FFileLength = file.size();
    FID3v1.ReadFromMemory(file);
    FID3v2.ReadFromMemory(file);
    const size_t start = FID3v2.TagSize;
    // A file whose first frame lies beyond the first block (after a long
    // stretch of junk) may still show a frame in the middle of its audio.
    if (!FindFrame(file, start) && SubBytes(file, start, SearchBlockSize).size() == SearchBlockSize)
        FindFrame(file, start + (file.size() - start) / 2);
    if (!FFrameData.Found) {
        Reset();
        return;
    }
    FAudioFrameLength = FFrameData.Length;
    if (FVBRData.Found) {
        const TBytes next = SubBytes(file, AudioStart());
        if (IsFrameHeader(next))
            FAudioFrameLength = MPEGFrameLength(DecodeFrameHeader(next));
    }
}

bool TMPEGaudio::ReadFromFile(const std::filesystem::path& path) {
    Reset();
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const EFileError&) {
        return false;
    }
    ReadFromMemory(bytes);
    return true;
}

// A frame counts only when another frame header follows right after it:
// a lone FF Fx byte pair inside junk or tag data is no frame.
bool TMPEGaudio::FindFrame(TBytes file, size_t blockStart) {
    const TBytes block = SubBytes(file, blockStart, SearchBlockSize);
    const size_t positions = std::min(block.size(), SearchPositions);
    for (size_t p = 0; p < positions; ++p) {
        const TBytes at = block.subspan(p);
        if (!IsFrameHeader(at))
            continue;
        TMPEGFrameData frame = DecodeFrameHeader(at);
        const uint32_t length = MPEGFrameLength(frame);
        if (length == 0 || !IsFrameHeader(SubBytes(at, length)))
            continue;
        frame.Found = true;
        frame.Position = blockStart + p - FID3v2.TagSize;
        frame.Length = length;
        FFrameData = frame;
        FindVBRHeader(at);
        return true;
    }
    return false;
}

void TMPEGaudio::FindVBRHeader(TBytes frame) {
    TVBRData vbr;
    const size_t xing = XingOffset(FFrameData);
    if (HasChars(frame, xing, "Xing") || HasChars(frame, xing, "Info")) {
        // The flags word says which fields follow; we need both the frame
        // count (bit 0) and the byte count (bit 1), which then come first.
        if (frame.size() >= xing + 16 && (ReadBE32(frame, xing + 4) & 3) == 3) {
            vbr.Frames = ReadBE32(frame, xing + 8);
            vbr.Bytes = ReadBE32(frame, xing + 12);
            std::copy_n(frame.begin() + xing, 4, vbr.ID.begin());
        }
    } else if (HasChars(frame, kVBRIOffset, "VBRI") && frame.size() >= kVBRIOffset + 18) {
        // Version, delay and quality (2 bytes each) precede the counts.
        vbr.Bytes = ReadBE32(frame, kVBRIOffset + 10);
        vbr.Frames = ReadBE32(frame, kVBRIOffset + 14);
        std::copy_n(frame.begin() + kVBRIOffset, 4, vbr.ID.begin());
    }
    // A header without frames tells nothing; the frame formulas then apply.
    vbr.Found = vbr.Frames > 0;
    if (vbr.Found)
        FVBRData = vbr;
}

uint64_t TMPEGaudio::AudioStart() const {
    if (!FFrameData.Found)
        return 0;
    return FirstFrameOffset() + (FVBRData.Found ? FFrameData.Length : 0);
}

uint64_t TMPEGaudio::AudioEnd() const {
    const uint64_t end = FFileLength - (FID3v1.Exists ? TID3v1::TagBytes : 0);
    return std::max(end, AudioStart());
}

uint64_t TMPEGaudio::FramesBytes() const {
    const uint64_t end = AudioEnd();
    return end > FirstFrameOffset() ? end - FirstFrameOffset() : 0;
}

uint32_t TMPEGaudio::BitRate() const {
    if (!FFrameData.Found)
        return 0;
    if (!FVBRData.Found)
        return MPEGBitRate(FFrameData);
    // The average frame length without its padding, turned back into kbit/s.
    const double frameBytes = double(FVBRData.Bytes) / FVBRData.Frames - MPEGPadding(FFrameData);
    const double kbits = frameBytes * SampleRate() / MPEGCoefficient(FFrameData) / 1000;
    // Only a lying header gets outside the 16 bits a wave description keeps.
    return uint32_t(std::nearbyint(std::clamp(kbits, 0.0, 65535.0))); // halves to even
}

uint32_t TMPEGaudio::FrameCount() const {
    if (!FFrameData.Found)
        return 0;
    if (FVBRData.Found)
        return FVBRData.Frames;
    // A truncated last frame is not counted.
    return uint32_t(std::min<uint64_t>(FramesBytes() / FFrameData.Length, UINT32_MAX));
}

double TMPEGaudio::Duration() const {
    if (!FFrameData.Found)
        return 0;
    if (FVBRData.Found) // coefficient × 8 = samples per frame
        return double(MPEGCoefficient(FFrameData)) * FVBRData.Frames * 8 / SampleRate();
    // bytes × 8 = bits; kbit/s × 1000 = bit/s.
    return double(FramesBytes()) * 8 / MPEGBitRate(FFrameData) / 1000;
}

} // namespace pictova
