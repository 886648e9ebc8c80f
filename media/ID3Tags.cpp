#include "media/ID3Tags.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/FileBytes.h"

#include <algorithm>
#include <array>
#include <vector>

namespace pictova {

namespace {

constexpr std::array<std::string_view, TID3v1::GenreCount> kGenres = {
    "Blues",
    "Classic Rock",
    "Country",
    "Dance",
    "Disco",
    "Funk",
    "Grunge",
    "Hip-Hop",
    "Jazz",
    "Metal",
    "New Age",
    "Oldies",
    "Other",
    "Pop",
    "R&B",
    "Rap",
    "Reggae",
    "Rock",
    "Techno",
    "Industrial",
    "Alternative",
    "Ska",
    "Death Metal",
    "Pranks",
    "Soundtrack",
    "Euro-Techno",
    "Ambient",
    "Trip-Hop",
    "Vocal",
    "Jazz+Funk",
    "Fusion",
    "Trance",
    "Classical",
    "Instrumental",
    "Acid",
    "House",
    "Game",
    "Sound Clip",
    "Gospel",
    "Noise",
    "AlternRock",
    "Bass",
    "Soul",
    "Punk",
    "Space",
    "Meditative",
    "Instrumental Pop",
    "Instrumental Rock",
    "Ethnic",
    "Gothic",
    "Darkwave",
    "Techno-Industrial",
    "Electronic",
    "Pop-Folk",
    "Eurodance",
    "Dream",
    "Southern Rock",
    "Comedy",
    "Cult",
    "Gangsta",
    "Top 40",
    "Christian Rap",
    "Pop/Funk",
    "Jungle",
    "Native American",
    "Cabaret",
    "New Wave",
    "Psychadelic",
    "Rave",
    "Showtunes",
    "Trailer",
    "Lo-Fi",
    "Tribal",
    "Acid Punk",
    "Acid Jazz",
    "Polka",
    "Retro",
    "Musical",
    "Rock & Roll",
    "Hard Rock",
    // Winamp's extensions from 80 on.
    "Folk",
    "Folk-Rock",
    "National Folk",
    "Swing",
    "Fast Fusion",
    "Bebob",
    "Latin",
    "Revival",
    "Celtic",
    "Bluegrass",
    "Avantgarde",
    "Gothic Rock",
    "Progressive Rock",
    "Psychedelic Rock",
    "Symphonic Rock",
    "Slow Rock",
    "Big Band",
    "Chorus",
    "Easy Listening",
    "Acoustic",
    "Humour",
    "Speech",
    "Chanson",
    "Opera",
    "Chamber Music",
    "Sonata",
    "Symphony",
    "Booty Bass",
    "Primus",
    "Porn Groove",
    "Satire",
    "Slow Jam",
    "Club",
    "Tango",
    "Samba",
    "Folklore",
    "Ballad",
    "Power Ballad",
    "Rhythmic Soul",
    "Freestyle",
    "Duet",
    "Punk Rock",
    "Drum Solo",
    "A capella",
    "Euro-House",
    "Dance Hall",
    "Goa",
    "Drum & Bass",
    "Club-House",
    "Hardcore",
    "Terror",
    "Indie",
    "BritPop",
    "Afro-Punk",
    "Polsk Punk",
    "Beat",
    "Christian Gangsta Rap",
    "Heavy Metal",
    "Black Metal",
    "Crossover",
    "Contemporary Christian",
    "Christian Rock",
    "Merengue",
    "Salsa",
    "Thrash Metal",
    "Anime",
    "JPop",
    "Synthpop",
};

bool IsBlank(char c) {
    return uint8_t(c) <= ' ';
}

std::string Trimmed(std::string s) {
    const auto last = std::find_if_not(s.rbegin(), s.rend(), IsBlank).base();
    const auto first = std::find_if_not(s.begin(), last, IsBlank);
    return std::string(first, last);
}

std::string TrimmedRight(std::string s) {
    s.erase(std::find_if_not(s.rbegin(), s.rend(), IsBlank).base(), s.end());
    return s;
}

// 8-bit tag text (ISO-8859-1, read as its Windows-1252 superset) up to the
// first NUL: fixed-width fields are NUL-padded, sometimes with leftovers of
// an older text after the NUL.
std::string Latin1Text(TBytes bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t(0));
    return AnsiToUtf8(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), size_t(end - bytes.begin())));
}

// UTF-16 up to a NUL unit; a byte-order mark overrides bigEndian. Unpaired
// surrogates become U+FFFD, an odd last byte is dropped.
std::string Utf16Text(TBytes bytes, bool bigEndian) {
    if (bytes.size() >= 2 &&
        ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        bigEndian = bytes[0] == 0xFE;
        bytes = bytes.subspan(2);
    }
    std::vector<char16_t> units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t u = bigEndian ? char16_t(bytes[i] << 8 | bytes[i + 1])
                                     : char16_t(bytes[i] | bytes[i + 1] << 8);
        if (u == 0)
            break;
        units.push_back(u);
    }
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            AppendUtf8(out, 0x10000 + (char32_t(u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u < 0xE000) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

// Text in one of the ID3v2 encodings: 0 ISO-8859-1, 1 UTF-16 with byte-order
// mark (the two of version 2.3); 2 UTF-16BE and 3 UTF-8 come from version 2.4
// but are found in 2.3 tags written by some programs. Anything else is read
// as ISO-8859-1.
std::string EncodedText(uint8_t encoding, TBytes bytes) {
    switch (encoding) {
    case 1:
        return Utf16Text(bytes, false);
    case 2:
        return Utf16Text(bytes, true);
    case 3: {
        const auto end = std::find(bytes.begin(), bytes.end(), uint8_t(0));
        return std::string(bytes.begin(), end);
    }
    default:
        return Latin1Text(bytes);
    }
}

// The bytes after the first terminator of the encoding (one NUL byte, or a
// NUL unit for the UTF-16 encodings); empty when there is none.
TBytes AfterTerminator(uint8_t encoding, TBytes bytes) {
    if (encoding == 1 || encoding == 2) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            if (bytes[i] == 0 && bytes[i + 1] == 0)
                return bytes.subspan(i + 2);
        return {};
    }
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t(0));
    return end == bytes.end() ? TBytes() : bytes.subspan(size_t(end - bytes.begin()) + 1);
}

// Undoes ID3v2 unsynchronisation: the writer put a 00 after every FF that
// could be mistaken for a frame sync, and readers drop it again.
std::vector<uint8_t> Resynchronised(TBytes bytes) {
    std::vector<uint8_t> out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}

template <class Tag> bool ReadTagFile(Tag& tag, const std::filesystem::path& path) {
    tag.Reset();
    try {
        const std::vector<uint8_t> bytes = ReadFileBytes(path);
        tag.ReadFromMemory(bytes);
        return true;
    } catch (const EFileError&) {
        return false;
    } catch (const TMediaError&) {
        return false;
    }
}

} // namespace

std::string_view TID3v1::GenreName(uint8_t id) {
    return id < kGenres.size() ? kGenres[id] : std::string_view();
}

void TID3v1::ReadFromMemory(TBytes file) {
    Reset();
    if (file.size() < TagBytes)
        return;
    const TBytes tag = file.subspan(file.size() - TagBytes);
    if (!HasChars(tag, 0, "TAG"))
        return;
    Exists = true;
    const auto text = [&](size_t offset, size_t length) {
        return TrimmedRight(Latin1Text(tag.subspan(offset, length)));
    };
    Title = text(3, 30);
    Artist = text(33, 30);
    Album = text(63, 30);
    Year = text(93, 4);
    // Version 1.1 takes the last comment byte as the track number, marked by
    // a NUL (or, from some writers, a space) in the byte before it.
    const uint8_t marker = tag[125], track = tag[126];
    if ((marker == 0 && track != 0) || (marker == ' ' && track != ' ')) {
        VersionID = 2;
        Comment = text(97, 28);
        Track = track;
    } else {
        VersionID = 1;
        Comment = text(97, 30);
    }
    GenreID = tag[127];
}

bool TID3v1::ReadFromFile(const std::filesystem::path& path) {
    return ReadTagFile(*this, path);
}

void TID3v2::ReadFromMemory(TBytes file) {
    Reset();
    if (file.size() < 10 || !HasChars(file, 0, "ID3"))
        return;
    Exists = true;
    VersionID = file[3];
    const uint64_t size = uint64_t(file[6]) * (1u << 21) + uint64_t(file[7]) * (1u << 14) +
                          uint64_t(file[8]) * (1u << 7) + file[9] + 10;
    // A size past the end of the file is a broken tag: the audio search then
    // starts at the file start and relies on its frame confirmation.
    TagSize = size <= file.size() ? uint32_t(size) : 0;
    if (VersionID != 3 || TagSize == 0)
        return;
    const uint8_t flags = file[5];
    TBytes frames = file.subspan(10, TagSize - 10);
    std::vector<uint8_t> resynchronised;
    if (flags & 0x80) {
        resynchronised = Resynchronised(frames);
        frames = resynchronised;
    }
    // An extended header (its 4-byte size excludes itself) precedes the frames.
    if ((flags & 0x40) && frames.size() >= 4)
        frames = SubBytes(frames, size_t(4) + ReadBE32(frames, 0));
    ReadFrames(frames);
}

void TID3v2::ReadFrames(TBytes frames) {
    size_t pos = 0;
    while (frames.size() - pos >= 10) {
        // Padding (zero bytes) fills the rest of the tag.
        if (frames[pos] == 0)
            break;
        const std::string_view id(reinterpret_cast<const char*>(frames.data() + pos), 4);
        const uint32_t size = ReadBE32(frames, pos + 4);
        const uint8_t formatFlags = frames[pos + 9];
        // A size past the tag's end is cut to it.
        const TBytes body = SubBytes(frames, pos + 10, size);
        // Compressed (0x80) or encrypted (0x40) frames hold no readable text.
        if (!(formatFlags & 0xC0))
            StoreFrame(id, body.first(std::min<size_t>(body.size(), 250)));
        if (size > frames.size() - pos - 10)
            break;
        pos += 10 + size_t(size);
    }
    for (std::string* text : {&Title, &Artist, &Album, &Track, &Year, &Genre, &Comment})
        *text = Trimmed(std::move(*text));
}

void TID3v2::StoreFrame(std::string_view id, TBytes body) {
    if (body.empty())
        return;
    const uint8_t encoding = body[0];
    if (id == "COMM") {
        // Encoding, 3-letter language, a short description, then the text.
        if (body.size() >= 4)
            Comment = EncodedText(encoding, AfterTerminator(encoding, body.subspan(4)));
        return;
    }
    const std::pair<std::string_view, std::string*> textFrames[] = {
        {"TIT2", &Title}, {"TPE1", &Artist}, {"TALB", &Album},
        {"TRCK", &Track}, {"TYER", &Year},   {"TCON", &Genre},
    };
    for (const auto& [frameId, text] : textFrames)
        if (id == frameId)
            *text = EncodedText(encoding, body.subspan(1));
}

bool TID3v2::ReadFromFile(const std::filesystem::path& path) {
    return ReadTagFile(*this, path);
}

} // namespace pictova
