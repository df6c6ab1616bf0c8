// The simulated keyboard through the link: every command the program sends, against the firmware model.
#include <gtest/gtest.h>

#include <numeric>

#include "device/device_command.h"
#include "keyboard/key_table.h"
#include "platform/bytes.h"
#include "porthub/sim/control_fifo.h"
#include "tests/support/golden.h"
#include "tests/support/sim_harness.h"
#include "tests/support/temp_dir.h"
#include "tests/support/traffic.h"

namespace vornak {
namespace {

using test::SimHarness;

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(seed + i * 7);
    return v;
}

// The factory memory against tests/porthub/data/factory.state, a state file the simulator can start from:
// profile 0, 64 macro units, effects 1..18 and 20, the default lighting block (its 35 restorable bytes, then
// zeros) in every profile, each key block equal to the default layout, empty macro and colour areas.
TEST(Simulator, FactoryMemoryMatchesItsGoldenFile) {
    std::string error;
    const auto golden = sim::ParseState(test::ReadText(test::TestData("porthub/data/factory.state")), &error);
    ASSERT_TRUE(golden) << error;
    const sim::SimMemory m = sim::SimMemory::Factory();
    EXPECT_EQ(sim::Hex(m.settings), sim::Hex(golden->settings));
    EXPECT_EQ(sim::Hex(m.lighting), sim::Hex(golden->lighting));
    EXPECT_EQ(m.defaultLayout, golden->defaultLayout);
    EXPECT_EQ(m.keyBlocks, golden->keyBlocks);
    EXPECT_EQ(m.macro, golden->macro);
    EXPECT_EQ(m.keyColours, golden->keyColours);
    // The lighting block the keyboard starts with is the one "restore the default settings" writes.
    EXPECT_TRUE(std::equal(kDefaultLightingBytes.begin(), kDefaultLightingBytes.end(), m.lighting.begin()));
}

TEST(Simulator, DefaultLayoutFollowsTheKeyTable) {
    const sim::KeyBlock layout = sim::DefaultLayoutFromKeyTable();
    const auto at = [&](KeyCode key) {
        const uint8_t p = *KeyMatrixPosition(key);
        return std::array<uint8_t, 3>{layout[3 * p], layout[3 * p + 1], layout[3 * p + 2]};
    };
    EXPECT_EQ(at(0x01E), (std::array<uint8_t, 3>{2, 2, 0x04}));  // A: usage 4
    EXPECT_EQ(at(0x001), (std::array<uint8_t, 3>{2, 2, 0x29}));  // Esc
    EXPECT_EQ(at(0x01D), (std::array<uint8_t, 3>{2, 1, 0x01}));  // left Ctrl: modifier bit
    int withKey = 0;
    for (int p = 0; p < 126; ++p) {
        const std::array<uint8_t, 3> code{layout[3 * p], layout[3 * p + 1], layout[3 * p + 2]};
        if (code == std::array<uint8_t, 3>{}) continue;
        ++withKey;
        // Every code names a key that sits at this very position.
        const KeyCode key = HardwareCodeToKeyCode(code);
        ASSERT_NE(key, 0) << "position " << p;
        EXPECT_EQ(KeyMatrixPosition(key), p);
    }
    EXPECT_GT(withKey, 90);
}

TEST(Simulator, EveryCommandOfTheProgram) {
    SimHarness h;
    DeviceLink& link = h.link();

    SettingsBlock settings{};
    ASSERT_EQ(link.ReadSettings(settings), 1);
    EXPECT_EQ(settings[settings_field::kMacroUnits], 64);
    EXPECT_EQ(link.state().macroCapacity.load(), 8192u);  // the start-up detection read it

    KeyBlockBytes layout{};
    ASSERT_EQ(link.ReadDefaultLayout(layout), 1);
    EXPECT_TRUE(std::equal(layout.begin(), layout.end(), h.sim().defaultLayout().begin()));

    ASSERT_EQ(link.BeginSequence(), 1);
    settings[settings_field::kActiveProfile] = 2;
    ASSERT_EQ(link.WriteSettings(settings), 1);
    const std::vector<uint8_t> light = Pattern(35, 3);
    ASSERT_EQ(link.WriteLightingArea(42, light), 1);
    KeyBlockBytes block{};
    const std::vector<uint8_t> keys = Pattern(378, 9);
    std::copy(keys.begin(), keys.end(), block.begin());
    ASSERT_EQ(link.WriteKeyBlock(2, block), 1);
    const std::vector<uint8_t> macro = Pattern(300, 1);
    ASSERT_EQ(link.WriteMacroArea(macro), 1);
    const std::vector<uint8_t> colours = Pattern(30, 5);
    ASSERT_EQ(link.WriteKeyColours(static_cast<uint16_t>(10 * 3 + 512), colours), 1);
    ASSERT_EQ(link.EndSequence(), 1);

    // The memory holds what was written...
    EXPECT_EQ(ActiveProfileOf(h.sim().settings()), 2);
    const auto lighting = h.sim().lighting();
    EXPECT_TRUE(std::equal(light.begin(), light.end(), lighting.begin() + 42));
    EXPECT_EQ(h.sim().keyBlock(2), block);
    EXPECT_EQ(h.sim().keyBlock(1), h.sim().defaultLayout());
    const auto area = h.sim().macroArea();
    EXPECT_TRUE(std::equal(macro.begin(), macro.end(), area.begin()));
    EXPECT_EQ(area[300], 0);
    const auto kc = h.sim().keyColours();
    EXPECT_TRUE(std::equal(colours.begin(), colours.end(), kc.begin() + 542));

    // ...and reads give it back.
    KeyBlockBytes back{};
    ASSERT_EQ(link.ReadKeyBlock(2, back), 1);
    EXPECT_EQ(back, block);
    std::vector<uint8_t> macroBack(300);
    ASSERT_EQ(link.ReadMacroArea(macroBack), 1);
    EXPECT_EQ(macroBack, macro);
    std::array<uint8_t, 56> lightBack{};
    ASSERT_EQ(link.ReadLightingArea(84, lightBack), 1);  // runs past the area's end: zeros there
    EXPECT_TRUE(std::equal(lightBack.begin(), lightBack.begin() + 42, lighting.begin() + 84));
    EXPECT_EQ(lightBack[50], 0);
    EXPECT_EQ(h.sim().violations(), 0) << ::testing::PrintToString(h.sim().violationReasons());
}

TEST(Simulator, KeyBlockTravelsInSevenPieces) {
    SimHarness h;
    KeyBlockBytes block{};
    ASSERT_EQ(h.link().ReadKeyBlock(1, block), 1);
    const auto sent = test::CommandsSent(h.sim());
    ASSERT_EQ(sent.size(), 7u);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(sent[i],
                  (test::SentCommand{
                      7, static_cast<uint8_t>(i < 6 ? 56 : 42), static_cast<uint16_t>(378 + 56 * i), {}}));
}

TEST(Simulator, ProtocolViolationsAreCountedAndRefused) {
    SimHarness h;
    DeviceLink& link = h.link();
    // A write outside a begin / end sequence. The link tries a refused command three times, and each try is
    // counted.
    EXPECT_EQ(link.WriteSettings(h.sim().settings()), kLinkStatusFF);
    EXPECT_EQ(h.sim().violations(), 3);
    // Past the end of the macro area.
    ASSERT_EQ(link.BeginSequence(), 1);
    std::vector<uint8_t> tooMuch(8192 + 10);
    EXPECT_EQ(link.WriteMacroArea(tooMuch), kLinkStatusFF);
    EXPECT_EQ(h.sim().violations(), 6);
    // A bad checksum, an unknown command, a wrong report id.
    DeviceCommand c = DeviceCommand::Make(command_code::kReadSettings, 44);
    c.bytes[1] ^= 1;
    CommandBytes reply{};
    size_t got = 0;
    EXPECT_EQ(link.SendCommand(c.bytes, reply, &got), 1);
    EXPECT_EQ(reply[7], 0xFF);
    EXPECT_EQ(link.SendCommand(DeviceCommand::Make(12).bytes, reply, &got), 1);
    EXPECT_EQ(reply[7], 0xFF);
    c = DeviceCommand::Make(command_code::kBegin);
    c.bytes[0] = 5;
    EXPECT_EQ(link.SendCommand(c.bytes, reply, &got), 1);
    EXPECT_EQ(h.sim().violations(), 15);
    // A profile the keyboard does not have.
    SettingsBlock s = h.sim().settings();
    s[settings_field::kActiveProfile] = 3;
    EXPECT_EQ(link.WriteSettings(s), kLinkStatusFF);
    EXPECT_EQ(ActiveProfileOf(h.sim().settings()), 0);
    EXPECT_EQ(link.EndSequence(), 1);
    EXPECT_EQ(h.sim().violations(), 18);
}

TEST(SimulatorState, KeptBetweenRunsAndStableForTheSameMemory) {
    test::TempDir dir;
    const auto file = dir / "kx1.state";
    KeyBlockBytes block{};
    block.fill(0x42);
    {
        test::SimHarnessOptions o;
        o.config.stateFile = file;
        SimHarness h(std::move(o));
        ASSERT_EQ(h.link().BeginSequence(), 1);
        ASSERT_EQ(h.link().WriteKeyBlock(1, block), 1);
        ASSERT_EQ(h.link().EndSequence(), 1);
    }
    const std::string first = test::ReadText(file);
    sim::SimConfig config;
    config.stateFile = file;
    {
        sim::KeyboardSimulator again(config);
        EXPECT_EQ(again.keyBlock(1), block);
        EXPECT_EQ(again.keyBlock(0), again.defaultLayout());
        // Writing the same bytes again gives the same file.
        again.SetKeyBlock(1, again.keyBlock(1));
        EXPECT_TRUE(again.SaveState());
    }
    EXPECT_EQ(test::ReadText(file), first);
    const auto parsed = sim::ParseState(first, nullptr);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(sim::FormatState(*parsed), first);
}

TEST(SimulatorState, ABadFileIsReportedAndLeftAlone) {
    test::TempDir dir;
    const auto file = dir / "kx1.state";
    std::string text = sim::FormatState(sim::SimMemory::Factory());
    text.replace(text.find("macro ") + 6, 2, "zz");
    test::WriteText(file, text);
    std::string error;
    EXPECT_FALSE(sim::ParseState(text, &error));
    EXPECT_NE(error.find("bad hex"), std::string::npos) << error;
    {
        sim::SimConfig config;
        config.stateFile = file;
        sim::KeyboardSimulator s(config);
        EXPECT_EQ(s.memory(), sim::SimMemory::Factory());
        s.SetSettings(s.settings());
    }
    EXPECT_EQ(test::ReadText(file), text);

    EXPECT_FALSE(sim::ParseState("VORNAK-SIM-STATE 1\nsettings 00\n", &error));
    EXPECT_NE(error.find("wrong size"), std::string::npos) << error;
    EXPECT_FALSE(sim::ParseState("something else\n", &error));
    std::string noMacro = sim::FormatState(sim::SimMemory::Factory());
    noMacro.erase(noMacro.find("macro "), noMacro.find("colours ") - noMacro.find("macro "));
    EXPECT_FALSE(sim::ParseState(noMacro, &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

TEST(SimulatorTraffic, LinesAndControlWords) {
    sim::TrafficEntry e{1234, sim::TrafficDirection::Out, {0x04, 0xAB, 0x00}};
    EXPECT_EQ(sim::FormatTrafficLine(e), "1234 OUT 04ab00");
    e.direction = sim::TrafficDirection::Led;
    e.bytes = {0x05, 0x03};
    EXPECT_EQ(sim::FormatTrafficLine(e), "1234 LED 0503");
    e.direction = sim::TrafficDirection::Detach;
    EXPECT_EQ(sim::FormatTrafficLine(e), "1234 DETACH");

    // Read back, a log line gives the same entry; anything else is not taken for one.
    for (const sim::TrafficEntry& entry :
         {sim::TrafficEntry{0, sim::TrafficDirection::Out, {0x04, 0xAB}},
          sim::TrafficEntry{4294967295u, sim::TrafficDirection::Event, {0xFF, 0x02}},
          sim::TrafficEntry{7, sim::TrafficDirection::Attach, {}}}) {
        EXPECT_EQ(sim::ParseTrafficLine(sim::FormatTrafficLine(entry)), entry)
            << sim::FormatTrafficLine(entry);
    }
    EXPECT_EQ(sim::ParseTrafficLine("12 IN 0A0b\r")->bytes, (std::vector<uint8_t>{0x0A, 0x0B}));
    for (const char* bad : {"", "12", "12 OUT", "12 OUT 0", "12 OUT zz", "x1 OUT 00", " OUT 00", "12 out 00",
                            "12 DETACH 00", "4294967296 IN 00"})
        EXPECT_FALSE(sim::ParseTrafficLine(bad)) << bad;

    EXPECT_EQ(sim::ParseControlLine(" attach \r"), sim::SimEvent::Attach);
    EXPECT_EQ(sim::ParseControlLine("macro-start"), sim::SimEvent::MacroStart);
    EXPECT_EQ(sim::ParseControlLine("macro-stop"), sim::SimEvent::MacroStop);
    EXPECT_EQ(sim::ParseControlLine("lighting-changed"), sim::SimEvent::SettingsChanged);
    EXPECT_EQ(sim::ParseControlLine("layer"), sim::SimEvent::LayerSwitch);
    EXPECT_EQ(sim::ParseControlLine("detach"), sim::SimEvent::Detach);
    EXPECT_FALSE(sim::ParseControlLine("Attach"));
    EXPECT_FALSE(sim::ParseControlLine(""));
}

TEST(SimulatorTraffic, InMemoryLogOfASession) {
    SimHarness h;
    SettingsBlock s{};
    ASSERT_EQ(h.link().ReadSettings(s), 1);
    h.sim().Raise(sim::SimEvent::Detach);
    h.sim().WaitUntilDelivered();
    const auto t = h.sim().traffic();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].direction, sim::TrafficDirection::Out);
    EXPECT_EQ(t[1].direction, sim::TrafficDirection::In);
    EXPECT_EQ(t[1].bytes.size(), 64u);
    EXPECT_EQ(t[1].bytes[command_field::kData + settings_field::kMacroUnits], 64);
    EXPECT_EQ(t[2].direction, sim::TrafficDirection::Detach);
}

TEST(SimulatorFilter, EachMatchBitComparesOneField) {
    sim::KeyboardSimulator s;
    PortHubDeviceFilter f = kCtrlChannel.filter;
    EXPECT_EQ(s.GetDeviceCount(&f), 1);
    // A wrong field is ignored exactly when its bit is clear.
    const std::pair<uint16_t PortHubDeviceFilter::*, uint32_t> fields[] = {
        {&PortHubDeviceFilter::vendorId, PORTHUB_MATCH_VENDOR},
        {&PortHubDeviceFilter::productId, PORTHUB_MATCH_PRODUCT},
        {&PortHubDeviceFilter::usagePage, PORTHUB_MATCH_USAGE_PAGE},
        {&PortHubDeviceFilter::usage, PORTHUB_MATCH_USAGE}};
    for (const auto& [member, bit] : fields) {
        f = kCtrlChannel.filter;
        f.*member = 0x1234;
        EXPECT_EQ(s.GetDeviceCount(&f), 0) << bit;
        f.matchMask &= ~bit;
        EXPECT_EQ(s.GetDeviceCount(&f), 1) << bit;
    }
    // Nothing compared: the keyboard answers any filter.
    f = PortHubDeviceFilter{0, 1, 2, 3, 4, 0};
    EXPECT_EQ(s.GetDeviceCount(&f), 1);
    // A filter naming the LED collection reaches the LED report, one naming CTRL does not.
    const uint8_t led[2] = {0x05, 0x03};
    EXPECT_EQ(s.StatusWrite(&kLedChannel.filter, nullptr, 0, led, 2, nullptr), 2);
    EXPECT_EQ(s.StatusWrite(&kCtrlChannel.filter, nullptr, 0, led, 2, nullptr), 0);
    EXPECT_EQ(s.ledStatus(), (std::array<uint8_t, 2>{0x05, 0x03}));
}

TEST(SimulatorControl, AFileInTheWayIsNamed) {
    test::TempDir dir;
    test::WriteText(dir / "plain", "x");
    sim::KeyboardSimulator s;
    sim::ControlFifo fifo(s, dir / "plain");
    EXPECT_FALSE(fifo.ok());
    EXPECT_NE(fifo.error().find("plain"), std::string::npos);
}

}  // namespace
}  // namespace vornak
