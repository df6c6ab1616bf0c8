#include "skin/core/skin_layout.h"

#include <algorithm>
#include <climits>

#include "platform/utf.h"

namespace vornak {

namespace {

bool IsScanfBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// One "%d": blanks, an optional sign, at least one digit. Advances pos past what it read.
std::optional<int> ReadInt(std::u16string_view text, size_t& pos) {
    while (pos < text.size() && IsScanfBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    const size_t digitsStart = pos;
    long long value = 0;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos] - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
        ++pos;
    }
    if (pos == digitsStart) return std::nullopt;
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

std::optional<SkinRect> TryParseSkinRect(std::u16string_view value) {
    int numbers[4] = {};
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= value.size() || value[pos] != u',') return std::nullopt;
            ++pos;
        }
        auto number = ReadInt(value, pos);
        if (!number) return std::nullopt;
        numbers[i] = *number;
    }
    SkinRect rect{numbers[0], numbers[1], numbers[2], numbers[3]};
    if (rect.w < 0 || rect.h < 0) return std::nullopt;
    return rect;
}

SkinRect ParseSkinRect(std::u16string_view value) {
    return TryParseSkinRect(value).value_or(SkinRect{});
}

ImageButtonPlacement PlanImageButton(const SkinRect& rect) {
    return {rect, rect.x, rect.y, rect.x == 1 && rect.y == 1};
}

ImageButtonPlacement PlanImageButtonFrom(const SkinRect& rect, const SkinRect& origin) {
    return {rect, origin.x, origin.y, false};
}

std::filesystem::path JoinSkinPath(const std::filesystem::path& folder, std::u16string_view relative) {
    std::u16string name(relative);
    for (auto& c : name) {
        if (c == u'\\') c = u'/';
    }
    return folder / std::filesystem::path(Utf16ToUtf8(name));
}

std::filesystem::path ScaledPictureFile(const std::filesystem::path& file, int scale) {
    if (scale <= 1) return file;
    std::filesystem::path scaled = file;
    scaled.replace_filename(file.stem().string() + "@" + std::to_string(scale) + "x" +
                            file.extension().string());
    return scaled;
}

int PictureScaleFor(double devicePixelRatio) {
    return devicePixelRatio > 1.0 ? kHighResolutionScale : 1;
}

SkinRect FitWindowInArea(const SkinRect& window, const SkinRect& area) {
    const auto fit = [](int at, int size, int start, int length) {
        // The far edge first, so that the near edge wins when the window is larger than the area.
        at = std::min(at, start + length - size);
        return std::max(at, start);
    };
    return {fit(window.x, window.w, area.x, area.w), fit(window.y, window.h, area.y, area.h), window.w,
            window.h};
}

SkinLayout SkinLayout::Load(const std::filesystem::path& iniFile) {
    return FromDocument(IniDocument::Load(iniFile), iniFile);
}

SkinLayout SkinLayout::FromDocument(IniDocument document, std::filesystem::path iniFile) {
    SkinLayout layout;
    layout.document_ = std::move(document);
    layout.file_ = std::move(iniFile);
    return layout;
}

SkinRect SkinLayout::Rect(std::u16string_view section, std::u16string_view key) const {
    return ParseSkinRect(document_.GetString(section, key, kDefaultSkinRect, kLayoutValueCapacity));
}

std::optional<SkinRect> SkinLayout::FindRect(std::u16string_view section, std::u16string_view key) const {
    auto value = document_.Find(section, key);
    if (!value) return std::nullopt;
    return TryParseSkinRect(std::u16string_view(*value).substr(0, kLayoutValueCapacity - 1));
}

SkinScreen SkinLayout::Screen() const {
    SkinScreen screen;
    screen.main = document_.GetString(kScreenSection, u"Main", u"", kScreenValueCapacity);
    screen.mask = document_.GetString(kScreenSection, u"Mask", screen.main, kScreenValueCapacity);
    // An empty "Mask =" line would name the skin folder itself; it means the same as no line.
    if (screen.mask.empty()) screen.mask = screen.main;
    return screen;
}

std::u16string SkinLayout::Text(std::u16string_view section, std::u16string_view key, std::u16string_view def,
                                size_t capacity) const {
    return document_.GetString(section, key, def, capacity);
}

ButtonSurface ChooseSurface(const ButtonStateFlags& state) {
    if (!state.enabled) return ButtonSurface::Disabled;
    if (state.checkMode) return state.checked ? ButtonSurface::Checked : ButtonSurface::Unchecked;
    if (state.pressed) return ButtonSurface::Down;
    if (state.hover) return ButtonSurface::Over;
    if (state.selected) return ButtonSurface::Selected;
    return ButtonSurface::Normal;
}

}  // namespace vornak
