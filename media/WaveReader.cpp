#include "media/WaveReader.h"

#include "media/MPEGAudio.h"
#include "media/RiffReader.h"
#include "platform/Errors.h"
#include "platform/FileBytes.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cmath>

namespace pictova {

namespace {

uint32_t Clamp32(uint64_t n) {
    return uint32_t(std::min<uint64_t>(n, UINT32_MAX));
}

} // namespace

TSoundFileKind SoundFileKindOf(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    if (ext == ".WAV")
        return TSoundFileKind::WAV;
    if (ext == ".MP3")
        return TSoundFileKind::MP3;
    return TSoundFileKind::Unknown;
}

TWaveReader::TWaveReader(const std::filesystem::path& path) {
    const std::string name = "\"" + path.string() + "\"";
    const TSoundFileKind kind = SoundFileKindOf(path);
    if (kind == TSoundFileKind::Unknown) {
        Fail(name + " is neither a WAV nor an MP3 file");
        return;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const EFileError& e) {
        Fail(e.what());
        return;
    }
    try {
        Read(bytes, kind);
    } catch (const TMediaError& e) {
        throw TMediaError(name + ": " + e.what());
    }
    if (!FProblem.empty())
        FProblem = name + ": " + FProblem;
}

TWaveReader::TWaveReader(TBytes file, TSoundFileKind kind) {
    Read(file, kind);
}

void TWaveReader::Fail(std::string problem) {
    *this = TWaveReader();
    FProblem = std::move(problem);
}

void TWaveReader::Read(TBytes file, TSoundFileKind kind) {
    if (file.size() > UINT32_MAX) {
        Fail("the file of " + std::to_string(file.size()) + " bytes is larger than 4 GiB");
        return;
    }
    switch (kind) {
    case TSoundFileKind::WAV:
        ReadWave(file);
        break;
    case TSoundFileKind::MP3: {
        TMPEGaudio mpeg;
        mpeg.ReadFromMemory(file);
        if (!mpeg.FrameData().Found) {
            Fail("no MPEG audio frame found");
            return;
        }
        FFormatTag = waveFormatMP3File;
        FDataOffset = uint32_t(mpeg.AudioStart());
        FDataSize = uint32_t(mpeg.AudioEnd() - mpeg.AudioStart());
        TakeMPEG(mpeg);
        break;
    }
    case TSoundFileKind::Unknown:
        Fail("neither a WAV nor an MP3 file");
        break;
    }
}

void TWaveReader::ReadWave(TBytes file) {
    const TRiffReader riff(file);
    const auto form = riff.Form("WAVE");
    if (!form) {
        Fail("not a RIFF WAVE file");
        return;
    }
    // Leniency: both chunks are looked for in the whole form, so a "data"
    // chunk before the "fmt " chunk is found too.
    const auto fmt = riff.Find(*form, "fmt ");
    const auto data = riff.Find(*form, "data");
    if (!fmt || !data) {
        Fail(std::string("the WAVE form has no \"") + (fmt ? "data" : "fmt ") + "\" chunk");
        return;
    }
    FFmtOffset = fmt->DataOffset;
    FFmtSize = fmt->DataSize;
    FDataOffset = data->DataOffset;
    FDataSize = data->DataSize;
    const TBytes record = riff.Data(*fmt);
    if (record.size() < 2) {
        Fail("the \"fmt \" chunk at offset " + std::to_string(fmt->Offset) + " holds " +
             std::to_string(record.size()) + " bytes, too few for a format code");
        return;
    }
    FFormatTag = ReadLE16(record, 0);
    if (FFormatTag == waveFormatMPEG || FFormatTag == waveFormatMPEGLayer3) {
        TMPEGaudio mpeg;
        mpeg.ReadFromMemory(riff.Data(*data));
        if (!mpeg.FrameData().Found) {
            Fail("no MPEG audio frame found in the \"data\" chunk at offset " +
                 std::to_string(data->Offset));
            return;
        }
        TakeMPEG(mpeg);
    } else {
        ReadFormatRecord(record);
    }
    if (FDuration == 0 && FSamplesPerSec != 0)
        FDuration = double(FSampleCount) / FSamplesPerSec;
}

// PCM (16-byte record), ADPCM (50 bytes) and the other codes (18 bytes or
// more) share the fields read here.
void TWaveReader::ReadFormatRecord(TBytes record) {
    if (record.size() < 16) {
        Fail("the \"fmt \" chunk at offset " + std::to_string(FFmtOffset - 8) + " holds " +
             std::to_string(record.size()) + " bytes, fewer than a 16-byte format record");
        return;
    }
    FChannels = ReadLE16(record, 2);
    FSamplesPerSec = ReadLE32(record, 4);
    FBitsPerSample = ReadLE16(record, 14);
    if (FChannels == 0 || FSamplesPerSec == 0 || FBitsPerSample == 0)
        throw TMediaError("the WAVE format record at offset " + std::to_string(FFmtOffset) +
                          " gives " + std::to_string(FChannels) + " channels, " +
                          std::to_string(FSamplesPerSec) + " Hz and " +
                          std::to_string(FBitsPerSample) + " bits per sample");
    FSampleCount = Clamp32(uint64_t(FDataSize) * 8 / (uint64_t(FBitsPerSample) * FChannels));
}

void TWaveReader::TakeMPEG(const TMPEGaudio& mpeg) {
    FChannels = mpeg.IsMono() ? 1 : 2;
    FSamplesPerSec = mpeg.SampleRate();
    FBitsPerSample = 16;
    FDuration = mpeg.Duration();
    // Halves to even; only a lying VBR header reaches the clamp.
    FSampleCount =
        uint32_t(std::nearbyint(std::min(FSamplesPerSec * FDuration, double(UINT32_MAX))));
    FSamplesPerFrame = uint16_t(mpeg.SamplesPerFrame());
    FFrameLength = uint16_t(mpeg.AudioFrameLength());
    FBitRate = uint16_t(mpeg.BitRate());
    FFrameCount = mpeg.FrameCount();
    // The sound copies whole frames of the first frame's length: never more
    // of them than the data holds.
    assert(FFrameLength > 0);
    if (uint64_t(FFrameCount) * FFrameLength > FDataSize)
        FFrameCount = FDataSize / FFrameLength;
}

} // namespace pictova
