#pragma once
// TFlashSound: the movie's sound character, made from a WAV or MP3 file. It
// is written either as an event sound (one DefineSound that StartSound tags
// play) or, as the movie's SoundStream, as a streamed sound: a
// SoundStreamHead2 before all objects and one SoundStreamBlock per frame.
// The sound data of the file is copied into the tags as it is, never decoded
// or re-encoded, so the SWF sound format follows from the file's: PCM WAVs
// give uncompressed sound, MP3 files and WAVs of MPEG Layer III data give
// MP3 sound, ADPCM WAVs an ADPCM sound without data.

#include "movie/FlashObject.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace pictova {

class TSWFSoundStreamHead2;

class TFlashSound : public TFlashIDObject {
public:
    // With the name of an existing file the sound is loaded from it (see
    // LoadFromFile); without a name, or when no such file exists, it stays
    // empty: every field 0, written as a DefineSound without data.
    explicit TFlashSound(TFlashMovie* owner = nullptr, const std::filesystem::path& fileName = {});
    // A copy opens the source's file for itself, so that each sound reads
    // its data from a stream of its own; the stream state is not copied:
    // a copy starts with none, and assigning keeps the target's.
    TFlashSound(const TFlashSound& source);
    TFlashSound& operator=(const TFlashSound& source);
    ~TFlashSound() override;

    // Reads the file's description (".wav" or ".mp3", any letter case) and
    // keeps the file open: both forms copy its data while the movie is
    // written, so it must stay readable until then. Throws TMediaError naming
    // the file when it cannot be read or holds no sound a movie can carry:
    // neither WAV nor MP3, MPEG Layer I or II, PCM of other than 8 or 16 bits
    // or 1 or 2 channels, PCM at a rate the SWF rate codes do not name
    // (5512, 11025, 22050, 44100 Hz), WAV codecs other than PCM, ADPCM and MPEG.
    void LoadFromFile(const std::filesystem::path& fileName);

    // The description and the file; the stream state is not copied.
    void Assign(const TBasedSWFObject& source) override;
    // As an event sound: 4 for MP3, else 1.
    uint8_t MinVersion() const override;
    // The event form: one DefineSound of this character with the file's data.
    void WriteToStream(TBitsEngine& be) override;

    // The streamed form, driven by the movie's MakeStream. SetupStreamHead
    // fills the head for the frame rate (frames per second) and restarts the
    // stream; it throws std::runtime_error when the rate gives no frame size
    // the tags can hold. WriteStreamBlock then writes the next frame's block,
    // or nothing once a sound that does not loop has ended.
    void SetupStreamHead(TSWFSoundStreamHead2& head, float frameRate);
    void WriteStreamBlock(TBitsEngine& be);
    // As a stream: 4 for MP3 and uncompressed sound (little-endian), else 3.
    uint8_t StreamMinVersion() const;

    // Streamed sound only: start again from the beginning when the data ends
    // (the movie's SoundStream is created with Loop on).
    bool Loop = false;
    // MP3: samples the player skips at the start (encoder latency).
    int16_t SeekSamples = 0;

    const std::filesystem::path& FileName() const { return FFileName; }
    uint8_t SoundFormat() const { return FSoundFormat; } // TSWFSoundFormat
    uint8_t SoundRate() const { return FSoundRate; }     // TSWFSoundRate
    uint8_t SoundSize() const { return FSoundSize; }     // 1: 16-bit samples
    uint8_t SoundType() const { return FSoundType; }     // 1: stereo
    uint32_t SampleRate() const { return FSampleRate; }  // Hz
    // Where the sound data lies in the file (bytes from its start).
    uint32_t DataOffset() const { return FDataOffset; }
    uint32_t DataSize() const { return FDataSize; }
    uint32_t SampleCount() const { return FSampleCount; } // per channel
    double Duration() const { return FDuration; }         // seconds
    // MP3 only: samples per MP3 frame, the first frame's length in bytes and
    // the number of whole frames the stream copies.
    uint16_t SamplesPerFrame() const { return FSamplesPerFrame; }
    uint16_t FrameLength() const { return FFrameLength; }
    uint32_t FrameCount() const {
        return uint32_t(FFrameStarts.empty() ? 0 : FFrameStarts.size() - 1);
    }

    // Set by SetupStreamHead: samples per SWF frame, and for uncompressed
    // sound the bytes of one block.
    uint32_t SamplesPerBlock() const { return FSamplesPerBlock; }
    uint32_t BlockSize() const { return FBlockSize; }

private:
    void Clear();
    void IndexMP3Frames(const std::vector<uint8_t>& file, const std::string& name);
    void OpenFile();
    // Copies count bytes of the sound data from offset (within the data).
    void CopyData(TBitsEngine& be, uint64_t offset, uint64_t count);
    void WriteUncompressedBlock(TBitsEngine& be);
    void WriteMP3Block(TBitsEngine& be);

    std::filesystem::path FFileName;
    std::unique_ptr<std::ifstream> FFile;
    uint8_t FSoundFormat = 0;
    uint8_t FSoundRate = 0;
    uint8_t FSoundSize = 0;
    uint8_t FSoundType = 0;
    uint32_t FSampleRate = 0;
    uint32_t FDataOffset = 0;
    uint32_t FDataSize = 0;
    uint32_t FSampleCount = 0;
    double FDuration = 0;
    uint16_t FSamplesPerFrame = 0;
    uint16_t FFrameLength = 0;
    // MP3: where each whole frame starts within the data, and after the last
    // one where it ends. Frames are copied by their own lengths, which vary
    // with the padding bit and in VBR files.
    std::vector<uint32_t> FFrameStarts;

    // Stream state.
    uint32_t FSamplesPerBlock = 0;
    uint32_t FBlockSize = 0;
    uint64_t FStreamPosition = 0; // uncompressed: bytes into the data
    size_t FNextFrame = 0;        // MP3: index into FFrameStarts
    uint32_t FBlocksWritten = 0;
    uint64_t FSamplesWritten = 0;
};

} // namespace pictova
