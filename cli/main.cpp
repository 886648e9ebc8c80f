// pictova-cli: the slide-show build from the command line.

#include "app/HtmlPage.h"
#include "app/Language.h"
#include "app/OutputCheck.h"
#include "app/Settings.h"
#include "app/ShowCreation.h"
#include "app/Version.h"
#include "cli/CliOptions.h"
#include "movie/ProgressSink.h"
#include "platform/LoopbackServer.h"
#include "platform/OpenUrl.h"
#include "platform/ProgramFolder.h"
#include "show/EffectCaptions.h"
#include "show/ImageSize.h"
#include "show/SlideShowBuild.h"

#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
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

int Serve(const fs::path& page, bool open) {
    TLoopbackServer server(page.has_parent_path() ? page.parent_path() : fs::path("."));
    const std::string url = server.UrlOf(page.filename());
    std::cout << "Serving the show at " << url << " (Ctrl+C stops)" << std::endl;
    if (open && !OpenInBrowser(url))
        std::cerr << "pictova-cli: no browser could be opened; open " << url << " yourself\n";
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
            throw std::runtime_error("Die Bilddatei \"" + p.File.string() + "\" existiert nicht.");
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

int Run(const TCliOptions& o) {
    const fs::path programFolder = ProgramFolder();
    const std::vector<recImgItems> items = ItemsOf(o);
    const fs::path movie = fs::absolute(o.Output).lexically_normal();
    const fs::path page = HtmlPagePath(movie);

    auto tell = [](const std::string& text, TMessageKind) { std::cerr << text << "\n"; };
    TLanguage language(programFolder, tell);
    TSettings settings;
    // Without --yes the command line never creates or replaces anything:
    // the question is shown and answered "no".
    auto answer = [&o](const std::string& question) {
        if (o.Yes)
            return TAnswer::Yes;
        std::cerr << question << "\n(pictova-cli: mit --yes wird das ohne Rückfrage erledigt)\n";
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
        std::cerr << "pictova-cli: \"" << creation.RefusedFile.string()
                  << "\" wird nicht geschrieben.\n";
        return 1;
    case TCreationOutcome::Abandoned:
        return 1; // the music stage said why; nothing was written
    case TCreationOutcome::Written:
        break;
    }
    std::cout << "Wrote " << movie.string() << " (" << creation.Build.Width << " x "
              << creation.Build.Height << " pixels, " << creation.Build.FrameCount << " frames)\n";
    if (o.Preview)
        return 0;
    std::cout << "Wrote " << page.string() << " with the player in "
              << (page.parent_path() / "ruffle").string() << "\n";
    if (o.Open || o.Serve)
        return Serve(page, o.Open);
    std::cout << "To watch it, serve that folder (for instance with --serve): browsers do not "
                 "start the player from a file:// page.\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    TCliOptions options;
    try {
        options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const TUsageError& e) {
        std::cerr << "pictova-cli: " << e.what() << "\n\n" << kCliUsage;
        return 2;
    }
    if (options.Help) {
        std::cout << kCliUsage;
        return 0;
    }
    if (options.Version) {
        std::cout << "pictova-cli " << GetVersionString(TVersionDigits::Three) << "\n";
        return 0;
    }
    if (options.ListEffects) {
        for (int e = 0; e <= 16; ++e)
            std::cout << e << "\t" << EffectCaption(e) << "\n";
        return 0;
    }
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::cerr << "pictova-cli: " << e.what() << "\n";
        return 1;
    }
}
