#include "show/Transitions.h"

#include "movie/FlashMovie.h"
#include "movie/FlashPlaceObject.h"
#include "movie/FlashShape.h"

#include <cassert>
#include <stdexcept>
#include <string>

namespace pictova {

namespace {

// Nearest integer, halves to even; every quotient is taken in floating point.
int Round(double x) {
    return RoundHalfEven(x);
}

struct TStage {
    int W;
    int H;
};

TStage StageOf(const TFlashMovie& movie) {
    return {movie.Width(), movie.Height()};
}

TFlashShape& ShapeAt(TFlashMovie& movie, uint16_t depth) {
    return *movie.Shapes()[depth];
}

int CentredX(const TStage& s, const TFlashShape& shape) {
    return Round((s.W - shape.XMax()) / 2.0);
}

int CentredY(const TStage& s, const TFlashShape& shape) {
    return Round((s.H - shape.YMax()) / 2.0);
}

// One placement per step: the first step places the picture, later ones move it.
template <class Position>
void StepByStep(TFlashMovie& movie, uint16_t depth, int steps, Position position) {
    TFlashShape& shape = ShapeAt(movie, depth);
    for (int t = 0; t <= steps; ++t) {
        const double r = double(steps - t) / steps;
        TFlashPlaceObject& p = movie.PlaceObject(shape, depth);
        const auto [x, y] = position(r);
        p.SetX(x);
        p.SetY(y);
        if (t > 0)
            p.SetMove(true);
        movie.ShowFrame(1);
    }
}

// Fly-in and spin-in steps hold two placements of the picture: a bare one,
// then the moving one with its position, scale and fading or turning.
template <class Modify>
void DoublePlacements(TFlashMovie& movie, uint16_t depth, int steps, Modify modify) {
    TFlashShape& shape = ShapeAt(movie, depth);
    for (int t = 0; t <= steps; ++t) {
        movie.PlaceObject(shape, depth);
        TFlashPlaceObject& p = movie.PlaceObject(shape, depth);
        modify(p, t);
        p.SetMove(true);
        movie.ShowFrame(1);
    }
}

void Fly(TFlashMovie& movie, uint16_t depth, int steps, bool fromRight, bool fromBottom, int width,
         int height) {
    const TStage s = StageOf(movie);
    const TFlashShape& shape = ShapeAt(movie, depth);
    DoublePlacements(movie, depth, steps, [&](TFlashPlaceObject& p, int t) {
        const double r = double(steps - t) / steps;
        const float scale = float(t) / float(steps);
        p.SetX(fromRight ? Round((s.W - width) / 2.0) + Round(r * width) : CentredX(s, shape));
        p.SetY(fromBottom ? Round((s.H - height) / 2.0) + Round(r * height) : CentredY(s, shape));
        p.SetScale(scale, scale);
        p.ColorTransform().SetAddA(-Round(r * 128));
    });
}

enum class TPushFrom { Left, Top, Right, Bottom };

void Push(TFlashMovie& movie, uint16_t depth, int steps, int size, int previousSize,
          uint16_t firstPictureDepth, TPushFrom from) {
    const TStage s = StageOf(movie);
    TFlashShape& shape = ShapeAt(movie, depth);
    const bool horizontal = from == TPushFrom::Left || from == TPushFrom::Right;
    const bool hasPrevious = depth > firstPictureDepth;
    const int stageSize = horizontal ? s.W : s.H;
    // G of the outgoing picture is rounded before it is scaled.
    const int gPrevious = Round((stageSize - previousSize) / 2.0) + previousSize;
    const int restPrevious = Round((stageSize - previousSize) / 2.0);
    for (int t = 0; t <= steps; ++t) {
        const double q = double(t) / steps;
        const double r = double(steps - t) / steps;
        if (hasPrevious) {
            TFlashShape& previous = ShapeAt(movie, uint16_t(depth - 1));
            TFlashPlaceObject& p = movie.PlaceObject(previous, uint16_t(depth - 1));
            const int towards = from == TPushFrom::Left || from == TPushFrom::Top ? 1 : -1;
            const int along = Round(towards * gPrevious * q) + restPrevious;
            if (horizontal) {
                p.SetX(along);
                p.SetY(Round((s.H - previous.YMax()) / 2.0));
            } else {
                p.SetX(Round((s.W - previous.XMax()) / 2.0));
                p.SetY(along);
            }
            if (t > 0)
                p.SetMove(true);
            if (t == steps)
                movie.RemoveObject(uint16_t(depth - 1));
        }
        int along = 0;
        switch (from) {
        case TPushFrom::Left:
        case TPushFrom::Top:
            // As the slides from left and top: the sum is not rounded first.
            along = Round((stageSize - size) / 2.0) - Round(((stageSize - size) / 2.0 + size) * r);
            break;
        case TPushFrom::Right:
        case TPushFrom::Bottom: {
            const int g = Round((stageSize - size) / 2.0) + size;
            along = Round(g * r) + Round((stageSize - size) / 2.0);
            break;
        }
        }
        TFlashPlaceObject& p = movie.PlaceObject(shape, depth);
        p.SetX(horizontal ? along : CentredX(s, shape));
        p.SetY(horizontal ? CentredY(s, shape) : along);
        if (t > 0)
            p.SetMove(true);
        movie.ShowFrame(1);
    }
}

void Spin(TFlashMovie& movie, uint16_t depth, int steps, int turns, int width, int height,
          bool right) {
    const TStage s = StageOf(movie);
    const int total = steps * turns;
    DoublePlacements(movie, depth, total, [&](TFlashPlaceObject& p, int t) {
        const int n = total - t;
        const double r = double(n) / total;
        p.SetX(Round((s.W - width) / 2.0 + r * width * 2 / 3));
        p.SetY(Round((s.H - height) / 2.0 + r * height * 2 / 3));
        const float scale = float(total - n) / float(total);
        p.SetScale(scale, scale);
        // Integer products, then a real division; the left spin thereby
        // starts at -285 degrees for 75 steps, as it always has.
        const int32_t numerator = right ? 360 * turns * n : (n - 360 * turns) * n;
        p.SetRotate(float(double(numerator) / total));
    });
}

} // namespace

void EffectHardCut(TFlashMovie& movie, uint16_t depth) {
    const TStage s = StageOf(movie);
    TFlashShape& shape = ShapeAt(movie, depth);
    TFlashPlaceObject& p = movie.PlaceObject(shape, depth);
    p.SetX(CentredX(s, shape));
    p.SetY(CentredY(s, shape));
}

void EffectFade(TFlashMovie& movie, uint16_t depth, int steps) {
    const TStage s = StageOf(movie);
    TFlashShape& shape = ShapeAt(movie, depth);
    for (int t = 0; t <= steps; ++t) {
        const double r = double(steps - t) / steps;
        TFlashPlaceObject& p = movie.PlaceObject(shape, depth);
        p.SetX(CentredX(s, shape));
        p.SetY(CentredY(s, shape));
        p.ColorTransform().SetAddA(-Round(r * 255));
        if (t > 0)
            p.SetMove(true);
        movie.ShowFrame(1);
    }
}

void EffectSlideFromLeft(TFlashMovie& movie, uint16_t depth, int steps, int width) {
    const TStage s = StageOf(movie);
    const int y = CentredY(s, ShapeAt(movie, depth));
    StepByStep(movie, depth, steps, [&](double r) {
        return std::pair{Round((s.W - width) / 2.0) - Round(((s.W - width) / 2.0 + width) * r), y};
    });
}

void EffectSlideFromRight(TFlashMovie& movie, uint16_t depth, int steps, int width) {
    const TStage s = StageOf(movie);
    const int y = CentredY(s, ShapeAt(movie, depth));
    StepByStep(movie, depth, steps, [&](double r) {
        return std::pair{Round(((s.W - width) / 2.0 + width) * r) + Round((s.W - width) / 2.0), y};
    });
}

void EffectSlideFromTop(TFlashMovie& movie, uint16_t depth, int steps, int height) {
    const TStage s = StageOf(movie);
    const int x = CentredX(s, ShapeAt(movie, depth));
    StepByStep(movie, depth, steps, [&](double r) {
        return std::pair{x,
                         Round((s.H - height) / 2.0) - Round(((s.H - height) / 2.0 + height) * r)};
    });
}

void EffectSlideFromBottom(TFlashMovie& movie, uint16_t depth, int steps, int height) {
    const TStage s = StageOf(movie);
    const int x = CentredX(s, ShapeAt(movie, depth));
    StepByStep(movie, depth, steps, [&](double r) {
        return std::pair{x,
                         Round(((s.H - height) / 2.0 + height) * r) + Round((s.H - height) / 2.0)};
    });
}

void EffectFlyFromTopLeft(TFlashMovie& movie, uint16_t depth, int steps) {
    Fly(movie, depth, steps, false, false, 0, 0);
}

void EffectFlyFromTopRight(TFlashMovie& movie, uint16_t depth, int steps, int width) {
    Fly(movie, depth, steps, true, false, width, 0);
}

void EffectFlyFromBottomRight(TFlashMovie& movie, uint16_t depth, int steps, int height,
                              int width) {
    Fly(movie, depth, steps, true, true, width, height);
}

void EffectFlyFromBottomLeft(TFlashMovie& movie, uint16_t depth, int steps, int height) {
    Fly(movie, depth, steps, false, true, 0, height);
}

void EffectPushFromLeft(TFlashMovie& movie, uint16_t depth, int steps, int width, int previousWidth,
                        uint16_t firstPictureDepth) {
    Push(movie, depth, steps, width, previousWidth, firstPictureDepth, TPushFrom::Left);
}

void EffectPushFromTop(TFlashMovie& movie, uint16_t depth, int steps, int height,
                       int previousHeight, uint16_t firstPictureDepth) {
    Push(movie, depth, steps, height, previousHeight, firstPictureDepth, TPushFrom::Top);
}

void EffectPushFromRight(TFlashMovie& movie, uint16_t depth, int steps, int width,
                         int previousWidth, uint16_t firstPictureDepth) {
    Push(movie, depth, steps, width, previousWidth, firstPictureDepth, TPushFrom::Right);
}

void EffectPushFromBottom(TFlashMovie& movie, uint16_t depth, int steps, int height,
                          int previousHeight, uint16_t firstPictureDepth) {
    Push(movie, depth, steps, height, previousHeight, firstPictureDepth, TPushFrom::Bottom);
}

void EffectSpinInRight(TFlashMovie& movie, uint16_t depth, int steps, int turns, int width,
                       int height) {
    Spin(movie, depth, steps, turns, width, height, true);
}

void EffectSpinInLeft(TFlashMovie& movie, uint16_t depth, int steps, int turns, int width,
                      int height) {
    Spin(movie, depth, steps, turns, width, height, false);
}

namespace {

int Steps(int effect, bool demonstration) {
    if (effect == 2)
        return 25;
    if ((effect >= 3 && effect <= 6) || (effect >= 11 && effect <= 14))
        return 50;
    if (effect >= 7 && effect <= 10)
        return 20;
    if (effect >= 15)
        return demonstration ? 50 : 75;
    return 0;
}

} // namespace

int TransitionFrameCount(int effect) {
    return effect == 1 ? 0 : Steps(effect, false) + 1;
}

void RunTransition(TFlashMovie& movie, int effect, uint16_t depth, const TTransitionInput& in,
                   uint16_t firstPictureDepth, bool demonstration) {
    const int n = Steps(effect, demonstration);
    switch (effect) {
    case 1:
        EffectHardCut(movie, depth);
        break;
    case 2:
        EffectFade(movie, depth, n);
        break;
    case 3:
        EffectSlideFromLeft(movie, depth, n, in.Width);
        break;
    case 4:
        EffectSlideFromRight(movie, depth, n, in.Width);
        break;
    case 5:
        EffectSlideFromTop(movie, depth, n, in.Height);
        break;
    case 6:
        EffectSlideFromBottom(movie, depth, n, in.Height);
        break;
    case 7:
        EffectFlyFromTopLeft(movie, depth, n);
        break;
    case 8:
        EffectFlyFromTopRight(movie, depth, n, in.Width);
        break;
    case 9:
        EffectFlyFromBottomRight(movie, depth, n, in.Height, in.Width);
        break;
    case 10:
        EffectFlyFromBottomLeft(movie, depth, n, in.Height);
        break;
    case 11:
        EffectPushFromLeft(movie, depth, n, in.Width, in.PreviousWidth, firstPictureDepth);
        break;
    case 12:
        EffectPushFromTop(movie, depth, n, in.Height, in.PreviousHeight, firstPictureDepth);
        break;
    case 13:
        EffectPushFromRight(movie, depth, n, in.Width, in.PreviousWidth, firstPictureDepth);
        break;
    case 14:
        EffectPushFromBottom(movie, depth, n, in.Height, in.PreviousHeight, firstPictureDepth);
        break;
    case 15:
        EffectSpinInRight(movie, depth, n, 1, in.Width, in.Height);
        break;
    case 16:
        EffectSpinInLeft(movie, depth, n, 1, in.Width, in.Height);
        break;
    default:
        throw std::invalid_argument("transition effect " + std::to_string(effect) +
                                    " is not one of 1 to 16");
    }
}

} // namespace pictova
