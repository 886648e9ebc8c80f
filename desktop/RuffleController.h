#pragma once
// The embedded player shows a movie through a small controller movie of our
// own: Ruffle has neither a loop switch nor a current-frame property, so the
// controller loads the movie into level 1, reports its frames and, with
// looping off, holds it on its last frame. The movie file stays as written.

#include "swf/SWFTypes.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pictova::desktop {

class TMovieFactsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the controller copies from the movie: level 0 decides the stage size,
// frame rate and background colour for every level.
struct TMovieFacts {
    bool Compressed = false;
    TRect FrameRect;  // twips
    uint16_t FPS = 0; // 8.8 fixed point
    uint16_t FrameCount = 0;
    bool HasBackground = false; // a SetBackgroundColor tag in the first frame
    SWFRGB Background;
};

// Reads the header of a plain (FWS) or zlib-compressed (CWS) movie and looks
// through its first frame for the background colour. Throws
// TMovieFactsError for anything else, and TSWFReadError for a header cut
// short.
TMovieFacts ReadMovieFacts(std::string_view bytes);

// The FSCommand through which the controller reports "current total url" of
// level 1 once a tick: frames counted from 1, as _currentframe and
// _totalframes give them. Until the movie is in, _level1 reads as something
// else (a one-frame clip at frame 0, then an empty placeholder of 0 frames);
// the URL tells the movie from those.
inline constexpr const char* ControllerCommand = "pictovaFrame";
// The FlashVar that holds the URL of the movie to load into level 1.
inline constexpr const char* ControllerMovieVariable = "pictovaMovie";

// The controller's SWF bytes for a movie of these facts. Without a background
// colour in the movie the stage is white, as a movie without one shows.
std::string MakeControllerMovie(const TMovieFacts& movie, bool loop);

} // namespace pictova::desktop
