// The HID seam over hidapi's hidraw back end, with a udev monitor on the hidraw subsystem for attach and
// removal.
#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "porthub/hid/hid_backend.h"

namespace vornak::hid {

namespace {

class HidapiNode final : public HidNode {
  public:
    HidapiNode(hid_device* device, std::string path) : device_(device), path_(std::move(path)) {}
    ~HidapiNode() override { hid_close(device_); }

    int Write(std::span<const uint8_t> report) override {
        return hid_write(device_, report.data(), report.size());
    }

    int Read(std::span<uint8_t> buffer, int timeoutMs) override {
        return hid_read_timeout(device_, buffer.data(), buffer.size(), timeoutMs);
    }

    // hidapi 0.13 cannot read the descriptor; the kernel shows it beside the node.
    std::vector<uint8_t> ReportDescriptor() override {
        const std::filesystem::path node(path_);
        std::ifstream in(
            std::filesystem::path("/sys/class/hidraw") / node.filename() / "device/report_descriptor",
            std::ios::binary);
        if (!in) return {};
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

  private:
    hid_device* device_;
    std::string path_;
};

class HidapiBackend final : public HidBackend {
  public:
    ~HidapiBackend() override {
        if (monitor_ != nullptr) udev_monitor_unref(monitor_);
        if (udev_ != nullptr) udev_unref(udev_);
        for (int fd : wake_)
            if (fd >= 0) ::close(fd);
        if (initialised_) hid_exit();
    }

    bool Init() override {
        if (hid_init() != 0) return false;
        initialised_ = true;
        if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
        udev_ = udev_new();
        if (udev_ != nullptr) monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (monitor_ != nullptr &&
            (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
             udev_monitor_enable_receiving(monitor_) < 0)) {
            udev_monitor_unref(monitor_);
            monitor_ = nullptr;
        }
        return true;
    }

    std::vector<HidCollectionInfo> Enumerate(uint16_t vendorId, uint16_t productId) override {
        std::vector<HidCollectionInfo> out;
        hid_device_info* list = hid_enumerate(vendorId, productId);
        for (hid_device_info* d = list; d != nullptr; d = d->next) {
            HidCollectionInfo c;
            c.path = d->path != nullptr ? d->path : "";
            c.vendorId = d->vendor_id;
            c.productId = d->product_id;
            c.usagePage = d->usage_page;
            c.usage = d->usage;
            c.interfaceNumber = d->interface_number;
            if (!c.path.empty()) out.push_back(std::move(c));
        }
        hid_free_enumeration(list);
        return out;
    }

    std::unique_ptr<HidNode> Open(const std::string& path, std::string* error) override {
        errno = 0;
        hid_device* device = hid_open_path(path.c_str());
        if (device == nullptr) {
            if (error != nullptr) *error = errno != 0 ? std::strerror(errno) : "cannot be opened";
            return nullptr;
        }
        return std::make_unique<HidapiNode>(device, path);
    }

    void WaitForChange() override {
        pollfd fds[2] = {{wake_[0], POLLIN, 0},
                         {monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1, POLLIN, 0}};
        // Without a udev monitor the watcher enumerates once a second.
        const int timeout = monitor_ != nullptr ? -1 : 1000;
        if (::poll(fds, 2, timeout) <= 0) return;
        if (fds[0].revents != 0) {
            char drain[64];
            while (::read(wake_[0], drain, sizeof drain) > 0) {
            }
        }
        if (fds[1].revents != 0) {
            if (udev_device* d = udev_monitor_receive_device(monitor_)) udev_device_unref(d);
        }
    }

    void Wake() override {
        if (wake_[1] < 0) return;
        const char c = 'w';
        [[maybe_unused]] const ssize_t n = ::write(wake_[1], &c, 1);
    }

  private:
    bool initialised_ = false;
    int wake_[2] = {-1, -1};
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};

}  // namespace

std::unique_ptr<HidBackend> MakeHidapiBackend() {
    return std::make_unique<HidapiBackend>();
}

}  // namespace vornak::hid
