// One simulated keyboard per user, as a real one is: every process that binds libPortHubSim with the same
// state file reaches the same KeyboardSimulator. The first of them hosts it and serves the others over a Unix
// socket in the runtime folder; the others are its guests and forward the contract's calls. Every reply,
// event, attach and removal reaches the standing readers of every process, as a real keyboard's reports reach
// every program that reads its nodes. When the host ends, one guest takes the keyboard over from the state
// file without a removal; the others join it. Without a state file the keyboard is the process's own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

#include "porthub/sim/keyboard_simulator.h"

namespace vornak::sim {

// Where the processes of one user meet for one state file: a folder only the user can enter
// ($XDG_RUNTIME_DIR/vornak-sim, else /tmp/vornak-sim-<uid>), and in it three files named after the state
// file's absolute path.
struct SimRendezvous {
    std::filesystem::path socket;        // the host listens here
    std::filesystem::path hostLock;      // held (flock) by the host while it lives
    std::filesystem::path keyboardLock;  // taken by every process of ours around a write sequence
};
// Nothing, with the reason in *error, when the folder is missing, not the user's own or open to others.
std::optional<SimRendezvous> FindRendezvous(const std::filesystem::path& stateFile, std::string* error);

class SharedKeyboard {
  public:
    // Hosts or joins the keyboard of config.stateFile; a keyboard of its own without a state file, or when
    // the rendezvous folder cannot be used (said on stderr).
    explicit SharedKeyboard(SimConfig config);
    // A host saves the state, lets its guests go (one of them takes over) and ends; a guest just leaves.
    ~SharedKeyboard();
    SharedKeyboard(const SharedKeyboard&) = delete;
    SharedKeyboard& operator=(const SharedKeyboard&) = delete;

    // The contract. Standing readers are kept here, so their ids outlive a change of host.
    int GetDeviceCount(const PortHubDeviceFilter* filter);
    int DeleteRequest(int id);
    int StatusWrite(const PortHubDeviceFilter* filter, const uint8_t* data, int length, int* outId);
    int AsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag, int* outId);
    int WriteOne(const PortHubDeviceFilter* filter, const uint8_t* data, int length);

    // The library's extras, on the one keyboard wherever it lives.
    void Raise(SimEvent event);
    void InjectFault(const Fault& fault);
    void SetFaultModes(const FaultModes& modes);
    int violations();
    // Every reply and event queued so far has reached this process's readers.
    void Flush();

    bool hosting() const;
    // The file every process of ours locks around a write sequence; empty for a keyboard of its own.
    std::filesystem::path keyboardLockPath() const { return rendezvous_ ? rendezvous_->keyboardLock : ""; }

  private:
    struct Registration {
        PortHubDeviceFilter filter;
        PortHubCallback callback;
        uint32_t tag;
    };
    struct Delivery {
        SimDeliveryKind kind;
        std::vector<uint8_t> bytes;
        int count = 0;
    };
    class Host;
    class Guest;

    // Becomes the host or a guest; false when neither worked in time.
    bool Connect();
    void BecomeOwnKeyboard();
    // To this process's standing readers.
    void Dispatch(SimDeliveryKind kind, std::span<const uint8_t> bytes, int count);
    // A guest's reader tells the keeper that the host went away; the keeper takes over or joins the next
    // host.
    void OnHostLost();
    void Keep();
    // A call on the keyboard: on the guest's host (nothing when it went away) or on this process's own.
    template <typename OnGuest, typename OnOwn>
    int Run(OnGuest onGuest, OnOwn onOwn);

    SimConfig config_;  // what a new host starts from: the first host's latency, log and modes
    std::optional<SimRendezvous> rendezvous_;

    mutable std::shared_mutex modeMutex_;     // shared by every call; exclusive while the host changes
    std::unique_ptr<KeyboardSimulator> own_;  // a host's or a private keyboard
    std::unique_ptr<Host> host_;
    std::unique_ptr<Guest> guest_;

    std::mutex readersMutex_;
    std::map<int, Registration> readers_;
    int nextId_ = 1;
    bool attached_ = true;  // as the last delivery said: a new host starts so
    // This process has begun a write sequence and not ended it: when it takes the keyboard over, the
    // sequence goes on.
    std::atomic<bool> sequenceOpen_{false};

    std::mutex keeperMutex_;
    std::condition_variable keeperCv_;
    bool hostLost_ = false;
    uint64_t generation_ = 0;  // counts the changes of host
    bool ending_ = false;
    std::thread keeper_;
};

}  // namespace vornak::sim
