#pragma once
// The four-byte header of an MPEG audio frame (MPEG 1, 2 and 2.5, Layers I to
// III) and the facts that follow from it: bit rate, sample rate, samples and
// bytes per frame.

#include "media/ByteView.h"

#include <array>
#include <cstdint>

namespace pictova {

enum : uint8_t { mpegVersion25 = 0, mpegVersionReserved = 1, mpegVersion2 = 2, mpegVersion1 = 3 };
enum : uint8_t { mpegLayerReserved = 0, mpegLayer3 = 1, mpegLayer2 = 2, mpegLayer1 = 3 };
enum : uint8_t {
    mpegModeStereo = 0,
    mpegModeJointStereo = 1,
    mpegModeDualChannel = 2,
    mpegModeMono = 3,
    mpegModeUnknown = 4,
};

// The header fields of the first frame. The defaults are the "unknown"
// values a reset leaves when no frame has been found.
struct TMPEGFrameData {
    bool Found = false;
    uint64_t Position = 0; // of the frame, in bytes from the start of the audio data
    uint32_t Length = 0;   // bytes of this frame, header included
    std::array<uint8_t, 4> Header{};
    uint8_t VersionID = mpegVersionReserved;
    uint8_t LayerID = mpegLayerReserved;
    bool ProtectionBit = false; // a CRC follows the header
    uint8_t BitRateID = 0;
    uint8_t SampleRateID = 3;
    bool PaddingBit = false;
    bool PrivateBit = false;
    uint8_t ModeID = mpegModeUnknown;
    uint8_t ModeExtensionID = 4;
    bool RightsBit = false;
    bool OriginalBit = false;
    uint8_t EmphasisID = 2;
};

// True when the first four bytes of data (false when fewer) can start a
// frame: sync bits, and no reserved or free-format field.
bool IsFrameHeader(TBytes data);
// The fields of the header in the first four bytes of data; Found, Position
// and Length are left for the caller. Asserts IsFrameHeader.
TMPEGFrameData DecodeFrameHeader(TBytes data);

// kbit/s; 0 for the free-format and forbidden indexes and reserved fields.
uint32_t MPEGBitRate(const TMPEGFrameData& frame);
// Hz; 0 for the reserved index and version.
uint32_t MPEGSampleRate(const TMPEGFrameData& frame);
// 384 for Layer I, 1152 for Layer II and for Layer III of MPEG 1, 576 for
// Layer III of MPEG 2 and 2.5; 0 for reserved fields.
uint32_t MPEGSamplesPerFrame(const TMPEGFrameData& frame);
// Bytes of frame data per (kbit/s ÷ Hz) unit: samples per frame / 8.
uint32_t MPEGCoefficient(const TMPEGFrameData& frame);
// Bytes the padding bit adds: one 4-byte slot in Layer I, one byte otherwise.
uint32_t MPEGPadding(const TMPEGFrameData& frame);
// Bytes of the frame, header included: coefficient × bit rate / sample rate
// truncated, plus padding; Layer I counts whole 4-byte slots. 0 when a rate
// is 0.
uint32_t MPEGFrameLength(const TMPEGFrameData& frame);

} // namespace pictova
