// The user-mode load (about 110 keys of one file) and a preview tick for all 126 positions.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "lighting/preview.h"
#include "lighting/user_modes.h"
#include "platform/file_io.h"
#include "platform/paths.h"

namespace {

using namespace vornak;

// Takes every command and answers success at once, so that the figure is the program's own cost: parsing
// the file and building the seven colour commands.
class NullLink : public DeviceLink {
  public:
    LinkState& state() override { return state_; }
    int GetDeviceCount() override { return 1; }
    int SendCommand(std::span<const uint8_t>, std::span<uint8_t>, size_t* received) override {
        if (received) *received = 0;
        return kLinkOk;
    }
    int BeginSequence() override { return kLinkOk; }
    int EndSequence() override { return kLinkOk; }
    int ReadSettings(SettingsBlock&) override { return kLinkOk; }
    int WriteSettings(const SettingsBlock&) override { return kLinkOk; }
    int ReadLightingArea(uint16_t, std::span<uint8_t>) override { return kLinkOk; }
    int WriteLightingArea(uint16_t, std::span<const uint8_t>) override { return kLinkOk; }
    int ReadKeyBlock(int, KeyBlockBytes&) override { return kLinkOk; }
    int WriteKeyBlock(int, const KeyBlockBytes&) override { return kLinkOk; }
    int ReadMacroArea(std::span<uint8_t>) override { return kLinkOk; }
    int WriteMacroArea(std::span<const uint8_t>) override { return kLinkOk; }
    int ReadDefaultLayout(KeyBlockBytes&) override { return kLinkOk; }
    int WriteKeyColours(uint16_t, std::span<const uint8_t> data) override {
        benchmark::DoNotOptimize(data.data());
        return kLinkOk;
    }
    int RequestBootMode() override { return kLinkOk; }

  private:
    LinkState state_;
};

// The shipped template as profile 0's file.
std::string PrepareUserFiles() {
    const auto dir = std::filesystem::temp_directory_path() / "vornak-bench-lighting";
    std::filesystem::create_directories(dir);
    const auto prefix = (dir / "UserDengColor_").string();
    const auto bytes =
        ReadWholeFile(std::filesystem::path(VORNAK_SOURCE_DIR) / "res/Skins/UserDengColor_3.userd");
    if (!bytes) return {};
    WriteFileAtomic(UserModeFilePath(prefix, 0), *bytes);
    return prefix;
}

void BM_LoadUserMode(benchmark::State& state) {
    const std::string prefix = PrepareUserFiles();
    if (prefix.empty()) {
        state.SkipWithError("template missing");
        return;
    }
    NullLink link;
    UserModes modes(link, prefix);
    for (auto _ : state)
        benchmark::DoNotOptimize(modes.LoadUserMode(0));
}
BENCHMARK(BM_LoadUserMode)->Unit(benchmark::kMicrosecond);

// What the load would cost with one file parse per key, for comparison.
void BM_UserModeKeysOneParseEach(benchmark::State& state) {
    const std::string prefix = PrepareUserFiles();
    const CIniFile ini(UserModeFilePath(prefix, 0));
    for (auto _ : state) {
        for (uint8_t position : UserModeKeyPositions()) {
            const std::string digits = std::to_string(position);
            benchmark::DoNotOptimize(
                ini.GetString(u"Mode0", std::u16string(digits.begin(), digits.end()), u""));
        }
    }
}
BENCHMARK(BM_UserModeKeysOneParseEach)->Unit(benchmark::kMicrosecond);

void BM_PreviewTick(benchmark::State& state) {
    LightingState s;
    s.lightingSwitch = true;
    s.colourful = true;
    s.effect = static_cast<EffectNumber>(state.range(0));
    PreviewAnimator animator(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(animator.Step(s));
}
BENCHMARK(BM_PreviewTick)
    ->Arg(1)
    ->Arg(3)
    ->Arg(5)
    ->Arg(10)
    ->Arg(11)
    ->Arg(14)
    ->Arg(16)
    ->Arg(18)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
