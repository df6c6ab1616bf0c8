// The PortHub contract over HID: the keyboard's collections found by vendor, product, usage page and usage;
// each node opened once, with one reader thread that routes its reports by report id to the standing readers;
// attach and removal reported as type-0 events with the new device count.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "device/port_hub.h"
#include "porthub/hid/hid_backend.h"
#include "porthub/hid/report_descriptor.h"

namespace vornak::hid {

class HidHub {
  public:
    explicit HidHub(std::unique_ptr<HidBackend> backend);
    // Ends the threads.
    ~HidHub();
    HidHub(const HidHub&) = delete;
    HidHub& operator=(const HidHub&) = delete;

    // Finds and opens the keyboard's nodes and starts watching for attach and removal. 1, or 0 when the HID
    // system cannot be used.
    int Init();
    void End();

    int GetDeviceCount(const PortHubDeviceFilter* filter) const;
    int DeleteRequest(int id);
    // Writes the status report (the LED report: report id 5 and the layer byte) to the collection's node.
    int StatusWrite(const PortHubDeviceFilter* filter, const uint8_t* data, int length, int* outId);
    int AsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag, int* outId);
    // Writes the report (its first byte the report id) to the collection's node: 1, or 0 when it cannot.
    int WriteOne(const PortHubDeviceFilter* filter, const uint8_t* data, int length);

    // The node of the collection that answers to filter (/dev/hidrawN); empty when none is attached.
    std::string NodePath(const PortHubDeviceFilter* filter) const;

    // Looks for nodes that came or went, and reports the change (the watch thread calls it).
    void Rescan();

  private:
    struct Node {
        std::string path;
        std::unique_ptr<HidNode> io;
        std::vector<UsagePair> collections;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        std::optional<DescriptorLayout> layout;
        std::mutex writeMutex;
        std::atomic<bool> stop{false};
        std::atomic<bool> dead{false};
        std::thread reader;
    };
    struct Registration {
        PortHubDeviceFilter filter;
        PortHubCallback callback;
        uint32_t tag;
        int lastCount;
    };

    void ReadLoop(Node& node);
    void Route(Node& node, std::span<const uint8_t> report);
    std::shared_ptr<Node> NodeFor(const PortHubDeviceFilter& filter) const;
    int CountLocked(const PortHubDeviceFilter& filter) const;
    static void StopNode(Node& node);

    std::unique_ptr<HidBackend> backend_;
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Node>> nodes_;
    std::map<int, Registration> registrations_;
    std::set<std::string> reportedOpenFailures_;
    int nextId_ = 1;
    bool initialised_ = false;
    std::atomic<bool> stopping_{false};
    std::thread watcher_;
};

// The in-process form: the twelve functions over one hub (tests).
void SetActiveHub(HidHub* hub);
const PortHubFunctions& HubFunctions();

}  // namespace vornak::hid
