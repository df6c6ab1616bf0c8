#include "porthub/hid/hid_hub.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vornak::hid {

namespace {

bool Matches(const PortHubDeviceFilter& f, uint16_t vendor, uint16_t product, UsagePair c) {
    return PortHubFilterMatches(&f, vendor, product, c.page, c.usage) != 0;
}

constexpr int kReadTimeoutMs = 200;  // how soon a reader notices it should stop
constexpr size_t kMaxReport = 256;

}  // namespace

HidHub::HidHub(std::unique_ptr<HidBackend> backend) : backend_(std::move(backend)) {}

HidHub::~HidHub() {
    End();
}

int HidHub::Init() {
    {
        std::lock_guard lock(mutex_);
        if (initialised_) return 1;
        if (!backend_->Init()) return 0;
        initialised_ = true;
    }
    stopping_.store(false);
    Rescan();
    watcher_ = std::thread([this] {
        while (!stopping_.load()) {
            backend_->WaitForChange();
            if (stopping_.load()) break;
            Rescan();
        }
    });
    return 1;
}

void HidHub::StopNode(Node& node) {
    node.stop.store(true);
    if (node.reader.joinable()) node.reader.join();
}

void HidHub::End() {
    stopping_.store(true);
    backend_->Wake();
    if (watcher_.joinable()) watcher_.join();
    std::map<std::string, std::shared_ptr<Node>> nodes;
    {
        std::lock_guard lock(mutex_);
        nodes.swap(nodes_);
        registrations_.clear();
        initialised_ = false;
    }
    for (auto& [path, node] : nodes)
        StopNode(*node);
}

void HidHub::Rescan() {
    const std::vector<HidCollectionInfo> found =
        backend_->Enumerate(PORTHUB_KX1_VENDOR_ID, PORTHUB_KX1_PRODUCT_ID);
    std::map<std::string, std::vector<HidCollectionInfo>> byPath;
    for (const HidCollectionInfo& c : found)
        byPath[c.path].push_back(c);

    // Nodes that went away, or whose reader saw them go.
    std::vector<std::shared_ptr<Node>> gone;
    std::vector<std::string> fresh;
    {
        std::lock_guard lock(mutex_);
        for (auto it = nodes_.begin(); it != nodes_.end();) {
            if (it->second->dead.load() || !byPath.contains(it->first)) {
                gone.push_back(it->second);
                it = nodes_.erase(it);
            } else {
                ++it;
            }
        }
        for (const auto& [path, collections] : byPath)
            if (!nodes_.contains(path)) fresh.push_back(path);
    }
    for (auto& node : gone)
        StopNode(*node);

    for (const std::string& path : fresh) {
        std::string error;
        std::unique_ptr<HidNode> io = backend_->Open(path, &error);
        if (io == nullptr) {
            std::lock_guard lock(mutex_);
            if (reportedOpenFailures_.insert(path).second)
                std::fprintf(
                    stderr,
                    "PortHub: %s: cannot be opened (%s); on Linux, install res/linux/60-vornak.rules "
                    "(see README)\n",
                    path.c_str(), error.c_str());
            continue;
        }
        auto node = std::make_shared<Node>();
        node->path = path;
        node->io = std::move(io);
        for (const HidCollectionInfo& c : byPath[path]) {
            node->collections.push_back({c.usagePage, c.usage});
            node->vendorId = c.vendorId;
            node->productId = c.productId;
        }
        node->layout = ParseReportDescriptor(node->io->ReportDescriptor());
        Node* raw = node.get();
        node->reader = std::thread([this, raw] { ReadLoop(*raw); });
        std::lock_guard lock(mutex_);
        reportedOpenFailures_.erase(path);
        nodes_[path] = std::move(node);
    }

    // Type-0 events to every reader whose count changed.
    struct Change {
        Registration r;
        int count;
    };
    std::vector<Change> changes;
    {
        std::lock_guard lock(mutex_);
        for (auto& [id, r] : registrations_) {
            const int count = CountLocked(r.filter);
            if (count == r.lastCount) continue;
            r.lastCount = count;
            changes.push_back({r, count});
        }
    }
    for (const Change& c : changes) {
        if (c.r.callback == nullptr) continue;
        PortHubRequest request{};
        request.tag = c.r.tag;
        request.length = static_cast<uint32_t>(c.count);
        PortHubStatusEvent event{};
        event.type = PORTHUB_EVENT_DEVICE_CHANGE;
        event.request = &request;
        c.r.callback(&event);
    }
}

void HidHub::ReadLoop(Node& node) {
    while (!node.stop.load()) {
        std::array<uint8_t, kMaxReport> buffer{};
        const int n = node.io->Read(buffer, kReadTimeoutMs);
        if (n < 0) {
            // Unplugged: the watcher takes the node away and reports the removal.
            node.dead.store(true);
            backend_->Wake();
            return;
        }
        if (n > 0) Route(node, std::span<const uint8_t>(buffer.data(), std::min<size_t>(n, buffer.size())));
    }
}

void HidHub::Route(Node& node, std::span<const uint8_t> report) {
    std::optional<UsagePair> collection;
    size_t dataOffset = 0;
    if (node.layout && node.layout->usesReportIds()) {
        const auto it = node.layout->reportIds.find(report[0]);
        if (it != node.layout->reportIds.end()) collection = it->second;
        dataOffset = 1;
    } else if (node.collections.size() == 1) {
        collection = node.collections.front();
    }
    if (!collection) return;  // a report no collection of ours owns

    std::vector<Registration> targets;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [id, r] : registrations_)
            if (r.callback != nullptr && Matches(r.filter, node.vendorId, node.productId, *collection))
                targets.push_back(r);
    }
    // Zero-padded, so a reader that looks at a fixed number of bytes never reads past a short report.
    std::array<uint8_t, kMaxReport + 8> copy{};
    std::copy(report.begin(), report.end(), copy.begin());
    PortHubReport record{};
    record.bytes = copy.data() + dataOffset;
    for (const Registration& r : targets) {
        PortHubRequest request{};
        request.tag = r.tag;
        request.length = static_cast<uint32_t>(report.size());
        request.data = copy.data();
        request.report = &record;
        PortHubStatusEvent event{};
        event.type = PORTHUB_EVENT_DATA;
        event.request = &request;
        r.callback(&event);
    }
}

int HidHub::CountLocked(const PortHubDeviceFilter& filter) const {
    int count = 0;
    for (const auto& [path, node] : nodes_) {
        if (node->dead.load()) continue;
        for (const UsagePair& c : node->collections) {
            if (Matches(filter, node->vendorId, node->productId, c)) {
                ++count;
                break;
            }
        }
    }
    return count;
}

std::shared_ptr<HidHub::Node> HidHub::NodeFor(const PortHubDeviceFilter& filter) const {
    std::lock_guard lock(mutex_);
    for (const auto& [path, node] : nodes_) {
        if (node->dead.load()) continue;
        for (const UsagePair& c : node->collections)
            if (Matches(filter, node->vendorId, node->productId, c)) return node;
    }
    return nullptr;
}

std::string HidHub::NodePath(const PortHubDeviceFilter* filter) const {
    if (filter == nullptr) return {};
    const std::shared_ptr<Node> node = NodeFor(*filter);
    return node != nullptr ? node->path : std::string();
}

int HidHub::GetDeviceCount(const PortHubDeviceFilter* filter) const {
    if (filter == nullptr) return 0;
    std::lock_guard lock(mutex_);
    return CountLocked(*filter);
}

int HidHub::DeleteRequest(int id) {
    std::lock_guard lock(mutex_);
    registrations_.erase(id);
    return 1;
}

int HidHub::AsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag, int* outId) {
    if (filter == nullptr) return 0;
    std::lock_guard lock(mutex_);
    const int id = nextId_++;
    registrations_[id] = Registration{*filter, callback, tag, CountLocked(*filter)};
    if (outId != nullptr) *outId = id;
    return 1;
}

int HidHub::StatusWrite(const PortHubDeviceFilter* filter, const uint8_t* data, int length, int* outId) {
    {
        std::lock_guard lock(mutex_);
        if (outId != nullptr) *outId = nextId_++;
    }
    return WriteOne(filter, data, length);
}

int HidHub::WriteOne(const PortHubDeviceFilter* filter, const uint8_t* data, int length) {
    if (filter == nullptr || data == nullptr || length <= 0) return 0;
    const std::shared_ptr<Node> node = NodeFor(*filter);
    if (node == nullptr) return 0;
    std::lock_guard lock(node->writeMutex);
    return node->io->Write(std::span(data, static_cast<size_t>(length))) > 0 ? 1 : 0;
}

// ---- the in-process functions

namespace {

std::atomic<HidHub*> gHub{nullptr};

int HubInit(int) {
    HidHub* h = gHub.load();
    return h != nullptr ? h->Init() : 0;
}
int HubCount(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, uint32_t, int*) {
    HidHub* h = gHub.load();
    return h != nullptr ? h->GetDeviceCount(filter) : 0;
}
int HubDelete(int id) {
    HidHub* h = gHub.load();
    return h != nullptr ? h->DeleteRequest(id) : 0;
}
int HubStatusWrite(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, const uint8_t* data,
                   int length, uint32_t, int* outId) {
    HidHub* h = gHub.load();
    return h != nullptr ? h->StatusWrite(filter, data, length, outId) : 0;
}
int HubAsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag, uint32_t,
                 int* outId) {
    HidHub* h = gHub.load();
    return h != nullptr ? h->AsyncRead(filter, callback, tag, outId) : 0;
}
int HubWriteOne(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, const uint8_t* data, int length,
                uint32_t, int*) {
    HidHub* h = gHub.load();
    return h != nullptr ? h->WriteOne(filter, data, length) : 0;
}
int HubDebug(int) {
    return 1;
}
int HubEnd() {
    HidHub* h = gHub.load();
    if (h != nullptr) h->End();
    return 1;
}
int HubDeleteHandle(void*) {
    return 1;
}
int HubUnused(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int, uint32_t, int*) {
    return 0;
}
int HubStatusGet(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint8_t*, int, uint32_t, int*) {
    return 0;
}

const PortHubFunctions kFunctions = {HubInit,         HubCount,    HubDelete,    HubStatusWrite,
                                     HubAsyncRead,    HubWriteOne, HubDebug,     HubEnd,
                                     HubDeleteHandle, HubUnused,   HubStatusGet, HubUnused};

}  // namespace

void SetActiveHub(HidHub* hub) {
    gHub.store(hub);
}

const PortHubFunctions& HubFunctions() {
    return kFunctions;
}

}  // namespace vornak::hid
