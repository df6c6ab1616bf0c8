// What the key buttons show of the lighting: the colour each one is lit with, or none (its plain picture),
// and which of them changed since the view last drew them. The view repaints those keys only, so a frame
// that moves no colour (a static effect, the user mode) repaints nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "keyboard/key_buttons.h"
#include "keyboard/key_table.h"
#include "lighting/lighting_block.h"
#include "lighting/preview.h"

namespace vornak {

class KeyLights {
  public:
    // The buttons the lighting draws on, in this order: the key buttons, the G buttons, the extra key.
    static constexpr size_t kCount =
        std::tuple_size_v<decltype(kKeyButtons)> + std::tuple_size_v<decltype(kGKeyControlIds)> + 1;
    static const std::array<uint16_t, kCount>& ControlIds();
    // A button's place in that order; nothing for a button the lighting does not draw on.
    static std::optional<size_t> IndexOf(uint16_t controlId);

    std::optional<Colour> colour(size_t key) const { return colours_[key]; }

    // A preview frame: Paint gives every key its position's colour (none where the frame has none),
    // RestoreButtons takes every colour away, Nothing leaves them as they are.
    void Apply(const PreviewFrame& frame);
    // Every key with a position takes that position's colour (the user mode's colours).
    void ApplyPositions(const std::array<Colour, kMatrixPositionCount>& colours);
    void Set(size_t key, std::optional<Colour> colour);
    void Clear();

    struct Changes {
        std::vector<size_t> keys;  // in key order, each once
        bool litChanged = false;   // one of them went from lit to plain or back
    };
    // What changed since the last call.
    Changes TakeChanges();

  private:
    std::array<std::optional<Colour>, kCount> colours_{};
    std::array<bool, kCount> changed_{};
    bool litChanged_ = false;
};

}  // namespace vornak
