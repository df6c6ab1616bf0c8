// The real library's hub, driven through its HID seam by fake devices: enumeration, shared nodes, reads,
// writes, unplugging.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <regex>

#include "device/port_hub_link.h"
#include "porthub/hid/hid_hub.h"
#include "porthub/hid/report_descriptor.h"
#include "tests/support/sim_harness.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using namespace std::chrono_literals;
using hid::HidCollectionInfo;
using hid::UsagePair;
using Bytes = std::vector<uint8_t>;
using Log = std::vector<std::string>;

constexpr UsagePair kCons{0x000C, 0x0001};
constexpr UsagePair kCtrl{0xFF1C, 0x0092};
constexpr UsagePair kLed{0x0008, 0x0089};

// Consumer control (report 3) and the command pipe (report 4) on one node, as the KX1's second interface has
// them.
const Bytes kSharedDescriptor = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x15, 0x00, 0x26,
                                 0xFF, 0x00, 0x75, 0x08, 0x95, 0x07, 0x09, 0x01, 0x81, 0x02, 0xC0,
                                 0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x95, 0x3F,
                                 0x09, 0x01, 0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xC0};
const Bytes kLedDescriptor = {0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0x85, 0x05, 0x95,
                              0x01, 0x75, 0x08, 0x09, 0x01, 0x91, 0x02, 0xC0};

class FakeHid : public hid::HidBackend {
  public:
    struct Device {
        std::vector<UsagePair> collections;
        Bytes descriptor;
        bool present = true;
        bool openable = true;
        int opens = 0;
        std::deque<Bytes> input;
        std::vector<Bytes> written;
    };

    // The KX1's firmware in its simplest form: every command answered with its own header, status 0 and a
    // data pattern.
    FakeHid() {
        devices_["/dev/hidraw1"].collections = {kCons, kCtrl};
        devices_["/dev/hidraw1"].descriptor = kSharedDescriptor;
        devices_["/dev/hidraw2"].collections = {kLed};
        devices_["/dev/hidraw2"].descriptor = kLedDescriptor;
    }

    bool Init() override { return true; }
    std::vector<HidCollectionInfo> Enumerate(uint16_t vendor, uint16_t product) override {
        std::lock_guard lock(mutex_);
        ++enumerations_;
        std::vector<HidCollectionInfo> out;
        if (vendor != 0x0C45 || product != 0x5004) return out;
        for (const auto& [path, d] : devices_) {
            if (!d.present) continue;
            for (const UsagePair& c : d.collections)
                out.push_back({path, vendor, product, c.page, c.usage, 1});
        }
        return out;
    }
    std::unique_ptr<hid::HidNode> Open(const std::string& path, std::string* error) override;
    void WaitForChange() override {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return changed_; });
        changed_ = false;
    }
    void Wake() override { Changed(); }

    void Changed() {
        {
            std::lock_guard lock(mutex_);
            changed_ = true;
        }
        cv_.notify_all();
    }
    void SetPresent(const std::string& path, bool present) {
        {
            std::lock_guard lock(mutex_);
            devices_[path].present = present;
        }
        Changed();
    }
    void SetOpenable(const std::string& path, bool openable) {
        std::lock_guard lock(mutex_);
        devices_[path].openable = openable;
    }
    void Push(const std::string& path, Bytes report) {
        {
            std::lock_guard lock(mutex_);
            devices_[path].input.push_back(std::move(report));
        }
        cv_.notify_all();
    }
    Device device(const std::string& path) {
        std::lock_guard lock(mutex_);
        return devices_[path];
    }
    int enumerations() {
        std::lock_guard lock(mutex_);
        return enumerations_;
    }

    int Write(const std::string& path, std::span<const uint8_t> report) {
        std::lock_guard lock(mutex_);
        Device& d = devices_[path];
        if (!d.present) return -1;
        d.written.emplace_back(report.begin(), report.end());
        if (report.size() == 64 && report[0] == 0x04 && answer_) {
            Bytes reply(report.begin(), report.end());
            reply[7] = 0;
            for (size_t i = 8; i < 64; ++i)
                reply[i] = static_cast<uint8_t>(i + reply[5]);
            d.input.push_back(std::move(reply));
            cv_.notify_all();
        }
        return static_cast<int>(report.size());
    }
    int Read(const std::string& path, std::span<uint8_t> buffer, int timeoutMs) {
        std::unique_lock lock(mutex_);
        Device& d = devices_[path];
        cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                     [&] { return !d.present || !d.input.empty(); });
        if (!d.present) return -1;
        if (d.input.empty()) return 0;
        Bytes r = std::move(d.input.front());
        d.input.pop_front();
        const size_t n = std::min(r.size(), buffer.size());
        std::copy_n(r.begin(), n, buffer.begin());
        return static_cast<int>(n);
    }
    void SetAnswering(bool answer) {
        std::lock_guard lock(mutex_);
        answer_ = answer;
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::map<std::string, Device> devices_;
    bool changed_ = false;
    bool answer_ = true;
    int enumerations_ = 0;
};

class FakeNode : public hid::HidNode {
  public:
    FakeNode(FakeHid& hid, std::string path, Bytes descriptor)
        : hid_(hid), path_(std::move(path)), descriptor_(std::move(descriptor)) {}
    int Write(std::span<const uint8_t> report) override { return hid_.Write(path_, report); }
    int Read(std::span<uint8_t> buffer, int timeoutMs) override {
        return hid_.Read(path_, buffer, timeoutMs);
    }
    std::vector<uint8_t> ReportDescriptor() override { return descriptor_; }

  private:
    FakeHid& hid_;
    std::string path_;
    Bytes descriptor_;
};

std::unique_ptr<hid::HidNode> FakeHid::Open(const std::string& path, std::string* error) {
    std::lock_guard lock(mutex_);
    Device& d = devices_[path];
    if (!d.present || !d.openable) {
        if (error != nullptr) *error = "Permission denied";
        return nullptr;
    }
    ++d.opens;
    return std::make_unique<FakeNode>(*this, path, d.descriptor);
}

// A hub over the fake devices, and a link over the hub's twelve functions.
struct HubFixture {
    HubFixture() {
        auto backend = std::make_unique<FakeHid>();
        fake = backend.get();
        hub = std::make_unique<hid::HidHub>(std::move(backend));
        hid::SetActiveHub(hub.get());
    }
    ~HubFixture() {
        link.reset();
        hub.reset();
        hid::SetActiveHub(nullptr);
    }
    void Start() {
        ASSERT_EQ(hid::HubFunctions().Init(0), 1);
        link = std::make_unique<PortHubLink>(hid::HubFunctions(), test::FastLinkTimings());
        link->SetEvents(&events);
        link->state().mainWindowReady.store(true);
        ASSERT_TRUE(link->SetUpChannels());
    }
    bool WaitFor(const std::function<bool()>& done) {
        for (int i = 0; i < 500; ++i) {
            if (done()) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    FakeHid* fake = nullptr;
    std::unique_ptr<hid::HidHub> hub;
    test::RecordingLinkEvents events;
    std::unique_ptr<PortHubLink> link;
};

TEST(ReportDescriptor, SharedNodeIsToldApartByReportIds) {
    const auto layout = hid::ParseReportDescriptor(kSharedDescriptor);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->collections, (std::vector<UsagePair>{kCons, kCtrl}));
    EXPECT_EQ(layout->reportIds.at(3), kCons);
    EXPECT_EQ(layout->reportIds.at(4), kCtrl);
    EXPECT_EQ(layout->reportIds.size(), 2u);
}

TEST(ReportDescriptor, OddButValidForms) {
    // A four-byte usage carrying its own page; no report ids at all; push and pop of the usage page.
    const Bytes extended = {0x0B, 0x92, 0x00, 0x1C, 0xFF, 0xA1, 0x01, 0x81, 0x02, 0xC0};
    const auto a = hid::ParseReportDescriptor(extended);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->collections, (std::vector<UsagePair>{kCtrl}));
    EXPECT_FALSE(a->usesReportIds());
    const Bytes pushed = {0x05, 0x0C, 0xA4, 0x05, 0x08, 0xB4, 0x09, 0x01, 0xA1, 0x01, 0xC0};
    const auto b = hid::ParseReportDescriptor(pushed);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->collections, (std::vector<UsagePair>{kCons}));
    // A report id that stays in force into the next collection names that collection's reports as well,
    // unless it was already taken.
    const Bytes carried = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x07, 0x81, 0x02,
                           0xC0, 0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0x91, 0x02, 0xC0};
    const auto c = hid::ParseReportDescriptor(carried);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->reportIds.at(7), kCons);
}

TEST(ReportDescriptor, BrokenDescriptorsAreRejected) {
    EXPECT_FALSE(hid::ParseReportDescriptor(Bytes{0x06, 0x1C}));              // runs past the end
    EXPECT_FALSE(hid::ParseReportDescriptor(Bytes{0xA1, 0x01, 0xC0, 0xC0}));  // closes too much
    EXPECT_FALSE(hid::ParseReportDescriptor(Bytes{0xB4}));                    // pop without push
    EXPECT_FALSE(hid::ParseReportDescriptor(Bytes{0xFE, 0x05, 0x00, 0x01}));  // long item cut short
    for (size_t n = 0; n < kSharedDescriptor.size(); ++n)                     // every prefix: no crash
        hid::ParseReportDescriptor(std::span(kSharedDescriptor).first(n));
}

TEST(HidHub, OpensEachNodeOnceAndRoutesByReportId) {
    HubFixture f;
    f.Start();
    EXPECT_EQ(f.fake->device("/dev/hidraw1").opens, 1);
    EXPECT_EQ(f.fake->device("/dev/hidraw2").opens, 1);
    EXPECT_EQ(f.link->GetDeviceCount(), 1);
    PortHubDeviceFilter otherProduct = kCtrlChannel.filter;
    otherProduct.productId = 0x5005;
    EXPECT_EQ(f.hub->GetDeviceCount(&otherProduct), 0);

    // The exchange: the 64 bytes go to the CTRL node, the reply comes back through its reader.
    SettingsBlock s{};
    ASSERT_EQ(f.link->ReadSettings(s), kLinkOk);
    EXPECT_EQ(s[0], 8);
    const auto written = f.fake->device("/dev/hidraw1").written;
    ASSERT_EQ(written.size(), 1u);
    const CommandBytes expected = DeviceCommand::Make(3, 44).bytes;
    EXPECT_EQ(written[0], Bytes(expected.begin(), expected.end()));
    KeyBlockBytes block{};
    ASSERT_EQ(f.link->ReadKeyBlock(2, block), kLinkOk);
    EXPECT_EQ(block[0], static_cast<uint8_t>(8 + ((2 * 378) & 0xFF)));

    // The LED report goes to its own node.
    ASSERT_EQ(f.link->SetLayerB(true), 1);
    EXPECT_EQ(f.fake->device("/dev/hidraw2").written.back(), (Bytes{0x05, 0x03}));

    // A consumer report: report id 3, then the event code 0x02FF.
    f.fake->Push("/dev/hidraw1", {0x03, 0xFF, 0x02, 0, 0, 0, 0, 0});
    ASSERT_TRUE(f.events.WaitForCount(1));
    EXPECT_EQ(f.events.log(), (Log{"led A"}));
    EXPECT_EQ(f.fake->device("/dev/hidraw2").written.back(), (Bytes{0x05, 0x02}));
    // A report id the descriptor does not name is nobody's.
    f.fake->Push("/dev/hidraw1", {0x09, 0x01, 0x04});
    f.fake->Push("/dev/hidraw1", {0x03, 0x01, 0x04});
    ASSERT_TRUE(f.events.WaitForCount(2));
    EXPECT_EQ(f.events.log(), (Log{"led A", "lighting-changed"}));
}

TEST(HidHub, UnplugAndPlugAreReportedWithTheDeviceCount) {
    HubFixture f;
    f.Start();
    f.link->DetectDevice();
    ASSERT_TRUE(f.events.WaitForCount(3));  // profile-read, tray, show
    f.link->WaitForWorkers();
    f.events.Clear();

    // While nothing happens the hub does not look.
    const int before = f.fake->enumerations();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(f.fake->enumerations(), before);

    f.fake->SetPresent("/dev/hidraw1", false);
    f.fake->SetPresent("/dev/hidraw2", false);
    ASSERT_TRUE(f.WaitFor([&] { return f.link->state().devicePresent.load() == 0; }));
    f.link->WaitForWorkers();
    EXPECT_EQ(f.events.log(), (Log{"device-gone", "hide", "tray base 128"}));
    SettingsBlock s{};
    EXPECT_EQ(f.link->ReadSettings(s), kLinkNoDevice);
    EXPECT_EQ(f.hub->NodePath(&kCtrlChannel.filter), "") << "no node to lock for a keyboard that is gone";

    f.events.Clear();
    f.fake->SetPresent("/dev/hidraw1", true);
    f.fake->SetPresent("/dev/hidraw2", true);
    ASSERT_TRUE(f.WaitFor([&] { return f.link->state().devicePresent.load() == 1; }));
    f.link->WaitForWorkers();
    EXPECT_EQ(f.events.log(), (Log{"profile-read", "tray base 141"}));
    EXPECT_EQ(f.fake->device("/dev/hidraw1").opens, 2);
    EXPECT_EQ(f.link->ReadSettings(s), kLinkOk);
    // Every program of ours locks the command collection's node around a write sequence.
    EXPECT_EQ(f.hub->NodePath(&kCtrlChannel.filter), "/dev/hidraw1");
    EXPECT_EQ(f.hub->NodePath(&kLedChannel.filter), "/dev/hidraw2");
}

TEST(HidHub, UnplugDuringAnExchangeEndsItAtOnce) {
    HubFixture f;
    f.Start();
    f.fake->SetAnswering(false);
    LinkTimings slow = test::FastLinkTimings();
    std::thread pull([&] {
        std::this_thread::sleep_for(50ms);
        f.fake->SetPresent("/dev/hidraw1", false);
    });
    const auto start = std::chrono::steady_clock::now();
    SettingsBlock s{};
    const int r = f.link->ReadSettings(s);
    pull.join();
    EXPECT_TRUE(r == kLinkNoDevice || r == kLinkNoReply) << r;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3 * slow.replyWait + 500ms);
}

TEST(HidHub, ANodeThatCannotBeOpenedIsNoKeyboardUntilItCan) {
    HubFixture f;
    f.fake->SetOpenable("/dev/hidraw1", false);
    f.Start();
    EXPECT_EQ(f.link->GetDeviceCount(), 0);
    f.fake->SetOpenable("/dev/hidraw1", true);
    f.fake->Changed();  // udev reports the new permissions
    ASSERT_TRUE(f.WaitFor([&] { return f.link->GetDeviceCount() == 1; }));
    ASSERT_TRUE(f.events.WaitForCount(2));  // profile-read, tray
}

// The shipped udev rule: one rule, for the KX1's hidraw nodes, tagging them for the logged-in user.
TEST(UdevRule, GrantsTheKeyboardsHidrawNodesToTheUser) {
    const std::string text = test::ReadText(test::SourceDir() / "res/linux/60-vornak.rules");
    std::vector<std::map<std::string, std::string>> rules;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line[0] == '#') continue;
        std::map<std::string, std::string> rule;
        const std::regex pair(R"re(\s*([A-Za-z]+(\{[A-Za-z]+\})?)\s*(==|\+=|=)\s*"([^"]*)"\s*(,|$))re");
        auto it = std::sregex_iterator(line.begin(), line.end(), pair);
        size_t covered = 0;
        for (; it != std::sregex_iterator(); ++it) {
            ASSERT_EQ(static_cast<size_t>(it->position()), covered) << line;
            rule[(*it)[1].str() + (*it)[3].str()] = (*it)[4].str();
            covered += it->length();
        }
        ASSERT_EQ(covered, line.size()) << "cannot read: " << line;
        rules.push_back(rule);
    }
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0]["SUBSYSTEM=="], "hidraw");
    EXPECT_EQ(rules[0]["ATTRS{idVendor}=="], "0c45");
    EXPECT_EQ(rules[0]["ATTRS{idProduct}=="], "5004");
    EXPECT_EQ(rules[0]["TAG+="], "uaccess");
}

}  // namespace
}  // namespace vornak
