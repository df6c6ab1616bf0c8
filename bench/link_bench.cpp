// The device link's exchange against the in-process simulated keyboard: exchanges per second at latency 0
// (and a bare write / callback / wake-up round trip through the same simulator, for the link's own share),
// and a 7-piece key block read at 1 ms per report.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>

#include "device/device_command.h"
#include "device/port_hub_link.h"
#include "porthub/sim/keyboard_simulator.h"

namespace {

using namespace vornak;

struct Bench {
    explicit Bench(std::chrono::milliseconds latency) {
        sim::SimConfig config;
        config.latency = latency;
        keyboard = std::make_unique<sim::KeyboardSimulator>(config);
        sim::SetActiveSimulator(keyboard.get());
        link = std::make_unique<PortHubLink>(sim::SimulatorFunctions());
        link->SetUpChannels();
    }
    ~Bench() {
        link.reset();
        sim::SetActiveSimulator(nullptr);
    }
    std::unique_ptr<sim::KeyboardSimulator> keyboard;
    std::unique_ptr<PortHubLink> link;
};

void BM_SendCommand(benchmark::State& state) {
    Bench b(std::chrono::milliseconds(0));
    const DeviceCommand command = DeviceCommand::Make(command_code::kReadSettings, 44);
    CommandBytes reply{};
    size_t received = 0;
    for (auto _ : state) {
        if (b.link->SendCommand(command.bytes, reply, &received) != kLinkOk) state.SkipWithError("no reply");
        b.keyboard->ClearTraffic();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendCommand)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The same round trip without the link: write, the simulator's thread calls back, the caller wakes.
struct Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool arrived = false;
};
Waiter* gWaiter = nullptr;

int BareCallback(const PortHubStatusEvent* event) {
    if (event->type != PORTHUB_EVENT_DATA) return 1;
    {
        std::lock_guard lock(gWaiter->mutex);
        gWaiter->arrived = true;
    }
    gWaiter->cv.notify_one();
    return 1;
}

void BM_BareRoundTrip(benchmark::State& state) {
    sim::SimConfig config;
    config.latency = std::chrono::milliseconds(state.range(0));
    sim::KeyboardSimulator keyboard(config);
    Waiter waiter;
    gWaiter = &waiter;
    int id = 0;
    keyboard.AsyncRead(&kCtrlChannel.filter, BareCallback, kTagCtrl, &id);
    const DeviceCommand command = DeviceCommand::Make(command_code::kReadSettings, 44);
    for (auto _ : state) {
        std::unique_lock lock(waiter.mutex);
        waiter.arrived = false;
        lock.unlock();
        keyboard.WriteOne(&kCtrlChannel.filter, command.bytes.data(), 64);
        lock.lock();
        waiter.cv.wait(lock, [&] { return waiter.arrived; });
        keyboard.ClearTraffic();
    }
    keyboard.DeleteRequest(id);
    keyboard.WaitUntilDelivered();
    gWaiter = nullptr;
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareRoundTrip)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_KeyBlockRead1ms(benchmark::State& state) {
    Bench b(std::chrono::milliseconds(1));
    KeyBlockBytes block{};
    for (auto _ : state) {
        if (b.link->ReadKeyBlock(0, block) != kLinkOk) state.SkipWithError("read failed");
        b.keyboard->ClearTraffic();
    }
}
BENCHMARK(BM_KeyBlockRead1ms)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
