// Opening the main window from the tray: the time from the tray's Open command (a double click on the icon,
// or the start request of a second copy) until the window's first frame is painted, offscreen, on the
// simulated keyboard. The window has given its pictures back while hidden, so this includes making them
// again. Prints each of the runs and their median. Usage: bench_window_open [RUNS]
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "tests/app/window_fixture.h"

namespace {

using namespace vornak;

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}
using namespace vornak::test;

// When the window and its children were last painted.
class PaintClock : public QObject {
  public:
    PaintClock(const QElapsedTimer& clock, QWidget& window) : clock_(clock), window_(window) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == &window_ || window_.isAncestorOf(static_cast<QWidget*>(watched)))) {
            if (first < 0) first = clock_.elapsed();
            last = clock_.elapsed();
            lastCpu = ThreadCpuMs();
        }
        return false;
    }
    qint64 first = -1;
    qint64 last = -1;
    double lastCpu = 0;

  private:
    const QElapsedTimer& clock_;
    QWidget& window_;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;

    WindowFixture f;
    if (!f.Ready()) {
        std::printf("the window did not come up\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    PaintClock paints(clock, *f.window);
    app.installEventFilter(&paints);

    std::vector<qint64> times;
    std::vector<double> cpu;
    for (int run = 0; run < runs; ++run) {
        f.window->hide();  // to the tray (offscreen there is no tray for Cancel to hide to)
        ProcessFor(300);
        if (!f.window->picturesReleased())
            std::printf("run %d: the hidden window kept its pictures\n", run + 1);
        paints.first = paints.last = -1;
        const qint64 start = clock.elapsed();
        const double startCpu = ThreadCpuMs();
        f.window->OnCommand(main_id::kCmdShow);
        // The frame is done when nothing more was painted for 100 ms.
        ProcessUntil([&] { return paints.last >= 0 && clock.elapsed() - paints.last > 100; });
        times.push_back(paints.last - start);
        cpu.push_back(paints.lastCpu - startCpu);
        std::printf("run %d: first paint %lld ms, frame painted %lld ms after the command (%.1f ms of CPU)\n",
                    run + 1, static_cast<long long>(paints.first - start),
                    static_cast<long long>(paints.last - start), cpu.back());
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("open from the tray to the first frame: median %lld ms, %.1f ms of CPU (of %d)\n",
                static_cast<long long>(times[times.size() / 2]), cpu[cpu.size() / 2], runs);
    return 0;
}
