// libPortHubSim bound by name and driven through the twelve exports, as the program drives it; and the
// binding's distinct failures.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <regex>

#include "device/port_hub_api.h"
#include "device/port_hub_link.h"
#include "porthub/sim/port_hub_sim.h"
#include "tests/support/sim_harness.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using test::BinDir;

PortHubBindOptions Forced(const std::filesystem::path& library) {
    PortHubBindOptions o;
    o.env = [library](const char* name) -> std::optional<std::string> {
        if (std::string_view(name) == "VORNAK_PORTHUB") return library.string();
        return std::nullopt;
    };
    return o;
}

std::filesystem::path Lib(const char* name) {
    return BinDir() / SharedLibrary::FileNameFor(name);
}

TEST(PortHubBinding, FailuresAreDistinct) {
    auto missing = PortHubApi::Bind(Forced("/nonexistent/libPortHub.so"));
    EXPECT_EQ(missing.status, PortHubBindStatus::LibraryMissing);
    EXPECT_NE(missing.message.find("/nonexistent/libPortHub.so"), std::string::npos) << missing.message;
    EXPECT_EQ(missing.api, nullptr);

    auto incomplete = PortHubApi::Bind(Forced(Lib("PortHubIncomplete")));
    EXPECT_EQ(incomplete.status, PortHubBindStatus::ExportMissing);
    EXPECT_NE(incomplete.message.find("RequestStatusGet"), std::string::npos) << incomplete.message;

    auto notReady = PortHubApi::Bind(Forced(Lib("PortHubNoInit")));
    EXPECT_EQ(notReady.status, PortHubBindStatus::InitFailed);
    EXPECT_NE(notReady.message.find("Init returned 0"), std::string::npos) << notReady.message;
}

template <typename Fn>
Fn Extra(const SharedLibrary& library, const char* name) {
    return reinterpret_cast<Fn>(library.Symbol(name));
}

// One test drives the library: its simulator is made once per process, from the environment of the first
// call.
TEST(PortHubSimLibrary, DrivenThroughTheExports) {
    test::TempDir dir;
    const auto log = dir / "traffic.log";
    const auto state = dir / "keyboard.state";
    const auto fifo = dir / "control";
    ::setenv("VORNAK_SIM_LOG", log.c_str(), 1);
    ::setenv("VORNAK_SIM_STATE", state.c_str(), 1);
    ::setenv("VORNAK_SIM_CONTROL", fifo.c_str(), 1);
    ::setenv("VORNAK_SIM_FAULTS", "strict-reads", 1);

    // By name, beside the program, as --simulate binds it.
    PortHubBindOptions options;
    options.libraryDir = BinDir();
    options.simulate = true;
    options.env = [](const char*) { return std::optional<std::string>(); };
    auto bound = PortHubApi::Bind(options);
    ASSERT_EQ(bound.status, PortHubBindStatus::Bound) << bound.message;
    EXPECT_EQ(bound.api->file(), BinDir() / SharedLibrary::FileNameFor("PortHubSim"));

    SharedLibrary extras;
    ASSERT_TRUE(extras.Open(bound.api->file()));
    const auto raise = Extra<int (*)(int)>(extras, "PortHubSimRaiseEvent");
    const auto fault = Extra<int (*)(int, int, int, int, int)>(extras, "PortHubSimInjectFault");
    const auto violations = Extra<int (*)()>(extras, "PortHubSimViolationCount");
    const auto flush = Extra<int (*)()>(extras, "PortHubSimFlush");
    ASSERT_TRUE(raise && fault && violations && flush);

    test::RecordingLinkEvents events;
    {
        PortHubLink link(bound.api->functions(), test::FastLinkTimings());
        link.SetEvents(&events);
        link.state().mainWindowReady.store(true);
        ASSERT_TRUE(link.SetUpChannels());
        EXPECT_EQ(link.DetectDevice(), 1);
        link.WaitForWorkers();
        EXPECT_EQ(link.state().macroCapacity.load(), 8192u);

        SettingsBlock settings{};
        ASSERT_EQ(link.ReadSettings(settings), kLinkOk);
        KeyBlockBytes block{};
        ASSERT_EQ(link.ReadKeyBlock(0, block), kLinkOk);
        block[0] = 0x05;
        block[1] = 0x02;
        block[2] = 0x00;
        ASSERT_EQ(link.BeginSequence(), kLinkOk);
        ASSERT_EQ(link.WriteKeyBlock(0, block), kLinkOk);
        ASSERT_EQ(link.EndSequence(), kLinkOk);
        KeyBlockBytes back{};
        ASSERT_EQ(link.ReadKeyBlock(0, back), kLinkOk);
        EXPECT_EQ(back, block);

        events.Clear();
        EXPECT_EQ(raise(PORTHUB_SIM_LAYER_SWITCH), 1);
        flush();
        ASSERT_TRUE(events.WaitForCount(1));
        // The control FIFO, as another process would write it.
        {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            ASSERT_GE(fd, 0);
            const std::string lines = "layer\nnonsense\nlighting-changed\n";
            ASSERT_EQ(::write(fd, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
            ::close(fd);
        }
        ASSERT_TRUE(events.WaitForCount(3));
        EXPECT_EQ(events.log(), (std::vector<std::string>{"led B", "led A", "lighting-changed"}));

        // The fault modes: strict reads from the environment, then others from the FIFO; each "layer" line
        // marks when the line before it has been handled.
        const auto control = [&](const std::string& lines) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::write(fd, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
            ::close(fd);
        };
        std::array<uint8_t, 56> light{};
        EXPECT_EQ(link.ReadLightingArea(84, light), kLinkStatusFF);
        EXPECT_EQ(link.ReadLightingArea(84, std::span(light).first(42)), kLinkOk);
        control("faults busy-commit\nlayer\n");
        ASSERT_TRUE(events.WaitForCount(4));
        EXPECT_EQ(link.ReadLightingArea(84, light), kLinkOk) << "the FIFO's line replaced the modes";
        EXPECT_EQ(link.BeginSequence(), kLinkOk);
        EXPECT_EQ(link.EndSequence(), kLinkStatusFE);
        control("faults bogus\nfaults none\nlayer\n");
        ASSERT_TRUE(events.WaitForCount(5));
        EXPECT_EQ(link.BeginSequence(), kLinkOk);
        EXPECT_EQ(link.EndSequence(), kLinkOk);

        EXPECT_EQ(fault(PORTHUB_SIM_FAULT_STATUS_FE, 3, 0, 1, 0), 1);
        EXPECT_EQ(link.BeginSequence(), kLinkStatusFE);
        EXPECT_EQ(fault(99, 1, 0, 0, 0), 0);
        EXPECT_EQ(violations(), 0);
        flush();
    }

    // The traffic log reads as its format says.
    std::ifstream in(log);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line))
        lines.push_back(line);
    ASSERT_GT(lines.size(), 20u);
    const std::regex format("^[0-9]+ ((OUT|IN|EVT|LED) [0-9a-f]+|ATTACH|DETACH)$");
    long last = -1;
    int outs = 0, ins = 0, evts = 0, leds = 0;
    for (const std::string& l : lines) {
        ASSERT_TRUE(std::regex_match(l, format)) << l;
        const long ms = std::stol(l);
        EXPECT_GE(ms, last);
        last = ms;
        outs += l.find(" OUT ") != std::string::npos;
        ins += l.find(" IN ") != std::string::npos;
        evts += l.find(" EVT ") != std::string::npos;
        leds += l.find(" LED ") != std::string::npos;
    }
    EXPECT_EQ(outs, ins);  // every report answered
    EXPECT_EQ(evts, 5);
    EXPECT_EQ(leds, 4);
    // The first exchange: the default layout's first piece (checksum 0x0047, code 15, 56 bytes from 0), then
    // its reply.
    EXPECT_NE(lines[0].find(" OUT 04"), std::string::npos);
    EXPECT_EQ(lines[0].substr(lines[0].find(" OUT ") + 5, 14), "0447000f380000");
    EXPECT_EQ(lines[0].size() - lines[0].find(" OUT ") - 5, 128u);
    EXPECT_NE(lines[1].find(" IN 04"), std::string::npos);

    // The write sequence's end kept the memory.
    std::ifstream st(state);
    std::getline(st, line);
    EXPECT_EQ(line, "VORNAK-SIM-STATE 1");
}

}  // namespace
}  // namespace vornak
