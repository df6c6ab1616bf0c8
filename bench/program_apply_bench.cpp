// How often the main window repaints while Apply downloads a full macro memory: the busy picture's paints
// during the download, offscreen, against the simulated keyboard at 1 ms per report (a full-speed USB
// endpoint) and at a slow 20 ms. The window must repaint at least every 100 ms.
// Usage: bench_program_apply [LATENCY_MS...]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <cstdio>
#include <vector>

#include "macro/macro_blob.h"
#include "tests/app/window_fixture.h"

namespace {

using namespace vornak;
using namespace vornak::test;

// Records when a widget is painted.
class PaintClock : public QObject {
  public:
    explicit PaintClock(const QElapsedTimer& clock) : clock_(clock) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) paints.push_back(clock_.elapsed());
        return false;
    }
    std::vector<qint64> paints;

  private:
    const QElapsedTimer& clock_;
};

// Macros that fill the keyboard's 8192 bytes of macro memory (names left out when they do not fit).
std::vector<MacroRecord> FullMacroMemory() {
    std::vector<MacroRecord> list;
    for (uint16_t id = 1; id <= 100; ++id) {
        MacroRecord m{};
        m.SetName(u"M");
        m.id = id;
        m.cycles = 1;
        m.actionCount = 20;
        for (size_t k = 0; k < m.actionCount; ++k)
            m.actions[k] = {10, static_cast<uint16_t>(0x10 + k % 20), uint16_t(k % 2)};
        list.push_back(m);
        if (ComputeMacroBlobSizes(list).withoutNames > 8192) {
            list.pop_back();
            break;
        }
    }
    return list;
}

void Run(int latencyMs) {
    WindowFixtureOptions o;
    o.config.latency = std::chrono::milliseconds(latencyMs);
    o.timings = LinkTimings{};
    o.timings.readyPoll = std::chrono::milliseconds(1);
    WindowFixture f(o);
    if (!f.Ready()) {
        std::printf("latency %d ms: the window did not come up\n", latencyMs);
        return;
    }
    const auto macros = FullMacroMemory();
    f.window->Edit("full macro memory", [&](EditCopy& edit) {
        edit.macros = macros;
        return true;
    });
    QElapsedTimer clock;
    PaintClock paints(clock);
    f.window->busyPicture()->installEventFilter(&paints);
    clock.start();
    f.window->OnCommand(main_id::kApply);
    ProcessUntil([&] { return !f.worker->busy(); }, 600000);
    const qint64 took = clock.elapsed();
    qint64 longest = 0;
    for (size_t i = 1; i < paints.paints.size(); ++i)
        longest = std::max(longest, paints.paints[i] - paints.paints[i - 1]);
    std::printf(
        "latency %2d ms: %zu macros, download %lld ms, %zu repaints of the busy picture, longest gap %lld "
        "ms, "
        "Apply %s\n",
        latencyMs, macros.size(), static_cast<long long>(took), paints.paints.size(),
        static_cast<long long>(longest),
        f.window->button(main_id::kApply)->isEnabled() ? "still enabled (failed)" : "done");
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<int> latencies;
    for (int i = 1; i < argc; ++i)
        latencies.push_back(std::atoi(argv[i]));
    if (latencies.empty()) latencies = {1, 20};
    for (int l : latencies)
        Run(l);
    return 0;
}
