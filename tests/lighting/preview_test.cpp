#include "lighting/preview.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <set>

#include "keyboard/key_buttons.h"
#include "keyboard/key_table.h"
#include "lighting/key_lights.h"
#include "lighting/user_modes.h"
#include "tests/support/golden.h"

namespace vornak {
namespace {

constexpr int kEsc = 0, kF1 = 1, kOne = 22, kBackspace = 34, kTab = 42, kO = 51, kI = 50, kCaps = 63;
constexpr int kShift = 84, kNumEnter = 104, kCtrl = 105;

LightingState On(int effect, bool colourful = true, uint8_t direction = kDirectionFirst,
                 Colour main = MakeColour(200, 100, 50)) {
    LightingState s;
    s.lightingSwitch = true;
    s.effect = static_cast<EffectNumber>(effect);
    s.colourful = colourful;
    s.direction = direction;
    s.hxColour = main;
    s.fyColour = MakeColour(1, 1, 1);  // the preview uses the HX copy only
    return s;
}

Colour At(const PreviewFrame& f, int position) {
    EXPECT_TRUE(f.colours[static_cast<size_t>(position)].has_value()) << "position " << position;
    return f.colours[static_cast<size_t>(position)].value_or(0xFFFFFFFF);
}

std::set<int> ButtonPositions() {
    std::set<int> positions;
    for (const auto& b : kKeyButtons)
        positions.insert(*KeyMatrixPosition(b.code));
    return positions;
}

// The tables against their golden files in tests/lighting/data, written from the ramps they are built of.
TEST(PreviewTables, RampsMatchTheirGoldenFiles) {
    const std::vector<int64_t> rgb =
        test::ReadGoldenNumbers(test::TestData("lighting/data/rainbow_table.txt"));
    ASSERT_EQ(rgb.size(), 3 * kRainbowSize);
    const auto& rainbow = RainbowTable();
    for (size_t i = 0; i < kRainbowSize; ++i) {
        EXPECT_EQ(rainbow[i],
                  MakeColour(static_cast<uint8_t>(rgb[3 * i]), static_cast<uint8_t>(rgb[3 * i + 1]),
                             static_cast<uint8_t>(rgb[3 * i + 2])))
            << "entry " << i;
    }
    const auto same = [](const auto& table, const char* file) {
        const std::vector<int64_t> golden = test::ReadGoldenNumbers(test::TestData(file));
        EXPECT_EQ(std::vector<int64_t>(table.begin(), table.end()), golden) << file;
    };
    same(BreathRamp96(), "lighting/data/breath_ramp_96.txt");
    same(BreathRamp128(), "lighting/data/breath_ramp_128.txt");
}

TEST(PreviewTables, ColourAtLevelScalesEachChannel) {
    EXPECT_EQ(ColourAtLevel(MakeColour(200, 100, 50), 22), MakeColour(17, 8, 4));
    EXPECT_EQ(ColourAtLevel(MakeColour(255, 255, 255), 255), kWhite);
}

TEST(PreviewGrid, EveryKeyButtonHasItsOwnCellInPhysicalOrder) {
    std::set<int> expected = ButtonPositions();
    expected.insert(kExtraKeyMatrixPosition);
    std::set<std::pair<int, int>> cells;
    for (int position = 0; position < kMatrixPositionCount; ++position) {
        const GridCell c = PreviewGridCell(position);
        EXPECT_EQ(c.valid(), expected.count(position) == 1) << position;
        if (!c.valid()) continue;
        EXPECT_GE(c.column, 0);
        EXPECT_LT(c.column, kPreviewColumns);
        EXPECT_EQ(c.row, position / 21) << "matrix rows are the keyboard's rows";
        EXPECT_TRUE(cells.insert({c.column, c.row}).second) << "two keys on one cell at " << position;
    }
    // Within a row the matrix runs left to right, and so must the columns.
    for (int row = 0; row < kPreviewRows; ++row) {
        int last = -1;
        for (int k = row * 21; k < row * 21 + 21; ++k) {
            const GridCell c = PreviewGridCell(k);
            if (!c.valid()) continue;
            EXPECT_GT(c.column, last) << "position " << k;
            last = c.column;
        }
    }
    EXPECT_FALSE(PreviewGridCell(kGKeyMatrixPosition).valid());
    EXPECT_FALSE(PreviewGridCell(-1).valid());
    EXPECT_FALSE(PreviewGridCell(126).valid());
}

TEST(PreviewGrid, RingsCoverKeyButtonsOnly) {
    std::set<int> buttons = ButtonPositions();
    buttons.insert(kExtraKeyMatrixPosition);
    const auto& order = PreviewRingOrder();
    const std::set<int> ring(order.begin(), order.end());
    EXPECT_EQ(ring.size(), order.size()) << "no position twice";
    for (int p : ring)
        EXPECT_EQ(buttons.count(p), 1u) << p;

    EXPECT_EQ(Effect18Ring(kO), 0);
    EXPECT_EQ(Effect18Ring(kI), 1);
    EXPECT_EQ(Effect18Ring(kExtraKeyMatrixPosition), 4);
    EXPECT_EQ(Effect18Ring(kEsc), 10);
    EXPECT_EQ(Effect18Ring(kNumEnter), 11);
    int onRings = 0;
    for (int p = 0; p < kMatrixPositionCount; ++p) {
        if (Effect18Ring(p) < 0) continue;
        ++onRings;
        EXPECT_EQ(ring.count(p), 1u) << p;
    }
    EXPECT_EQ(onRings, 103);
}

TEST(PreviewEffect1, RainbowAcrossTheColumns) {
    PreviewPhase phase;
    const auto first = PreviewStep(1, On(1), phase);
    ASSERT_EQ(first.kind, PreviewKind::Paint);
    EXPECT_EQ(At(first, kEsc), MakeColour(255, 1, 0));   // column 0: entry 0
    EXPECT_EQ(At(first, kOne), MakeColour(255, 32, 0));  // column 1: entry 9
    EXPECT_EQ(At(first, kF1), MakeColour(255, 99, 0));   // column 2: entry 18
    EXPECT_EQ(At(first, kTab), At(first, kEsc)) << "a column shares its colour";
    EXPECT_EQ(At(first, kBackspace), MakeColour(0, 2, 255));  // column 14: entry 126
    EXPECT_EQ(At(first, kNumEnter), MakeColour(255, 18, 0));  // column 22: 198 wraps to 6
    EXPECT_FALSE(first.colours[kGKeyMatrixPosition].has_value());
    EXPECT_FALSE(first.colours[13].has_value());

    const auto second = PreviewStep(1, On(1), phase);
    EXPECT_EQ(At(second, kEsc), MakeColour(255, 32, 0));  // phase 9

    PreviewPhase back;
    PreviewStep(1, On(1, true, 0), back);
    EXPECT_EQ(At(PreviewStep(1, On(1, true, 0), back), kEsc), MakeColour(255, 0, 24));  // phase 183
}

TEST(PreviewEffect1, SingleColourBreathesAcrossTheColumns) {
    PreviewPhase phase;
    const auto first = PreviewStep(1, On(1, false), phase);
    EXPECT_EQ(At(first, kEsc), MakeColour(17, 8, 4));   // level 22
    EXPECT_EQ(At(first, kF1), MakeColour(54, 27, 13));  // column 2: level 69
    const auto second = PreviewStep(1, On(1, false), phase);
    EXPECT_EQ(At(second, kEsc), ColourAtLevel(MakeColour(200, 100, 50), 42));  // phase 7
}

TEST(PreviewEffect2, SingleColourOffsetFollowsTheDirection) {
    PreviewPhase phase;
    const auto first = PreviewStep(2, On(2, false, 0), phase);
    EXPECT_EQ(At(first, kEsc), MakeColour(2, 1, 0));  // level 3
    EXPECT_EQ(At(first, kOne), MakeColour(4, 2, 1));  // offset -5: entry 123, level 6
    // The phase itself always moves forward.
    EXPECT_EQ(At(PreviewStep(2, On(2, false, 0), phase), kEsc), ColourAtLevel(MakeColour(200, 100, 50), 6));
}

TEST(PreviewEffect4, WholeKeyboardOneColour) {
    PreviewPhase phase;
    const auto first = PreviewStep(4, On(4), phase);
    for (int p = 0; p < kMatrixPositionCount; ++p) {
        if (first.colours[static_cast<size_t>(p)]) {
            EXPECT_EQ(*first.colours[static_cast<size_t>(p)], MakeColour(255, 1, 0));
        }
    }
    EXPECT_EQ(At(first, kCtrl), MakeColour(255, 1, 0));
    EXPECT_EQ(At(PreviewStep(4, On(4), phase), kCtrl), MakeColour(255, 5, 0));
    PreviewPhase back;
    PreviewStep(4, On(4, true, 0), back);
    EXPECT_EQ(At(PreviewStep(4, On(4, true, 0), back), kCtrl), MakeColour(255, 0, 2));  // phase 190
}

TEST(PreviewEffect6, ColumnsRestartAtTheEndOfTheTable) {
    PreviewPhase phase;
    const auto f = PreviewStep(6, On(6), phase);
    EXPECT_EQ(At(f, 40), MakeColour(255, 0, 4));  // Num *, column 21: entry 189
    EXPECT_EQ(At(f, 41), MakeColour(255, 1, 0));  // Num -, column 22: 198 would pass the table, so 0
    const auto plain = PreviewStep(6, On(6, false), phase);
    EXPECT_EQ(At(plain, kEsc), MakeColour(200, 100, 50));
    EXPECT_EQ(At(plain, kNumEnter), MakeColour(200, 100, 50));
}

TEST(PreviewEffect12, RainbowDownTheRows) {
    PreviewPhase phase;
    const auto f = PreviewStep(12, On(12), phase);
    EXPECT_EQ(At(f, kEsc), MakeColour(255, 1, 0));
    EXPECT_EQ(At(f, kOne), MakeColour(248, 255, 0));
    EXPECT_EQ(At(f, kTab), MakeColour(0, 255, 1));
    EXPECT_EQ(At(f, kCaps), MakeColour(0, 248, 255));
    EXPECT_EQ(At(f, kShift), MakeColour(1, 0, 255));
    EXPECT_EQ(At(f, kCtrl), MakeColour(255, 0, 248));
    EXPECT_EQ(At(f, 16), At(f, kEsc)) << "a row shares its colour";
    EXPECT_EQ(At(PreviewStep(12, On(12), phase), kEsc), MakeColour(255, 7, 0));
}

TEST(PreviewEffect18, RingsAroundTheOKey) {
    PreviewPhase phase;
    const auto f = PreviewStep(18, On(18), phase);
    EXPECT_EQ(At(f, kO), MakeColour(255, 129, 0));       // entry 21
    EXPECT_EQ(At(f, kI), MakeColour(124, 255, 0));       // entry 42
    EXPECT_EQ(At(f, kEsc), MakeColour(158, 255, 0));     // ring 10: 231 wraps to 39
    EXPECT_EQ(At(f, kNumEnter), MakeColour(6, 255, 0));  // ring 11: 252 wraps to 60
    EXPECT_FALSE(f.colours[112].has_value()) << "Right Win is on no ring";
    PreviewPhase back;
    PreviewStep(18, On(18, true, 0), back);
    EXPECT_EQ(At(PreviewStep(18, On(18, true, 0), back), kO), MakeColour(255, 109, 0));  // phase 190
}

TEST(PreviewEffect11, KeysCycleOnTheirOwn) {
    PreviewPhase phase;
    const auto f = PreviewStep(11, On(11, false), phase);
    const auto& order = PreviewRingOrder();
    EXPECT_EQ(At(f, order[0]), RainbowTable()[0]);
    EXPECT_EQ(At(f, order[1]), RainbowTable()[33]);
    EXPECT_EQ(At(f, order[6]), RainbowTable()[6]);  // 198 wraps
    EXPECT_EQ(At(PreviewStep(11, On(11, false), phase), order[1]), RainbowTable()[36]);
}

TEST(PreviewKinds, NonAnimatedEffectsAndTheSwitch) {
    PreviewPhase phase;
    for (int effect : {7, 8, 9, 17, 19, 0, 200}) {
        EXPECT_EQ(PreviewStep(static_cast<EffectNumber>(effect), On(effect), phase).kind,
                  PreviewKind::RestoreButtons)
            << effect;
    }
    EXPECT_EQ(PreviewStep(20, On(20), phase).kind, PreviewKind::Nothing);
    LightingState off = On(1);
    off.lightingSwitch = false;
    EXPECT_EQ(PreviewStep(1, off, phase).kind, PreviewKind::RestoreButtons);
}

TEST(PreviewKinds, EveryEffectPaintsOnlyKeyButtons) {
    std::set<int> buttons = ButtonPositions();
    buttons.insert(kExtraKeyMatrixPosition);
    for (int effect = 0; effect <= 255; ++effect) {
        for (bool colourful : {false, true}) {
            for (uint8_t direction : {uint8_t{0}, uint8_t{255}}) {
                PreviewPhase phase(static_cast<uint64_t>(effect) + 1);
                bool painted = false;
                for (int tick = 0; tick < 200; ++tick) {
                    const auto f = PreviewStep(static_cast<EffectNumber>(effect),
                                               On(effect, colourful, direction), phase);
                    for (int p = 0; p < kMatrixPositionCount; ++p) {
                        if (!f.colours[static_cast<size_t>(p)]) continue;
                        ASSERT_EQ(f.kind, PreviewKind::Paint) << "effect " << effect;
                        painted = true;
                        ASSERT_EQ(buttons.count(p), 1u) << "effect " << effect << " painted " << p;
                    }
                }
                const bool animated =
                    (effect >= 1 && effect <= 6) || (effect >= 10 && effect <= 16) || effect == 18;
                EXPECT_EQ(painted, animated) << "effect " << effect;
            }
        }
    }
}

TEST(PreviewReactive, LevelsFallByTheirBands) {
    EXPECT_EQ(PreviewLevelFall(255, false), 235);
    EXPECT_EQ(PreviewLevelFall(255, true), 225);
    EXPECT_EQ(PreviewLevelFall(128, false), 108);
    EXPECT_EQ(PreviewLevelFall(127, false), 111);
    EXPECT_EQ(PreviewLevelFall(127, true), 107);
    EXPECT_EQ(PreviewLevelFall(64, false), 48);
    EXPECT_EQ(PreviewLevelFall(63, true), 53);
    EXPECT_EQ(PreviewLevelFall(32, false), 22);
    EXPECT_EQ(PreviewLevelFall(17, false), 12);
    EXPECT_EQ(PreviewLevelFall(16, false), 15);
    EXPECT_EQ(PreviewLevelFall(0, true), 0);
}

TEST(PreviewReactive, SameSeedSameFramesAndKeysFadeOut) {
    for (int effect : {10, 13, 14, 15, 16}) {
        PreviewPhase a(42), b(42), c(43);
        bool differs = false;
        bool lit = false;
        for (int tick = 0; tick < 100; ++tick) {
            const auto fa = PreviewStep(static_cast<EffectNumber>(effect), On(effect), a);
            const auto fb = PreviewStep(static_cast<EffectNumber>(effect), On(effect), b);
            const auto fc = PreviewStep(static_cast<EffectNumber>(effect), On(effect), c);
            ASSERT_EQ(fa.colours, fb.colours) << "effect " << effect << " tick " << tick;
            differs = differs || fa.colours != fc.colours;
            for (auto l : a.level)
                lit = lit || l == 255;
        }
        EXPECT_TRUE(differs) << "the seed decides effect " << effect;
        EXPECT_TRUE(lit) << "effect " << effect << " lights keys";
    }
}

TEST(PreviewReactive, SingleColourDrawsTheMainColourAtEachLevel) {
    PreviewPhase phase(7);
    const Colour main = MakeColour(200, 100, 50);
    for (int tick = 0; tick < 50; ++tick) {
        const auto f = PreviewStep(13, On(13, false, 255, main), phase);
        for (int p = 0; p < kMatrixPositionCount; ++p) {
            if (f.colours[static_cast<size_t>(p)]) {
                ASSERT_EQ(*f.colours[static_cast<size_t>(p)],
                          ColourAtLevel(main, phase.level[static_cast<size_t>(p)]));
            }
        }
    }
}

TEST(PreviewPhaseState, StartsOverWhenTheEffectChanges) {
    PreviewPhase phase;
    PreviewStep(4, On(4), phase);
    PreviewStep(4, On(4), phase);
    EXPECT_EQ(phase.phase, 4);
    const auto f = PreviewStep(12, On(12), phase);
    EXPECT_EQ(At(f, kEsc), MakeColour(255, 1, 0));
    PreviewStep(12, On(12, false), phase);  // the colourful flag counts as a change too
    EXPECT_EQ(phase.phase, 3);
}

TEST(PreviewAnimatorClass, StepsTheStatesEffect) {
    PreviewAnimator animator;
    EXPECT_EQ(At(animator.Step(On(12)), kTab), MakeColour(0, 255, 1));
    EXPECT_EQ(animator.phase().phase, 3);
}

// What the view repaints rests on this: a frame marks exactly the keys whose colour changed, so the worst
// case (effect 1) marks every lit key each tick, a static effect nothing after its first frame, and the
// lights going off every lit key once.
TEST(PreviewKeyLights, AFrameMarksOnlyTheKeysWhoseColourChanged) {
    const auto key = [](uint16_t controlId) { return *KeyLights::IndexOf(controlId); };
    size_t esc = 0;
    while (PaintPositionOfButton(KeyLights::ControlIds()[esc]) != kEsc)
        ++esc;
    const size_t g1 = key(kGKeyControlIds[0]);
    EXPECT_FALSE(KeyLights::IndexOf(1).has_value()) << "not a button the lighting draws on";

    KeyLights lights;
    PreviewPhase phase;
    lights.Apply(PreviewStep(1, On(1), phase));
    auto changes = lights.TakeChanges();
    EXPECT_TRUE(changes.litChanged);
    EXPECT_EQ(changes.keys.size(), kKeyButtons.size() + 1) << "every key button and the extra key lit";
    PreviewPhase fresh;
    EXPECT_EQ(lights.colour(esc), PreviewStep(1, On(1), fresh).colours[kEsc]);
    EXPECT_FALSE(lights.colour(g1).has_value()) << "the G buttons share no cell";
    EXPECT_TRUE(lights.TakeChanges().keys.empty()) << "taken once";

    // Effect 1 moves every key each tick, but only the keys whose colour differs count.
    const PreviewFrame next = PreviewStep(1, On(1), phase);
    size_t moved = 0;
    for (size_t k = 0; k < KeyLights::kCount; ++k) {
        const int position = PaintPositionOfButton(KeyLights::ControlIds()[k]);
        if (position >= 0 && next.colours[static_cast<size_t>(position)] != lights.colour(k)) ++moved;
    }
    lights.Apply(next);
    changes = lights.TakeChanges();
    EXPECT_EQ(changes.keys.size(), moved);
    EXPECT_GT(moved, 90u);
    EXPECT_FALSE(changes.litChanged);
    EXPECT_TRUE(std::is_sorted(changes.keys.begin(), changes.keys.end()));

    // A static effect: the first frame marks what it changes, the next ones nothing; a user-mode frame
    // (Nothing) leaves every colour as it is.
    PreviewPhase still;
    lights.Apply(PreviewStep(6, On(6), still));
    EXPECT_FALSE(lights.TakeChanges().keys.empty());
    for (int tick = 0; tick < 5; ++tick)
        lights.Apply(PreviewStep(6, On(6), still));
    lights.Apply(PreviewStep(20, On(20), still));
    EXPECT_TRUE(lights.TakeChanges().keys.empty());

    // One painted key, then the user colours: G1 takes position 125's colour.
    lights.Set(esc, MakeColour(1, 2, 3));
    changes = lights.TakeChanges();
    EXPECT_EQ(changes.keys, std::vector<size_t>{esc});
    std::array<Colour, kMatrixPositionCount> user{};
    user[kGKeyMatrixPosition] = MakeColour(9, 9, 9);
    lights.ApplyPositions(user);
    EXPECT_EQ(lights.colour(g1), MakeColour(9, 9, 9));
    EXPECT_TRUE(lights.TakeChanges().litChanged) << "the G buttons came on";

    // Lights off: every lit key once, and nothing more.
    lights.Apply(PreviewStep(
        1,
        [] {
            LightingState off = On(1);
            off.lightingSwitch = false;
            return off;
        }(),
        phase));
    changes = lights.TakeChanges();
    EXPECT_TRUE(changes.litChanged);
    EXPECT_EQ(changes.keys.size(), KeyLights::kCount);
    for (size_t k = 0; k < KeyLights::kCount; ++k)
        EXPECT_FALSE(lights.colour(k).has_value());
    lights.Clear();
    EXPECT_TRUE(lights.TakeChanges().keys.empty());
}

}  // namespace
}  // namespace vornak
