#include "desktop/MusicListening.h"

#include "media/ByteView.h"
#include "media/ID3Tags.h"
#include "platform/Errors.h"
#include "platform/FileBytes.h"
#include "show/BackgroundMusic.h"

#include <QFileInfo>

#include <cassert>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace pictova::desktop {

namespace {

QString ToQString(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// A copy of the file without the ID3v2 tags at its start, for players that
// stumble over them. A tag whose size runs past the end is left in place
// (then it is no tag the audio can follow). Throws EFileError when the file
// cannot be read or the copy not written.
TTemporaryFile CopyWithoutID3v2(const fs::path& file) {
    std::vector<uint8_t> bytes = ReadFileBytes(file);
    size_t start = 0;
    // Some taggers put a second tag in front of the old one; skip them all.
    for (;;) {
        TID3v2 tag;
        tag.ReadFromMemory(SubBytes(bytes, start));
        if (!tag.Exists || tag.TagSize == 0)
            break;
        start += tag.TagSize;
    }
    TTemporaryFile copy = TTemporaryFile::Create(kTempFilePrefix, WorkingCopyExtension(file));
    std::ofstream out(copy.Path(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data() + start),
              std::streamsize(bytes.size() - start));
    out.close();
    if (!out)
        throw EFileError(copy.Path(), TFileAction::Write, errno);
    return copy;
}

} // namespace

TMusicListening::TMusicListening(TAudioPlayer& player, TMessageBoxes& boxes, QWidget* parent,
                                 fs::path programFolder, std::string_view language)
    : Player(player), Boxes(boxes), Parent(parent), ProgramFolder(std::move(programFolder)),
      Language(ProgramFolder, {}, language) {}

TMusicListening::~TMusicListening() {
    Release();
}

void TMusicListening::Release() {
    // The player may still read the working copy: close it first.
    if (Player.HasFile())
        Player.Stop();
    WorkingCopy.Remove();
}

QString TMusicListening::Text(std::string_view key, const std::vector<std::string>& args) const {
    return QString::fromStdString(Language.Text("Desktop", key, args));
}

void TMusicListening::ShowError(const QString& text) {
    Boxes.ShowMessage(Parent, text, TMessageKind::Error);
}

TAudioPlayer::TResult TMusicListening::Play(const QString& file, const QString& title,
                                            TTemporaryFile copy, QString* error) {
    const TAudioPlayer::TResult result = Player.Play(file, error);
    switch (result) {
    case TAudioPlayer::TResult::Playing:
        WorkingCopy = std::move(copy);
        FStatus = Text("Playing", {title.toStdString()});
        break;
    case TAudioPlayer::TResult::NoAudioOutput:
        FStatus = Text("NoAudioOutput");
        break;
    case TAudioPlayer::TResult::Failed:
        Player.Stop();
        break;
    }
    return result;
}

void TMusicListening::PlayTrackPreview(TAudioChoice track) {
    assert(track >= TAudioChoice::Track1 && track <= TAudioChoice::Track4 &&
           "not a built-in track");
    Release();
    FStatus.clear();
    const auto& info = kBuiltInTracks[size_t(int(track) - int(TAudioChoice::Track1))];
    const QString caption = QString::fromUtf8(info.Caption.data(), qsizetype(info.Caption.size()));
    TTemporaryFile copy;
    try {
        copy = MakeMusicWorkingCopy(BuiltInTrackFile(ProgramFolder, track), true, ".mp3");
    } catch (const std::exception& e) {
        ShowError(QString::fromStdString(DescribeError ? DescribeError(e) : e.what()));
        return;
    }
    QString error;
    const QString path = ToQString(copy.Path());
    if (Play(path, caption, std::move(copy), &error) == TAudioPlayer::TResult::Failed)
        ShowError(Text("TrackNotPlayed", {caption.toStdString()}) +
                  (error.isEmpty() ? QString() : QStringLiteral("\n\n") + error));
}

void TMusicListening::PlayOwnFile(const fs::path& file) {
    Release();
    FStatus.clear();
    if (!MusicFileExists(file)) {
        ShowError(Text("AudioMissing"));
        return;
    }
    const QString name = QFileInfo(ToQString(file)).fileName();
    QString error;
    if (Play(ToQString(file), name, {}, &error) != TAudioPlayer::TResult::Failed)
        return;
    // Some players refuse a file for its ID3v2 tag: try once more without.
    TTemporaryFile copy;
    try {
        copy = CopyWithoutID3v2(file);
    } catch (const std::exception&) {
        ShowError(Text("AudioNotPlayed"));
        return;
    }
    const QString path = ToQString(copy.Path());
    if (Play(path, name, std::move(copy), &error) == TAudioPlayer::TResult::Failed)
        ShowError(Text("AudioNotPlayed"));
}

void TMusicListening::StopIfPlaying() {
    if (Player.HasFile())
        FStatus.clear();
    Release();
}

} // namespace pictova::desktop
