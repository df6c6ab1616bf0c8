#include "texts/language_texts.h"

#include "platform/ini_file.h"
#include "platform/utf.h"

namespace vornak {

namespace {

constexpr LanguageTextInfo kTable[] = {
#define X(key, text, when) {TextId::key, #key, text, TextLoad::when},
#include "texts/language_text_table.inc"
#undef X
};
static_assert(std::size(kTable) == kTextCount);

// The reader is asked with a default of one blank, which it trims: a missing key reads as an empty text.
std::u16string ReadText(const IniDocument& doc, std::u16string_view section, std::string_view key) {
    return doc.GetString(section, Utf8ToUtf16(key), u" ", LanguageTexts::kMaxLength + 1);
}

}  // namespace

std::span<const LanguageTextInfo> LanguageTextTable() {
    return kTable;
}

const LanguageTextInfo& TextInfo(TextId id) {
    return kTable[static_cast<size_t>(id)];
}

std::optional<TextId> FindTextId(std::string_view key) {
    for (const auto& info : kTable) {
        if (info.key == key) return info.id;
    }
    return std::nullopt;
}

std::u16string_view LanguageSectionFor(int language) {
    return language == 1 ? u"ENGINSH" : u"CHINESE";
}

LanguageTexts::LanguageTexts() {
    for (const auto& info : kTable)
        Set(info.id, info.builtin);
}

void LanguageTexts::Set(TextId id, std::u16string_view text) {
    texts_[static_cast<size_t>(id)] = std::u16string(text.substr(0, kMaxLength));
}

std::optional<int> LanguageOfLocale(const EnvironmentLookup& env) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::optional<std::string> value = env(name);
        if (!value || value->empty()) continue;
        if (value->rfind("zh", 0) == 0) return kLanguageChinese;
        const std::string bare = value->substr(0, value->find_first_of(".@"));
        if (bare == "C" || bare == "POSIX") return std::nullopt;
        return kLanguageEnglish;
    }
    return std::nullopt;
}

std::optional<int> PreferredLanguage(const AppProfile& profile, const EnvironmentLookup& env) {
    const int chosen = profile.GetInt(kLanguageChoiceKey, -1);
    if (chosen == kLanguageChinese || chosen == kLanguageEnglish) return chosen;
    return LanguageOfLocale(env);
}

void LanguageTexts::LoadLanguageTexts(const std::filesystem::path& languageIni,
                                      std::optional<int> preferred) {
    file_ = languageIni;
    preferred_ = preferred;
    const IniDocument doc = IniDocument::Load(languageIni);
    language_ = preferred ? *preferred : doc.GetInt(u"LANGUAGE", u"language", 0);
    for (const auto& info : kTable) {
        if (info.load == TextLoad::At) Set(info.id, ReadText(doc, section(), info.key));
    }
}

std::u16string LanguageTexts::ReadNow(TextId id) const {
    const IniDocument doc = IniDocument::Load(file_);
    const int language = preferred_ ? *preferred_ : doc.GetInt(u"LANGUAGE", u"language", 0);
    return ReadText(doc, LanguageSectionFor(language), TextInfo(id).key);
}

std::u16string TextNow(const LanguageTexts& texts, TextId id) {
    return TextInfo(id).load == TextLoad::Shown ? texts.ReadNow(id) : texts.Get(id);
}

}  // namespace vornak
