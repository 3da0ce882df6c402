#include "base/text_encoding.h"

#include <gtest/gtest.h>

namespace pagemeld {
namespace {

TEST(TextEncodingTest, Utf8Validation) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x84"));
    EXPECT_FALSE(isValidUtf8("caf\xE9"));           // Windows-1252 é
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong '/'
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
}

TEST(TextEncodingTest, CharacterCountsAndUtf16) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\x84z";  // a é € 📄 z
    EXPECT_EQ(utf8Length(text), 5u);
    EXPECT_EQ(utf8Left(text, 3), "a\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(utf8Left(text, 9), text);
    EXPECT_EQ(utf8Left(text, 0), "");

    const std::u16string wide = utf8ToUtf16(text);
    EXPECT_EQ(wide, u"a\u00E9\u20AC\U0001F4C4z");
    EXPECT_EQ(utf16ToUtf8(wide), text);
    EXPECT_EQ(utf8ToUtf16("x\xE9y"), u"x\uFFFDy");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");

    EXPECT_EQ(pathToUtf8(pathFromUtf8(text)), text);
}

}  // namespace
}  // namespace pagemeld
