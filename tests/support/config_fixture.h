// The configuration stack of the program on a simulated keyboard: the store, the download, the profile files
// in a temporary user folder, scripted prompts and a view that records what it was told.
#pragma once

#include <memory>

#include "profile/profile_files.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/sim_harness.h"
#include "tests/support/temp_dir.h"
#include "transfer/config_transfer.h"

namespace vornak::test {

class RecordingView : public ProfileView {
  public:
    void RefreshKeyButtons() override { ++refreshes; }
    void SetApplyEnabled(bool enabled) override { applyEnabled = enabled; }
    int refreshes = 0;
    std::optional<bool> applyEnabled;
};

class ConfigFixture {
  public:
    explicit ConfigFixture(SimHarnessOptions options = {});

    SimHarness harness;
    TempDir dir;
    ProgramPaths paths;
    LanguageTexts texts;
    ScriptedPrompts prompts;
    ConfigStore store;
    ConfigTransfer transfer;
    ProfileFiles files;
    RecordingView view;
    int seeded = 0;

    sim::KeyboardSimulator& sim() { return harness.sim(); }
    DeviceLink& link() { return harness.link(); }
};

// Factory memory with the macro area set to the given number of 128-byte units.
SimHarnessOptions WithMacroUnits(uint8_t units);

}  // namespace vornak::test
