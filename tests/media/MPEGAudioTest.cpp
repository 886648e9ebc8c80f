#include "media/MPEGAudio.h"
#include "tests/support/MediaBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace pictova {
namespace {

using namespace test;

// MPEG 1 Layer III, 128 kbit/s, 44100 Hz, stereo, no padding: 417 bytes.
const ByteVec kHeader128k = {0xFF, 0xFB, 0x90, 0x00};

// Frames of a header followed by zero bytes up to length.
ByteVec Frames(const ByteVec& header, size_t length, size_t count) {
    ByteVec out;
    for (size_t i = 0; i < count; ++i) {
        out.insert(out.end(), header.begin(), header.end());
        out.resize(out.size() + length - header.size());
    }
    return out;
}

TMPEGaudio Read(const ByteVec& file) {
    TMPEGaudio mpeg;
    mpeg.ReadFromMemory(file);
    return mpeg;
}

// ID3v2 pieces: a frame, and a tag of a given total size (header included).
ByteVec Id3Frame(std::string_view id, const ByteVec& body, uint8_t formatFlags = 0) {
    return Cat({Raw(id), BE32(uint32_t(body.size())), {0, formatFlags}, body});
}

ByteVec Id3Tag(const ByteVec& frames, uint32_t tagSize, uint8_t flags = 0, uint8_t version = 3) {
    const uint32_t n = tagSize - 10; // synchsafe: 7 bits per byte
    ByteVec tag = Cat({Raw("ID3"),
                       {version, 0, flags},
                       {uint8_t(n >> 21 & 0x7F), uint8_t(n >> 14 & 0x7F), uint8_t(n >> 7 & 0x7F),
                        uint8_t(n & 0x7F)},
                       frames});
    EXPECT_LE(tag.size(), tagSize);
    tag.resize(tagSize);
    return tag;
}

TEST(MPEGFrame, HeaderFieldsAndFrameLengths) {
    struct Row {
        ByteVec header;
        uint8_t version, layer, mode;
        uint32_t kbits, hertz, samples, length;
    };
    const Row rows[] = {
        // MPEG 1 Layer III 128 kbit/s 44100 Hz: 144 × 128000 / 44100 = 417.96
        {{0xFF, 0xFB, 0x90, 0x00}, mpegVersion1, mpegLayer3, mpegModeStereo, 128, 44100, 1152, 417},
        {{0xFF, 0xFB, 0x92, 0x00}, mpegVersion1, mpegLayer3, mpegModeStereo, 128, 44100, 1152, 418},
        // MPEG 2 Layer III 64 kbit/s 22050 Hz mono: 72 × 64000 / 22050 = 208.98
        {{0xFF, 0xF3, 0x80, 0xC0}, mpegVersion2, mpegLayer3, mpegModeMono, 64, 22050, 576, 208},
        // MPEG 2.5 Layer III 8 kbit/s 8000 Hz joint stereo: 72
        {{0xFF, 0xE3, 0x18, 0x40},
         mpegVersion25,
         mpegLayer3,
         mpegModeJointStereo,
         8,
         8000,
         576,
         72},
        // MPEG 1 Layer II 384 kbit/s 32000 Hz dual channel: 144 × 384000 / 32000
        {{0xFF, 0xFD, 0xE8, 0x80},
         mpegVersion1,
         mpegLayer2,
         mpegModeDualChannel,
         384,
         32000,
         1152,
         1728},
        // MPEG 1 Layer I 32 kbit/s 44100 Hz: trunc(12 × 32000 / 44100) = 8 slots of
        // 4 bytes; with padding one slot more.
        {{0xFF, 0xFF, 0x10, 0x00}, mpegVersion1, mpegLayer1, mpegModeStereo, 32, 44100, 384, 32},
        {{0xFF, 0xFF, 0x12, 0x00}, mpegVersion1, mpegLayer1, mpegModeStereo, 32, 44100, 384, 36},
        // MPEG 2 Layer I 256 kbit/s 16000 Hz: 12 × 256000 / 16000 = 192 slots
        {{0xFF, 0xF7, 0xE8, 0x00}, mpegVersion2, mpegLayer1, mpegModeStereo, 256, 16000, 384, 768},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.header));
        ASSERT_TRUE(IsFrameHeader(r.header));
        const TMPEGFrameData f = DecodeFrameHeader(r.header);
        EXPECT_EQ(f.VersionID, r.version);
        EXPECT_EQ(f.LayerID, r.layer);
        EXPECT_EQ(f.ModeID, r.mode);
        EXPECT_EQ(MPEGBitRate(f), r.kbits);
        EXPECT_EQ(MPEGSampleRate(f), r.hertz);
        EXPECT_EQ(MPEGSamplesPerFrame(f), r.samples);
        EXPECT_EQ(MPEGFrameLength(f), r.length);
    }
    // Each bit of the header lands in its own field.
    const TMPEGFrameData f = DecodeFrameHeader(ByteVec{0xFF, 0xFA, 0x93, 0x3D});
    EXPECT_TRUE(f.ProtectionBit);
    EXPECT_TRUE(f.PaddingBit);
    EXPECT_TRUE(f.PrivateBit);
    EXPECT_EQ(f.ModeExtensionID, 3);
    EXPECT_TRUE(f.RightsBit);
    EXPECT_TRUE(f.OriginalBit);
    EXPECT_EQ(f.EmphasisID, 1);
}

TEST(MPEGFrame, RejectsReservedAndForbiddenFields) {
    const ByteVec rejected[] = {
        {0xFF, 0xFB, 0xF0, 0x00}, // bit-rate index 15
        {0xFF, 0xFB, 0x00, 0x00}, // bit-rate index 0 (free format)
        {0xFF, 0xFB, 0x90, 0x02}, // emphasis 2
        {0xFF, 0xEB, 0x90, 0x00}, // version 1 (reserved)
        {0xFF, 0xF9, 0x90, 0x00}, // layer 0 (reserved)
        {0xFF, 0xFB, 0x9C, 0x00}, // sample-rate index 3
        {0xFF, 0xDB, 0x90, 0x00}, // only 10 sync bits
        {0xFE, 0xFB, 0x90, 0x00}, //
        {0xFF, 0xFB, 0x90},       // too short
    };
    for (const ByteVec& h : rejected)
        EXPECT_FALSE(IsFrameHeader(h)) << ::testing::PrintToString(h);
}

TEST(MPEGAudio, ALoneSyncIsNoFrame) {
    // FF FB 90 00 with no second header 417 bytes later.
    const TMPEGaudio mpeg = Read(Cat({kHeader128k, Fill(2000)}));
    const TMPEGFrameData& f = mpeg.FrameData();
    EXPECT_FALSE(f.Found);
    EXPECT_EQ(mpeg.Duration(), 0);
    EXPECT_EQ(mpeg.SampleRate(), 0u);
    EXPECT_EQ(mpeg.BitRate(), 0u);
    EXPECT_EQ(mpeg.FrameCount(), 0u);
    EXPECT_EQ(mpeg.FileLength(), 0u); // everything reset
    // The "unknown" values of a reset.
    EXPECT_EQ(f.VersionID, 1);
    EXPECT_EQ(f.SampleRateID, 3);
    EXPECT_EQ(f.ModeID, 4);
    EXPECT_EQ(f.ModeExtensionID, 4);
    EXPECT_EQ(f.EmphasisID, 2);
    EXPECT_EQ(f.LayerID, 0);
}

TEST(MPEGAudio, JunkBeforeTheFirstFrameIsSkipped) {
    // Junk holding a false sync that no second header confirms.
    ByteVec junk = Fill(700, 0x55);
    std::copy(kHeader128k.begin(), kHeader128k.end(), junk.begin() + 100);
    const TMPEGaudio mpeg = Read(Cat({junk, Frames(kHeader128k, 417, 5)}));
    ASSERT_TRUE(mpeg.FrameData().Found);
    EXPECT_EQ(mpeg.FrameData().Position, 700u);
    EXPECT_EQ(mpeg.FrameData().Length, 417u);
    EXPECT_EQ(mpeg.FrameCount(), 5u);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), 5 * 417 * 8 / 128000.0);
    EXPECT_EQ(mpeg.AudioStart(), 700u);

    // The same with a real file: its ID3v2 tag replaced by such junk.
    const ByteVec real = AudioFixture("mpeg1_cbr128k_stereo_id3v23_id3v1.mp3");
    ASSERT_EQ(real[204], 0xFF); // the first frame follows the 204-byte tag
    ByteVec falseSync = Fill(600, 0x20);
    std::copy(real.begin() + 204, real.begin() + 208, falseSync.begin() + 50);
    const TMPEGaudio shifted = Read(Cat({falseSync, ByteVec(real.begin() + 204, real.end())}));
    EXPECT_EQ(shifted.FrameData().Position, 600u);
    EXPECT_EQ(shifted.FrameCount(), 21u);
}

TEST(MPEGAudio, AFirstFrameBeyondTheSearchWindowIsFoundOnlyInTheMiddle) {
    // Frames from byte 2000: the first block tries starts 0..1729 only.
    const ByteVec found = Cat({Fill(2000), Frames(kHeader128k, 417, 20)});
    const TMPEGaudio mpeg = Read(found);
    ASSERT_TRUE(mpeg.FrameData().Found);
    // The middle block starts at 10340 / 2 = 5170; the next frame is at
    // 2000 + 8 × 417 = 5336. Position is that frame's real offset.
    EXPECT_EQ(mpeg.FrameData().Position, 5336u);
    EXPECT_EQ(found[5336], 0xFF);
    EXPECT_EQ(mpeg.FrameCount(), 12u);

    // With 6000 junk bytes the middle (3625) is too far from the frames.
    EXPECT_FALSE(Read(Cat({Fill(6000), Frames(kHeader128k, 417, 3)})).FrameData().Found);
    // A file shorter than a block gets no second search.
    EXPECT_FALSE(Read(Cat({Fill(2000), Frames(kHeader128k, 417, 3)})).FrameData().Found);
}

TEST(MPEGAudio, TheMiddleSearchCountsFromTheEndOfTheID3v2Tag) {
    // A tag larger than the audio: the middle of the audio lies past the tag.
    const ByteVec tag = Id3Tag({}, 20000);
    const ByteVec file = Cat({tag, Fill(2000), Frames(kHeader128k, 417, 20)});
    const TMPEGaudio mpeg = Read(file);
    ASSERT_TRUE(mpeg.FrameData().Found);
    EXPECT_EQ(mpeg.ID3v2().TagSize, 20000u);
    EXPECT_EQ(mpeg.FrameData().Position, 5336u);
    EXPECT_EQ(file[20000 + 5336], 0xFF);
}

TEST(MPEGAudio, AudioSearchStartsAfterTheID3v2Tag) {
    // A 1024-byte tag whose text holds a false sync; the audio follows it.
    const ByteVec tag = Id3Tag(Id3Frame("TXXX", Cat({{0}, Raw("x"), {0}, kHeader128k})), 1024);
    const TMPEGaudio mpeg = Read(Cat({tag, Frames(kHeader128k, 417, 4)}));
    ASSERT_TRUE(mpeg.FrameData().Found);
    EXPECT_EQ(mpeg.ID3v2().TagSize, 1024u);
    EXPECT_EQ(mpeg.FrameData().Position, 0u);
    EXPECT_EQ(mpeg.AudioStart(), 1024u);
    EXPECT_EQ(mpeg.FrameCount(), 4u);
}

TEST(MPEGAudio, ATagSizePastTheEndLeavesTheFalseSyncToTheConfirmation) {
    ByteVec tag = Id3Tag(Id3Frame("TXXX", Cat({{0}, Raw("x"), {0}, kHeader128k})), 1024);
    tag[6] = 0x7F; // the size now claims about 256 MB
    const ByteVec file = Cat({tag, Frames(kHeader128k, 417, 4)});
    const TMPEGaudio mpeg = Read(file);
    EXPECT_TRUE(mpeg.ID3v2().Exists);
    EXPECT_EQ(mpeg.ID3v2().TagSize, 0u);
    // The search starts at byte 0 and passes the unconfirmed sync at 23.
    ASSERT_EQ(Find(file, std::string_view("\xFF\xFB\x90", 3)), 23u);
    ASSERT_TRUE(mpeg.FrameData().Found);
    EXPECT_EQ(mpeg.FrameData().Position, 1024u);
    EXPECT_EQ(mpeg.FrameCount(), 4u);
}

TEST(MPEGAudio, FilesMadeByAnIndependentEncoderAgreeWithItsProbe) {
    struct Row {
        const char* file;
        uint32_t hertz;
        bool mono;
        uint8_t version;
        const char* vbr;
        uint32_t frames, kbits, samplesPerFrame;
        double duration;      // ours
        double probeDuration; // what ffprobe 5.1 reports for the file
    };
    const Row rows[] = {
        // LAME puts an "Info" header (Xing's CBR twin) into a 56 kbit/s frame.
        {"mpeg2_cbr32k_mono_info.mp3", 22050, true, mpegVersion2, "Info", 41, 33, 576,
         41 * 576 / 22050.0, 1.071020},
        {"mpeg2_vbr_mono_xing.mp3", 22050, true, mpegVersion2, "Xing", 41, 14, 576,
         41 * 576 / 22050.0, 1.071020},
        // No VBR header: 8777 bytes of frames between the tags, 21 × 417.96.
        {"mpeg1_cbr128k_stereo_id3v23_id3v1.mp3", 44100, false, mpegVersion1, "", 21, 128, 1152,
         8777 * 8 / 128000.0, 0.556563},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        TMPEGaudio mpeg;
        ASSERT_TRUE(mpeg.ReadFromFile(std::string(PICTOVA_TEST_DATA) + "/audio/" + r.file));
        ASSERT_TRUE(mpeg.FrameData().Found);
        EXPECT_EQ(mpeg.FrameData().LayerID, mpegLayer3);
        EXPECT_EQ(mpeg.FrameData().VersionID, r.version);
        EXPECT_EQ(mpeg.SampleRate(), r.hertz);
        EXPECT_EQ(mpeg.IsMono(), r.mono);
        EXPECT_EQ(mpeg.VBRData().Found, *r.vbr != 0);
        if (mpeg.VBRData().Found) {
            EXPECT_EQ(mpeg.VBRData().Name(), r.vbr);
        }
        EXPECT_EQ(mpeg.FrameCount(), r.frames);
        EXPECT_EQ(mpeg.BitRate(), r.kbits);
        EXPECT_EQ(mpeg.SamplesPerFrame(), r.samplesPerFrame);
        EXPECT_NEAR(mpeg.Duration(), r.duration, 1e-9);
        EXPECT_LE(std::abs(mpeg.Duration() - r.probeDuration), double(r.samplesPerFrame) / r.hertz);
    }
}

TEST(MPEGAudio, TheVBRHeaderFrameIsNoSoundFrame) {
    // ffmpeg's 32 kbit/s file: ID3v2.4 tag of 45 bytes, the Info frame at
    // 56 kbit/s (182 bytes), then frames of 104 or 105 bytes.
    const TMPEGaudio mpeg = Read(AudioFixture("mpeg2_cbr32k_mono_info.mp3"));
    EXPECT_EQ(mpeg.ID3v2().VersionID, 4);
    EXPECT_EQ(mpeg.ID3v2().TagSize, 45u);
    EXPECT_EQ(mpeg.FrameData().Position, 0u);
    EXPECT_EQ(mpeg.FrameData().Length, 182u);
    EXPECT_EQ(mpeg.VBRData().Bytes, 4466u);
    EXPECT_EQ(mpeg.AudioStart(), 45u + 182u);
    EXPECT_EQ(mpeg.AudioFrameLength(), 104u);
    EXPECT_EQ(mpeg.AudioEnd(), 4511u);
}

// One MPEG 1 Layer III stereo frame at 44100 Hz carrying a Xing header at
// offset 36, followed by two plain frames.
ByteVec XingFile(uint32_t flags, uint32_t frames, uint32_t bytes) {
    ByteVec first = Frames(kHeader128k, 417, 1);
    const ByteVec xing = Cat({Raw("Xing"), BE32(flags), BE32(frames), BE32(bytes)});
    std::copy(xing.begin(), xing.end(), first.begin() + 36);
    return Cat({first, Frames(kHeader128k, 417, 2)});
}

TEST(MPEGAudio, XingHeaderGivesFramesAndDuration) {
    const TMPEGaudio mpeg = Read(XingFile(0x0F, 1000, 417000));
    ASSERT_TRUE(mpeg.VBRData().Found);
    EXPECT_EQ(mpeg.VBRData().Name(), "Xing");
    EXPECT_EQ(mpeg.FrameCount(), 1000u);
    EXPECT_NEAR(mpeg.Duration(), 144.0 * 1000 * 8 / 44100, 1e-9); // 26.12 s
    EXPECT_EQ(mpeg.BitRate(), 128u);                              // 417 × 44100 / 144 = 127.7
    EXPECT_EQ(mpeg.AudioStart(), 417u);

    // Without the frames and bytes flags the fields after the flags are
    // something else: the frame formulas apply.
    const TMPEGaudio unflagged = Read(XingFile(0x0C, 1000, 417000));
    EXPECT_FALSE(unflagged.VBRData().Found);
    EXPECT_EQ(unflagged.FrameCount(), 3u);
    EXPECT_EQ(unflagged.AudioStart(), 0u);
    // A count of 0 tells nothing either.
    EXPECT_FALSE(Read(XingFile(0x0F, 0, 417000)).VBRData().Found);
}

TEST(MPEGAudio, VBRIHeaderFollows32BytesAfterTheHeaderInAnyMode) {
    // MPEG 2 Layer III mono at 22050 Hz, 208-byte frames.
    const ByteVec header = {0xFF, 0xF3, 0x80, 0xC0};
    ByteVec first = Frames(header, 208, 1);
    const ByteVec vbri = Cat({Raw("VBRI"), {0, 1, 0x0D, 0x80, 0, 50}, BE32(104000), BE32(500)});
    std::copy(vbri.begin(), vbri.end(), first.begin() + 36);
    const TMPEGaudio mpeg = Read(Cat({first, Frames(header, 208, 3)}));
    ASSERT_TRUE(mpeg.VBRData().Found);
    EXPECT_EQ(mpeg.VBRData().Name(), "VBRI");
    EXPECT_EQ(mpeg.VBRData().Bytes, 104000u);
    EXPECT_EQ(mpeg.FrameCount(), 500u);
    EXPECT_NEAR(mpeg.Duration(), 72.0 * 500 * 8 / 22050, 1e-9);
    EXPECT_EQ(mpeg.BitRate(), 64u); // 208 × 22050 / 72
}

TEST(MPEGAudio, TruncatedLastFrameIsNotCounted) {
    ByteVec file = AudioFixture("mpeg1_cbr128k_stereo_id3v23_id3v1.mp3");
    file.resize(204 + 8560); // 20.5 frames, the ID3v1 tag gone
    const TMPEGaudio mpeg = Read(file);
    EXPECT_FALSE(mpeg.ID3v1().Exists);
    EXPECT_EQ(mpeg.FrameCount(), 20u); // 8560 / 417
    EXPECT_NEAR(mpeg.Duration(), 8560 * 8 / 128000.0, 1e-9);
    EXPECT_EQ(mpeg.AudioEnd(), file.size());
}

TEST(MPEGAudio, EveryTruncationOfARealFileIsReadWithinItsBytes) {
    for (const char* name : {"mpeg2_vbr_mono_xing.mp3", "mpeg1_cbr128k_stereo_id3v23_id3v1.mp3"}) {
        const ByteVec whole = AudioFixture(name);
        for (size_t n = 0; n <= std::min<size_t>(whole.size(), 2400); ++n) {
            const TMPEGaudio mpeg = Read(ByteVec(whole.begin(), whole.begin() + n));
            if (!mpeg.FrameData().Found)
                continue;
            EXPECT_LE(mpeg.AudioStart(), n) << name << " cut at " << n;
            EXPECT_LE(mpeg.AudioEnd(), n);
            if (!mpeg.VBRData().Found) {
                EXPECT_LE(uint64_t(mpeg.FrameCount()) * mpeg.FrameData().Length, n);
            }
        }
    }
}

TEST(ID3v2, TextsOfAVersion3Tag) {
    const ByteVec frames = Cat({
        Id3Frame("TIT2", Cat({{0},
                              Raw("Gr\xFC\xDF"
                                  "e")})), // ISO-8859-1
        // UTF-16 with byte-order marks, little- and big-endian; U+1F3B5 is a
        // surrogate pair.
        Id3Frame("TPE1", Cat({{1, 0xFF, 0xFE},
                              Raw(std::string("\xC4\0r\0z\0", 6)),
                              {0x3C, 0xD8, 0xB5, 0xDF},
                              {0, 0}})),
        Id3Frame("TALB", Cat({{1, 0xFE, 0xFF}, Raw(std::string("\0A\0l\0b", 6))})),
        Id3Frame("TRCK", Cat({{0}, Raw(" 3/12 ")})),
        Id3Frame("TYER", Cat({{0}, Raw("1999")})),
        Id3Frame("TCON", Cat({{0}, Raw("(26)")})),
        // Encoding, language, description, text.
        Id3Frame("COMM", Cat({{0}, Raw("eng"), Raw("short"), {0}, Raw("the comment")})),
        Id3Frame("TXXX", Cat({{0}, Raw("key"), {0}, Raw("value")})),
        // Compressed: not readable as text.
        Id3Frame("TPE1", Cat({{0}, Raw("zipped")}), 0x80),
    });
    TID3v2 tag;
    tag.ReadFromMemory(Cat({Id3Tag(frames, 400), Fill(100)}));
    EXPECT_TRUE(tag.Exists);
    EXPECT_EQ(tag.VersionID, 3);
    EXPECT_EQ(tag.TagSize, 400u);
    EXPECT_EQ(tag.Title, "Grüße");
    EXPECT_EQ(tag.Artist, "Ärz\U0001F3B5");
    EXPECT_EQ(tag.Album, "Alb");
    EXPECT_EQ(tag.Track, "3/12");
    EXPECT_EQ(tag.Year, "1999");
    EXPECT_EQ(tag.Genre, "(26)");
    EXPECT_EQ(tag.Comment, "the comment");
}

TEST(ID3v2, FramesAreBoundedByTheTag) {
    // A text of 299 characters is cut to the first 250 bytes of the body.
    const ByteVec longTitle = Id3Frame("TIT2", Cat({{0}, Fill(299, 'a')}));
    // The last frame claims more bytes than the tag holds.
    ByteVec lying = Id3Frame("TALB", Cat({{0}, Raw("Cut")}));
    lying[7] = 200;
    const ByteVec tag = Id3Tag(Cat({longTitle, lying}), uint32_t(10 + longTitle.size() + 14));
    TID3v2 id3;
    id3.ReadFromMemory(Cat({tag, Raw("not tag data")}));
    EXPECT_EQ(id3.Title, std::string(249, 'a'));
    EXPECT_EQ(id3.Album, "Cut");
}

TEST(ID3v2, UnsynchronisationAndExtendedHeaderAreUndone) {
    // UTF-16 "Hi": the byte-order mark FF FE was written as FF 00 FE.
    const ByteVec body = {1, 0xFF, 0x00, 0xFE, 'H', 0, 'i', 0};
    ByteVec frame = Id3Frame("TIT2", body);
    frame[7] = 7; // the frame size counts the resynchronised bytes
    const ByteVec extended = Cat({BE32(6), Fill(6)});
    TID3v2 tag;
    tag.ReadFromMemory(Id3Tag(Cat({extended, frame}), 64, 0x80 | 0x40));
    EXPECT_EQ(tag.Title, "Hi");
}

TEST(ID3v2, OtherVersionsAndBrokenSizes) {
    TID3v2 tag;
    tag.ReadFromMemory(Id3Tag(Id3Frame("TIT2", Cat({{0}, Raw("v4")})), 100, 0, 4));
    EXPECT_EQ(tag.VersionID, 4);
    EXPECT_EQ(tag.TagSize, 100u);
    EXPECT_EQ(tag.Title, ""); // only version 3 frames are read

    ByteVec past = Id3Tag(Id3Frame("TIT2", Cat({{0}, Raw("x")})), 100);
    past[9] = 0x7F; // 10 + 127 bytes in a file of 100
    tag.ReadFromMemory(past);
    EXPECT_TRUE(tag.Exists);
    EXPECT_EQ(tag.TagSize, 0u);
    EXPECT_EQ(tag.Title, "");

    tag.ReadFromMemory(Raw("ID3\3\0\0\0\0"));
    EXPECT_FALSE(tag.Exists);
}

ByteVec Id3v1(std::string_view title, const ByteVec& comment30, uint8_t genre) {
    ByteVec tag = Cat({Raw("TAG"), Raw(title)});
    tag.resize(3 + 30);
    tag = Cat(
        {tag, Raw("Artist"), Fill(24), Raw("Album"), Fill(25), Raw("1987"), comment30, {genre}});
    EXPECT_EQ(tag.size(), 128u);
    return tag;
}

TEST(ID3v1, VersionsTrackAndTexts) {
    struct Row {
        const char* name;
        ByteVec comment; // 30 bytes
        uint8_t version, track;
        std::string text;
    };
    const Row rows[] = {
        {"full 30-byte comment", Raw("abcdefghijklmnopqrstuvwxyz1234"), 1, 0,
         "abcdefghijklmnopqrstuvwxyz1234"},
        {"NUL before a track", Cat({Raw("short"), Fill(23), {0, 7}}), 2, 7, "short"},
        {"space before a track", Cat({Raw("spaced"), Fill(22, ' '), {' ', 5}}), 2, 5, "spaced"},
        {"two NULs: no track", Cat({Raw("plain"), Fill(25)}), 1, 0, "plain"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TID3v1 tag;
        tag.ReadFromMemory(
            Cat({Fill(500, 0xAA), Id3v1(std::string("Abc\0old", 7), r.comment, 17)}));
        EXPECT_TRUE(tag.Exists);
        EXPECT_EQ(tag.VersionID, r.version);
        EXPECT_EQ(tag.Track, r.track);
        EXPECT_EQ(tag.Comment, r.text);
        EXPECT_EQ(tag.Title, "Abc"); // nothing after the NUL
        EXPECT_EQ(tag.Artist, "Artist");
        EXPECT_EQ(tag.Album, "Album");
        EXPECT_EQ(tag.Year, "1987");
        EXPECT_EQ(tag.GenreID, 17);
        EXPECT_EQ(tag.Genre(), "Rock");
    }
    TID3v1 none;
    none.ReadFromMemory(Fill(127));
    EXPECT_FALSE(none.Exists);
    EXPECT_EQ(none.GenreID, TID3v1::NoGenre);
}

TEST(ID3v1, GenreNames) {
    EXPECT_EQ(TID3v1::GenreName(0), "Blues");
    EXPECT_EQ(TID3v1::GenreName(79), "Hard Rock"); // the last of the original list
    EXPECT_EQ(TID3v1::GenreName(80), "Folk");      // the first extension
    EXPECT_EQ(TID3v1::GenreName(147), "Synthpop");
    EXPECT_EQ(TID3v1::GenreName(148), "");
    EXPECT_EQ(TID3v1::GenreName(255), "");
    for (unsigned id = 0; id < TID3v1::GenreCount; ++id)
        EXPECT_FALSE(TID3v1::GenreName(uint8_t(id)).empty()) << id;
}

TEST(ID3Tags, BothTagsOfARealFile) {
    const TMPEGaudio mpeg = Read(AudioFixture("mpeg1_cbr128k_stereo_id3v23_id3v1.mp3"));
    const TID3v2& v2 = mpeg.ID3v2();
    EXPECT_EQ(v2.VersionID, 3);
    EXPECT_EQ(v2.TagSize, 204u);
    EXPECT_EQ(v2.Title, "Sine at 440 Hz");
    EXPECT_EQ(v2.Artist, "Test Tone Generator");
    EXPECT_EQ(v2.Album, "Fixtures");
    EXPECT_EQ(v2.Track, "7");
    EXPECT_EQ(v2.Year, "2024");
    EXPECT_EQ(v2.Genre, "Ambient");
    EXPECT_EQ(v2.Comment, ""); // ffmpeg writes its comment as TXXX
    const TID3v1& v1 = mpeg.ID3v1();
    EXPECT_TRUE(v1.Exists);
    EXPECT_EQ(v1.VersionID, 2);
    EXPECT_EQ(v1.Title, "Sine at 440 Hz");
    EXPECT_EQ(v1.Artist, "Test Tone Generator");
    EXPECT_EQ(v1.Year, "2024");
    EXPECT_EQ(v1.Comment, "made by ffmpeg");
    EXPECT_EQ(v1.Track, 7);
    EXPECT_EQ(v1.Genre(), "Ambient");
    EXPECT_EQ(mpeg.AudioEnd(), mpeg.FileLength() - 128);
}

TEST(MPEGAudio, UnreadableFile) {
    TMPEGaudio mpeg;
    EXPECT_FALSE(mpeg.ReadFromFile(std::string(PICTOVA_TEST_DATA) + "/audio/missing.mp3"));
    EXPECT_FALSE(mpeg.FrameData().Found);
    EXPECT_EQ(mpeg.Duration(), 0);
}

} // namespace
} // namespace pictova
