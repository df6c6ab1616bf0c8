#include "platform/text_format.h"

#include <vector>

namespace vornak {

namespace {

std::u16string Digits(uint64_t value, unsigned base, bool upper) {
    const char* const digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(digits[value % base]));
        value /= base;
    } while (value != 0);
    return out;
}

void Pad(std::u16string& out, std::u16string body, size_t width, bool left, bool zero, bool negative) {
    if (negative) {
        if (zero && !left) {
            while (body.size() + 1 < width)
                body.insert(body.begin(), u'0');
        }
        body.insert(body.begin(), u'-');
    } else if (zero && !left) {
        while (body.size() < width)
            body.insert(body.begin(), u'0');
    }
    if (body.size() < width) {
        const std::u16string fill(width - body.size(), u' ');
        body = left ? body + fill : fill + body;
    }
    out += body;
}

}  // namespace

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args) {
    const std::vector<FormatArg> list(args);
    size_t next = 0;
    std::u16string out;
    size_t i = 0;
    while (i < format.size()) {
        const char16_t c = format[i];
        if (c != u'%') {
            out.push_back(c);
            ++i;
            continue;
        }
        const size_t start = i++;
        if (i < format.size() && format[i] == u'%') {
            out.push_back(u'%');
            ++i;
            continue;
        }
        bool left = false;
        bool zero = false;
        while (i < format.size() && (format[i] == u'-' || format[i] == u'0')) {
            (format[i] == u'-' ? left : zero) = true;
            ++i;
        }
        size_t width = 0;
        while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
            width = width * 10 + (format[i] - u'0');
            if (width > 1000) width = 1000;
            ++i;
        }
        size_t precision = std::u16string::npos;
        if (i < format.size() && format[i] == u'.') {
            ++i;
            precision = 0;
            while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
                precision = precision * 10 + (format[i] - u'0');
                if (precision > 100000) precision = 100000;
                ++i;
            }
        }
        while (i < format.size() && (format[i] == u'l' || format[i] == u'h'))
            ++i;
        if (i >= format.size()) {
            out.append(format.substr(start));
            break;
        }
        const char16_t conv = format[i++];
        const FormatArg* arg = next < list.size() ? &list[next] : nullptr;
        const auto literal = [&] { out.append(format.substr(start, i - start)); };
        switch (conv) {
            case u'd':
            case u'i':
            case u'u':
            case u'x':
            case u'X':
            case u'c': {
                if (arg == nullptr || !std::holds_alternative<int64_t>(*arg)) {
                    literal();
                    break;
                }
                ++next;
                const int64_t v = std::get<int64_t>(*arg);
                if (conv == u'c') {
                    Pad(out, std::u16string(1, static_cast<char16_t>(v)), width, left, false, false);
                } else if (conv == u'x' || conv == u'X') {
                    Pad(out, Digits(static_cast<uint32_t>(v), 16, conv == u'X'), width, left, zero, false);
                } else if (conv == u'u') {
                    Pad(out, Digits(static_cast<uint32_t>(v), 10, false), width, left, zero, false);
                } else {
                    const bool negative = v < 0;
                    const uint64_t magnitude =
                        negative ? static_cast<uint64_t>(-(v + 1)) + 1 : static_cast<uint64_t>(v);
                    Pad(out, Digits(magnitude, 10, false), width, left, zero, negative);
                }
                break;
            }
            case u's':
            case u'S': {
                if (arg == nullptr || !std::holds_alternative<std::u16string_view>(*arg)) {
                    literal();
                    break;
                }
                ++next;
                std::u16string_view s = std::get<std::u16string_view>(*arg);
                if (precision < s.size()) s = s.substr(0, precision);
                Pad(out, std::u16string(s), width, left, false, false);
                break;
            }
            default:
                literal();
                break;
        }
    }
    return out;
}

}  // namespace vornak
