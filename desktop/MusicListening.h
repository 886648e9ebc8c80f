#pragma once
// Listening to the music choices in the settings tab: the built-in tracks
// through a deciphered working copy, an own file directly and, when the
// player refuses it, once more without its ID3v2 tag.

#include "app/Language.h"
#include "desktop/DesktopServices.h"
#include "platform/TempFile.h"
#include "show/SlideShowProject.h"

#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace pictova::desktop {

class TMusicListening {
public:
    // player and boxes must outlive this object; parent is where messages go,
    // worded in the language (lng/<language>.lng in programFolder).
    TMusicListening(TAudioPlayer& player, TMessageBoxes& boxes, QWidget* parent,
                    std::filesystem::path programFolder, std::string_view language = kLanguageName);
    // Stops the player before the working copy goes.
    ~TMusicListening();
    TMusicListening(const TMusicListening&) = delete;
    TMusicListening& operator=(const TMusicListening&) = delete;

    // PlayTrackPreview: track is Track1..Track4.
    void PlayTrackPreview(TAudioChoice track);
    // The "Abspielen" button beside the own-file field.
    void PlayOwnFile(const std::filesystem::path& file);
    // Leaving the settings tab: stops the player when it has a file.
    void StopIfPlaying();

    // A line for the window to show when listening is not possible (no audio
    // output) or has started; empty otherwise.
    const QString& Status() const { return FStatus; }

    // Words an error for the user's box (the window's language texts); the
    // error's what() when unset.
    std::function<std::string(const std::exception&)> DescribeError;

private:
    // Stops the player when it has a file, then deletes the working copy.
    void Release();
    void ShowError(const QString& text);
    // The [Desktop] text of the key in the language.
    QString Text(std::string_view key, const std::vector<std::string>& args = {}) const;
    // Plays file and sets the status; while it plays, copy (the file's
    // working copy, if it is one) is kept. A refused file is closed again.
    TAudioPlayer::TResult Play(const QString& file, const QString& title, TTemporaryFile copy,
                               QString* error);

    TAudioPlayer& Player;
    TMessageBoxes& Boxes;
    QWidget* Parent;
    std::filesystem::path ProgramFolder;
    TLanguage Language;
    TTemporaryFile WorkingCopy; // what the player plays now, when a copy
    QString FStatus;
};

} // namespace pictova::desktop
