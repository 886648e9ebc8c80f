#pragma once
// Describes a sound file for a movie's sound: its wave format, where the
// sound data lies in the file, how many samples it has and how long it
// plays. WAV files (RIFF "WAVE") are read here; MP3 files, and WAV files
// that hold MPEG data, through TMPEGaudio, in the same wave-format shape.
// Only the description is read; the sound copies the data bytes later.

#include "media/ByteView.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace pictova {

class TMPEGaudio;

// WAVE format codes, and the code this reader gives a plain MP3 file.
enum : uint16_t {
    waveFormatPCM = 1,
    waveFormatADPCM = 2,
    waveFormatMPEG = 80,
    waveFormatMPEGLayer3 = 85,
    waveFormatMP3File = 336,
};

enum class TSoundFileKind { Unknown, WAV, MP3 };

// By the extension, in any letter case: ".wav", ".mp3", anything else Unknown.
TSoundFileKind SoundFileKindOf(const std::filesystem::path& path);

class TWaveReader {
public:
    TWaveReader() = default;
    // Reads the file at once; its kind follows from its extension. A file
    // that cannot be read or is not understood leaves every field 0 and says
    // why in Problem(). Throws TMediaError (naming the file) for a WAV whose
    // format record gives 0 channels, 0 Hz or 0 bits per sample.
    explicit TWaveReader(const std::filesystem::path& path);
    TWaveReader(TBytes file, TSoundFileKind kind);

    uint16_t FormatTag() const { return FFormatTag; }
    uint16_t Channels() const { return FChannels; }
    uint32_t SamplesPerSec() const { return FSamplesPerSec; } // Hz
    uint16_t BitsPerSample() const { return FBitsPerSample; } // 16 for MPEG data
    uint32_t SampleCount() const { return FSampleCount; }     // per channel
    uint32_t FmtOffset() const { return FFmtOffset; }         // WAV only
    uint32_t FmtSize() const { return FFmtSize; }
    // The sound data, in bytes from the file start: the "data" chunk of a
    // WAV; for an MP3 file its frames, without ID3 tags and without the
    // frame of a VBR header.
    uint32_t DataOffset() const { return FDataOffset; }
    uint32_t DataSize() const { return FDataSize; }
    // MPEG data only.
    uint16_t SamplesPerFrame() const { return FSamplesPerFrame; }
    uint16_t FrameLength() const { return FFrameLength; } // bytes of the first sound frame
    uint32_t FrameCount() const { return FFrameCount; }
    uint16_t BitRate() const { return FBitRate; } // kbit/s
    double Duration() const { return FDuration; } // seconds

    // Why nothing was described; empty when the file was understood.
    const std::string& Problem() const { return FProblem; }

private:
    void Read(TBytes file, TSoundFileKind kind);
    void ReadWave(TBytes file);
    void ReadFormatRecord(TBytes fmt);
    void TakeMPEG(const TMPEGaudio& mpeg);
    void Fail(std::string problem);

    uint16_t FFormatTag = 0;
    uint16_t FChannels = 0;
    uint32_t FSamplesPerSec = 0;
    uint16_t FBitsPerSample = 0;
    uint32_t FSampleCount = 0;
    uint32_t FFmtOffset = 0;
    uint32_t FFmtSize = 0;
    uint32_t FDataOffset = 0;
    uint32_t FDataSize = 0;
    uint16_t FSamplesPerFrame = 0;
    uint16_t FFrameLength = 0;
    uint32_t FFrameCount = 0;
    uint16_t FBitRate = 0;
    double FDuration = 0;
    std::string FProblem;
};

} // namespace pictova
