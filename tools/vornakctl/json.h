// Just enough JSON output for vornakctl --json.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vornak::cli {

inline std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace vornak::cli
