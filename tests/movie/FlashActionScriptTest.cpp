#include "movie/FlashActionScript.h"
#include "movie/FlashMovie.h"
#include "movie/FlashPlaceObject.h"
#include "movie/FlashShape.h"
#include "swf/ControlTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace pictova {
namespace {

using test::Capture;
using test::Hex;
using test::Saved;
using test::TagBytes;

// The action records alone, without the DoAction frame and end byte.
std::string Records(const TFlashActionScript& script) {
    return Capture([&](TBitsEngine& be) { script.Actions().Write(be); });
}

TEST(FlashActionScript, EveryPlainOperationAppendsItsActionCode) {
    const std::vector<std::pair<std::function<void(TFlashActionScript&)>, std::string>> rows = {
        {[](TFlashActionScript& s) { s.Add2(); }, "47"},
        {[](TFlashActionScript& s) { s.CallMethod(); }, "52"},
        {[](TFlashActionScript& s) { s.Divide(); }, "0D"},
        {[](TFlashActionScript& s) { s.Equals2(); }, "49"},
        {[](TFlashActionScript& s) { s.GetVariable(); }, "1C"},
        {[](TFlashActionScript& s) { s.Multiply(); }, "0C"},
        {[](TFlashActionScript& s) { s.Not(); }, "12"},
        {[](TFlashActionScript& s) { s.Pop(); }, "17"},
        {[](TFlashActionScript& s) { s.SetMember(); }, "4F"},
        {[](TFlashActionScript& s) { s.SetVariable(); }, "1D"},
        {[](TFlashActionScript& s) { s.Stop(); }, "07"},
        {[](TFlashActionScript& s) { s.ToInteger(); }, "18"},
        {[](TFlashActionScript& s) { s.Increment(); }, "50"},
        {[](TFlashActionScript& s) { s.Less2(); }, "48"},
        {[](TFlashActionScript& s) { s.Play(); }, "06"},
        {[](TFlashActionScript& s) { s.Subtract(); }, "0B"},
        {[](TFlashActionScript& s) { s.Trace(); }, "26"},
        {[](TFlashActionScript& s) { s.GotoFrame(3); }, "81 02 00 03 00"},
        {[](TFlashActionScript& s) { s.GotoFrame2(false); }, "9F 01 00 00"},
        {[](TFlashActionScript& s) { s.GotoFrame2(true); }, "9F 01 00 01"},
        {[](TFlashActionScript& s) {
             s.ConstantPool({"a", "bc"});
         },
         "88 07 00 "  // ConstantPool, length 7
         "02 00 "     // Count 2
         "61 00 "     // "a"
         "62 63 00"}, // "bc"
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        TFlashActionScript script;
        rows[i].first(script);
        EXPECT_EQ(script.Actions().Count(), 1u) << "row " << i;
        EXPECT_EQ(Hex(Records(script)), rows[i].second) << "row " << i;
    }
}

TEST(FlashActionScript, ConsecutivePushesShareOneRecord) {
    TFlashActionScript script;
    script.Push(0);
    script.PushConstant(1);
    EXPECT_EQ(script.Actions().Count(), 1u);
    EXPECT_EQ(Hex(Records(script)), "96 07 00 "       // Push, length 7
                                    "07 00 00 00 00 " // Integer 0
                                    "08 01");         // Constant8 1

    // Any other action, a marker included, starts a new Push.
    TFlashActionScript split;
    split.Push(std::string("a"));
    split.SetMarker();
    split.Push(std::string("b"));
    split.Pop();
    split.Push({true, nullptr});
    EXPECT_EQ(split.Actions().Count(), 5u);
    EXPECT_EQ(Hex(Records(split)), "96 03 00 00 61 00 " // Push "a"
                                   "96 03 00 00 62 00 " // Push "b"
                                   "17 "                // Pop
                                   "96 03 00 "          // Push, length 3
                                   "05 01 "             // Boolean true
                                   "02");               // Null
}

TEST(FlashActionScript, ConstantIndexesTakeOneOrTwoBytes) {
    const std::vector<std::pair<uint16_t, std::string>> rows = {
        {0, "96 02 00 08 00"},
        {255, "96 02 00 08 FF"},    // Constant8
        {256, "96 03 00 09 00 01"}, // Constant16, little-endian
        {65535, "96 03 00 09 FF FF"},
    };
    for (const auto& [index, bytes] : rows) {
        TFlashActionScript script;
        script.PushConstant(index);
        EXPECT_EQ(Hex(Records(script)), bytes) << "index " << index;
    }
    TFlashActionScript both;
    both.PushConstant({2, 300});
    EXPECT_EQ(Hex(Records(both)), "96 05 00 08 02 09 2C 01");
}

TEST(FlashActionScript, PushTypedOverridesTheClassifiedTypes) {
    TFlashActionScript script;
    script.PushTyped({0, 100, 0, 1}, {vtConstant8, vtInteger, vtInteger, vtConstant8});
    EXPECT_EQ(Hex(Records(script)), "96 0E 00 "       // Push, length 14
                                    "08 00 "          // Constant8 0
                                    "07 64 00 00 00 " // Integer 100
                                    "07 00 00 00 00 " // Integer 0
                                    "08 01");         // Constant8 1
    // vtDefault keeps the type the value's kind gives.
    TFlashActionScript kept;
    kept.PushTyped({std::string("x"), 2}, {vtDefault, vtRegister});
    EXPECT_EQ(Hex(Records(kept)), "96 05 00 00 78 00 04 02");
}

TEST(FlashActionScript, BranchesThroughMarkers) {
    {
        // If directly followed by its marker skips nothing.
        TFlashActionScript script;
        TSWFActionIf& branch = script.If();
        TSWFOffsetMarker& marker = script.SetMarker(&branch.BranchMarker(), false);
        EXPECT_FALSE(marker.BeforeBranch);
        EXPECT_TRUE(marker.InList);
        EXPECT_EQ(Hex(Records(script)), "9D 02 00 00 00");
    }
    {
        // top: Stop; If +1 over Play; Jump back to top.
        TFlashActionScript script;
        TSWFOffsetMarker& top = script.SetMarker(nullptr, false);
        EXPECT_TRUE(top.BeforeBranch) << "a new marker is always a backward target";
        script.Stop();
        TSWFActionIf& skip = script.If();
        script.Play();
        script.SetMarker(&skip.BranchMarker(), false);
        script.Jump(&top);
        EXPECT_EQ(Hex(Records(script)), "07 "              // Stop (top)
                                        "9D 02 00 01 00 "  // If +1
                                        "06 "              // Play
                                        "99 02 00 F4 FF"); // Jump -12, to the Stop
    }
    {
        // A forward Jump and a backward If.
        TFlashActionScript script;
        TSWFOffsetMarker& top = script.SetMarker();
        TSWFActionJump& out = script.Jump();
        script.If(&top);
        script.SetMarker(&out.BranchMarker(), false);
        EXPECT_EQ(Hex(Records(script)), "99 02 00 05 00 "  // Jump +5
                                        "9D 02 00 F6 FF"); // If -10
    }
}

TEST(FlashActionScript, MinimumVersionFollowsTheActions) {
    TFlashActionScript script;
    EXPECT_EQ(script.MinVersion(), 1);
    script.Stop();
    EXPECT_EQ(script.MinVersion(), 3);
    script.Add2();
    EXPECT_EQ(script.MinVersion(), 5);
}

TEST(FlashActionScript, WritesOneDoActionTag) {
    TFlashActionScript script;
    script.Stop();
    EXPECT_EQ(Hex(TagBytes(script)), "02 03 " // DoAction (12), length 2
                                     "07 "    // Stop
                                     "00");   // ActionEndFlag
    TFlashActionScript empty;
    EXPECT_EQ(Hex(TagBytes(empty)), "01 03 00");
}

TEST(FlashActionScript, AppendsToAListItDoesNotOwn) {
    TSWFActionList list;
    list.Add<TSWFActionPlay>();
    {
        TFlashActionScript script(nullptr, &list);
        EXPECT_FALSE(script.OwnsList());
        script.Push(1); // the last action is no Push: a new record
        script.Stop();
    }
    ASSERT_EQ(list.Count(), 3u); // the script left the list alive
    EXPECT_EQ(list[1].ActionCode, 0x96);
    EXPECT_EQ(list[2].ActionCode, 0x07);

    TSWFActionList other;
    TFlashActionScript script(nullptr, &list);
    script.SetActions(other);
    script.Stop();
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_EQ(other.Count(), 1u);
}

TEST(FlashActionScript, CopiesActionsWithLinkedBranches) {
    TFlashMovie movie(0, 0, 100, 100, 12, true);
    TFlashActionScript source(&movie);
    TSWFOffsetMarker& top = source.SetMarker();
    source.Push(std::string("x"));
    TSWFActionIf& skip = source.If();
    source.Stop();
    source.SetMarker(&skip.BranchMarker(), false);
    source.Jump(&top);

    TFlashActionScript copy;
    copy.Assign(source);
    EXPECT_EQ(copy.GetOwner(), &movie);
    ASSERT_EQ(copy.Actions().Count(), source.Actions().Count());
    EXPECT_NE(&copy.Actions()[0], &source.Actions()[0]);
    EXPECT_EQ(Hex(Records(copy)), Hex(Records(source)));
    // The copy's Jump resolves through the copy's marker.
    source.Actions().Clear();
    EXPECT_EQ(Hex(Records(copy)), "96 03 00 00 78 00 " // Push "x"
                                  "9D 02 00 01 00 "    // If +1
                                  "07 "                // Stop
                                  "99 02 00 EF FF");   // Jump -17
}

// --- Frame scripts of the movie

std::vector<uint16_t> Codes(const std::string& file) {
    std::vector<uint16_t> codes;
    for (const auto& tag : test::WalkSwf(file).Tags)
        codes.push_back(tag.Code);
    return codes;
}

TEST(FlashMovieFrameActions, LabelThenActionsThenShowFrame) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    TFlashShape& shape = m.AddRectangle(0, 0, 10, 10);
    TFlashActionScript& first = m.FrameActions();
    EXPECT_EQ(&m.FrameActions(), &first);
    EXPECT_EQ(first.GetOwner(), &m);
    first.Stop();
    m.PlaceObject(shape, 1); // later in the frame than the script's creation
    m.FrameLabel = "one";
    m.ShowFrame();
    ASSERT_EQ(m.Objects().size(), 5u); // shape, placement, label, script, ShowFrame
    EXPECT_EQ(m.Objects()[3].get(), &first);
    EXPECT_FALSE(m.HasFrameActions());

    TFlashActionScript& second = m.FrameActions();
    EXPECT_NE(&second, &first);
    EXPECT_TRUE(second.Actions().Empty());
    second.Play();
    m.ShowFrame(2);
    m.ShowFrame(); // no script in this frame
    m.MakeStream();
    const std::vector<uint16_t> expected = {
        tagDefineShape2, tagPlaceObject2, tagFrameLabel, tagDoAction,  tagShowFrame,
        tagDoAction,     tagShowFrame,    tagShowFrame,  tagShowFrame, tagEnd};
    EXPECT_EQ(Codes(Saved(m)), expected);
    EXPECT_EQ(m.FrameCount(), 4);
}

} // namespace
} // namespace pictova
