#include "show/SlideShowBuild.h"

#include "movie/FlashImage.h"
#include "movie/FlashMovie.h"
#include "movie/FlashShape.h"
#include "movie/PictureReader.h"
#include "platform/Errors.h"
#include "show/Transitions.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace pictova {

namespace fs = std::filesystem;

TEffectDraw TEffectDraw::FromClock() {
    return TEffectDraw(
        uint32_t(std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFFFF));
}

int TEffectDraw::Draw() {
    return std::uniform_int_distribution<int>(1, kTransitionCount)(Generator);
}

namespace {

// A display time of more frames than one ShowFrame call counts.
void StandFor(TFlashMovie& movie, uint32_t frames) {
    while (frames > 0) {
        const uint32_t n = std::min<uint32_t>(frames, 0xFFFF);
        movie.ShowFrame(uint16_t(n));
        frames -= n;
    }
}

void AddPicture(TFlashMovie& movie, const recImgItems& item) {
    // Converting is asked for before loading, so the headers are read once;
    // the image names the file in its own errors.
    TFlashImage& image = movie.AddImage();
    image.SetConvertProgressive(true);
    image.LoadFromFile(item.FileName, PictureReaderFor(item.FileName));
    if (image.Width() == 0 || image.Height() == 0)
        throw EPictureError(EPictureError::NoSize, item.FileName, {});
    movie.AddShapeImage(image);
}

} // namespace

uint32_t ShowFrameCount(const std::vector<recImgItems>& items, const std::vector<int>& effects,
                        bool withPreloader) {
    uint64_t frames = withPreloader ? 1 : 0;
    for (size_t k = 0; k < items.size(); ++k)
        frames += uint64_t(TransitionFrameCount(effects[k])) +
                  uint64_t(items[k].Duration) * kFramesPerSecond;
    return uint32_t(std::min<uint64_t>(frames, UINT32_MAX));
}

TBuildResult BuildShow(const std::vector<recImgItems>& items, const TShowOptions& options,
                       const fs::path& outputPath, bool preview, TEffectDraw& draw,
                       const TBuildServices& services) {
    if (items.empty())
        throw EShowError(EShowError::NoPictures);
    TBuildResult result;
    for (const recImgItems& item : items) {
        if (item.Duration < kMinDuration || item.Duration > kMaxDuration)
            throw EShowError(EShowError::DurationOutOfRange, item.FileName, item.Duration,
                             kMinDuration, kMaxDuration);
        result.Width = std::max(result.Width, item.Width);
        result.Height = std::max(result.Height, item.Height);
        result.Effects.push_back(item.Effect == 0 ? draw.Draw() : item.Effect);
    }
    const bool final = !preview;
    const bool withPreloader = final && services.AddPreloader;
    result.FrameCount = ShowFrameCount(items, result.Effects, withPreloader);
    if (result.FrameCount > kMaxMovieFrames)
        throw EShowError(EShowError::TooLong, {}, result.FrameCount, kMaxMovieFrames,
                         kFramesPerSecond);
    if (result.Width <= 0 || result.Height <= 0) {
        // No picture gives the canvas a size: name the first that lacks one.
        const auto sizeless = std::find_if(items.begin(), items.end(), [](const recImgItems& i) {
            return i.Width <= 0 || i.Height <= 0;
        });
        throw EPictureError(EPictureError::SizeUnknown, sizeless->FileName, {});
    }
    if (services.FitPreviewPlayer)
        services.FitPreviewPlayer(result.Width, result.Height);

    const int W = result.Width, H = result.Height;
    TFlashMovie movie(0, 0, W * 20, H * 20, float(kFramesPerSecond), false);
    movie.SetVersion(6);
    movie.SetSystemCoord(true);
    movie.SetCompressed(options.Compress);
    movie.Protected = options.Password;
    if (options.Password)
        movie.Protect(options.PasswordText);

    int preloaderShapes = 0;
    if (withPreloader)
        preloaderShapes = services.AddPreloader(movie, W, H);

    TAttachedMusic music;
    const bool withMusic = options.Audio != TAudioChoice::None && services.AttachMusic;
    if (withMusic && !services.AttachMusic(movie, music)) {
        result.Abandoned = true;
        return result;
    }

    if (services.ProgressLabel)
        services.ProgressLabel("Bilddateien werden verarbeitet ...");
    if (services.Progress) {
        services.Progress->SetMax(int(items.size()));
        services.Progress->SetPosition(0);
    }
    for (const recImgItems& item : items) {
        if (services.Progress)
            services.Progress->Step();
        AddPicture(movie, item);
    }

    const uint16_t firstDepth = uint16_t(preloaderShapes);
    for (size_t k = 0; k < items.size(); ++k) {
        TTransitionInput input{items[k].Width, items[k].Height, 0, 0};
        if (k > 0) {
            input.PreviousWidth = items[k - 1].Width;
            input.PreviousHeight = items[k - 1].Height;
        }
        RunTransition(movie, result.Effects[k], uint16_t(k + preloaderShapes), input, firstDepth,
                      false);
        StandFor(movie, uint32_t(items[k].Duration) * kFramesPerSecond);
    }

    if (withMusic && services.SetMusicLoops)
        services.SetMusicLoops(movie, music);

    if (services.ProgressLabel)
        services.ProgressLabel("Diashow wird erstellt ...");
    if (services.Progress)
        services.Progress->SetPosition(0);
    movie.MakeStream(services.Progress);
    movie.SaveToFile(outputPath);
    result.FrameCount = movie.FrameCount();

    if (final && services.WritePage)
        services.WritePage(W, H);
    return result;
}

void BuildEffectDemo(int effect, const TDecodedPicture& first, const TDecodedPicture& second,
                     const fs::path& outputPath, TEffectDraw& draw) {
    // A 1 to 3000 by 1 to 2100 twip stage: 149 x 104 pixels by integer division.
    TFlashMovie movie(1, 1, 3000, 2100, float(kFramesPerSecond), false);
    movie.SetVersion(6);
    movie.SetSystemCoord(true);
    movie.SetCompressed(true);
    TFlashImage& a = movie.AddImage();
    a.LoadFromDecodedPicture(first);
    TFlashImage& b = movie.AddImage();
    b.LoadFromDecodedPicture(second);
    movie.AddShapeImage(a);
    movie.AddShapeImage(b);
    EffectHardCut(movie, 0);
    movie.ShowFrame(1);
    const int e = effect == 0 ? draw.Draw() : effect;
    RunTransition(movie, e, 1, TTransitionInput{150, 105, 150, 105}, 0, true);
    // A hard cut closes no frame of its own; without one its placement would
    // follow the movie's last frame and the demonstration would show no cut.
    if (TransitionFrameCount(e) == 0)
        movie.ShowFrame(1);
    movie.MakeStream();
    movie.SaveToFile(outputPath);
}

} // namespace pictova
