// INI files are edited by users: the reader must take any bytes, give back an unedited file byte for byte,
// cut every value to the capacity asked for, and after an edit read back what was written while every other
// line stays as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "platform/utf.h"

namespace {

using vornak::IniDocument;

void Check(bool ok) {
    if (!ok) std::abort();
}

// Section and key names to look up: those the file's first lines seem to hold, and a few fixed ones.
std::vector<std::u16string> Names(std::span<const uint8_t> bytes) {
    std::vector<std::u16string> names = {u"", u"s", u"BUTTONINFO", u"Mode0"};
    std::string word;
    for (size_t i = 0; i < bytes.size() && i < 4096 && names.size() < 24; ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '[' || c == ']' || c == '=' || c == '\n' || c == '\r') {
            if (!word.empty()) names.push_back(vornak::Utf8ToUtf16(word));
            word.clear();
        } else {
            word.push_back(c);
        }
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const IniDocument doc = IniDocument::Parse(bytes);

    // Unedited, the file comes back as it was; a UTF-16 file of odd length loses only its stray last byte.
    const std::vector<uint8_t> same = doc.Serialize();
    const bool utf16 = doc.encoding() == vornak::IniEncoding::Utf16Le;
    const size_t expected = utf16 && size % 2 == 1 ? size - 1 : size;
    Check(same.size() == expected && std::equal(same.begin(), same.end(), data));

    const std::vector<std::u16string> names = Names(bytes);
    const size_t capacity = size > 0 ? data[0] % 8 : 0;
    for (const auto& section : names) {
        for (size_t k = 0; k < names.size(); k += 3) {
            const std::u16string value = doc.GetString(section, names[k], u" default ", capacity);
            Check(capacity == 0 ? value.empty() : value.size() <= capacity - 1);
            (void)doc.GetInt(section, names[k], 7);
        }
    }

    // An edit reads back, and a value cannot bring lines of its own.
    IniDocument edited = doc;
    const std::u16string section = names.size() > 4 ? names[4] : u"fuzz";
    edited.SetString(section, u"fuzzkey", u"v\r\n[injected]\nx=1");
    const IniDocument again = IniDocument::Parse(edited.Serialize());
    Check(again.encoding() == doc.encoding() || (size == 0));
    if (vornak::TrimBlanks(section) == section &&
        section.find_first_of(u"[]=;\r\n") == std::u16string::npos && !section.empty()) {
        Check(again.GetString(section, u"fuzzkey", u"") == u"v  [injected] x=1");
    }
    Check(again.HasSection(u"injected") == doc.HasSection(u"injected"));
    return 0;
}
