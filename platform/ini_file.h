// INI files with the semantics that the program's stored files rely on:
// - section and key names compare without regard to case; the first section and the first key of a name
//   win;
// - a value is the text after the first '=', blanks trimmed at both ends, one pair of matching surrounding
//   quotes removed;
// - a missing file, section or key gives the default with its trailing blanks trimmed;
// - results are cut to the caller's capacity - 1 characters;
// - files are UTF-16LE when they start with its byte-order mark, UTF-8 otherwise (a UTF-8 mark is
//   skipped);
// - a write replaces the value in place, adds a missing key at the end of its section and a missing
//   section at the end of the file, keeps every other line byte for byte and the file's encoding, and
//   replaces the file atomically.
// IniDocument is one parse of a file. CIniFile reads and writes by path and parses once per call; it keeps
// the C prefix of the program's own INI class (see HACKING).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vornak {

enum class IniEncoding { Utf8, Utf8WithMark, Utf16Le };

// The default capacity of a value: a 260-character buffer.
inline constexpr size_t kIniDefaultCapacity = 260;

// One parse of one INI file. Serves any number of lookups and edits; Save writes it back in one atomic step.
class IniDocument {
  public:
    IniDocument() = default;

    // A missing or unreadable file gives an empty document (every lookup then yields its default).
    static IniDocument Load(const std::filesystem::path& path);
    static IniDocument Parse(std::span<const uint8_t> bytes);
    // For a read-modify-write: a missing file gives an empty document, an unreadable one gives nothing.
    static std::optional<IniDocument> LoadForUpdate(const std::filesystem::path& path, std::string* error);

    bool loadedFromFile() const { return loaded_; }
    IniEncoding encoding() const { return encoding_; }

    // The value as stored (trimmed, quotes removed), or nothing when the section or key is absent.
    std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;
    std::u16string GetString(std::u16string_view section, std::u16string_view key, std::u16string_view def,
                             size_t capacity = kIniDefaultCapacity) const;
    // Leading integer of the value (as atoi reads it); the default when the key is absent.
    int GetInt(std::u16string_view section, std::u16string_view key, int def) const;
    bool HasSection(std::u16string_view section) const;

    // Line breaks in the value are replaced by blanks: a value can never add lines to the file.
    void SetString(std::u16string_view section, std::u16string_view key, std::u16string_view value);

    std::vector<uint8_t> Serialize() const;
    bool Save(const std::filesystem::path& path, std::string* error = nullptr) const;

  private:
    struct Line {
        std::u16string text;  // decoded, without the line break
        std::string raw;      // the line's bytes as read, without the line break
        std::string eol;      // the line break's bytes as read (empty on a last line without one)
        bool edited = false;  // written from text instead of raw
    };
    struct SectionIndex {
        size_t header = 0;                                // line of "[name]"
        size_t end = 0;                                   // one past the section's last line
        std::unordered_map<std::u16string, size_t> keys;  // lower-case key -> first line holding it
    };

    void Reindex();
    std::string Encode(std::u16string_view text) const;
    std::string PreferredEol() const;
    void EndLine(Line& line, const std::string& eol) const;
    const SectionIndex* FindSection(std::u16string_view section) const;

    bool loaded_ = false;
    IniEncoding encoding_ = IniEncoding::Utf8;
    std::vector<Line> lines_;
    std::unordered_map<std::u16string, SectionIndex>
        sections_;  // lower-case name -> first section of that name
};

// An INI file by path; every call parses the file once. Use Read() to serve many keys from one parse.
class CIniFile {
  public:
    CIniFile() = default;
    explicit CIniFile(std::filesystem::path path) : path_(std::move(path)) {}

    void SetPath(std::filesystem::path path) { path_ = std::move(path); }
    const std::filesystem::path& path() const { return path_; }

    std::u16string GetString(std::u16string_view section, std::u16string_view key, std::u16string_view def,
                             size_t capacity = kIniDefaultCapacity) const;
    int GetInt(std::u16string_view section, std::u16string_view key, int def) const;
    bool WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                     std::string* error = nullptr) const;

    IniDocument Read() const { return IniDocument::Load(path_); }

  private:
    std::filesystem::path path_;
};

// atoi of a UTF-16 text: leading blanks, an optional sign, then digits; anything else ends the number.
int ParseLeadingInt(std::u16string_view text);

}  // namespace vornak
