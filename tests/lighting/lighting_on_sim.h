// The lighting model on the simulated keyboard: the fixture the lighting tests share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "keyboard/key_buttons.h"
#include "lighting/lighting.h"
#include "lighting/panel_look.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/settings_file.h"
#include "tests/support/sim_harness.h"
#include "tests/support/temp_dir.h"
#include "tests/support/traffic.h"

namespace vornak::lighting_test {

using test::ReadText;
using test::TempDir;
using test::WriteText;

constexpr uint16_t kEscButton = 1022;
constexpr uint16_t kNumEnterButton = 1118;

// The scene code's switch to the current profile, scripted.
class ScriptedSwitcher : public ProfileSwitcher {
  public:
    bool SwitchToCurrentProfile() override {
        ++calls;
        return allow;
    }
    bool allow = true;
    int calls = 0;
};

// Every test runs twice: on the default keyboard, which answers zeros past the end of its lighting area, and
// on one with strict reads, which refuses that part of the last block's 56-byte read.
class LightingOnSim : public ::testing::TestWithParam<bool> {
  protected:
    static test::SimHarnessOptions Options() {
        test::SimHarnessOptions o;
        o.config.modes.strictReads = GetParam();
        return o;
    }
    bool strict() const { return GetParam(); }

    void SetUp() override {
        WriteText(dir / "Main.ini",
                  "[Mode]\r\n1=Wave\r\n4=Spectrum\r\n5=Breath\r\n20=User\r\n[Mode1]\r\n1=Welle\r\n");
        files = {dir / "wskb.ini", dir / "Main.ini", (dir.path() / "UserDengColor_").string()};
        model = std::make_unique<LightingModel>(harness.link(), texts, switcher, files);
        SetProfile(0);
    }
    void TearDown() override {
        EXPECT_EQ(harness.sim().violations(), 0)
            << (harness.sim().violationReasons().empty() ? std::string()
                                                         : harness.sim().violationReasons().front());
    }

    void SetProfile(int p) { harness.link().state().currentProfile.store(p); }
    std::filesystem::path UserFile(int n) const { return UserModeFilePath(files.userModePrefix, n); }

    // Reads the keyboard into the model, then forgets the traffic of the read.
    void Read(LightingReadReason reason = LightingReadReason::Other) {
        ASSERT_EQ(model->ReadLighting(reason), kLinkOk);
        harness.sim().ClearTraffic();
    }
    void TurnOn() {
        ASSERT_TRUE(model->SetLightingSwitch(true));
        harness.sim().ClearTraffic();
    }

    std::vector<test::SentCommand> Sent() { return test::CommandsSent(harness.sim()); }
    std::vector<uint8_t> Codes() { return test::Codes(Sent()); }
    uint8_t LightingByte(size_t offset) { return harness.sim().lighting()[offset]; }
    Colour SimKeyColour(int profile, int position) {
        const auto colours = harness.sim().keyColours();
        const size_t o = static_cast<size_t>(profile) * 512 + static_cast<size_t>(position) * 3;
        return MakeColour(colours[o], colours[o + 1], colours[o + 2]);
    }
    void SetSupportedEffects(std::initializer_list<uint8_t> effects) {
        auto settings = harness.sim().settings();
        std::fill(settings.begin() + settings_field::kEffects, settings.end(), 0);
        std::copy(effects.begin(), effects.end(), settings.begin() + settings_field::kEffects);
        harness.sim().SetSettings(settings);
    }

    test::SimHarness harness{Options()};
    TempDir dir;
    LanguageTexts texts;
    ScriptedSwitcher switcher;
    LightingFiles files;
    std::unique_ptr<LightingModel> model;
};

// User modes.

class UserModesOnSim : public LightingOnSim {
  protected:
    void SetUp() override {
        LightingOnSim::SetUp();
        SetSupportedEffects({1, 20});
    }
    // Reads the keyboard as after an attach, turns the lighting on and picks the user mode.
    void Ready(int profile) {
        SetProfile(profile);
        ASSERT_EQ(model->ReadLighting(LightingReadReason::Attach), kLinkOk);
        TurnOn();
        ASSERT_TRUE(model->SelectEffect(1));
        harness.sim().ClearTraffic();
    }
};

using Seq = std::vector<uint8_t>;

inline std::string ReadModeName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "StrictReads" : "ZerosPastTheEnd";
}

}  // namespace vornak::lighting_test
