// The simulated keyboard's traffic as the commands it carried: one decoder for every test that looks at what
// was sent, from the in-process simulator or from a traffic log written by the library.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <vector>

#include "porthub/sim/keyboard_simulator.h"

namespace vornak::test {

struct SentCommand {
    uint8_t code = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    std::vector<uint8_t>
        data;  // what a write carries (length bytes, at most 56); empty for the other commands

    friend bool operator==(const SentCommand&, const SentCommand&) = default;
};

// "code 6 length 1 offset 44 data 05", so that a failed comparison reads as the commands.
void PrintTo(const SentCommand& command, std::ostream* out);

SentCommand DecodeCommand(std::span<const uint8_t> report);
std::vector<SentCommand> CommandsSent(const sim::KeyboardSimulator& simulator);
// The OUT reports of a traffic log; a line that is not one of the log's fails the test.
std::vector<SentCommand> CommandsInLog(const std::filesystem::path& log);

int CountCode(const std::vector<SentCommand>& commands, uint8_t code);
std::vector<uint8_t> Codes(const std::vector<SentCommand>& commands);

}  // namespace vornak::test
