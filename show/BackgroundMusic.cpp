#include "show/BackgroundMusic.h"

#include "media/ByteView.h"
#include "media/WaveReader.h"
#include "movie/FlashMovie.h"
#include "movie/FlashSound.h"
#include "platform/Errors.h"
#include "platform/FileBytes.h"
#include "swf/SoundTags.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pictova {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& file) {
    return "\"" + file.string() + "\"";
}

void WriteAll(int fd, const uint8_t* data, size_t size, off_t offset, const fs::path& file) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError(file, TFileAction::Write, errno);
        }
        data += n;
        size -= size_t(n);
        offset += n;
    }
}

void CopyFileContent(const fs::path& source, const fs::path& target) {
    std::ifstream in(source, std::ios::binary);
    if (!in)
        throw EFileError(source, TFileAction::Open, errno);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out)
        throw EFileError(target, TFileAction::Write, errno);
    std::vector<char> buffer(65536);
    while (in.read(buffer.data(), std::streamsize(buffer.size())) || in.gcount() > 0)
        out.write(buffer.data(), in.gcount());
    if (in.bad())
        throw EFileError(source, TFileAction::Read, errno);
    out.close();
    if (!out)
        throw EFileError(target, TFileAction::Write, errno);
}

// The sound's messages name the working copy; the user knows the file as
// `source`.
std::string InTermsOf(std::string message, const fs::path& workingCopy, const fs::path& source) {
    const std::string prefix = Quoted(workingCopy) + ": ";
    if (message.rfind(prefix, 0) == 0)
        message.erase(0, prefix.size());
    const std::string from = Quoted(workingCopy), to = Quoted(source);
    for (size_t at = message.find(from); at != std::string::npos; at = message.find(from, at)) {
        message.replace(at, from.size(), to);
        at += to.size();
    }
    return message;
}

} // namespace

void XorCipherFile(std::string_view key, const fs::path& file) {
    const TFileDescriptor fd(::open(file.c_str(), O_RDWR | O_CLOEXEC));
    if (fd.Fd < 0)
        throw EFileError(file, TFileAction::Open, errno);
    if (::flock(fd.Fd, LOCK_EX | LOCK_NB) != 0)
        throw EFileError(file, TFileAction::Lock, errno);
    if (key.empty())
        return;
    // Block by block; the key position follows the byte's offset in the file.
    std::vector<uint8_t> buffer(65536);
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(fd.Fd, buffer.data(), buffer.size(), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError(file, TFileAction::Read, errno);
        }
        if (n == 0)
            break;
        for (ssize_t i = 0; i < n; ++i)
            buffer[size_t(i)] ^= uint8_t(key[size_t(uint64_t(offset + i) % key.size())]);
        WriteAll(fd.Fd, buffer.data(), size_t(n), offset, file);
        offset += n;
    }
}

fs::path BuiltInTrackFile(const fs::path& programFolder, TAudioChoice choice) {
    const int index = int(choice) - int(TAudioChoice::Track1);
    assert(index >= 0 && index < int(kBuiltInTracks.size()) && "not a built-in track");
    return programFolder / "data" / "audio" / std::string(kBuiltInTracks[size_t(index)].FileName);
}

std::string WorkingCopyExtension(const fs::path& musicFile) {
    return SoundFileKindOf(musicFile) == TSoundFileKind::WAV ? ".wav" : ".mp3";
}

TTemporaryFile MakeMusicWorkingCopy(const fs::path& source, bool decipher,
                                    std::string_view extension) {
    TTemporaryFile copy = TTemporaryFile::Create(kTempFilePrefix, extension);
    CopyFileContent(source, copy.Path());
    if (decipher)
        XorCipherFile(kMusicCipherKey, copy.Path());
    return copy;
}

bool MusicFileExists(const fs::path& file) {
    std::error_code error;
    return !file.empty() && fs::is_regular_file(file, error);
}

std::string MissingMusicFileMessage(const fs::path& file) {
    return "Die angegebene Audiodatei \"" + file.string() +
           "\" existiert nicht und kann daher nicht eingebunden werden.\n\n"
           "Bitte korrigieren Sie Ihre Eingabe.";
}

uint16_t MusicLoopCount(uint32_t frames, double frameRate, double duration) {
    if (!(duration > 0) || !(frameRate > 0) || !std::isfinite(duration))
        return 1;
    // Whole seconds of the show, then whole plays of the sound.
    const double seconds = std::ceil(double(frames) / frameRate);
    const double loops = std::ceil(seconds / duration);
    return uint16_t(std::clamp(loops, 1.0, 65535.0));
}

TBackgroundMusic::TBackgroundMusic(const TShowOptions& options, fs::path programFolder)
    : FChoice(options.Audio), FOwnFile(options.AudioFile), FLoop(options.AudioLoop),
      FProgramFolder(std::move(programFolder)) {}

void TBackgroundMusic::Install(TBuildServices& services) {
    services.AttachMusic = [this](TFlashMovie& movie, TAttachedMusic& music) {
        return AttachMusic(movie, music);
    };
    services.SetMusicLoops = [this](TFlashMovie& movie, TAttachedMusic& music) {
        SetMusicLoops(movie, music);
    };
}

bool TBackgroundMusic::AttachMusic(TFlashMovie& movie, TAttachedMusic& music) {
    music = {};
    FWorkingCopy.Remove();
    fs::path source;
    switch (FChoice) {
    case TAudioChoice::None:
        return true;
    case TAudioChoice::OwnFile: {
        if (!MusicFileExists(FOwnFile)) {
            if (OnMissingFile)
                OnMissingFile(MissingMusicFileMessage(FOwnFile));
            return false;
        }
        source = FOwnFile;
        FWorkingCopy = MakeMusicWorkingCopy(source, false, WorkingCopyExtension(source));
        break;
    }
    default: {
        source = BuiltInTrackFile(FProgramFolder, FChoice);
        const auto& track = kBuiltInTracks[size_t(int(FChoice) - int(TAudioChoice::Track1))];
        std::error_code error;
        if (!fs::is_regular_file(source, error))
            throw ESoundError(ESoundError::BuiltInMissing, source, std::string(track.Caption));
        FWorkingCopy = MakeMusicWorkingCopy(source, true, ".mp3");
        break;
    }
    }
    TFlashSound* sound = nullptr;
    try {
        sound = &movie.AddSound(FWorkingCopy.Path());
    } catch (const TMediaError& e) {
        throw ESoundError(ESoundError::Unusable, source,
                          InTermsOf(e.what(), FWorkingCopy.Path(), source));
    }
    music.Sound = sound;
    music.StartSound = &movie.StartSound(sound->CharacterId());
    return true;
}

void TBackgroundMusic::SetMusicLoops(TFlashMovie& movie, TAttachedMusic& music) {
    if (!music.StartSound || !music.Sound)
        return;
    // Without looping no loop count at all: the music plays once.
    music.StartSound->SetLoopCount(
        FLoop ? MusicLoopCount(movie.FrameCount(), movie.FrameRate(), music.Sound->Duration()) : 0);
}

} // namespace pictova
