#pragma once
// TFlashMovie: composes a movie. It hands out character IDs, keeps the object
// list whose order is the order of tags in the file, closes frames and
// serialises everything into the body of its stream.

#include "movie/FlashObject.h"
#include "movie/ProgressSink.h"
#include "swf/SWFRecords.h"
#include "swf/SWFStream.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pictova {

class TFlashActionScript;
class TFlashImage;
class TFlashShape;
class TFlashPlaceObject;
class TFlashPlaceVideo;
class TFlashVideoSource;
class TFlashVisualObject;
class TFlashSound;
class TSWFStartSound;
using TFlashImageList = TFlashObjectList<TFlashImage>;
using TFlashShapeList = TFlashObjectList<TFlashShape>;
using TFlashSoundList = TFlashObjectList<TFlashSound>;

class TFlashFont;
class TFlashSprite;
class TFlashText;
struct TFontDescription;
using TFlashFontList = TFlashObjectList<TFlashFont>;
using TFlashTextList = TFlashObjectList<TFlashText>;
using TFlashSpriteList = TFlashObjectList<TFlashSprite>;

class TFlashMovie : public TBasedSWFStream {
public:
    // Coordinates in pixels when systemCoord, else in twips.
    TFlashMovie(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax, float frameRate,
                bool systemCoord);
    ~TFlashMovie() override;

    // Write a Protect tag; an empty password protects without one.
    void Protect(const std::string& password);
    bool Protected = false;
    std::string Password;

    // Appends any object to the object list, which then owns it.
    template <class T> T& AddObject(std::unique_ptr<T> object) {
        T& ref = *object;
        ObjectList.push_back(std::move(object));
        return ref;
    }
    const std::vector<std::unique_ptr<TBasedSWFObject>>& Objects() const { return ObjectList; }
    // Moves the object at index `from` to index `to`; objects in between shift.
    void MoveObject(size_t from, size_t to);
    // Index of the object in the object list, or -1.
    std::ptrdiff_t IndexOfObject(const TBasedSWFObject* object) const;

    // Created on first access; only a movie whose colour was accessed writes
    // a SetBackgroundColor tag.
    TSWFRGB& BackgroundColor();

    // Places the object at the depth (appended to the object list).
    TFlashPlaceObject& PlaceObject(TFlashVisualObject& object, uint16_t depth);
    // With an object a RemoveObject tag of its character, else RemoveObject2.
    void RemoveObject(uint16_t depth, const TFlashVisualObject* object = nullptr);

    // Label of the frame being built; written and cleared by ShowFrame.
    std::string FrameLabel;
    // The script of the frame being built, created on first access. ShowFrame
    // hands it to the object list; the next access makes a new one.
    TFlashActionScript& FrameActions();
    bool HasFrameActions() const { return FFrameActions != nullptr; }
    // Closes the current frame: the label, then the frame's script, then
    // `count` ShowFrame tags (0 counts as 1).
    void ShowFrame(uint16_t count = 1);

    // A video placement that writes one video frame (and its sound) before
    // every ShowFrame from its start frame on. The movie owns it; it is not
    // part of the object list. The source must outlive MakeStream.
    TFlashPlaceVideo& PlaceVideo(TFlashVideoSource& source, uint16_t streamId, uint16_t depth);
    const std::vector<std::unique_ptr<TFlashPlaceVideo>>& Videos() const { return FVideos; }

    // Serialises the object list into the body; must run before SaveToFile.
    // A movie of more frames than the header's 16-bit count can hold is an
    // error rather than a header that lies.
    void MakeStream(TProgressSink* progress = nullptr);

    uint16_t NextCharacterId() const { return NextID; }

    // An image of the picture file, or without data for an empty name.
    TFlashImage& AddImage(const std::filesystem::path& fileName = {});
    TFlashImageList& Images() { return FImages; }

    // Registers the shape, or a new empty one.
    TFlashShape& AddShape(std::unique_ptr<TFlashShape> shape = nullptr);
    // A rectangle outline in user units, without fill or line.
    TFlashShape& AddRectangle(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax);
    // A rectangle of the image's size at the origin, filled with the image.
    TFlashShape& AddShapeImage(TFlashImage& image);
    TFlashShapeList& Shapes() { return FShapes; }

    // A sound character of the WAV or MP3 file (an empty sound when no such
    // file exists); it copies the file's data while the movie is written.
    TFlashSound& AddSound(const std::filesystem::path& fileName);
    TFlashSoundList& Sounds() { return FSounds; }
    // Appends a StartSound tag that plays the sound character; its options
    // (the loop count) may be set until MakeStream.
    TSWFStartSound& StartSound(uint16_t soundId);
    // The streamed sound: created on first access, looping and without a
    // file (load one into it); from then on MakeStream writes its head
    // before all objects and one block before each frame's ShowFrame.
    TFlashSound& SoundStream();
    bool HasSoundStream() const { return FSoundStream != nullptr; }
    // A font of the system font at the absolute value of its height, in user
    // units; a device font embeds glyphs only for static texts.
    TFlashFont& AddFont(const TFontDescription& font, bool deviceFont);
    TFlashFontList& Fonts() { return FFonts; }
    // A static text; colour R | G << 8 | B << 16 | A << 24, bounds in user
    // units, text in Windows-1252.
    TFlashText& AddText(const std::string& text, uint32_t color, const TRect& bounds,
                        TFlashFont& font);
    // An edit text showing the variable's value, initially the given text.
    TFlashText& AddDynamicText(const std::string& variableName, const std::string& initialText,
                               const TRect& bounds, TFlashFont& font, uint32_t color);
    TFlashTextList& Texts() { return FTexts; }
    // A sprite with an empty timeline; a given object is placed in it at
    // depth 1.
    TFlashSprite& AddSprite(TFlashVisualObject* object = nullptr);
    TFlashSpriteList& Sprites() { return FSprites; }

    // Called by images before they load a file; clearing carryOn means the
    // handler supplied the picture itself.
    std::function<void(TFlashImage& image, const std::filesystem::path& fileName, bool& carryOn)>
        OnLoadImage;

    // Gives a new character its owner and the next ID and appends it; the
    // factories add it to their typed list.
    template <class T> T& AddCharacter(std::unique_ptr<T> character) {
        character->SetOwner(this);
        character->SetCharacterId(NextID);
        ++NextID; // 16-bit: IDs wrap after 65535 characters
        return AddObject(std::move(character));
    }

private:
    std::vector<std::unique_ptr<TBasedSWFObject>> ObjectList;
    uint16_t NextID = 1;
    std::unique_ptr<TSWFRGB> FBackgroundColor;
    std::unique_ptr<TFlashActionScript> FFrameActions;
    std::vector<std::unique_ptr<TFlashPlaceVideo>> FVideos;
    TFlashImageList FImages;
    TFlashShapeList FShapes;
    TFlashSoundList FSounds;
    std::unique_ptr<TFlashSound> FSoundStream;
    TFlashFontList FFonts;
    TFlashTextList FTexts;
    TFlashSpriteList FSprites;
};

// A one-frame movie of one colour on a 1 x 1 twip stage.
void MakeBlankMovie(const std::filesystem::path& fileName, const SWFRGB& color);

} // namespace pictova
