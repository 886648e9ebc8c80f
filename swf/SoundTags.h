#pragma once
// Sound tags: DefineSound (event sounds), StartSound with its sound-info
// record, SoundStreamHead and SoundStreamHead2 (announce a streamed sound) and
// SoundStreamBlock (one frame's part of it).

#include "swf/DataObject.h"

#include <cstdint>
#include <vector>

namespace pictova {

// Values of SoundFormat and StreamSoundCompression.
enum TSWFSoundFormat : uint8_t {
    soundUncompressed = 0, // native byte order of the recording machine
    soundADPCM = 1,
    soundMP3 = 2,
    soundUncompressedLE = 3,
    soundNellymoser16kHz = 4,
    soundNellymoser8kHz = 5,
    soundNellymoser = 6,
    soundSpeex = 11,
};

// Values of the 2-bit rate fields: 5512.5, 11025, 22050, 44100 Hz.
enum TSWFSoundRate : uint8_t {
    soundRate5k = 0,
    soundRate11k = 1,
    soundRate22k = 2,
    soundRate44k = 3,
};

// Body: SoundId, SoundFormat (4 bits), SoundRate (2), SoundSize (1),
// SoundType (1), SoundSampleCount, SeekSamples (MP3 only), payload.
// The payload is the sound data: for MP3, whole MP3 frames without ID3 tags.
class TSWFDefineSound : public TSWFDataObject {
public:
    TSWFDefineSound() { TagID = tagDefineSound; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // 4 for MP3 and little-endian PCM, 6 for Nellymoser, else 1.
    uint8_t MinVersion() const override;
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t SoundId = 0;
    uint8_t SoundFormat = soundUncompressed; // TSWFSoundFormat, 4 bits
    uint8_t SoundRate = soundRate5k;         // TSWFSoundRate, 2 bits
    uint8_t SoundSize = 0;                   // 0: 8-bit samples, 1: 16-bit
    uint8_t SoundType = 0;                   // 0: mono, 1: stereo
    uint32_t SoundSampleCount = 0;           // per channel
    int16_t SeekSamples = 0;                 // MP3: samples to skip at the start
};

// One point of a sound envelope. Pos44 counts samples at 44.1 kHz; levels
// run from 0 to 32768.
struct TSWFSoundEnvelope {
    uint32_t Pos44 = 0;
    uint16_t LeftLevel = 0;
    uint16_t RightLevel = 0;
};

// Body: SoundId, then the sound-info record (SOUNDINFO). Button sounds write
// the same body for each state change.
class TSWFStartSound : public TSWFObject {
public:
    TSWFStartSound() { TagID = tagStartSound; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void WriteTagBody(TBitsEngine& be) override;
    // The sound-info record alone. Corrects HasEnvelope to (HasEnvelope and
    // Envelopes not empty). Throws std::runtime_error for more than 255
    // envelope points, which the record's 8-bit count cannot hold.
    void WriteSoundInfo(TBitsEngine& be);

    // Each setter stores the value and switches its field on when the value
    // is not 0; 0 removes the field.
    void SetInPoint(uint32_t samples44);
    void SetOutPoint(uint32_t samples44);
    void SetLoopCount(uint16_t count);
    uint32_t InPoint() const { return FInPoint; }
    uint32_t OutPoint() const { return FOutPoint; }
    uint16_t LoopCount() const { return FLoopCount; }
    bool HasInPoint() const { return FHasInPoint; }
    bool HasOutPoint() const { return FHasOutPoint; }
    bool HasLoops() const { return FHasLoops; }

    // Appends a point and switches HasEnvelope on.
    void AddEnvelope(const TSWFSoundEnvelope& point);

    uint16_t SoundId = 0;
    bool SyncStop = false;
    bool SyncNoMultiple = false;
    bool HasEnvelope = false;
    std::vector<TSWFSoundEnvelope> Envelopes;

private:
    uint32_t FInPoint = 0;
    uint32_t FOutPoint = 0;
    uint16_t FLoopCount = 0;
    bool FHasInPoint = false;
    bool FHasOutPoint = false;
    bool FHasLoops = false;
};

// Body: 4 reserved bits, PlaybackSoundRate (2), PlaybackSoundSize (1),
// PlaybackSoundType (1), StreamSoundCompression (4), StreamSoundRate (2),
// StreamSoundSize (1), StreamSoundType (1), StreamSoundSampleCount,
// LatencySeek (MP3 only).
class TSWFSoundStreamHead : public TSWFObject {
public:
    TSWFSoundStreamHead() { TagID = tagSoundStreamHead; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // 4 for MP3, else 1.
    uint8_t MinVersion() const override;
    void WriteTagBody(TBitsEngine& be) override;

    uint8_t PlaybackSoundRate = soundRate5k;            // TSWFSoundRate
    uint8_t PlaybackSoundSize = 0;                      // 0: 8-bit, 1: 16-bit
    uint8_t PlaybackSoundType = 0;                      // 0: mono, 1: stereo
    uint8_t StreamSoundCompression = soundUncompressed; // TSWFSoundFormat
    uint8_t StreamSoundRate = soundRate5k;
    uint8_t StreamSoundSize = 0;
    uint8_t StreamSoundType = 0;
    uint16_t StreamSoundSampleCount = 0; // average samples per frame
    int16_t LatencySeek = 0;             // MP3: samples to skip at the start
};

class TSWFSoundStreamHead2 : public TSWFSoundStreamHead {
public:
    TSWFSoundStreamHead2() { TagID = tagSoundStreamHead2; }
    // 4 for MP3, 6 for Nellymoser, else 3.
    uint8_t MinVersion() const override;
};

// Body: for MP3 streams SampleCount and SeekSamples, then the payload (the
// frame's sound data; for MP3 whole MP3 frames).
class TSWFSoundStreamBlock : public TSWFDataObject {
public:
    TSWFSoundStreamBlock() { TagID = tagSoundStreamBlock; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void WriteTagBody(TBitsEngine& be) override;

    bool IsMP3 = false;       // the stream's compression is MP3
    uint16_t SampleCount = 0; // MP3: samples in this block
    int16_t SeekSamples = 0;  // MP3: samples to skip in this block
};

} // namespace pictova
