#include "show/Preloader.h"

#include "movie/FlashActionScript.h"
#include "movie/FlashFont.h"
#include "movie/FlashMovie.h"
#include "movie/FlashPlaceObject.h"
#include "movie/FlashShape.h"
#include "movie/FlashSprite.h"
#include "movie/FlashText.h"
#include "swf/ControlTags.h"
#include "swf/DisplayListTags.h"
#include "tests/support/DisplayList.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

namespace pictova {
namespace {

using test::BitReader;
using test::Bytes;
using test::Hex;
using test::WalkedTag;

TEST(PreloaderLayout, RoundsHalvesToEven) {
    struct Row {
        int W, H;
        TPreloaderLayout Expected;
    };
    const Row rows[] = {
        {800, 600, {400, 32, 200, 300, 268}},
        // barW round(50.5) = 50, barH round(2.02) x 2, barX round(25.5) = 26,
        // barY round(18.75) x 2, text top round(33.5) = 34.
        {101, 75, {50, 4, 26, 38, 34}},
        // barW round(62.5) = 62, barH round(2.5) x 2 = 4, barX round(31.5) = 32,
        // barY round(25.5) x 2 = 52.
        {125, 102, {62, 4, 32, 52, 47}},
        // barX round(37.5) = 38, barY round(24.5) x 2 = 48.
        {150, 98, {75, 6, 38, 48, 43}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.W) + " x " + std::to_string(row.H));
        const TPreloaderLayout l = PreloaderLayout(row.W, row.H);
        EXPECT_EQ(l.BarW, row.Expected.BarW);
        EXPECT_EQ(l.BarH, row.Expected.BarH);
        EXPECT_EQ(l.BarX, row.Expected.BarX);
        EXPECT_EQ(l.BarY, row.Expected.BarY);
        EXPECT_EQ(l.TextTop, row.Expected.TextTop);
    }
}

std::string Z(const std::string& s) {
    return s + '\0';
}

uint16_t U16At(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

uint32_t U32At(const std::string& b, size_t at) {
    return U16At(b, at) | uint32_t(U16At(b, at + 2)) << 16;
}

// A RECT record at `at`, in twips: {xmin, xmax, ymin, ymax}.
std::vector<int32_t> RectAt(const std::string& b, size_t at) {
    BitReader bits(b, at);
    const unsigned n = bits.Bits(5);
    std::vector<int32_t> r;
    for (int i = 0; i < 4; ++i)
        r.push_back(bits.SignedBits(n));
    return r;
}

// The name of a PlaceObject2 whose flags say HasName and no matrix, colour
// transform or ratio: after flags, depth and character.
std::string NameAfterCharacter(const std::string& body) {
    return std::string(body.c_str() + 5);
}

class Preloader : public ::testing::Test {
protected:
    // As the build makes it: an 800 x 600 canvas, version 6, pixel units.
    Preloader() {
        Movie.SetVersion(6);
        Movie.SetSystemCoord(true);
        Shapes = AddPreloader(Movie, 800, 600);
    }

    test::WalkedMovie Written() {
        Movie.MakeStream();
        std::ostringstream out;
        Movie.SaveToStream(out);
        return test::WalkSwf(std::move(out).str());
    }

    TFlashMovie Movie{0, 0, 800 * 20, 600 * 20, 20, false};
    int Shapes = 0;
};

TEST_F(Preloader, ObjectsInCreationOrderAndOneFrame) {
    EXPECT_EQ(Shapes, PreloaderShapeCount);
    EXPECT_EQ(PreloaderShapeCount, 2);
    EXPECT_EQ(Movie.Shapes().Count(), 2u);
    EXPECT_EQ(Movie.Fonts().Count(), 1u);
    EXPECT_EQ(Movie.Texts().Count(), 1u);
    EXPECT_EQ(Movie.Sprites().Count(), 2u);
    EXPECT_EQ(Movie.FrameCount(), 1);

    const auto& objects = Movie.Objects();
    ASSERT_EQ(objects.size(), 10u);
    EXPECT_EQ(objects[0].get(), Movie.Shapes()[0]);
    EXPECT_EQ(objects[1].get(), Movie.Shapes()[1]);
    EXPECT_EQ(objects[2].get(), Movie.Fonts()[0]);
    EXPECT_EQ(objects[3].get(), Movie.Texts()[0]);
    EXPECT_EQ(objects[4].get(), Movie.Sprites()[0]);
    EXPECT_EQ(objects[5].get(), Movie.Sprites()[1]);
    auto* placed = dynamic_cast<TFlashPlaceObject*>(objects[6].get());
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->VisualObject(), Movie.Sprites()[1]);
    EXPECT_EQ(placed->Depth(), 0);
    EXPECT_TRUE(placed->Tag().PlaceFlagHasClipActions());
    EXPECT_TRUE(dynamic_cast<TFlashActionScript*>(objects[7].get()));
    EXPECT_EQ(typeid(*objects[8]), typeid(TSWFShowFrame));
    auto* removed = dynamic_cast<TSWFRemoveObject2*>(objects[9].get());
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->Depth, 0);

    const TFlashFont& font = *Movie.Fonts()[0];
    EXPECT_EQ(font.CharacterId(), 3);
    const TFlashText& text = *Movie.Texts()[0];
    EXPECT_EQ(&text.Font(), &font);
    EXPECT_TRUE(text.DynamicText());
    EXPECT_EQ(text.VariableName, "pr");
    EXPECT_EQ(text.Text(), "0% geladen");
    EXPECT_FALSE(text.AutoSize);
    EXPECT_TRUE(text.NoSelect);
    EXPECT_EQ(text.Align(), taCenter);
}

TEST_F(Preloader, FrameOneAsWritten) {
    const test::WalkedMovie walked = Written();
    std::vector<uint16_t> codes;
    for (const WalkedTag& t : walked.Tags)
        codes.push_back(t.Code);
    EXPECT_EQ(codes, (std::vector<uint16_t>{tagDefineShape2, tagDefineShape2, tagDefineFont2,
                                            tagDefineEditText, tagDefineSprite, tagDefineSprite,
                                            tagPlaceObject2, tagDoAction, tagShowFrame,
                                            tagRemoveObject2, tagEnd}));
    ASSERT_EQ(codes.size(), 11u);
    const auto& t = walked.Tags;

    // The bar (1) and its frame (2), in twips; the bar is 2 pixels smaller,
    // and the frame's bounds take in half its 2-pixel line on every side.
    EXPECT_EQ(U16At(t[0].Body, 0), 1);
    EXPECT_EQ(RectAt(t[0].Body, 2), (std::vector<int32_t>{0, 398 * 20, 0, 30 * 20}));
    EXPECT_EQ(U16At(t[1].Body, 0), 2);
    EXPECT_EQ(RectAt(t[1].Body, 2), (std::vector<int32_t>{-20, 401 * 20, -20, 33 * 20}));
    // A device font: only its name.
    EXPECT_NE(t[2].Body.find("Tahoma"), std::string::npos);
    // The text box spans the width from y = 268 to the bottom.
    EXPECT_EQ(U16At(t[3].Body, 0), 4);
    EXPECT_EQ(RectAt(t[3].Body, 2), (std::vector<int32_t>{0, 800 * 20, 268 * 20, 600 * 20}));
    EXPECT_NE(t[3].Body.find(Z("pr") + Z("0% geladen")), std::string::npos);

    // Sprite A (5): the bar at depth 0 of its own timeline.
    EXPECT_EQ(Hex(t[4].Body), Hex(Bytes({
                                  0x05, 0x00, // sprite ID 5
                                  0x01, 0x00, // FrameCount 1
                                  0x85, 0x06, // PlaceObject2, length 5
                                  0x02,       //   HasCharacter
                                  0x00, 0x00, //   depth 0
                                  0x01, 0x00, //   the bar
                                  0x40, 0x00, // ShowFrame
                                  0x00, 0x00, // End
                              })));

    // Sprite B (6): the frame, the named text and the named bar sprite.
    EXPECT_EQ(U16At(t[5].Body, 0), 6);
    EXPECT_EQ(U16At(t[5].Body, 2), 1);
    const auto inner = test::WalkTags(t[5].Body, 4);
    ASSERT_EQ(inner.size(), 5u);
    const test::WalkedPlace frame = test::DecodePlaceObject2(inner[0].Body);
    EXPECT_EQ(frame.Depth, 1);
    EXPECT_EQ(frame.Character, 2);
    EXPECT_EQ(frame.Matrix.TranslateX, 199 * 20);
    EXPECT_EQ(frame.Matrix.TranslateY, 299 * 20);
    EXPECT_EQ(uint8_t(inner[1].Body[0]), 0x22); // HasName, HasCharacter
    EXPECT_EQ(U16At(inner[1].Body, 1), 2);      // depth
    EXPECT_EQ(U16At(inner[1].Body, 3), 4);      // the text
    EXPECT_EQ(NameAfterCharacter(inner[1].Body), "prText");
    const test::WalkedPlace bar = test::DecodePlaceObject2(inner[2].Body);
    EXPECT_EQ(bar.Depth, 3);
    EXPECT_EQ(bar.Character, 5);
    EXPECT_EQ(bar.Matrix.TranslateX, 200 * 20);
    EXPECT_EQ(bar.Matrix.TranslateY, 300 * 20);
    EXPECT_EQ(bar.OtherFlags, 0x20); // HasName
    EXPECT_NE(inner[2].Body.find(Z("pBar")), std::string::npos);
    EXPECT_EQ(inner[3].Code, tagShowFrame);
    EXPECT_EQ(inner[4].Code, tagEnd);

    // Sprite B at depth 0 of the main timeline, then Stop and the frame's
    // end; frame 2 opens with its removal.
    const test::WalkedPlace loader = test::DecodePlaceObject2(t[6].Body);
    EXPECT_EQ(loader.Depth, 0);
    EXPECT_EQ(loader.Character, 6);
    EXPECT_EQ(loader.OtherFlags, 0x80); // HasClipActions
    EXPECT_EQ(Hex(t[7].Body), "07 00");
    EXPECT_EQ(Hex(t[9].Body), "00 00");
}

TEST_F(Preloader, EnterFrameProgramGoldenBytes) {
    const std::string place = Written().Tags.at(6).Body;
    // Flags, depth and character, then the clip actions of SWF 6: reserved
    // word, all events (EnterFrame), one record for EnterFrame alone.
    ASSERT_EQ(Hex(place.substr(0, 15)), "82 00 00 06 00 " // HasClipActions, depth 0, sprite 6
                                        "00 00 "          // reserved
                                        "02 00 00 00 "    // all events: EnterFrame
                                        "02 00 00 00");   // the record's events
    const uint32_t size = U32At(place, 15);
    ASSERT_EQ(place.size(), 19 + size + 4) << "the record, then the 32-bit end flag";
    EXPECT_EQ(Hex(place.substr(19 + size)), "00 00 00 00");
    const std::string expected =
        Bytes({0x88, 0x52, 0x00, 0x09, 0x00}) + // ConstantPool, 82 bytes, 9 strings
        Z("loaded") + Z("_root") + Z("getBytesLoaded") + Z("getBytesTotal") + Z("pBar") +
        Z("_xscale") + Z("pr") + Z("% geladen") + Z("gotoAndPlay") +
        Bytes({0x96, 0x0E, 0x00,                               // Push, 14 bytes:
               0x08, 0x00,                                     //   "loaded"
               0x07, 0x64, 0x00, 0x00, 0x00,                   //   100
               0x07, 0x00, 0x00, 0x00, 0x00,                   //   0 arguments
               0x08, 0x01,                                     //   "_root"
               0x1C,                                           // GetVariable
               0x96, 0x02, 0x00, 0x08, 0x02,                   // Push "getBytesLoaded"
               0x52,                                           // CallMethod
               0x96, 0x07, 0x00,                               // Push:
               0x07, 0x00, 0x00, 0x00, 0x00,                   //   0 arguments
               0x08, 0x01,                                     //   "_root"
               0x1C,                                           // GetVariable
               0x96, 0x02, 0x00, 0x08, 0x03,                   // Push "getBytesTotal"
               0x52,                                           // CallMethod
               0x0D,                                           // Divide
               0x0C,                                           // Multiply
               0x18,                                           // ToInteger
               0x1D,                                           // SetVariable loaded
               0x96, 0x02, 0x00, 0x08, 0x04,                   // Push "pBar"
               0x1C,                                           // GetVariable
               0x96, 0x04, 0x00, 0x08, 0x05, 0x08, 0x00,       // Push "_xscale", "loaded"
               0x1C,                                           // GetVariable
               0x4F,                                           // SetMember pBar._xscale
               0x96, 0x04, 0x00, 0x08, 0x06, 0x08, 0x00,       // Push "pr", "loaded"
               0x1C,                                           // GetVariable
               0x96, 0x02, 0x00, 0x08, 0x07,                   // Push "% geladen"
               0x47,                                           // Add2
               0x1D,                                           // SetVariable pr
               0x96, 0x02, 0x00, 0x08, 0x00,                   // Push "loaded"
               0x1C,                                           // GetVariable
               0x96, 0x05, 0x00, 0x07, 0x64, 0x00, 0x00, 0x00, // Push 100
               0x49,                                           // Equals2
               0x12,                                           // Not
               0x9D, 0x02, 0x00, 0x17, 0x00,                   // If: skip the 23 bytes of the jump
               0x96, 0x0C, 0x00,                               // Push:
               0x07, 0x02, 0x00, 0x00, 0x00,                   //   frame 2
               0x07, 0x01, 0x00, 0x00, 0x00,                   //   1 argument
               0x08, 0x01,                                     //   "_root"
               0x1C,                                           // GetVariable
               0x96, 0x02, 0x00, 0x08, 0x08,                   // Push "gotoAndPlay"
               0x52,                                           // CallMethod
               0x17,                                           // Pop
               0x00});                                         // end of the record's actions
    EXPECT_EQ(Hex(place.substr(19, size)), Hex(expected));
}

} // namespace
} // namespace pictova
