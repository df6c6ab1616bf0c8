// The memory of the edit history at its bound, and the time a step costs, with a full macro list: 100 macros
// of 2000 actions each (1.65 MB of records). Memory is given twice: as the history counts it (what its bound
// is kept against) and as the heap grew while the steps were made (malloc's own count).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <functional>

#include "history/edit_history.h"

namespace {

using namespace vornak;

MacroRecord FullMacro(uint16_t id, uint32_t generation) {
    MacroRecord m{};
    m.SetName(u"Full macro");
    m.id = id;
    m.cycles = 1;
    m.actionCount = kMaxMacroActions;
    for (size_t k = 0; k < kMaxMacroActions; ++k)
        m.actions[k] = {static_cast<uint32_t>(10 * (k % 50) + generation),
                        static_cast<uint16_t>(0x10 + k % 20), uint16_t(k % 2)};
    return m;
}

void FillMacros(ConfigStore& store, uint32_t generation) {
    store.edit().macros.clear();
    for (uint16_t id = 1; id <= kMaxMacros; ++id)
        store.edit().macros.push_back(FullMacro(id, generation));
}

// Small blocks in the arena and the large ones malloc maps by themselves (a record list is one of those).
size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Makes steps until the history holds `steps` of them, each one edit; reports what it holds.
void FillHistory(benchmark::State& state, size_t steps,
                 const std::function<void(EditCopy&, uint32_t)>& edit) {
    for (auto _ : state) {
        state.PauseTiming();
        ConfigStore store;
        FillMacros(store, 0);
        const size_t heapBefore = HeapInUse();
        size_t heapAfter = 0;
        {
            EditHistory history(store);
            state.ResumeTiming();
            for (uint32_t n = 1; n <= steps; ++n) {
                auto capture = history.Begin();
                edit(store.edit(), n);
                history.Commit(std::move(capture), u"step", 0);
            }
            state.PauseTiming();
            heapAfter = HeapInUse();
            state.counters["steps_kept"] = static_cast<double>(history.undoCount());
            state.counters["history_MB"] = static_cast<double>(history.bytes()) / (1024.0 * 1024.0);
            state.counters["heap_growth_MB"] =
                static_cast<double>(heapAfter > heapBefore ? heapAfter - heapBefore : 0) / (1024.0 * 1024.0);
        }
        state.ResumeTiming();
    }
}

// The worst step: all 100 macros removed and 100 others added (an edit replacing the list), until the 16 MB
// bound drops the oldest.
void ReplaceAllMacros(benchmark::State& state) {
    FillHistory(state, 20, [](EditCopy& e, uint32_t n) {
        e.macros.clear();
        for (uint16_t id = 1; id <= kMaxMacros; ++id)
            e.macros.push_back(FullMacro(id, n));
    });
}
BENCHMARK(ReplaceAllMacros)->Unit(benchmark::kMillisecond)->Iterations(3);

// A key dialog OK that changed one macro of the hundred and gave a key a new assignment, a hundred times.
void OneMacroAndAKey(benchmark::State& state) {
    FillHistory(state, 100, [](EditCopy& e, uint32_t n) {
        e.macros[n % kMaxMacros].actions[0].delay = 1000 + n;
        e.image.setEntry(0, 0x1E, ConfigEntry{4, 1, static_cast<uint32_t>(n % kMaxMacros + 1), 0, 0});
    });
}
BENCHMARK(OneMacroAndAKey)->Unit(benchmark::kMillisecond)->Iterations(3);

// Restore defaults, then a swap, in turn: entries only.
void EntriesOnly(benchmark::State& state) {
    FillHistory(state, 100, [](EditCopy& e, uint32_t n) {
        for (int slot = 0; slot < 256; ++slot)
            e.image.setEntry(0, slot, ConfigEntry{7, 0, (n + static_cast<uint32_t>(slot)) % 18, 0, 0});
    });
}
BENCHMARK(EntriesOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

// One step's cost on the UI thread with the full list: the capture, the edit and the comparison.
void CommitOneKey(benchmark::State& state) {
    ConfigStore store;
    FillMacros(store, 0);
    EditHistory history(store);
    uint32_t n = 0;
    for (auto _ : state) {
        auto capture = history.Begin();
        store.edit().image.setEntry(0, 0x1E, ConfigEntry{7, 0, ++n % 18, 0, 0});
        history.Commit(std::move(capture), u"step", 0);
    }
}
BENCHMARK(CommitOneKey)->Unit(benchmark::kMicrosecond);

// Undo and redo of a step that replaced every macro.
void UndoRedoAllMacros(benchmark::State& state) {
    ConfigStore store;
    FillMacros(store, 0);
    EditHistory history(store);
    auto capture = history.Begin();
    FillMacros(store, 1);
    history.Commit(std::move(capture), u"step", 0);
    for (auto _ : state) {
        history.Undo(0);
        history.Redo(0);
    }
}
BENCHMARK(UndoRedoAllMacros)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
