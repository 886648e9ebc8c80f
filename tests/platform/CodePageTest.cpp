#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <utility>

namespace pictova {
namespace {

TEST(CodePage, Windows1252ToUnicode) {
    const std::pair<unsigned char, char16_t> rows[] = {
        {'A', u'A'},    {0x80, u'€'}, {0x8A, u'Š'}, {0x9F, u'Ÿ'}, {0x81, 0x0081},
        {0xA0, 0x00A0}, {0xC4, u'Ä'}, {0xDF, u'ß'}, {0xFF, u'ÿ'},
    };
    for (const auto& [ansi, unicode] : rows)
        EXPECT_EQ(AnsiCharToUnicode(ansi), unicode) << int(ansi);
    EXPECT_EQ(AnsiToUtf8("Gr\xFC\xDF"
                         "e \x80"),
              "Grüße €");
    EXPECT_EQ(AnsiToUtf16("\x84z\x93"), u"„z“");
}

// The two checks part only where UTF-8 forbids a form that its bit layout
// could still carry.
TEST(CodePage, Utf8StrictAndLenientDifferOnlyOnForbiddenForms) {
    struct Row {
        const char* Name;
        std::string_view Bytes;
        TUtf8Char Strict, Lenient;
    };
    const Row rows[] = {
        {"ASCII", "A", {U'A', 1}, {U'A', 1}},
        {"two bytes", "\xC3\xA9", {U'é', 2}, {U'é', 2}},
        {"three bytes", "\xE2\x82\xAC", {U'€', 3}, {U'€', 3}},
        {"four bytes", "\xF0\x9F\x98\x80", {0x1F600, 4}, {0x1F600, 4}},
        {"last code point", "\xF4\x8F\xBF\xBF", {0x10FFFF, 4}, {0x10FFFF, 4}},
        {"overlong two", "\xC1\xA9", {}, {U'i', 2}},
        {"overlong three", "\xE0\x81\xA9", {}, {U'i', 3}},
        {"overlong four", "\xF0\x80\x81\xA9", {}, {U'i', 4}},
        {"high surrogate", "\xED\xA0\x80", {}, {0xD800, 3}},
        {"low surrogate", "\xED\xBF\xBF", {}, {0xDFFF, 3}},
        {"past U+10FFFF", "\xF4\x90\x80\x80", {}, {0x110000, 4}},
        {"stray continuation", "\x80", {}, {}},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", {}, {}},
        {"cut short", "\xE2\x82", {}, {}},
        {"no continuation", "\xC3(", {}, {}},
        {"empty", "", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        for (const auto& [check, want] : {std::pair{TUtf8Check::Strict, row.Strict},
                                          std::pair{TUtf8Check::Lenient, row.Lenient}}) {
            const TUtf8Char got = DecodeUtf8Char(row.Bytes, check);
            EXPECT_EQ(got.Length, want.Length) << int(check);
            EXPECT_EQ(uint32_t(got.Code), uint32_t(want.Code)) << int(check);
        }
    }
    // A whole text passes only when every character does.
    EXPECT_TRUE(IsUtf8("Grüße", TUtf8Check::Strict));
    EXPECT_FALSE(IsUtf8("ok\xED\xA0\x80", TUtf8Check::Strict));
    EXPECT_TRUE(IsUtf8("ok\xED\xA0\x80", TUtf8Check::Lenient));
    EXPECT_FALSE(IsUtf8("ok\xE9", TUtf8Check::Lenient));
}

} // namespace
} // namespace pictova
