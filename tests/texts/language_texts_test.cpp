#include "texts/language_texts.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "platform/ini_file.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using test::TempDir;
using test::WriteText;

struct LanguageCase {
    const char* name;
    const char* settings;    // the [LANGUAGE] part of the file
    const char16_t* chosen;  // the caption of the section it selects
};

void PrintTo(const LanguageCase& c, std::ostream* out) {
    *out << c.name;
}

class LanguageSelection : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageSelection, OneSelectsEnglishAnythingElseChinese) {
    TempDir dir;
    WriteText(dir / "language.ini", std::string(GetParam().settings) +
                                        "[ENGINSH]\nMENU_1=Import\nMAIN_CAPTION=English\n"
                                        "[CHINESE]\nMAIN_CAPTION=Chinese\n");
    LanguageTexts texts;
    texts.LoadLanguageTexts(dir / "language.ini");
    EXPECT_EQ(texts[TextId::MAIN_CAPTION], GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(Values, LanguageSelection,
                         ::testing::Values(LanguageCase{"One", "[LANGUAGE]\nlanguage = 1\n", u"English"},
                                           LanguageCase{"Zero", "[LANGUAGE]\nlanguage = 0\n", u"Chinese"},
                                           LanguageCase{"Two", "[LANGUAGE]\nlanguage = 2\n", u"Chinese"},
                                           LanguageCase{"AWord", "[LANGUAGE]\nlanguage = English\n",
                                                        u"Chinese"},
                                           LanguageCase{"NoKey", "[LANGUAGE]\n", u"Chinese"},
                                           LanguageCase{"EmptyFile", "", u"Chinese"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The user's choice, else the locale, else the file: each step of the order, and what the texts then read.
TEST(LanguageTexts, TheUsersChoiceThenTheLocaleThenTheFileSelectTheSection) {
    TempDir dir;
    WriteText(dir / "language.ini",
              "[LANGUAGE]\nlanguage = 1\n[ENGINSH]\nMAIN_CAPTION=English\nMENU_1=Import\n"
              "[CHINESE]\nMAIN_CAPTION=Chinese\nMENU_1=CN\n");
    std::map<std::string, std::string> vars;
    const EnvironmentLookup env = [&vars](const char* name) -> std::optional<std::string> {
        const auto it = vars.find(name);
        return it == vars.end() ? std::nullopt : std::optional(it->second);
    };
    const AppProfile profile(dir / "Vornak_Pellam.ini");
    const auto caption = [&] {
        LanguageTexts texts;
        texts.LoadLanguageTexts(dir / "language.ini", PreferredLanguage(profile, env));
        EXPECT_EQ(texts.ReadNow(TextId::MENU_1), texts.language() == kLanguageEnglish ? u"Import" : u"CN");
        return texts[TextId::MAIN_CAPTION];
    };
    EXPECT_EQ(caption(), u"English") << "no choice, no locale: the file's value";
    vars = {{"LANG", "C.UTF-8"}};
    EXPECT_EQ(caption(), u"English") << "C says nothing";
    vars = {{"LANG", "zh_CN.UTF-8"}};
    EXPECT_EQ(caption(), u"Chinese");
    vars = {{"LC_ALL", ""}, {"LC_MESSAGES", "zh_TW"}, {"LANG", "en_GB.UTF-8"}};
    EXPECT_EQ(caption(), u"Chinese") << "an empty LC_ALL is not set; LC_MESSAGES comes before LANG";
    vars = {{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "zh_CN.UTF-8"}};
    EXPECT_EQ(caption(), u"English") << "LC_ALL first; a language without texts of its own reads English";
    ASSERT_TRUE(profile.WriteInt(kLanguageChoiceKey, kLanguageChinese));
    EXPECT_EQ(caption(), u"Chinese") << "the user's choice before the locale";
    ASSERT_TRUE(profile.WriteInt(kLanguageChoiceKey, 7));
    EXPECT_EQ(caption(), u"English") << "a choice that is no language is none";
}

TEST(LanguageTexts, BuiltInTextsBeforeLoading) {
    const LanguageTexts texts;
    EXPECT_EQ(texts[TextId::UNKNOWN_KEY], u"Unknown Key: %03x");
    EXPECT_EQ(texts[TextId::PROFILE_NEW], u"\\The new contextual  mode");
    EXPECT_EQ(texts[TextId::MEDIA_MUTE_8], u"Hello world");
    EXPECT_EQ(texts[TextId::MAIN_NO_DEVICE_PROMPT],
              u"Device is not detected\xFF0Cthe key settings can not be displayed! ");
}

TEST(LanguageTexts, MissingOrEmptyKeyGivesAnEmptyTextNotTheBuiltIn) {
    TempDir dir;
    WriteText(dir / "language.ini", "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nMACRO_NEW_PREFIX=\n");
    LanguageTexts texts;
    texts.LoadLanguageTexts(dir / "language.ini");
    EXPECT_EQ(texts[TextId::MACRO_NEW_PREFIX], u"");
    EXPECT_EQ(texts[TextId::UNKNOWN_KEY], u"");
}

TEST(LanguageTexts, MissingFileEmptiesEveryStartUpText) {
    TempDir dir;
    LanguageTexts texts;
    texts.LoadLanguageTexts(dir / "missing.ini");
    for (const auto& info : LanguageTextTable()) {
        if (info.load == TextLoad::At) {
            EXPECT_EQ(texts[info.id], u"") << info.key;
        }
    }
    // Texts read when their window is shown keep their built-in value until then.
    EXPECT_EQ(texts[TextId::MENU_1], u"Import");
    EXPECT_EQ(texts.ReadNow(TextId::MENU_1), u"");
}

TEST(LanguageTexts, LongTextsAreCutTo259Characters) {
    TempDir dir;
    WriteText(dir / "language.ini",
              "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nMAIN_CAPTION=" + std::string(400, 'x') + "\n");
    LanguageTexts texts;
    texts.LoadLanguageTexts(dir / "language.ini");
    EXPECT_EQ(texts[TextId::MAIN_CAPTION], std::u16string(259, u'x'));
}

TEST(LanguageTexts, ReadNowFollowsTheFileAsItIsNow) {
    TempDir dir;
    WriteText(dir / "language.ini",
              "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nMENU_33=E&xit\n[CHINESE]\nMENU_33=X\n");
    LanguageTexts texts;
    texts.LoadLanguageTexts(dir / "language.ini");
    EXPECT_EQ(texts.ReadNow(TextId::MENU_33), u"E&xit");
    WriteText(dir / "language.ini",
              "[LANGUAGE]\nlanguage=2\n[ENGINSH]\nMENU_33=E&xit\n[CHINESE]\nMENU_33=X\n");
    EXPECT_EQ(texts.ReadNow(TextId::MENU_33), u"X");
}

TEST(LanguageTextTable, KeysAreUniqueAndFindable) {
    for (const auto& info : LanguageTextTable()) {
        ASSERT_EQ(FindTextId(info.key), info.id) << info.key;
        EXPECT_LE(info.builtin.size(), LanguageTexts::kMaxLength);
    }
    EXPECT_FALSE(FindTextId("NO_SUCH_TEXT"));
}

// The printf conversions of a text, in order ("%d", "%s", "%03x").
std::vector<std::string> Conversions(std::u16string_view text) {
    const std::string s = Utf16ToUtf8(text);
    std::vector<std::string> out;
    const std::regex re("%[-0-9.]*[a-zA-Z]");
    for (auto it = std::sregex_iterator(s.begin(), s.end(), re); it != std::sregex_iterator(); ++it) {
        out.push_back(it->str());
    }
    return out;
}

// The shipped file: UTF-16LE with its mark, English selected, every key in both sections with a real text and
// the same printf conversions as the built-in one.
TEST(ShippedLanguageFile, HasEveryTextInBothLanguages) {
    const auto file = test::BinDir() / "Skins" / "language.ini";
    const auto doc = IniDocument::Load(file);
    ASSERT_TRUE(doc.loadedFromFile()) << file;
    EXPECT_EQ(doc.encoding(), IniEncoding::Utf16Le);
    EXPECT_EQ(doc.GetInt(u"LANGUAGE", u"language", 0), 1);
    for (const char16_t* section : {u"ENGINSH", u"CHINESE"}) {
        for (const auto& info : LanguageTextTable()) {
            const auto value = doc.Find(section, Utf8ToUtf16(info.key));
            ASSERT_TRUE(value) << Utf16ToUtf8(section) << " lacks " << info.key;
            EXPECT_FALSE(TrimBlanks(*value).empty()) << info.key;
            EXPECT_NE(*value, u"hello") << info.key;
            EXPECT_NE(*value, u"Hello world") << info.key;
            EXPECT_NE(*value, u"hello world") << info.key;
            EXPECT_LE(value->size(), LanguageTexts::kMaxLength) << info.key;
            EXPECT_EQ(Conversions(*value), Conversions(info.builtin)) << info.key;
        }
    }
    // The record-delays setting is stored under this text: it must not change with the language.
    EXPECT_EQ(doc.Find(u"ENGINSH", u"MACRO_ACTION_RECORD_DELAY"), u"RecordDelay");
    EXPECT_EQ(doc.Find(u"CHINESE", u"MACRO_ACTION_RECORD_DELAY"), u"RecordDelay");
    // Added to the user folder's path, so it must begin with a separator.
    EXPECT_EQ(doc.Find(u"ENGINSH", u"PROFILE_NEW")->front(), u'\\');
    EXPECT_EQ(doc.Find(u"CHINESE", u"PROFILE_NEW")->front(), u'\\');
}

}  // namespace
}  // namespace vornak
