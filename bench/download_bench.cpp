// CopyAndDownload of all three profiles against the simulated keyboard at 1 ms per report (a full-speed USB
// endpoint): no macros, ten macros of 50 actions, and a macro list that fills the macro memory. Reports the
// exchanges and compares the time with its floor (exchanges x latency + the 10 ms pause before the end
// command).
#include <benchmark/benchmark.h>

#include <chrono>

#include "device/port_hub_link.h"
#include "macro/macro_blob.h"
#include "porthub/sim/keyboard_simulator.h"
#include "texts/prompts.h"
#include "transfer/config_transfer.h"

namespace {

using namespace vornak;

class SilentPrompts : public Prompts {
  public:
    PromptAnswer Message(std::u16string_view, PromptButtons, PromptAnswer a) override { return a; }
    std::optional<std::filesystem::path> ChooseFile(const FileChoice&) override { return std::nullopt; }
};

MacroRecord Macro(uint16_t id, size_t actions) {
    MacroRecord m{};
    m.SetName(u"Macro" + std::u16string(1, static_cast<char16_t>(u'0' + id % 10)));
    m.id = id;
    m.cycles = 1;
    m.actionCount = static_cast<uint16_t>(actions);
    for (size_t k = 0; k < actions; ++k)
        m.actions[k] = {10, static_cast<uint16_t>(0x10 + k % 20), uint16_t(k % 2)};
    return m;
}

std::vector<MacroRecord> MacroList(int which, uint32_t capacity) {
    std::vector<MacroRecord> list;
    if (which == 1) {
        for (uint16_t i = 1; i <= 10; ++i)
            list.push_back(Macro(i, 50));
    } else if (which == 2) {
        // As many 100-action macros as fit without names, then one that takes the rest.
        uint16_t id = 1;
        while (ComputeMacroBlobSizes(list).withoutNames + 2 + 4 + 400 <= capacity)
            list.push_back(Macro(id++, 100));
        const uint32_t left = capacity - ComputeMacroBlobSizes(list).withoutNames - 2 - 4;
        if (left >= 4) list.push_back(Macro(id, left / 4));
    }
    return list;
}

void CopyAndDownloadAllProfiles(benchmark::State& state) {
    sim::SimConfig config;
    config.latency = std::chrono::milliseconds(1);
    sim::KeyboardSimulator keyboard(config);
    sim::SetActiveSimulator(&keyboard);
    {
        PortHubLink link(sim::SimulatorFunctions());
        link.state().mainWindowReady.store(true);
        link.SetUpChannels();
        link.DetectDevice();
        link.WaitForWorkers();
        LanguageTexts texts;
        SilentPrompts prompts;
        ConfigStore store;
        ConfigTransfer transfer(
            store, link, [&] { return link.DefaultLayout(); }, texts, prompts);
        store.edit().macros = MacroList(static_cast<int>(state.range(0)), link.state().macroCapacity.load());
        size_t exchanges = 0;
        for (auto _ : state) {
            keyboard.ClearTraffic();
            std::lock_guard lock(store.lockA());
            if (!transfer.CopyAndDownload(true)) state.SkipWithError("download failed");
            exchanges = keyboard.commandsSent().size();
        }
        const double floorMs = static_cast<double>(exchanges) * 1.0 + 10.0;
        state.counters["exchanges"] = static_cast<double>(exchanges);
        state.counters["floor_ms"] = floorMs;
        state.counters["macros"] = static_cast<double>(store.edit().macros.size());
        state.counters["blob_bytes"] = ComputeMacroBlobSizes(store.edit().macros).withoutNames;
        if (keyboard.violations() != 0) state.SkipWithError("protocol violations");
    }
    sim::SetActiveSimulator(nullptr);
}
BENCHMARK(CopyAndDownloadAllProfiles)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("macros")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
