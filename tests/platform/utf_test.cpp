#include "platform/utf.h"

#include <gtest/gtest.h>

namespace vornak {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string text = u"Esc \x2191 \x5B8F \xD83D\xDE00";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\x2191"), "\xE2\x86\x91");
}

TEST(Utf, InvalidInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\xFFFD"
              u"b");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x86"), u"\xFFFD\xFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD");  // overlong
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(Utf, ComparesAsciiWithoutCase) {
    EXPECT_TRUE(EqualsIgnoreCase(u"ENGINSH", u"enginsh"));
    EXPECT_FALSE(EqualsIgnoreCase(u"Mode1", u"Mode2"));
    EXPECT_TRUE(StartsWithIgnoreCase(u"Macro10", u"macro1"));
    EXPECT_EQ(TrimBlanks(u" \t a b \t"), u"a b");
}

}  // namespace
}  // namespace vornak
