// The simulated keyboard's standing fault modes, report by report, and how they are switched.
#include <gtest/gtest.h>

#include <chrono>

#include "device/device_command.h"
#include "porthub/sim/control_fifo.h"
#include "porthub/sim/fault_modes.h"
#include "tests/support/sim_harness.h"

namespace vornak {
namespace {

using namespace std::chrono_literals;
using sim::FaultModes;
using test::SimHarness;

FaultModes Modes(std::string_view list) {
    std::string error;
    const auto modes = sim::ParseFaultModes(list, &error);
    EXPECT_TRUE(modes.has_value()) << error;
    return modes.value_or(FaultModes{});
}

test::SimHarnessOptions WithModes(std::string_view list) {
    test::SimHarnessOptions o;
    o.config.modes = Modes(list);
    return o;
}

// A raw exchange: the reply's status byte, or -1 when no reply came.
int StatusOf(DeviceLink& link, const DeviceCommand& command) {
    CommandBytes reply{};
    size_t received = 0;
    if (link.SendCommand(command.bytes, reply, &received) != kLinkOk) return -1;
    return reply[command_field::kStatus];
}

TEST(FaultModeNames, ParseAndFormat) {
    const FaultModes all = Modes(
        "late-commit, busy-begin,busy-macro busy-commit\tsilent-malformed,strict-reads,"
        "boot-leaves");
    EXPECT_TRUE(all.lateCommit && all.busyBegin && all.busyMacro && all.busyCommit && all.silentMalformed &&
                all.strictReads && all.bootLeaves);
    EXPECT_EQ(sim::FormatFaultModes(all),
              "late-commit,busy-begin,busy-macro,busy-commit,silent-malformed,strict-reads,boot-leaves");
    EXPECT_EQ(Modes(sim::FormatFaultModes(all)), all);
    EXPECT_EQ(Modes(""), FaultModes{});
    EXPECT_EQ(Modes("none"), FaultModes{});
    EXPECT_EQ(sim::FormatFaultModes({}), "none");

    std::string error;
    EXPECT_FALSE(sim::ParseFaultModes("strict-reads,late", &error));
    EXPECT_EQ(error, "unknown fault mode \"late\"");
}

TEST(FaultModeNames, ControlLines) {
    std::string error;
    EXPECT_EQ(sim::ParseFaultsLine("  faults strict-reads,boot-leaves\r", &error),
              Modes("strict-reads boot-leaves"));
    EXPECT_EQ(sim::ParseFaultsLine("faults", &error), FaultModes{});
    EXPECT_EQ(sim::ParseFaultsLine("faults none", &error), FaultModes{});
    EXPECT_FALSE(sim::ParseFaultsLine("faultsy", &error));
    EXPECT_FALSE(sim::ParseFaultsLine("layer", &error));
    EXPECT_EQ(error, "");
    EXPECT_FALSE(sim::ParseFaultsLine("faults slow", &error));
    EXPECT_EQ(error, "unknown fault mode \"slow\"");
}

TEST(FaultModes, LateCommitIsDoneAndAnsweredLate) {
    test::SimHarnessOptions o = WithModes("late-commit");
    o.config.modes.lateCommitDelay = 300ms;
    o.timings.replyWait = 2s;
    SimHarness h(o);
    ASSERT_EQ(h.link().BeginSequence(), kLinkOk);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(h.link().EndSequence(), kLinkOk);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_FALSE(h.sim().inSequence());
    EXPECT_EQ(h.sim().commandsSent().size(), 2u) << "one try was enough";
}

TEST(FaultModes, BusyAnswersComeAfterTheWork) {
    SimHarness h(WithModes("busy-begin,busy-macro,busy-commit"));
    EXPECT_EQ(h.link().BeginSequence(), kLinkStatusFE);
    EXPECT_TRUE(h.sim().inSequence());
    const std::vector<uint8_t> piece(56, 0x5A);
    EXPECT_EQ(h.link().WriteMacroArea(piece), kLinkStatusFE);
    EXPECT_EQ(h.sim().macroArea()[55], 0x5A);
    // A busy piece does not end the write: the pieces after it are sent too.
    std::vector<uint8_t> three(3 * 56);
    for (size_t i = 0; i < three.size(); ++i)
        three[i] = static_cast<uint8_t>(i / 56 + 1);
    EXPECT_EQ(h.link().WriteMacroArea(three), kLinkStatusFE);
    EXPECT_EQ(h.sim().macroArea()[2 * 56 + 55], 3);
    KeyBlockBytes block{};
    block[0] = 7;
    EXPECT_EQ(h.link().WriteKeyBlock(1, block), kLinkOk) << "other writes are answered as usual";
    EXPECT_EQ(h.link().EndSequence(), kLinkStatusFE);
    EXPECT_FALSE(h.sim().inSequence());
    EXPECT_EQ(h.sim().violations(), 0);

    // A write the keyboard refuses stays refused: busy is said only of work done.
    EXPECT_EQ(h.link().WriteMacroArea(piece), kLinkStatusFF);
    EXPECT_EQ(h.sim().violations(), 3);
}

TEST(FaultModes, MalformedReportsGetNoReplyOnlyInTheirMode) {
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent" : "default");
        SimHarness h(WithModes(silent ? "silent-malformed" : ""));
        DeviceCommand bad = DeviceCommand::Make(command_code::kReadSettings, kSettingsBlockSize);
        bad.bytes[command_field::kChecksum] ^= 1;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(StatusOf(h.link(), bad), silent ? -1 : kStatusRefused);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(h.sim().violations(), 3) << "each try is counted";
        // Three tries, then the link gives up: never longer than three waits.
        if (silent) {
            EXPECT_GE(took, 3 * test::FastLinkTimings().replyWait);
            EXPECT_LT(took, 3 * test::FastLinkTimings().replyWait + 500ms);
        }
        // A sound report is answered as ever.
        EXPECT_EQ(StatusOf(h.link(), DeviceCommand::Make(command_code::kReadSettings, kSettingsBlockSize)),
                  0);
    }
}

TEST(FaultModes, StrictReadsRefuseOnlyWhatRunsPastTheLightingArea) {
    for (const bool strict : {false, true}) {
        SCOPED_TRACE(strict ? "strict" : "default");
        SimHarness h(WithModes(strict ? "strict-reads" : ""));
        std::array<uint8_t, 56> out{};
        EXPECT_EQ(h.link().ReadLightingArea(84, out), strict ? kLinkStatusFF : kLinkOk);
        EXPECT_EQ(h.link().ReadLightingArea(84, std::span(out).first(42)), kLinkOk);
        EXPECT_EQ(out[0], h.sim().lighting()[84]);
        EXPECT_EQ(h.link().ReadLightingArea(70, out), kLinkOk) << "56 bytes that end at 126";
        EXPECT_EQ(h.sim().refusedReads(), strict ? 3 : 0);
        EXPECT_EQ(h.sim().violations(), 0) << "a refusal the program must cope with, not its fault";
    }
}

TEST(FaultModes, SwitchedAtRunTime) {
    SimHarness h;
    h.sim().SetFaultModes(Modes("busy-begin"));
    EXPECT_EQ(h.sim().faultModes(), Modes("busy-begin"));
    EXPECT_EQ(h.link().BeginSequence(), kLinkStatusFE);
    h.sim().SetFaultModes({});
    EXPECT_EQ(h.link().BeginSequence(), kLinkOk);
    // An injected fault goes before the standing modes.
    h.sim().SetFaultModes(Modes("busy-commit"));
    h.sim().InjectFault({sim::FaultKind::StatusFF, 3, 0, command_code::kEnd});
    EXPECT_EQ(h.link().EndSequence(), kLinkStatusFF);
    EXPECT_TRUE(h.sim().inSequence()) << "the refused end did nothing";
}

// The loader's request is checked byte for byte; only the exact one makes the keyboard leave.
TEST(FaultModes, BootLeavesAfterTheExactRequestOnly) {
    test::RecordingLinkEvents events;
    test::SimHarnessOptions o = WithModes("boot-leaves");
    o.events = &events;
    SimHarness h(o);
    events.Clear();

    DeviceCommand sealed = DeviceCommand::BootModeRequest();
    sealed.Seal();  // bytes 1 and 2 = DC 01
    EXPECT_EQ(h.sim().WriteOne(&kCtrlChannel.filter, sealed.bytes.data(), kCommandSize), 1);
    DeviceCommand tail = DeviceCommand::BootModeRequest();
    tail.bytes[63] = 1;
    EXPECT_EQ(h.sim().WriteOne(&kCtrlChannel.filter, tail.bytes.data(), kCommandSize), 1);
    EXPECT_EQ(h.sim().WriteOne(&kCtrlChannel.filter, DeviceCommand::BootModeRequest().bytes.data(), 63), 1);
    EXPECT_EQ(h.sim().bootModeRequests(), 0);
    EXPECT_TRUE(h.sim().attached());
    EXPECT_EQ(h.sim().violationReasons(),
              (std::vector<std::string>{"update-mode request: byte 1 is dc, not 00",
                                        "update-mode request: byte 63 is 01, not 00",
                                        "update-mode request of 63 bytes"}));

    EXPECT_EQ(h.link().RequestBootMode(), 1);
    EXPECT_EQ(h.sim().bootModeRequests(), 1);
    EXPECT_FALSE(h.sim().attached());
    const auto traffic = h.sim().traffic();
    EXPECT_EQ(traffic.back().direction, sim::TrafficDirection::Detach);
}

// The pause before the end of a write sequence, as the keyboard sees it.
TEST(FaultModes, TheGapBeforeEndIsMeasured) {
    for (const auto pause : {0ms, 50ms}) {
        SCOPED_TRACE(pause.count());
        test::SimHarnessOptions o;
        o.timings.endPause = pause;
        SimHarness h(o);
        EXPECT_FALSE(h.sim().GapBefore(command_code::kEnd));
        ASSERT_EQ(h.link().BeginSequence(), kLinkOk);
        ASSERT_EQ(h.link().EndSequence(), kLinkOk);
        const auto gap = h.sim().GapBefore(command_code::kEnd);
        ASSERT_TRUE(gap);
        if (pause > 0ms) {
            EXPECT_GE(*gap, pause);
        } else {
            EXPECT_LT(*gap, 50ms);
        }
    }
}

}  // namespace
}  // namespace vornak
