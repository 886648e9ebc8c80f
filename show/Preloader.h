#pragma once
// The loading preloader of a final show: frame 1 shows a bar and a
// percentage followed by "% geladen" while the browser loads the movie, and
// holds the timeline until every byte has arrived; then it jumps to frame 2,
// where the show begins. It is the first content of the movie.

#include "movie/FlashFont.h"

namespace pictova {

class TFlashMovie;

// The shapes AddPreloader creates before any picture: the pictures' depths
// and shape indexes come after them.
constexpr int PreloaderShapeCount = 2;

// The main window's font, which the preloader's percentage text uses too.
TFontDescription MainWindowFont();

// Pixels, from the canvas size; rounded to nearest, halves to even.
struct TPreloaderLayout {
    int BarW = 0;    // half the canvas width
    int BarH = 0;    // from the width, always even
    int BarX = 0;    // centres the bar
    int BarY = 0;    // about the canvas middle, always even
    int TextTop = 0; // the text box spans the canvas width from here to the bottom
};
TPreloaderLayout PreloaderLayout(int width, int height);

// Adds the bar, its frame, the font, the percentage text, the two sprites
// and the script to a movie of a `width` x `height` pixel canvas, and closes
// frame 1; the RemoveObject2 that takes the preloader away opens frame 2.
// Returns PreloaderShapeCount.
int AddPreloader(TFlashMovie& movie, int width, int height);

} // namespace pictova
