#include "tests/support/traffic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "device/device_command.h"
#include "platform/bytes.h"

namespace vornak::test {

namespace {

bool CarriesData(uint8_t code) {
    using namespace command_code;
    return code == kWriteSettings || code == kWriteLighting || code == kWriteKeyBlock ||
           code == kWriteMacro || code == kWriteKeyColours;
}

}  // namespace

void PrintTo(const SentCommand& c, std::ostream* out) {
    *out << "code " << int{c.code} << " length " << int{c.length} << " offset " << c.offset;
    if (!c.data.empty()) *out << " data " << sim::Hex(c.data);
}

SentCommand DecodeCommand(std::span<const uint8_t> report) {
    CommandBytes bytes{};
    std::copy_n(report.begin(), std::min(report.size(), bytes.size()), bytes.begin());
    SentCommand c;
    c.code = bytes[command_field::kCode];
    c.length = bytes[command_field::kLength];
    c.offset = ReadLe16(bytes, command_field::kOffset);
    if (CarriesData(c.code)) {
        const auto data = std::span(bytes).subspan(command_field::kData, std::min<size_t>(c.length, 56));
        c.data.assign(data.begin(), data.end());
    }
    return c;
}

std::vector<SentCommand> CommandsSent(const sim::KeyboardSimulator& simulator) {
    std::vector<SentCommand> out;
    for (const auto& report : simulator.commandsSent())
        out.push_back(DecodeCommand(report));
    return out;
}

std::vector<SentCommand> CommandsInLog(const std::filesystem::path& log) {
    std::vector<SentCommand> out;
    std::ifstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        const auto entry = sim::ParseTrafficLine(line);
        EXPECT_TRUE(entry) << log << ": not a traffic line: " << line;
        if (entry && entry->direction == sim::TrafficDirection::Out)
            out.push_back(DecodeCommand(entry->bytes));
    }
    return out;
}

int CountCode(const std::vector<SentCommand>& commands, uint8_t code) {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [code](const SentCommand& c) { return c.code == code; }));
}

std::vector<uint8_t> Codes(const std::vector<SentCommand>& commands) {
    std::vector<uint8_t> codes;
    for (const SentCommand& c : commands)
        codes.push_back(c.code);
    return codes;
}

}  // namespace vornak::test
