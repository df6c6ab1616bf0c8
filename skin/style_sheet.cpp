#include "skin/style_sheet.h"

#include <QColor>
#include <array>
#include <utility>

#include "skin/palette.h"

namespace vornak {

namespace {

const std::array<std::pair<std::string_view, const QColor*>, 15> kColourNames = {{
    {"accent", &palette::kAccent},
    {"alternateRow", &palette::kAlternateRow},
    {"checkBorder", &palette::kCheckBorder},
    {"field", &palette::kField},
    {"fieldBorder", &palette::kFieldBorder},
    {"greyText", &palette::kGreyText},
    {"header", &palette::kHeader},
    {"label", &palette::kLabel},
    {"listText", &palette::kListText},
    {"popup", &palette::kPopup},
    {"selection", &palette::kSelection},
    {"text", &palette::kText},
    {"textDim", &palette::kTextDim},
    {"warning", &palette::kMeterWarning},
    {"white", &palette::kWhite},
}};

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

QString SkinStyleSheet(std::string_view sheet) {
    QString out;
    size_t i = 0;
    while (i < sheet.size()) {
        if (sheet[i] == '@') {
            size_t end = i + 1;
            while (end < sheet.size() && IsNameChar(sheet[end]))
                ++end;
            const std::string_view name = sheet.substr(i + 1, end - i - 1);
            const QColor* colour = nullptr;
            for (const auto& [n, c] : kColourNames) {
                if (n == name) colour = c;
            }
            if (colour != nullptr) {
                out += colour->name();
                i = end;
                continue;
            }
        }
        out += QLatin1Char(sheet[i]);
        ++i;
    }
    return out;
}

}  // namespace vornak
