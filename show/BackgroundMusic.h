#pragma once
// The show's background music: one of the four built-in tracks or an own MP3
// or WAV file, attached as one event sound that a StartSound plays from the
// start of the show, looped so that it lasts the whole show when asked for.
// The built-in tracks are MP3 files shipped enciphered (XorCipherFile with
// kMusicCipherKey) beside the program; the build works on a deciphered
// working copy in the temporary folder, which goes when the build is over.

#include "platform/TempFile.h"
#include "show/SlideShowBuild.h"
#include "show/SlideShowProject.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace pictova {

// Its characters are used as single bytes.
constexpr std::string_view kMusicCipherKey = "ReadPictureHeaderEx";
// Working copies are temporary files with this prefix.
constexpr std::string_view kTempFilePrefix = "PCV";

struct TBuiltInTrack {
    std::string_view Caption;
    std::string_view FileName; // in data/audio of the program folder; no extension
};
constexpr std::array<TBuiltInTrack, 4> kBuiltInTracks = {{
    {"Step Out", "K4R2T8N6D1"},
    {"Brightsunray", "Q5L9V2C7H3"},
    {"Merry", "B8F1Z6G4S2"},
    {"The Silent River", "E2U7Y3O5X9"},
}};

// Replaces byte j of the file by byte j XOR key[j mod key length], in place,
// so a second call restores the file. An empty file or key changes nothing.
// Holds an exclusive lock on the file meanwhile. Throws EFileError when the
// file cannot be opened, locked, read or written.
void XorCipherFile(std::string_view key, const std::filesystem::path& file);

// data/audio/<file name> in the program folder; choice is Track1..Track4.
std::filesystem::path BuiltInTrackFile(const std::filesystem::path& programFolder,
                                       TAudioChoice choice);

// The extension a working copy of the file gets: ".wav" for a WAV file (so
// that the sound reads it as one), ".mp3" for everything else.
std::string WorkingCopyExtension(const std::filesystem::path& musicFile);

// A copy of the music file in the temporary folder (prefix "PCV", extension
// as given), deciphered when it is a built-in track, deleted when the object
// goes. Throws EFileError when the file cannot be read or the copy written.
// The desktop program's listening buttons play such copies.
TTemporaryFile MakeMusicWorkingCopy(const std::filesystem::path& source, bool decipher,
                                    std::string_view extension = ".mp3");

// An own music file that can be used: a file, not a folder or an empty path.
bool MusicFileExists(const std::filesystem::path& file);

// The message shown when the own music file does not exist.
std::string MissingMusicFileMessage(const std::filesystem::path& file);

// How often a sound of `duration` seconds must play to last a show of
// `frames` frames at `frameRate`: ceil(ceil(frames / frameRate) / duration),
// at least 1 and at most 65535 (the count's 16 bits). A sound of no duration
// (or a frame rate of 0) plays once.
uint16_t MusicLoopCount(uint32_t frames, double frameRate, double duration);

// The two music stages of BuildShow for one build. The object must outlive
// the build: it owns the working copy, which the sound reads while the movie
// is written, and deletes it when it goes (also when the build failed).
class TBackgroundMusic {
public:
    TBackgroundMusic(const TShowOptions& options, std::filesystem::path programFolder);
    // The installed hooks point at this object.
    TBackgroundMusic(const TBackgroundMusic&) = delete;
    TBackgroundMusic& operator=(const TBackgroundMusic&) = delete;

    // Hooks AttachMusic and SetMusicLoops of the services to this object.
    void Install(TBuildServices& services);

    // Copies the chosen music into the working copy, adds it to the movie
    // as a sound and starts it with a StartSound tag. Returns false (the
    // build is abandoned) when the own file does not exist, after telling
    // OnMissingFile. Throws EFileError when the music cannot be copied and
    // ESoundError when it is missing (a built-in track) or no usable sound.
    bool AttachMusic(TFlashMovie& movie, TAttachedMusic& music);
    // Looping on: the loop count that lets the music last the movie's frames
    // so far; off: no loop count (the music plays once).
    void SetMusicLoops(TFlashMovie& movie, TAttachedMusic& music);

    // Gets MissingMusicFileMessage; the desktop program shows it in its box
    // and turns to the settings tab.
    std::function<void(const std::string& message)> OnMissingFile;

    // The working copy; empty before AttachMusic and after DeleteWorkingFiles.
    const std::filesystem::path& WorkingCopy() const { return FWorkingCopy.Path(); }
    void DeleteWorkingFiles() { FWorkingCopy.Remove(); }

private:
    TAudioChoice FChoice;
    std::filesystem::path FOwnFile;
    bool FLoop;
    std::filesystem::path FProgramFolder;
    TTemporaryFile FWorkingCopy;
};

} // namespace pictova
