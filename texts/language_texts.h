// The program's named texts with their built-in values, and the language file that replaces them.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/app_profile.h"
#include "platform/paths.h"

namespace vornak {

enum class TextId : uint16_t {
#define X(key, text, when) key,
#include "texts/language_text_table.inc"
#undef X
    kCount
};

inline constexpr size_t kTextCount = static_cast<size_t>(TextId::kCount);

enum class TextLoad : uint8_t {
    At,     // read by LoadLanguageTexts at start-up
    Shown,  // read from the language file when its window or menu is shown
};

struct LanguageTextInfo {
    TextId id;
    std::string_view key;
    std::u16string_view builtin;
    TextLoad load;
};

std::span<const LanguageTextInfo> LanguageTextTable();
const LanguageTextInfo& TextInfo(TextId id);
std::optional<TextId> FindTextId(std::string_view key);

// [LANGUAGE] "language" = 1 selects "ENGINSH"; any other value, or none, "CHINESE".
std::u16string_view LanguageSectionFor(int language);
inline constexpr int kLanguageChinese = 0;
inline constexpr int kLanguageEnglish = 1;

// The application profile's key that keeps the user's own choice of language (0 or 1; absent: none).
inline constexpr std::u16string_view kLanguageChoiceKey = u"Language";

// The language the user wants, before the language file's own value: the choice kept in the application
// profile, else the desktop's locale (the first of LC_ALL, LC_MESSAGES, LANG that is set and not empty:
// "zh..." is Chinese, "C" and "POSIX" say nothing, any other English). Nothing: the file decides.
std::optional<int> PreferredLanguage(const AppProfile& profile, const EnvironmentLookup& env);
std::optional<int> LanguageOfLocale(const EnvironmentLookup& env);

class LanguageTexts {
  public:
    static constexpr size_t kMaxLength = 259;

    // Every text holds its built-in value.
    LanguageTexts();

    const std::u16string& Get(TextId id) const { return texts_[static_cast<size_t>(id)]; }
    const std::u16string& operator[](TextId id) const { return Get(id); }
    // Cut to kMaxLength characters.
    void Set(TextId id, std::u16string_view text);

    // Reads [LANGUAGE] "language" and then every start-up text from the selected section, from one parse of
    // the file. A key that the file lacks (or a missing file) gives an empty text, not the built-in one.
    // preferred (PreferredLanguage) stands in for the file's "language" value when given.
    void LoadLanguageTexts(const std::filesystem::path& languageIni,
                           std::optional<int> preferred = std::nullopt);

    // Reads one text from the language file now, by the same rule (for texts read when a window is shown).
    std::u16string ReadNow(TextId id) const;

    // The "language" value as read (0 when the file or key is missing); the effect names and control labels
    // of the skin are chosen by it.
    int language() const { return language_; }
    std::u16string_view section() const { return LanguageSectionFor(language_); }
    const std::filesystem::path& file() const { return file_; }

  private:
    std::array<std::u16string, kTextCount> texts_;
    std::filesystem::path file_;
    int language_ = 0;
    std::optional<int> preferred_;
};

// A text read as its table row says: from the language file now (Shown), or as loaded at start-up (At).
std::u16string TextNow(const LanguageTexts& texts, TextId id);

}  // namespace vornak
