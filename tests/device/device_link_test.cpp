// The command/reply exchange and its wrappers, against the simulated keyboard and its faults.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "device/device_command.h"
#include "device/port_hub_link.h"
#include "platform/bytes.h"
#include "tests/support/sim_harness.h"
#include "tests/support/traffic.h"

namespace vornak {
namespace {

using namespace std::chrono_literals;
using sim::Fault;
using sim::FaultKind;
using test::SimHarness;
using test::SimHarnessOptions;

int CountOut(const sim::KeyboardSimulator& s, uint8_t code) {
    return test::CountCode(test::CommandsSent(s), code);
}

SimHarnessOptions WithReplyWait(std::chrono::milliseconds wait) {
    SimHarnessOptions o;
    o.timings.replyWait = wait;
    return o;
}

// ---- records

TEST(DeviceCommand, LayoutAndChecksum) {
    const std::array<uint8_t, 3> data{0xAA, 0xBB, 0xCC};
    const DeviceCommand c = DeviceCommand::Make(7, 56, 0x1234, data);
    EXPECT_EQ(c.bytes[0], 0x04);
    EXPECT_EQ(c.bytes[3], 7);
    EXPECT_EQ(c.bytes[4], 56);
    EXPECT_EQ(c.bytes[5], 0x34);
    EXPECT_EQ(c.bytes[6], 0x12);
    EXPECT_EQ(c.bytes[7], 0);
    EXPECT_EQ(c.bytes[8], 0xAA);
    EXPECT_EQ(c.bytes[10], 0xCC);
    EXPECT_EQ(c.bytes[11], 0);
    const unsigned sum = 7 + 56 + 0x34 + 0x12 + 0xAA + 0xBB + 0xCC;
    EXPECT_EQ(ReadLe16(c.bytes, 1), sum);
    EXPECT_TRUE(c.ChecksumValid());
    // More than 56 data bytes are cut, never written past the report.
    std::vector<uint8_t> big(80, 1);
    const DeviceCommand cut = DeviceCommand::Make(10, 56, 0, big);
    EXPECT_EQ(ReadLe16(cut.bytes, 1), 10 + 56 + 56);
}

TEST(DeviceCommand, StatusByteMapsToResults) {
    CommandBytes reply{};
    EXPECT_EQ(ReplyStatusResult(reply), kLinkOk);
    reply[7] = 0xFF;
    EXPECT_EQ(ReplyStatusResult(reply), kLinkStatusFF);
    reply[7] = 0xFE;
    EXPECT_EQ(ReplyStatusResult(reply), kLinkStatusFE);
    EXPECT_EQ(ReplyStatusResult(std::span(reply).first(7)), kLinkOk);  // too short to say
}

TEST(RequestId, TableAndSum) {
    const std::array<uint8_t, 16> first{253, 134, 209, 202, 219, 213, 204, 94,
                                        2,   14,  224, 182, 169, 247, 109, 168};
    EXPECT_TRUE(std::equal(first.begin(), first.end(), kRequestIdTable.begin()));
    std::array<int, 256> seen{};
    for (const uint8_t v : kRequestIdTable)
        ++seen[v];
    for (const int n : seen)
        EXPECT_EQ(n, 1);

    const std::array<uint8_t, 16> ctrl{0x0F, 0,    0,    0, 0x45, 0x0C, 0x04, 0x50,
                                       0x1C, 0xFF, 0x92, 0, 0,    0,    0,    0};
    EXPECT_EQ(FilterBytes(kCtrlChannel.filter), ctrl);
    uint32_t expected = 8 * kRequestIdTable[0];  // no callback, no tag
    for (const uint8_t b : ctrl)
        expected += kRequestIdTable[b];
    EXPECT_EQ(RequestId(kCtrlChannel.filter, nullptr, 0), expected);
    // The tag goes in as stored: 'CTRL' is the bytes 4C 52 54 43.
    const uint32_t tagged = RequestId(kCtrlChannel.filter, nullptr, kTagCtrl);
    EXPECT_EQ(tagged, expected - 4 * kRequestIdTable[0] + kRequestIdTable[0x4C] + kRequestIdTable[0x52] +
                          kRequestIdTable[0x54] + kRequestIdTable[0x43]);
    const std::array<uint8_t, 2> led{0x05, 0x02};
    EXPECT_EQ(RequestId(kCtrlChannel.filter, nullptr, 0, led),
              expected + kRequestIdTable[5] + kRequestIdTable[2]);
}

// ---- SendCommand

TEST(SendCommand, MismatchedCommandByteIsResent) {
    SimHarness h;
    h.sim().InjectFault(Fault{FaultKind::WrongCommand, 2});
    SettingsBlock s{};
    EXPECT_EQ(h.link().ReadSettings(s), kLinkOk);
    EXPECT_EQ(CountOut(h.sim(), 3), 3);
    EXPECT_EQ(s[11], 64);
}

TEST(SendCommand, ThirdMismatchGivesMinusTwo) {
    SimHarness h;
    h.sim().InjectFault(Fault{FaultKind::WrongCommand, 3});
    SettingsBlock s{};
    EXPECT_EQ(h.link().ReadSettings(s), kLinkNoReply);
    EXPECT_EQ(CountOut(h.sim(), 3), 3);
}

TEST(SendCommand, TimeoutsAreRetriedThenGiveMinusTwo) {
    SimHarness h(WithReplyWait(40ms));
    h.sim().InjectFault(Fault{FaultKind::NoReply, 1});
    EXPECT_EQ(h.link().BeginSequence(), kLinkOk);
    EXPECT_EQ(CountOut(h.sim(), 1), 2);

    h.sim().ClearTraffic();
    h.sim().InjectFault(Fault{FaultKind::NoReply, 3});
    EXPECT_EQ(h.link().BeginSequence(), kLinkNoReply);
    EXPECT_EQ(CountOut(h.sim(), 1), 3);
}

TEST(SendCommand, ReplyLongerThanTheCapacityIsCut) {
    SimHarness h;
    std::array<uint8_t, 12> reply{};
    reply.fill(0xEE);
    std::array<uint8_t, 20> big{};
    big.fill(0xEE);
    size_t received = 99;
    const DeviceCommand c = DeviceCommand::Make(command_code::kReadSettings, 44);
    ASSERT_EQ(h.link().SendCommand(c.bytes, std::span(reply).first(10), &received), kLinkOk);
    EXPECT_EQ(received, 10u);
    EXPECT_EQ(reply[3], 3);
    EXPECT_EQ(reply[8], 0);      // settings byte 0
    EXPECT_EQ(reply[10], 0xEE);  // past the capacity: untouched
    ASSERT_EQ(h.link().SendCommand(c.bytes, big, &received), kLinkOk);
    EXPECT_EQ(received, 20u);
    EXPECT_EQ(big[command_field::kData + settings_field::kMacroUnits], 64);
    // A capacity of nothing still gets the checks.
    ASSERT_EQ(h.link().SendCommand(c.bytes, {}, &received), kLinkOk);
    EXPECT_EQ(received, 0u);
}

TEST(SendCommand, NoKeyboardGivesZeroAtOnceWithoutWriting) {
    SimHarness h(SimHarness::NoKeyboard());
    DeviceLink& link = h.link();
    SettingsBlock s{};
    KeyBlockBytes block{};
    std::array<uint8_t, 56> light{};
    std::vector<uint8_t> macro(100);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.GetDeviceCount(), 0);
    EXPECT_EQ(link.BeginSequence(), kLinkNoDevice);
    EXPECT_EQ(link.EndSequence(), kLinkNoDevice);
    EXPECT_EQ(link.ReadSettings(s), kLinkNoDevice);
    EXPECT_EQ(link.WriteSettings(s), kLinkNoDevice);
    EXPECT_EQ(link.ReadLightingArea(0, light), kLinkNoDevice);
    EXPECT_EQ(link.WriteLightingArea(0, light), kLinkNoDevice);
    EXPECT_EQ(link.ReadKeyBlock(0, block), kLinkNoDevice);
    EXPECT_EQ(link.WriteKeyBlock(1, block), kLinkNoDevice);
    EXPECT_EQ(link.ReadMacroArea(macro), kLinkNoDevice);
    EXPECT_EQ(link.WriteMacroArea(macro), kLinkNoDevice);
    EXPECT_EQ(link.ReadDefaultLayout(block), kLinkNoDevice);
    EXPECT_EQ(link.WriteKeyColours(0, light), kLinkNoDevice);
    EXPECT_EQ(link.RequestBootMode(), kLinkNoDevice);
    // Far below one reply wait.
    EXPECT_LT(std::chrono::steady_clock::now() - start, h.portHubLink().timings().replyWait);
    EXPECT_TRUE(h.sim().commandsSent().empty());
}

TEST(SendCommand, StatusFEThreeTimesIsOneAndTheWrapperSaysMinus103) {
    SimHarness h;
    h.sim().InjectFault(Fault{FaultKind::StatusFE, 3});
    CommandBytes reply{};
    size_t received = 0;
    EXPECT_EQ(h.link().SendCommand(DeviceCommand::Make(command_code::kBegin).bytes, reply, &received),
              kLinkOk);
    EXPECT_EQ(received, 64u);
    EXPECT_EQ(reply[7], 0xFE);
    EXPECT_EQ(CountOut(h.sim(), 1), 3);

    h.sim().InjectFault(Fault{FaultKind::StatusFE, 3});
    EXPECT_EQ(h.link().BeginSequence(), kLinkStatusFE);
    h.sim().InjectFault(Fault{FaultKind::StatusFF, 3});
    EXPECT_EQ(h.link().BeginSequence(), kLinkStatusFF);
    // A busy keyboard that recovers within the tries.
    h.sim().InjectFault(Fault{FaultKind::StatusFE, 2});
    EXPECT_EQ(h.link().BeginSequence(), kLinkOk);
    EXPECT_EQ(h.link().EndSequence(), kLinkOk);
}

TEST(SendCommand, ATimeoutCountsAsATryBeforeAStatusRetry) {
    SimHarness h(WithReplyWait(40ms));
    h.sim().InjectFault(Fault{FaultKind::NoReply, 1});
    h.sim().InjectFault(Fault{FaultKind::StatusFE, 5});
    EXPECT_EQ(h.link().BeginSequence(), kLinkStatusFE);
    EXPECT_EQ(CountOut(h.sim(), 1), 3);
}

TEST(SendCommand, RefusedWriteGivesMinusOne) {
    sim::KeyboardSimulator keyboard;
    sim::SetActiveSimulator(&keyboard);
    PortHubFunctions api = sim::SimulatorFunctions();
    api.RequestWriteOne = [](const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int,
                             uint32_t, int*) { return 0; };
    {
        PortHubLink link(api, test::FastLinkTimings());
        ASSERT_TRUE(link.SetUpChannels());
        EXPECT_EQ(link.BeginSequence(), kLinkWriteRefused);
        KeyBlockBytes block{};
        EXPECT_EQ(link.ReadKeyBlock(0, block), kLinkWriteRefused);
        EXPECT_EQ(link.RequestBootMode(), 0);
    }
    sim::SetActiveSimulator(nullptr);
}

// A reply that comes after its caller stopped waiting is dropped: it neither touches the caller's buffer nor
// satisfies the next exchange.
TEST(SendCommand, LateReplyNeverReachesAnAbandonedBufferOrTheNextCaller) {
    // Waits long enough that a loaded machine answers the exchanges in between in time; the late replies come
    // well after the caller gave up on all three tries.
    SimHarness h(WithReplyWait(100ms));
    h.sim().InjectFault(Fault{FaultKind::LateReply, 3, 0, command_code::kReadSettings, 700ms});
    CommandBytes reply{};
    reply.fill(0xAB);
    size_t received = 7;
    const DeviceCommand settings = DeviceCommand::Make(command_code::kReadSettings, 44);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(h.link().SendCommand(settings.bytes, reply, &received), kLinkNoReply);
    EXPECT_EQ(received, 0u);
    // Other exchanges run while the three late replies arrive.
    const KeyBlockBytes expected = h.sim().defaultLayout();
    while (std::chrono::steady_clock::now() - start < 1200ms) {
        KeyBlockBytes layout{};
        ASSERT_EQ(h.link().ReadDefaultLayout(layout), kLinkOk);
        ASSERT_EQ(layout, expected);
    }
    h.sim().WaitUntilDelivered();
    for (const uint8_t b : reply)
        ASSERT_EQ(b, 0xAB);
    h.sim().ClearTraffic();
    CommandBytes begin{};
    EXPECT_EQ(h.link().SendCommand(DeviceCommand::Make(command_code::kBegin).bytes, begin, &received),
              kLinkOk);
    EXPECT_EQ(begin[3], 1);
    EXPECT_EQ(CountOut(h.sim(), 1), 1);  // its own reply, on the first try
}

// Callers are meant to run one exchange at a time; when two threads overlap anyway the guard lets the second
// take the slot over, and whatever either gets is a reply to its own command.
TEST(SendCommand, OverlappingExchangesStayConsistent) {
    SimHarnessOptions o;
    o.config.latency = 2ms;
    SimHarness h(std::move(o));
    std::atomic<int> wrong{0};
    std::atomic<int> ok{0};
    const SettingsBlock expectedSettings = h.sim().settings();
    std::array<uint8_t, 56> expectedLighting{};
    const auto area = h.sim().lighting();
    std::copy_n(area.begin(), 56, expectedLighting.begin());
    std::thread a([&] {
        for (int i = 0; i < 15; ++i) {
            SettingsBlock s{};
            const int r = h.link().ReadSettings(s);
            if (r == kLinkOk) ++ok, wrong += s != expectedSettings;
        }
    });
    std::thread b([&] {
        for (int i = 0; i < 15; ++i) {
            // One piece at one offset: every reply of this command is the same.
            std::array<uint8_t, 56> l{};
            const int r = h.link().ReadLightingArea(0, l);
            if (r == kLinkOk) ++ok, wrong += l != expectedLighting;
        }
    });
    a.join();
    b.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(ok.load(), 0);
}

TEST(SendCommand, ShutdownEndsAWaitingExchange) {
    SimHarness h(WithReplyWait(5000ms));
    h.sim().InjectFault(Fault{FaultKind::NoReply, 3});
    std::atomic<int> result{99};
    const auto start = std::chrono::steady_clock::now();
    std::thread caller([&] { result = h.link().BeginSequence(); });
    while (h.sim().commandsSent().empty())
        std::this_thread::sleep_for(1ms);
    h.portHubLink().BeginShutdown();
    caller.join();
    EXPECT_EQ(result.load(), kLinkNoDevice);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);
    EXPECT_EQ(h.link().BeginSequence(), kLinkNoDevice);
    EXPECT_EQ(h.sim().commandsSent().size(), 1u);
}

// ---- wrappers and multi-piece transfers

TEST(Wrappers, KeyBlockIndexAboveTwoIsRefusedWithoutTraffic) {
    SimHarness h;
    KeyBlockBytes block{};
    EXPECT_EQ(h.link().ReadKeyBlock(3, block), kLinkBadIndex);
    EXPECT_EQ(h.link().WriteKeyBlock(3, block), kLinkBadIndex);
    EXPECT_EQ(h.link().ReadKeyBlock(-1, block), kLinkBadIndex);
    EXPECT_TRUE(h.sim().commandsSent().empty());
}

TEST(Wrappers, FirstFailingPieceEndsTheTransfer) {
    SimHarness h;
    ASSERT_EQ(h.link().BeginSequence(), kLinkOk);
    h.sim().InjectFault(Fault{FaultKind::StatusFF, 3, 2, command_code::kWriteKeyBlock});
    KeyBlockBytes block{};
    block.fill(0x11);
    EXPECT_EQ(h.link().WriteKeyBlock(0, block), kLinkStatusFF);
    EXPECT_EQ(CountOut(h.sim(), 8), 2 + 3);  // two pieces, then three tries of the third
    const sim::KeyBlock stored = h.sim().keyBlock(0);
    EXPECT_EQ(stored[111], 0x11);
    EXPECT_NE(stored[112], 0x11);  // the third piece never landed
    EXPECT_EQ(h.link().EndSequence(), kLinkOk);
}

TEST(Wrappers, RemovalDuringATransferEndsItWithoutWaiting) {
    SimHarness h(WithReplyWait(5000ms));
    h.sim().InjectFault(Fault{FaultKind::Detach, 1, 3, command_code::kReadKeyBlock});
    KeyBlockBytes block{};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(h.link().ReadKeyBlock(1, block), kLinkNoDevice);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);
    EXPECT_EQ(CountOut(h.sim(), 7), 4);
    // The keyboard is gone: the next commands return at once, unwritten.
    EXPECT_EQ(h.link().WriteKeyBlock(0, block), kLinkNoDevice);
    EXPECT_EQ(CountOut(h.sim(), 8), 0);
    h.sim().WaitUntilDelivered();
    h.portHubLink().WaitForWorkers();
    EXPECT_EQ(h.link().state().devicePresent.load(), 0);
}

TEST(Wrappers, MacroAreaInPiecesUpToItsEnd) {
    SimHarness h;
    std::vector<uint8_t> data(8192);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 31 + 7);
    ASSERT_EQ(h.link().BeginSequence(), kLinkOk);
    ASSERT_EQ(h.link().WriteMacroArea(data), kLinkOk);
    ASSERT_EQ(h.link().EndSequence(), kLinkOk);
    EXPECT_EQ(h.sim().macroArea(), data);
    std::vector<uint8_t> back(8192);
    ASSERT_EQ(h.link().ReadMacroArea(back), kLinkOk);
    EXPECT_EQ(back, data);
    const auto last = test::CommandsSent(h.sim()).back();
    EXPECT_EQ(last.length, 8192 % 56);  // the last piece is the remainder
    EXPECT_EQ(last.offset, 8192 - 8192 % 56);
    EXPECT_EQ(h.sim().violations(), 0);
    // An area the 16-bit offsets cannot address is refused before anything is sent.
    h.sim().ClearTraffic();
    std::vector<uint8_t> huge(0x10001);
    EXPECT_EQ(h.link().ReadMacroArea(huge), kLinkBadIndex);
    EXPECT_TRUE(h.sim().commandsSent().empty());
}

TEST(Wrappers, BootModeIsSentWithoutWaiting) {
    SimHarness h(WithReplyWait(5000ms));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(h.link().RequestBootMode(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    // Report id, no checksum, 0xEE twice, and nothing else.
    std::vector<uint8_t> expected(64, 0);
    expected[0] = 0x04;
    expected[3] = 0xEE;
    expected[4] = 0xEE;
    const auto sent = h.sim().commandsSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], expected);
    EXPECT_EQ(h.sim().bootModeRequests(), 1);
    EXPECT_EQ(h.sim().violations(), 0);
}

// A whole session as the program runs it: register, read settings, read all key blocks, write and read back.
TEST(Session, CleanProtocol) {
    SimHarness h;
    DeviceLink& link = h.link();
    SettingsBlock settings{};
    ASSERT_EQ(link.ReadSettings(settings), kLinkOk);
    std::array<KeyBlockBytes, 3> blocks{};
    for (int p = 0; p < 3; ++p)
        ASSERT_EQ(link.ReadKeyBlock(p, blocks[p]), kLinkOk);
    for (int p = 0; p < 3; ++p)
        blocks[p][3 * p] ^= 0x5A;
    ASSERT_EQ(link.BeginSequence(), kLinkOk);
    for (int p = 0; p < 3; ++p)
        ASSERT_EQ(link.WriteKeyBlock(p, blocks[p]), kLinkOk);
    settings[settings_field::kActiveProfile] = 1;
    ASSERT_EQ(link.WriteSettings(settings), kLinkOk);
    ASSERT_EQ(link.EndSequence(), kLinkOk);
    for (int p = 0; p < 3; ++p) {
        KeyBlockBytes back{};
        ASSERT_EQ(link.ReadKeyBlock(p, back), kLinkOk);
        EXPECT_EQ(back, blocks[p]);
    }
    ASSERT_EQ(link.ReadSettings(settings), kLinkOk);
    EXPECT_EQ(ActiveProfileOf(settings), 1);
    EXPECT_FALSE(h.sim().inSequence());
    EXPECT_EQ(h.sim().violations(), 0) << ::testing::PrintToString(h.sim().violationReasons());
}

}  // namespace
}  // namespace vornak
