#include "show/BackgroundMusic.h"

#include "media/WaveReader.h"
#include "movie/FlashMovie.h"
#include "movie/FlashSound.h"
#include "show/SlideShowBuild.h"
#include "swf/SoundTags.h"
#include "tests/support/MediaBytes.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/Shell.h"
#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Hex;
using test::MP3Frames;

const fs::path kAudio = fs::path(PICTOVA_TEST_DATA) / "audio";
// The repository's own program data, where the built-in tracks live.
const fs::path kRepository = fs::path(PICTOVA_TEST_DATA).parent_path().parent_path();

// A 24-bit BMP of one colour.
std::string Bmp(int width, int height) {
    const int row = (width * 3 + 3) / 4 * 4;
    std::string data(size_t(54 + row * height), '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data[at + size_t(i)] = char(v >> (8 * i));
    };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, uint32_t(data.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    data[26] = 1;
    data[28] = 24;
    for (size_t i = 54; i < data.size(); ++i)
        data[i] = char(0x60);
    return data;
}

TEST(XorCipherFile, EnciphersByteByByteWithTheRepeatingKey) {
    test::TempDir dir;
    const std::string key(kMusicCipherKey);
    ASSERT_EQ(key.size(), 19u);
    // 20 bytes: byte 19 takes key byte 0 again. 70000 bytes: past the
    // 64 KiB blocks the file is worked in.
    for (const size_t size : {size_t(20), size_t(70000)}) {
        SCOPED_TRACE(size);
        const fs::path file = dir / "zeros";
        test::WriteFile(file, std::string(size, '\0'));
        XorCipherFile(key, file);
        const std::string once = test::ReadFileBytes(file);
        ASSERT_EQ(once.size(), size);
        if (size == 20) {
            EXPECT_EQ(once, "ReadPictureHeaderExR");
        }
        for (size_t j = 0; j < size; ++j)
            ASSERT_EQ(once[j], key[j % 19]) << "byte " << j;
        XorCipherFile(key, file);
        EXPECT_EQ(test::ReadFileBytes(file), std::string(size, '\0')) << "its own inverse";
    }
}

TEST(XorCipherFile, EmptyFileOrKeyChangesNothingAndAMissingFileIsAnError) {
    test::TempDir dir;
    const fs::path empty = dir / "empty";
    test::WriteFile(empty, "");
    XorCipherFile(kMusicCipherKey, empty);
    EXPECT_EQ(test::ReadFileBytes(empty), "");
    const fs::path text = dir / "text";
    test::WriteFile(text, "unchanged");
    XorCipherFile("", text);
    EXPECT_EQ(test::ReadFileBytes(text), "unchanged");
    try {
        XorCipherFile(kMusicCipherKey, dir / "missing");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find((dir / "missing").string()), std::string::npos);
    }
}

TEST(MusicLoopCount, LastsTheWholeShow) {
    const struct Case {
        uint32_t Frames;
        double Duration;
        uint16_t Loops;
    } cases[] = {
        {138, 3.5, 2},        // 6.9 s is 7 whole seconds: two plays of 3.5 s
        {140, 3.5, 2},        // exactly two plays
        {141, 3.5, 3},        // 7.05 s is 8 whole seconds
        {20, 3.5, 1},         // a show shorter than the track
        {0, 3.5, 1},          // never less than once
        {138, 0, 1},          // a sound of no duration plays once
        {65535, 0.01, 65535}, // 327 600 plays do not fit 16 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(MusicLoopCount(c.Frames, 20.0, c.Duration), c.Loops)
            << c.Frames << " frames, " << c.Duration << " s";
}

TEST(BackgroundMusicNames, TracksAndWorkingCopies) {
    EXPECT_EQ(BuiltInTrackFile("/opt/p", TAudioChoice::Track1),
              fs::path("/opt/p/data/audio/K4R2T8N6D1"));
    EXPECT_EQ(BuiltInTrackFile("/opt/p", TAudioChoice::Track4),
              fs::path("/opt/p/data/audio/E2U7Y3O5X9"));
    EXPECT_EQ(WorkingCopyExtension("a/Song.WAV"), ".wav");
    EXPECT_EQ(WorkingCopyExtension("a/Song.mp3"), ".mp3");
    EXPECT_EQ(WorkingCopyExtension("a/Song"), ".mp3");
    EXPECT_EQ(MissingMusicFileMessage("/home/u/Lied.mp3"),
              "Die angegebene Audiodatei \"/home/u/Lied.mp3\" existiert nicht und kann daher nicht "
              "eingebunden werden.\n\nBitte korrigieren Sie Ihre Eingabe.");
}

// One show per test, built with the music stages in a temporary folder of
// its own (TMPDIR), so that every working file can be seen.
class BackgroundMusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(Tmp);
        test::WriteFile(PictureFile, Bmp(16, 16));
    }

    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Tmp))
            names.push_back(entry.path().filename().string());
        return names;
    }

    // A track file of the program folder: the given MP3, enciphered.
    void InstallTrack(TAudioChoice track, const fs::path& mp3) {
        const fs::path file = BuiltInTrackFile(Program, track);
        fs::create_directories(file.parent_path());
        fs::copy_file(mp3, file, fs::copy_options::overwrite_existing);
        XorCipherFile(kMusicCipherKey, file);
    }

    struct TPicture {
        int Effect;
        int Duration;
    };
    struct TShow {
        TBuildResult Result;
        std::optional<test::WalkedMovie> Movie;
        std::string Message;  // told to OnMissingFile
        fs::path WorkingCopy; // as it was during the build
        bool WorkingCopyExisted = false;
    };

    // With a preloader stub (one empty frame first) when asked, else without
    // any, so that the music's IDs and loop counts stand alone.
    TShow Build(const TShowOptions& options, std::vector<TPicture> pictures = {{1, 1}},
                bool preloader = false, fs::path picture = {}) {
        TShow show;
        TBackgroundMusic music(options, Program);
        music.OnMissingFile = [&](const std::string& m) { show.Message = m; };
        TBuildServices services;
        music.Install(services);
        const auto attach = services.AttachMusic;
        services.AttachMusic = [&](TFlashMovie& movie, TAttachedMusic& attached) {
            const bool ok = attach(movie, attached);
            show.WorkingCopy = music.WorkingCopy();
            show.WorkingCopyExisted = !show.WorkingCopy.empty() && fs::exists(show.WorkingCopy);
            return ok;
        };
        if (preloader)
            services.AddPreloader = [](TFlashMovie& movie, int, int) {
                movie.ShowFrame();
                return 0;
            };
        else
            services.AddPreloader = nullptr;
        std::vector<recImgItems> items;
        for (const TPicture& p : pictures) {
            recImgItems item;
            item.FileName = picture.empty() ? PictureFile : picture;
            item.Width = item.Height = 16;
            item.Effect = p.Effect;
            item.Duration = p.Duration;
            items.push_back(item);
        }
        TEffectDraw draw(1);
        show.Result = BuildShow(items, options, Output, false, draw, services);
        if (fs::exists(Output))
            show.Movie = test::WalkSwfFile(Output);
        return show;
    }

    static TShowOptions Music(TAudioChoice choice, bool loop = true, fs::path file = {}) {
        TShowOptions options;
        options.Audio = choice;
        options.AudioLoop = loop;
        options.AudioFile = std::move(file);
        return options;
    }

    test::TempDir Dir;
    const fs::path Tmp = Dir / "tmp";
    const test::ScopedEnv TmpDir{"TMPDIR", Tmp.string()};
    const fs::path Program = Dir / "program";
    const fs::path PictureFile = Dir / "picture.bmp";
    const fs::path Output = Dir / "show.swf";
};

TEST_F(BackgroundMusicTest, BuiltInTrackBecomesOneEventSoundStartedAfterThePreloader) {
    const fs::path mp3 = kAudio / "mpeg1_cbr128k_stereo_id3v23_id3v1.mp3";
    InstallTrack(TAudioChoice::Track2, mp3);
    // 21 frames: 2 whole seconds of a 0.549-second track (21 MP3 frames of
    // 1152 samples at 44.1 kHz) take ceil(3.65) = 4 plays.
    for (const bool loop : {true, false}) {
        SCOPED_TRACE(loop ? "looped" : "once");
        const TShow show = Build(Music(TAudioChoice::Track2, loop), {{1, 1}}, true);
        EXPECT_TRUE(show.WorkingCopyExisted);
        EXPECT_EQ(show.WorkingCopy.parent_path(), Tmp);
        EXPECT_EQ(show.WorkingCopy.filename().string().rfind("PCV", 0), 0u);
        EXPECT_EQ(show.WorkingCopy.extension(), ".mp3");
        EXPECT_TRUE(TempFiles().empty()) << "working files left: " << TempFiles().size();

        ASSERT_TRUE(show.Movie);
        EXPECT_EQ(show.Movie->FrameCount, 21);
        const auto& tags = show.Movie->Tags;
        size_t define = 0;
        while (define < tags.size() && tags[define].Code != tagDefineSound)
            ++define;
        ASSERT_LT(define + 1, tags.size());
        EXPECT_EQ(std::count_if(tags.begin(), tags.begin() + std::ptrdiff_t(define),
                                [](const auto& t) { return t.Code == tagShowFrame; }),
                  1)
            << "the music is defined in the frame after the preloader";
        EXPECT_TRUE(tags[define].Body.substr(9) == MP3Frames(test::ReadFileBytes(mp3)))
            << "the deciphered frames, without tags";
        EXPECT_EQ(tags[define + 1].Code, tagStartSound);
        const std::string looped = Bytes({
            0x01, 0x00, // SoundId
            0x04,       // HasLoops
            0x04, 0x00, // LoopCount
        });
        const std::string once = Bytes({
            0x01, 0x00, // SoundId
            0x00,       // no flags: plays once
        });
        EXPECT_EQ(Hex(tags[define + 1].Body), Hex(loop ? looped : once));
    }
}

TEST_F(BackgroundMusicTest, NoMusicAddsNoSound) {
    const TShow show = Build(Music(TAudioChoice::None));
    ASSERT_TRUE(show.Movie);
    EXPECT_TRUE(show.Movie->TagsWithCode(tagDefineSound).empty());
    EXPECT_TRUE(show.Movie->TagsWithCode(tagStartSound).empty());
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(BackgroundMusicTest, OwnWavKeepsItsExtensionAndStaysUncompressed) {
    const fs::path wav = Dir / "Own Song.WAV";
    fs::copy_file(kAudio / "pcm_s16le_stereo_44100_100ms.wav", wav);
    // One second of a 0.1-second sound: ten plays.
    const TShow show = Build(Music(TAudioChoice::OwnFile, true, wav));
    EXPECT_EQ(show.WorkingCopy.extension(), ".wav");
    EXPECT_TRUE(TempFiles().empty());
    ASSERT_TRUE(show.Movie);
    const auto defines = show.Movie->TagsWithCode(tagDefineSound);
    ASSERT_EQ(defines.size(), 1u);
    EXPECT_EQ(uint8_t(defines[0]->Body[2]), 0x0F) << "uncompressed, 44 kHz, 16-bit, stereo";
    EXPECT_EQ(defines[0]->Body.size(), 7u + 4410 * 4);
    const auto starts = show.Movie->TagsWithCode(tagStartSound);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(Hex(starts[0]->Body), Hex(Bytes({0x01, 0x00, 0x04, 0x0A, 0x00})));
}

TEST_F(BackgroundMusicTest, MissingOwnFileAbandonsTheBuildWithTheMessage) {
    for (const fs::path& missing : {Dir / "nowhere.mp3", Dir.path()}) {
        SCOPED_TRACE(missing.string());
        const TShow show = Build(Music(TAudioChoice::OwnFile, true, missing));
        EXPECT_TRUE(show.Result.Abandoned);
        EXPECT_EQ(show.Message, "Die angegebene Audiodatei \"" + missing.string() +
                                    "\" existiert nicht und kann daher nicht eingebunden "
                                    "werden.\n\nBitte korrigieren Sie Ihre Eingabe.");
        EXPECT_FALSE(show.Movie) << "nothing is written";
        EXPECT_TRUE(TempFiles().empty());
    }
}

TEST_F(BackgroundMusicTest, WorkingFilesGoAlsoWhenTheBuildFails) {
    InstallTrack(TAudioChoice::Track1, kAudio / "mpeg2_cbr32k_mono_info.mp3");
    std::optional<TShow> show;
    // The music is attached before the pictures, one of which cannot be read.
    EXPECT_THROW(show = Build(Music(TAudioChoice::Track1), {{1, 1}}, false, Dir / "gone.bmp"),
                 std::runtime_error);
    EXPECT_TRUE(TempFiles().empty()) << "working files left: " << TempFiles().size();
    EXPECT_FALSE(fs::exists(Output));
}

TEST_F(BackgroundMusicTest, MusicThatCannotBeUsedEndsTheBuildWithAClearError) {
    const fs::path text = Dir / "notes.mp3";
    test::WriteFile(text, "only words, no sound");
    const struct Case {
        const char* Name;
        TShowOptions Options;
        std::string Names; // what the message must mention
    } cases[] = {
        {"missing track", Music(TAudioChoice::Track3),
         BuiltInTrackFile(Program, TAudioChoice::Track3).string()},
        {"not a sound", Music(TAudioChoice::OwnFile, true, text), text.string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            Build(c.Options);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(c.Names), std::string::npos) << what;
            EXPECT_EQ(what.find(Tmp.string()), std::string::npos)
                << "the message names the working copy: " << what;
        }
        EXPECT_FALSE(fs::exists(Output));
        EXPECT_TRUE(TempFiles().empty());
    }
}

// ffprobe reads the DefineSound data cut out of a show as the MP3 it is, as
// long as the reader said. Shows with an MP3 made here and, once they are in
// the repository, with each built-in track.
class BackgroundMusicFfprobeTest : public BackgroundMusicTest {
protected:
    void SetUp() override {
        if (!test::HaveFfmpeg())
            GTEST_SKIP() << "ffmpeg/ffprobe not installed";
        BackgroundMusicTest::SetUp();
    }

    // The show's sound data as a file, and the reader's duration.
    void CheckShowSound(const TShow& show, const fs::path& trackFile) {
        ASSERT_TRUE(show.Movie);
        const auto defines = show.Movie->TagsWithCode(tagDefineSound);
        ASSERT_EQ(defines.size(), 1u);
        const fs::path cut = Dir / "cut.mp3";
        test::WriteFile(cut, defines[0]->Body.substr(9));
        const TTemporaryFile plain = MakeMusicWorkingCopy(trackFile, true);
        const TFlashSound sound(nullptr, plain.Path());
        ASSERT_EQ(sound.SoundFormat(), soundMP3);
        const std::string probed =
            test::RunCommand("ffprobe -v error -count_frames -show_entries "
                             "stream=codec_name,sample_rate,nb_read_frames -of csv=p=0 " +
                             test::Quote(cut));
        unsigned rate = 0, frames = 0;
        ASSERT_EQ(std::sscanf(probed.c_str(), "mp3,%u,%u", &rate, &frames), 2) << probed;
        EXPECT_EQ(rate, sound.SampleRate());
        const double frameSeconds = double(sound.SamplesPerFrame()) / rate;
        EXPECT_NEAR(frames * frameSeconds, sound.Duration(), frameSeconds);
    }
};

TEST_F(BackgroundMusicFfprobeTest, ShowWithAThreeAndAHalfSecondTrack) {
    const fs::path mp3 = Dir / "tone.mp3";
    test::RunCommand("ffmpeg -v error -f lavfi -i sine=f=330:d=3.5 -ac 2 -ar 44100 "
                     "-c:a libmp3lame -b:a 128k " +
                     test::Quote(mp3));
    InstallTrack(TAudioChoice::Track1, mp3);
    // Preloader, a fade (26 frames) and a second, a slide (51 frames) and two
    // seconds: 1 + 46 + 91 = 138 frames, 7 whole seconds, two plays.
    const TShow show = Build(Music(TAudioChoice::Track1), {{2, 1}, {3, 2}}, true);
    ASSERT_TRUE(show.Movie);
    EXPECT_EQ(show.Movie->FrameCount, 138);
    CheckShowSound(show, BuiltInTrackFile(Program, TAudioChoice::Track1));
    const auto starts = show.Movie->TagsWithCode(tagStartSound);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(Hex(starts[0]->Body), Hex(Bytes({0x01, 0x00, 0x04, 0x02, 0x00})));
}

TEST_F(BackgroundMusicFfprobeTest, ShowsWithEachBuiltInTrack) {
    int found = 0;
    for (const TAudioChoice track :
         {TAudioChoice::Track1, TAudioChoice::Track2, TAudioChoice::Track3, TAudioChoice::Track4}) {
        const fs::path file = BuiltInTrackFile(kRepository, track);
        if (!fs::exists(file))
            continue;
        SCOPED_TRACE(file.filename().string());
        ++found;
        const fs::path installed = BuiltInTrackFile(Program, track);
        fs::create_directories(installed.parent_path());
        fs::copy_file(file, installed, fs::copy_options::overwrite_existing);
        const TShow show = Build(Music(track), {{1, 5}}, true);
        CheckShowSound(show, file);
        const TTemporaryFile plain = MakeMusicWorkingCopy(file, true);
        const TFlashSound sound(nullptr, plain.Path());
        EXPECT_GE(sound.Duration(), 30.0);
        EXPECT_LE(sound.Duration(), 60.0);
    }
    if (found == 0)
        GTEST_SKIP() << "no built-in track in the repository yet";
}

} // namespace
} // namespace pictova
