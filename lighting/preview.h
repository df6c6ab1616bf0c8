// The on-screen preview: one step of the current effect's imitation gives the colour of every key button for
// the next 50 ms tick. Pure: everything that moves lives in PreviewPhase, and its randomness comes from a
// seedable generator so that a run can be repeated.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "keyboard/key_table.h"
#include "lighting/lighting_block.h"

namespace vornak {

inline constexpr int kPreviewColumns = 23;
inline constexpr int kPreviewRows = 6;
inline constexpr size_t kRainbowSize = 192;
inline constexpr size_t kRingOrderSize = 104;
inline constexpr int kEffect18Rings = 12;

// The shared tables.
const std::array<Colour, kRainbowSize>& RainbowTable();
const std::array<uint8_t, 96>& BreathRamp96();
const std::array<uint8_t, 128>& BreathRamp128();
// Each component x level / 255, rounded down.
Colour ColourAtLevel(Colour colour, int level);

// The preview grid: the key buttons' columns (0..22) and rows (0..5) left to right and top to bottom of the
// keyboard. Positions without a key button, and the G buttons' shared position 125, are on no cell.
struct GridCell {
    int8_t column = -1;
    int8_t row = -1;
    bool valid() const { return column >= 0; }
};
GridCell PreviewGridCell(int position);

// The 104 positions in the order the ring-shaped previews (effects 3 and 11, and the fixed order of 10) run.
const std::array<uint8_t, kRingOrderSize>& PreviewRingOrder();
// The ring of effect 18 (0 = the O key) of a position, or -1 for positions on no ring.
int Effect18Ring(int position);

enum class PreviewKind : uint8_t {
    Paint,           // paint the positions that have a colour; the others keep their normal picture
    RestoreButtons,  // show every button's normal picture
    Nothing,         // leave the buttons as they are (the user mode shows the user's colours)
};

struct PreviewFrame {
    PreviewKind kind = PreviewKind::Nothing;
    std::array<std::optional<Colour>, kMatrixPositionCount> colours{};
};

// What the preview carries from one tick to the next. It starts over whenever the effect or its colourful
// flag changes.
struct PreviewPhase {
    explicit PreviewPhase(uint64_t seed = 0x5EED) : rng(seed == 0 ? 1 : seed) {}

    int effect = -1;  // the effect of the last step; -1 before the first
    bool colourful = false;
    int phase = 0;
    int tick = 0;
    uint64_t rng;
    // Effects 10 and 13..16: a level 0..255 and a colour index per position.
    std::array<uint8_t, kMatrixPositionCount> level{};
    std::array<uint8_t, kMatrixPositionCount> colourIndex{};
    // Ripples of effects 14..16: where a simulated press landed and how far its ripple has spread.
    struct Ripple {
        int8_t column = 0;
        int8_t row = 0;
        int8_t radius = -1;  // -1: free slot
    };
    std::array<Ripple, 8> ripples{};

    void Restart();
    uint32_t Next();  // xorshift64*
};

// How far a reactive key's level falls in one tick (effects 10 and 13..16; fast for effect 14).
int PreviewLevelFall(int level, bool fast);

// One step of the preview of the effect with the state's values (the HX copy of the main colour). With the
// lighting switch off the buttons show their normal pictures.
PreviewFrame PreviewStep(EffectNumber effect, const LightingState& state, PreviewPhase& phase);

// The timer's view of it: one phase, stepped once per tick.
class PreviewAnimator {
  public:
    explicit PreviewAnimator(uint64_t seed = 0x5EED) : phase_(seed) {}
    PreviewFrame Step(const LightingState& state) { return PreviewStep(state.effect, state, phase_); }
    const PreviewPhase& phase() const { return phase_; }

  private:
    PreviewPhase phase_;
};

}  // namespace vornak
