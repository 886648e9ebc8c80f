#include "media/MPEGFrame.h"

#include <cassert>

namespace pictova {

namespace {

// kbit/s by bit-rate index 1..14; index 0 (free format) and 15 are not used.
constexpr uint16_t kBitRates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG 1 Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG 1 Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG 1 Layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG 2/2.5 Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}, // MPEG 2/2.5 Layers II, III
};

// Hz by version (2.5, reserved, 2, 1) and sample-rate index 0..2.
constexpr uint32_t kSampleRates[4][3] = {
    {11025, 12000, 8000},
    {0, 0, 0},
    {22050, 24000, 16000},
    {44100, 48000, 32000},
};

} // namespace

bool IsFrameHeader(TBytes data) {
    if (data.size() < 4)
        return false;
    const uint8_t b1 = data[1], b2 = data[2], b3 = data[3];
    return data[0] == 0xFF && b1 > 0xDF              // 11 sync bits
           && ((b1 >> 3) & 3) != mpegVersionReserved //
           && ((b1 >> 1) & 3) != mpegLayerReserved   //
           && b2 < 0xF0 && b2 > 0x0F                 // bit-rate index neither 15 nor 0
           && ((b2 >> 2) & 3) != 3                   // sample-rate index
           && (b3 & 3) != 2;                         // emphasis
}

TMPEGFrameData DecodeFrameHeader(TBytes data) {
    assert(IsFrameHeader(data));
    const uint8_t b1 = data[1], b2 = data[2], b3 = data[3];
    TMPEGFrameData f;
    f.Header = {data[0], b1, b2, b3};
    f.VersionID = (b1 >> 3) & 3;
    f.LayerID = (b1 >> 1) & 3;
    f.ProtectionBit = !(b1 & 1);
    f.BitRateID = b2 >> 4;
    f.SampleRateID = (b2 >> 2) & 3;
    f.PaddingBit = (b2 >> 1) & 1;
    f.PrivateBit = b2 & 1;
    f.ModeID = b3 >> 6;
    f.ModeExtensionID = (b3 >> 4) & 3;
    f.RightsBit = (b3 >> 3) & 1;
    f.OriginalBit = (b3 >> 2) & 1;
    f.EmphasisID = b3 & 3;
    return f;
}

uint32_t MPEGBitRate(const TMPEGFrameData& f) {
    if (f.VersionID == mpegVersionReserved || f.LayerID == mpegLayerReserved || f.BitRateID == 0 ||
        f.BitRateID > 14)
        return 0;
    int table;
    if (f.VersionID == mpegVersion1)
        table = 3 - f.LayerID; // Layer I (3) → 0, II → 1, III → 2
    else
        table = f.LayerID == mpegLayer1 ? 3 : 4;
    return kBitRates[table][f.BitRateID];
}

uint32_t MPEGSampleRate(const TMPEGFrameData& f) {
    if (f.VersionID > 3 || f.SampleRateID > 2)
        return 0;
    return kSampleRates[f.VersionID][f.SampleRateID];
}

uint32_t MPEGSamplesPerFrame(const TMPEGFrameData& f) {
    if (f.VersionID == mpegVersionReserved || f.VersionID > 3)
        return 0;
    switch (f.LayerID) {
    case mpegLayer1:
        return 384;
    case mpegLayer2:
        return 1152;
    case mpegLayer3:
        return f.VersionID == mpegVersion1 ? 1152 : 576;
    default:
        return 0;
    }
}

uint32_t MPEGCoefficient(const TMPEGFrameData& f) {
    return MPEGSamplesPerFrame(f) / 8;
}

uint32_t MPEGPadding(const TMPEGFrameData& f) {
    if (!f.PaddingBit)
        return 0;
    return f.LayerID == mpegLayer1 ? 4 : 1;
}

uint32_t MPEGFrameLength(const TMPEGFrameData& f) {
    const uint32_t bitRate = MPEGBitRate(f), sampleRate = MPEGSampleRate(f);
    if (bitRate == 0 || sampleRate == 0)
        return 0;
    // bit rate in kbit/s → bit/s; the quotient is truncated toward zero.
    const uint64_t bits = uint64_t(bitRate) * 1000;
    // Layer I frames are made of 4-byte slots: truncating 48 × rate / Hz
    // directly would give lengths that are no multiple of 4 at 44.1 kHz.
    if (f.LayerID == mpegLayer1)
        return uint32_t(12 * bits / sampleRate) * 4 + MPEGPadding(f);
    return uint32_t(MPEGCoefficient(f) * bits / sampleRate) + MPEGPadding(f);
}

} // namespace pictova
