#pragma once
// The program's audio player: Qt Multimedia (GStreamer on Linux) playing one
// file at a time for the listening buttons of the settings tab.
// GStreamer reads MP3 and WAV only with gstreamer1.0-plugins-good. Without an
// audio device its pipeline fails unpredictably (sometimes after reporting
// the file loaded), and the FFmpeg back end crashes: hence the check for an
// output before every Play.

#include "desktop/DesktopServices.h"

#include <QMediaPlayer>
#include <QObject>

class QAudioOutput;

namespace pictova::desktop {

class TQtAudioPlayer : public QObject, public TAudioPlayer {
    Q_OBJECT
public:
    // How long Play waits for the file to load or fail.
    static constexpr int kLoadTimeoutMs = 3000;

    explicit TQtAudioPlayer(QObject* parent = nullptr);
    ~TQtAudioPlayer() override;

    // Returns once the player has loaded the file (Playing) or refused it
    // (Failed), waiting at most kLoadTimeoutMs in a local event loop that
    // keeps user input out. Never starts playing without an audio output:
    // some Qt media back ends crash then.
    TResult Play(const QString& file, QString* error) override;
    // Stops and closes the file, so that the caller may delete it.
    void Stop() override;
    bool HasFile() const override { return !FPlayer->source().isEmpty(); }

private:
    QMediaPlayer* FPlayer;
    QAudioOutput* FOutput;
};

} // namespace pictova::desktop
