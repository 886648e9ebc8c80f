#pragma once
// What the main window needs from the world outside its widgets: file
// dialogs, message boxes, the two embedded movie players and the audio
// player. Each is an interface so that the window tests can answer the
// dialogs and stand in for the players; the program passes the real ones.

#include "app/Messages.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace pictova::desktop {

// File dialogs. Filters are in Qt's syntax ("Name (*.a *.b);;Other (*.c)");
// an empty result means the user cancelled.
class TFileChooser {
public:
    virtual ~TFileChooser() = default;
    // Multi-select, existing files only.
    virtual QStringList ChoosePictures(QWidget* parent, const QString& folder,
                                       const QString& filter) = 0;
    // One existing file.
    virtual QString ChooseAudioFile(QWidget* parent, const QString& folder,
                                    const QString& filter) = 0;
    // A save dialog in an existing folder; default suffix "swf".
    virtual QString ChooseOutputFile(QWidget* parent, const QString& initialFile,
                                     const QString& filter) = 0;
};

// Message boxes captioned "Pictova".
class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;
    virtual void ShowMessage(QWidget* parent, const QString& text, TMessageKind kind) = 0;
    // Yes, No, Cancel with the question icon.
    virtual TAnswer AskYesNoCancel(QWidget* parent, const QString& text) = 0;
    // The three-way overwrite box (TfrmMsgBox): Yes, Yes to all, No, Cancel.
    virtual TAnswer AskOverwrite(QWidget* parent, const QString& text) = 0;
};

// An embedded Flash player (Ruffle in the program).
class TMoviePlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TMoviePlayer() override = default;

    // The widget that shows the movie; the window places and sizes it.
    virtual QWidget* Widget() = 0;
    // Reads the file before it returns, so the caller may delete it at once,
    // and plays it from its first frame. With loop false the movie stops on
    // its last frame instead of starting again.
    virtual void LoadMovie(const QString& file, bool loop) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    // 0 until a movie has loaded.
    virtual int TotalFrames() const = 0;
    // The frame shown now, counted from 0.
    virtual int CurrentFrame() const = 0;

signals:
    // A movie has loaded (TotalFrames() is known).
    void MovieLoaded();
    // The player could not show the movie.
    void LoadFailed(const QString& error);
};

// Plays one music file at a time.
class TAudioPlayer {
public:
    enum class TResult { Playing, NoAudioOutput, Failed };
    virtual ~TAudioPlayer() = default;
    // Opens and plays file; on Failed, error says why. The file must stay
    // until Stop() or the next Play().
    virtual TResult Play(const QString& file, QString* error) = 0;
    virtual void Stop() = 0;
    // A file was given to the player (and not closed since).
    virtual bool HasFile() const = 0;
};

} // namespace pictova::desktop
