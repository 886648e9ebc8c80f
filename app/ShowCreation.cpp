#include "app/ShowCreation.h"

#include "app/HtmlPage.h"
#include "app/PlayerFiles.h"
#include "platform/Errors.h"
#include "show/BackgroundMusic.h"

#include <stdexcept>
#include <system_error>
#include <utility>

namespace pictova {

namespace fs = std::filesystem;

TShowCreator::TShowCreator(fs::path programFolder, TSettings& settings, const TLanguage& language,
                           TOutputCheckUi ui)
    : ProgramFolder(std::move(programFolder)), FCheck(settings, language, std::move(ui)) {}

TBuildResult TShowCreator::Build(const std::vector<recImgItems>& items, const TShowOptions& options,
                                 const fs::path& movie, bool preview, TEffectDraw& draw,
                                 const TCreationHooks& hooks) {
    TBuildServices services;
    services.Progress = hooks.Progress;
    services.ProgressLabel = hooks.ProgressLabel;
    services.FitPreviewPlayer = hooks.FitPreviewPlayer;

    // Create's checks cleared the page before the build: asking again after
    // the movie is written would ask twice for one file.
    services.WritePage = [&](int width, int height) {
        InstallPlayerFiles(ProgramFolder, movie.parent_path());
        WriteHtmlPage(ProgramFolder, movie, width, height);
    };

    // Declared before the build so that its working copy outlives the movie.
    TBackgroundMusic music(options, ProgramFolder);
    music.OnMissingFile = [&](const std::string& message) {
        if (hooks.OnMissingMusic)
            hooks.OnMissingMusic(message);
    };
    music.Install(services);
    return BuildShow(items, options, movie, preview, draw, services);
}

TCreation TShowCreator::Create(const std::vector<recImgItems>& items, const TShowOptions& options,
                               bool preview, TEffectDraw& draw, const TCreationHooks& hooks) {
    // Without a file name the checks would ask about replacing a folder.
    if (!options.OutputPath.has_filename())
        throw EShowError(EShowError::NoOutputFile);
    TCreation creation;
    creation.Movie = fs::absolute(options.OutputPath).lexically_normal();
    if (!preview)
        creation.Page = HtmlPagePath(creation.Movie);

    for (const fs::path& file :
         preview ? std::vector{creation.Movie} : std::vector{creation.Movie, creation.Page}) {
        if (!FCheck.CheckOutputFile(file)) {
            creation.Outcome = TCreationOutcome::Refused;
            creation.RefusedFile = file;
            return creation;
        }
    }

    TShowOptions built = options;
    built.OutputPath = creation.Movie;
    std::error_code ec;
    const bool movieExisted = fs::exists(fs::symlink_status(creation.Movie, ec));
    try {
        creation.Build = Build(items, built, creation.Movie, preview, draw, hooks);
    } catch (...) {
        // A movie written before its page failed is not left behind alone.
        if (!movieExisted && !preview)
            fs::remove(creation.Movie, ec);
        throw;
    }
    creation.Outcome =
        creation.Build.Abandoned ? TCreationOutcome::Abandoned : TCreationOutcome::Written;
    return creation;
}

TCreationOutcome TShowCreator::BuildPreview(const std::vector<recImgItems>& items,
                                            const TShowOptions& options, const fs::path& file,
                                            TEffectDraw& draw, const TCreationHooks& hooks) {
    const TBuildResult result = Build(items, options, file, true, draw, hooks);
    return result.Abandoned ? TCreationOutcome::Abandoned : TCreationOutcome::Written;
}

} // namespace pictova
