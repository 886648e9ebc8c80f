// The four built-in music tracks in data/audio: each must decipher to an
// MP3 that a show can carry as an event sound (MPEG 1 Layer III at 44.1 kHz,
// 30 to 60 seconds) and still be stored enciphered.

#include "media/ByteView.h"
#include "media/MPEGAudio.h"
#include "media/MPEGFrame.h"
#include "platform/FileBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const fs::path kAudio = fs::path(PICTOVA_TEST_DATA) / ".." / ".." / "data" / "audio";

struct Track {
    const char* file;
    const char* title;
};

const Track kTracks[] = {
    {"K4R2T8N6D1", "Step Out"},
    {"Q5L9V2C7H3", "Brightsunray"},
    {"B8F1Z6G4S2", "Merry"},
    {"E2U7Y3O5X9", "The Silent River"},
};

// The tracks' repeating-key XOR, written out here so that the files are
// checked against the key itself and not against our own cipher code.
Bytes Decipher(Bytes data) {
    constexpr std::string_view key = "ReadPictureHeaderEx";
    for (size_t j = 0; j < data.size(); ++j)
        data[j] ^= static_cast<uint8_t>(key[j % key.size()]);
    return data;
}

// Offset of the first frame: past an ID3v2 tag (10-byte header whose size is
// four 7-bit bytes, most significant first), or 0.
size_t FirstFrameOffset(const Bytes& mp3) {
    if (mp3.size() < 10 || !HasChars(mp3, 0, "ID3"))
        return 0;
    size_t size = 0;
    for (int i = 6; i < 10; ++i)
        size = size << 7 | (mp3[i] & 0x7F);
    return 10 + size;
}

class BuiltinTrack : public ::testing::TestWithParam<Track> {};

TEST_P(BuiltinTrack, IsStoredEnciphered) {
    const Bytes stored = ReadFileBytes(kAudio / GetParam().file);
    ASSERT_GE(stored.size(), 4u);
    // A plain MP3 would start with a frame sync or "ID3".
    EXPECT_FALSE(IsFrameHeader(stored));
    EXPECT_FALSE(HasChars(stored, 0, "ID3"));
}

TEST_P(BuiltinTrack, DeciphersToMpeg1Layer3At44100Hz) {
    const Bytes mp3 = Decipher(ReadFileBytes(kAudio / GetParam().file));
    const size_t at = FirstFrameOffset(mp3);
    ASSERT_LT(at + 4, mp3.size());
    // Frame header: 11 sync bits, version 11 (MPEG 1), layer 01 (III);
    // then a usable bit-rate index and sample-rate index 00 (44100 Hz).
    EXPECT_EQ(mp3[at], 0xFF);
    EXPECT_EQ(mp3[at + 1] & 0xFE, 0xFA);
    const int bitRateIndex = mp3[at + 2] >> 4;
    EXPECT_NE(bitRateIndex, 0);
    EXPECT_NE(bitRateIndex, 15);
    EXPECT_EQ((mp3[at + 2] >> 2) & 3, 0);

    TMPEGaudio reader;
    reader.ReadFromMemory(mp3);
    ASSERT_TRUE(reader.FrameData().Found);
    EXPECT_EQ(reader.FrameData().VersionID, mpegVersion1);
    EXPECT_EQ(reader.FrameData().LayerID, mpegLayer3);
    EXPECT_EQ(reader.SampleRate(), 44100u);
    EXPECT_FALSE(reader.IsMono());
    EXPECT_GE(reader.Duration(), 30.0) << GetParam().title;
    EXPECT_LE(reader.Duration(), 60.0) << GetParam().title;
    EXPECT_LT(mp3.size(), 1u << 20) << GetParam().title;
}

INSTANTIATE_TEST_SUITE_P(DataAudio, BuiltinTrack, ::testing::ValuesIn(kTracks),
                         [](const auto& info) {
                             std::string name;
                             for (const char* c = info.param.title; *c; ++c)
                                 if (*c != ' ')
                                     name += *c;
                             return name;
                         });

TEST(BuiltinTracks, AreFourDifferentPieces) {
    std::vector<Bytes> tracks;
    for (const Track& track : kTracks)
        tracks.push_back(ReadFileBytes(kAudio / track.file));
    for (size_t a = 0; a < tracks.size(); ++a)
        for (size_t b = a + 1; b < tracks.size(); ++b)
            EXPECT_NE(tracks[a], tracks[b]) << kTracks[a].title << " and " << kTracks[b].title;
}

} // namespace
} // namespace pictova
