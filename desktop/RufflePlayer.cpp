#include "desktop/RufflePlayer.h"

#include "app/Language.h"
#include "desktop/RuffleController.h"

#include <QEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <functional>
#include <string_view>
#include <utility>

namespace pictova::desktop {

namespace {

Q_LOGGING_CATEGORY(lcRuffle, "pictova.ruffle", QtInfoMsg)

// The page answers through console lines of this prefix and a JSON object.
const QString MessagePrefix = QStringLiteral("pictova:");
// From LoadMovie to the first frame report, Ruffle's start-up included.
constexpr int DefaultLoadTimeout = 30000;

} // namespace

// The page that hands the host page's reports to the player.
class TRufflePage : public QWebEnginePage {
public:
    TRufflePage(std::function<void(const QString&)> onMessage, QObject* parent)
        : QWebEnginePage(parent), OnMessage(std::move(onMessage)) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override {
        if (message.startsWith(MessagePrefix)) {
            if (OnMessage)
                OnMessage(message.mid(MessagePrefix.size()));
            return;
        }
        // Ruffle's own log (renderer fall-backs, missing fonts, ...) comes at
        // every console level; it is for whoever switches the category on.
        qCDebug(lcRuffle, "%d %s (%s:%d)", int(level), qUtf8Printable(message),
                qUtf8Printable(source), line);
    }

public:
    // The player goes before its page.
    void Detach() { OnMessage = nullptr; }

private:
    std::function<void(const QString&)> OnMessage;
};

TRufflePlayer::TRufflePlayer(std::filesystem::path programFolder, QWidget* parent)
    : TMoviePlayer(parent), FProgramFolder(std::move(programFolder)) {
    FView = new QWebEngineView(parent);
    FViewObject = FView.data();
    FPage = new TRufflePage([this](const QString& message) { PageMessage(message); }, FView);
    // Black before the page has drawn, as the panels around the player are.
    FPage->setBackgroundColor(Qt::black);
    QWebEngineSettings* settings = FPage->settings();
    // The host page and Ruffle's scripts and WebAssembly are local files.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    // Movies with music start without a click.
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    FView->setPage(FPage);
    // The browser's own menu (back, reload, ...) has no place here; Ruffle
    // draws its menu inside the page when it is on.
    FView->setContextMenuPolicy(Qt::PreventContextMenu);

    FLoadTimeout.setSingleShot(true);
    FLoadTimeout.setInterval(DefaultLoadTimeout);
    connect(&FLoadTimeout, &QTimer::timeout, this, [this] {
        // A hidden page draws no frames, so the movie cannot get going
        // there; the time starts again when the player is shown.
        if (FView && !FView->isVisible())
            return;
        Fail(FLoadId, Text("PlayerTimeout"));
    });
    FView->installEventFilter(this);
    connect(FPage, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (ok || FState == TState::Ready)
            return;
        FState = TState::Broken;
        FPageError = Text("PlayerPageNotLoaded");
        FailPending();
    });
    connect(FPage, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                // The movie shown is gone with the process; the next one gets
                // a fresh page.
                if (FState == TState::Ready && FPending.Id == 0)
                    Fail(FLoadId, Text("PlayerEnded"));
                FState = TState::Starting;
                StartPage();
            });
    StartPage();
}

TRufflePlayer::~TRufflePlayer() {
    // The view may have gone with its parent widget already. If not, its
    // page must not call back into a player that is going.
    if (FPage) {
        FPage->Detach();
        FPage->disconnect(this);
    }
    if (FView) {
        FView->removeEventFilter(this);
        delete FView.data();
    }
}

QWidget* TRufflePlayer::Widget() {
    return FView.data();
}

bool TRufflePlayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FViewObject && event->type() == QEvent::Show && FTotalFrames == 0 && !FFailed &&
        FLoadId > 0)
        FLoadTimeout.start();
    return TMoviePlayer::eventFilter(watched, event);
}

void TRufflePlayer::StartPage() {
    if (!FView)
        return;
    const std::filesystem::path host = FProgramFolder / "data" / "player" / "host.html";
    std::error_code error;
    if (!std::filesystem::is_regular_file(host, error)) {
        FState = TState::Broken;
        FPageError = Text("PlayerPageMissing", {host.string()});
        return;
    }
    FView->load(QUrl::fromLocalFile(QString::fromStdString(host.string())));
}

void TRufflePlayer::LoadMovie(const QString& file, bool loop) {
    const int id = ++FLoadId;
    FFailed = false;
    FTotalFrames = 0;
    FCurrentFrame = 0;
    FPaused = false;
    FPending = {};

    // Failures reach the caller after LoadMovie has returned, as Ruffle's do.
    const auto failLater = [this, id](const QString& error) {
        QTimer::singleShot(0, this, [this, id, error] { Fail(id, error); });
    };
    // A player that cannot show anything need not read the file.
    if (!FView) {
        failLater(Text("PlayerGone"));
        return;
    }
    if (FState == TState::Broken) {
        failLater(FPageError);
        return;
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        failLater(Text("MovieUnreadable", {file.toStdString(), in.errorString().toStdString()}));
        return;
    }
    QByteArray movie = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        failLater(Text("MovieUnreadable", {file.toStdString(), in.errorString().toStdString()}));
        return;
    }
    in.close();

    std::string controller;
    try {
        const TMovieFacts facts =
            ReadMovieFacts(std::string_view(movie.constData(), size_t(movie.size())));
        controller = MakeControllerMovie(facts, loop);
    } catch (const std::exception& e) {
        failLater(Text("NoFlashMovie", {file.toStdString(), e.what()}));
        return;
    }

    FPending.Id = id;
    FPending.Controller = QByteArray(controller.data(), qsizetype(controller.size()));
    FPending.Movie = std::move(movie);
    FPending.ContextMenu = FContextMenu;
    FLoadTimeout.start();
    if (FState == TState::Ready)
        SendPending();
}

QString TRufflePlayer::Text(std::string_view key, const std::vector<std::string>& args) const {
    return QString::fromStdString(
        TLanguage(FProgramFolder, {}, FLanguage).Text("Desktop", key, args));
}

void TRufflePlayer::SendPending() {
    if (FPending.Id == 0)
        return;
    // Base64 keeps the bytes intact inside a script literal.
    QString script;
    script.reserve(qsizetype((FPending.Controller.size() + FPending.Movie.size()) * 4 / 3 + 100));
    script += QStringLiteral("pictovaLoad(%1,'").arg(FPending.Id);
    script += QString::fromLatin1(FPending.Controller.toBase64());
    script += QStringLiteral("','");
    script += QString::fromLatin1(FPending.Movie.toBase64());
    script += QStringLiteral("',{contextMenu:%1});")
                  .arg(FPending.ContextMenu ? QStringLiteral("true") : QStringLiteral("false"));
    FPending = {};
    RunScript(script);
    if (FPaused)
        RunScript(QStringLiteral("pictovaPause();"));
}

void TRufflePlayer::RunScript(const QString& script) {
    if (FPage)
        FPage->runJavaScript(script);
}

void TRufflePlayer::Play() {
    FPaused = false;
    if (FState == TState::Ready)
        RunScript(QStringLiteral("pictovaPlay();"));
}

void TRufflePlayer::Stop() {
    FPaused = true;
    if (FState == TState::Ready)
        RunScript(QStringLiteral("pictovaPause();"));
}

void TRufflePlayer::Fail(int id, const QString& error) {
    if (id != FLoadId || FFailed)
        return;
    FFailed = true;
    FLoadTimeout.stop();
    emit LoadFailed(error);
}

void TRufflePlayer::FailPending() {
    if (FPending.Id != 0)
        Fail(FPending.Id, FPageError);
    // The movie's bytes are not kept for a page that cannot take them.
    FPending = {};
}

void TRufflePlayer::PageMessage(const QString& message) {
    const QJsonObject report = QJsonDocument::fromJson(message.toUtf8()).object();
    const QString event = report.value(QStringLiteral("event")).toString();
    const int id = report.value(QStringLiteral("id")).toInt();
    if (event == QStringLiteral("ready")) {
        FState = TState::Ready;
        SendPending();
    } else if (event == QStringLiteral("frame")) {
        if (id != FLoadId || FFailed)
            return;
        const bool first = FTotalFrames == 0;
        FTotalFrames = report.value(QStringLiteral("total")).toInt();
        // _currentframe counts from 1.
        FCurrentFrame = std::max(0, report.value(QStringLiteral("current")).toInt() - 1);
        if (first && FTotalFrames > 0) {
            FLoadTimeout.stop();
            emit MovieLoaded();
        }
    } else if (event == QStringLiteral("panic")) {
        Fail(id, Text("PlayerCrashed",
                      {report.value(QStringLiteral("message")).toString().toStdString()}));
        // Ruffle refuses all further work in that page.
        FState = TState::Starting;
        StartPage();
    } else if (event == QStringLiteral("error")) {
        const QString text = report.value(QStringLiteral("message")).toString();
        if (FState == TState::Starting && id == 0) {
            // The page came up without Ruffle.
            FState = TState::Broken;
            FPageError = Text("PlayerNotStarted", {text.toStdString()});
            FailPending();
            return;
        }
        Fail(id, Text("PlayerCannotShow", {text.toStdString()}));
    }
}

} // namespace pictova::desktop
