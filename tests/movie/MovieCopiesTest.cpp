// Every movie object copies all of its state: an object filled with values
// other than the defaults, assigned to a fresh object of its class, writes
// the same tags as the original. A field the copy forgets shows as a byte
// difference. The rules on top of the copy (the owner, a text's font) have
// tests of their own.
#include "movie/FlashActionScript.h"
#include "movie/FlashFont.h"
#include "movie/FlashImage.h"
#include "movie/FlashMovie.h"
#include "movie/FlashPlaceObject.h"
#include "movie/FlashShape.h"
#include "movie/FlashSound.h"
#include "movie/FlashSprite.h"
#include "movie/FlashText.h"
#include "swf/Actions.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <array>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <typeinfo>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using test::Hex;
using test::TagBytes;

const fs::path kAudio = fs::path(PICTOVA_TEST_DATA) / "audio";

// The fixture's movies: the source's, and one that a copy may belong to.
struct Movies {
    TFlashMovie Source{0, 0, 400, 300, 20.0f, true};
    TFlashMovie Other{0, 0, 400, 300, 20.0f, true};
};

TFlashFont& Font(TFlashMovie& movie) {
    TFontDescription d;
    d.Name = "DejaVu Sans";
    d.Height = 12;
    d.Charset = csANSI;
    return movie.AddFont(d, false);
}

struct CopyRow {
    const char* Name;
    // A filled object of the source movie.
    std::function<TBasedSWFObject&(Movies&)> Filled;
    // A fresh object of the same class with the given owner (none or a
    // movie of the fixture).
    std::function<std::unique_ptr<TBasedSWFObject>(Movies&, TFlashMovie*)> Empty;
};

template <class T>
CopyRow Row(const char* name, std::function<T&(Movies&)> fill,
            std::function<std::unique_ptr<T>(Movies&, TFlashMovie*)> empty) {
    return CopyRow{name, [fill](Movies& m) -> TBasedSWFObject& { return fill(m); },
                   [empty](Movies& m, TFlashMovie* owner) -> std::unique_ptr<TBasedSWFObject> {
                       return empty(m, owner);
                   }};
}

TFlashShape& FilledShape(TFlashMovie& movie) {
    TFlashShape& shape = movie.AddShape();
    shape.SetShapeBound(0, 0, 50, 40);
    shape.SetSolidColor(MakeRGBA(10, 20, 30, 128));
    shape.SetLineStyle(2, MakeRGBA(1, 2, 3, 255));
    shape.Edges().MoveTo(5, 5);
    shape.Edges().LineTo(45, 5);
    shape.Edges().CurveTo(50, 20, 45, 35);
    shape.Edges().CloseShape();
    shape.DashPattern().Add(4);
    shape.DashPattern().Add(2);
    return shape;
}

TFlashActionScript& FilledScript(TFlashActionScript& script) {
    TSWFOffsetMarker& top = script.SetMarker();
    script.ConstantPool({"a", "b"});
    script.Push({TSWFVariant(std::string("x")), TSWFVariant(7)});
    TSWFActionIf& skip = script.If();
    script.GotoFrame(3);
    script.SetMarker(&skip.BranchMarker(), false);
    script.Jump(&top);
    return script;
}

std::vector<CopyRow> Rows() {
    std::vector<CopyRow> rows;
    rows.push_back(Row<TFlashImage>(
        "image",
        [](Movies& m) -> TFlashImage& {
            TFlashImage& image = m.Source.AddImage();
            TDecodedPicture picture;
            picture.Width = 3;
            picture.Height = 2;
            picture.BitsPerPixel = 24;
            picture.Pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
            image.LoadFromDecodedPicture(picture);
            return image;
        },
        [](Movies&, TFlashMovie* owner) { return std::make_unique<TFlashImage>(owner); }));
    rows.push_back(Row<TFlashShape>(
        "shape", [](Movies& m) -> TFlashShape& { return FilledShape(m.Source); },
        [](Movies&, TFlashMovie* owner) { return std::make_unique<TFlashShape>(owner); }));
    rows.push_back(Row<TFlashFont>(
        "font",
        [](Movies& m) -> TFlashFont& {
            TFlashFont& font = Font(m.Source);
            font.AddChars("lo");
            font.SetHasLayout(true);
            font.WriteKerning = true;
            font.SmallText = true;
            font.TextUsage = tuStatic | tuEdit;
            return font;
        },
        [](Movies&, TFlashMovie* owner) {
            return std::make_unique<TFlashFont>(owner, 1, false, false, "", true);
        }));
    for (const bool dynamic : {false, true}) {
        rows.push_back(Row<TFlashText>(
            dynamic ? "edit text" : "static text",
            [dynamic](Movies& m) -> TFlashText& {
                TFlashFont& font = Font(m.Source);
                TFlashText& text = dynamic
                                       ? m.Source.AddDynamicText("v", "lol", TRect{5, 6, 200, 40},
                                                                 font, MakeRGBA(9, 8, 7, 100))
                                       : m.Source.AddText("lo ol", MakeRGBA(0x11, 0x22, 0x33, 200),
                                                          TRect{10, 5, 200, 40}, font);
                text.SetAlign(taCenter);
                text.SetIndent(3);
                text.SetLeading(2);
                text.SetLeftMargin(4);
                text.SetRightMargin(5);
                text.SetTextHeight(14);
                text.SetMaxLength(30);
                text.Matrix().SetTranslate(7, 9);
                text.CharSpacing = 20;
                text.Border = text.Multiline = text.WordWrap = text.Password = true;
                text.AutoSize = true;
                return text;
            },
            [](Movies& m, TFlashMovie* owner) {
                return std::make_unique<TFlashText>(owner, TRect{0, 0, 1, 1}, Font(m.Other), 0, "");
            }));
    }
    rows.push_back(Row<TFlashSound>(
        "sound",
        [](Movies& m) -> TFlashSound& {
            TFlashSound& sound = m.Source.AddSound(kAudio / "pcm_u8_mono_11025_500ms.wav");
            sound.Loop = true;
            sound.SeekSamples = 12;
            return sound;
        },
        [](Movies&, TFlashMovie* owner) { return std::make_unique<TFlashSound>(owner); }));
    rows.push_back(Row<TFlashActionScript>(
        "script",
        [](Movies& m) -> TFlashActionScript& { return FilledScript(m.Source.FrameActions()); },
        [](Movies&, TFlashMovie* owner) { return std::make_unique<TFlashActionScript>(owner); }));
    rows.push_back(Row<TFlashPlaceObject>(
        "placement",
        [](Movies& m) -> TFlashPlaceObject& {
            TFlashPlaceObject& place = m.Source.PlaceObject(FilledShape(m.Source), 3);
            place.SetTranslate(10, 20);
            place.SetRotate(30);
            place.SetName("box");
            place.SetRatio(4);
            place.ColorTransform().SetMultA(128);
            return place;
        },
        [](Movies&, TFlashMovie* owner) {
            return std::make_unique<TFlashPlaceObject>(owner, nullptr, 0);
        }));
    rows.push_back(Row<TFlashPlaceObject>(
        "sprite placement with clip script",
        [](Movies& m) -> TFlashPlaceObject& {
            TFlashPlaceObject& place = m.Source.PlaceObject(m.Source.AddSprite(), 2);
            place.ClipEventScript(ceLoad)->Play();
            place.OnEnterFrame()->Stop();
            return place;
        },
        [](Movies&, TFlashMovie* owner) {
            return std::make_unique<TFlashPlaceObject>(owner, nullptr, 0);
        }));
    rows.push_back(Row<TFlashSprite>(
        "sprite",
        [](Movies& m) -> TFlashSprite& {
            TFlashSprite& sprite = m.Source.AddSprite(&FilledShape(m.Source));
            sprite.FrameLabel = "first";
            sprite.FrameActions().Stop();
            sprite.ShowFrame(2);
            sprite.InitActions().Play();
            // The frame being built is copied too: it shows once closed.
            sprite.FrameLabel = "open";
            sprite.FrameActions().Play();
            return sprite;
        },
        [](Movies&, TFlashMovie* owner) { return std::make_unique<TFlashSprite>(owner); }));
    return rows;
}

// The tags an object writes; a sprite first closes the frame being built,
// so that its label and script show (so each object is written once). A
// fresh image has nothing to write.
std::string Written(TBasedSWFObject& object) {
    if (auto* sprite = dynamic_cast<TFlashSprite*>(&object))
        sprite->ShowFrame();
    try {
        return Hex(TagBytes(object));
    } catch (const std::exception& e) {
        return std::string("throws: ") + e.what();
    }
}

TEST(MovieCopies, EveryClassCopiesEveryField) {
    for (const CopyRow& row : Rows()) {
        SCOPED_TRACE(row.Name);
        Movies m;
        TBasedSWFObject& original = row.Filled(m);
        auto copy = row.Empty(m, nullptr);
        copy->Assign(original);
        EXPECT_EQ(typeid(*copy), typeid(original));
        auto* flashCopy = dynamic_cast<TFlashObject*>(copy.get());
        ASSERT_NE(flashCopy, nullptr);
        EXPECT_EQ(flashCopy->GetOwner(), &m.Source) << "a copy without a movie joins the source's";
        if (auto* id = dynamic_cast<TFlashIDObject*>(copy.get())) {
            EXPECT_EQ(id->CharacterId(), dynamic_cast<TFlashIDObject&>(original).CharacterId());
        }

        auto fresh = row.Empty(m, &m.Source);
        const std::string expected = Written(original);
        EXPECT_NE(Written(*fresh), expected) << "the row must leave the defaults";
        EXPECT_EQ(Written(*copy), expected);
    }
}

// Two one-byte video frames, no audio.
class TStillVideo : public TFlashVideoSource {
public:
    uint32_t FrameCount() const override { return 2; }
    uint8_t Codec() const override { return 2; }
    std::span<const uint8_t> FrameData(uint32_t frame) override {
        Buffer = {uint8_t(0xD0 + frame)};
        return Buffer;
    }
    uint8_t AudioFormat() const override { return 0; }
    std::array<uint8_t, 4> AudioHeader() const override { return {}; }
    size_t AudioFrameCount() const override { return 0; }
    std::span<const uint8_t> AudioFrame(size_t) override { return {}; }

    std::vector<uint8_t> Buffer;
};

// A video placement writes a frame of output per movie frame: the copy's
// frames are the original's, settings, callbacks and source included.
TEST(MovieCopies, AVideoPlacementCopiesItsSettingsAndSource) {
    Movies m;
    TStillVideo video, otherVideo;
    TFlashPlaceVideo& original = m.Source.PlaceVideo(video, 7, 3);
    original.AutoRepeat = false;
    original.StartFrame = 1;
    original.OnPlaceFrame = [](TBitsEngine&, const TFlashVideoFrameInfo&,
                               TFlashPlaceObject& place) { place.SetName("frame"); };
    original.Tag().SetRatio(0);
    TFlashPlaceVideo copy(nullptr, otherVideo, 1, 1);
    copy.Assign(original);
    EXPECT_EQ(copy.GetOwner(), &m.Source);
    EXPECT_EQ(&copy.Source(), &video);
    for (uint32_t frame = 0; frame < 5; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        const auto frameOf = [frame](TFlashPlaceVideo& place) {
            return Hex(test::Capture([&](TBitsEngine& be) { place.WriteFrame(be, frame); }));
        };
        EXPECT_EQ(frameOf(copy), frameOf(original));
    }
    EXPECT_NE(Hex(test::Capture([](TBitsEngine& be) {
                  TStillVideo fresh;
                  TFlashPlaceVideo place(nullptr, fresh, 1, 1);
                  place.WriteFrame(be, 0);
              })),
              Hex(test::Capture([&](TBitsEngine& be) { original.WriteFrame(be, 0); })))
        << "the fixture must leave the defaults";
}

TEST(MovieCopies, ACopyOwnsItsParts) {
    // Changing the source after the copy must not reach the copy: its
    // records, data and lists are its own.
    Movies m;
    TFlashShape& shape = FilledShape(m.Source);
    TFlashShape copy(nullptr);
    copy.Assign(shape);
    const std::string before = Written(copy);
    shape.Edges().LineTo(0, 0);
    shape.DashPattern().Add(9);
    shape.SetSolidColor(MakeRGBA(0, 0, 0, 255));
    EXPECT_EQ(Written(copy), before);
    // The copy's pen draws into the copy's records, from the source's position.
    copy.Edges().LineTo(20, 20);
    EXPECT_NE(Written(copy), before);
    EXPECT_EQ(copy.Edges().CurrentX, 20 * 20);

    TFlashActionScript& script = FilledScript(m.Source.FrameActions());
    TFlashActionScript scriptCopy(script);
    const std::string actions = Written(scriptCopy);
    script.Actions().Clear();
    EXPECT_EQ(Written(scriptCopy), actions);
}

TEST(MovieCopies, AnObjectOfAMovieStaysInItsMovie) {
    // Each row's object assigned into an object of another movie: the copy
    // keeps its movie.
    for (const CopyRow& row : Rows()) {
        SCOPED_TRACE(row.Name);
        Movies m;
        TBasedSWFObject& original = row.Filled(m);
        auto copy = row.Empty(m, &m.Other);
        copy->Assign(original);
        EXPECT_EQ(dynamic_cast<TFlashObject&>(*copy).GetOwner(), &m.Other);
    }
}

TEST(MovieCopies, ASpritesScriptsBelongToTheCopysMovie) {
    Movies m;
    TFlashSprite& source = m.Source.AddSprite();
    source.FrameActions().Stop();
    source.InitActions().Play();
    TFlashSprite copy(&m.Other);
    copy.Assign(source);
    EXPECT_EQ(copy.FrameActions().GetOwner(), &m.Other);
    EXPECT_EQ(copy.InitActions().GetOwner(), &m.Other);
}

TEST(MovieCopies, ATextTakesTheFontOnlyWithinItsMovie) {
    Movies m;
    TFlashFont& sourceFont = Font(m.Source);
    TFlashText& source =
        m.Source.AddText("lo", MakeRGBA(1, 2, 3, 255), TRect{0, 0, 100, 20}, sourceFont);
    struct Case {
        const char* Name;
        TFlashMovie* Owner;
        bool TakesFont;
    };
    const Case cases[] = {
        {"without a movie: joins the source's", nullptr, true},
        {"of the same movie", &m.Source, true},
        {"of another movie: keeps its own font", &m.Other, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFlashFont& ownFont = Font(m.Other);
        TFlashText copy(c.Owner, TRect{0, 0, 1, 1}, ownFont, 0, "");
        copy.Assign(source);
        EXPECT_EQ(&copy.Font(), c.TakesFont ? &sourceFont : &ownFont);
        EXPECT_EQ(copy.Text(), "lo");
    }
}

TEST(MovieCopies, AssignTakesOnlyItsOwnClass) {
    Movies m;
    TFlashShape& shape = FilledShape(m.Source);
    TFlashImage image;
    EXPECT_THROW(image.Assign(shape), std::bad_cast);
    TFlashShape self = shape;
    const std::string before = Written(self);
    self.Assign(self);
    EXPECT_EQ(Written(self), before) << "assigning an object to itself changes nothing";
}

} // namespace
} // namespace pictova
