#include "swf/SoundTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pictova {
namespace {

using test::Bytes;
using test::Hex;
using test::TagBytes;

const uint8_t kSoundData[] = {0xFF, 0xF3, 0x40};

TEST(DefineSound, SeekSamplesOnlyForMP3) {
    TSWFDefineSound mp3;
    mp3.SoundId = 0x0102;
    mp3.SoundFormat = soundMP3;
    mp3.SoundRate = soundRate22k;
    mp3.SoundSize = 1;
    mp3.SoundType = 0;
    mp3.SoundSampleCount = 23616;
    mp3.SeekSamples = -2;
    mp3.SetDataView(kSoundData, sizeof kSoundData);
    EXPECT_EQ(Hex(TagBytes(mp3)), Hex(Bytes({
                                      0x8C, 0x03,             // code 14, length 12
                                      0x02, 0x01,             // SoundId
                                      0x2A,                   // MP3 2, 22 kHz 2, 16-bit 1, mono 0
                                      0x40, 0x5C, 0x00, 0x00, // SoundSampleCount 23616
                                      0xFE, 0xFF,             // SeekSamples -2
                                      0xFF, 0xF3, 0x40,       // sound data
                                  })));

    TSWFDefineSound pcm;
    pcm.SoundId = 1;
    pcm.SoundFormat = soundUncompressedLE;
    pcm.SoundRate = soundRate44k;
    pcm.SoundSize = 0;
    pcm.SoundType = 1;
    pcm.SoundSampleCount = 0x01020304;
    pcm.SeekSamples = 7; // not written outside MP3
    pcm.OnDataWrite = [&](TSWFDataObject& sender, TBitsEngine& be) {
        EXPECT_EQ(&sender, &pcm);
        be.WriteBytes(kSoundData, sizeof kSoundData);
    };
    EXPECT_EQ(Hex(TagBytes(pcm)), Hex(Bytes({
                                      0x8A, 0x03,             // code 14, length 10
                                      0x01, 0x00,             // SoundId
                                      0x3D,                   // LE PCM 3, 44 kHz 3, 8-bit, stereo
                                      0x04, 0x03, 0x02, 0x01, // SoundSampleCount
                                      0xFF, 0xF3, 0x40,       // sound data from the callback
                                  })));
}

TEST(DefineSound, MinVersionByFormat) {
    const std::pair<uint8_t, uint8_t> rows[] = {
        {soundUncompressed, 1},   {soundADPCM, 1},      {soundMP3, 4},
        {soundUncompressedLE, 4}, {soundNellymoser, 6},
    };
    for (const auto& [format, version] : rows) {
        TSWFDefineSound tag;
        tag.SoundFormat = format;
        EXPECT_EQ(tag.MinVersion(), version) << int(format);
    }
}

// The flag byte of the sound-info record, one flag per row.
TEST(StartSound, EachInfoFieldOnItsOwn) {
    struct Row {
        const char* Name;
        void (*Set)(TSWFStartSound&);
        std::string Info; // after SoundId
    };
    const Row rows[] = {
        {"none", [](TSWFStartSound&) {}, Bytes({0x00})},
        {"SyncStop", [](TSWFStartSound& s) { s.SyncStop = true; }, Bytes({0x20})},
        {"SyncNoMultiple", [](TSWFStartSound& s) { s.SyncNoMultiple = true; }, Bytes({0x10})},
        {"InPoint", [](TSWFStartSound& s) { s.SetInPoint(0x01020304); },
         Bytes({0x01, 0x04, 0x03, 0x02, 0x01})}, // HasInPoint; InPoint
        {"OutPoint", [](TSWFStartSound& s) { s.SetOutPoint(5); },
         Bytes({0x02, 0x05, 0x00, 0x00, 0x00})}, // HasOutPoint; OutPoint
        {"LoopCount 3", [](TSWFStartSound& s) { s.SetLoopCount(3); },
         Bytes({0x04, 0x03, 0x00})}, // HasLoops; LoopCount
        {"LoopCount 0 removes it",
         [](TSWFStartSound& s) {
             s.SetLoopCount(3);
             s.SetLoopCount(0);
         },
         Bytes({0x00})},
        {"envelope flag without points", [](TSWFStartSound& s) { s.HasEnvelope = true; },
         Bytes({0x00})},
        {"envelope",
         [](TSWFStartSound& s) {
             s.AddEnvelope({0x00010203, 0x8000, 0x0102});
             s.AddEnvelope({44100, 0, 32768});
         },
         Bytes({
             0x08,                   // HasEnvelope
             0x02,                   // EnvPoints
             0x03, 0x02, 0x01, 0x00, // Pos44
             0x00, 0x80,             // LeftLevel
             0x02, 0x01,             // RightLevel
             0x44, 0xAC, 0x00, 0x00, // Pos44 44100
             0x00, 0x00,             // LeftLevel
             0x00, 0x80,             // RightLevel
         })},
        {"in, out and loops keep their order",
         [](TSWFStartSound& s) {
             s.SetLoopCount(2);
             s.SetOutPoint(3);
             s.SetInPoint(1);
         },
         Bytes({
             0x07,                   // HasLoops, HasOutPoint, HasInPoint
             0x01, 0x00, 0x00, 0x00, // InPoint
             0x03, 0x00, 0x00, 0x00, // OutPoint
             0x02, 0x00,             // LoopCount
         })},
    };
    for (const Row& r : rows) {
        TSWFStartSound tag;
        tag.SoundId = 0x0A0B;
        r.Set(tag);
        const std::string bytes = TagBytes(tag);
        const std::string body = Bytes({0x0B, 0x0A}) + r.Info; // SoundId, info
        const unsigned word = (15u << 6) | unsigned(body.size());
        EXPECT_EQ(Hex(bytes), Hex(Bytes({int(word & 255), int(word >> 8)}) + body)) << r.Name;
        EXPECT_EQ(tag.MinVersion(), 1);
    }
}

TEST(StartSound, EnvelopeFlagIsCorrectedAndBounded) {
    TSWFStartSound tag;
    tag.HasEnvelope = true;
    TagBytes(tag);
    EXPECT_FALSE(tag.HasEnvelope);

    for (int i = 0; i < 256; ++i)
        tag.AddEnvelope({uint32_t(i), 0, 0});
    EXPECT_THROW(TagBytes(tag), std::runtime_error);
    tag.Envelopes.pop_back();
    // Long header, SoundId, flags, EnvPoints, the points.
    EXPECT_EQ(TagBytes(tag).size(), 6u + 2 + 1 + 1 + 255 * 8u);

    TSWFStartSound copy;
    tag.SetLoopCount(9);
    tag.SyncStop = true;
    copy.Assign(tag);
    EXPECT_EQ(TagBytes(copy), TagBytes(tag));
    EXPECT_TRUE(copy.HasLoops());
    EXPECT_EQ(copy.LoopCount(), 9);
}

TEST(SoundStreamHead, BothFormatBytesAndLatencyForMP3) {
    TSWFSoundStreamHead2 head;
    head.PlaybackSoundRate = soundRate22k;
    head.PlaybackSoundSize = 1;
    head.PlaybackSoundType = 0;
    head.StreamSoundCompression = soundMP3;
    head.StreamSoundRate = soundRate11k;
    head.StreamSoundSize = 1;
    head.StreamSoundType = 1;
    head.StreamSoundSampleCount = 1152;
    head.LatencySeek = -1;
    EXPECT_EQ(Hex(TagBytes(head)), Hex(Bytes({
                                       0x46, 0x0B, // code 45, length 6
                                       0x0A, // reserved 0, playback 22 kHz 2, 16-bit 1, mono 0
                                       0x27, // MP3 2, 11 kHz 1, 16-bit 1, stereo 1
                                       0x80, 0x04, // StreamSoundSampleCount 1152
                                       0xFF, 0xFF, // LatencySeek -1
                                   })));

    TSWFSoundStreamHead pcm;
    pcm.PlaybackSoundType = 1;
    pcm.StreamSoundCompression = soundADPCM;
    pcm.StreamSoundSampleCount = 0x0201;
    pcm.LatencySeek = 5; // not written outside MP3
    EXPECT_EQ(Hex(TagBytes(pcm)), Hex(Bytes({
                                      0x84, 0x04, // code 18, length 4
                                      0x01,       // playback 5 kHz 0, 8-bit 0, stereo 1
                                      0x10,       // ADPCM 1, 5 kHz 0, 8-bit 0, mono 0
                                      0x01, 0x02, // StreamSoundSampleCount
                                  })));

    TSWFSoundStreamHead copy;
    copy.Assign(head);
    TSWFSoundStreamHead2 copy2;
    copy2.Assign(head);
    EXPECT_EQ(TagBytes(copy2), TagBytes(head));
    EXPECT_EQ(TagBytes(copy).substr(2), TagBytes(head).substr(2)); // same body, code 18
}

TEST(SoundStreamHead, MinVersionByCompression) {
    struct Row {
        uint8_t Compression, Head, Head2;
    };
    const Row rows[] = {
        {soundUncompressed, 1, 3},   {soundADPCM, 1, 3},      {soundMP3, 4, 4},
        {soundUncompressedLE, 1, 3}, {soundNellymoser, 1, 6},
    };
    for (const Row& r : rows) {
        TSWFSoundStreamHead head;
        TSWFSoundStreamHead2 head2;
        head.StreamSoundCompression = head2.StreamSoundCompression = r.Compression;
        EXPECT_EQ(head.MinVersion(), r.Head) << int(r.Compression);
        EXPECT_EQ(head2.MinVersion(), r.Head2) << int(r.Compression);
    }
}

TEST(SoundStreamBlock, CountsOnlyForMP3) {
    TSWFSoundStreamBlock block;
    block.IsMP3 = true;
    block.SampleCount = 576;
    block.SeekSamples = 0x0102;
    block.SetDataView(kSoundData, sizeof kSoundData);
    EXPECT_EQ(Hex(TagBytes(block)), Hex(Bytes({
                                        0xC7, 0x04,       // code 19, length 7
                                        0x40, 0x02,       // SampleCount 576
                                        0x02, 0x01,       // SeekSamples
                                        0xFF, 0xF3, 0x40, // sound data
                                    })));
    EXPECT_EQ(block.MinVersion(), 1);

    TSWFSoundStreamBlock adpcm;
    adpcm.SampleCount = 576; // not written outside MP3
    adpcm.OnDataWrite = [](TSWFDataObject&, TBitsEngine& be) { be.WriteByte(0x42); };
    EXPECT_EQ(Hex(TagBytes(adpcm)), "C1 04 42");

    TSWFSoundStreamBlock copy;
    copy.Assign(block);
    EXPECT_TRUE(copy.OwnsData());
    EXPECT_EQ(TagBytes(copy), TagBytes(block));
}

} // namespace
} // namespace pictova
