#pragma once
// The two tag formats found in MP3 files: ID3v1 (the last 128 bytes) and
// ID3v2 (a block at the start, whose size tells where the audio begins).
// Texts are kept for callers as UTF-8.

#include "media/ByteView.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pictova {

class TID3v1 {
public:
    static constexpr size_t TagBytes = 128;
    static constexpr uint8_t NoGenre = 255;

    bool Exists = false;
    uint8_t VersionID = 0; // 1 = ID3v1.0, 2 = ID3v1.1 (with track number)
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    uint8_t Track = 0; // ID3v1.1 only
    uint8_t GenreID = NoGenre;

    void Reset() { *this = TID3v1(); }
    // Reads the tag from the last 128 bytes of a whole file; Exists tells
    // whether there is one (a file shorter than a tag has none).
    void ReadFromMemory(TBytes file);
    // False when the file cannot be read.
    bool ReadFromFile(const std::filesystem::path& path);

    std::string_view Genre() const { return GenreName(GenreID); }
    // The 148 names of the ID3v1 genre list with the Winamp extensions;
    // empty for any other number.
    static std::string_view GenreName(uint8_t id);
    static constexpr unsigned GenreCount = 148;
};

class TID3v2 {
public:
    bool Exists = false;
    uint8_t VersionID = 0; // the major version byte: 2, 3 or 4
    // Bytes from the file start to the end of the tag (header included), so
    // the audio data starts here; 0 without a tag or when the tag's size
    // would run past the end of the file.
    uint32_t TagSize = 0;
    // Texts of the ID3v2.3 frames TIT2, TPE1, TALB, TRCK, TYER, TCON, COMM;
    // other versions give only TagSize.
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Track;
    std::string Year;
    std::string Genre;
    std::string Comment;

    void Reset() { *this = TID3v2(); }
    void ReadFromMemory(TBytes file);
    bool ReadFromFile(const std::filesystem::path& path);

private:
    void ReadFrames(TBytes tag);
    void StoreFrame(std::string_view id, TBytes body);
};

} // namespace pictova
