#include "lighting/lighting_block.h"

#include <gtest/gtest.h>

#include "lighting/effects.h"
#include "platform/ini_file.h"

namespace vornak {
namespace {

namespace f = lighting_field;

LightingBlock BlockWith(std::initializer_list<std::pair<uint8_t, uint8_t>> bytes) {
    LightingBlock b;
    for (auto [offset, value] : bytes)
        b.bytes[offset] = value;
    return b;
}

TEST(LightingBlockDecode, TakesEveryFieldFromItsOffset) {
    const LightingBlock block =
        BlockWith({{0, 7},   {1, 3},   {2, 2},   {3, 255}, {4, 9},    {5, 10},   {6, 20},  {7, 30},
                   {15, 2},  {17, 3},  {18, 1},  {19, 1},  {25, 40},  {26, 50},  {27, 60}, {28, 1},
                   {30, 70}, {31, 80}, {32, 90}, {33, 0},  {8, 0xAA}, {16, 0xBB}});
    LightingState s;
    DecodeLightingBlock(block, s);
    EXPECT_EQ(s.effect, 7);
    EXPECT_EQ(s.brightness, 3);
    EXPECT_EQ(s.speed, 2);
    EXPECT_EQ(s.direction, 255);
    EXPECT_TRUE(s.colourful) << "any non-zero byte is colourful";
    EXPECT_EQ(s.fyColour, MakeColour(10, 20, 30));
    EXPECT_EQ(s.hxColour, s.fyColour);
    EXPECT_EQ(s.jtColour, s.fyColour);
    EXPECT_EQ(s.option, 2);
    EXPECT_EQ(s.presetColour, 3);
    EXPECT_TRUE(s.effect7Colourful);
    EXPECT_EQ(s.triggerMode, 1);
    EXPECT_EQ(s.secondColour, MakeColour(40, 50, 60));
    EXPECT_TRUE(s.secondColourful);
    EXPECT_EQ(s.thirdColour, MakeColour(70, 80, 90));
    EXPECT_FALSE(s.thirdColourful);
}

TEST(LightingBlockDecode, ClampsAndKeepsWhatTheBlockCannotSay) {
    LightingState s;
    s.triggerMode = 1;
    s.effect7Colourful = true;
    // Option 9 shows as 3; trigger 2 leaves the pictures; byte 18 counts only for effect 7; preset 5 is red.
    DecodeLightingBlock(BlockWith({{0, 5}, {15, 9}, {17, 5}, {18, 0}, {19, 2}}), s);
    EXPECT_EQ(s.option, 3);
    EXPECT_EQ(s.triggerMode, 1);
    EXPECT_TRUE(s.effect7Colourful);
    EXPECT_EQ(s.presetColour, 0);

    DecodeLightingBlock(BlockWith({{0, 7}, {18, 2}}), s);
    EXPECT_TRUE(s.effect7Colourful) << "a flag byte other than 0 or 1 is ignored";
    DecodeLightingBlock(BlockWith({{0, 7}, {18, 0}, {19, 0}}), s);
    EXPECT_FALSE(s.effect7Colourful);
    EXPECT_EQ(s.triggerMode, 0);
}

TEST(LightingBlockDecode, DefaultBlockReadsAsDocumented) {
    EXPECT_EQ(kDefaultLightingBytes.size(), 35u);
    LightingState s;
    DecodeLightingBlock(LightingBlock::FromBytes(kDefaultLightingBytes), s);
    EXPECT_EQ(s.effect, 1);
    EXPECT_EQ(s.brightness, 4);
    EXPECT_EQ(s.speed, 1);
    EXPECT_EQ(s.SpeedPosition(), 4);
    EXPECT_EQ(s.direction, 0);
    EXPECT_TRUE(s.colourful);
    EXPECT_EQ(s.hxColour, kRed);
    EXPECT_EQ(s.option, 3);
    EXPECT_EQ(s.presetColour, 0);
    EXPECT_EQ(s.triggerMode, 0);
    EXPECT_EQ(s.secondColour, kWhite);
    EXPECT_EQ(s.thirdColour, kWhite);
    EXPECT_FALSE(s.secondColourful);
    EXPECT_FALSE(s.thirdColourful);
}

TEST(LightingBlockEncode, RoundTripsAndKeepsTheKeyboardsBytes) {
    LightingBlock original;
    for (size_t i = 0; i < original.bytes.size(); ++i)
        original.bytes[i] = static_cast<uint8_t>(0xA0 + i);
    LightingState s;
    s.effect = 7;
    s.brightness = 2;
    s.speed = 4;
    s.direction = 0;
    s.colourful = true;
    s.hxColour = MakeColour(1, 2, 3);
    s.option = 1;
    s.presetColour = 2;
    s.effect7Colourful = true;
    s.triggerMode = 1;
    s.secondColour = MakeColour(4, 5, 6);
    s.thirdColour = MakeColour(7, 8, 9);
    s.thirdColourful = true;
    const LightingBlock encoded = EncodeLightingBlock(s, original);
    for (size_t i : {8u, 14u, 16u, 20u, 24u, 29u, 34u, 41u})
        EXPECT_EQ(encoded[i], original[i]) << i;
    EXPECT_EQ(encoded[f::kColourful], 1);
    EXPECT_EQ(encoded[f::kEffect7Flag], 1);
    LightingState back;
    DecodeLightingBlock(encoded, back);
    EXPECT_EQ(back.effect, 7);
    EXPECT_EQ(back.speed, 4);
    EXPECT_EQ(back.direction, 0);
    EXPECT_EQ(back.jtColour, MakeColour(1, 2, 3));
    EXPECT_EQ(back.option, 1);
    EXPECT_EQ(back.presetColour, 2);
    EXPECT_TRUE(back.effect7Colourful);
    EXPECT_EQ(back.triggerMode, 1);
    EXPECT_EQ(back.secondColour, MakeColour(4, 5, 6));
    EXPECT_FALSE(back.secondColourful);
    EXPECT_TRUE(back.thirdColourful);
    s.effect = 3;
    EXPECT_EQ(EncodeLightingBlock(s, original)[f::kEffect7Flag], original[f::kEffect7Flag])
        << "the effect-7 byte is the keyboard's for other effects";
}

TEST(LightingBlockDecode, SliderPositionsStayOnTheSlider) {
    LightingState s;
    s.brightness = 9;
    s.speed = 9;
    EXPECT_EQ(s.BrightnessPosition(), 5);
    EXPECT_EQ(s.SpeedPosition(), 0);
    s.speed = 0;
    EXPECT_EQ(s.SpeedPosition(), 5);
    EXPECT_EQ(SpeedPicture(s.SpeedPosition()), "11.bmp");
    EXPECT_EQ(SpeedPicture(0), "6.bmp");
    EXPECT_EQ(BrightnessPicture(s.BrightnessPosition()), "5.bmp");
}

TEST(EffectTable, SkipsZerosAndFindsTheFirstIndex) {
    std::array<uint8_t, 44> settings{};
    settings[12] = 1;
    settings[15] = 5;
    settings[16] = 20;
    settings[43] = 5;  // listed twice: the first row wins
    const EffectList list = EffectListFromSettings(settings);
    const EffectTable table(list);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0].effect, 1);
    EXPECT_EQ(table[1].effect, 5);
    EXPECT_EQ(table[2].effect, 20);
    EXPECT_EQ(table[2].listIndex, 2);
    EXPECT_EQ(EffectIndex(table, 5), 1);
    EXPECT_EQ(EffectIndex(table, 20), 2);
    EXPECT_EQ(EffectIndex(table, 7), -1);
    EXPECT_EQ(table.EffectAt(3), 5);
    EXPECT_EQ(table.EffectAt(4), 0);
    EXPECT_EQ(table.EffectAt(-1), 0);
    EXPECT_TRUE(UserModesExist(list));
    settings[16] = 0;
    EXPECT_FALSE(UserModesExist(EffectListFromSettings(settings)));
}

struct ControlsCase {
    int effect;
    bool speed;
    DirectionLayout direction;
    ColourGroup colour;
    bool preset;
    bool user;
};

void PrintTo(const ControlsCase& c, std::ostream* out) {
    *out << "effect " << c.effect;
}

class EffectControlsTable : public ::testing::TestWithParam<ControlsCase> {};

TEST_P(EffectControlsTable, ShowsTheGroupsOfTheEffect) {
    const auto& c = GetParam();
    const EffectControls e = ControlsForEffect(c.effect);
    EXPECT_TRUE(e.handled);
    EXPECT_TRUE(e.brightness);
    EXPECT_EQ(e.speed, c.speed);
    EXPECT_EQ(e.direction, c.direction);
    EXPECT_EQ(e.colour, c.colour);
    EXPECT_EQ(e.presetColours, c.preset);
    EXPECT_EQ(e.userMode, c.user);
}

using DL = DirectionLayout;
using CG = ColourGroup;
INSTANTIATE_TEST_SUITE_P(AllHandled, EffectControlsTable,
                         ::testing::Values(ControlsCase{1, true, DL::LeftRight, CG::Hx, false, false},
                                           ControlsCase{3, true, DL::LeftRight, CG::Hx, false, false},
                                           ControlsCase{4, true, DL::None, CG::None, false, false},
                                           ControlsCase{5, true, DL::None, CG::Hx, false, false},
                                           ControlsCase{6, false, DL::None, CG::Fy, false, false},
                                           ControlsCase{8, true, DL::None, CG::Hx, false, false},
                                           ControlsCase{10, true, DL::None, CG::None, false, false},
                                           ControlsCase{11, true, DL::None, CG::None, false, false},
                                           ControlsCase{12, true, DL::UpDown, CG::None, false, false},
                                           ControlsCase{15, true, DL::None, CG::Hx, false, false},
                                           ControlsCase{16, false, DL::None, CG::Fy, false, false},
                                           ControlsCase{17, false, DL::None, CG::None, true, false},
                                           ControlsCase{18, false, DL::SpreadConverge, CG::None, false,
                                                        false},
                                           ControlsCase{20, false, DL::None, CG::None, false, true}),
                         [](const auto& info) { return "Effect" + std::to_string(info.param.effect); });

TEST(EffectControlsTable, UnknownEffectsShowNoParameters) {
    for (int effect : {0, 19, 21, 255}) {
        const EffectControls e = ControlsForEffect(effect);
        EXPECT_FALSE(e.handled);
        EXPECT_FALSE(e.brightness || e.speed || e.presetColours || e.userMode) << effect;
        EXPECT_EQ(e.colour, CG::None);
        EXPECT_EQ(e.direction, DL::None);
    }
}

TEST(EffectControlsTable, ColourfulFlagGoesWithTheColourEffects) {
    for (int effect = 0; effect <= 21; ++effect) {
        const bool expected = effect == 1 || effect == 2 || effect == 3 || effect == 5 || effect == 7 ||
                              effect == 8 || effect == 9 || (effect >= 13 && effect <= 15);
        EXPECT_EQ(EffectWritesColourful(effect), expected) << effect;
    }
}

TEST(DirectionPictures, FollowTheStoredDirection) {
    EXPECT_EQ(DirectionPicturesFor(12, 0).first, "upup.bmp");
    EXPECT_EQ(DirectionPicturesFor(12, 0).second, "downdown.bmp");
    EXPECT_EQ(DirectionPicturesFor(12, 255).first, "updown.bmp");
    EXPECT_EQ(DirectionPicturesFor(12, 255).second, "downup.bmp");
    EXPECT_EQ(DirectionPicturesFor(2, 255).first, "leftdown.bmp");
    EXPECT_EQ(DirectionPicturesFor(2, 255).second, "rightup.bmp");
    EXPECT_EQ(DirectionPicturesFor(18, 0).first, "kuosan.bmp");
    EXPECT_EQ(DirectionPicturesFor(18, 0).second, "julongdown.bmp");
    EXPECT_TRUE(DirectionPicturesFor(4, 255).first.empty());
}

TEST(EffectNames, ComeFromTheLanguagesSection) {
    const std::string text = "[Mode]\r\n1=Wave\r\n5=Breath\r\n[Mode1]\r\n1=Welle\r\n";
    const IniDocument ini = IniDocument::Parse({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    EXPECT_EQ(EffectName(ini, 0, 5), u"Breath");
    EXPECT_EQ(EffectName(ini, 1, 1), u"Welle");
    EXPECT_EQ(EffectName(ini, 1, 5), u"1") << "a missing name reads as the default";
    EXPECT_EQ(EffectName(ini, 2, 1), u"");
    EXPECT_EQ(EffectName(IniDocument(), 0, 20), u"1");
}

}  // namespace
}  // namespace vornak
