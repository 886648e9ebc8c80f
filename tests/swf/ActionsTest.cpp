#include "swf/ActionList.h"
#include "swf/ActionTags.h"
#include "swf/SWFReader.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>

namespace pictova {
namespace {

using test::Bytes;
using test::Capture;
using test::Hex;
using test::TagBytes;

std::string Written(TSWFAction& a) {
    return Capture([&](TBitsEngine& be) { a.WriteToStream(be); });
}

std::string Written(TSWFActionList& list) {
    return Capture([&](TBitsEngine& be) { list.Write(be); });
}

std::unique_ptr<TSWFActionList> Parsed(const std::string& bytes) {
    auto list = std::make_unique<TSWFActionList>();
    TSWFReader reader(bytes);
    list->Read(reader);
    return list;
}

template <class T> T& As(TSWFAction& a) {
    return dynamic_cast<T&>(a);
}

// --- Records without payload, the factory and minimum versions

TEST(Actions, EmptyPayloadsStillCarryTheirLength) {
    TSWFActionPlay play;
    EXPECT_EQ(Hex(Written(play)), "06");
    TSWFActionCall call;
    EXPECT_EQ(Hex(Written(call)), "9E 00 00");
    TSWFActionWaitForFrame2 wait;
    EXPECT_EQ(Hex(Written(wait)), "8D 00 00");
    TSWFActionPush push;
    EXPECT_EQ(Hex(Written(push)), "96 00 00");
    EXPECT_EQ(push.MinVersion(), 4);
    TSWFOffsetMarker marker;
    EXPECT_EQ(Written(marker), "");
    EXPECT_EQ(marker.RecordSize(), 0u);
}

TEST(Actions, FactoryKnowsEveryCodeWithItsVersion) {
    const std::vector<std::pair<int, std::vector<int>>> codesByVersion = {
        {3, {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x81, 0x83, 0x8A, 0x8B, 0x8C, 0xFF}},
        {4, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x17, 0x18,
             0x1C, 0x1D, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x30, 0x31,
             0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x8D, 0x9E, 0x96, 0x99, 0x9D, 0x9A, 0x9F, 0xFE}},
        {5, {0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45,
             0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51,
             0x52, 0x53, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x88, 0x9B, 0x94, 0x87}},
        {6, {0x54, 0x55, 0x66, 0x67, 0x68}},
        {7, {0x2A, 0x2B, 0x2C, 0x69, 0x8E, 0x8F}},
    };
    int known = 0;
    for (const auto& [version, codes] : codesByVersion) {
        for (int code : codes) {
            auto a = CreateSWFAction(uint8_t(code));
            ASSERT_TRUE(a) << "code " << code;
            EXPECT_EQ(a->ActionCode, code);
            EXPECT_EQ(a->MinVersion(), version) << "code " << code;
            ++known;
        }
    }
    int made = 0;
    for (int code = 0; code < 256; ++code)
        made += CreateSWFAction(uint8_t(code)) ? 1 : 0;
    EXPECT_EQ(made, known);
    EXPECT_FALSE(CreateSWFAction(0x00));
    EXPECT_FALSE(CreateSWFAction(0x89)); // a later SWF version's action
    EXPECT_TRUE(dynamic_cast<TSWFActionIf*>(CreateSWFAction(0x9D).get()));
    EXPECT_FALSE(dynamic_cast<TSWFActionIf*>(CreateSWFAction(0x99).get()));
}

// --- Payload layouts, written and read back

struct PayloadRow {
    const char* Name;
    std::function<std::unique_ptr<TSWFAction>()> Make;
    std::string Expected;
};

std::vector<PayloadRow> PayloadRows() {
    return {
        {"GotoFrame",
         [] {
             auto a = std::make_unique<TSWFActionGotoFrame>();
             a->Frame = 5;
             return a;
         },
         Bytes({0x81,          // ActionGotoFrame
                0x02, 0x00,    // length 2
                0x05, 0x00})}, // Frame 5
        {"GetUrl",
         [] {
             auto a = std::make_unique<TSWFActionGetUrl>();
             a->URL = "caf\xE9";
             a->Target = "t\xE9";
             return a;
         },
         Bytes({0x83,                               // ActionGetURL
                0x09, 0x00,                         // length 9
                0x63, 0x61, 0x66, 0xC3, 0xA9, 0x00, // UrlString "café" in UTF-8
                0x74, 0xE9, 0x00})},                // TargetString as stored
        {"WaitForFrame",
         [] {
             auto a = std::make_unique<TSWFActionWaitForFrame>();
             a->Frame = 3;
             a->SkipCount = 2;
             return a;
         },
         Bytes({0x8A,       // ActionWaitForFrame
                0x03, 0x00, // length 3
                0x03, 0x00, // Frame 3
                0x02})},    // SkipCount 2
        {"SetTarget",
         [] {
             auto a = std::make_unique<TSWFActionSetTarget>();
             a->TargetName = "mc";
             return a;
         },
         Bytes({0x8B,                // ActionSetTarget
                0x03, 0x00,          // length 3
                0x6D, 0x63, 0x00})}, // TargetName "mc"
        {"GoToLabel",
         [] {
             auto a = std::make_unique<TSWFActionGoToLabel>();
             a->Label = "end";
             return a;
         },
         Bytes({0x8C,                      // ActionGoToLabel
                0x04, 0x00,                // length 4
                0x65, 0x6E, 0x64, 0x00})}, // Label "end"
        {"GetURL2",
         [] {
             auto a = std::make_unique<TSWFActionGetURL2>();
             a->SendVarsMethod = svmPOST;
             a->LoadTargetFlag = true;
             return a;
         },
         Bytes({0x9A,       // ActionGetURL2
                0x01, 0x00, // length 1
                0x82})},    // SendVarsMethod 2 (POST), reserved 0000, LoadTarget 1, LoadVariables 0
        {"GotoFrame2",
         [] {
             auto a = std::make_unique<TSWFActionGotoFrame2>();
             a->PlayFlag = true;
             return a;
         },
         Bytes({0x9F,       // ActionGotoFrame2
                0x01, 0x00, // length 1
                0x01})},    // reserved 000000, SceneBiasFlag 0, PlayFlag 1
        {"GotoFrame2 with scene bias",
         [] {
             auto a = std::make_unique<TSWFActionGotoFrame2>();
             a->SceneBiasFlag = true;
             a->SceneBias = 7;
             return a;
         },
         Bytes({0x9F,          // ActionGotoFrame2
                0x03, 0x00,    // length 3
                0x02,          // reserved 000000, SceneBiasFlag 1, PlayFlag 0
                0x07, 0x00})}, // SceneBias 7
        {"ConstantPool",
         [] {
             auto a = std::make_unique<TSWFActionConstantPool>();
             a->ConstantPool = {"a", "bc"};
             return a;
         },
         Bytes({0x88,                // ActionConstantPool
                0x07, 0x00,          // length 7
                0x02, 0x00,          // Count 2
                0x61, 0x00,          // "a"
                0x62, 0x63, 0x00})}, // "bc"
        {"StoreRegister",
         [] {
             auto a = std::make_unique<TSWFActionStoreRegister>();
             a->RegisterNumber = 3;
             return a;
         },
         Bytes({0x87,       // ActionStoreRegister
                0x01, 0x00, // length 1
                0x03})},    // RegisterNumber 3
        {"DefineFunction",
         [] {
             auto a = std::make_unique<TSWFActionDefineFunction>();
             a->FunctionName = "g";
             a->Params = {"a", "b"};
             a->SetCodeSize(3);
             return a;
         },
         Bytes({0x9B,          // ActionDefineFunction
                0x0A, 0x00,    // length 10
                0x67, 0x00,    // FunctionName "g"
                0x02, 0x00,    // NumParams 2
                0x61, 0x00,    // "a"
                0x62, 0x00,    // "b"
                0x03, 0x00})}, // codeSize 3
        {"DefineFunction2",
         [] {
             auto a = std::make_unique<TSWFActionDefineFunction2>();
             a->FunctionName = "f";
             a->Params = {{1, "x"}};
             a->RegisterCount = 2;
             a->SuppressArguments = true;
             a->PreloadThis = true;
             a->PreloadGlobal = true;
             a->SetCodeSize(4);
             return a;
         },
         Bytes({0x8E,       // ActionDefineFunction2
                0x0C, 0x00, // length 12
                0x66, 0x00, // FunctionName "f"
                0x01, 0x00, // NumParams 1
                0x02,       // RegisterCount 2
                0x09, // PreloadParent..PreloadThis: 0000 1001 (SuppressArguments, PreloadThis)
                0x01, // reserved 0000000, PreloadGlobal 1
                0x01, 0x78, 0x00, // register 1, "x"
                0x04, 0x00})},    // codeSize 4
        {"With",
         [] {
             auto a = std::make_unique<TSWFActionWith>();
             a->SetSize(6);
             return a;
         },
         Bytes({0x94,          // ActionWith
                0x02, 0x00,    // length 2
                0x06, 0x00})}, // Size 6
        {"Try, catch in register",
         [] {
             auto a = std::make_unique<TSWFActionTry>();
             a->CatchBlockFlag = true;
             a->FinallyBlockFlag = true;
             a->CatchInRegisterFlag = true;
             a->CatchRegister = 1;
             a->SetTrySize(1);
             a->SetCatchSize(2);
             a->SetFinallySize(3);
             return a;
         },
         Bytes({0x8F,       // ActionTry
                0x08, 0x00, // length 8
                0x07,       // reserved 00000, CatchInRegister 1, FinallyBlock 1, CatchBlock 1
                0x01, 0x00, // TrySize 1
                0x02, 0x00, // CatchSize 2
                0x03, 0x00, // FinallySize 3
                0x01})},    // CatchRegister 1
        {"Try, catch by name",
         [] {
             auto a = std::make_unique<TSWFActionTry>();
             a->CatchBlockFlag = true;
             a->CatchName = "e";
             a->SetTrySize(1);
             a->SetCatchSize(2);
             return a;
         },
         Bytes({0x8F,          // ActionTry
                0x09, 0x00,    // length 9
                0x01,          // reserved 00000, CatchInRegister 0, FinallyBlock 0, CatchBlock 1
                0x01, 0x00,    // TrySize 1
                0x02, 0x00,    // CatchSize 2
                0x00, 0x00,    // FinallySize 0
                0x65, 0x00})}, // CatchName "e"
    };
}

TEST(Actions, PayloadsAreWrittenAndReadFieldByField) {
    for (const PayloadRow& row : PayloadRows()) {
        SCOPED_TRACE(row.Name);
        auto action = row.Make();
        ASSERT_EQ(Hex(Written(*action)), Hex(row.Expected));
        EXPECT_EQ(action->BodySize, row.Expected.size() - 3);

        // Read back: one record of the same class, which writes the same
        // bytes. (Sizes pointing past the list leave their markers out.)
        auto list = Parsed(row.Expected);
        ASSERT_EQ(list->Count(), 1u);
        EXPECT_EQ(typeid((*list)[0]), typeid(*action));
        EXPECT_EQ(Hex(Written(*list)), Hex(row.Expected));

        // A copy writes the same bytes too.
        auto copy = CreateSWFAction(action->ActionCode);
        copy->Assign(*action);
        EXPECT_EQ(Hex(Written(*copy)), Hex(row.Expected));
    }
}

// --- Push

struct PushRow {
    const char* Name;
    TSWFVariant Value;
    TSWFValueType Type; // vtDefault: keep the classified type
    TSWFValueType ExpectedType;
    std::string ExpectedValue; // type byte and payload
};

TEST(Actions, PushClassifiesAndWritesEveryValueType) {
    const std::vector<PushRow> rows = {
        {"integer", int32_t(100), vtDefault, vtInteger, Bytes({0x07, 0x64, 0x00, 0x00, 0x00})},
        {"negative 16-bit integer", int16_t(-1), vtDefault, vtInteger,
         Bytes({0x07, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"string", std::string("abc"), vtDefault, vtString, Bytes({0x00, 0x61, 0x62, 0x63, 0x00})},
        {"wide string in the ANSI code page", std::u16string(u"\u20AC"), vtDefault, vtString,
         Bytes({0x00, 0x80, 0x00})},
        // DOUBLE: the high 32-bit word first, each word little-endian.
        {"double 1.5", 1.5, vtDefault, vtDouble,
         Bytes({0x06, 0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00, 0x00, 0x00})},
        {"double 0.1", 0.1, vtDefault, vtDouble,
         Bytes({0x06, 0x99, 0x99, 0xB9, 0x3F, 0x9A, 0x99, 0x99, 0x99})},
        {"currency 1.5", TSWFCurrency{15000}, vtDefault, vtDouble,
         Bytes({0x06, 0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00, 0x00, 0x00})},
        {"date", TSWFDate{1.5}, vtDefault, vtDouble,
         Bytes({0x06, 0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00, 0x00, 0x00})},
        {"single 0.5", 0.5f, vtDefault, vtFloat, Bytes({0x01, 0x00, 0x00, 0x00, 0x3F})},
        {"boolean", true, vtDefault, vtBoolean, Bytes({0x05, 0x01})},
        {"null string", std::string(FlashVarNull), vtDefault, vtNull, Bytes({0x02})},
        {"undefined string", std::string(FlashVarUndefined), vtDefault, vtUndefined, Bytes({0x03})},
        {"empty variant", std::monostate{}, vtDefault, vtUndefined, Bytes({0x03})},
        {"null variant", nullptr, vtDefault, vtNull, Bytes({0x02})},
        {"register", int32_t(3), vtRegister, vtRegister, Bytes({0x04, 0x03})},
        {"constant8", int32_t(1), vtConstant8, vtConstant8, Bytes({0x08, 0x01})},
        {"constant16", int32_t(300), vtConstant16, vtConstant16, Bytes({0x09, 0x2C, 0x01})},
        {"number as string", int32_t(42), vtString, vtString, Bytes({0x00, 0x34, 0x32, 0x00})},
        // 3e9 does not fit the 32-bit Integer type: it is pushed as a double
        // (0x41E65A0BC0000000) rather than truncated.
        {"unsigned beyond 32-bit signed", uint32_t(3000000000u), vtDefault, vtDouble,
         Bytes({0x06, 0x0B, 0x5A, 0xE6, 0x41, 0x00, 0x00, 0x00, 0xC0})},
    };
    TSWFActionPush all;
    std::string allValues;
    for (const PushRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TSWFActionPush push;
        const size_t i = push.AddValue(row.Value);
        push.Value(i).SetValueType(row.Type);
        EXPECT_TRUE(push.Value(i).Valid);
        EXPECT_EQ(push.Value(i).ValueType(), row.ExpectedType);
        const std::string body = Written(push).substr(3);
        EXPECT_EQ(Hex(body), Hex(row.ExpectedValue));

        all.Value(all.AddValue(row.Value)).SetValueType(row.Type);
        allValues += row.ExpectedValue;
    }
    // All values in one record, and read back value by value.
    const std::string record = Written(all);
    ASSERT_EQ(Hex(record.substr(3)), Hex(allValues));
    auto list = Parsed(record);
    ASSERT_EQ(list->Count(), 1u);
    auto& read = As<TSWFActionPush>((*list)[0]);
    ASSERT_EQ(read.ValueCount(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(read.Value(i).ValueType(), rows[i].ExpectedType) << rows[i].Name;
    EXPECT_EQ(Hex(Written(read)), Hex(record));
}

TEST(Actions, PushKeepsMarkerTextsAndUnsupportedValues) {
    TSWFActionPush push;
    push.AddValue(std::string(FlashVarUndefined));
    push.AddValue(std::string(FlashVarNull));
    push.AddValue(std::monostate{});
    EXPECT_EQ(std::get<std::string>(push.Value(0).Value), "undefined");
    EXPECT_EQ(std::get<std::string>(push.Value(1).Value), "null");
    EXPECT_EQ(std::get<std::string>(push.Value(2).Value), "");

    // A byte array has no Push type: it stays in the list, unwritten.
    TSWFActionPush mixed;
    mixed.AddValue(std::string("a"));
    const size_t bad = mixed.AddValue(TSWFByteArray{1, 2, 3});
    mixed.AddValue(std::string("b"));
    EXPECT_EQ(mixed.ValueCount(), 3u);
    EXPECT_FALSE(mixed.Value(bad).Valid);
    EXPECT_EQ(std::get<TSWFByteArray>(mixed.Value(bad).Value).size(), 3u);
    EXPECT_EQ(Hex(Written(mixed)), "96 06 00 00 61 00 00 62 00");
}

TEST(Actions, PushNeedsSWF5BeyondStringsAndFloats) {
    TSWFActionPush push;
    push.AddValue(std::string("x"));
    push.AddValue(0.25f);
    EXPECT_EQ(push.MinVersion(), 4);
    push.AddValue(TSWFByteArray{}); // never written: does not count
    EXPECT_EQ(push.MinVersion(), 4);
    push.AddValue(true);
    EXPECT_EQ(push.MinVersion(), 5);
}

// --- Branches through markers

TEST(Actions, ForwardAndBackwardBranchOffsets) {
    {
        // A forward If whose marker comes right after it.
        TSWFActionList list;
        auto& branch = list.Add<TSWFActionIf>();
        list.AddMarker(&branch.BranchMarker(), false);
        EXPECT_EQ(Hex(Written(list)), "9D 02 00 00 00");
    }
    {
        // A backward Jump to a marker right before it counts its own 5 bytes.
        TSWFActionList list;
        TSWFOffsetMarker& top = list.AddMarker();
        list.Add<TSWFActionJump>().SetBranchMarker(&top);
        EXPECT_EQ(Hex(Written(list)), "99 02 00 FB FF");
    }
    {
        TSWFActionList list;
        auto& branch = list.Add<TSWFActionIf>();
        list.Add<TSWFActionPlay>();
        list.Add<TSWFActionPush>().AddValue(int32_t(1));
        list.AddMarker(&branch.BranchMarker(), false);
        list.Add<TSWFActionStop>();
        EXPECT_EQ(Hex(Written(list)), "9D 02 00 09 00 "          // If +9
                                      "06 "                      // Play
                                      "96 05 00 07 01 00 00 00 " // Push 1
                                      "07");                     // Stop (the target)
    }
    {
        TSWFActionList list;
        TSWFOffsetMarker& top = list.AddMarker();
        list.Add<TSWFActionPlay>();
        list.Add<TSWFActionStop>();
        list.Add<TSWFActionJump>().SetBranchMarker(&top);
        EXPECT_EQ(Hex(Written(list)), "06 07 99 02 00 F9 FF"); // -(1 + 1 + 5)
    }
}

TEST(Actions, BranchesShareAMarkerAndSurviveAWrongDeclaration) {
    // Two forward branches to one target (an if/else end, say).
    TSWFActionList list;
    auto& first = list.Add<TSWFActionIf>();
    list.Add<TSWFActionPlay>();
    auto& second = list.Add<TSWFActionJump>();
    list.Add<TSWFActionStop>();
    TSWFOffsetMarker& end = list.AddMarker(&first.BranchMarker(), false);
    second.SetBranchMarker(&end);
    EXPECT_EQ(Hex(Written(list)), "9D 02 00 07 00 06 99 02 00 01 00 07");
    // Writing again, into a stream that already holds bytes, gives the same.
    const std::string again = Capture([&](TBitsEngine& be) {
        be.WriteBytes("xyz", 3);
        list.Write(be);
    });
    EXPECT_EQ(Hex(again.substr(3)), "9D 02 00 07 00 06 99 02 00 01 00 07");

    // A target declared as lying before its branch, placed after it.
    TSWFActionList misdeclared;
    auto& branch = misdeclared.Add<TSWFActionIf>();
    misdeclared.Add<TSWFActionPlay>();
    misdeclared.AddMarker(&branch.BranchMarker(), true);
    EXPECT_EQ(Hex(Written(misdeclared)), "9D 02 00 01 00 06");
}

TEST(Actions, BranchWithoutUsableMarkerWritesItsStoredValue) {
    TSWFActionList list;
    auto& branch = list.Add<TSWFActionIf>();
    list.Add<TSWFActionPlay>();
    list.AddMarker(&branch.BranchMarker(), false).Valid = false;
    EXPECT_EQ(Hex(Written(list)), "9D 02 00 00 00 06");
    branch.SetBranchOffset(-3); // explicit values win over markers
    EXPECT_EQ(Hex(Written(list)), "9D 02 00 FD FF 06");

    TSWFActionWith with; // no size, no marker
    EXPECT_EQ(Hex(Written(with)), "94 02 00 00 00");
}

TEST(Actions, BlockSizesCountFromTheEndOfTheAction) {
    TSWFActionList list;
    auto& fn = list.Add<TSWFActionDefineFunction>();
    fn.FunctionName = "f";
    list.Add<TSWFActionPlay>();
    auto& with = list.Add<TSWFActionWith>();
    list.Add<TSWFActionStop>();
    list.AddMarker(&with.BranchMarker(), false);
    list.AddMarker(&fn.BranchMarker(), false);
    EXPECT_EQ(Hex(Written(list)), "9B 06 00 66 00 00 00 07 00 " // DefineFunction "f", codeSize 7
                                  "06 "                         // Play
                                  "94 02 00 01 00 "             // With, Size 1
                                  "07");                        // Stop
}

TEST(Actions, TryBlockSizesAreTheBlockLengths) {
    TSWFActionList list;
    auto& t = list.Add<TSWFActionTry>();
    t.CatchBlockFlag = true;
    t.FinallyBlockFlag = true;
    t.CatchInRegisterFlag = true;
    list.Add<TSWFActionPlay>(); // try block: 1 byte
    list.AddMarker(&t.TryMarker(), false);
    list.Add<TSWFActionStop>(); // catch block: 2 bytes
    list.Add<TSWFActionStop>();
    list.AddMarker(&t.CatchMarker(), false);
    list.Add<TSWFActionNextFrame>(); // finally block: 3 bytes
    list.Add<TSWFActionNextFrame>();
    list.Add<TSWFActionNextFrame>();
    list.AddMarker(&t.FinallyMarker(), false);
    const std::string bytes = Written(list);
    EXPECT_EQ(Hex(bytes), "8F 08 00 07 " // ActionTry, length 8, flags
                          "01 00 "       // TrySize 1
                          "02 00 "       // CatchSize 2
                          "03 00 "       // FinallySize 3
                          "00 "          // CatchRegister 0
                          "06 07 07 04 04 04");

    // Read back, the three markers stand at the three block ends.
    auto read = Parsed(bytes);
    ASSERT_EQ(read->Count(), 10u);
    EXPECT_EQ((*read)[2].ActionCode, 0xFF);
    EXPECT_EQ((*read)[5].ActionCode, 0xFF);
    EXPECT_EQ((*read)[9].ActionCode, 0xFF);
    EXPECT_EQ(Hex(Written(*read)), Hex(bytes));
}

TEST(Actions, DistancesBeyondTheFieldAreRefused) {
    TSWFActionList list;
    auto& branch = list.Add<TSWFActionIf>();
    list.Add<TSWFActionPush>().AddValue(std::string(40000, 'x'));
    list.AddMarker(&branch.BranchMarker(), false);
    EXPECT_THROW(Written(list), std::runtime_error);

    TSWFActionList back;
    TSWFOffsetMarker& top = back.AddMarker();
    back.Add<TSWFActionPush>().AddValue(std::string(40000, 'x'));
    back.Add<TSWFActionJump>().SetBranchMarker(&top);
    EXPECT_THROW(Written(back), std::runtime_error);

    TSWFActionPush huge;
    huge.AddValue(std::string(70000, 'x'));
    EXPECT_THROW(Written(huge), std::runtime_error);
}

// --- Reading lists back

TEST(Actions, ReadUrlsTakeAnyUtf8BitLayoutAndKeepOtherBytes) {
    // Overlong "i", a surrogate, a value past U+10FFFF, then a lone 8-bit byte.
    const std::string url = "\xC1\xA9\xED\xA0\x80\xF4\x90\x80\x80\xE9";
    const std::string body = url + '\0' + "t" + '\0';
    auto list = Parsed("\x83" + std::string{char(body.size()), '\0'} + body);
    ASSERT_EQ(list->Count(), 1u);
    EXPECT_EQ(As<TSWFActionGetUrl>((*list)[0]).URL, "i??\xE9");
}

TEST(Actions, ReadingShowsBranchTargetsAsLabels) {
    TSWFActionList list;
    TSWFOffsetMarker& top = list.AddMarker();
    list.Add<TSWFActionPlay>();
    auto& exit = list.Add<TSWFActionIf>();
    list.Add<TSWFActionPush>().AddValue(std::string("a"));
    list.Add<TSWFActionJump>().SetBranchMarker(&top);
    list.AddMarker(&exit.BranchMarker(), false);
    list.Add<TSWFActionStop>();
    const std::string bytes = Written(list);
    ASSERT_EQ(Hex(bytes), "06 "             // Play
                          "9D 02 00 0B 00 " // If +11
                          "96 03 00 00 61 00 "
                          "99 02 00 EF FF " // Jump -17
                          "07");

    auto read = Parsed(bytes);
    ASSERT_EQ(read->Count(), 7u);
    auto& backLabel = As<TSWFOffsetMarker>((*read)[0]);
    auto& forwardLabel = As<TSWFOffsetMarker>((*read)[5]);
    // Labels are numbered in the order their branches come.
    EXPECT_EQ(forwardLabel.Name, "label 1");
    EXPECT_FALSE(forwardLabel.BeforeBranch);
    EXPECT_EQ(backLabel.Name, "label 2");
    EXPECT_TRUE(backLabel.BeforeBranch);
    for (auto* m : {&backLabel, &forwardLabel}) {
        EXPECT_TRUE(m->InList);
        EXPECT_FALSE(m->Valid);
    }
    auto& readIf = As<TSWFActionIf>((*read)[2]);
    EXPECT_TRUE(readIf.ExplicitOffset());
    EXPECT_EQ(&readIf.BranchMarker(), &forwardLabel);
    EXPECT_EQ(&As<TSWFActionJump>((*read)[4]).BranchMarker(), &backLabel);
    EXPECT_EQ(Hex(Written(*read)), Hex(bytes));
}

TEST(Actions, OffsetsOffRecordBoundariesLeaveTheMarkerOut) {
    const std::string inside = Bytes({0x99, 0x02, 0x00, 0x03, 0x00,                     // Jump +3
                                      0x96, 0x05, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00}); // Push 1
    auto read = Parsed(inside);
    ASSERT_EQ(read->Count(), 2u);
    TSWFOffsetMarker& m = As<TSWFActionJump>((*read)[0]).BranchMarker();
    EXPECT_EQ(m.Name, "Error Size offset: 3");
    EXPECT_FALSE(m.InList);
    EXPECT_EQ(Hex(Written(*read)), Hex(inside));

    // Before the first record, and past the last one.
    for (const std::string& bytes : {Bytes({0x06, 0x99, 0x02, 0x00, 0xF0, 0xFF}),
                                     Bytes({0x99, 0x02, 0x00, 0x02, 0x00, 0x06})}) {
        auto r = Parsed(bytes);
        ASSERT_EQ(r->Count(), 2u);
        EXPECT_EQ(Hex(Written(*r)), Hex(bytes));
    }
}

TEST(Actions, MalformedBodiesStopAtTheirEnd) {
    struct Row {
        const char* Name;
        std::string Body;
        size_t Count;     // records read, raw blocks included
        size_t WriteSize; // bytes the read list writes
    };
    const std::vector<Row> rows = {
        {"length word cut off", Bytes({0x06, 0x96, 0x01}), 1, 1},
        {"length running past the body", Bytes({0x06, 0x96, 0x05, 0x00, 0x07, 0x64}), 1, 1},
        {"fields running past their length", Bytes({0x81, 0x01, 0x00, 0x05, 0x07}), 2, 5},
        {"fields short of their length", Bytes({0x81, 0x03, 0x00, 0x05, 0x00, 0x09}), 1, 6},
        {"string without its end", Bytes({0x8C, 0x02, 0x00, 0x61, 0x62}), 1, 5},
        {"Push value of an unknown type", Bytes({0x96, 0x02, 0x00, 0x0B, 0x00}), 1, 5},
        {"code without a class", Bytes({0x89, 0x02, 0x00, 0xAA, 0xBB, 0x06}), 2, 6},
        {"end byte", Bytes({0x06, 0x00, 0x07}), 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        // The body is a view into a larger buffer: Stop actions after it
        // would show if the reader went past its end.
        const std::string buffer = row.Body + Bytes({0x07, 0x07, 0x07});
        TSWFReader reader(std::string_view(buffer).substr(0, row.Body.size()));
        TSWFActionList list;
        list.Read(reader);
        EXPECT_EQ(list.Count(), row.Count);
        const std::string again = Written(list);
        EXPECT_EQ(again.size(), row.WriteSize);
        EXPECT_EQ(Hex(again), Hex(row.Body.substr(0, row.WriteSize)));
    }
    // An undecodable record is kept as its raw bytes.
    auto kept = Parsed(Bytes({0x81, 0x01, 0x00, 0x05, 0x07}));
    auto& raw = As<TSWFActionByteCode>((*kept)[0]);
    EXPECT_EQ(raw.Count(), 4u);
    EXPECT_TRUE(raw.OwnsBytes());
    EXPECT_EQ(raw.Bytes(0), 0x81);
}

// --- DoAction and DoInitAction

TEST(ActionTags, FramedBodiesAndMinimumVersions) {
    TSWFDoAction doAction;
    EXPECT_EQ(doAction.MinVersion(), 3);
    doAction.Actions().Add<TSWFActionStop>();
    EXPECT_EQ(Hex(TagBytes(doAction)), "02 03 " // code 12, length 2
                                       "07 "    // ActionStop
                                       "00");   // ActionEndFlag
    EXPECT_EQ(doAction.MinVersion(), 3);
    doAction.Actions().Add<TSWFActionPush>().AddValue(true);
    EXPECT_EQ(doAction.MinVersion(), 5);

    TSWFDoInitAction init;
    EXPECT_EQ(init.MinVersion(), 6);
    init.SpriteID = 4;
    init.Actions().Add<TSWFActionPlay>();
    EXPECT_EQ(Hex(TagBytes(init)), "C4 0E " // code 59, length 4
                                   "04 00 " // SpriteID 4
                                   "06 "    // ActionPlay
                                   "00");   // ActionEndFlag
}

TEST(ActionTags, WrappedListStaysWithItsOwner) {
    TSWFActionList list;
    list.Add<TSWFActionPlay>();
    {
        TSWFDoAction tag(list);
        EXPECT_FALSE(tag.OwnsList());
        EXPECT_EQ(Hex(TagBytes(tag)), "02 03 06 00");
    }
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_TRUE(TSWFDoAction().OwnsList());
}

TEST(ActionTags, ReadingBodiesRawOrParsed) {
    const std::string body = Bytes({0x06, 0x07, 0x00});
    TSWFDoAction raw;
    TSWFReader r1(body);
    raw.ReadFromStream(r1);
    ASSERT_EQ(raw.Actions().Count(), 1u);
    EXPECT_EQ(As<TSWFActionByteCode>(raw.Actions()[0]).Count(), 2u);
    EXPECT_EQ(Hex(TagBytes(raw)), "03 03 06 07 00");

    TSWFDoAction parsed;
    parsed.ParseActions = true;
    TSWFReader r2(body);
    parsed.ReadFromStream(r2);
    ASSERT_EQ(parsed.Actions().Count(), 2u);
    EXPECT_EQ(parsed.Actions()[1].ActionCode, 0x07);

    for (bool parse : {false, true}) {
        TSWFDoAction empty;
        empty.ParseActions = parse;
        TSWFReader r(std::string_view{});
        empty.ReadFromStream(r);
        EXPECT_TRUE(empty.Actions().Empty());

        TSWFDoInitAction init;
        init.ParseActions = parse;
        const std::string initBody = Bytes({0x05, 0x00, 0x06, 0x00});
        TSWFReader ri(initBody);
        init.ReadFromStream(ri);
        EXPECT_EQ(init.SpriteID, 5);
        EXPECT_EQ(Hex(TagBytes(init)), "C4 0E 05 00 06 00");

        TSWFDoInitAction cut;
        const std::string one = Bytes({0x05});
        TSWFReader rc(one);
        EXPECT_THROW(cut.ReadFromStream(rc), TSWFReadError);
    }
}

TEST(ActionTags, CopiesLinkBranchesToCopiedMarkers) {
    TSWFDoInitAction source;
    source.SpriteID = 9;
    TSWFActionList& src = source.Actions();
    TSWFOffsetMarker& top = src.AddMarker();
    auto& exit = src.Add<TSWFActionIf>();
    src.Add<TSWFActionPlay>();
    src.Add<TSWFActionJump>().SetBranchMarker(&top);
    src.AddMarker(&exit.BranchMarker(), false);
    const std::string bytes = TagBytes(source);

    TSWFDoInitAction copy;
    copy.Assign(source);
    EXPECT_EQ(copy.SpriteID, 9);
    TSWFActionList& dst = copy.Actions();
    ASSERT_EQ(dst.Count(), 5u);
    EXPECT_EQ(&As<TSWFActionIf>(dst[1]).BranchMarker(), &dst[4]);
    EXPECT_EQ(&As<TSWFActionJump>(dst[3]).BranchMarker(), &dst[0]);
    // The copy resolves through its own markers, whatever happens to the source.
    src.Insert(2, std::make_unique<TSWFActionStop>());
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(bytes));
}

} // namespace
} // namespace pictova
