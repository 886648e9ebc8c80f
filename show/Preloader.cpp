#include "show/Preloader.h"

#include "movie/FlashActionScript.h"
#include "movie/FlashMovie.h"
#include "movie/FlashPlaceObject.h"
#include "movie/FlashShape.h"
#include "movie/FlashSprite.h"
#include "movie/FlashText.h"
#include "swf/SWFTypes.h"

#include <array>
#include <cassert>

namespace pictova {

namespace {

// Colours R | G << 8 | B << 16 | A << 24.
constexpr uint32_t kBarDark = 0xFF008000;   // green (0, 128, 0)
constexpr uint32_t kBarBright = 0xFF00FF00; // bright green (0, 255, 0)
constexpr uint32_t kFrameGrey = 0xFFB2B2B2; // (178, 178, 178)
constexpr uint32_t kTextBlack = 0xFF000000;

// loaded = int(100 * (_root.getBytesLoaded() / _root.getBytesTotal()));
// pBar._xscale = loaded; pr = loaded + "% geladen";
// if (loaded == 100) _root.gotoAndPlay(2);
void WriteProgressScript(TFlashActionScript& s) {
    enum : uint16_t {
        cLoaded,
        cRoot,
        cGetBytesLoaded,
        cGetBytesTotal,
        cBar,
        cXScale,
        cText,
        cSuffix,
        cGotoAndPlay
    };
    s.ConstantPool({"loaded", "_root", "getBytesLoaded", "getBytesTotal", "pBar", "_xscale", "pr",
                    "% geladen", "gotoAndPlay"});
    // "loaded", 100, and the two method calls without arguments on _root.
    s.PushTyped({uint8_t(cLoaded), int32_t(100), int32_t(0), uint8_t(cRoot)},
                {vtConstant8, vtInteger, vtInteger, vtConstant8});
    s.GetVariable();
    s.PushConstant(cGetBytesLoaded);
    s.CallMethod();
    s.PushTyped({int32_t(0), uint8_t(cRoot)}, {vtInteger, vtConstant8});
    s.GetVariable();
    s.PushConstant(cGetBytesTotal);
    s.CallMethod();
    s.Divide();
    s.Multiply();
    s.ToInteger();
    s.SetVariable();

    s.PushConstant(cBar);
    s.GetVariable();
    s.PushConstant({cXScale, cLoaded});
    s.GetVariable();
    s.SetMember();

    s.PushConstant({cText, cLoaded});
    s.GetVariable();
    s.PushConstant(cSuffix);
    s.Add2();
    s.SetVariable();

    s.PushConstant(cLoaded);
    s.GetVariable();
    s.Push(int32_t(100));
    s.Equals2();
    s.Not();
    TSWFActionIf& notDone = s.If();
    // _root.gotoAndPlay(2): one argument, 2.
    s.PushTyped({int32_t(2), int32_t(1), uint8_t(cRoot)}, {vtInteger, vtInteger, vtConstant8});
    s.GetVariable();
    s.PushConstant(cGotoAndPlay);
    s.CallMethod();
    s.Pop();
    s.SetMarker(&notDone.BranchMarker(), false);
}

} // namespace

TFontDescription MainWindowFont() {
    TFontDescription font;
    font.Name = "Tahoma";
    font.Height = 11; // pixels
    return font;
}

TPreloaderLayout PreloaderLayout(int width, int height) {
    TPreloaderLayout l;
    l.BarW = RoundHalfEven(width / 4.0 * 2);
    l.BarH = RoundHalfEven(width / 50.0) * 2;
    l.BarX = RoundHalfEven((width - l.BarW) / 4.0 * 2);
    l.BarY = RoundHalfEven(height / 4.0) * 2;
    l.TextTop = RoundHalfEven((height - 2 * l.BarH) / 2.0);
    return l;
}

int AddPreloader(TFlashMovie& movie, int width, int height) {
    assert(width > 0 && height > 0 && "the canvas has a size");
    const TPreloaderLayout l = PreloaderLayout(width, height);

    TFlashShape& bar = movie.AddRectangle(0, 0, l.BarW - 2, l.BarH - 2);
    const std::array<uint32_t, 2> greens = {kBarDark, kBarBright};
    bar.SetLinearGradient(greens, 90);
    TFlashShape& frame = movie.AddRectangle(0, 0, l.BarW, l.BarH);
    frame.SetLineStyle(2, kFrameGrey);

    TFlashFont& font = movie.AddFont(MainWindowFont(), true);
    TFlashText& text = movie.AddDynamicText("pr", "0% geladen", TRect{0, l.TextTop, width, height},
                                            font, kTextBlack);
    text.AutoSize = false;
    text.NoSelect = true;
    text.SetAlign(taCenter);

    // The bar grows from its left edge by the _xscale the script sets.
    TFlashSprite& barClip = movie.AddSprite();
    barClip.PlaceObject(bar, 0);

    TFlashSprite& loader = movie.AddSprite();
    loader.PlaceObject(frame, 1).SetTranslate(l.BarX - 1, l.BarY - 1);
    loader.PlaceObject(text, 2).SetName("prText");
    TFlashPlaceObject& barPlace = loader.PlaceObject(barClip, 3);
    barPlace.SetTranslate(l.BarX, l.BarY);
    barPlace.SetName("pBar");
    loader.ShowFrame(1);

    TFlashPlaceObject& placed = movie.PlaceObject(loader, 0);
    WriteProgressScript(*placed.OnEnterFrame());
    movie.FrameActions().Stop();
    movie.ShowFrame(1);
    movie.RemoveObject(0);
    return PreloaderShapeCount;
}

} // namespace pictova
