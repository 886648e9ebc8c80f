#pragma once
// BuildShow turns a slide-show project into one movie file, in final mode
// (for the user: preloader, HTML page) or preview mode (for the embedded
// player). It is staged so that the preloader and the music plug in at fixed
// points without reshaping it. BuildEffectDemo writes the small movie that
// demonstrates one effect.

#include "show/Preloader.h"
#include "show/SlideShowProject.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace pictova {

class TFlashMovie;
class TProgressSink;
class TSWFStartSound;
class TFlashSound;
struct TDecodedPicture;

constexpr int kFramesPerSecond = 20;
// The SWF header counts frames in 16 bits.
constexpr uint32_t kMaxMovieFrames = 65535;

// What the music stage attached: the start tag and the sound it starts.
struct TAttachedMusic {
    TSWFStartSound* StartSound = nullptr;
    TFlashSound* Sound = nullptr;
};

// The front end's services and the stages that plug into the build; every
// member may be empty.
struct TBuildServices {
    TProgressSink* Progress = nullptr;
    std::function<void(const std::string& label)> ProgressLabel;
    std::function<void(int width, int height)> FitPreviewPlayer;
    // Final mode only: adds frame 1 and returns the number of shapes it
    // created. Every front end gets the loading preloader unless it says
    // otherwise; empty, the final movie starts with the pictures.
    std::function<int(TFlashMovie& movie, int width, int height)> AddPreloader =
        &pictova::AddPreloader;
    // Returns false to abandon the build (nothing is written).
    std::function<bool(TFlashMovie& movie, TAttachedMusic& music)> AttachMusic;
    std::function<void(TFlashMovie& movie, TAttachedMusic& music)> SetMusicLoops;
    // Final mode only, after the movie was written.
    std::function<void(int width, int height)> WritePage;
};

struct TBuildResult {
    int Width = 0; // canvas, pixels
    int Height = 0;
    uint32_t FrameCount = 0;
    std::vector<int> Effects; // the effect each picture entered with
    bool Abandoned = false;   // the music stage stopped the build
};

// One generator per build: drawing every random effect from a freshly
// seeded clock would give all of them the same number.
class TEffectDraw {
public:
    explicit TEffectDraw(uint32_t seed) : Generator(seed) {}
    static TEffectDraw FromClock();
    int Draw(); // 1..16, uniform

private:
    std::mt19937 Generator;
};

// Frames a show of these items takes once random effects are drawn.
uint32_t ShowFrameCount(const std::vector<recImgItems>& items, const std::vector<int>& effects,
                        bool withPreloader);

// Throws a typed error when the show cannot be built: EPictureError or
// EFileError for a picture that cannot be loaded, EShowError for a show
// without pictures, a display time out of range or a show too long for a
// movie, EFileError for a file that cannot be written; no movie is left
// half-written then.
TBuildResult BuildShow(const std::vector<recImgItems>& items, const TShowOptions& options,
                       const std::filesystem::path& outputPath, bool preview, TEffectDraw& draw,
                       const TBuildServices& services = {});

// The demonstration of one effect (0 draws one): picture `first` stands, the
// other comes in by the effect. Pictures are 150 x 105 pixels.
void BuildEffectDemo(int effect, const TDecodedPicture& first, const TDecodedPicture& second,
                     const std::filesystem::path& outputPath, TEffectDraw& draw);

} // namespace pictova
