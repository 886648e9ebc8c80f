#include "movie/FlashSound.h"

#include "media/MPEGAudio.h"
#include "media/WaveReader.h"
#include "platform/FileBytes.h"
#include "swf/SoundTags.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <stdexcept>
#include <string>
#include <system_error>

namespace pictova {

namespace fs = std::filesystem;

namespace {

constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// The SWF rate code of a sample rate, from its quotient by 5000: 5.5, 11,
// 22 (also 16 kHz) and 44 kHz; any other quotient (48 kHz among them) gives 0.
uint8_t RateCode(uint32_t samplesPerSec) {
    switch (samplesPerSec / 5000) {
    case 1:
        return soundRate5k;
    case 2:
        return soundRate11k;
    case 3:
    case 4:
        return soundRate22k;
    case 8:
        return soundRate44k;
    default:
        return soundRate5k;
    }
}

// Uncompressed data has nothing but the rate code to tell its speed: only the
// rates the four codes stand for play right.
bool IsSWFSampleRate(uint32_t samplesPerSec) {
    return samplesPerSec == 5512 || samplesPerSec == 5513 || samplesPerSec == 11025 ||
           samplesPerSec == 22050 || samplesPerSec == 44100;
}

std::string Quoted(const fs::path& file) {
    return "\"" + file.string() + "\"";
}

} // namespace

TFlashSound::TFlashSound(TFlashMovie* owner, const fs::path& fileName) : TFlashIDObject(owner) {
    std::error_code error;
    if (!fileName.empty() && fs::is_regular_file(fileName, error))
        LoadFromFile(fileName);
}

TFlashSound::~TFlashSound() = default;

void TFlashSound::Clear() {
    FFileName.clear();
    FFile.reset();
    FSoundFormat = FSoundRate = FSoundSize = FSoundType = 0;
    FSampleRate = FDataOffset = FDataSize = FSampleCount = 0;
    FDuration = 0;
    FSamplesPerFrame = FFrameLength = 0;
    FFrameStarts.clear();
}

void TFlashSound::LoadFromFile(const fs::path& fileName) {
    Clear();
    const std::string name = Quoted(fileName);
    const TSoundFileKind kind = SoundFileKindOf(fileName);
    if (kind == TSoundFileKind::Unknown)
        throw TMediaError(name + " is neither a WAV nor an MP3 file (by its extension)");
    const std::vector<uint8_t> bytes = ReadFileBytes(fileName);
    TWaveReader reader;
    try {
        reader = TWaveReader(bytes, kind);
    } catch (const TMediaError& e) {
        throw TMediaError(name + ": " + e.what());
    }
    if (!reader.Problem().empty())
        throw TMediaError(name + ": " + reader.Problem());

    const uint16_t tag = reader.FormatTag();
    FSampleRate = reader.SamplesPerSec();
    FSoundRate = RateCode(FSampleRate);
    FSoundSize = reader.BitsPerSample() != 8 ? 1 : 0;
    FSoundType = reader.Channels() == 2 ? 1 : 0;
    FDataOffset = reader.DataOffset();
    FDataSize = reader.DataSize();
    FSampleCount = reader.SampleCount();
    FDuration = reader.Duration();
    try {
        if (tag == waveFormatPCM || tag == kWaveFormatExtensible) {
            // Copied as they are, the samples must already be what a movie plays.
            if (reader.BitsPerSample() != 8 && reader.BitsPerSample() != 16)
                throw TMediaError(name + " has " + std::to_string(reader.BitsPerSample()) +
                                  " bits per sample; a movie sound has 8 or 16");
            if (reader.Channels() > 2)
                throw TMediaError(name + " has " + std::to_string(reader.Channels()) +
                                  " channels; a movie sound has 1 or 2");
            if (!IsSWFSampleRate(FSampleRate))
                throw TMediaError(name + " is sampled at " + std::to_string(FSampleRate) +
                                  " Hz; uncompressed movie sound plays at 5512, 11025, 22050 or "
                                  "44100 Hz only");
            FSoundFormat = soundUncompressed;
        } else if (tag == waveFormatADPCM) {
            // The WAV's ADPCM blocks are not the movie's ADPCM packets: the
            // sound is declared but carries no data.
            FSoundFormat = soundADPCM;
        } else if (tag == waveFormatMPEG || tag == waveFormatMPEGLayer3 ||
                   tag == waveFormatMP3File) {
            FSoundFormat = soundMP3;
            FSamplesPerFrame = reader.SamplesPerFrame();
            FFrameLength = reader.FrameLength();
            IndexMP3Frames(bytes, name);
        } else {
            throw TMediaError(name + " holds sound of WAV format code " + std::to_string(tag) +
                              ", which a movie cannot play (PCM, ADPCM or MPEG Layer III only)");
        }
    } catch (...) {
        Clear();
        throw;
    }
    FFileName = fileName;
    OpenFile();
}

void TFlashSound::IndexMP3Frames(const std::vector<uint8_t>& file, const std::string& name) {
    const TBytes data = SubBytes(file, FDataOffset, FDataSize);
    TMPEGaudio mpeg;
    mpeg.ReadFromMemory(data);
    const TMPEGFrameData& first = mpeg.FrameData();
    if (!first.Found)
        throw TMediaError(name + ": no MPEG audio frame found in the sound data at offset " +
                          std::to_string(FDataOffset));
    if (first.LayerID != mpegLayer3)
        throw TMediaError(name + ": the sound data at offset " + std::to_string(FDataOffset) +
                          " is MPEG Layer " + (first.LayerID == mpegLayer1 ? "I" : "II") +
                          "; a movie plays MPEG Layer III (MP3) only");
    // Whole frames from the first one on, each by its own length; the walk
    // ends at the first bytes that are not a frame of the same stream (a
    // truncated last frame, trailing tags or junk).
    uint64_t pos = mpeg.AudioStart();
    while (pos + 4 <= data.size()) {
        const TBytes at = SubBytes(data, size_t(pos));
        if (!IsFrameHeader(at))
            break;
        const TMPEGFrameData frame = DecodeFrameHeader(at);
        if (frame.VersionID != first.VersionID || frame.LayerID != first.LayerID ||
            frame.SampleRateID != first.SampleRateID)
            break;
        const uint32_t length = MPEGFrameLength(frame);
        if (length < 4 || pos + length > data.size())
            break;
        FFrameStarts.push_back(uint32_t(pos));
        pos += length;
    }
    if (!FFrameStarts.empty())
        FFrameStarts.push_back(uint32_t(pos));
}

void TFlashSound::OpenFile() {
    FFile = std::make_unique<std::ifstream>(FFileName, std::ios::binary);
    if (!*FFile)
        throw TMediaError("Cannot open the sound file " + Quoted(FFileName));
}

TFlashSound::TFlashSound(const TFlashSound& source) : TFlashSound(source.Owner) {
    *this = source;
}

void TFlashSound::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

TFlashSound& TFlashSound::operator=(const TFlashSound& src) {
    if (&src == this)
        return *this;
    TFlashIDObject::operator=(src);
    Clear();
    Loop = src.Loop;
    SeekSamples = src.SeekSamples;
    FSoundFormat = src.FSoundFormat;
    FSoundRate = src.FSoundRate;
    FSoundSize = src.FSoundSize;
    FSoundType = src.FSoundType;
    FSampleRate = src.FSampleRate;
    FDataOffset = src.FDataOffset;
    FDataSize = src.FDataSize;
    FSampleCount = src.FSampleCount;
    FDuration = src.FDuration;
    FSamplesPerFrame = src.FSamplesPerFrame;
    FFrameLength = src.FFrameLength;
    FFrameStarts = src.FFrameStarts;
    FFileName = src.FFileName;
    if (src.FFile)
        OpenFile();
    return *this;
}

uint8_t TFlashSound::MinVersion() const {
    return FSoundFormat == soundMP3 ? 4 : 1;
}

uint8_t TFlashSound::StreamMinVersion() const {
    // Uncompressed streams are written as little-endian data (format 3).
    return FSoundFormat == soundADPCM ? 3 : 4;
}

void TFlashSound::CopyData(TBitsEngine& be, uint64_t offset, uint64_t count) {
    assert(offset + count <= FDataSize);
    if (count == 0)
        return;
    if (!FFile)
        throw TMediaError("The sound file " + Quoted(FFileName) + " is not open");
    FFile->clear();
    FFile->seekg(std::streamoff(FDataOffset + offset));
    std::array<char, 65536> buffer;
    uint64_t done = 0;
    while (done < count) {
        const size_t n = size_t(std::min<uint64_t>(buffer.size(), count - done));
        FFile->read(buffer.data(), std::streamsize(n));
        if (size_t(FFile->gcount()) != n)
            // The file changed after it was read: a shorter tag would
            // contradict its own sample count.
            throw TMediaError(
                "The sound file " + Quoted(FFileName) + " ended at offset " +
                std::to_string(FDataOffset + offset + done + uint64_t(FFile->gcount())) +
                " while " + std::to_string(count) + " bytes from offset " +
                std::to_string(FDataOffset + offset) + " were copied");
        be.WriteBytes(buffer.data(), n);
        done += n;
    }
}

void TFlashSound::WriteToStream(TBitsEngine& be) {
    TSWFDefineSound tag;
    tag.SoundId = CharacterId();
    tag.SoundFormat = FSoundFormat;
    tag.SoundRate = FSoundRate;
    tag.SoundSize = FSoundSize;
    tag.SoundType = FSoundType;
    tag.SoundSampleCount = FSampleCount;
    tag.SeekSamples = SeekSamples;
    if (FSoundFormat == soundUncompressed || FSoundFormat == soundMP3)
        tag.OnDataWrite = [this](TSWFDataObject&, TBitsEngine& out) {
            CopyData(out, 0, FDataSize);
        };
    tag.WriteToStream(be);
}

void TFlashSound::SetupStreamHead(TSWFSoundStreamHead2& head, float frameRate) {
    if (!(frameRate > 0))
        throw std::runtime_error("A streamed sound needs a frame rate above 0, not " +
                                 std::to_string(frameRate));
    head.StreamSoundCompression =
        FSoundFormat == soundUncompressed ? uint8_t(soundUncompressedLE) : FSoundFormat;
    head.StreamSoundRate = head.PlaybackSoundRate = FSoundRate;
    head.StreamSoundSize = head.PlaybackSoundSize = FSoundSize;
    head.StreamSoundType = head.PlaybackSoundType = FSoundType;
    // Samples per frame, truncated.
    const double perFrame = std::trunc(double(FSampleRate) / double(frameRate));
    // An MP3 block may run up to one MP3 frame ahead of the frame's samples,
    // and its sample count is 16-bit too.
    const double limit = 65535.0 - (FSoundFormat == soundMP3 ? FSamplesPerFrame : 0);
    if (perFrame > limit)
        throw std::runtime_error("At " + std::to_string(frameRate) + " frames per second a frame " +
                                 "takes " + std::to_string(uint64_t(perFrame)) + " samples of " +
                                 Quoted(FFileName) + " (" + std::to_string(FSampleRate) +
                                 " Hz); a sound stream block holds at most " +
                                 std::to_string(uint32_t(limit)));
    FSamplesPerBlock = uint32_t(perFrame);
    head.StreamSoundSampleCount = uint16_t(FSamplesPerBlock);
    head.LatencySeek = 0;
    // Exactly one frame's samples per block, so the sound keeps pace with
    // the frames.
    FBlockSize = FSoundFormat == soundUncompressed
                     ? FSamplesPerBlock * (FSoundType + 1u) * (FSoundSize + 1u)
                     : 0;
    FStreamPosition = 0;
    FNextFrame = 0;
    FBlocksWritten = 0;
    FSamplesWritten = 0;
}

void TFlashSound::WriteStreamBlock(TBitsEngine& be) {
    if (FSoundFormat == soundUncompressed)
        WriteUncompressedBlock(be);
    else if (FSoundFormat == soundMP3)
        WriteMP3Block(be);
}

void TFlashSound::WriteUncompressedBlock(TBitsEngine& be) {
    // Whole sample frames only, so a loop never shifts the channels or the
    // bytes of a sample.
    const uint32_t frameBytes = (FSoundType + 1u) * (FSoundSize + 1u);
    const uint64_t size = FDataSize - FDataSize % frameBytes;
    if (size == 0 || FBlockSize == 0 || (!Loop && FStreamPosition >= size))
        return;
    TSWFSoundStreamBlock block;
    block.OnDataWrite = [this, size](TSWFDataObject&, TBitsEngine& out) {
        uint64_t left = FBlockSize;
        while (left > 0) {
            if (FStreamPosition >= size) {
                if (!Loop) {
                    // The end of a sound that does not loop: silence, which is
                    // 0x80 in unsigned 8-bit samples and 0 in signed 16-bit ones.
                    const std::vector<uint8_t> silence(size_t(left), FSoundSize ? 0x00 : 0x80);
                    out.WriteBytes(silence.data(), silence.size());
                    break;
                }
                FStreamPosition = 0;
            }
            const uint64_t n = std::min(left, size - FStreamPosition);
            CopyData(out, FStreamPosition, n);
            FStreamPosition += n;
            left -= n;
        }
        if (Loop && FStreamPosition >= size)
            FStreamPosition = 0;
    };
    block.WriteToStream(be);
    ++FBlocksWritten;
}

void TFlashSound::WriteMP3Block(TBitsEngine& be) {
    const size_t frames = FrameCount();
    if (frames == 0 || FSamplesPerFrame == 0 || (!Loop && FNextFrame >= frames))
        return;
    const int64_t P = FSamplesPerFrame;
    const int64_t S = FSamplesPerBlock;
    // Where the frame's timeline stands against the samples written so far.
    const int64_t seek =
        int64_t(SeekSamples) + int64_t(FBlocksWritten) * S - int64_t(FSamplesWritten);
    // The MP3 frames that end within this frame's time.
    uint64_t count = seek + S > 0 ? uint64_t((seek + S) / P) : 0;
    if (!Loop)
        count = std::min<uint64_t>(count, frames - FNextFrame);

    TSWFSoundStreamBlock block;
    block.IsMP3 = true;
    if (count > 0) {
        assert(seek >= INT16_MIN && seek <= INT16_MAX && count * P <= 0xFFFF);
        block.SampleCount = uint16_t(count * uint64_t(P));
        block.SeekSamples = int16_t(seek);
        block.OnDataWrite = [this, count, frames](TSWFDataObject&, TBitsEngine& out) {
            uint64_t left = count;
            while (left > 0) {
                if (FNextFrame >= frames)
                    FNextFrame = 0; // only with Loop: count was capped otherwise
                const size_t n = size_t(std::min<uint64_t>(left, frames - FNextFrame));
                const uint32_t from = FFrameStarts[FNextFrame];
                CopyData(out, from, FFrameStarts[FNextFrame + n] - from);
                FNextFrame += n;
                left -= n;
            }
        };
    }
    // A block of no frames still marks the frame: sample count 0, seek 0.
    block.WriteToStream(be);
    FSamplesWritten += count * uint64_t(P);
    ++FBlocksWritten;
    if (Loop && FNextFrame >= frames)
        FNextFrame = 0;
}

} // namespace pictova
