#pragma once
// The sixteen transitions by which a picture enters a show. Each appends
// placements and frames for one picture whose image-filled rectangle is entry
// `depth` of the movie's shapes and stands at that depth. Coordinates are
// pixels of a pixel-unit movie.

#include <cstdint>

namespace pictova {

class TFlashMovie;

constexpr int kTransitionCount = 16; // effects 1..16; 0 means "draw one at random"

void EffectHardCut(TFlashMovie& movie, uint16_t depth);
void EffectFade(TFlashMovie& movie, uint16_t depth, int steps);
void EffectSlideFromLeft(TFlashMovie& movie, uint16_t depth, int steps, int width);
void EffectSlideFromRight(TFlashMovie& movie, uint16_t depth, int steps, int width);
void EffectSlideFromTop(TFlashMovie& movie, uint16_t depth, int steps, int height);
void EffectSlideFromBottom(TFlashMovie& movie, uint16_t depth, int steps, int height);
void EffectFlyFromTopLeft(TFlashMovie& movie, uint16_t depth, int steps);
void EffectFlyFromTopRight(TFlashMovie& movie, uint16_t depth, int steps, int width);
void EffectFlyFromBottomRight(TFlashMovie& movie, uint16_t depth, int steps, int height, int width);
void EffectFlyFromBottomLeft(TFlashMovie& movie, uint16_t depth, int steps, int height);
// The push effects also move the previous picture (depth - 1) out, unless
// this is the show's first picture: depth == firstPictureDepth.
void EffectPushFromLeft(TFlashMovie& movie, uint16_t depth, int steps, int width, int previousWidth,
                        uint16_t firstPictureDepth);
void EffectPushFromTop(TFlashMovie& movie, uint16_t depth, int steps, int height,
                       int previousHeight, uint16_t firstPictureDepth);
void EffectPushFromRight(TFlashMovie& movie, uint16_t depth, int steps, int width,
                         int previousWidth, uint16_t firstPictureDepth);
void EffectPushFromBottom(TFlashMovie& movie, uint16_t depth, int steps, int height,
                          int previousHeight, uint16_t firstPictureDepth);
void EffectSpinInRight(TFlashMovie& movie, uint16_t depth, int steps, int turns, int width,
                       int height);
void EffectSpinInLeft(TFlashMovie& movie, uint16_t depth, int steps, int turns, int width,
                      int height);

// What a transition needs to know of its picture and the one before it.
struct TTransitionInput {
    int Width = 0;
    int Height = 0;
    int PreviousWidth = 0;  // 0 for the first picture
    int PreviousHeight = 0; // 0 for the first picture
};

// Runs effect 1..16 with the step counts of a show, or of the effect
// demonstration (which spins in fewer steps).
void RunTransition(TFlashMovie& movie, int effect, uint16_t depth, const TTransitionInput& input,
                   uint16_t firstPictureDepth, bool demonstration);

// Frames a transition emits with the step counts of a show.
int TransitionFrameCount(int effect);

} // namespace pictova
