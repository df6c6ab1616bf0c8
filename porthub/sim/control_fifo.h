// The simulator's control FIFO: another process (the command-line tool, a script) writes lines to it to plug
// the simulated keyboard in or out or to raise its events: attach, detach, layer, macro-start, macro-stop,
// lighting-changed; and "faults <modes>" to set the standing fault modes ("faults none" ends them).
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "porthub/sim/keyboard_simulator.h"

namespace vornak::sim {

// The event of one control line (blanks around it ignored); nothing for an unknown line.
std::optional<SimEvent> ParseControlLine(std::string_view line);
// The modes of a "faults" line; nothing for any other line, and also for a faults line naming an unknown
// mode, which *error then names.
std::optional<FaultModes> ParseFaultsLine(std::string_view line, std::string* error);

class ControlFifo {
  public:
    // What a control line does to the keyboard.
    struct Target {
        std::function<void(SimEvent)> raise;
        std::function<void(const FaultModes&)> setFaultModes;
    };
    // Creates the FIFO when it does not exist and starts reading it.
    ControlFifo(KeyboardSimulator& simulator, std::filesystem::path path);
    ControlFifo(Target target, std::filesystem::path path);
    ~ControlFifo();
    ControlFifo(const ControlFifo&) = delete;
    ControlFifo& operator=(const ControlFifo&) = delete;

    bool ok() const { return error_.empty(); }
    // Names the FIFO and the problem.
    const std::string& error() const { return error_; }

  private:
    void Run();
    void Handle(std::string_view line);

    Target target_;
    std::filesystem::path path_;
    std::string error_;
    int fd_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
};

}  // namespace vornak::sim
