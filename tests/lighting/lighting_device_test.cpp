// The lighting writes and reads, checked on the simulated keyboard's memory and traffic.
#include "tests/lighting/lighting_on_sim.h"

namespace vornak::lighting_test {
namespace {

TEST_P(LightingOnSim, SpeedIsStoredReversedAndOnlyWhenItChanges) {
    for (int p = 0; p < 3; ++p) {
        SetProfile(p);
        Read();
        ASSERT_TRUE(model->SetSpeed(0));
        EXPECT_EQ(LightingByte(p * 42 + 2), 5);
        const auto sent = Sent();
        ASSERT_EQ(Codes(), (Seq{1, 6, 2}));
        EXPECT_EQ(sent[1].offset, p * 42 + 2);
        EXPECT_EQ(sent[1].length, 1);
        EXPECT_EQ(sent[1].data, std::vector<uint8_t>{5});
        harness.sim().ClearTraffic();
        EXPECT_FALSE(model->SetSpeed(0)) << "unchanged";
        EXPECT_TRUE(Sent().empty());
        ASSERT_TRUE(model->SetSpeed(5));
        EXPECT_EQ(LightingByte(p * 42 + 2), 0);
        EXPECT_EQ(model->state().SpeedPosition(), 5);
        harness.sim().ClearTraffic();
        EXPECT_FALSE(model->SetSpeed(6)) << "off the slider";
        EXPECT_TRUE(Sent().empty());
    }
}

TEST_P(LightingOnSim, BrightnessDirectionOptionPresetAndTrigger) {
    SetProfile(1);
    Read();  // factory block: brightness 4, direction 0, trigger 0
    EXPECT_FALSE(model->SetBrightness(4));
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(model->SetBrightness(0));
    EXPECT_EQ(LightingByte(42 + 1), 0);
    EXPECT_TRUE(model->SetDirection(true));
    EXPECT_EQ(LightingByte(42 + 3), 255);
    EXPECT_TRUE(model->SetDirection(false));
    EXPECT_EQ(LightingByte(42 + 3), 0);
    EXPECT_TRUE(model->SetOption(2));
    EXPECT_EQ(LightingByte(42 + 15), 2);
    EXPECT_FALSE(model->SetOption(4));
    EXPECT_TRUE(model->SetPresetColour(3));
    EXPECT_EQ(LightingByte(42 + 17), 3);
    EXPECT_FALSE(model->SetTriggerMode(0)) << "already set";
    EXPECT_TRUE(model->SetTriggerMode(1));
    EXPECT_EQ(LightingByte(42 + 19), 1);
    EXPECT_EQ(Codes(), (Seq{1, 6, 2, 1, 6, 2, 1, 6, 2, 1, 6, 2, 1, 6, 2, 1, 6, 2}));
    // Nothing outside profile 1's block moved.
    const auto factory = sim::SimMemory::Factory().lighting;
    const auto now = harness.sim().lighting();
    EXPECT_TRUE(std::equal(now.begin(), now.begin() + 42, factory.begin()));
    EXPECT_TRUE(std::equal(now.begin() + 84, now.end(), factory.begin() + 84));
}

TEST_P(LightingOnSim, ColoursClearTheirColourfulFlagFirst) {
    SetProfile(2);
    Read();
    ASSERT_TRUE(model->SetSecondColour(MakeColour(10, 20, 30)));
    auto sent = Sent();
    ASSERT_EQ(Codes(), (Seq{1, 6, 6, 2}));
    EXPECT_EQ(sent[1].offset, 112);
    EXPECT_EQ(sent[1].data, std::vector<uint8_t>{0});
    EXPECT_EQ(sent[2].offset, 109);
    EXPECT_EQ(sent[2].data, (std::vector<uint8_t>{10, 20, 30}));
    EXPECT_EQ(LightingByte(109), 10);
    EXPECT_EQ(LightingByte(111), 30);

    harness.sim().ClearTraffic();
    ASSERT_TRUE(model->SetThirdColour(MakeColour(1, 2, 3)));
    sent = Sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1].offset, 84 + 33);
    EXPECT_EQ(sent[2].offset, 84 + 30);
    EXPECT_TRUE(model->ToggleThirdColourful());
    EXPECT_EQ(LightingByte(84 + 33), 1);
    EXPECT_TRUE(model->ToggleSecondColourful());
    EXPECT_EQ(LightingByte(112), 1);
    EXPECT_TRUE(model->ToggleSecondColourful());
    EXPECT_EQ(LightingByte(112), 0);
}

TEST_P(LightingOnSim, MainColourFromEachButton) {
    Read();  // factory: colourful on, red
    ASSERT_TRUE(model->state().colourful);
    ASSERT_TRUE(model->SetMainColour(MainColourButton::Hx, MakeColour(0, 10, 200)));
    auto sent = Sent();
    ASSERT_EQ(Codes(), (Seq{1, 6, 6, 2}));
    EXPECT_EQ(sent[1].offset, 4);
    EXPECT_EQ(sent[2].offset, 5);
    EXPECT_EQ(sent[2].data, (std::vector<uint8_t>{0, 10, 200}));
    EXPECT_EQ(LightingByte(4), 0);
    EXPECT_EQ(model->state().fyColour, MakeColour(0, 10, 200));
    EXPECT_EQ(model->state().hxColour, MakeColour(0, 10, 200));
    EXPECT_EQ(model->state().jtColour, kRed);

    ASSERT_TRUE(model->ToggleColourful());
    EXPECT_EQ(LightingByte(4), 1);
    harness.sim().ClearTraffic();
    ASSERT_TRUE(model->SetMainColour(MainColourButton::Jt, MakeColour(7, 8, 9)));
    ASSERT_EQ(Codes(), (Seq{1, 6, 2}));
    EXPECT_EQ(Sent()[1].offset, 5);
    EXPECT_EQ(LightingByte(4), 1) << "the JT button leaves the keyboard's flag";
    EXPECT_FALSE(model->state().colourful);
    EXPECT_EQ(model->state().jtColour, MakeColour(7, 8, 9));
    EXPECT_EQ(model->state().hxColour, MakeColour(0, 10, 200));
}

TEST_P(LightingOnSim, SelectEffectWritesTheColourfulFlagForColourEffectsOnly) {
    SetSupportedEffects({1, 4, 5, 19, 20});
    SetProfile(1);
    Read();
    ASSERT_TRUE(model->ToggleColourful());  // factory flag 0xFF becomes 0
    harness.sim().ClearTraffic();

    ASSERT_TRUE(model->SelectEffect(2));  // effect 5
    auto sent = Sent();
    ASSERT_EQ(Codes(), (Seq{1, 6, 6, 2}));
    EXPECT_EQ(sent[1].offset, 42);
    EXPECT_EQ(sent[1].data, std::vector<uint8_t>{5});
    EXPECT_EQ(sent[2].offset, 46);
    EXPECT_EQ(sent[2].data, std::vector<uint8_t>{0});

    harness.sim().ClearTraffic();
    ASSERT_TRUE(model->SelectEffect(1));  // effect 4
    EXPECT_EQ(Codes(), (Seq{1, 6, 2}));
    EXPECT_EQ(LightingByte(42), 4);

    harness.sim().ClearTraffic();
    EXPECT_FALSE(model->SelectEffect(3)) << "effect 19 is listed but not handled";
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(model->state().effect, 19);
    EXPECT_FALSE(model->VisibleControls().handled);
    EXPECT_FALSE(model->SelectEffect(5)) << "no such row";
    EXPECT_TRUE(Sent().empty());
}

TEST_P(LightingOnSim, ReadDecodesTheCurrentProfileAndNamesTheEffects) {
    auto lighting = harness.sim().lighting();
    const uint8_t block[] = {5, 2, 3, 255, 0, 11, 22, 33, 0,  0,  0,  0, 0, 0,  0,  9,  0,
                             6, 0, 2, 0,   0, 0,  0,  0,  44, 55, 66, 1, 0, 77, 88, 99, 0};
    std::copy(std::begin(block), std::end(block), lighting.begin() + 42);
    harness.sim().SetLighting(lighting);
    SetSupportedEffects({1, 0, 0, 5, 20});
    SetProfile(1);

    ASSERT_EQ(model->ReadLighting(LightingReadReason::Other), kLinkOk);
    const auto sent = Sent();
    if (strict()) {
        // Three tries of the refused read, then exactly the block.
        EXPECT_EQ(Codes(), (Seq{3, 1, 5, 5, 5, 5, 5, 5, 2}));
        EXPECT_EQ(harness.sim().refusedReads(), 3);
        EXPECT_EQ(sent[7].offset, 84);
        EXPECT_EQ(sent[7].length, 42);
    } else {
        EXPECT_EQ(Codes(), (Seq{3, 1, 5, 5, 5, 2}));
    }
    EXPECT_EQ(sent[2].offset, 0);
    EXPECT_EQ(sent[3].offset, 42);
    EXPECT_EQ(sent[4].offset, 84);
    EXPECT_EQ(sent[4].length, 56);
    const LightingState& s = model->state();
    EXPECT_EQ(s.currentProfile, 1);
    EXPECT_EQ(s.effect, 5);
    EXPECT_EQ(s.brightness, 2);
    EXPECT_EQ(s.speed, 3);
    EXPECT_EQ(s.hxColour, MakeColour(11, 22, 33));
    EXPECT_EQ(s.option, 3);
    EXPECT_EQ(s.presetColour, 0) << "preset 6 is shown as red";
    EXPECT_EQ(s.triggerMode, 0) << "trigger byte 2 leaves the pictures";
    EXPECT_EQ(s.secondColour, MakeColour(44, 55, 66));
    EXPECT_TRUE(s.secondColourful);
    EXPECT_EQ(s.thirdColour, MakeColour(77, 88, 99));
    ASSERT_EQ(s.effectTable.size(), 3u);
    EXPECT_EQ(model->effectNames(), (std::vector<std::u16string>{u"Wave", u"Breath", u"User"}));
    EXPECT_EQ(model->SelectedEffectIndex(), 1);
    EXPECT_TRUE(UserModesExist(s.effectList));
    EXPECT_FALSE(s.lightingSwitch);
    EXPECT_FALSE(model->VisibleControls().handled) << "the switch is off";
}

TEST_P(LightingOnSim, ReadFollowsTheSwitchInTheSettingsFile) {
    WriteText(files.settingsIni, "[KEYCOLOR]\r\nDengCheck=1\r\n");
    Read();
    EXPECT_TRUE(model->state().lightingSwitch);
    EXPECT_TRUE(model->VisibleControls().speed);
    WriteText(files.settingsIni, "[KEYCOLOR]\r\nDengCheck=2\r\n");
    Read();
    EXPECT_FALSE(model->state().lightingSwitch);
}

TEST_P(LightingOnSim, UnreadableSettingsKeepTheListAndTheValues) {
    Read();
    const std::vector<std::u16string> names = model->effectNames();
    ASSERT_FALSE(names.empty());
    const LightingState before = model->state();
    harness.sim().InjectFault({sim::FaultKind::StatusFF, 3, 0, 3});
    EXPECT_EQ(model->ReadLighting(LightingReadReason::Other), -1);
    EXPECT_EQ(model->effectNames(), names);
    ASSERT_EQ(model->state().effectTable.size(), before.effectTable.size());
    // A row chosen after the failed read still selects the effect it names.
    const int row = EffectIndex(model->state().effectTable, 4);
    ASSERT_GE(row, 0);
    EXPECT_TRUE(model->SelectEffect(row));
    EXPECT_EQ(LightingByte(LightingOffset(model->state().currentProfile, 0)), 4);
    model->SelectEffect(EffectIndex(model->state().effectTable, before.effect));
    EXPECT_EQ(model->state().effect, before.effect);
    EXPECT_EQ(model->state().hxColour, before.hxColour);
}

TEST_P(LightingOnSim, FailedBlockReadKeepsTheShownLighting) {
    Read();
    ASSERT_TRUE(model->SetBrightness(2));
    // Three tries of the 56-byte read and three of the 42-byte one.
    harness.sim().InjectFault({sim::FaultKind::StatusFF, 6, 0, 5});
    EXPECT_EQ(model->ReadLighting(LightingReadReason::Other), kLinkStatusFF);
    EXPECT_EQ(model->state().brightness, 2) << "not zeros from a block that never came";
    EXPECT_FALSE(model->effectNames().empty()) << "the settings block did arrive";
}

// The last block's 56-byte read runs past the lighting area; a keyboard that refuses it is asked for exactly
// the block, and from then on only for that, until the next attach.
TEST_P(LightingOnSim, TheLastBlockIsReadExactlyWhenTheLongReadIsRefused) {
    auto lighting = harness.sim().lighting();
    lighting[84] = 7;       // effect
    lighting[84 + 1] = 3;   // brightness
    lighting[84 + 41] = 9;  // the block's last byte, kept by the keyboard
    harness.sim().SetLighting(lighting);
    SetProfile(2);
    harness.sim().InjectFault({sim::FaultKind::StatusFF, 3, 2, 5});

    ASSERT_EQ(model->ReadLighting(LightingReadReason::Other), kLinkOk);
    EXPECT_EQ(model->state().effect, 7);
    EXPECT_EQ(model->state().brightness, 3);
    auto sent = Sent();
    ASSERT_EQ(Codes(), (Seq{3, 1, 5, 5, 5, 5, 5, 5, 2}));
    EXPECT_EQ(sent[4].length, 56);
    EXPECT_EQ(sent[7].offset, 84);
    EXPECT_EQ(sent[7].length, 42);

    harness.sim().ClearTraffic();
    ASSERT_EQ(model->ReadLighting(LightingReadReason::Other), kLinkOk);
    sent = Sent();
    ASSERT_EQ(Codes(), (Seq{3, 1, 5, 5, 5, 2}));
    EXPECT_EQ(sent[2].length, 56);
    EXPECT_EQ(sent[4].length, 42);

    harness.sim().ClearTraffic();
    ASSERT_EQ(model->ReadLighting(LightingReadReason::Attach), kLinkOk);
    EXPECT_EQ(Sent()[4].length, 56) << "another keyboard may take the long read";
}

TEST_P(LightingOnSim, UnknownProfileWritesNothing) {
    Read();
    SetProfile(-1);
    harness.sim().ClearTraffic();
    EXPECT_FALSE(model->SetSpeed(1));
    EXPECT_FALSE(model->SetSecondColour(kBlack));
    EXPECT_TRUE(Sent().empty());
}

TEST_P(LightingOnSim, RestoreDefaultsWritesTheDefaultBlockInOneCommand) {
    auto lighting = harness.sim().lighting();
    std::fill(lighting.begin(), lighting.end(), 0x5A);
    harness.sim().SetLighting(lighting);
    SetSupportedEffects({1, 2, 3});
    SetProfile(1);
    Read();
    EXPECT_FALSE(model->RestoreLightingDefaults()) << "only while the lighting switch is on";
    EXPECT_TRUE(Sent().empty());
    TurnOn();

    ASSERT_TRUE(model->RestoreLightingDefaults());
    const auto sent = Sent();
    ASSERT_EQ(Codes(), (Seq{1, 6, 6, 2, 1, 6, 2}));
    EXPECT_EQ(sent[1].offset, 42);
    EXPECT_EQ(sent[1].data, std::vector<uint8_t>{1});
    EXPECT_EQ(sent[5].offset, 42);
    EXPECT_EQ(sent[5].length, 35);
    EXPECT_EQ(sent[5].data, std::vector<uint8_t>(kDefaultLightingBytes.begin(), kDefaultLightingBytes.end()));
    EXPECT_EQ((std::vector<uint8_t>(sent[5].data.begin(), sent[5].data.begin() + 8)),
              (std::vector<uint8_t>{0x01, 0x04, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00}));
    const auto now = harness.sim().lighting();
    EXPECT_TRUE(std::equal(kDefaultLightingBytes.begin(), kDefaultLightingBytes.end(), now.begin() + 42));
    EXPECT_EQ(now[42 + 35], 0x5A) << "bytes 35..41 belong to the keyboard";
    EXPECT_EQ(now[41], 0x5A);
    EXPECT_EQ(now[84], 0x5A);
    const LightingState& s = model->state();
    EXPECT_EQ(s.effect, 1);
    EXPECT_EQ(s.BrightnessPosition(), 4);
    EXPECT_EQ(s.SpeedPosition(), 4);
    EXPECT_EQ(s.jtColour, kRed);
    EXPECT_TRUE(s.colourful);
    EXPECT_EQ(s.secondColour, kWhite);
}

TEST_P(LightingOnSim, RestoreDefaultsResetsTheProfilesUserModes) {
    WriteText(UserFile(3), "[PRESENTMODE]\r\nmode=1\r\n[Mode1]\r\n0=9,9,9,0\r\n");
    WriteText(UserFile(1), "[PRESENTMODE]\r\nmode=0\r\n[Mode0]\r\n0=1,1,1,0\r\n");
    WriteText(UserFile(0), "untouched");
    SetProfile(1);
    Read();
    TurnOn();
    ASSERT_TRUE(model->RestoreLightingDefaults());
    EXPECT_EQ(ReadText(UserFile(1)), ReadText(UserFile(3)));
    EXPECT_EQ(ReadText(UserFile(0)), "untouched");
    EXPECT_EQ(model->userModes().mode(), 1);
    EXPECT_EQ(SimKeyColour(1, 0), MakeColour(9, 9, 9)) << "the restored mode went to the keyboard";
    const auto codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 17), 7);
}

TEST_P(LightingOnSim, LightingSwitchNeedsTheProfileSwitch) {
    Read();
    switcher.allow = false;
    EXPECT_FALSE(model->SetLightingSwitch(true));
    EXPECT_FALSE(model->state().lightingSwitch);
    EXPECT_FALSE(model->KeyClicksPaint());
    EXPECT_FALSE(std::filesystem::exists(files.settingsIni)) << "a refused switch writes nothing";

    switcher.allow = true;
    EXPECT_TRUE(model->SetLightingSwitch(true));
    EXPECT_TRUE(SettingsFile(files.settingsIni).IsOn(SettingsFile::kDengCheck));
    EXPECT_TRUE(model->KeyClicksPaint());
    EXPECT_TRUE(model->VisibleControls().handled);
    EXPECT_EQ(switcher.calls, 2);

    EXPECT_FALSE(model->SetLightingSwitch(false));
    EXPECT_EQ(switcher.calls, 2) << "turning off needs no profile switch";
    EXPECT_FALSE(SettingsFile(files.settingsIni).IsOn(SettingsFile::kDengCheck));
    EXPECT_NE(ReadText(files.settingsIni).find("DengCheck=0"), std::string::npos);
    EXPECT_FALSE(model->VisibleControls().speed);
}

INSTANTIATE_TEST_SUITE_P(Keyboards, LightingOnSim, ::testing::Bool(), ReadModeName);

}  // namespace
}  // namespace vornak::lighting_test
