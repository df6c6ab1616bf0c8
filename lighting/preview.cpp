#include "lighting/preview.h"

#include <algorithm>
#include <cstdlib>

namespace vornak {

namespace {

// The effects the preview draws, by their numbers in the keyboard's effect list, named as the default skin
// names them.
enum Effect : EffectNumber {
    kRainbowWave = 1,
    kPulseWave = 2,
    kOrbit = 3,
    kSpectrumCycle = 4,
    kBreathing = 5,
    kStatic = 6,
    kStarlight = 10,
    kKaleidoscope = 11,
    kRain = 12,
    kRipple = 13,
    kSplash = 14,
    kShockwave = 15,
    kReactive = 16,
    kVortex = 18,
};

constexpr std::array<uint8_t, 32> kRise = {1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,
                                           44,  50,  57,  65,  73,  81,  89,  99,  109, 119, 129,
                                           140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<uint8_t, 32> kFall = {248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124,
                                           114, 104, 94,  85,  77,  69,  61,  53,  47,  41,  35,
                                           29,  24,  20,  16,  12,  8,   6,   4,   2,   0};
constexpr std::array<uint8_t, 48> kBreath48 = {22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,
                                               61,  65,  69,  73,  77,  81,  85,  89,  94,  99,  104, 109,
                                               114, 119, 124, 129, 134, 140, 146, 152, 158, 164, 170, 176,
                                               182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};
constexpr std::array<uint8_t, 16> kBreathLow = {3, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 18, 20};

constexpr std::array<uint8_t, kRingOrderSize> kRingOrder = {
    16,  15,  14,  12,  11,  10,  9,   8,   7,   6,   5,   4,   3,   2,  1,  0,  21, 42, 63, 84, 105,
    106, 107, 108, 109, 110, 111, 113, 119, 120, 121, 123, 124, 104, 62, 41, 40, 39, 38, 37, 36, 35,
    34,  33,  32,  31,  30,  29,  28,  27,  26,  25,  24,  23,  22,  43, 64, 86, 87, 88, 89, 90, 91,
    92,  93,  94,  95,  97,  99,  101, 102, 103, 82,  61,  60,  59,  58, 57, 56, 55, 54, 53, 52, 51,
    50,  49,  48,  47,  46,  45,  44,  65,  66,  67,  68,  69,  70,  71, 72, 73, 74, 76, 80, 81,
};

// Column of each key button on the 23-column grid: the column under the middle of the key on a full-size
// board, counted in key widths (main block 0..14, navigation keys 15..17, column 18 the gap, number pad
// 19..22). The row is the MatrixPosition's row, which follows the physical rows.
struct ColumnOf {
    uint8_t position;
    int8_t column;
};
constexpr ColumnOf kColumns[] = {
    // Esc, F1..F12, Print Screen, Scroll Lock, Pause
    {0, 0},
    {1, 2},
    {2, 3},
    {3, 4},
    {4, 5},
    {5, 7},
    {6, 8},
    {7, 9},
    {8, 10},
    {9, 11},
    {10, 12},
    {11, 13},
    {12, 14},
    {14, 15},
    {15, 16},
    {16, 17},
    // ` 1..0 - = Backspace, Insert Home Page Up, Num Lock / * -
    {21, 0},
    {22, 1},
    {23, 2},
    {24, 3},
    {25, 4},
    {26, 5},
    {27, 6},
    {28, 7},
    {29, 8},
    {30, 9},
    {31, 10},
    {32, 11},
    {33, 12},
    {34, 14},
    {35, 15},
    {36, 16},
    {37, 17},
    {38, 19},
    {39, 20},
    {40, 21},
    {41, 22},
    // Tab Q..] \, Delete End Page Down, Num 7 8 9 +
    {42, 0},
    {43, 2},
    {44, 3},
    {45, 4},
    {46, 5},
    {47, 6},
    {48, 7},
    {49, 8},
    {50, 9},
    {51, 10},
    {52, 11},
    {53, 12},
    {54, 13},
    {55, 14},
    {56, 15},
    {57, 16},
    {58, 17},
    {59, 19},
    {60, 20},
    {61, 21},
    {62, 22},
    // Caps Lock A..' Enter, Num 4 5 6
    {63, 0},
    {64, 2},
    {65, 3},
    {66, 4},
    {67, 5},
    {68, 6},
    {69, 7},
    {70, 8},
    {71, 9},
    {72, 10},
    {73, 11},
    {74, 12},
    {76, 13},
    {80, 19},
    {81, 20},
    {82, 21},
    // Shift Z../ Right Shift, Up, Num 1 2 3 Enter
    {84, 1},
    {86, 2},
    {87, 3},
    {88, 4},
    {89, 5},
    {90, 6},
    {91, 7},
    {92, 8},
    {93, 9},
    {94, 10},
    {95, 11},
    {97, 13},
    {99, 16},
    {101, 19},
    {102, 20},
    {103, 21},
    {104, 22},
    // Ctrl Win Alt Space Right Alt, extra key, App, Right Win, Right Ctrl, Left Down Right, Num 0 .
    {105, 0},
    {106, 1},
    {107, 3},
    {108, 6},
    {109, 10},
    {110, 11},
    {111, 12},
    {112, 13},
    {113, 14},
    {119, 15},
    {120, 16},
    {121, 17},
    {123, 19},
    {124, 21},
};

// Rings around the O key for kVortex, as MatrixPositions.
constexpr uint8_t kRingEnd = 0xFF;
constexpr uint8_t kEffect18RingTable[kEffect18Rings][13] = {
    {51, kRingEnd},                                         // O
    {30, 50, 71, 72, 52, 31, kRingEnd},                     // 9 I K L P 0
    {8, 29, 49, 70, 92, 93, 94, 73, 53, kRingEnd},          // F8 8 U J M , . ; [
    {7, 28, 48, 69, 91, 109, 95, 74, 54, 33, 9, kRingEnd},  // F7 7 Y H N RAlt / ' ] = F9
    {6, 27, 47, 68, 90, 110, 97, 76, 55, 34, 10, 11,
     kRingEnd},                                                // F6 6 T G B extra RShift Enter \ Bksp F10 F11
    {5, 26, 46, 67, 89, 108, 111, 113, 56, 35, 12, kRingEnd},  // F5 5 R F V Space App RCtrl Del Ins F12
    {4, 25, 45, 66, 88, 119, 99, 57, 36, 14, kRingEnd},        // F4 4 E D C Left Up End Home PrtSc
    {3, 24, 44, 65, 87, 120, 121, 58, 37, 16, 15, kRingEnd},   // F3 3 W S X Down Right PgDn PgUp Pause ScrLk
    {2, 23, 43, 64, 86, 107, 101, 80, 59, 38, kRingEnd},       // F2 2 Q A Z Alt Num1 Num4 Num7 NumLock
    {1, 22, 42, 63, 84, 106, 123, 102, 81, 60, 39,
     kRingEnd},                                    // F1 1 Tab Caps Shift Win Num0 Num2 Num5 Num8 Num/
    {0, 21, 105, 124, 103, 82, 61, 40, kRingEnd},  // Esc ` Ctrl Num. Num3 Num6 Num9 Num*
    {104, 62, 41, kRingEnd},                       // NumEnter Num+ Num-
};

struct Tables {
    std::array<Colour, kRainbowSize> rainbow{};
    std::array<uint8_t, 96> breath96{};
    std::array<uint8_t, 128> breath128{};
    std::array<GridCell, kMatrixPositionCount> grid{};
    std::array<int8_t, kMatrixPositionCount> ring18{};
    std::array<uint8_t, kMatrixPositionCount> gridPositions{};
    size_t gridCount = 0;

    Tables() {
        for (size_t i = 0; i < 32; ++i) {
            const uint8_t u = kRise[i];
            const uint8_t d = kFall[i];
            rainbow[i] = MakeColour(255, u, 0);
            rainbow[32 + i] = MakeColour(d, 255, 0);
            rainbow[64 + i] = MakeColour(0, 255, u);
            rainbow[96 + i] = MakeColour(0, d, 255);
            rainbow[128 + i] = MakeColour(u, 0, 255);
            rainbow[160 + i] = MakeColour(255, 0, d);
        }
        for (size_t i = 0; i < 48; ++i) {
            breath96[i] = kBreath48[i];
            breath96[95 - i] = kBreath48[i];
        }
        for (size_t i = 0; i < 64; ++i) {
            const uint8_t level = i < kBreathLow.size() ? kBreathLow[i] : kBreath48[i - kBreathLow.size()];
            breath128[i] = level;
            breath128[127 - i] = level;
        }
        for (const auto& c : kColumns) {
            grid[c.position] = {c.column, static_cast<int8_t>(c.position / 21)};
            gridPositions[gridCount++] = c.position;
        }
        ring18.fill(-1);
        for (int g = 0; g < kEffect18Rings; ++g) {
            for (uint8_t position : kEffect18RingTable[g]) {
                if (position == kRingEnd) break;
                ring18[position] = static_cast<int8_t>(g);
            }
        }
    }
};

const Tables& T() {
    static const Tables tables;
    return tables;
}

int Wrap(int value, int length) {
    const int r = value % length;
    return r < 0 ? r + length : r;
}

// A moving preview's phase: its step forward with direction 255, back otherwise.
int Move(int phase, int step, bool forward, int length) {
    return Wrap(phase + (forward ? step : -step), length);
}

}  // namespace

int PreviewLevelFall(int level, bool fast) {
    int step;
    if (level >= 128) {
        step = fast ? 30 : 20;
    } else if (level >= 64) {
        step = fast ? 20 : 16;
    } else if (level >= 32) {
        step = 10;
    } else if (level > 16) {
        step = 5;
    } else {
        step = 1;
    }
    return std::max(0, level - step);
}

namespace {

Colour Rainbow(int index) {
    return T().rainbow[static_cast<size_t>(Wrap(index, kRainbowSize))];
}

void PaintGrid(PreviewFrame& frame, auto&& colourOf) {
    const Tables& t = T();
    for (size_t i = 0; i < t.gridCount; ++i) {
        const uint8_t position = t.gridPositions[i];
        frame.colours[position] = colourOf(t.grid[position]);
    }
}

void PaintRing(PreviewFrame& frame, auto&& colourOf) {
    for (size_t i = 0; i < kRingOrder.size(); ++i)
        frame.colours[kRingOrder[i]] = colourOf(static_cast<int>(i));
}

// Effects 10 and 13..16 draw every key at its own level.
void PaintLevels(PreviewFrame& frame, const PreviewPhase& phase, bool colourful, Colour main) {
    const Tables& t = T();
    for (size_t i = 0; i < t.gridCount; ++i) {
        const uint8_t position = t.gridPositions[i];
        const Colour base = colourful ? Rainbow(phase.colourIndex[position]) : main;
        frame.colours[position] = ColourAtLevel(base, phase.level[position]);
    }
}

void Light(PreviewPhase& phase, int position, bool colourful) {
    phase.level[static_cast<size_t>(position)] = 255;
    if (colourful)
        phase.colourIndex[static_cast<size_t>(position)] = static_cast<uint8_t>(phase.Next() % 255);
}

// Effect 10: three keys per tick along a fixed scattered walk of the ring order (a stride that is prime to
// its length visits every key once per round).
void StepTwinkle(PreviewPhase& phase, bool colourful) {
    constexpr int kStride = 37;
    for (auto& level : phase.level)
        level = static_cast<uint8_t>(PreviewLevelFall(level, false));
    for (int n = 0; n < 3; ++n) {
        const int order = Wrap(phase.phase * kStride, kRingOrderSize);
        Light(phase, kRingOrder[static_cast<size_t>(order)], colourful);
        phase.phase = Wrap(phase.phase + 1, kRingOrderSize);
    }
}

// How far a cell is from a ripple's centre for each reactive effect; a ripple lights the keys at exactly its
// radius.
int RippleDistance(int effect, GridCell cell, const PreviewPhase::Ripple& r) {
    const int dc = std::abs(cell.column - r.column);
    const int dr = std::abs(cell.row - r.row);
    switch (effect) {
        case kSplash:
            return std::max(dc, dr);  // a spreading square
        case kShockwave:
            return dr == 0 ? dc : (dc == 0 ? dr : -1);  // a cross along the key's row and column
        default:
            return dc + dr;  // a spreading diamond
    }
}

// Effects 13..16: a key is pressed now and then at random. kRipple lights only the pressed key; kSplash,
// kShockwave and kReactive send a ripple out from it, one grid cell per tick.
void StepReactive(int effect, PreviewPhase& phase, bool colourful) {
    constexpr int kMaxRadius = kPreviewColumns;
    const bool fast = effect == kSplash;
    for (auto& level : phase.level)
        level = static_cast<uint8_t>(PreviewLevelFall(level, fast));
    for (auto& r : phase.ripples) {
        if (r.radius >= 0 && ++r.radius > kMaxRadius) r.radius = -1;
    }
    const Tables& t = T();
    if (phase.Next() % 3 == 0) {
        const uint8_t pressed = t.gridPositions[phase.Next() % t.gridCount];
        Light(phase, pressed, colourful);
        if (effect != kRipple) {
            auto* slot = &phase.ripples[0];
            for (auto& r : phase.ripples) {
                if (r.radius < 0) {
                    slot = &r;
                    break;
                }
                if (r.radius > slot->radius) slot = &r;
            }
            *slot = {t.grid[pressed].column, t.grid[pressed].row, 0};
        }
    }
    for (const auto& r : phase.ripples) {
        if (r.radius <= 0) continue;
        for (size_t i = 0; i < t.gridCount; ++i) {
            const uint8_t position = t.gridPositions[i];
            if (RippleDistance(effect, t.grid[position], r) == r.radius) Light(phase, position, colourful);
        }
    }
}

}  // namespace

const std::array<Colour, kRainbowSize>& RainbowTable() {
    return T().rainbow;
}
const std::array<uint8_t, 96>& BreathRamp96() {
    return T().breath96;
}
const std::array<uint8_t, 128>& BreathRamp128() {
    return T().breath128;
}

Colour ColourAtLevel(Colour colour, int level) {
    const int l = std::clamp(level, 0, 255);
    return MakeColour(static_cast<uint8_t>(ColourR(colour) * l / 255),
                      static_cast<uint8_t>(ColourG(colour) * l / 255),
                      static_cast<uint8_t>(ColourB(colour) * l / 255));
}

GridCell PreviewGridCell(int position) {
    if (position < 0 || position >= kMatrixPositionCount) return {};
    return T().grid[static_cast<size_t>(position)];
}

const std::array<uint8_t, kRingOrderSize>& PreviewRingOrder() {
    return kRingOrder;
}

int Effect18Ring(int position) {
    if (position < 0 || position >= kMatrixPositionCount) return -1;
    return T().ring18[static_cast<size_t>(position)];
}

void PreviewPhase::Restart() {
    phase = 0;
    tick = 0;
    level.fill(0);
    colourIndex.fill(0);
    for (auto& r : ripples)
        r.radius = -1;
}

uint32_t PreviewPhase::Next() {
    rng ^= rng >> 12;
    rng ^= rng << 25;
    rng ^= rng >> 27;
    return static_cast<uint32_t>((rng * 2685821657736338717ULL) >> 32);
}

PreviewFrame PreviewStep(EffectNumber effect, const LightingState& state, PreviewPhase& phase) {
    PreviewFrame frame;
    if (!state.lightingSwitch) {
        frame.kind = PreviewKind::RestoreButtons;
        return frame;
    }
    if (phase.effect != effect || phase.colourful != state.colourful) {
        phase.Restart();
        phase.effect = effect;
        phase.colourful = state.colourful;
    }
    const bool colourful = state.colourful;
    const bool forward = state.direction == kDirectionFirst;
    const Colour main = state.hxColour;
    const Tables& t = T();
    const int p = phase.phase;
    frame.kind = PreviewKind::Paint;

    switch (effect) {
        case kRainbowWave:
            if (colourful) {
                PaintGrid(frame, [&](GridCell c) { return Rainbow(p + 9 * c.column); });
                phase.phase = Move(p, 9, forward, kRainbowSize);
            } else {
                PaintGrid(frame, [&](GridCell c) {
                    return ColourAtLevel(main, t.breath96[Wrap(p + 7 * c.column, 96)]);
                });
                phase.phase = Move(p, 7, forward, 96);
            }
            break;
        case kPulseWave:
            if (colourful) {
                PaintGrid(frame, [&](GridCell c) { return Rainbow(p + 5 * c.column); });
                phase.phase = Move(p, 4, forward, kRainbowSize);
            } else {
                const int offset = forward ? 5 : -5;
                PaintGrid(frame, [&](GridCell c) {
                    return ColourAtLevel(main, t.breath128[Wrap(p + offset * c.column, 128)]);
                });
                phase.phase = Move(p, 4, true, 128);
            }
            break;
        case kOrbit:
            if (colourful) {
                PaintRing(frame, [&](int i) { return Rainbow(p + 5 * i); });
                phase.phase = Move(p, 4, forward, kRainbowSize);
            } else {
                PaintRing(frame, [&](int i) { return ColourAtLevel(main, t.breath96[Wrap(p + 5 * i, 96)]); });
                phase.phase = Move(p, 4, forward, 96);
            }
            break;
        case kSpectrumCycle:
            PaintGrid(frame, [&](GridCell) { return Rainbow(p); });
            phase.phase = Move(p, 2, forward, kRainbowSize);
            break;
        case kBreathing: {
            const int level = t.breath128[Wrap(p, 128)];
            PaintGrid(frame, [&](GridCell c) {
                return ColourAtLevel(colourful ? Rainbow(7 * c.column) : main, level);
            });
            phase.phase = Move(p, 2, true, 128);
            break;
        }
        case kStatic:
            // Entries 0, 9, 18, ... across the columns, starting again at 0 where 9c would pass the table.
            PaintGrid(frame, [&](GridCell c) {
                if (!colourful) return main;
                constexpr int kPerRound = (kRainbowSize + 8) / 9;  // 22 columns fit in one round
                return Rainbow(9 * (c.column % kPerRound));
            });
            break;
        case kStarlight:
            StepTwinkle(phase, colourful);
            PaintLevels(frame, phase, colourful, main);
            break;
        case kKaleidoscope:
            PaintRing(frame, [&](int i) { return Rainbow(33 * i + p); });
            phase.phase = Move(p, 3, true, kRainbowSize);
            break;
        case kRain:
            PaintGrid(frame, [&](GridCell c) { return Rainbow(p + 32 * c.row); });
            phase.phase = Move(p, 3, forward, kRainbowSize);
            break;
        case kRipple:
        case kSplash:
        case kShockwave:
        case kReactive:
            StepReactive(effect, phase, colourful);
            PaintLevels(frame, phase, colourful, main);
            break;
        case kVortex:
            for (size_t position = 0; position < kMatrixPositionCount; ++position) {
                const int ring = t.ring18[position];
                if (ring >= 0) frame.colours[position] = Rainbow(p + 21 * (ring + 1));
            }
            phase.phase = Move(p, 2, forward, kRainbowSize);
            break;
        case kUserModeEffect:
            frame.kind = PreviewKind::Nothing;
            break;
        default:
            // 7, 8, 9, 17 and numbers the program does not handle.
            frame.kind = PreviewKind::RestoreButtons;
            break;
    }
    ++phase.tick;
    return frame;
}

}  // namespace vornak
