// The status callback's events and the device thread: what the main window is told, and the link's state.
#include <gtest/gtest.h>

#include <thread>

#include "device/port_hub_link.h"
#include "tests/support/sim_harness.h"

namespace vornak {
namespace {

using namespace std::chrono_literals;
using sim::SimEvent;
using test::RecordingLinkEvents;
using test::SimHarness;
using test::SimHarnessOptions;
using Log = std::vector<std::string>;

std::string Message(TextId id) {
    return "message " + std::to_string(static_cast<int>(id));
}

struct Fixture {
    explicit Fixture(bool attached = true, bool detect = true, int autoShowDone = 0,
                     sim::FaultModes modes = {}) {
        SimHarnessOptions o;
        o.config.attached = attached;
        o.config.modes = modes;
        o.events = &events;
        o.detect = false;
        h = std::make_unique<SimHarness>(std::move(o));
        link().state().autoShowDone.store(autoShowDone);
        if (detect) Detect();
    }
    void Detect() {
        link().DetectDevice();
        Settle();
    }
    void Raise(SimEvent e) {
        h->sim().Raise(e);
        Settle();
    }
    void Settle() {
        h->sim().WaitUntilDelivered();
        link().WaitForWorkers();
    }
    PortHubLink& link() { return h->portHubLink(); }
    Log TakeLog() {
        Log l = events.log();
        events.Clear();
        return l;
    }

    RecordingLinkEvents events;
    std::unique_ptr<SimHarness> h;
};

TEST(DeviceThread, AttachAtStartOpensTheWindowOnceOnly) {
    Fixture f;
    EXPECT_EQ(f.TakeLog(), (Log{"profile-read", "tray base 141", "show"}));
    EXPECT_EQ(f.link().state().devicePresent.load(), 1);
    EXPECT_EQ(f.link().state().autoShowDone.load(), 1);
    EXPECT_EQ(f.link().state().macroCapacity.load(), 8192u);
    EXPECT_EQ(f.link().DefaultLayout(), f.h->sim().defaultLayout());

    f.link().state().currentProfile.store(2);
    f.Raise(SimEvent::Detach);
    EXPECT_EQ(f.TakeLog(), (Log{"device-gone", "hide", "tray base 128"}));
    EXPECT_EQ(f.link().state().devicePresent.load(), 0);
    EXPECT_EQ(f.link().state().currentProfile.load(), -1);

    f.Raise(SimEvent::Attach);
    EXPECT_EQ(f.TakeLog(), (Log{"profile-read", "tray base 141"}));
    EXPECT_EQ(f.link().state().devicePresent.load(), 1);
}

// A keyboard that accepts the update-mode request restarts into its loader and leaves: the program sees an
// ordinary removal, and nothing it sends afterwards waits for a keyboard that is gone.
TEST(DeviceThread, TheUpdateModeRequestEndsInARemoval) {
    sim::FaultModes modes;
    modes.bootLeaves = true;
    Fixture f(true, true, 1, modes);
    f.TakeLog();
    f.link().state().currentProfile.store(1);

    EXPECT_EQ(f.link().RequestBootMode(), 1);
    f.Settle();
    EXPECT_EQ(f.TakeLog(), (Log{"device-gone", "hide", "tray base 128"}));
    EXPECT_EQ(f.link().state().devicePresent.load(), 0);
    EXPECT_EQ(f.link().state().currentProfile.load(), -1);
    EXPECT_EQ(f.h->sim().bootModeRequests(), 1);
    EXPECT_EQ(f.h->sim().violations(), 0);

    const auto start = std::chrono::steady_clock::now();
    SettingsBlock settings{};
    EXPECT_EQ(f.link().ReadSettings(settings), kLinkNoDevice);
    EXPECT_EQ(f.link().RequestBootMode(), kLinkNoDevice) << "a second request finds no keyboard";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);

    // Back from the updater, the keyboard is read like any attached one.
    f.Raise(SimEvent::Attach);
    EXPECT_EQ(f.TakeLog(), (Log{"profile-read", "tray base 141"}));
}

TEST(DeviceThread, StartInTheTrayNeverOpensTheWindow) {
    Fixture f(true, true, 1);
    EXPECT_EQ(f.TakeLog(), (Log{"profile-read", "tray base 141"}));
}

TEST(DeviceThread, NoKeyboardAtStart) {
    Fixture f(false);
    EXPECT_EQ(f.link().state().autoShowDone.load(), 1);
    EXPECT_TRUE(f.TakeLog().empty());  // the count equals devicePresent: nothing to do
    f.h->sim().SetSettings([] {
        auto s = sim::SimMemory::Factory().settings;
        s[11] = 32;
        return s;
    }());
    f.Raise(SimEvent::Attach);
    EXPECT_EQ(f.TakeLog(), (Log{"profile-read", "tray base 141"}));
    EXPECT_EQ(f.link().state().macroCapacity.load(), 4096u);
}

TEST(DeviceThread, DefaultLayoutFailureIsReportedAndTheReadGoesOn) {
    Fixture f(true, false);
    f.h->sim().InjectFault(sim::Fault{sim::FaultKind::StatusFF, 3, 0, 15});
    f.Detect();
    EXPECT_EQ(f.TakeLog(),
              (Log{Message(TextId::MAIN_DEFAULT_MATRIX_PROMPT), "profile-read", "tray base 141", "show"}));
    EXPECT_EQ(f.link().DefaultLayout(), KeyBlockBytes{});
    EXPECT_EQ(f.link().state().macroCapacity.load(), 8192u);
}

TEST(DeviceThread, WaitsForTheReadyMark) {
    Fixture f(true, false);
    f.link().state().mainWindowReady.store(false);
    f.link().DetectDevice();
    ASSERT_TRUE(f.events.WaitForCount(1));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(f.events.log(), (Log{"profile-read"}));
    EXPECT_EQ(f.link().state().devicePresent.load(), 0);
    f.link().state().mainWindowReady.store(true);
    f.Settle();
    EXPECT_EQ(f.TakeLog(), (Log{"profile-read", "tray base 141", "show"}));
}

TEST(DeviceThread, ShutdownWhileWaitingForTheWindow) {
    Fixture f(true, false);
    f.link().state().mainWindowReady.store(false);
    f.link().DetectDevice();
    ASSERT_TRUE(f.events.WaitForCount(1));
    f.h.reset();  // joins the waiting thread
    EXPECT_EQ(f.events.log(), (Log{"profile-read"}));
}

// An attach still being read when the removal comes: the removal is handled after it, so the link ends with
// no keyboard.
TEST(DeviceThread, AttachAndRemovalInQuickSuccession) {
    for (int round = 0; round < 5; ++round) {
        Fixture f(false);
        f.h->sim().SetLatency(3ms);
        f.h->sim().Raise(SimEvent::Attach);
        std::this_thread::sleep_for(2ms);
        f.h->sim().Raise(SimEvent::Detach);
        f.Settle();
        EXPECT_EQ(f.link().state().devicePresent.load(), 0);
        const Log log = f.TakeLog();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), "tray base 128");
    }
}

TEST(StatusEvents, TwoLayerSwitchesLeaveEverythingAsItWas) {
    Fixture f;
    f.TakeLog();
    EXPECT_FALSE(f.link().state().layerB.load());
    f.Raise(SimEvent::LayerSwitch);
    EXPECT_TRUE(f.link().state().layerB.load());
    EXPECT_EQ(f.h->sim().ledStatus(), (std::array<uint8_t, 2>{0x05, 0x03}));
    f.Raise(SimEvent::LayerSwitch);
    EXPECT_FALSE(f.link().state().layerB.load());
    EXPECT_EQ(f.h->sim().ledStatus(), (std::array<uint8_t, 2>{0x05, 0x02}));
    EXPECT_EQ(f.link().LedPayload(), (std::array<uint8_t, 2>{0x05, 0x02}));
    EXPECT_EQ(f.TakeLog(), (Log{"led B", "led A"}));
    int ledWrites = 0;
    for (const auto& e : f.h->sim().traffic())
        ledWrites += e.direction == sim::TrafficDirection::Led;
    EXPECT_EQ(ledWrites, 2);
    EXPECT_NE(f.link().state().ledRequestId.load(), 0u);
}

TEST(StatusEvents, SettingsChangedAndIgnoredCodes) {
    Fixture f;
    f.TakeLog();
    f.Raise(SimEvent::SettingsChanged);
    EXPECT_EQ(f.TakeLog(), (Log{"lighting-changed"}));
}

TEST(StatusEvents, MacroPlaybackIconEndsAtTheLastState) {
    Fixture f;
    f.TakeLog();
    f.Raise(SimEvent::MacroStart);
    EXPECT_EQ(f.TakeLog(), (Log{"tray macro 142"}));
    f.Raise(SimEvent::MacroStop);
    EXPECT_EQ(f.TakeLog(), (Log{"tray macro-end 141"}));
    for (int i = 0; i < 20; ++i) {
        f.h->sim().Raise(SimEvent::MacroStart);
        f.h->sim().Raise(SimEvent::MacroStop);
    }
    f.Settle();
    const Log log = f.TakeLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "tray macro-end 141");
}

TEST(StatusEvents, ChannelsAreRegisteredAndReleased) {
    Fixture f;
    LinkState& s = f.link().state();
    EXPECT_NE(s.consRequestId.load(), 0u);
    EXPECT_NE(s.ctrlRequestId.load(), 0u);
    EXPECT_NE(s.consRequestId.load(), s.ctrlRequestId.load());
    // Registering again replaces the standing readers: one event, one notification.
    ASSERT_TRUE(f.link().SetUpChannels());
    f.TakeLog();
    f.Raise(SimEvent::SettingsChanged);
    EXPECT_EQ(f.TakeLog(), (Log{"lighting-changed"}));
    f.link().ReleaseChannels();
    EXPECT_EQ(s.consRequestId.load(), 0u);
    f.Raise(SimEvent::SettingsChanged);
    f.Raise(SimEvent::Detach);
    EXPECT_TRUE(f.TakeLog().empty());
}

}  // namespace
}  // namespace vornak
