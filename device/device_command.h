// The records of the command path: the collections' filters and channels, the request ids the library is
// given, and the 64-byte DeviceCommand report with its checksum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/port_hub.h"

namespace vornak {

inline constexpr uint16_t kKeyboardVendorId = PORTHUB_KX1_VENDOR_ID;
inline constexpr uint16_t kKeyboardProductId = PORTHUB_KX1_PRODUCT_ID;
inline constexpr uint32_t kFilterMatchAll = PORTHUB_MATCH_ALL;

using DeviceFilter = PortHubDeviceFilter;
static_assert(sizeof(DeviceFilter) == 16);

constexpr DeviceFilter MakeDeviceFilter(uint16_t usagePage, uint16_t usage) {
    return DeviceFilter{kFilterMatchAll, kKeyboardVendorId, kKeyboardProductId, usagePage, usage, 0};
}

// The filter as the 16 little-endian bytes that go into a request id.
std::array<uint8_t, 16> FilterBytes(const DeviceFilter& filter);

// Channel tags: four characters packed as a multi-character constant.
inline constexpr uint32_t kTagLed = 0x004C4544;
inline constexpr uint32_t kTagCons = 0x434F4E53;
inline constexpr uint32_t kTagCtrl = 0x4354524C;

enum class Channel { Led, Cons, Ctrl };

struct ChannelDescriptor {
    Channel channel;
    DeviceFilter filter;
    uint32_t tag;
};

inline constexpr ChannelDescriptor kLedChannel{
    Channel::Led, MakeDeviceFilter(PORTHUB_LED_USAGE_PAGE, PORTHUB_LED_USAGE), kTagLed};
inline constexpr ChannelDescriptor kConsChannel{
    Channel::Cons, MakeDeviceFilter(PORTHUB_CONS_USAGE_PAGE, PORTHUB_CONS_USAGE), kTagCons};
inline constexpr ChannelDescriptor kCtrlChannel{
    Channel::Ctrl, MakeDeviceFilter(PORTHUB_CTRL_USAGE_PAGE, PORTHUB_CTRL_USAGE), kTagCtrl};
inline constexpr std::array<ChannelDescriptor, 3> kChannels{kLedChannel, kConsChannel, kCtrlChannel};

// The fixed permutation of 0..255 that request ids are summed over.
extern const std::array<uint8_t, 256> kRequestIdTable;

// The id of a request: the sum of kRequestIdTable[b] over the filter's 16 bytes, the 4 low bytes of the
// callback's address (zeros without one), the tag's 4 bytes as stored, and the request's data.
uint32_t RequestId(const DeviceFilter& filter, PortHubCallback callback, uint32_t tag,
                   std::span<const uint8_t> data = {});

// The DeviceCommand report.
inline constexpr size_t kCommandSize = 64;
inline constexpr uint8_t kCommandReportId = 0x04;
inline constexpr uint8_t kStatusRefused = 0xFF;
inline constexpr uint8_t kStatusBusy = 0xFE;

namespace command_field {
inline constexpr size_t kReportId = 0;
inline constexpr size_t kChecksum = 1;  // 16-bit sum of bytes 3..63
inline constexpr size_t kCode = 3;
inline constexpr size_t kLength = 4;
inline constexpr size_t kOffset = 5;
inline constexpr size_t kStatus = 7;
inline constexpr size_t kData = 8;
}  // namespace command_field

namespace command_code {
inline constexpr uint8_t kBegin = 1;
inline constexpr uint8_t kEnd = 2;
inline constexpr uint8_t kReadSettings = 3;
inline constexpr uint8_t kWriteSettings = 4;
inline constexpr uint8_t kReadLighting = 5;
inline constexpr uint8_t kWriteLighting = 6;
inline constexpr uint8_t kReadKeyBlock = 7;
inline constexpr uint8_t kWriteKeyBlock = 8;
inline constexpr uint8_t kReadMacro = 9;
inline constexpr uint8_t kWriteMacro = 10;
inline constexpr uint8_t kReadDefaultLayout = 15;
inline constexpr uint8_t kWriteKeyColours = 17;
inline constexpr uint8_t kBootMode = 0xEE;
}  // namespace command_code

using CommandBytes = std::array<uint8_t, kCommandSize>;

uint16_t CommandChecksum(std::span<const uint8_t, kCommandSize> report);

struct DeviceCommand {
    CommandBytes bytes{};

    // A sealed request: report id, code, length, offset, data (at most 56 bytes; more is cut), checksum.
    static DeviceCommand Make(uint8_t code, uint8_t length = 0, uint16_t offset = 0,
                              std::span<const uint8_t> data = {});
    // The request to restart into the update loader: 0xEE in bytes 3 and 4, everything else 0. Unlike every
    // other report it is not sealed: bytes 1 and 2 stay 0.
    static DeviceCommand BootModeRequest();

    uint8_t code() const { return bytes[command_field::kCode]; }
    uint8_t length() const { return bytes[command_field::kLength]; }
    uint16_t offset() const;
    uint8_t status() const { return bytes[command_field::kStatus]; }
    std::span<const uint8_t> data() const { return std::span(bytes).subspan(command_field::kData); }
    std::span<uint8_t> data() { return std::span(bytes).subspan(command_field::kData); }

    // Writes the checksum of the current bytes.
    void Seal();
    bool ChecksumValid() const;
};
static_assert(sizeof(DeviceCommand) == kCommandSize);

// Result of a reply's status byte: 1, -102 for 0xFF, -103 for 0xFE. A reply too short to hold the byte is 1.
int ReplyStatusResult(std::span<const uint8_t> reply);

}  // namespace vornak
