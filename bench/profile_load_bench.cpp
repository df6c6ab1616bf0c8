// Reading a full profile file: 100 macros of 2000 actions each (1.6 MB), header check and load, as an import
// does.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "platform/file_io.h"
#include "profile/profile_file.h"

namespace {

using namespace vornak;

std::filesystem::path WriteLargeFile() {
    EditCopy copy;
    for (int i = 0; i < 100; ++i) {
        MacroRecord m = NewMacroRecord(u"Macro", copy.macros);
        m.isNew = 0;
        m.actionCount = 2000;
        for (int k = 0; k < 2000; ++k)
            m.actions[k] = {10u * (k % 50), static_cast<uint16_t>(0x10 + k % 20), uint16_t(k % 2)};
        copy.macros.push_back(m);
    }
    for (int i = 0; i < 40; ++i) {
        copy.image.setEntry(static_cast<size_t>(i), ConfigEntry{3, 0, 0, 0, 0});
        copy.names.Set(static_cast<size_t>(i), u"/usr/bin/some-program --with-arguments");
    }
    const auto path = std::filesystem::temp_directory_path() / "vornak-bench-100-macros.fwc";
    WriteFileAtomic(path, *SerializeProfileFile(copy));
    return path;
}

void ValidateAndLoad(benchmark::State& state) {
    const auto path = WriteLargeFile();
    for (auto _ : state) {
        auto bytes = ReadWholeFile(path);
        const bool headerOk = CheckHeader(std::span<const uint8_t, kConfigHeaderSize>(
                                  bytes->data(), kConfigHeaderSize)) == HeaderProblem::None;
        auto copy = ParseProfileFile(*ReadWholeFile(path));
        benchmark::DoNotOptimize(headerOk);
        benchmark::DoNotOptimize(copy);
    }
    state.SetLabel(std::to_string(std::filesystem::file_size(path)) + " bytes");
    std::filesystem::remove(path);
}
BENCHMARK(ValidateAndLoad)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
