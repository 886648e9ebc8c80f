#include "desktop/QtAudioPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>
#include <QUrl>

namespace pictova::desktop {

namespace {

// The player has read enough of the file to play it.
bool Loaded(QMediaPlayer::MediaStatus status) {
    switch (status) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
    case QMediaPlayer::EndOfMedia:
        return true;
    default:
        return false;
    }
}

} // namespace

TQtAudioPlayer::TQtAudioPlayer(QObject* parent)
    : QObject(parent), FPlayer(new QMediaPlayer(this)), FOutput(new QAudioOutput(this)) {
    FPlayer->setAudioOutput(FOutput);
}

TQtAudioPlayer::~TQtAudioPlayer() {
    // Close the file before the caller's working copy goes.
    Stop();
}

TAudioPlayer::TResult TQtAudioPlayer::Play(const QString& file, QString* error) {
    Stop();
    if (QMediaDevices::audioOutputs().isEmpty())
        return TResult::NoAudioOutput;
    FOutput->setDevice(QMediaDevices::defaultAudioOutput());

    // The caller decides at once whether to try again (for instance without
    // the ID3v2 tag), so wait here until the back end has loaded the file or
    // refused it.
    QEventLoop loop;
    QString failure;
    bool loaded = false;
    connect(FPlayer, &QMediaPlayer::errorOccurred, &loop,
            [&](QMediaPlayer::Error, const QString& text) {
                failure = text.isEmpty() ? QStringLiteral("Unbekannter Fehler der Audiowiedergabe.")
                                         : text;
                loop.quit();
            });
    connect(FPlayer, &QMediaPlayer::mediaStatusChanged, &loop,
            [&](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::InvalidMedia && failure.isEmpty())
                    failure = QStringLiteral("Das Format der Audiodatei wird nicht unterstützt.");
                loaded = Loaded(status);
                if (loaded || !failure.isEmpty())
                    loop.quit();
            });
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);

    FPlayer->setSource(QUrl::fromLocalFile(file));
    FPlayer->play();
    if (FPlayer->error() != QMediaPlayer::NoError && failure.isEmpty())
        failure = FPlayer->errorString();
    loaded = loaded || Loaded(FPlayer->mediaStatus());
    if (!loaded && failure.isEmpty()) {
        timeout.start(kLoadTimeoutMs);
        // No clicks meanwhile: a second Play must not start inside this one.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (failure.isEmpty() && !loaded)
        failure = QStringLiteral("Die Audiodatei wurde nicht rechtzeitig geladen.");
    if (!failure.isEmpty()) {
        Stop();
        if (error)
            *error = failure;
        return TResult::Failed;
    }
    return TResult::Playing;
}

void TQtAudioPlayer::Stop() {
    FPlayer->stop();
    // An empty source closes the file.
    FPlayer->setSource(QUrl());
}

} // namespace pictova::desktop
