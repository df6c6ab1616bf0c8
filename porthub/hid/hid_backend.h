// The seam between the PortHub library and the HID system: enumeration, open nodes, reads, writes and the
// wait for attach or removal. The library's own build implements it over hidapi (hidraw) and udev; tests
// implement it with fake devices.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vornak::hid {

// One top-level collection of a HID node, as enumeration lists it. Several collections may share one node.
struct HidCollectionInfo {
    std::string path;  // the node (/dev/hidrawN)
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    int interfaceNumber = -1;
};

class HidNode {
  public:
    virtual ~HidNode() = default;
    // Writes one report, its first byte the report id (0 for a device without ids). Bytes written, or -1.
    virtual int Write(std::span<const uint8_t> report) = 0;
    // Reads one report into buffer: its length, 0 after timeoutMs without one, -1 when the node is gone.
    virtual int Read(std::span<uint8_t> buffer, int timeoutMs) = 0;
    // The node's report descriptor; empty when it cannot be read.
    virtual std::vector<uint8_t> ReportDescriptor() = 0;
};

class HidBackend {
  public:
    virtual ~HidBackend() = default;
    virtual bool Init() = 0;
    // Every collection of the devices with this vendor and product.
    virtual std::vector<HidCollectionInfo> Enumerate(uint16_t vendorId, uint16_t productId) = 0;
    // Null when the node cannot be opened; *error then says why.
    virtual std::unique_ptr<HidNode> Open(const std::string& path, std::string* error) = 0;
    // Blocks until HID nodes may have come or gone, or until Wake(). Never a busy loop: at most one return
    // per second without a change.
    virtual void WaitForChange() = 0;
    virtual void Wake() = 0;
};

// hidapi's hidraw back end with a udev monitor for attach and removal.
std::unique_ptr<HidBackend> MakeHidapiBackend();

}  // namespace vornak::hid
