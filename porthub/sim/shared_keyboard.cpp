#include "porthub/sim/shared_keyboard.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Sharing runs on POSIX systems: Unix sockets, flock and a runtime folder.
namespace vornak::sim {

namespace fs = std::filesystem;

namespace {

// ---- the rendezvous folder

std::string KeyOf(const fs::path& stateFile) {
    std::error_code ec;
    fs::path absolute = fs::weakly_canonical(fs::absolute(stateFile, ec), ec);
    if (ec) absolute = stateFile;
    uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a: short names that fit a socket address
    for (const char c : absolute.string()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    static const char* const kDigits = "0123456789abcdef";
    std::string key(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        key[static_cast<size_t>(i)] = kDigits[hash & 0xF];
    return key;
}

}  // namespace

std::optional<SimRendezvous> FindRendezvous(const fs::path& stateFile, std::string* error) {
    const auto fail = [&](std::string why) -> std::optional<SimRendezvous> {
        if (error != nullptr) *error = std::move(why);
        return std::nullopt;
    };
    fs::path folder;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    if (runtime != nullptr && *runtime != '\0' && fs::is_directory(runtime, ec))
        folder = fs::path(runtime) / "vornak-sim";
    else
        folder = fs::path("/tmp") / ("vornak-sim-" + std::to_string(::geteuid()));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return fail(folder.string() + ": cannot be created: " + std::strerror(errno));
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return fail(folder.string() + ": " + std::strerror(errno));
    // Another user's folder, or one others may enter, could hand us their keyboard or take ours.
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
        return fail(folder.string() + ": not a folder of this user's alone");
    const std::string key = KeyOf(stateFile);
    SimRendezvous r{folder / (key + ".sock"), folder / (key + ".host"), folder / (key + ".lock")};
    if (r.socket.string().size() >= sizeof(sockaddr_un{}.sun_path))
        return fail(r.socket.string() + ": too long for a socket address");
    return r;
}

namespace {

// ---- the wire between host and guests: one message per packet, on the same machine and the same build

constexpr uint32_t kWireMagic = 0x564B5331;  // changes whenever the messages change

enum class Wire : uint32_t {
    Hello = 1,    // host to a new guest: args attached, latency ms; data "<fault modes>\n<traffic log>"
    Result,       // host to guest: args[0] the call's result
    WriteOne,     // guest to host: filter, data
    StatusWrite,  // filter, data
    DeviceCount,  // filter
    Raise,        // args[0] the SimEvent
    InjectFault,  // args kind, count, skip, command, delay ms
    SetModes,     // data: the fault modes by name
    Violations,
    Flush,     // answered once every delivery queued before it was sent
    Continue,  // the guest had begun a write sequence on the previous host
    Delivery,  // host to guest: args kind, count; data the report
};

struct WireHeader {
    uint32_t magic = kWireMagic;
    Wire type = Wire::Result;
    int32_t args[5] = {};
    PortHubDeviceFilter filter{};
    uint32_t length = 0;
};

constexpr size_t kMaxWireData = 4096;

struct WireMessage {
    WireHeader head;
    uint8_t data[kMaxWireData] = {};

    std::span<const uint8_t> bytes() const { return {data, head.length}; }
    std::string text() const { return {reinterpret_cast<const char*>(data), head.length}; }
};

bool Send(int fd, Wire type, std::initializer_list<int32_t> args, const PortHubDeviceFilter* filter = nullptr,
          std::span<const uint8_t> data = {}, bool mayWait = true) {
    WireMessage m;
    m.head.type = type;
    std::copy_n(args.begin(), std::min<size_t>(args.size(), 5), m.head.args);
    if (filter != nullptr) m.head.filter = *filter;
    m.head.length = static_cast<uint32_t>(std::min(data.size(), kMaxWireData));
    std::copy_n(data.begin(), m.head.length, m.data);
    const size_t size = sizeof(WireHeader) + m.head.length;
    const ssize_t n = ::send(fd, &m, size, MSG_NOSIGNAL | (mayWait ? 0 : MSG_DONTWAIT));
    return n == static_cast<ssize_t>(size);
}

std::span<const uint8_t> TextBytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// Nothing at the end of the connection or for a packet that is not ours.
std::unique_ptr<WireMessage> Receive(int fd) {
    auto m = std::make_unique<WireMessage>();
    for (;;) {
        const ssize_t n = ::recv(fd, m.get(), sizeof(WireMessage), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < static_cast<ssize_t>(sizeof(WireHeader)) || m->head.magic != kWireMagic ||
            m->head.length > kMaxWireData || static_cast<size_t>(n) != sizeof(WireHeader) + m->head.length)
            return nullptr;
        return m;
    }
}

int SocketTo(const fs::path& path, bool listen) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const auto* a = reinterpret_cast<const sockaddr*>(&address);
    const bool ok = listen ? ::bind(fd, a, sizeof address) == 0 && ::listen(fd, 16) == 0
                           : ::connect(fd, a, sizeof address) == 0;
    if (ok) return fd;
    ::close(fd);
    return -1;
}

constexpr SimEvent kEvents[] = {SimEvent::Attach,          SimEvent::Detach,     SimEvent::LayerSwitch,
                                SimEvent::SettingsChanged, SimEvent::MacroStart, SimEvent::MacroStop};
constexpr FaultKind kFaultKinds[] = {FaultKind::NoReply,       FaultKind::WrongCommand, FaultKind::StatusFF,
                                     FaultKind::StatusFE,      FaultKind::LateReply,    FaultKind::Detach,
                                     FaultKind::BusyAfterWork, FaultKind::Forgotten};

template <typename T, size_t N>
int32_t IndexOf(const T (&table)[N], T value) {
    for (size_t i = 0; i < N; ++i)
        if (table[i] == value) return static_cast<int32_t>(i);
    return 0;
}

}  // namespace

// ---- the host: serves its guests from one thread, and hands every delivery to each of them

class SharedKeyboard::Host {
  public:
    Host(KeyboardSimulator& sim, int listenFd, int lockFd, fs::path socket)
        : sim_(sim), listen_(listenFd), lock_(lockFd), socket_(std::move(socket)) {
        if (::pipe2(wake_, O_CLOEXEC) != 0) wake_[0] = wake_[1] = -1;
        thread_ = std::thread([this] { Serve(); });
    }

    // Its guests see the end of their connection only after the socket's name is gone and the state saved,
    // so the one that takes over starts from the last memory and listens under a free name.
    ~Host() {
        Stop();
        ::unlink(socket_.c_str());
        {
            std::lock_guard lock(clientsMutex_);
            for (const int fd : clients_)
                ::close(fd);
            clients_.clear();
        }
        for (const int fd : {listen_, wake_[0], wake_[1], lock_})
            if (fd >= 0) ::close(fd);
    }

    void Stop() {
        if (!thread_.joinable()) return;
        const char stop = 's';
        [[maybe_unused]] const ssize_t n = ::write(wake_[1], &stop, 1);
        thread_.join();
    }

    // On the delivery thread. A guest that does not read loses what it did not take, as a stalled reader of
    // a real node does; the keyboard never waits for it.
    void Broadcast(SimDeliveryKind kind, std::span<const uint8_t> bytes, int count) {
        std::lock_guard lock(clientsMutex_);
        for (const int fd : clients_)
            Send(fd, Wire::Delivery, {static_cast<int32_t>(kind), count}, nullptr, bytes, false);
    }

  private:
    void Serve() {
        for (;;) {
            std::vector<pollfd> fds = {{wake_[0], POLLIN, 0}, {listen_, POLLIN, 0}};
            {
                std::lock_guard lock(clientsMutex_);
                for (const int fd : clients_)
                    fds.push_back({fd, POLLIN, 0});
            }
            if (::poll(fds.data(), fds.size(), -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[0].revents != 0) return;
            if (fds[1].revents & POLLIN) Welcome();
            for (size_t i = 2; i < fds.size(); ++i) {
                if (fds[i].revents == 0) continue;
                std::unique_ptr<WireMessage> m = Receive(fds[i].fd);
                if (m == nullptr) {
                    Drop(fds[i].fd);
                    continue;
                }
                Answer(fds[i].fd, *m);
            }
        }
    }

    void Welcome() {
        const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        const int buffer = 1 << 20;
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
        // The hello goes before any delivery: the guest is listed only once it has been sent.
        std::lock_guard lock(clientsMutex_);
        const std::string about = FormatFaultModes(sim_.faultModes()) + "\n" + sim_.logFile().string();
        if (!Send(fd, Wire::Hello, {sim_.attached() ? 1 : 0, static_cast<int32_t>(sim_.latency().count())},
                  nullptr, TextBytes(about))) {
            ::close(fd);
            return;
        }
        clients_.push_back(fd);
    }

    void Drop(int fd) {
        std::lock_guard lock(clientsMutex_);
        std::erase(clients_, fd);
        ::close(fd);
    }

    void Answer(int fd, const WireMessage& m) {
        const int32_t* a = m.head.args;
        int result = 0;
        switch (m.head.type) {
            case Wire::WriteOne:
                result = sim_.WriteOne(&m.head.filter, m.data, static_cast<int>(m.head.length));
                break;
            case Wire::StatusWrite:
                result = sim_.StatusWrite(&m.head.filter, nullptr, 0, m.data, static_cast<int>(m.head.length),
                                          nullptr);
                break;
            case Wire::DeviceCount:
                result = sim_.GetDeviceCount(&m.head.filter);
                break;
            case Wire::Raise:
                if (a[0] >= 0 && a[0] < static_cast<int32_t>(std::size(kEvents))) sim_.Raise(kEvents[a[0]]);
                result = 1;
                break;
            case Wire::InjectFault:
                if (a[0] >= 0 && a[0] < static_cast<int32_t>(std::size(kFaultKinds))) {
                    sim_.InjectFault(Fault{kFaultKinds[a[0]], a[1], a[2], static_cast<uint8_t>(a[3]),
                                           std::chrono::milliseconds(a[4])});
                    result = 1;
                }
                break;
            case Wire::SetModes:
                if (const auto modes = ParseFaultModes(m.text(), nullptr)) {
                    sim_.SetFaultModes(*modes);
                    result = 1;
                }
                break;
            case Wire::Violations:
                result = sim_.violations();
                break;
            case Wire::Continue:
                sim_.ContinueSequence();
                result = 1;
                break;
            case Wire::Flush:
                sim_.WaitUntilDelivered();
                result = 1;
                break;
            default:
                break;
        }
        std::lock_guard lock(clientsMutex_);
        Send(fd, Wire::Result, {result});
    }

    KeyboardSimulator& sim_;
    int listen_;
    int lock_;
    fs::path socket_;
    int wake_[2] = {-1, -1};
    std::mutex clientsMutex_;
    std::vector<int> clients_;
    std::thread thread_;
};

// ---- a guest: one call at a time to the host; deliveries handed to the readers on a thread of their own, so
// a reader may call the library back

class SharedKeyboard::Guest {
  public:
    Guest(int fd, SharedKeyboard& owner) : fd_(fd), owner_(owner) {
        reader_ = std::thread([this] { Read(); });
        dispatcher_ = std::thread([this] { DispatchLoop(); });
    }
    ~Guest() {
        Stop();
        ::close(fd_);
    }

    void Stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ::shutdown(fd_, SHUT_RDWR);
        if (reader_.joinable()) reader_.join();
        cv_.notify_all();
        if (dispatcher_.joinable()) dispatcher_.join();
    }

    // The host's result; nothing when the host is gone.
    std::optional<int> Call(Wire type, std::initializer_list<int32_t> args,
                            const PortHubDeviceFilter* filter = nullptr, std::span<const uint8_t> data = {}) {
        std::lock_guard call(callMutex_);
        {
            std::lock_guard lock(mutex_);
            if (lost_) return std::nullopt;
            result_.reset();
        }
        if (!Send(fd_, type, args, filter, data)) return std::nullopt;
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return result_.has_value() || lost_; });
        return result_;
    }

    void WaitDispatched() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return (queue_.empty() && !dispatching_) || stopping_; });
    }

  private:
    void Read() {
        for (;;) {
            std::unique_ptr<WireMessage> m = Receive(fd_);
            std::unique_lock lock(mutex_);
            if (m == nullptr) {
                lost_ = true;
                const bool told = stopping_;
                lock.unlock();
                cv_.notify_all();
                if (!told) owner_.OnHostLost();
                return;
            }
            if (m->head.type == Wire::Result) {
                result_ = m->head.args[0];
            } else if (m->head.type == Wire::Delivery) {
                queue_.push_back(Delivery{static_cast<SimDeliveryKind>(m->head.args[0]),
                                          std::vector<uint8_t>(m->data, m->data + m->head.length),
                                          m->head.args[1]});
            }
            lock.unlock();
            cv_.notify_all();
        }
    }

    void DispatchLoop() {
        std::unique_lock lock(mutex_);
        for (;;) {
            cv_.wait(lock, [this] { return !queue_.empty() || stopping_; });
            if (stopping_) return;
            Delivery d = std::move(queue_.front());
            queue_.pop_front();
            dispatching_ = true;
            lock.unlock();
            owner_.Dispatch(d.kind, d.bytes, d.count);
            lock.lock();
            dispatching_ = false;
            cv_.notify_all();
        }
    }

    int fd_;
    SharedKeyboard& owner_;
    std::mutex callMutex_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::optional<int> result_;
    bool lost_ = false;
    bool stopping_ = false;
    std::deque<Delivery> queue_;
    bool dispatching_ = false;
    std::thread reader_;
    std::thread dispatcher_;
};

// ---- the keyboard as the library sees it

SharedKeyboard::SharedKeyboard(SimConfig config) : config_(std::move(config)) {
    attached_ = config_.attached;
    if (!config_.stateFile.empty()) {
        std::string error;
        rendezvous_ = FindRendezvous(config_.stateFile, &error);
        if (!rendezvous_)
            std::fprintf(stderr, "PortHubSim: %s; this process keeps a simulated keyboard of its own\n",
                         error.c_str());
    }
    if (rendezvous_) {
        // The lock file every process of ours takes around a write sequence (device/keyboard_lock.h).
        if (const int fd = ::open(rendezvous_->keyboardLock.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
            fd >= 0)
            ::close(fd);
        std::unique_lock lock(modeMutex_);
        if (Connect()) {
            keeper_ = std::thread([this] { Keep(); });
            return;
        }
        std::fprintf(stderr,
                     "PortHubSim: %s: the simulated keyboard's host does not answer; this process keeps a "
                     "simulated keyboard of its own\n",
                     rendezvous_->socket.c_str());
        rendezvous_.reset();
    }
    BecomeOwnKeyboard();
}

SharedKeyboard::~SharedKeyboard() {
    {
        std::lock_guard lock(keeperMutex_);
        ending_ = true;
    }
    keeperCv_.notify_all();
    if (keeper_.joinable()) keeper_.join();
    if (host_) host_->Stop();
    if (own_) {
        // Replies still on their way reach every process before the guests are let go; a delivery under way
        // may call this library back, so it ends before the lock below is taken.
        own_->WaitUntilDelivered();
        own_->SetDeliveryTap(nullptr);
        own_->WaitUntilDelivered();
    }
    if (guest_) guest_->Stop();
    std::unique_lock lock(modeMutex_);
    guest_.reset();
    if (host_) host_->Stop();
    own_.reset();  // saves the state file
    host_.reset();
}

bool SharedKeyboard::hosting() const {
    std::shared_lock lock(modeMutex_);
    return host_ != nullptr;
}

void SharedKeyboard::BecomeOwnKeyboard() {
    SimConfig c = config_;
    {
        std::lock_guard lock(readersMutex_);
        c.attached = attached_;
    }
    c.inSequence = sequenceOpen_.load();
    own_ = std::make_unique<KeyboardSimulator>(std::move(c));
    own_->SetDeliveryTap([this](SimDeliveryKind kind, std::span<const uint8_t> bytes, int count) {
        Dispatch(kind, bytes, count);
    });
}

bool SharedKeyboard::Connect() {
    const SimRendezvous& r = *rendezvous_;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        const int lockFd = ::open(r.hostLock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd >= 0 && ::flock(lockFd, LOCK_EX | LOCK_NB) == 0) {
            // Nobody hosts the keyboard: this process does, from the state file. A name left by a host that
            // was killed is stale.
            ::unlink(r.socket.c_str());
            const int listenFd = SocketTo(r.socket, true);
            if (listenFd < 0) {
                std::fprintf(stderr, "PortHubSim: %s: cannot listen: %s\n", r.socket.c_str(),
                             std::strerror(errno));
                ::close(lockFd);
                return false;
            }
            BecomeOwnKeyboard();
            host_ = std::make_unique<Host>(*own_, listenFd, lockFd, r.socket);
            own_->SetDeliveryTap([this](SimDeliveryKind kind, std::span<const uint8_t> bytes, int count) {
                Dispatch(kind, bytes, count);
                host_->Broadcast(kind, bytes, count);
            });
            return true;
        }
        if (lockFd >= 0) ::close(lockFd);
        if (const int fd = SocketTo(r.socket, false); fd >= 0) {
            if (std::unique_ptr<WireMessage> hello = Receive(fd); hello && hello->head.type == Wire::Hello) {
                // What a guest knows of the keyboard, for the day it takes it over.
                const std::string about = hello->text();
                const size_t nl = about.find('\n');
                if (const auto modes = ParseFaultModes(about.substr(0, nl), nullptr)) config_.modes = *modes;
                config_.logFile = nl == std::string::npos ? "" : about.substr(nl + 1);
                config_.latency = std::chrono::milliseconds(hello->head.args[1]);
                {
                    std::lock_guard lock(readersMutex_);
                    attached_ = hello->head.args[0] != 0;
                }
                guest_ = std::make_unique<Guest>(fd, *this);
                // A guest in the middle of its sequence when the old host ended goes on with it here.
                if (sequenceOpen_.load()) guest_->Call(Wire::Continue, {});
                return true;
            }
            ::close(fd);
        }
        // The host may be between taking its lock and listening, or just ending.
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void SharedKeyboard::OnHostLost() {
    {
        std::lock_guard lock(keeperMutex_);
        hostLost_ = true;
    }
    keeperCv_.notify_all();
}

void SharedKeyboard::Keep() {
    std::unique_lock keeper(keeperMutex_);
    for (;;) {
        keeperCv_.wait(keeper, [this] { return hostLost_ || ending_; });
        if (ending_) return;
        hostLost_ = false;
        keeper.unlock();
        std::unique_ptr<Guest> old;
        {
            // Calls on the old host fail at once now, so the lock comes free.
            std::unique_lock lock(modeMutex_);
            old = std::move(guest_);
            if (!Connect()) {
                std::fprintf(stderr,
                             "PortHubSim: the simulated keyboard's host ended and none took over; this "
                             "process keeps a simulated keyboard of its own\n");
                BecomeOwnKeyboard();
            }
        }
        keeper.lock();
        ++generation_;
        keeperCv_.notify_all();
        // Its threads end outside the lock: a reader it is calling back may be running its call again on
        // the new host.
        keeper.unlock();
        old.reset();
        keeper.lock();
    }
}

void SharedKeyboard::Dispatch(SimDeliveryKind kind, std::span<const uint8_t> bytes, int count) {
    std::vector<Registration> targets;
    {
        std::lock_guard lock(readersMutex_);
        if (kind == SimDeliveryKind::DeviceChange) attached_ = count > 0;
        for (const auto& [id, r] : readers_)
            if (r.callback != nullptr && KeyboardSimulator::Reaches(r.filter, kind)) targets.push_back(r);
    }
    for (const Registration& r : targets) {
        PortHubReport report{};
        report.bytes = bytes.data();
        PortHubRequest request{};
        request.tag = r.tag;
        PortHubStatusEvent event{};
        event.request = &request;
        if (kind == SimDeliveryKind::DeviceChange) {
            event.type = PORTHUB_EVENT_DEVICE_CHANGE;
            request.length = static_cast<uint32_t>(count);
        } else {
            event.type = PORTHUB_EVENT_DATA;
            request.length = static_cast<uint32_t>(bytes.size());
            request.data = bytes.data();
            request.report = &report;
        }
        r.callback(&event);
    }
}

// ---- the contract

int SharedKeyboard::AsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                              int* outId) {
    if (filter == nullptr) return 0;
    std::lock_guard lock(readersMutex_);
    const int id = nextId_++;
    readers_[id] = Registration{*filter, callback, tag};
    if (outId != nullptr) *outId = id;
    return 1;
}

int SharedKeyboard::DeleteRequest(int id) {
    std::lock_guard lock(readersMutex_);
    readers_.erase(id);
    return 1;
}

int SharedKeyboard::GetDeviceCount(const PortHubDeviceFilter* filter) {
    if (filter == nullptr) return 0;
    return Run([&](Guest& g) { return g.Call(Wire::DeviceCount, {}, filter); },
               [&](KeyboardSimulator& k) { return k.GetDeviceCount(filter); });
}

int SharedKeyboard::StatusWrite(const PortHubDeviceFilter* filter, const uint8_t* data, int length,
                                int* outId) {
    {
        // A status write keeps an id of its own until it is cancelled, as a standing reader does.
        std::lock_guard lock(readersMutex_);
        if (outId != nullptr) *outId = nextId_++;
    }
    if (filter == nullptr || data == nullptr || length <= 0) return 0;
    return Run(
        [&](Guest& g) {
            return g.Call(Wire::StatusWrite, {}, filter, std::span(data, static_cast<size_t>(length)));
        },
        [&](KeyboardSimulator& k) { return k.StatusWrite(filter, nullptr, 0, data, length, nullptr); });
}

int SharedKeyboard::WriteOne(const PortHubDeviceFilter* filter, const uint8_t* data, int length) {
    if (filter == nullptr || data == nullptr || length <= 0) return 0;
    if (static_cast<size_t>(length) > command_field::kCode) {
        if (data[command_field::kCode] == command_code::kBegin) sequenceOpen_.store(true);
        if (data[command_field::kCode] == command_code::kEnd) sequenceOpen_.store(false);
    }
    return Run(
        [&](Guest& g) {
            return g.Call(Wire::WriteOne, {}, filter, std::span(data, static_cast<size_t>(length)));
        },
        [&](KeyboardSimulator& k) { return k.WriteOne(filter, data, length); });
}

void SharedKeyboard::Raise(SimEvent event) {
    Run([&](Guest& g) { return g.Call(Wire::Raise, {IndexOf(kEvents, event)}); },
        [&](KeyboardSimulator& k) {
            k.Raise(event);
            return 1;
        });
}

void SharedKeyboard::InjectFault(const Fault& f) {
    Run(
        [&](Guest& g) {
            return g.Call(Wire::InjectFault, {IndexOf(kFaultKinds, f.kind), f.count, f.skip, f.command,
                                              static_cast<int32_t>(f.delay.count())});
        },
        [&](KeyboardSimulator& k) {
            k.InjectFault(f);
            return 1;
        });
}

void SharedKeyboard::SetFaultModes(const FaultModes& modes) {
    Run([&](Guest& g) { return g.Call(Wire::SetModes, {}, nullptr, TextBytes(FormatFaultModes(modes))); },
        [&](KeyboardSimulator& k) {
            k.SetFaultModes(modes);
            return 1;
        });
}

int SharedKeyboard::violations() {
    return Run([&](Guest& g) { return g.Call(Wire::Violations, {}); },
               [&](KeyboardSimulator& k) { return k.violations(); });
}

void SharedKeyboard::Flush() {
    Run(
        [&](Guest& g) {
            const std::optional<int> r = g.Call(Wire::Flush, {});
            if (r) g.WaitDispatched();
            return r;
        },
        [&](KeyboardSimulator& k) {
            k.WaitUntilDelivered();
            return 1;
        });
}

template <typename OnGuest, typename OnOwn>
int SharedKeyboard::Run(OnGuest onGuest, OnOwn onOwn) {
    for (int tries = 0;; ++tries) {
        uint64_t seen;
        {
            std::lock_guard keeper(keeperMutex_);
            seen = generation_;
        }
        {
            std::shared_lock lock(modeMutex_);
            if (!guest_) return onOwn(*own_);
            if (const std::optional<int> result = onGuest(*guest_)) return *result;
        }
        // The host went away under the call: it runs again on the keyboard's next host, once the keeper has
        // found it (this thread may be one the old guest calls back on, so it waits without the lock).
        if (tries == 2) return 0;
        std::unique_lock keeper(keeperMutex_);
        keeperCv_.wait_for(keeper, std::chrono::seconds(10), [&] { return generation_ != seen || ending_; });
        if (ending_) return 0;
    }
}

}  // namespace vornak::sim
