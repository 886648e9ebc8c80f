#pragma once
// TRufflePlayer: the embedded Flash player, Ruffle in a web view. The host
// page (data/player/host.html) starts Ruffle once, when the player is made,
// and every movie after that loads into the same page: Ruffle's start-up
// takes over a second, a further load a small fraction of it.
//
// A movie plays in level 1 under a controller movie of our own
// (RuffleController.h), which reports the frame shown and, with looping off,
// holds the last frame. The movie's bytes are handed to the page (level 1
// reads them from a blob URL), so the file may go as soon as LoadMovie
// returns.
//
// Both players scale to show all at high quality. Around the stage the
// movie's background colour shows, as in Flash's show-all, so the blank
// one-frame movie whitens the whole player; the page itself is black.

#include "desktop/DesktopServices.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QWebEngineView;

namespace pictova::desktop {

class TRufflePage;

class TRufflePlayer : public TMoviePlayer {
    Q_OBJECT
public:
    // programFolder holds data/player (the host page) and data/ruffle.
    explicit TRufflePlayer(std::filesystem::path programFolder, QWidget* parent = nullptr);
    ~TRufflePlayer() override;

    // The web view; null once it has gone with a parent widget.
    QWidget* Widget() override;
    void LoadMovie(const QString& file, bool loop) override;
    void Play() override;
    void Stop() override;
    int TotalFrames() const override { return FTotalFrames; }
    int CurrentFrame() const override { return FCurrentFrame; }

    // The language of the player's messages (lng/<language>.lng), "Deutsch"
    // at first.
    void SetLanguage(std::string language) { FLanguage = std::move(language); }

    // Ruffle's context menu (on at first; the effect demonstration has none);
    // takes effect with the next movie.
    void SetContextMenu(bool on) { FContextMenu = on; }

    // The page has started Ruffle and takes movies at once.
    bool IsReady() const { return FState == TState::Ready; }
    // How long a movie may take from LoadMovie to its first frame report
    // while the player is visible before LoadFailed is emitted.
    void SetLoadTimeout(int milliseconds) { FLoadTimeout.setInterval(milliseconds); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class TState { Starting, Ready, Broken };
    struct TPendingLoad {
        int Id = 0;
        QByteArray Controller;
        QByteArray Movie;
        bool ContextMenu = true;
    };

    void StartPage();
    void PageMessage(const QString& message);
    void SendPending();
    void RunScript(const QString& script);
    void Fail(int id, const QString& error);
    // The [Desktop] text of the key in the language.
    QString Text(std::string_view key, const std::vector<std::string>& args = {}) const;
    // The page cannot take the waiting movie: it fails with FPageError.
    void FailPending();

    std::filesystem::path FProgramFolder;
    std::string FLanguage = "Deutsch";
    QPointer<QWebEngineView> FView;
    // The view as the event filter sees it: comparing through FView would
    // cast a view that is being destroyed back to QWebEngineView.
    const QObject* FViewObject = nullptr;
    QPointer<TRufflePage> FPage; // owned by the view
    TState FState = TState::Starting;
    QString FPageError;
    TPendingLoad FPending; // Id 0: nothing waits for the page
    // Play() or Stop() asked for before the page took the movie.
    bool FPaused = false;
    bool FContextMenu = true;

    int FLoadId = 0;      // the newest LoadMovie
    bool FFailed = false; // LoadFailed emitted for FLoadId
    int FTotalFrames = 0; // above 0 once MovieLoaded was emitted for FLoadId
    int FCurrentFrame = 0;
    QTimer FLoadTimeout;
};

} // namespace pictova::desktop
