#include "device/device_command.h"

#include <algorithm>
#include <cstring>

#include "device/device_link.h"
#include "platform/bytes.h"

namespace vornak {

// Any fixed permutation serves beyond the first sixteen entries: the ids only go back to the library.
const std::array<uint8_t, 256> kRequestIdTable = {
    253, 134, 209, 202, 219, 213, 204, 94,  2,   14,  224, 182, 169, 247, 109, 168, 255, 62,  66,  81,
    42,  235, 143, 232, 227, 161, 101, 132, 106, 223, 50,  103, 144, 183, 116, 4,   246, 140, 211, 163,
    126, 158, 207, 59,  21,  120, 191, 92,  179, 128, 99,  142, 51,  145, 91,  15,  28,  12,  93,  54,
    170, 236, 115, 141, 216, 127, 76,  184, 118, 157, 205, 24,  228, 29,  186, 38,  230, 250, 25,  121,
    197, 6,   220, 245, 48,  171, 33,  194, 133, 178, 195, 102, 196, 58,  229, 187, 16,  104, 173, 166,
    160, 52,  44,  111, 201, 244, 137, 135, 113, 217, 154, 61,  100, 13,  98,  41,  185, 72,  26,  152,
    90,  167, 87,  112, 108, 69,  156, 176, 240, 136, 39,  180, 153, 174, 190, 226, 122, 55,  198, 9,
    79,  27,  210, 239, 60,  95,  10,  192, 124, 188, 73,  0,   34,  20,  248, 37,  117, 84,  96,  159,
    147, 47,  5,   64,  82,  177, 206, 18,  252, 164, 49,  199, 249, 78,  146, 30,  138, 150, 175, 46,
    68,  107, 233, 193, 74,  148, 31,  212, 86,  231, 165, 251, 71,  218, 8,   189, 172, 23,  89,  254,
    203, 215, 35,  241, 1,   200, 105, 234, 131, 53,  222, 238, 243, 83,  65,  125, 7,   88,  130, 43,
    11,  155, 139, 32,  45,  40,  57,  67,  85,  129, 80,  181, 151, 36,  77,  221, 242, 208, 225, 3,
    149, 114, 75,  17,  70,  237, 63,  119, 214, 97,  162, 110, 19,  56,  22,  123,
};

std::array<uint8_t, 16> FilterBytes(const DeviceFilter& filter) {
    std::array<uint8_t, 16> b{};
    WriteLe32(b, 0, filter.matchMask);
    WriteLe16(b, 4, filter.vendorId);
    WriteLe16(b, 6, filter.productId);
    WriteLe16(b, 8, filter.usagePage);
    WriteLe16(b, 10, filter.usage);
    WriteLe32(b, 12, filter.reserved);
    return b;
}

uint32_t RequestId(const DeviceFilter& filter, PortHubCallback callback, uint32_t tag,
                   std::span<const uint8_t> data) {
    uint32_t sum = 0;
    const auto add = [&sum](std::span<const uint8_t> bytes) {
        for (const uint8_t b : bytes)
            sum += kRequestIdTable[b];
    };
    add(FilterBytes(filter));
    std::array<uint8_t, 4> four{};
    WriteLe32(four, 0, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(callback)));
    add(four);
    WriteLe32(four, 0, tag);
    add(four);
    add(data);
    return sum;
}

uint16_t CommandChecksum(std::span<const uint8_t, kCommandSize> report) {
    uint16_t sum = 0;
    for (size_t i = command_field::kCode; i < kCommandSize; ++i)
        sum = static_cast<uint16_t>(sum + report[i]);
    return sum;
}

DeviceCommand DeviceCommand::Make(uint8_t code, uint8_t length, uint16_t offset,
                                  std::span<const uint8_t> data) {
    DeviceCommand c;
    c.bytes[command_field::kReportId] = kCommandReportId;
    c.bytes[command_field::kCode] = code;
    c.bytes[command_field::kLength] = length;
    WriteLe16(c.bytes, command_field::kOffset, offset);
    const size_t n = std::min(data.size(), kCommandDataSize);
    if (n > 0) std::memcpy(c.bytes.data() + command_field::kData, data.data(), n);
    c.Seal();
    return c;
}

DeviceCommand DeviceCommand::BootModeRequest() {
    DeviceCommand c;
    c.bytes[command_field::kReportId] = kCommandReportId;
    c.bytes[command_field::kCode] = command_code::kBootMode;
    c.bytes[command_field::kLength] = command_code::kBootMode;
    return c;
}

uint16_t DeviceCommand::offset() const {
    return ReadLe16(bytes, command_field::kOffset);
}

void DeviceCommand::Seal() {
    WriteLe16(bytes, command_field::kChecksum, CommandChecksum(bytes));
}

bool DeviceCommand::ChecksumValid() const {
    return ReadLe16(bytes, command_field::kChecksum) == CommandChecksum(bytes);
}

int ReplyStatusResult(std::span<const uint8_t> reply) {
    if (reply.size() <= command_field::kStatus) return kLinkOk;
    switch (reply[command_field::kStatus]) {
        case kStatusRefused:
            return kLinkStatusFF;
        case kStatusBusy:
            return kLinkStatusFE;
        default:
            return kLinkOk;
    }
}

}  // namespace vornak
