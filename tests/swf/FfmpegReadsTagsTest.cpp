// Movies with bitmap and sound tags read back by ffmpeg, an independent SWF
// reader: it decodes JPEG and lossless bitmaps and streamed MP3 sound. Skipped
// when ffmpeg/ffprobe are not installed.

#include "swf/BitmapTags.h"
#include "swf/ControlTags.h"
#include "swf/SWFStream.h"
#include "swf/SoundTags.h"
#include "tests/support/Ffmpeg.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::DecodedPixels;
using test::HaveFfmpeg;
using test::Quote;
using test::ReadFileBytes;
using test::RunCommand;

const fs::path kData = PICTOVA_TEST_DATA;

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "pictova-ffmpeg-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a folder from " + pattern);
        Path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
    fs::path Path;
};

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

// A one-frame movie (or more, when the writer adds ShowFrame tags itself).
void SaveMovie(const fs::path& file, float fps, uint16_t frames,
               const std::function<void(TBitsEngine&)>& writeTags) {
    TBasedSWFStream movie(0, 0, 64, 48, fps, true);
    movie.SetVersion(6);
    TBitsEngine be(movie.Body());
    writeTags(be);
    if (frames == 1)
        TSWFShowFrame().WriteToStream(be);
    TSWFEnd().WriteToStream(be);
    movie.SetFrameCount(frames);
    movie.SaveToFile(file);
}

class FfmpegReadsTags : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveFfmpeg())
            GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    }
    TempFolder Folder;
};

TEST_F(FfmpegReadsTags, JPEG2HoldsOneWellFormedJPEGStream) {
    const std::string file = ReadFileBytes(kData / "testsrc-64x48.jpg");
    ASSERT_EQ(file.substr(0, 2), Bytes({0xFF, 0xD8}));
    ASSERT_EQ(file.substr(file.size() - 2), Bytes({0xFF, 0xD9}));
    // Handed over without the file's own outer markers; the tag adds them.
    const std::string inner = file.substr(2, file.size() - 4);
    const fs::path movie = Folder.Path / "jpeg2.swf";
    SaveMovie(movie, 20, 1, [&](TBitsEngine& be) {
        TSWFDefineBitsJPEG2 tag;
        tag.CharacterId = 1;
        tag.SetDataView(inner.data(), inner.size());
        tag.WriteToStream(be);
    });

    const auto walked = test::WalkSwfFile(movie);
    const auto tags = walked.TagsWithCode(tagDefineBitsJPEG2);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0]->Body.substr(0, 2), Bytes({1, 0}));
    EXPECT_TRUE(tags[0]->Body.substr(2) == file) << "the tag must carry the file unchanged";

    EXPECT_EQ(
        RunCommand("ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 " +
                   Quote(movie)),
        "mjpeg,64,48\n");
    const std::string expected =
        RunCommand("ffmpeg -v error -i " + Quote(kData / "testsrc-64x48.jpg") +
                   " -f rawvideo -pix_fmt rgb24 -");
    ASSERT_EQ(expected.size(), 64u * 48 * 3);
    EXPECT_TRUE(DecodedPixels(movie, "rgb24") == expected);
}

struct LosslessCase {
    const char* Name;
    bool Alpha; // DefineBitsLossless2
    uint8_t Format;
    uint16_t Width, Height;
    std::vector<uint32_t> Colors; // 0xAARRGGBB: the table (format 3) or the pixels
    std::vector<uint8_t> Indices; // format 3
    const char* ProbedFormat;
    bool CompareAlpha;
};

std::string Rgba(uint32_t argb, bool withAlpha) {
    std::string out = Bytes({int(argb >> 16 & 255), int(argb >> 8 & 255), int(argb & 255)});
    if (withAlpha)
        out += char(argb >> 24);
    return out;
}

std::vector<uint32_t> Gradient(int width, int height, bool alpha) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Premultiplied where alpha is below 255: no channel above alpha.
            const uint32_t a = alpha && x % 2 ? 0x80 : 0xFF;
            const uint32_t r = uint32_t(x * 50) * a / 255, g = uint32_t(y * 80) * a / 255;
            pixels.push_back(a << 24 | r << 16 | g << 8 | (0x7F * a / 255));
        }
    return pixels;
}

// The payload as the tag expects it, before compression.
std::string LosslessPayload(const LosslessCase& c) {
    std::string raw;
    if (c.Format == bitmapColorMapped8) {
        for (const uint32_t color : c.Colors)
            raw += c.Alpha ? Rgba(color, true) : Rgba(color, false);
        const size_t row = LosslessRowSize(c.Format, c.Width);
        for (int y = 0; y < c.Height; ++y) {
            std::string line(row, '\0');
            for (int x = 0; x < c.Width; ++x)
                line[size_t(x)] = char(c.Indices[size_t(y * c.Width + x)]);
            raw += line;
        }
    } else {
        for (const uint32_t argb : c.Colors)
            raw += Bytes({c.Alpha ? int(argb >> 24) : 0}) + Rgba(argb, false);
    }
    return raw;
}

std::string ExpectedPixels(const LosslessCase& c) {
    std::string out;
    const size_t count = size_t(c.Width) * c.Height;
    for (size_t i = 0; i < count; ++i)
        out += Rgba(c.Format == bitmapColorMapped8 ? c.Colors[c.Indices[i]] : c.Colors[i],
                    c.CompareAlpha);
    return out;
}

TEST_F(FfmpegReadsTags, LosslessBitmapsDecodeToTheirPixels) {
    std::vector<uint8_t> indices;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            indices.push_back(uint8_t((x + y) % 4));
    const std::vector<uint32_t> table = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF0A141E};
    const LosslessCase cases[] = {
        // ffmpeg ignores the row padding of format 3: widths are multiples of 4.
        {"format 3", false, bitmapColorMapped8, 8, 4, table, indices, "pal8", false},
        {"format 5, odd width", false, bitmapRGB32, 5, 3, Gradient(5, 3, false), {}, "0rgb", false},
        {"Lossless2 format 5", true, bitmapRGB32, 3, 2, Gradient(3, 2, true), {}, "argb", true},
        // ffmpeg 5.1 drops the alpha of colour-table entries: colours only.
        {"Lossless2 format 3",
         true,
         bitmapColorMapped8,
         8,
         4,
         {0xFFC86432, 0x803C1E0A, 0xFF000000, 0x40202020},
         indices,
         "pal8",
         false},
    };
    for (const LosslessCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string raw = LosslessPayload(c);
        const fs::path movie = Folder.Path / (std::string(c.Name) + ".swf");
        SaveMovie(movie, 20, 1, [&](TBitsEngine& be) {
            std::unique_ptr<TSWFDefineBitsLossless> tag =
                c.Alpha ? std::make_unique<TSWFDefineBitsLossless2>()
                        : std::make_unique<TSWFDefineBitsLossless>();
            tag->CharacterId = 1;
            tag->BitmapFormat = c.Format;
            tag->BitmapWidth = c.Width;
            tag->BitmapHeight = c.Height;
            tag->BitmapColorTableSize = uint8_t(c.Colors.size() - 1);
            tag->SetData(CompressBitmapData(raw.data(), raw.size()));
            tag->WriteToStream(be);
        });
        EXPECT_EQ(
            RunCommand("ffprobe -v error -show_entries stream=codec_name,pix_fmt,width,height "
                       "-of csv=p=0 " +
                       Quote(movie)),
            "rawvideo," + std::to_string(c.Width) + "," + std::to_string(c.Height) + "," +
                c.ProbedFormat + "\n");
        EXPECT_EQ(test::Hex(DecodedPixels(movie, c.CompareAlpha ? "rgba" : "rgb24")),
                  test::Hex(ExpectedPixels(c)));
    }
}

// MPEG-2 layer III frames (the fixture's kind), split at their headers.
std::vector<std::string> SplitMP3Frames(const std::string& mp3) {
    static const int kbps[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    static const int rates[4] = {22050, 24000, 16000, 0};
    std::vector<std::string> frames;
    size_t pos = 0;
    while (pos + 4 <= mp3.size()) {
        const auto b = [&](size_t i) { return uint8_t(mp3[pos + i]); };
        if (b(0) != 0xFF || (b(1) & 0xFE) != 0xF2)
            throw std::runtime_error("no MPEG-2 layer III frame at offset " + std::to_string(pos));
        const int bitrate = kbps[b(2) >> 4], rate = rates[(b(2) >> 2) & 3];
        if (bitrate == 0 || rate == 0)
            throw std::runtime_error("bad frame header at offset " + std::to_string(pos));
        const size_t length = size_t(72000 * bitrate / rate + ((b(2) >> 1) & 1));
        if (pos + length > mp3.size())
            throw std::runtime_error("frame at offset " + std::to_string(pos) + " is cut");
        frames.push_back(mp3.substr(pos, length));
        pos += length;
    }
    if (pos != mp3.size())
        throw std::runtime_error("data after the last frame at offset " + std::to_string(pos));
    return frames;
}

constexpr int kSamplesPerFrame = 576; // MPEG-2 layer III

TEST_F(FfmpegReadsTags, DefineSoundCarriesTheMP3Unchanged) {
    const std::string mp3 = ReadFileBytes(kData / "sine440-22k-mono.mp3");
    const auto frames = SplitMP3Frames(mp3);
    ASSERT_EQ(frames.size(), 41u);
    const fs::path movie = Folder.Path / "event-sound.swf";
    SaveMovie(movie, 20, 1, [&](TBitsEngine& be) {
        TSWFDefineSound sound;
        sound.SoundId = 1;
        sound.SoundFormat = soundMP3;
        sound.SoundRate = soundRate22k;
        sound.SoundSize = 1;
        sound.SoundType = 0;
        sound.SoundSampleCount = uint32_t(frames.size() * kSamplesPerFrame);
        sound.OnDataWrite = [&](TSWFDataObject&, TBitsEngine& out) {
            out.WriteBytes(mp3.data(), mp3.size());
        };
        sound.WriteToStream(be);
        TSWFStartSound start;
        start.SoundId = 1;
        start.SetLoopCount(2);
        start.WriteToStream(be);
    });

    // ffmpeg does not read event sounds: walk the tag, then hand its data to
    // ffprobe as an MP3 file.
    const auto walked = test::WalkSwfFile(movie);
    const auto sounds = walked.TagsWithCode(tagDefineSound);
    ASSERT_EQ(sounds.size(), 1u);
    const std::string& body = sounds[0]->Body;
    EXPECT_EQ(test::Hex(body.substr(0, 9)), test::Hex(Bytes({
                                                0x01, 0x00,             // SoundId
                                                0x2A,                   // MP3, 22 kHz, 16-bit, mono
                                                0x40, 0x5C, 0x00, 0x00, // 41 * 576 samples
                                                0x00, 0x00,             // SeekSamples
                                            })));
    EXPECT_TRUE(body.substr(9) == mp3);
    const auto starts = walked.TagsWithCode(tagStartSound);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0]->Body, Bytes({1, 0, 0x04, 2, 0})); // SoundId, HasLoops, LoopCount

    const fs::path extracted = Folder.Path / "event-sound.mp3";
    WriteFile(extracted, body.substr(9));
    EXPECT_EQ(RunCommand("ffprobe -v error -count_frames -show_entries "
                         "stream=codec_name,sample_rate,channels,nb_read_frames -of csv=p=0 " +
                         Quote(extracted)),
              "mp3,22050,1,41\n");
}

TEST_F(FfmpegReadsTags, StreamedMP3IsReadAsAnAudioStream) {
    const std::string mp3 = ReadFileBytes(kData / "sine440-22k-mono.mp3");
    const auto frames = SplitMP3Frames(mp3);
    constexpr size_t perBlock = 2;
    const uint16_t swfFrames = uint16_t((frames.size() + perBlock - 1) / perBlock);
    const fs::path movie = Folder.Path / "stream.swf";
    // Two MP3 frames (1152 samples) per SWF frame: 22050 / 1152 frames per second.
    SaveMovie(movie, 22050.0f / 1152, swfFrames, [&](TBitsEngine& be) {
        TSWFSoundStreamHead2 head;
        head.PlaybackSoundRate = head.StreamSoundRate = soundRate22k;
        head.PlaybackSoundSize = head.StreamSoundSize = 1;
        head.StreamSoundCompression = soundMP3;
        head.StreamSoundSampleCount = perBlock * kSamplesPerFrame;
        head.WriteToStream(be);
        for (size_t first = 0; first < frames.size(); first += perBlock) {
            std::string data;
            size_t count = 0;
            for (; count < perBlock && first + count < frames.size(); ++count)
                data += frames[first + count];
            TSWFSoundStreamBlock block;
            block.IsMP3 = true;
            block.SampleCount = uint16_t(count * kSamplesPerFrame);
            block.SetDataView(data.data(), data.size());
            block.WriteToStream(be);
            TSWFShowFrame().WriteToStream(be);
        }
    });

    EXPECT_EQ(RunCommand("ffprobe -v error -show_entries stream=codec_name,codec_type,sample_rate,"
                         "channels -of csv=p=0 " +
                         Quote(movie)),
              "mp3,audio,22050,1\n");
    // The stream decodes to exactly the samples of the MP3 file itself.
    const std::string decode = " -map 0:a -f s16le -acodec pcm_s16le -";
    const std::string pcm = RunCommand("ffmpeg -v error -i " + Quote(movie) + decode);
    const std::string reference =
        RunCommand("ffmpeg -v error -i " + Quote(kData / "sine440-22k-mono.mp3") + decode);
    EXPECT_EQ(pcm.size(), frames.size() * kSamplesPerFrame * 2);
    EXPECT_TRUE(pcm == reference);
    // And they are the tone: 440 Hz within its first second (the encoder pads
    // the end with near-silence).
    int crossings = 0;
    const auto sample = [&](size_t i) {
        return int16_t(uint8_t(pcm[2 * i]) | uint8_t(pcm[2 * i + 1]) << 8);
    };
    const size_t from = 2205, to = 19845; // 0.1 s to 0.9 s
    ASSERT_GE(pcm.size(), 2 * to);
    for (size_t i = from + 1; i < to; ++i)
        if ((sample(i - 1) < 0) != (sample(i) < 0))
            ++crossings;
    EXPECT_NEAR(crossings / 2.0 / 0.8, 440, 5);
}

} // namespace
} // namespace pictova
