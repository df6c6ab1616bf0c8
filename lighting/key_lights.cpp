#include "lighting/key_lights.h"

#include <algorithm>

#include "lighting/user_modes.h"

namespace vornak {

namespace {

struct Table {
    std::array<uint16_t, KeyLights::kCount> ids{};
    std::array<int, KeyLights::kCount> positions{};

    Table() {
        size_t i = 0;
        for (const KeyButton& k : kKeyButtons)
            ids[i++] = k.controlId;
        for (const uint16_t id : kGKeyControlIds)
            ids[i++] = id;
        ids[i] = kExtraKeyControlId;
        for (size_t k = 0; k < ids.size(); ++k)
            positions[k] = PaintPositionOfButton(ids[k]);
    }
};

const Table& T() {
    static const Table table;
    return table;
}

}  // namespace

const std::array<uint16_t, KeyLights::kCount>& KeyLights::ControlIds() {
    return T().ids;
}

std::optional<size_t> KeyLights::IndexOf(uint16_t controlId) {
    const auto& ids = T().ids;
    const auto it = std::find(ids.begin(), ids.end(), controlId);
    if (it == ids.end()) return std::nullopt;
    return static_cast<size_t>(it - ids.begin());
}

void KeyLights::Apply(const PreviewFrame& frame) {
    switch (frame.kind) {
        case PreviewKind::Paint:
            for (size_t k = 0; k < kCount; ++k) {
                const int position = T().positions[k];
                Set(k, position >= 0 ? frame.colours[static_cast<size_t>(position)] : std::nullopt);
            }
            break;
        case PreviewKind::RestoreButtons:
            Clear();
            break;
        case PreviewKind::Nothing:
            break;
    }
}

void KeyLights::ApplyPositions(const std::array<Colour, kMatrixPositionCount>& colours) {
    for (size_t k = 0; k < kCount; ++k) {
        const int position = T().positions[k];
        if (position >= 0) Set(k, colours[static_cast<size_t>(position)]);
    }
}

void KeyLights::Set(size_t key, std::optional<Colour> colour) {
    std::optional<Colour>& shown = colours_[key];
    if (shown == colour) return;
    if (shown.has_value() != colour.has_value()) litChanged_ = true;
    shown = colour;
    changed_[key] = true;
}

void KeyLights::Clear() {
    for (size_t k = 0; k < kCount; ++k)
        Set(k, std::nullopt);
}

KeyLights::Changes KeyLights::TakeChanges() {
    Changes changes;
    changes.keys.reserve(static_cast<size_t>(std::count(changed_.begin(), changed_.end(), true)));
    for (size_t k = 0; k < kCount; ++k) {
        if (changed_[k]) changes.keys.push_back(k);
    }
    changes.litChanged = litChanged_;
    changed_.fill(false);
    litChanged_ = false;
    return changes;
}

}  // namespace vornak
