#pragma once
// Creating a show from a project, as both front ends do it: the output
// checks before anything is written (the movie and, in final mode, its page),
// the build with its background music, the page with the player files beside
// it, and the clean-up when the build fails. pictova-cli and the desktop
// window differ only in how they ask, tell and show progress.

#include "app/OutputCheck.h"
#include "show/SlideShowBuild.h"
#include "show/SlideShowProject.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pictova {

class TLanguage;
class TProgressSink;
class TSettings;

// What the front end shows while a show is built; every member may be empty.
struct TCreationHooks {
    TProgressSink* Progress = nullptr;
    std::function<void(const std::string& label)> ProgressLabel;
    std::function<void(int width, int height)> FitPreviewPlayer;
    // The own music file does not exist (the message says so); the build is
    // abandoned after this and nothing is written.
    std::function<void(const std::string& message)> OnMissingMusic;
};

enum class TCreationOutcome {
    Written,   // the movie (and in final mode its page and player files)
    Refused,   // an output check refused RefusedFile; nothing was built
    Abandoned, // the music stage stopped the build; nothing was written
};

struct TCreation {
    TCreationOutcome Outcome = TCreationOutcome::Refused;
    TBuildResult Build;
    std::filesystem::path Movie; // absolute
    std::filesystem::path Page;  // final mode: the movie's HTML page
    std::filesystem::path RefusedFile;
};

class TShowCreator {
public:
    // settings and language must outlive the creator; ui answers the
    // questions of the output checks.
    TShowCreator(std::filesystem::path programFolder, TSettings& settings,
                 const TLanguage& language, TOutputCheckUi ui);
    TShowCreator(const TShowCreator&) = delete;
    TShowCreator& operator=(const TShowCreator&) = delete;

    // The checks' memory of "yes to all"; the desktop window clears it
    // before each creation.
    TOutputCheck& Check() { return FCheck; }

    // Checks options.OutputPath (which must name a file) and, in final mode,
    // its page, then builds.
    // Final mode also installs the player files and writes the page beside
    // the movie. Throws the build's typed errors (UserMessage words them for
    // the user), EShowError when no output file is named; a movie that did
    // not exist before is then removed again, so a failed page leaves no
    // movie without its page behind.
    TCreation Create(const std::vector<recImgItems>& items, const TShowOptions& options,
                     bool preview, TEffectDraw& draw, const TCreationHooks& hooks = {});

    // The preview build into file (no checks, no preloader, no page), with
    // the same music as the show. Throws as Create does; Abandoned when the
    // own music file is missing.
    TCreationOutcome BuildPreview(const std::vector<recImgItems>& items,
                                  const TShowOptions& options, const std::filesystem::path& file,
                                  TEffectDraw& draw, const TCreationHooks& hooks = {});

private:
    TBuildResult Build(const std::vector<recImgItems>& items, const TShowOptions& options,
                       const std::filesystem::path& movie, bool preview, TEffectDraw& draw,
                       const TCreationHooks& hooks);

    std::filesystem::path ProgramFolder;
    TOutputCheck FCheck;
};

} // namespace pictova
