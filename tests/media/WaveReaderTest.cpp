#include "media/WaveReader.h"
#include "media/MPEGAudio.h"
#include "media/RiffReader.h"
#include "tests/support/MediaBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace pictova {
namespace {

using namespace test;
namespace fs = std::filesystem;

// A RIFF chunk with its pad byte after odd-sized data.
ByteVec Chunk(std::string_view id, const ByteVec& data) {
    ByteVec c = Cat({Raw(id), LE32(uint32_t(data.size())), data});
    if (data.size() & 1)
        c.push_back(0);
    return c;
}

ByteVec Riff(std::string_view form, const ByteVec& chunks) {
    return Cat({Raw("RIFF"), LE32(uint32_t(4 + chunks.size())), Raw(form), chunks});
}

// A format record: code, channels, rate, bytes per second, block align, bits.
ByteVec Format(uint16_t code, uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint16_t align = uint16_t(channels * bits / 8);
    return Cat(
        {LE16(code), LE16(channels), LE32(rate), LE32(rate * align), LE16(align), LE16(bits)});
}

TWaveReader ReadWav(const ByteVec& file) {
    return TWaveReader(file, TSoundFileKind::WAV);
}

void ExpectEmpty(const TWaveReader& r) {
    EXPECT_EQ(r.FormatTag(), 0);
    EXPECT_EQ(r.Channels(), 0);
    EXPECT_EQ(r.SamplesPerSec(), 0u);
    EXPECT_EQ(r.BitsPerSample(), 0);
    EXPECT_EQ(r.SampleCount(), 0u);
    EXPECT_EQ(r.FmtOffset(), 0u);
    EXPECT_EQ(r.DataOffset(), 0u);
    EXPECT_EQ(r.DataSize(), 0u);
    EXPECT_EQ(r.FrameCount(), 0u);
    EXPECT_EQ(r.Duration(), 0);
    EXPECT_FALSE(r.Problem().empty());
}

std::string FixturePath(const char* name) {
    return std::string(PICTOVA_TEST_DATA) + "/audio/" + name;
}

TEST(WaveReader, PcmFilesMadeByAnIndependentEncoder) {
    struct Row {
        const char* file;
        uint16_t channels, bits;
        uint32_t hertz, dataOffset, dataSize, samples;
        double probeDuration; // what ffprobe 5.1 reports
    };
    // ffmpeg writes "fmt " at 12 (data at 20) and a LIST chunk before "data".
    const Row rows[] = {
        {"pcm_s16le_stereo_44100_100ms.wav", 2, 16, 44100, 78, 17640, 4410, 0.100000},
        {"pcm_u8_mono_11025_500ms.wav", 1, 8, 11025, 78, 5513, 5513, 0.500045},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        const TWaveReader wav{fs::path(FixturePath(r.file))};
        EXPECT_EQ(wav.Problem(), "");
        EXPECT_EQ(wav.FormatTag(), waveFormatPCM);
        EXPECT_EQ(wav.Channels(), r.channels);
        EXPECT_EQ(wav.SamplesPerSec(), r.hertz);
        EXPECT_EQ(wav.BitsPerSample(), r.bits);
        EXPECT_EQ(wav.FmtOffset(), 20u);
        EXPECT_EQ(wav.FmtSize(), 16u);
        EXPECT_EQ(wav.DataOffset(), r.dataOffset);
        EXPECT_EQ(wav.DataSize(), r.dataSize);
        EXPECT_EQ(wav.SampleCount(), r.samples);
        EXPECT_NEAR(wav.Duration(), r.probeDuration, 1e-6);
        EXPECT_EQ(wav.FrameCount(), 0u);
    }
}

TEST(WaveReader, SampleCountsOfFormatRecords) {
    struct Row {
        const char* name;
        ByteVec format;
        uint32_t dataSize, samples;
        double duration;
    };
    const Row rows[] = {
        {"16-bit stereo, one second", Format(waveFormatPCM, 2, 44100, 16), 44100 * 4, 44100, 1.0},
        {"8-bit mono", Format(waveFormatPCM, 1, 11025, 8), 1000, 1000, 1000 / 11025.0},
        // ADPCM's 50-byte record: the same fields, 4 bits per sample.
        {"ADPCM", Cat({Format(waveFormatADPCM, 1, 22050, 4), Fill(34)}), 2048, 4096,
         4096 / 22050.0},
        // Any other code is read the same way (here the extensible format).
        {"extensible", Cat({Format(0xFFFE, 2, 48000, 24), Fill(24)}), 600, 100, 100 / 48000.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const TWaveReader wav =
            ReadWav(Riff("WAVE", Cat({Chunk("fmt ", r.format), Chunk("data", Fill(r.dataSize))})));
        EXPECT_EQ(wav.Problem(), "");
        EXPECT_EQ(wav.FormatTag(), ReadLE16(r.format, 0));
        EXPECT_EQ(wav.FmtSize(), r.format.size());
        EXPECT_EQ(wav.DataOffset(), 12 + 8 + r.format.size() + 8);
        EXPECT_EQ(wav.DataSize(), r.dataSize);
        EXPECT_EQ(wav.SampleCount(), r.samples);
        EXPECT_DOUBLE_EQ(wav.Duration(), r.duration);
    }
}

TEST(WaveReader, OddSizedChunksArePadded) {
    const ByteVec file = Riff("WAVE", Cat({Chunk("fmt ", Format(1, 1, 8000, 8)),
                                           Chunk("junk", Raw("odd")),   // 3 bytes + pad
                                           Chunk("data", Fill(101))})); // the last pad too
    ASSERT_EQ(Find(file, "data"), 12u + 24 + 12);
    const TWaveReader wav = ReadWav(file);
    EXPECT_EQ(wav.DataOffset(), 12u + 24 + 12 + 8);
    EXPECT_EQ(wav.DataSize(), 101u);

    // The pad byte of the last chunk may be missing at the end of the file.
    ByteVec unpadded = file;
    unpadded.pop_back();
    EXPECT_EQ(ReadWav(unpadded).DataSize(), 101u);

    // A writer that forgot the pad byte after "junk" leaves "data" out of step.
    const ByteVec shifted = Cat({Raw("RIFF"), LE32(4 + 24 + 11 + 109), Raw("WAVE"),
                                 Chunk("fmt ", Format(1, 1, 8000, 8)), Raw("junk"), LE32(3),
                                 Raw("odd"), Chunk("data", Fill(101))});
    const TWaveReader broken = ReadWav(shifted);
    ExpectEmpty(broken);
    EXPECT_NE(broken.Problem().find("\"data\""), std::string::npos) << broken.Problem();
}

TEST(WaveReader, SizesPastTheEndAreCutToTheFile) {
    // A recording cut short: the sizes claim 10000 data bytes, 500 are there.
    ByteVec file =
        Riff("WAVE", Cat({Chunk("fmt ", Format(1, 2, 44100, 16)), Chunk("data", Fill(500))}));
    const size_t dataSize = Find(file, "data") + 4;
    ASSERT_EQ(ReadLE32(file, dataSize), 500u);
    std::copy_n(LE32(10000).begin(), 4, file.begin() + dataSize);
    std::copy_n(LE32(10000 + 36).begin(), 4, file.begin() + 4);
    TWaveReader wav = ReadWav(file);
    EXPECT_EQ(wav.DataSize(), 500u);
    EXPECT_EQ(wav.SampleCount(), 125u);

    // Writers that stream leave FFFFFFFF in both sizes.
    std::copy_n(LE32(0xFFFFFFFF).begin(), 4, file.begin() + dataSize);
    std::copy_n(LE32(0xFFFFFFFF).begin(), 4, file.begin() + 4);
    wav = ReadWav(file);
    EXPECT_EQ(wav.DataOffset(), 44u);
    EXPECT_EQ(wav.DataSize(), 500u);

    // A "fmt " size past the end leaves too few bytes for the record.
    ByteVec record = Format(1, 2, 44100, 16);
    record.resize(10);
    const ByteVec cutFormat =
        Riff("WAVE", Cat({Chunk("data", Fill(8)), Raw("fmt "), LE32(16), record}));
    const TWaveReader cut = ReadWav(cutFormat);
    ExpectEmpty(cut);
    EXPECT_NE(cut.Problem().find("10 bytes"), std::string::npos) << cut.Problem();
}

TEST(WaveReader, DataBeforeFmtIsFound) {
    const TWaveReader wav = ReadWav(
        Riff("WAVE", Cat({Chunk("data", Fill(40)), Chunk("fmt ", Format(1, 1, 8000, 16))})));
    EXPECT_EQ(wav.DataOffset(), 20u);
    EXPECT_EQ(wav.SampleCount(), 20u);
}

ByteVec RifxOf(ByteVec riff) {
    riff[3] = 'X';
    return riff;
}

TEST(WaveReader, FilesThatAreNotUnderstoodGiveZerosAndAProblem) {
    const ByteVec fmt = Chunk("fmt ", Format(1, 1, 8000, 8));
    const ByteVec data = Chunk("data", Fill(10));
    struct Row {
        const char* name;
        ByteVec file;
        const char* problem;
    };
    const Row rows[] = {
        {"no fmt", Riff("WAVE", data), "no \"fmt \" chunk"},
        {"no data", Riff("WAVE", fmt), "no \"data\" chunk"},
        {"other form", Riff("AVI ", Cat({fmt, data})), "not a RIFF WAVE file"},
        {"big-endian RIFX", RifxOf(Riff("WAVE", Cat({fmt, data}))), "not a RIFF WAVE file"},
        {"empty", {}, "not a RIFF WAVE file"},
        {"cut in the form type", Cat({Raw("RIFF"), LE32(4), Raw("WAV")}), "not a RIFF WAVE file"},
        {"one-byte fmt", Riff("WAVE", Cat({Chunk("fmt ", {1}), data})),
         "too few for a format code"},
        {"MPEG format without frames",
         Riff("WAVE", Cat({Chunk("fmt ", Format(85, 1, 22050, 0)), data})), "no MPEG audio frame"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const TWaveReader wav = ReadWav(r.file);
        ExpectEmpty(wav);
        EXPECT_NE(wav.Problem().find(r.problem), std::string::npos) << wav.Problem();
    }
}

TEST(WaveReader, ZeroChannelsRatesOrBitsAreAnError) {
    for (const ByteVec& format :
         {Format(1, 0, 8000, 8), Format(1, 1, 0, 8), Format(1, 1, 8000, 0)}) {
        const ByteVec file = Riff("WAVE", Cat({Chunk("fmt ", format), Chunk("data", Fill(10))}));
        EXPECT_THROW(ReadWav(file), TMediaError);
    }
    try {
        ReadWav(Riff("WAVE", Cat({Chunk("fmt ", Format(1, 0, 8000, 8)), Chunk("data", Fill(10))})));
    } catch (const TMediaError& e) {
        EXPECT_STREQ(e.what(), "the WAVE format record at offset 20 gives 0 channels, 8000 Hz and "
                               "8 bits per sample");
    }
}

TEST(WaveReader, EveryTruncationOfARealFileStaysInsideIt) {
    const ByteVec whole = AudioFixture("pcm_u8_mono_11025_500ms.wav");
    for (size_t n = 0; n <= whole.size(); n += (n < 200 ? 1 : 97)) {
        const TWaveReader wav = ReadWav(ByteVec(whole.begin(), whole.begin() + n));
        EXPECT_LE(uint64_t(wav.DataOffset()) + wav.DataSize(), n) << "cut at " << n;
        EXPECT_EQ(wav.DataSize() != 0, n > 78) << "cut at " << n;
    }
}

TEST(WaveReader, MpegDataInAWavFile) {
    // ffmpeg's format 85 file: 4284 bytes of 32 kbit/s frames of 104 and 105
    // bytes in its "data" chunk; ffprobe gives 1.050113 s from the "fact" chunk.
    const TWaveReader wav{fs::path(FixturePath("mp3_in_wav_format85_mono_22050.wav"))};
    EXPECT_EQ(wav.Problem(), "");
    EXPECT_EQ(wav.FormatTag(), waveFormatMPEGLayer3);
    EXPECT_EQ(wav.FmtSize(), 30u);
    EXPECT_EQ(wav.DataOffset(), 104u); // the RIFF data chunk, kept
    EXPECT_EQ(wav.DataSize(), 4284u);
    EXPECT_EQ(wav.Channels(), 1);
    EXPECT_EQ(wav.SamplesPerSec(), 22050u);
    EXPECT_EQ(wav.BitsPerSample(), 16);
    EXPECT_EQ(wav.SamplesPerFrame(), 576);
    EXPECT_EQ(wav.FrameLength(), 104);
    EXPECT_EQ(wav.FrameCount(), 41u); // 4284 / 104
    EXPECT_EQ(wav.BitRate(), 32);
    EXPECT_DOUBLE_EQ(wav.Duration(), 4284 * 8 / 32000.0);
    EXPECT_EQ(wav.SampleCount(), 23616u); // 23615.55 rounded
    EXPECT_LE(std::abs(wav.Duration() - 1.050113), 576 / 22050.0);
}

TEST(WaveReader, Mp3Files) {
    struct Row {
        const char* file;
        uint16_t channels, samplesPerFrame, frameLength, kbits;
        uint32_t hertz, dataOffset, dataSize, frames, samples;
    };
    const Row rows[] = {
        // 204-byte ID3v2 tag, 8777 bytes of frames, 128-byte ID3v1 tag.
        {"mpeg1_cbr128k_stereo_id3v23_id3v1.mp3", 2, 1152, 417, 128, 44100, 204, 8777, 21, 24192},
        // 45-byte tag, then the 182-byte Info frame: the sound starts after it.
        {"mpeg2_cbr32k_mono_info.mp3", 1, 576, 104, 33, 22050, 227, 4284, 41, 23616},
        // The first sound frame of this VBR file is 365 bytes, so only 4 of
        // them fit the data: a sound streams frames of that one length.
        {"mpeg2_vbr_mono_xing.mp3", 1, 576, 365, 14, 22050, 227, 1691, 4, 23616},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        const TWaveReader mp3{fs::path(FixturePath(r.file))};
        EXPECT_EQ(mp3.Problem(), "");
        EXPECT_EQ(mp3.FormatTag(), waveFormatMP3File);
        EXPECT_EQ(mp3.Channels(), r.channels);
        EXPECT_EQ(mp3.SamplesPerSec(), r.hertz);
        EXPECT_EQ(mp3.BitsPerSample(), 16);
        EXPECT_EQ(mp3.SamplesPerFrame(), r.samplesPerFrame);
        EXPECT_EQ(mp3.FrameLength(), r.frameLength);
        EXPECT_EQ(mp3.BitRate(), r.kbits);
        EXPECT_EQ(mp3.FmtOffset(), 0u);
        EXPECT_EQ(mp3.DataOffset(), r.dataOffset);
        EXPECT_EQ(mp3.DataSize(), r.dataSize);
        EXPECT_EQ(mp3.FrameCount(), r.frames);
        EXPECT_EQ(mp3.SampleCount(), r.samples);
        // SampleCount is the playing time in samples, rounded.
        EXPECT_NEAR(mp3.Duration() * r.hertz, r.samples, 0.5);
    }
}

TEST(WaveReader, ALyingFrameCountIsCutToTheData) {
    ByteVec file = AudioFixture("mpeg2_vbr_mono_xing.mp3");
    const size_t frames = Find(file, "Xing") + 8;
    ASSERT_EQ(ReadBE32(file, frames), 41u);
    std::copy_n(BE32(1000000).begin(), 4, file.begin() + frames);
    const TWaveReader mp3(file, TSoundFileKind::MP3);
    EXPECT_EQ(mp3.FrameCount(), 1691u / 365);
    // The playing time follows the header: nothing else tells it.
    EXPECT_DOUBLE_EQ(mp3.Duration(), 1000000 * 576 / 22050.0);
    EXPECT_EQ(mp3.SampleCount(), 576000000u);
}

TEST(WaveReader, TheExtensionChoosesTheReader) {
    EXPECT_EQ(SoundFileKindOf("a/Music.Wav"), TSoundFileKind::WAV);
    EXPECT_EQ(SoundFileKindOf("song.MP3"), TSoundFileKind::MP3);
    EXPECT_EQ(SoundFileKindOf("song.mp2"), TSoundFileKind::Unknown);
    EXPECT_EQ(SoundFileKindOf("wav"), TSoundFileKind::Unknown);

    const fs::path folder =
        fs::temp_directory_path() / ("pictova-wave-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const ByteVec wav = AudioFixture("pcm_u8_mono_11025_500ms.wav");
    const ByteVec mp3 = AudioFixture("mpeg2_cbr32k_mono_info.mp3");
    const auto write = [&](const char* name, const ByteVec& bytes) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return folder / name;
    };
    EXPECT_EQ(TWaveReader(write("Sound.Wav", wav)).SampleCount(), 5513u);
    EXPECT_EQ(TWaveReader(write("Sound.mP3", mp3)).FormatTag(), waveFormatMP3File);
    ExpectEmpty(TWaveReader(write("Sound.mp2", mp3)));
    // A WAV named .mp3 holds no MPEG frames.
    ExpectEmpty(TWaveReader(write("Wave.mp3", wav)));
    const TWaveReader missing(folder / "missing.wav");
    ExpectEmpty(missing);
    EXPECT_NE(missing.Problem().find("missing.wav"), std::string::npos) << missing.Problem();
    // Format errors name the file.
    const fs::path zero =
        write("Zero.wav",
              Riff("WAVE", Cat({Chunk("fmt ", Format(1, 0, 8000, 8)), Chunk("data", Fill(10))})));
    EXPECT_THROW(TWaveReader{zero}, TMediaError);
    try {
        const TWaveReader never{zero};
    } catch (const TMediaError& e) {
        EXPECT_NE(std::string(e.what()).find("Zero.wav\": the WAVE format record"),
                  std::string::npos)
            << e.what();
    }
    fs::remove_all(folder);
}

TEST(RiffReader, ChildrenStopAtAHeaderThatDoesNotFit) {
    const ByteVec file = Cat({Riff("WAVE", Cat({Chunk("abcd", Raw("12345")), Raw("efg")}))});
    const TRiffReader riff(file);
    const auto form = riff.Form("WAVE");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->DataOffset, 12u);
    const auto children = riff.Children(*form);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].Name(), "abcd");
    EXPECT_EQ(children[0].DataSize, 5u);
    EXPECT_FALSE(children[0].Truncated());
    EXPECT_FALSE(riff.Form("AVI "));
}

} // namespace
} // namespace pictova
