// The standing ways the simulated keyboard can be a harder peer than the default one: slower, stricter and
// closer to what real firmware may do. Each is off by default and switched by name: from a test
// (SimConfig::modes, KeyboardSimulator::SetFaultModes), from VORNAK_SIM_FAULTS, or by a "faults" line on the
// control FIFO.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vornak::sim {

struct FaultModes {
    bool lateCommit = false;       // late-commit: every end (2) is done, but answered lateCommitDelay later
    bool busyBegin = false;        // busy-begin: every begin (1) is done, but answered 0xFE
    bool busyMacro = false;        // busy-macro: every macro write (10) is done, but answered 0xFE
    bool busyCommit = false;       // busy-commit: every end (2) is done, but answered 0xFE
    bool silentMalformed = false;  // silent-malformed: a malformed report gets no reply instead of 0xFF
    bool strictReads = false;      // strict-reads: a read that runs past its area's end is refused (0xFF)
    bool bootLeaves = false;  // boot-leaves: once it accepts the update-mode request, the keyboard leaves
    std::chrono::milliseconds lateCommitDelay{1500};

    friend bool operator==(const FaultModes&, const FaultModes&) = default;
};

// A list of mode names separated by commas or blanks; "" and "none" switch every mode off. Nothing, with the
// unknown name in *error, when a name is not a mode.
std::optional<FaultModes> ParseFaultModes(std::string_view list, std::string* error);
// The names of the modes that are on, comma-separated; "none" when none is.
std::string FormatFaultModes(const FaultModes& modes);

}  // namespace vornak::sim
