// pictova-cli: the slide-show build from the command line.

#include "app/HtmlPage.h"
#include "app/Language.h"
#include "app/OutputCheck.h"
#include "app/Settings.h"
#include "app/ShowCreation.h"
#include "app/UserTexts.h"
#include "app/Version.h"
#include "cli/CliOptions.h"
#include "movie/ProgressSink.h"
#include "platform/Errors.h"
#include "platform/LoopbackServer.h"
#include "platform/OpenUrl.h"
#include "platform/ProgramFolder.h"
#include "show/EffectCaptions.h"
#include "show/ImageSize.h"
#include "show/SlideShowBuild.h"

#include <cerrno>
#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace pictova;
namespace fs = std::filesystem;

// A bar on stderr, drawn only when stderr is a terminal.
class TTerminalProgress : public TProgressSink {
public:
    TTerminalProgress() : Enabled(::isatty(2) == 1) {}
    ~TTerminalProgress() override { Finish(); }
    void SetMax(int max) override {
        FMax = max;
        Draw();
    }
    int Max() const override { return FMax; }
    void SetPosition(int position) override {
        Position = position;
        Draw();
    }
    void Step() override {
        ++Position;
        Draw();
    }
    void Label(const std::string& label) {
        Finish();
        Text = label;
        Draw();
    }
    void Finish() {
        if (Enabled && Drawn)
            std::cerr << "\n";
        Drawn = false;
    }

private:
    void Draw() {
        if (!Enabled || Text.empty())
            return;
        const int width = 30;
        const int filled = FMax > 0 ? std::min(width, Position * width / FMax) : 0;
        std::cerr << "\r" << Text << " [" << std::string(size_t(filled), '#')
                  << std::string(size_t(width - filled), ' ') << "] "
                  << (FMax > 0 ? std::min(100, Position * 100 / FMax) : 0) << "%" << std::flush;
        Drawn = true;
    }

    bool Enabled;
    bool Drawn = false;
    int FMax = 0;
    int Position = 0;
    std::string Text;
};

TLoopbackServer* RunningServer = nullptr;

void StopServing(int) {
    if (RunningServer)
        RunningServer->Stop();
}

int Serve(const fs::path& page, bool open, const TLanguage& language) {
    TLoopbackServer server(page.has_parent_path() ? page.parent_path() : fs::path("."));
    const std::string url = server.UrlOf(page.filename());
    std::cout << language.Text("CLI", "Serving", {url}) << std::endl;
    if (open && !OpenInBrowser(url))
        std::cerr << "pictova-cli: " << language.Text("CLI", "NoBrowser", {url}) << "\n";
    RunningServer = &server;
    std::signal(SIGINT, StopServing);
    std::signal(SIGTERM, StopServing);
    server.Serve();
    RunningServer = nullptr;
    return 0;
}

std::vector<recImgItems> ItemsOf(const TCliOptions& o) {
    std::vector<recImgItems> items;
    for (const TCliPicture& p : o.Pictures) {
        std::error_code ec;
        if (!fs::is_regular_file(p.File, ec))
            throw EFileError(p.File, TFileAction::Open, fs::exists(p.File, ec) ? EISDIR : ENOENT);
        recImgItems item;
        item.FileName = fs::absolute(p.File);
        if (const auto size = ReadImageSize(p.File)) {
            item.Width = size->Width;
            item.Height = size->Height;
        }
        item.Effect = p.Effect;
        item.Duration = p.Duration;
        items.push_back(item);
    }
    return items;
}

int Run(const TCliOptions& o, const TLanguage& language) {
    const fs::path programFolder = ProgramFolder();
    const std::vector<recImgItems> items = ItemsOf(o);
    const fs::path movie = fs::absolute(o.Output).lexically_normal();
    const fs::path page = HtmlPagePath(movie);

    auto tell = [](const std::string& text, TMessageKind) { std::cerr << text << "\n"; };
    TSettings settings;
    // Without --yes the command line never creates or replaces anything:
    // the question is shown and answered "no".
    auto answer = [&](const std::string& question) {
        if (o.Yes)
            return TAnswer::Yes;
        std::cerr << question << "\npictova-cli: " << language.Text("CLI", "YesHint") << "\n";
        return TAnswer::No;
    };
    TShowCreator creator(programFolder, settings, language,
                         TOutputCheckUi{answer,
                                        [&](const std::string& q) {
                                            return answer(q) == TAnswer::Yes ? TAnswer::YesToAll
                                                                             : TAnswer::No;
                                        },
                                        tell});

    TShowOptions options;
    options.Compress = o.Compress;
    options.Password = o.Password;
    options.PasswordText = o.PasswordText;
    options.OutputPath = movie;
    options.Audio = o.Music;
    options.AudioFile = o.MusicFile;
    options.AudioLoop = o.MusicLoop;

    TTerminalProgress progress;
    TCreationHooks hooks;
    hooks.Progress = &progress;
    hooks.ProgressLabel = [&](const std::string& label) { progress.Label(label); };
    hooks.OnMissingMusic = [&](const std::string& message) { tell(message, TMessageKind::Error); };
    TEffectDraw draw = o.Seed ? TEffectDraw(*o.Seed) : TEffectDraw::FromClock();

    // On an error the progress line is ended as the bar goes out of scope.
    const TCreation creation = creator.Create(items, options, o.Preview, draw, hooks);
    progress.Finish();
    switch (creation.Outcome) {
    case TCreationOutcome::Refused:
        // A refusal by the settings (never overwrite) asks nothing: say it here.
        std::cerr << "pictova-cli: "
                  << language.Text("CLI", "NotWritten", {creation.RefusedFile.string()}) << "\n";
        return 1;
    case TCreationOutcome::Abandoned:
        return 1; // the music stage said why; nothing was written
    case TCreationOutcome::Written:
        break;
    }
    std::cout << language.Text("CLI", "WroteMovie",
                               {movie.string(), std::to_string(creation.Build.Width),
                                std::to_string(creation.Build.Height),
                                std::to_string(creation.Build.FrameCount)})
              << "\n";
    if (o.Preview)
        return 0;
    std::cout << language.Text("CLI", "WrotePage",
                               {page.string(), (page.parent_path() / "ruffle").string()})
              << "\n";
    if (o.Open || o.Serve)
        return Serve(page, o.Open, language);
    std::cout << language.Text("CLI", "HowToWatch") << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The usage texts need the language before the command line is parsed.
    // Without a program folder they come built in; the build then reports it.
    fs::path programFolder;
    try {
        programFolder = ProgramFolder();
    } catch (const std::exception&) {
    }
    // Texts missing from the language file are reported on stderr.
    const TLanguage language(
        programFolder, [](const std::string& text, TMessageKind) { std::cerr << text << "\n"; },
        CommandLineLanguage(args));
    const std::string usage = UsageText(language.Text("Usage", "Help"));
    TCliOptions options;
    try {
        options = ParseCommandLine(args);
    } catch (const TUsageError& e) {
        std::cerr << "pictova-cli: " << language.Text("Usage", e.Key(), e.Args()) << "\n\n"
                  << usage;
        return 2;
    }
    if (options.Help) {
        std::cout << usage;
        return 0;
    }
    if (options.Version) {
        std::cout << "pictova-cli " << GetVersionString(TVersionDigits::Three) << "\n";
        return 0;
    }
    if (options.ListEffects) {
        for (int e = 0; e <= 16; ++e)
            std::cout << e << "\t" << EffectCaptionText(language, e) << "\n";
        return 0;
    }
    try {
        return Run(options, language);
    } catch (const std::exception& e) {
        std::cerr << "pictova-cli: " << UserMessage(e, language) << "\n";
        return 1;
    }
}
