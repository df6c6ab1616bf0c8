// Writes a UTF-8 text file as the UTF-16LE file with a byte-order mark and CRLF line ends that the program's
// INI reader and the Windows program's files share. The language file is kept in UTF-8 in the repository so
// that it diffs and merges as text; the build writes the shipped form.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/utf.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: utf16ini INPUT.utf8 OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "utf16ini: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    const std::u16string wide = vornak::Utf8ToUtf16(crlf);
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "utf16ini: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
