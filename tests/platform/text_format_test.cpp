#include "platform/text_format.h"

#include <gtest/gtest.h>

namespace vornak {
namespace {

TEST(FormatText, FormatsTheConversionsOfTheLanguageTexts) {
    EXPECT_EQ(FormatText(u"Unknown Key: %03x", {int64_t{0x55}}), u"Unknown Key: 055");
    EXPECT_EQ(FormatText(u"%03X|%x", {int64_t{0x1AB}, int64_t{255}}), u"1AB|ff");
    EXPECT_EQ(FormatText(u"The maximum number of macro: %d   ", {int64_t{100}}),
              u"The maximum number of macro: 100   ");
    EXPECT_EQ(FormatText(u"%s%d", {std::u16string_view(u"Macro"), int64_t{3}}), u"Macro3");
    EXPECT_EQ(FormatText(u"%s%02d", {std::u16string_view(u"PROFILE"), int64_t{1}}), u"PROFILE01");
    EXPECT_EQ(FormatText(u"%d,%d,%d", {int64_t{0}, int64_t{128}, int64_t{255}}), u"0,128,255");
    EXPECT_EQ(FormatText(u"%-4d|%4d|%05d", {int64_t{7}, int64_t{-7}, int64_t{-7}}), u"7   |  -7|-0007");
    EXPECT_EQ(FormatText(u"100%% %.2s", {std::u16string_view(u"abc")}), u"100% ab");
}

TEST(FormatText, MismatchedFormatsNeverReadMissingArguments) {
    EXPECT_EQ(FormatText(u"%d %s %d", {int64_t{1}}), u"1 %s %d");
    EXPECT_EQ(FormatText(u"%s", {int64_t{1}}), u"%s");
    EXPECT_EQ(FormatText(u"%d", {std::u16string_view(u"x")}), u"%d");
    EXPECT_EQ(FormatText(u"trailing %", {}), u"trailing %");
    EXPECT_EQ(FormatText(u"%q", {int64_t{1}}), u"%q");
    EXPECT_EQ(FormatText(u"%d", {INT64_MIN}), u"-9223372036854775808");
}

}  // namespace
}  // namespace vornak
