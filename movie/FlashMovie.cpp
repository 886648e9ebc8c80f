#include "movie/FlashMovie.h"

#include "movie/FlashActionScript.h"
#include "movie/FlashFont.h"
#include "movie/FlashImage.h"
#include "movie/FlashPlaceObject.h"
#include "movie/FlashShape.h"
#include "movie/FlashSound.h"
#include "movie/FlashSprite.h"
#include "movie/FlashText.h"
#include "swf/ControlTags.h"
#include "swf/DisplayListTags.h"
#include "swf/SoundTags.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace pictova {

TFlashMovie::TFlashMovie(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax, float frameRate,
                         bool systemCoord)
    : TBasedSWFStream(xMin, yMin, xMax, yMax, frameRate, systemCoord) {}

TFlashMovie::~TFlashMovie() = default;

TFlashImage& TFlashMovie::AddImage(const std::filesystem::path& fileName) {
    // Loaded before it is registered, so a picture that fails to load leaves
    // the movie as it was.
    auto loaded = std::make_unique<TFlashImage>(this);
    if (!fileName.empty())
        loaded->LoadFromFile(fileName);
    TFlashImage& image = AddCharacter(std::move(loaded));
    FImages.Add(&image);
    return image;
}

TFlashShape& TFlashMovie::AddShape(std::unique_ptr<TFlashShape> shape) {
    if (!shape)
        shape = std::make_unique<TFlashShape>(this);
    TFlashShape& added = AddCharacter(std::move(shape));
    FShapes.Add(&added);
    return added;
}

TFlashShape& TFlashMovie::AddRectangle(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax) {
    TFlashShape& shape = AddShape();
    shape.SetShapeBound(xMin, yMin, xMax, yMax);
    shape.Edges().MoveTo(xMin, yMin);
    shape.Edges().MakeRectangle(xMax - xMin, yMax - yMin);
    shape.Edges().EndEdges();
    return shape;
}

TFlashShape& TFlashMovie::AddShapeImage(TFlashImage& image) {
    // Checked before the rectangle is registered, so that a picture without
    // a size leaves the movie as it was.
    if (image.Width() == 0 || image.Height() == 0)
        throw std::runtime_error("image " + std::to_string(image.CharacterId()) + " of " +
                                 std::to_string(image.Width()) + " x " +
                                 std::to_string(image.Height()) + " pixels cannot fill a shape");
    TFlashShape& shape = AddRectangle(0, 0, image.Width(), image.Height());
    shape.SetImageFill(image, fmFit, 1.0f, 1.0f);
    return shape;
}

TFlashSound& TFlashMovie::AddSound(const std::filesystem::path& fileName) {
    // Loaded before it is registered, as images are.
    auto loaded = std::make_unique<TFlashSound>(this, fileName);
    TFlashSound& sound = AddCharacter(std::move(loaded));
    FSounds.Add(&sound);
    return sound;
}

TSWFStartSound& TFlashMovie::StartSound(uint16_t soundId) {
    auto tag = std::make_unique<TSWFStartSound>();
    tag->SoundId = soundId;
    return AddObject(std::move(tag));
}

TFlashSound& TFlashMovie::SoundStream() {
    if (!FSoundStream) {
        FSoundStream = std::make_unique<TFlashSound>(this);
        FSoundStream->Loop = true;
    }
    return *FSoundStream;
}

TFlashFont& TFlashMovie::AddFont(const TFontDescription& font, bool deviceFont) {
    TFlashFont& added = AddCharacter(std::make_unique<TFlashFont>(
        this, std::abs(font.Height), font.Italic, font.Bold, font.Name, deviceFont));
    added.SetCharset(font.Charset);
    FFonts.Add(&added);
    return added;
}

TFlashText& TFlashMovie::AddText(const std::string& text, uint32_t color, const TRect& bounds,
                                 TFlashFont& font) {
    TFlashText& added = AddCharacter(std::make_unique<TFlashText>(this, bounds, font, color, text));
    FTexts.Add(&added);
    return added;
}

TFlashText& TFlashMovie::AddDynamicText(const std::string& variableName,
                                        const std::string& initialText, const TRect& bounds,
                                        TFlashFont& font, uint32_t color) {
    // Creating the text records a static use; an edit text is not one.
    const uint8_t usage = font.TextUsage;
    TFlashText& text = AddText(initialText, color, bounds, font);
    text.SetDynamicText(true);
    font.TextUsage = usage | tuEdit;
    text.VariableName = variableName;
    return text;
}

TFlashSprite& TFlashMovie::AddSprite(TFlashVisualObject* object) {
    TFlashSprite& sprite = AddCharacter(std::make_unique<TFlashSprite>(this));
    FSprites.Add(&sprite);
    if (object)
        sprite.PlaceObject(*object, 1);
    return sprite;
}

TFlashPlaceObject& TFlashMovie::PlaceObject(TFlashVisualObject& object, uint16_t depth) {
    return AddObject(std::make_unique<TFlashPlaceObject>(this, &object, depth));
}

void TFlashMovie::RemoveObject(uint16_t depth, const TFlashVisualObject* object) {
    if (object) {
        auto tag = std::make_unique<TSWFRemoveObject>();
        tag->CharacterId = object->CharacterId();
        tag->Depth = depth;
        AddObject(std::move(tag));
    } else {
        auto tag = std::make_unique<TSWFRemoveObject2>();
        tag->Depth = depth;
        AddObject(std::move(tag));
    }
}

void TFlashMovie::Protect(const std::string& password) {
    Protected = true;
    Password = password;
}

void TFlashMovie::MoveObject(size_t from, size_t to) {
    assert(from < ObjectList.size() && to < ObjectList.size());
    auto first = ObjectList.begin();
    if (from > to)
        std::rotate(first + std::ptrdiff_t(to), first + std::ptrdiff_t(from),
                    first + std::ptrdiff_t(from) + 1);
    else if (from < to)
        std::rotate(first + std::ptrdiff_t(from), first + std::ptrdiff_t(from) + 1,
                    first + std::ptrdiff_t(to) + 1);
}

std::ptrdiff_t TFlashMovie::IndexOfObject(const TBasedSWFObject* object) const {
    for (size_t i = 0; i < ObjectList.size(); ++i)
        if (ObjectList[i].get() == object)
            return std::ptrdiff_t(i);
    return -1;
}

TSWFRGB& TFlashMovie::BackgroundColor() {
    if (!FBackgroundColor)
        FBackgroundColor = std::make_unique<TSWFRGB>();
    return *FBackgroundColor;
}

TFlashActionScript& TFlashMovie::FrameActions() {
    if (!FFrameActions)
        FFrameActions = std::make_unique<TFlashActionScript>(this);
    return *FFrameActions;
}

TFlashPlaceVideo& TFlashMovie::PlaceVideo(TFlashVideoSource& source, uint16_t streamId,
                                          uint16_t depth) {
    FVideos.push_back(std::make_unique<TFlashPlaceVideo>(this, source, streamId, depth));
    return *FVideos.back();
}

void TFlashMovie::ShowFrame(uint16_t count) {
    const unsigned n = count == 0 ? 1 : count;
    if (!FrameLabel.empty()) {
        AddObject(std::make_unique<TSWFFrameLabel>(FrameLabel));
        FrameLabel.clear();
    }
    if (FFrameActions)
        AddObject(std::move(FFrameActions));
    for (unsigned i = 0; i < n; ++i) {
        SetFrameCount(uint16_t(FrameCount() + 1));
        AddObject(std::make_unique<TSWFShowFrame>());
    }
}

void TFlashMovie::MakeStream(TProgressSink* progress) {
    ClearBody();
    uint8_t v = Version();
    TBitsEngine be(Body());

    if (FBackgroundColor) {
        TSWFSetBackgroundColor background;
        background.Color.Assign(*FBackgroundColor);
        background.WriteToStream(be);
    }
    if (FSoundStream) {
        TSWFSoundStreamHead2 head;
        FSoundStream->SetupStreamHead(head, FrameRate());
        head.WriteToStream(be);
        v = std::max({v, FSoundStream->StreamMinVersion(), head.MinVersion()});
    }
    if (Protected) {
        TSWFProtect protect;
        protect.Password = Password;
        protect.WriteToStream(be);
        v = std::max(v, protect.MinVersion());
    }

    for (const auto& video : FVideos)
        v = std::max(v, video->MinVersion());
    // The file's version is settled before any object is written: clip-event
    // flags are 16 bits wide below version 6 and 32 bits from 6 on, so every
    // placement must know the version of the file it ends up in, also when an
    // object later in the list raises it.
    for (const auto& object : ObjectList)
        v = std::max(v, object->MinVersion());
    if (v > Version())
        SetVersion(v);
    const uint8_t fileVersion = Version();

    const size_t count = ObjectList.size();
    if (progress) {
        // The bar starts at one fifth; one step per object brings it to the end.
        progress->SetMax(RoundHalfEven(double(count) * 1.25));
        progress->SetPosition(RoundHalfEven(double(progress->Max()) * 0.2));
    }
    uint32_t frames = 0;
    for (size_t i = 0; i < count; ++i) {
        TBasedSWFObject& object = *ObjectList[i];
        if (OnProgress)
            OnProgress(*this, RoundHalfEven(double(i + 1) * 100.0 / double(count)), 1);
        if (auto* place = dynamic_cast<TFlashPlaceObject*>(&object))
            place->SetSWFVersion(fileVersion);
        const auto* tag = dynamic_cast<const TSWFObject*>(&object);
        if (tag && tag->TagID == tagShowFrame) {
            // The frame's video frames and its part of the streamed sound
            // come before its ShowFrame.
            for (const auto& video : FVideos)
                video->WriteFrame(be, frames);
            if (FSoundStream)
                FSoundStream->WriteStreamBlock(be);
            ++frames;
        }
        object.WriteToStream(be);
        if (progress)
            progress->Step();
    }
    if (ObjectList.empty() || !dynamic_cast<const TSWFEnd*>(ObjectList.back().get()))
        TSWFEnd().WriteToStream(be);

    if (frames > 0xFFFF)
        throw std::runtime_error("The movie has " + std::to_string(frames) +
                                 " frames; a SWF file holds at most 65535.");
    SetFrameCount(uint16_t(frames));
}

void MakeBlankMovie(const std::filesystem::path& fileName, const SWFRGB& color) {
    TFlashMovie movie(0, 0, 1, 1, 10.0f, false);
    movie.BackgroundColor().SetRGB(color);
    movie.ShowFrame(1);
    movie.MakeStream();
    movie.SaveToFile(fileName);
}

} // namespace pictova
