// One copy of the program per user. The running copy holds a lock file and listens on a local socket, both in
// the user's runtime folder (owner-only). A later start sends it MSG_OPEN (show the window) and ends; "/Kill"
// sends MSG_KILL and ends, whether a copy runs or not. A request is the message number and its tag; the
// receiver acts only on a request from its own user whose tag matches.
#pragma once

#include <sys/types.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <thread>

#include "platform/paths.h"
#include "program/command_line.h"

namespace vornak {

inline constexpr uint32_t kMsgOpen = 0x5350;
inline constexpr uint32_t kTagOpen = 0x4F50454E;  // 'OPEN'
inline constexpr uint32_t kMsgKill = 0x4D4B;
inline constexpr uint32_t kTagKill = 0x4C4C494B;  // 'KILL' in memory byte order

enum class InstanceMessage { Open, Kill };

inline constexpr size_t kInstanceRequestSize = 8;
// Message number, then tag, both little-endian.
std::array<uint8_t, kInstanceRequestSize> EncodeInstanceRequest(uint32_t message, uint32_t tag);
std::array<uint8_t, kInstanceRequestSize> EncodeInstanceRequest(InstanceMessage message);
// What a received request asks for: nothing when it is short, from another user, or its tag does not match.
std::optional<InstanceMessage> AcceptInstanceRequest(std::span<const uint8_t> bytes, uid_t peer, uid_t own);

struct InstancePaths {
    std::filesystem::path socket;
    std::filesystem::path lock;
};
// In $XDG_RUNTIME_DIR; without it in a folder of our own under the temporary folder, created owner-only.
// Nothing (with the reason) when no such folder can be had safely.
std::optional<InstancePaths> FindInstancePaths(const EnvironmentLookup& env, std::string* error);

// What the running copy answered.
enum class InstanceAnswer {
    None,    // nothing answers
    Taken,   // it took the request
    Ending,  // it is finishing its last keyboard work and ends soon: nothing it is asked now would run
};
// Sends one request to the copy that runs.
InstanceAnswer SendToRunningInstance(const InstancePaths& paths, InstanceMessage message);

// The running copy's side: the lock and the listening socket.
class InstanceServer {
  public:
    // Runs on the server's own thread; the program hands the message to its UI thread.
    using Handler = std::function<void(InstanceMessage)>;

    InstanceServer() = default;
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // Takes the lock file; false when another process holds it.
    bool TryLock(const InstancePaths& paths);
    bool locked() const { return lockFd_ >= 0; }
    // Replaces a stale socket and starts answering requests. False with the reason on failure.
    bool Listen(const InstancePaths& paths, Handler handler, std::string* error);
    // The program is ending: requests are answered "ending" (a later start then waits for the lock), the
    // lock is kept until Stop.
    void SetEnding() { ending_.store(true); }
    // Waits (blocking) for the lock that an ending copy still holds, at most timeoutMs; true once taken.
    bool WaitForLock(const InstancePaths& paths, int timeoutMs);
    // Stops answering and releases the socket and the lock.
    void Stop();

  private:
    void Serve();

    InstancePaths paths_;
    Handler handler_;
    std::atomic<bool> ending_{false};
    int lockFd_ = -1;
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    std::thread thread_;
};

// What start-up does with the other copy.
enum class InstanceDecision {
    Run,        // this process is the program
    EndHanded,  // the running copy was asked to open (or "/Kill" was given): end with 0
};

// The single-instance steps: "/Kill" first (sent if a copy answers, then end in any case); then the lock:
// held by another copy that answers MSG_OPEN, end; held by a copy that answers it is ending, wait until it
// has ended (at most kEndingWaitMs) and run; held but nothing answering, or free, run (and listen).
inline constexpr int kEndingWaitMs = 5 * 60 * 1000;
// How long a start waits for the lock of a copy that holds it but no longer answers.
inline constexpr int kStoppedHolderWaitMs = 1000;
InstanceDecision SettleSingleInstance(const CommandLine& args, const InstancePaths& paths,
                                      InstanceServer& server, InstanceServer::Handler handler,
                                      std::string* error);

}  // namespace vornak
