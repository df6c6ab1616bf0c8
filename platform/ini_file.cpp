#include "platform/ini_file.h"

#include <climits>

#include "platform/file_io.h"
#include "platform/utf.h"

namespace vornak {

namespace fs = std::filesystem;

namespace {

// INI files are small; anything beyond this is not one of ours and is read as absent.
constexpr uint64_t kMaxIniSize = 16u << 20;

std::u16string Lower(std::u16string_view s) {
    std::u16string out(s);
    for (auto& c : out)
        c = AsciiLower(c);
    return out;
}

// "[name]" -> name, or nothing when the line is not a section header.
std::optional<std::u16string_view> SectionName(std::u16string_view line) {
    const std::u16string_view t = TrimBlanks(line);
    if (t.empty() || t.front() != u'[') return std::nullopt;
    const size_t close = t.find(u']');
    return TrimBlanks(
        t.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1));
}

struct KeyValue {
    std::u16string_view key;
    std::u16string_view value;
};

std::optional<KeyValue> SplitKeyValue(std::u16string_view line) {
    const std::u16string_view t = TrimBlanks(line);
    if (t.empty() || t.front() == u';' || t.front() == u'[') return std::nullopt;
    const size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) return std::nullopt;
    return KeyValue{TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1))};
}

std::u16string_view Unquote(std::u16string_view v) {
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

std::u16string Cut(std::u16string_view v, size_t capacity) {
    if (capacity == 0) return {};
    return std::u16string(v.substr(0, capacity - 1));
}

}  // namespace

int ParseLeadingInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long v = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        v = v * 10 + (text[i++] - u'0');
        if (v > INT_MAX) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

IniDocument IniDocument::Load(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {};
    auto bytes = ReadWholeFile(path, nullptr, kMaxIniSize);
    if (!bytes) return {};
    IniDocument doc = Parse(*bytes);
    doc.loaded_ = true;
    return doc;
}

IniDocument IniDocument::Parse(std::span<const uint8_t> bytes) {
    IniDocument doc;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        doc.encoding_ = IniEncoding::Utf16Le;
        const size_t units = (bytes.size() - 2) / 2;
        size_t lineStart = 0;
        auto unit = [&](size_t i) {
            return static_cast<char16_t>(bytes[2 + 2 * i] | (bytes[2 + 2 * i + 1] << 8));
        };
        for (size_t i = 0; i <= units; ++i) {
            if (i < units && unit(i) != u'\n') continue;
            if (i == units && lineStart == units) break;
            size_t end = i;
            Line line;
            if (i < units) {
                line.eol = "\n";
                line.eol.push_back('\0');
                if (end > lineStart && unit(end - 1) == u'\r') {
                    --end;
                    line.eol = std::string("\r\0\n\0", 4);
                }
            } else if (end > lineStart && unit(end - 1) == u'\r') {
                // A last line cut off after its CR: the CR ends it, as it would before a LF.
                --end;
                line.eol = std::string("\r\0", 2);
            }
            for (size_t k = lineStart; k < end; ++k)
                line.text.push_back(unit(k));
            line.raw.assign(reinterpret_cast<const char*>(bytes.data() + 2 + 2 * lineStart),
                            2 * (end - lineStart));
            doc.lines_.push_back(std::move(line));
            lineStart = i + 1;
        }
    } else {
        size_t offset = 0;
        if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            doc.encoding_ = IniEncoding::Utf8WithMark;
            offset = 3;
        }
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + offset,
                                    bytes.size() - offset);
        size_t lineStart = 0;
        while (lineStart < text.size()) {
            size_t nl = text.find('\n', lineStart);
            Line line;
            size_t end = nl == std::string_view::npos ? text.size() : nl;
            if (end > lineStart && text[end - 1] == '\r') {
                // Before a LF, or ending a last line cut off after its CR.
                --end;
                line.eol = nl != std::string_view::npos ? "\r\n" : "\r";
            } else if (nl != std::string_view::npos) {
                line.eol = "\n";
            }
            line.raw.assign(text.substr(lineStart, end - lineStart));
            line.text = Utf8ToUtf16(line.raw);
            doc.lines_.push_back(std::move(line));
            lineStart = nl == std::string_view::npos ? text.size() : nl + 1;
        }
    }
    doc.Reindex();
    return doc;
}

void IniDocument::Reindex() {
    sections_.clear();
    SectionIndex* current = nullptr;
    bool currentIsFirst = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (auto name = SectionName(lines_[i].text)) {
            if (current != nullptr && currentIsFirst) current->end = i;
            auto [it, inserted] = sections_.try_emplace(Lower(*name));
            current = &it->second;
            currentIsFirst = inserted;
            if (inserted) current->header = i;
            continue;
        }
        if (current == nullptr || !currentIsFirst) continue;
        if (auto kv = SplitKeyValue(lines_[i].text)) current->keys.try_emplace(Lower(kv->key), i);
    }
    if (current != nullptr && currentIsFirst) current->end = lines_.size();
}

const IniDocument::SectionIndex* IniDocument::FindSection(std::u16string_view section) const {
    const auto it = sections_.find(Lower(TrimBlanks(section)));
    return it == sections_.end() ? nullptr : &it->second;
}

bool IniDocument::HasSection(std::u16string_view section) const {
    return FindSection(section) != nullptr;
}

std::optional<std::u16string> IniDocument::Find(std::u16string_view section, std::u16string_view key) const {
    const SectionIndex* s = FindSection(section);
    if (s == nullptr) return std::nullopt;
    const auto it = s->keys.find(Lower(TrimBlanks(key)));
    if (it == s->keys.end()) return std::nullopt;
    const auto kv = SplitKeyValue(lines_[it->second].text);
    return std::u16string(Unquote(kv->value));
}

std::u16string IniDocument::GetString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view def, size_t capacity) const {
    if (auto v = Find(section, key)) return Cut(*v, capacity);
    return Cut(TrimTrailingBlanks(def), capacity);
}

int IniDocument::GetInt(std::u16string_view section, std::u16string_view key, int def) const {
    if (auto v = Find(section, key)) return ParseLeadingInt(*v);
    return def;
}

std::string IniDocument::PreferredEol() const {
    // The file's own line break; a lone CR (only ever at the end of a cut-off file) is none that a reader
    // would split at.
    for (const auto& l : lines_) {
        if (!l.eol.empty() && l.eol != Encode(u"\r")) return l.eol;
    }
    return Encode(encoding_ == IniEncoding::Utf16Le ? u"\r\n" : u"\n");
}

std::string IniDocument::Encode(std::u16string_view text) const {
    if (encoding_ != IniEncoding::Utf16Le) return Utf16ToUtf8(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

void IniDocument::EndLine(Line& line, const std::string& eol) const {
    // A line that ended the file gets a line break before another follows it; a lone CR becomes CR LF, so the
    // line keeps its text.
    if (line.eol.empty()) line.eol = eol;
    if (line.eol == Encode(u"\r")) line.eol = Encode(u"\r\n");
}

void IniDocument::SetString(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    std::u16string clean(value);
    for (auto& c : clean) {
        if (c == u'\r' || c == u'\n') c = u' ';
    }
    const std::u16string_view sectionName = TrimBlanks(section);
    const std::u16string_view keyName = TrimBlanks(key);
    const std::string eol = PreferredEol();
    auto makeLine = [&](std::u16string text) {
        Line l;
        l.text = std::move(text);
        l.eol = eol;
        l.edited = true;
        return l;
    };

    const SectionIndex* s = FindSection(sectionName);
    if (s != nullptr) {
        const auto it = s->keys.find(Lower(keyName));
        if (it != s->keys.end()) {
            Line& line = lines_[it->second];
            const size_t eq = line.text.find(u'=');
            line.text = line.text.substr(0, eq + 1) + clean;
            line.edited = true;
            return;
        }
        // After the section's last non-blank line, so blank separators stay in front of the next section.
        size_t at = s->end;
        while (at > s->header + 1 && TrimBlanks(lines_[at - 1].text).empty())
            --at;
        if (at > 0) EndLine(lines_[at - 1], eol);
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                      makeLine(std::u16string(keyName) + u"=" + clean));
        Reindex();
        return;
    }
    if (!lines_.empty()) EndLine(lines_.back(), eol);
    lines_.push_back(makeLine(u"[" + std::u16string(sectionName) + u"]"));
    lines_.push_back(makeLine(std::u16string(keyName) + u"=" + clean));
    Reindex();
}

std::vector<uint8_t> IniDocument::Serialize() const {
    std::string out;
    if (encoding_ == IniEncoding::Utf16Le) out = "\xFF\xFE";
    if (encoding_ == IniEncoding::Utf8WithMark) out = "\xEF\xBB\xBF";
    for (const auto& l : lines_) {
        out += l.edited ? Encode(l.text) : l.raw;
        out += l.eol;
    }
    return {out.begin(), out.end()};
}

bool IniDocument::Save(const fs::path& path, std::string* error) const {
    const auto bytes = Serialize();
    return WriteFileAtomic(path, bytes, error);
}

std::u16string CIniFile::GetString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view def, size_t capacity) const {
    return IniDocument::Load(path_).GetString(section, key, def, capacity);
}

int CIniFile::GetInt(std::u16string_view section, std::u16string_view key, int def) const {
    return IniDocument::Load(path_).GetInt(section, key, def);
}

std::optional<IniDocument> IniDocument::LoadForUpdate(const fs::path& path, std::string* error) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return IniDocument{};
    // An existing file that cannot be read must not be replaced by one holding only the new key.
    auto bytes = ReadWholeFile(path, error, kMaxIniSize);
    if (!bytes) return std::nullopt;
    IniDocument doc = Parse(*bytes);
    doc.loaded_ = true;
    return doc;
}

bool CIniFile::WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                           std::string* error) const {
    auto loaded = IniDocument::LoadForUpdate(path_, error);
    if (!loaded) return false;
    IniDocument& doc = *loaded;
    doc.SetString(section, key, value);
    return doc.Save(path_, error);
}

}  // namespace vornak
