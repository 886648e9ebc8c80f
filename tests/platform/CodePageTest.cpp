#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace pictova {
namespace {

TEST(CodePage, Windows1252ToUnicode) {
    const std::pair<unsigned char, char16_t> rows[] = {
        {'A', u'A'},   {0x80, u'€'},    {0x8A, u'Š'}, {0x9F, u'Ÿ'}, {0x81, 0x0081},
        {0xA0, 0x00A0}, {0xC4, u'Ä'},   {0xDF, u'ß'}, {0xFF, u'ÿ'},
    };
    for (const auto& [ansi, unicode] : rows)
        EXPECT_EQ(AnsiCharToUnicode(ansi), unicode) << int(ansi);
    EXPECT_EQ(AnsiToUtf8("Gr\xFC\xDF" "e \x80"), "Grüße €");
    EXPECT_EQ(AnsiToUtf16("\x84z\x93"), u"„z“");
}

} // namespace
} // namespace pictova
