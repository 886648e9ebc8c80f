#include "movie/FlashSound.h"

#include "media/ByteView.h"
#include "media/WaveReader.h"
#include "movie/FlashMovie.h"
#include "swf/SoundTags.h"
#include "tests/support/Capture.h"
#include "tests/support/MediaBytes.h"
#include "tests/support/Shell.h"
#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ByteVec;
using test::Cat;
using test::Hex;
using test::LE16;
using test::LE32;
using test::MP3Frames;
using test::Raw;
using test::Saved;

const fs::path kAudio = fs::path(PICTOVA_TEST_DATA) / "audio";

std::string Str(const ByteVec& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// A RIFF WAVE file with a 16-byte format record.
ByteVec Wav(uint16_t formatTag, uint16_t channels, uint32_t rate, uint16_t bits,
            const ByteVec& data) {
    const uint16_t blockAlign = uint16_t(channels * ((bits + 7) / 8));
    const ByteVec fmt = Cat({LE16(formatTag), LE16(channels), LE32(rate), LE32(rate * blockAlign),
                             LE16(blockAlign), LE16(bits)});
    const ByteVec pad(data.size() % 2, 0);
    return Cat({Raw("RIFF"), LE32(uint32_t(4 + 8 + fmt.size() + 8 + data.size() + pad.size())),
                Raw("WAVE"), Raw("fmt "), LE32(uint32_t(fmt.size())), fmt, Raw("data"),
                LE32(uint32_t(data.size())), data, pad});
}

// `count` MPEG frames of one header and its frame length, payload zero: what
// the reader and the stream need, not decodable sound.
ByteVec Frames(std::initializer_list<int> header, size_t length, size_t count) {
    ByteVec frame(length, 0);
    size_t i = 0;
    for (const int b : header)
        frame[i++] = uint8_t(b);
    ByteVec out;
    for (size_t k = 0; k < count; ++k)
        out.insert(out.end(), frame.begin(), frame.end());
    return out;
}

// The data of a WAV fixture, cut at its "data" chunk independently of the reader.
std::string WavData(const std::string& file) {
    const size_t at = file.find("data");
    const uint32_t size =
        ReadLE32(TBytes(reinterpret_cast<const uint8_t*>(file.data()), file.size()), at + 4);
    return file.substr(at + 8, size);
}

struct TSoundBlock {
    uint16_t SampleCount = 0;
    int16_t Seek = 0;
    std::string Data;
    bool LongHeader = false;
};

// The stream blocks of a movie in file order, and per ShowFrame whether a
// block came right before it.
struct TStreamView {
    std::vector<TSoundBlock> Blocks;
    std::vector<bool> FrameHasBlock;
    std::string Head;
    std::vector<uint16_t> Codes;
    std::string AllData() const {
        std::string all;
        for (const TSoundBlock& b : Blocks)
            all += b.Data;
        return all;
    }
};

TStreamView StreamOf(const std::string& swf, bool mp3) {
    const test::WalkedMovie walked = test::WalkSwf(swf);
    TStreamView view;
    bool pending = false;
    for (const test::WalkedTag& tag : walked.Tags) {
        view.Codes.push_back(tag.Code);
        if (tag.Code == tagSoundStreamHead2)
            view.Head = tag.Body;
        if (tag.Code == tagSoundStreamBlock) {
            EXPECT_FALSE(pending) << "two blocks in one frame at offset " << tag.Offset;
            TSoundBlock block;
            block.LongHeader = tag.LongHeader;
            if (mp3) {
                const TBytes b(reinterpret_cast<const uint8_t*>(tag.Body.data()), tag.Body.size());
                block.SampleCount = ReadLE16(b, 0);
                block.Seek = int16_t(ReadLE16(b, 2));
                block.Data = tag.Body.substr(4);
            } else {
                block.Data = tag.Body;
            }
            view.Blocks.push_back(block);
            pending = true;
        }
        if (tag.Code == tagShowFrame) {
            view.FrameHasBlock.push_back(pending);
            pending = false;
        }
    }
    return view;
}

class FlashSoundTest : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const ByteVec& bytes) {
        const fs::path file = Dir / name;
        test::WriteFile(file, Str(bytes));
        return file;
    }
    test::TempDir Dir;
};

TEST_F(FlashSoundTest, DescriptionFollowsTheFile) {
    ByteVec format80 = test::AudioFixture("mp3_in_wav_format85_mono_22050.wav");
    const size_t fmt = test::Find(format80, "fmt ");
    ASSERT_EQ(format80[fmt + 8], 85);
    format80[fmt + 8] = 80; // MPEG, here of Layer III data
    struct Case {
        const char* Name;
        ByteVec File;
        uint8_t Format, Rate, Size, Type;
        uint32_t SampleRate;
        uint8_t MinVersion;
    } cases[] = {
        {"stereo16.wav", test::AudioFixture("pcm_s16le_stereo_44100_100ms.wav"), soundUncompressed,
         soundRate44k, 1, 1, 44100, 1},
        {"mono8.WAV", test::AudioFixture("pcm_u8_mono_11025_500ms.wav"), soundUncompressed,
         soundRate11k, 0, 0, 11025, 1},
        {"tagged.mp3", test::AudioFixture("mpeg1_cbr128k_stereo_id3v23_id3v1.mp3"), soundMP3,
         soundRate44k, 1, 1, 44100, 4},
        {"info.Mp3", test::AudioFixture("mpeg2_cbr32k_mono_info.mp3"), soundMP3, soundRate22k, 1, 0,
         22050, 4},
        {"format85.wav", test::AudioFixture("mp3_in_wav_format85_mono_22050.wav"), soundMP3,
         soundRate22k, 1, 0, 22050, 4},
        {"format80.wav", format80, soundMP3, soundRate22k, 1, 0, 22050, 4},
        // 48000 div 5000 = 9 has no rate code; MPEG data carries its own rate.
        {"48k.mp3", Frames({0xFF, 0xFB, 0x94, 0x00}, 384, 10), soundMP3, soundRate5k, 1, 1, 48000,
         4},
        {"adpcm.wav", Wav(waveFormatADPCM, 1, 22050, 4, ByteVec(256, 0x11)), soundADPCM,
         soundRate22k, 1, 0, 22050, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFlashSound sound(nullptr, Write(c.Name, c.File));
        EXPECT_EQ(sound.SoundFormat(), c.Format);
        EXPECT_EQ(sound.SoundRate(), c.Rate);
        EXPECT_EQ(sound.SoundSize(), c.Size);
        EXPECT_EQ(sound.SoundType(), c.Type);
        EXPECT_EQ(sound.SampleRate(), c.SampleRate);
        EXPECT_EQ(sound.MinVersion(), c.MinVersion);
        EXPECT_GT(sound.Duration(), 0);
    }
}

TEST_F(FlashSoundTest, EventSoundCarriesTheFileDataUnchanged) {
    struct Case {
        const char* Fixture;
        std::string Data;
        std::string Head; // the DefineSound fields after SoundId
    };
    const std::string wav = test::ReadFileBytes(kAudio / "pcm_s16le_stereo_44100_100ms.wav");
    const std::string mp3 = test::ReadFileBytes(kAudio / "mpeg1_cbr128k_stereo_id3v23_id3v1.mp3");
    const Case cases[] = {
        {"pcm_s16le_stereo_44100_100ms.wav", WavData(wav),
         Bytes({
             0x0F,                  // uncompressed, 44 kHz, 16-bit, stereo
             0x3A, 0x11, 0x00, 0x00 // 4410 samples
         })},
        {"mpeg1_cbr128k_stereo_id3v23_id3v1.mp3", MP3Frames(mp3),
         Bytes({
             0x2F,                   // MP3, 44 kHz, 16-bit, stereo
             0x80, 0x5E, 0x00, 0x00, // 24192 samples: 21 frames of 1152
             0x00, 0x00              // SeekSamples
         })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Fixture);
        TFlashMovie movie(0, 0, 10, 10, 20, true);
        TFlashSound& sound = movie.AddSound(kAudio / c.Fixture);
        EXPECT_EQ(sound.CharacterId(), 1);
        EXPECT_EQ(sound.DataSize(), c.Data.size());
        movie.ShowFrame();
        movie.MakeStream();
        const auto walked = test::WalkSwf(Saved(movie));
        const auto defines = walked.TagsWithCode(tagDefineSound);
        ASSERT_EQ(defines.size(), 1u);
        const std::string& body = defines[0]->Body;
        EXPECT_EQ(Hex(body.substr(0, 2 + c.Head.size())), Hex(Bytes({1, 0}) + c.Head));
        EXPECT_TRUE(body.substr(2 + c.Head.size()) == c.Data) << "data differs";
    }
}

TEST_F(FlashSoundTest, SoundsWithoutDataWriteOnlyTheirFields) {
    const struct Case {
        const char* Name;
        fs::path File;
        std::string Body;
    } cases[] = {
        {"missing file", Dir / "missing.mp3",
         Bytes({
             0x01, 0x00,            // SoundId
             0x00,                  // uncompressed, 5.5 kHz, 8-bit, mono
             0x00, 0x00, 0x00, 0x00 // no samples
         })},
        {"ADPCM", Write("adpcm.wav", Wav(waveFormatADPCM, 1, 22050, 4, ByteVec(100, 0x11))),
         Bytes({
             0x01, 0x00,            // SoundId
             0x1A,                  // ADPCM, 22 kHz, "16-bit" (not 8), mono
             0xC8, 0x00, 0x00, 0x00 // 200 samples of 4 bits
         })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFlashMovie movie(0, 0, 10, 10, 20, true);
        movie.AddSound(c.File);
        movie.ShowFrame();
        movie.MakeStream();
        const auto walked = test::WalkSwf(Saved(movie));
        const auto defines = walked.TagsWithCode(tagDefineSound);
        ASSERT_EQ(defines.size(), 1u);
        EXPECT_EQ(Hex(defines[0]->Body), Hex(c.Body));
    }
}

TEST_F(FlashSoundTest, FilesAMovieCannotPlayAreRefusedWithTheReason) {
    const ByteVec layer2 = Frames({0xFF, 0xFD, 0x80, 0x00}, 417, 10);
    const struct Case {
        const char* Name;
        ByteVec File;
        const char* Reason;
    } cases[] = {
        {"24bit.wav", Wav(waveFormatPCM, 2, 44100, 24, ByteVec(600, 0)), "24 bits per sample"},
        {"48k.wav", Wav(waveFormatPCM, 2, 48000, 16, ByteVec(400, 0)), "48000 Hz"},
        {"16k.wav", Wav(waveFormatPCM, 1, 16000, 16, ByteVec(400, 0)), "16000 Hz"},
        {"surround.wav", Wav(waveFormatPCM, 6, 44100, 16, ByteVec(1200, 0)), "6 channels"},
        {"float.wav", Wav(3, 1, 44100, 32, ByteVec(400, 0)), "format code 3"},
        {"nochannels.wav", Wav(waveFormatPCM, 0, 44100, 16, ByteVec(400, 0)), "0 channels"},
        {"layer2.mp3", layer2, "Layer II"},
        {"layer2.wav", Wav(waveFormatMPEG, 2, 44100, 0, layer2), "Layer II"},
        {"text.mp3", Raw("This is not a sound at all, only a few words."), "no MPEG audio frame"},
        {"riff.wav", Raw("RIFF\x04\x00\x00\x00WAVX"), "not a RIFF WAVE file"},
        {"music.ogg", Raw("OggS"), "neither a WAV nor an MP3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path file = Write(c.Name, c.File);
        TFlashMovie movie(0, 0, 10, 10, 20, true);
        try {
            movie.AddSound(file);
            ADD_FAILURE() << "no error";
        } catch (const TMediaError& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.Reason), std::string::npos) << e.what();
        }
        EXPECT_EQ(movie.NextCharacterId(), 1) << "a refused sound takes no ID";
        EXPECT_EQ(movie.Sounds().Count(), 0u);
    }
}

TEST_F(FlashSoundTest, StartSoundFollowsTheDefinitionAndRaisesTheVersion) {
    TFlashMovie movie(0, 0, 10, 10, 20, true);
    movie.SetVersion(3);
    TFlashSound& sound = movie.AddSound(kAudio / "mpeg2_cbr32k_mono_info.mp3");
    TSWFStartSound& start = movie.StartSound(sound.CharacterId());
    start.SetLoopCount(3);
    movie.ShowFrame();
    movie.MakeStream();
    EXPECT_EQ(movie.Sounds().Count(), 1u);
    EXPECT_EQ(movie.Sounds()[0], &sound);
    const auto walked = test::WalkSwf(Saved(movie));
    ASSERT_GE(walked.Tags.size(), 3u);
    EXPECT_EQ(walked.Tags[0].Code, tagDefineSound);
    EXPECT_EQ(walked.Tags[1].Code, tagStartSound);
    EXPECT_EQ(Hex(walked.Tags[1].Body), Hex(Bytes({
                                            0x01, 0x00, // SoundId
                                            0x04,       // HasLoops
                                            0x03, 0x00, // LoopCount
                                        })));
    EXPECT_EQ(walked.Version, 4) << "MP3 sound needs SWF 4";
}

TEST_F(FlashSoundTest, UncompressedStreamWritesOneFrameOfSamplesPerBlock) {
    const struct Case {
        const char* Fixture;
        bool Loop;
        uint16_t Frames;
        uint32_t SamplesPerBlock, BlockSize;
        std::string Head;
        size_t Blocks;
        uint8_t Silence;
    } cases[] = {
        // 5513 samples of 1 byte: ten full blocks of 551 and one of 3 bytes,
        // filled up with the silence of unsigned samples.
        {"pcm_u8_mono_11025_500ms.wav", false, 15, 551, 551,
         Bytes({
             0x04,       // playback: 11 kHz, 8-bit, mono
             0x34,       // stream: uncompressed little-endian, 11 kHz, 8-bit, mono
             0x27, 0x02, // 551 samples per frame
         }),
         11, 0x80},
        {"pcm_u8_mono_11025_500ms.wav", true, 15, 551, 551, "\x04\x34\x27\x02", 15, 0},
        // 4410 samples of 4 bytes: two blocks of 2205 samples.
        {"pcm_s16le_stereo_44100_100ms.wav", false, 5, 2205, 8820,
         Bytes({
             0x0F,       // playback: 44 kHz, 16-bit, stereo
             0x3F,       // stream: uncompressed little-endian, 44 kHz, 16-bit, stereo
             0x9D, 0x08, // 2205 samples per frame
         }),
         2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Fixture) + (c.Loop ? " looped" : ""));
        TFlashMovie movie(0, 0, 10, 10, 20, true);
        movie.SetVersion(3);
        EXPECT_FALSE(movie.HasSoundStream());
        TFlashSound& stream = movie.SoundStream();
        EXPECT_TRUE(movie.HasSoundStream());
        EXPECT_TRUE(stream.Loop) << "the movie's stream loops unless told otherwise";
        stream.Loop = c.Loop;
        stream.LoadFromFile(kAudio / c.Fixture);
        movie.ShowFrame(c.Frames);
        movie.MakeStream();
        EXPECT_EQ(stream.SamplesPerBlock(), c.SamplesPerBlock);
        EXPECT_EQ(stream.BlockSize(), c.BlockSize);

        const std::string swf = Saved(movie);
        const TStreamView view = StreamOf(swf, false);
        ASSERT_GE(view.Codes.size(), 1u);
        EXPECT_EQ(view.Codes[0], tagSoundStreamHead2) << "the head precedes all objects";
        EXPECT_EQ(Hex(view.Head), Hex(c.Head));
        ASSERT_EQ(view.Blocks.size(), c.Blocks);
        for (size_t f = 0; f < view.FrameHasBlock.size(); ++f)
            EXPECT_EQ(view.FrameHasBlock[f], f < c.Blocks) << "frame " << f;
        for (const TSoundBlock& b : view.Blocks) {
            EXPECT_EQ(b.Data.size(), c.BlockSize);
            EXPECT_TRUE(b.LongHeader);
        }
        const std::string data = WavData(test::ReadFileBytes(kAudio / c.Fixture));
        const std::string all = view.AllData();
        std::string expected;
        while (expected.size() < all.size())
            expected += c.Loop ? data : data + std::string(all.size(), char(c.Silence));
        EXPECT_TRUE(all == expected.substr(0, all.size())) << "stream data differs";
        EXPECT_EQ(test::WalkSwf(swf).Version, 4) << "little-endian sound needs SWF 4";
    }
}

TEST_F(FlashSoundTest, MP3StreamCopiesWholeFramesAlongTheTimeline) {
    // 44.1 kHz, 1152 samples per frame, 21 frames of 417 and 418 bytes
    // (padding): at 20 frames per second a frame takes 2205 samples.
    const std::string frames =
        MP3Frames(test::ReadFileBytes(kAudio / "mpeg1_cbr128k_stereo_id3v23_id3v1.mp3"));
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "looped" : "once");
        TFlashMovie movie(0, 0, 10, 10, 20, true);
        TFlashSound& stream = movie.SoundStream();
        stream.Loop = loop;
        stream.LoadFromFile(kAudio / "mpeg1_cbr128k_stereo_id3v23_id3v1.mp3");
        EXPECT_EQ(stream.FrameCount(), 21u);
        movie.ShowFrame(30);
        movie.MakeStream();
        const TStreamView view = StreamOf(Saved(movie), true);
        EXPECT_EQ(Hex(view.Head), Hex(Bytes({
                                      0x0F,       // playback: 44 kHz, 16-bit, stereo
                                      0x2F,       // stream: MP3, 44 kHz, 16-bit, stereo
                                      0x9D, 0x08, // 2205 samples per frame
                                      0x00, 0x00, // LatencySeek
                                  })));
        ASSERT_GE(view.Blocks.size(), 4u);
        // (samples, seek): the first block holds (0 + 2205) div 1152 = 1 frame;
        // each later one the frames that end before its frame does.
        const std::pair<int, int> first[] = {{1152, 0}, {2304, 1053}, {2304, 954}, {2304, 855}};
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(view.Blocks[k].SampleCount, first[k].first) << "block " << k;
            EXPECT_EQ(view.Blocks[k].Seek, first[k].second) << "block " << k;
        }
        uint64_t samples = 0;
        for (const TSoundBlock& b : view.Blocks) {
            samples += b.SampleCount;
            // Every block starts on a frame, whatever the frame lengths.
            ASSERT_GE(b.Data.size(), 2u);
            EXPECT_EQ(uint8_t(b.Data[0]), 0xFF);
            EXPECT_EQ(uint8_t(b.Data[1]) & 0xE0, 0xE0);
        }
        const std::string all = view.AllData();
        if (loop) {
            EXPECT_EQ(view.Blocks.size(), 30u);
            EXPECT_LE(samples, 30u * 2205);
            EXPECT_GT(samples, 30u * 2205 - 1152);
            std::string expected;
            while (expected.size() < all.size())
                expected += frames;
            EXPECT_TRUE(all == expected.substr(0, all.size())) << "looped data differs";
        } else {
            // 21 frames are used up after 11 blocks; later frames have none.
            EXPECT_EQ(view.Blocks.size(), 11u);
            EXPECT_EQ(samples, 21u * 1152);
            EXPECT_TRUE(all == frames) << "stream data differs from the file's frames";
            for (size_t f = 0; f < view.FrameHasBlock.size(); ++f)
                EXPECT_EQ(view.FrameHasBlock[f], f < 11) << "frame " << f;
        }
    }
}

TEST_F(FlashSoundTest, VBRStreamCopiesFramesOfEveryLength) {
    // MPEG-2, 22050 Hz mono, 576 samples per frame; frames of 26 to 365
    // bytes after a "Xing" frame of 182 bytes, which holds no sound.
    const std::string file = test::ReadFileBytes(kAudio / "mpeg2_vbr_mono_xing.mp3");
    const std::string frames = MP3Frames(file);
    ASSERT_EQ(frames.compare(13, 4, "Xing"), 0) << "after the header and the side information";
    const std::string audio = frames.substr(182);
    TFlashMovie movie(0, 0, 10, 10, 20, true);
    TFlashSound& stream = movie.SoundStream();
    stream.Loop = false;
    stream.LoadFromFile(kAudio / "mpeg2_vbr_mono_xing.mp3");
    movie.ShowFrame(40);
    movie.MakeStream();
    const TStreamView view = StreamOf(Saved(movie), true);
    uint64_t samples = 0;
    for (const TSoundBlock& b : view.Blocks) {
        samples += b.SampleCount;
        ASSERT_GE(b.Data.size(), 2u);
        EXPECT_EQ(uint8_t(b.Data[0]), 0xFF);
        EXPECT_EQ(uint8_t(b.Data[1]) & 0xE0, 0xE0);
    }
    EXPECT_EQ(samples, uint64_t(stream.FrameCount()) * 576);
    EXPECT_TRUE(view.AllData() == audio) << "stream data differs from the file's sound frames";
}

TEST_F(FlashSoundTest, AssignCopiesTheSoundAndItsFile) {
    TFlashMovie movie(0, 0, 10, 10, 20, true);
    TFlashSound& original = movie.AddSound(kAudio / "pcm_u8_mono_11025_500ms.wav");
    auto copy = std::make_unique<TFlashSound>();
    copy->Assign(original);
    EXPECT_EQ(copy->GetOwner(), &movie);
    EXPECT_EQ(copy->CharacterId(), original.CharacterId());
    EXPECT_EQ(copy->DataSize(), original.DataSize());
    std::ostringstream a, b;
    TBitsEngine ea(a), eb(b);
    original.WriteToStream(ea);
    copy->WriteToStream(eb);
    EXPECT_TRUE(a.str() == b.str());
    EXPECT_EQ(a.str().size(), 6u + 7 + original.DataSize()); // long tag header
}

TEST_F(FlashSoundTest, StreamHeadFollowsTheBackgroundAndPrecedesProtect) {
    TFlashMovie movie(0, 0, 10, 10, 20, true);
    movie.BackgroundColor().SetRGB(SWFRGB{1, 2, 3});
    movie.Protect("");
    movie.SoundStream().LoadFromFile(kAudio / "mpeg2_cbr32k_mono_info.mp3");
    movie.ShowFrame(2);
    movie.MakeStream();
    const TStreamView view = StreamOf(Saved(movie), true);
    EXPECT_EQ(view.Codes, (std::vector<uint16_t>{tagSetBackgroundColor, tagSoundStreamHead2,
                                                 tagProtect, tagSoundStreamBlock, tagShowFrame,
                                                 tagSoundStreamBlock, tagShowFrame, tagEnd}));
    // MakeStream may run again and starts the stream from the beginning.
    const std::string first = Saved(movie);
    movie.MakeStream();
    EXPECT_EQ(StreamOf(Saved(movie), true).AllData(), StreamOf(first, true).AllData());
}

TEST_F(FlashSoundTest, StreamRatesThatNoBlockCanHoldAreAnError) {
    TFlashMovie zero(0, 0, 10, 10, 0, true);
    zero.SoundStream().LoadFromFile(kAudio / "pcm_u8_mono_11025_500ms.wav");
    zero.ShowFrame();
    EXPECT_THROW(zero.MakeStream(), std::runtime_error);
    // 44100 Hz at half a frame per second: 88200 samples per frame.
    TFlashMovie slow(0, 0, 10, 10, 0.5f, true);
    slow.SoundStream().LoadFromFile(kAudio / "pcm_s16le_stereo_44100_100ms.wav");
    slow.ShowFrame();
    EXPECT_THROW(slow.MakeStream(), std::runtime_error);
}

// ffmpeg reads streamed sound (not event sounds): the movie's stream decodes
// to the samples of the MP3 file it came from.
TEST_F(FlashSoundTest, FfmpegReadsTheStreamAsTheFilesMP3) {
    if (!test::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    const fs::path mp3 = kAudio / "mpeg1_cbr128k_stereo_id3v23_id3v1.mp3";
    const std::string decode = " -map 0:a -f s16le -acodec pcm_s16le -";
    const std::string reference =
        test::RunCommand("ffmpeg -v error -i " + test::Quote(mp3) + decode);
    ASSERT_EQ(reference.size(), 21u * 1152 * 2 * 2);
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "looped" : "once");
        TFlashMovie movie(0, 0, 64, 48, 20, true);
        movie.SetVersion(6);
        TFlashSound& stream = movie.SoundStream();
        stream.Loop = loop;
        stream.LoadFromFile(mp3);
        movie.ShowFrame(40); // two seconds: the file plays four times over
        movie.MakeStream();
        const fs::path file = Dir / (loop ? "looped.swf" : "once.swf");
        movie.SaveToFile(file);
        EXPECT_EQ(test::RunCommand("ffprobe -v error -show_entries stream=codec_name,codec_type,"
                                   "sample_rate,channels -of csv=p=0 " +
                                   test::Quote(file)),
                  "mp3,audio,44100,2\n");
        const std::string pcm =
            test::RunCommand("ffmpeg -v error -i " + test::Quote(file) + decode);
        if (!loop) {
            EXPECT_TRUE(pcm == reference) << "decoded " << pcm.size() << " bytes";
        } else {
            // As long as the frames (within one MP3 frame), and the file over
            // and over.
            const size_t samples = pcm.size() / 4;
            EXPECT_LE(samples, 40u * 2205);
            EXPECT_GT(samples, 40u * 2205 - 1152);
            EXPECT_TRUE(pcm.substr(0, reference.size()) == reference);
            // The decoder carries filter state across the loop point: from
            // the third frame of the second pass on, the samples agree again.
            const size_t skip = 2 * 1152 * 4;
            EXPECT_TRUE(pcm.substr(reference.size() + skip, reference.size() - skip) ==
                        reference.substr(skip));
        }
    }
}

} // namespace
} // namespace pictova
