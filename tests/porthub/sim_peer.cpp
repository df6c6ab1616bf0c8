// A process that binds libPortHubSim as the program does and works the keyboard on command, one line in, one
// line out: the other process of the shared keyboard's tests. Commands: count, profile, set-profile N (0..2),
// begin, then finish-profile N (the settings written and the sequence ended), raise N (a PORTHUB_SIM_*
// event), events (what the link reported, comma-separated), quit.
#include <iostream>
#include <sstream>
#include <string>

#include "device/port_hub_api.h"
#include "device/port_hub_link.h"
#include "device/settings_block.h"
#include "porthub/sim/port_hub_sim.h"
#include "tests/support/sim_harness.h"

using namespace vornak;

int main(int, char** argv) {
    PortHubBindOptions options;
    options.libraryDir = std::filesystem::path(argv[0]).parent_path();
    options.simulate = true;
    auto bound = PortHubApi::Bind(options);
    if (bound.status != PortHubBindStatus::Bound) {
        std::cerr << bound.message << "\n";
        return 3;
    }
    SharedLibrary extras;
    if (!extras.Open(bound.api->file())) return 3;
    const auto raise = reinterpret_cast<int (*)(int)>(extras.Symbol("PortHubSimRaiseEvent"));
    const auto flush = reinterpret_cast<int (*)()>(extras.Symbol("PortHubSimFlush"));

    test::RecordingLinkEvents events;
    PortHubLink link(bound.api->functions(), test::FastLinkTimings());
    link.SetKeyboardLock(bound.api->MakeKeyboardLock());
    link.SetEvents(&events);
    link.state().mainWindowReady.store(true);
    if (!link.SetUpChannels()) return 3;
    link.DetectDevice();
    link.WaitForWorkers();
    events.Clear();
    std::cout << "ready" << std::endl;

    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        if (command == "quit") break;
        if (command == "count") {
            std::cout << link.GetDeviceCount() << std::endl;
        } else if (command == "profile") {
            SettingsBlock settings{};
            const int result = link.ReadSettings(settings);
            std::cout << (result == kLinkOk ? std::to_string(settings[settings_field::kActiveProfile])
                                            : "error " + std::to_string(result))
                      << std::endl;
        } else if (command == "set-profile") {
            int profile = 0;
            in >> profile;
            KeyboardHold hold(link);
            SettingsBlock settings{};
            int result = link.ReadSettings(settings);
            if (result == kLinkOk) {
                settings[settings_field::kActiveProfile] = static_cast<uint8_t>(profile);
                link.BeginSequence();
                result = link.WriteSettings(settings);
                const int end = link.EndSequence();
                if (result == kLinkOk) result = end;
            }
            std::cout << result << std::endl;
        } else if (command == "begin") {
            std::cout << link.BeginSequence() << std::endl;
        } else if (command == "finish-profile") {
            int profile = 0;
            in >> profile;
            SettingsBlock settings{};
            int result = link.ReadSettings(settings);
            settings[settings_field::kActiveProfile] = static_cast<uint8_t>(profile);
            if (result == kLinkOk) result = link.WriteSettings(settings);
            const int end = link.EndSequence();
            std::cout << (result == kLinkOk ? end : result) << std::endl;
        } else if (command == "raise") {
            int event = 0;
            in >> event;
            std::cout << raise(event) << std::endl;
        } else if (command == "events") {
            flush();
            link.WaitForWorkers();
            std::string all;
            for (const std::string& e : events.log())
                all += (all.empty() ? "" : ",") + e;
            std::cout << all << std::endl;
        } else {
            std::cout << "unknown" << std::endl;
        }
    }
    return 0;
}
