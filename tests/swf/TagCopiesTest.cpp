// Every tag class copies all of its fields: a tag filled with values other
// than the defaults, copied, writes the same bytes as the original. A field
// that the copy forgets shows as a byte difference.
#include "swf/ActionTags.h"
#include "swf/BitmapTags.h"
#include "swf/ButtonTags.h"
#include "swf/ControlTags.h"
#include "swf/DisplayListTags.h"
#include "swf/FontTags.h"
#include "swf/ShapeTags.h"
#include "swf/SoundTags.h"
#include "swf/SpriteTags.h"
#include "swf/TextTags.h"
#include "swf/VideoTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace pictova {
namespace {

using test::Hex;
using test::TagBytes;

struct CopyRow {
    const char* Name;
    std::function<std::unique_ptr<TSWFObject>()> Filled;
    std::function<std::unique_ptr<TSWFObject>()> Empty;
    bool HasFields = true;
};

template <class T> CopyRow Row(const char* name, std::function<void(T&)> fill) {
    return CopyRow{name,
                   [fill] {
                       auto tag = std::make_unique<T>();
                       fill(*tag);
                       return tag;
                   },
                   [] { return std::make_unique<T>(); }};
}

template <class T> CopyRow Fieldless(const char* name) {
    CopyRow row = Row<T>(name, [](T&) {});
    row.HasFields = false;
    return row;
}

const std::vector<uint8_t> Payload = {0x11, 0x22, 0x33, 0x44};

template <class T, class... Args> T& Add(TSWFShapeRecordList& records, Args... args) {
    records.push_back(std::make_unique<T>(args...));
    return static_cast<T&>(*records.back());
}

void FillShape(TSWFDefineShape& t) {
    t.ShapeId = 4;
    t.ShapeBounds = TSWFRect{-10, 200, -20, 100};
    auto color = std::make_unique<TSWFColorFill>();
    color->Color.SetRGBA(MakeRGBA(1, 2, 3, 200));
    t.FillStyles.push_back(std::move(color));
    auto gradient = std::make_unique<TSWFGradientFill>();
    gradient->FillStyleType = fsRadialGradient;
    gradient->Count = 2;
    gradient->Colors[0].SetRGBA(MakeRGBA(9, 8, 7, 255));
    gradient->Colors[1].SetRGBA(MakeRGBA(7, 8, 9, 255));
    gradient->Ratios = {0, 255};
    gradient->GradientMatrix.SetScale(0.5f, 0.5f);
    t.FillStyles.push_back(std::move(gradient));
    auto image = std::make_unique<TSWFImageFill>();
    image->FillStyleType = fsRepeatingBitmap;
    image->BitmapId = 9;
    image->BitmapMatrix.SetTranslate(3, 4);
    t.FillStyles.push_back(std::move(image));
    auto line = std::make_unique<TSWFLineStyle>();
    line->Width = 40;
    line->Color.SetRGBA(MakeRGBA(4, 5, 6, 255));
    t.LineStyles.push_back(std::move(line));
    auto& move = Add<TSWFStyleChangeRecord>(t.Records);
    move.SetMoveTo(10, 20);
    move.SetFillStyle0(1);
    move.SetFillStyle1(2);
    move.SetLineStyle(1);
    Add<TSWFStraightEdgeRecord>(t.Records, 100, 0);
    Add<TSWFCurvedEdgeRecord>(t.Records, 10, 20, 30, -40);
    auto& restyle = Add<TSWFStyleChangeRecord>(t.Records);
    auto fill = std::make_unique<TSWFColorFill>();
    fill->Color.SetRGBA(MakeRGBA(50, 60, 70, 255));
    restyle.NewFillStyles().push_back(std::move(fill));
    auto newLine = std::make_unique<TSWFLineStyle>();
    newLine->Width = 60;
    restyle.NewLineStyles().push_back(std::move(newLine));
    restyle.SetFillStyle0(1);
    Add<TSWFStraightEdgeRecord>(t.Records, 0, 50);
    Add<TSWFEndShapeRecord>(t.Records);
}

void FillImage(TSWFImageTag& tag) {
    tag.CharacterId = 7;
    tag.BodySize = 99;
    tag.SetData(Payload);
}

std::vector<CopyRow> Rows() {
    return {
        Fieldless<TSWFEnd>("End"),
        Fieldless<TSWFShowFrame>("ShowFrame"),
        Row<TSWFSetBackgroundColor>("SetBackgroundColor",
                                    [](TSWFSetBackgroundColor& t) {
                                        t.Color.SetRGB({1, 2, 3});
                                    }),
        Row<TSWFFrameLabel>("FrameLabel",
                            [](TSWFFrameLabel& t) {
                                t.Name = "scene";
                                t.NamedAnchor = true;
                            }),
        // The hash is written as it is only without a password (a password
        // gets a fresh salt on every write).
        Row<TSWFProtect>("Protect", [](TSWFProtect& t) { t.Hash = "$1$salt$hash"; }),
        Row<TSWFEnableDebugger>("EnableDebugger",
                                [](TSWFEnableDebugger& t) { t.Hash = "$1$ab$cd"; }),
        Row<TSWFEnableDebugger2>("EnableDebugger2",
                                 [](TSWFEnableDebugger2& t) { t.Hash = "$1$ef$gh"; }),
        Row<TSWFExportAssets>("ExportAssets",
                              [](TSWFExportAssets& t) {
                                  t.AddAsset("one", 1);
                                  t.AddAsset("two", 2);
                              }),
        Row<TSWFImportAssets>("ImportAssets",
                              [](TSWFImportAssets& t) {
                                  t.URL = "lib.swf";
                                  t.AddAsset("one", 1);
                              }),
        Row<TSWFScriptLimits>("ScriptLimits",
                              [](TSWFScriptLimits& t) {
                                  t.MaxRecursionDepth = 300;
                                  t.ScriptTimeoutSeconds = 20;
                              }),
        Row<TSWFSetTabIndex>("SetTabIndex",
                             [](TSWFSetTabIndex& t) {
                                 t.Depth = 4;
                                 t.TabIndex = 9;
                             }),

        Row<TSWFDefineSound>("DefineSound",
                             [](TSWFDefineSound& t) {
                                 t.SoundId = 3;
                                 t.SoundFormat = soundMP3;
                                 t.SoundRate = soundRate22k;
                                 t.SoundSize = 1;
                                 t.SoundType = 1;
                                 t.SoundSampleCount = 1152;
                                 t.SeekSamples = -5;
                                 t.SetData(Payload);
                             }),
        Row<TSWFStartSound>("StartSound",
                            [](TSWFStartSound& t) {
                                t.SoundId = 3;
                                t.SyncStop = true;
                                t.SyncNoMultiple = true;
                                t.SetInPoint(10);
                                t.SetOutPoint(2000);
                                t.SetLoopCount(4);
                                t.AddEnvelope({5, 100, 200});
                            }),
        Row<TSWFSoundStreamHead>("SoundStreamHead",
                                 [](TSWFSoundStreamHead& t) {
                                     t.PlaybackSoundRate = soundRate44k;
                                     t.PlaybackSoundSize = 1;
                                     t.PlaybackSoundType = 1;
                                     t.StreamSoundCompression = soundMP3;
                                     t.StreamSoundRate = soundRate22k;
                                     t.StreamSoundSize = 1;
                                     t.StreamSoundType = 1;
                                     t.StreamSoundSampleCount = 576;
                                     t.LatencySeek = 3;
                                 }),
        Row<TSWFSoundStreamHead2>("SoundStreamHead2",
                                  [](TSWFSoundStreamHead2& t) {
                                      t.StreamSoundCompression = soundNellymoser;
                                      t.StreamSoundSampleCount = 256;
                                  }),
        Row<TSWFSoundStreamBlock>("SoundStreamBlock",
                                  [](TSWFSoundStreamBlock& t) {
                                      t.IsMP3 = true;
                                      t.SampleCount = 1152;
                                      t.SeekSamples = 7;
                                      t.SetData(Payload);
                                  }),

        Row<TSWFDefineVideoStream>("DefineVideoStream",
                                   [](TSWFDefineVideoStream& t) {
                                       t.CharacterId = 5;
                                       t.NumFrames = 12;
                                       t.Width = 320;
                                       t.Height = 240;
                                       t.Deblocking = 2;
                                       t.Smoothing = true;
                                       t.CodecID = videoScreenVideo;
                                   }),
        Row<TSWFVideoFrame>("VideoFrame",
                            [](TSWFVideoFrame& t) {
                                t.StreamID = 5;
                                t.FrameNum = 3;
                                t.SetData(Payload);
                            }),

        Row<TSWFDefineBits>("DefineBits", FillImage),
        Row<TSWFJPEGTables>("JPEGTables", [](TSWFJPEGTables& t) { t.SetData(Payload); }),
        Row<TSWFDefineBitsJPEG2>("DefineBitsJPEG2", FillImage),
        Row<TSWFDefineBitsJPEG3>("DefineBitsJPEG3",
                                 [](TSWFDefineBitsJPEG3& t) {
                                     FillImage(t);
                                     t.SetAlphaData({0x78, 0x9C, 0x03, 0x00});
                                 }),
        Row<TSWFDefineBitsLossless>("DefineBitsLossless",
                                    [](TSWFDefineBitsLossless& t) {
                                        FillImage(t);
                                        t.BitmapFormat = bitmapColorMapped8;
                                        t.BitmapColorTableSize = 2;
                                        t.BitmapWidth = 3;
                                        t.BitmapHeight = 4;
                                    }),
        Row<TSWFDefineBitsLossless2>("DefineBitsLossless2",
                                     [](TSWFDefineBitsLossless2& t) {
                                         FillImage(t);
                                         t.BitmapFormat = bitmapRGB32;
                                         t.BitmapWidth = 5;
                                         t.BitmapHeight = 6;
                                     }),

        Row<TSWFDefineText>("DefineText",
                            [](TSWFDefineText& t) {
                                t.CharacterID = 8;
                                t.GlyphBits = 4;
                                t.AdvanceBits = 9;
                                t.TextBounds = TSWFRect{-10, 2000, -300, 100};
                                t.TextMatrix.SetTranslate(40, 60);
                                t.TextMatrix.SetScale(2.0f, 0.5f);
                                TSWFTextRecord& r = t.TextRecords.emplace_back();
                                r.SetFontID(2);
                                r.SetTextHeight(240);
                                r.TextColor().SetRGB({9, 8, 7});
                                r.SetXOffset(20);
                                r.SetYOffset(-40);
                                r.GlyphEntries = {{100, 1}, {-30, 5}};
                                t.TextRecords.emplace_back().GlyphEntries = {{60, 3}};
                            }),
        Row<TSWFDefineText2>("DefineText2",
                             [](TSWFDefineText2& t) {
                                 t.CharacterID = 9;
                                 t.GlyphBits = 3;
                                 t.AdvanceBits = 8;
                                 t.TextBounds = TSWFRect{0, 400, 0, 200};
                                 TSWFTextRecord& r = t.TextRecords.emplace_back();
                                 r.TextColor().SetRGBA(MakeRGBA(1, 2, 3, 128));
                                 r.GlyphEntries = {{50, 2}};
                             }),
        Row<TSWFDefineEditText>("DefineEditText",
                                [](TSWFDefineEditText& t) {
                                    t.CharacterID = 10;
                                    t.Bounds = TSWFRect{0, 2000, 0, 400};
                                    t.SetFont(2, 240);
                                    t.TextColor().SetRGBA(MakeRGBA(10, 20, 30, 40));
                                    t.SetMaxLength(50);
                                    t.SetAlign(2);
                                    t.SetLeftMargin(1);
                                    t.SetRightMargin(2);
                                    t.SetIndent(3);
                                    t.SetLeading(-4);
                                    t.SetInitialText("Hallo");
                                    t.AutoSize = true;
                                    t.Border = true;
                                    t.HTML = true;
                                    t.Multiline = true;
                                    t.NoSelect = true;
                                    t.Password = true;
                                    t.ReadOnly = true;
                                    t.UseOutlines = true;
                                    t.WordWrap = true;
                                    t.SWFVersion = 5;
                                    t.VariableName = "v\xE4r";
                                }),
        Row<TSWFDefineEditText>("DefineEditText, wide text",
                                [](TSWFDefineEditText& t) {
                                    t.SetWideInitialText(u"\u20AC");
                                    t.SWFVersion = 7;
                                }),
        Row<TSWFPlaceObject>("PlaceObject",
                             [](TSWFPlaceObject& t) {
                                 t.SetCharacterId(3);
                                 t.Depth = 4;
                                 t.ColorTransform.SetMultR(128);
                                 t.HasColorTransform = true;
                                 t.Matrix.SetTranslate(20, -40);
                             }),
        Row<TSWFPlaceObject2>(
            "PlaceObject2",
            [](TSWFPlaceObject2& t) {
                t.SetCharacterId(3);
                t.Depth = 4;
                t.PlaceFlagMove = true;
                t.Matrix().SetScale(2.0f, 3.0f);
                t.ColorTransform().SetAddA(-10);
                t.SetClipDepth(9);
                t.SetRatio(100);
                t.SetName("clip");
                t.SWFVersion = 6;
                t.ClipActions().Add(ClipEventSet(ceLoad), 0).Add<TSWFActionStop>();
                t.ClipActions().Add(ClipEventSet(ceEnterFrame), 'k').Add<TSWFActionPlay>();
            }),
        Row<TSWFRemoveObject>("RemoveObject",
                              [](TSWFRemoveObject& t) {
                                  t.CharacterId = 3;
                                  t.Depth = 4;
                              }),
        Row<TSWFRemoveObject2>("RemoveObject2", [](TSWFRemoveObject2& t) { t.Depth = 4; }),

        Row<TSWFDoAction>("DoAction",
                          [](TSWFDoAction& t) {
                              TSWFActionList& a = t.Actions();
                              TSWFOffsetMarker& loop = a.AddMarker();
                              a.Add<TSWFActionPlay>();
                              a.Add<TSWFActionJump>().SetBranchMarker(&loop);
                              auto& skip = a.Add<TSWFActionIf>();
                              a.Add<TSWFActionStop>();
                              a.AddMarker(&skip.BranchMarker(), false);
                          }),
        Row<TSWFDoInitAction>("DoInitAction",
                              [](TSWFDoInitAction& t) {
                                  t.SpriteID = 6;
                                  t.Actions().Add<TSWFActionGotoFrame>().Frame = 2;
                              }),

        Row<TSWFDefineButton>("DefineButton",
                              [](TSWFDefineButton& t) {
                                  t.ButtonId = 2;
                                  t.AddRecord(3, bsUp | bsHitTest, 1).Matrix().SetTranslate(5, 6);
                                  t.AddRecord(4, bsOver, 2);
                                  t.Actions.Add<TSWFActionStop>();
                              }),
        Row<TSWFDefineButton2>("DefineButton2",
                               [](TSWFDefineButton2& t) {
                                   t.ButtonId = 2;
                                   t.TrackAsMenu = true;
                                   TSWFButtonRecord& r = t.AddRecord(3, bsDown, 1);
                                   r.ColorTransform().SetMultA(100);
                                   r.Matrix().SetRotate(90);
                                   t.AddCondAction(bcOverUpToOverDown).Add<TSWFActionPlay>();
                                   t.AddCondAction(bcIdleToOverUp, 13).Add<TSWFActionStop>();
                               }),
        Row<TSWFDefineButtonCxform>("DefineButtonCxform",
                                    [](TSWFDefineButtonCxform& t) {
                                        t.ButtonId = 2;
                                        t.ColorTransform.SetAddG(30);
                                    }),
        Row<TSWFDefineButtonSound>("DefineButtonSound",
                                   [](TSWFDefineButtonSound& t) {
                                       t.ButtonId = 2;
                                       t.SoundIdleToOverUp().SoundId = 7;
                                       TSWFStartSound& press = t.SoundOverUpToOverDown();
                                       press.SoundId = 8;
                                       press.SetLoopCount(2);
                                   }),

        Row<TSWFDefineShape>("DefineShape", FillShape),
        Row<TSWFDefineShape2>("DefineShape2", FillShape),
        Row<TSWFDefineShape3>("DefineShape3", FillShape),
        Row<TSWFDefineMorphShape>("DefineMorphShape",
                                  [](TSWFDefineMorphShape& t) {
                                      t.CharacterId = 4;
                                      t.StartBounds = TSWFRect{0, 100, 0, 100};
                                      t.EndBounds = TSWFRect{200, 300, 0, 100};
                                      auto fill = std::make_unique<TSWFMorphColorFill>();
                                      fill->StartColor.SetRGBA(MakeRGBA(1, 2, 3, 4));
                                      fill->EndColor.SetRGBA(MakeRGBA(5, 6, 7, 8));
                                      t.MorphFillStyles.push_back(std::move(fill));
                                      auto line = std::make_unique<TSWFMorphLineStyle>();
                                      line->StartWidth = 20;
                                      line->EndWidth = 40;
                                      t.MorphLineStyles.push_back(std::move(line));
                                      auto& move = Add<TSWFStyleChangeRecord>(t.StartRecords);
                                      move.SetMoveTo(10, 10);
                                      move.SetFillStyle0(1);
                                      Add<TSWFStraightEdgeRecord>(t.StartRecords, 80, 0);
                                      Add<TSWFStraightEdgeRecord>(t.EndRecords, 0, 80);
                                  }),

        Row<TSWFDefineFont>("DefineFont",
                            [](TSWFDefineFont& t) {
                                t.FontID = 3;
                                t.GlyphShapes.emplace_back();
                                Add<TSWFStraightEdgeRecord>(t.GlyphShapes.back(), 100, 0);
                            }),
        Row<TSWFDefineFont2>("DefineFont2",
                             [](TSWFDefineFont2& t) {
                                 t.FontID = 3;
                                 t.GlyphShapes.emplace_back();
                                 Add<TSWFStraightEdgeRecord>(t.GlyphShapes.back(), 100, 0);
                                 t.CodeTable = {65};
                                 t.FontFlagsHasLayout = true;
                                 t.AdvanceTable = {500};
                                 t.BoundsTable = {TSWFRect{0, 400, -200, 0}};
                                 t.KerningTable = {{-20, 65, 66}};
                                 t.Ascent = 800;
                                 t.Descent = 200;
                                 t.Leading = 30;
                                 t.FontFlagsBold = true;
                                 t.FontFlagsItalic = true;
                                 t.FontFlagsSmallText = true;
                                 t.FontFlagsWideCodes = true;
                                 t.FontFlagsWideOffsets = true;
                                 t.FontName = "Sans";
                                 t.LanguageCode = 1;
                                 t.SWFVersion = 5;
                             }),
        Row<TSWFDefineFontInfo>("DefineFontInfo",
                                [](TSWFDefineFontInfo& t) {
                                    t.FontID = 3;
                                    t.CodeTable = {65, 66};
                                    t.FontFlagsANSI = true;
                                    t.FontFlagsBold = true;
                                    t.FontFlagsItalic = true;
                                    t.FontFlagsSmallText = true;
                                    t.FontName = "Sans";
                                    t.SWFVersion = 5;
                                }),
        Row<TSWFDefineFontInfo2>("DefineFontInfo2",
                                 [](TSWFDefineFontInfo2& t) {
                                     t.FontID = 3;
                                     t.CodeTable = {300};
                                     t.FontFlagsShiftJIS = true;
                                     t.FontName = "Sans";
                                     t.LanguageCode = 2;
                                 }),

        Row<TSWFDefineSprite>("DefineSprite",
                              [](TSWFDefineSprite& t) {
                                  t.SpriteId = 5;
                                  t.FrameCount = 2;
                                  auto& place = t.ControlTags.Add<TSWFPlaceObject2>();
                                  place.SetCharacterId(1);
                                  place.Depth = 1;
                                  t.ControlTags.Add<TSWFShowFrame>();
                                  t.ControlTags.Add<TSWFDoAction>().Actions().Add<TSWFActionStop>();
                                  t.ControlTags.Add<TSWFShowFrame>();
                              }),
    };
}

TEST(TagCopies, EveryClassCopiesEveryField) {
    for (const CopyRow& row : Rows()) {
        SCOPED_TRACE(row.Name);
        const auto original = row.Filled();
        const std::string expected = Hex(TagBytes(*original));
        const auto fresh = row.Filled();
        ASSERT_EQ(Hex(TagBytes(*fresh)), expected) << "the row must write the same bytes twice";

        auto copy = row.Empty();
        if (row.HasFields) {
            ASSERT_NE(Hex(TagBytes(*copy)), expected) << "the row must leave the defaults";
        }
        copy->Assign(*original);
        EXPECT_EQ(typeid(*copy), typeid(*original));
        EXPECT_EQ(copy->TagID, original->TagID);
        EXPECT_EQ(Hex(TagBytes(*copy)), expected);
        EXPECT_EQ(Hex(TagBytes(*original)), expected) << "copying leaves the source as it was";
    }
}

// The records that tags own through their lists: every style and shape
// record class, copied by Clone and by Assign, writes as the original.
template <class T> std::string Written(T& record) {
    return Hex(test::Capture([&](TBitsEngine& be) { record.WriteToStream(be); }));
}

TEST(RecordCopies, EveryStyleAndShapeRecordCopiesEveryField) {
    TSWFDefineShape3 shape;
    FillShape(shape);
    for (auto& style : shape.FillStyles)
        style->HasAlpha = true;
    std::vector<std::unique_ptr<TSWFFillStyle>> fills;
    for (auto& style : shape.FillStyles)
        fills.push_back(style->Clone());
    for (size_t i = 0; i < fills.size(); ++i) {
        SCOPED_TRACE("fill style " + std::to_string(i));
        EXPECT_EQ(typeid(*fills[i]), typeid(*shape.FillStyles[i]));
        EXPECT_EQ(Written(*fills[i]), Written(*shape.FillStyles[i]));
        auto assigned = shape.FillStyles[i]->Clone();
        assigned->FillStyleType = 0;
        assigned->HasAlpha = false;
        assigned->Assign(*shape.FillStyles[i]);
        EXPECT_EQ(Written(*assigned), Written(*shape.FillStyles[i]));
    }

    // The style-change record with new styles carries lists of its own.
    // Copies are taken before anything is written: writing a record that
    // brings new styles moves its index widths on.
    for (size_t i = 0; i < shape.Records.size(); ++i) {
        SCOPED_TRACE("shape record " + std::to_string(i));
        TSWFShapeRecord& record = *shape.Records[i];
        if (auto* change = dynamic_cast<TSWFStyleChangeRecord*>(&record)) {
            change->FillBits = 2;
            change->LineBits = 1;
            change->HasAlpha = true;
        }
        auto clone = record.Clone();
        EXPECT_EQ(typeid(*clone), typeid(record));
        TSWFStyleChangeRecord restyle;
        if (dynamic_cast<TSWFStyleChangeRecord*>(&record)) {
            restyle.Assign(record);
        } else {
            EXPECT_THROW(restyle.Assign(record), std::bad_cast);
        }
        const std::string expected = Written(record);
        EXPECT_EQ(Written(*clone), expected);
        if (dynamic_cast<TSWFStyleChangeRecord*>(&record)) {
            EXPECT_EQ(Written(restyle), expected);
        }
    }

    TSWFMorphGradientFill gradient;
    gradient.FillStyleType = fsRadialGradient;
    gradient.Count = 2;
    gradient.StartColors[0].SetRGBA(MakeRGBA(1, 2, 3, 4));
    gradient.EndColors[1].SetRGBA(MakeRGBA(5, 6, 7, 8));
    gradient.StartRatios = {10, 200};
    gradient.EndRatios = {20, 250};
    gradient.StartGradientMatrix.SetScale(0.5f, 2.0f);
    gradient.EndGradientMatrix.SetTranslate(40, 50);
    TSWFMorphImageFill image;
    image.FillStyleType = fsRepeatingBitmap;
    image.BitmapId = 12;
    image.StartBitmapMatrix.SetRotate(30);
    image.EndBitmapMatrix.SetTranslate(-7, 9);
    TSWFMorphColorFill color;
    color.StartColor.SetRGBA(MakeRGBA(9, 9, 9, 9));
    color.EndColor.SetRGBA(MakeRGBA(8, 8, 8, 8));
    for (TSWFMorphFillStyle* style :
         std::initializer_list<TSWFMorphFillStyle*>{&gradient, &image, &color}) {
        SCOPED_TRACE(typeid(*style).name());
        EXPECT_EQ(Written(*style->Clone()), Written(*style));
    }
    TSWFMorphLineStyle line;
    line.StartWidth = 20;
    line.EndWidth = 40;
    line.StartColor.SetRGBA(MakeRGBA(1, 1, 1, 1));
    line.EndColor.SetRGBA(MakeRGBA(2, 2, 2, 2));
    TSWFMorphLineStyle lineCopy;
    lineCopy.Assign(line);
    EXPECT_EQ(Written(lineCopy), Written(line));
}

// Assigning keeps what makes the target its own class, also from a source of
// a class derived from it.
TEST(TagCopies, AssignKeepsTheTargetsClass) {
    TSWFDefineText2 text2;
    text2.TextRecords.emplace_back().TextColor().SetRGBA(MakeRGBA(1, 2, 3, 4));
    TSWFDefineText text;
    text.Assign(text2);
    EXPECT_EQ(text.TagID, tagDefineText);
    TSWFDefineText plain;
    plain.TextRecords.emplace_back().TextColor().SetRGBA(MakeRGBA(1, 2, 3, 4));
    EXPECT_EQ(Hex(TagBytes(text)), Hex(TagBytes(plain))) << "colours stay RGB in DefineText";

    TSWFEnableDebugger2 debugger;
    debugger.Hash = "x";
    TSWFProtect protect;
    protect.Assign(debugger);
    EXPECT_EQ(protect.TagID, tagProtect);
    EXPECT_EQ(protect.Hash, "x");

    TSWFDefineBitsLossless lossless;
    EXPECT_THROW(lossless.Assign(text), std::bad_cast);
    TSWFDefineText textFromPlace;
    EXPECT_THROW(textFromPlace.Assign(TSWFPlaceObject2()), std::bad_cast);
}

} // namespace
} // namespace pictova
