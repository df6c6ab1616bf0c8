#include "program/single_instance.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <fcntl.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using namespace std::chrono_literals;

TEST(InstanceRequest, OnlyOwnUserWithMatchingTagIsTaken) {
    const uid_t me = 1000;
    EXPECT_EQ(AcceptInstanceRequest(EncodeInstanceRequest(InstanceMessage::Open), me, me),
              InstanceMessage::Open);
    EXPECT_EQ(AcceptInstanceRequest(EncodeInstanceRequest(InstanceMessage::Kill), me, me),
              InstanceMessage::Kill);
    // Another user's request does nothing, whatever it says.
    EXPECT_FALSE(AcceptInstanceRequest(EncodeInstanceRequest(InstanceMessage::Kill), 1001, me));
    // A tag that belongs to the other message, or none at all.
    EXPECT_FALSE(AcceptInstanceRequest(EncodeInstanceRequest(kMsgOpen, kTagKill), me, me));
    EXPECT_FALSE(AcceptInstanceRequest(EncodeInstanceRequest(kMsgKill, kTagOpen), me, me));
    EXPECT_FALSE(AcceptInstanceRequest(EncodeInstanceRequest(kMsgKill, 0), me, me));
    EXPECT_FALSE(AcceptInstanceRequest(EncodeInstanceRequest(0x1234, kTagOpen), me, me));
    const auto open = EncodeInstanceRequest(InstanceMessage::Open);
    EXPECT_FALSE(AcceptInstanceRequest(std::span(open.data(), 7), me, me));
}

TEST(InstanceRequest, WireFormatIsMessageThenTagLittleEndian) {
    const auto bytes = EncodeInstanceRequest(InstanceMessage::Kill);
    const std::array<uint8_t, 8> expected = {0x4B, 0x4D, 0, 0, 0x4B, 0x49, 0x4C, 0x4C};
    EXPECT_EQ(bytes, expected);
}

class SingleInstance : public ::testing::Test {
  protected:
    SingleInstance() { paths = InstancePaths{dir / "vornak.socket", dir / "vornak.lock"}; }

    // Records what the running copy was asked, from its server thread.
    struct Inbox {
        std::mutex mutex;
        std::condition_variable cv;
        std::vector<InstanceMessage> got;
        InstanceServer::Handler Handler() {
            return [this](InstanceMessage m) {
                std::lock_guard lock(mutex);
                got.push_back(m);
                cv.notify_all();
            };
        }
        size_t Count() {
            std::lock_guard lock(mutex);
            return got.size();
        }
    };

    test::TempDir dir;
    InstancePaths paths;
};

TEST_F(SingleInstance, SecondStartHandsOverToTheFirstAndEnds) {
    Inbox inbox;
    InstanceServer first;
    std::string error;
    ASSERT_EQ(SettleSingleInstance(CommandLine{}, paths, first, inbox.Handler(), &error),
              InstanceDecision::Run)
        << error;
    ASSERT_TRUE(first.locked());

    InstanceServer second;
    EXPECT_EQ(SettleSingleInstance(CommandLine{}, paths, second, {}, &error), InstanceDecision::EndHanded);
    EXPECT_FALSE(second.locked());
    ASSERT_EQ(inbox.Count(), 1u);  // the request is taken before the sender is told
    EXPECT_EQ(inbox.got[0], InstanceMessage::Open);

    // The socket and the lock are the user's alone.
    struct stat st {};
    ASSERT_EQ(::stat(paths.socket.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u);
    ASSERT_EQ(::stat(paths.lock.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u);
}

TEST_F(SingleInstance, KillReachesTheRunningCopyAndWinsOverStart) {
    Inbox inbox;
    InstanceServer first;
    ASSERT_EQ(SettleSingleInstance(CommandLine{}, paths, first, inbox.Handler(), nullptr),
              InstanceDecision::Run);
    CommandLine both;
    both.kill = true;
    both.start = true;
    InstanceServer other;
    EXPECT_EQ(SettleSingleInstance(both, paths, other, {}, nullptr), InstanceDecision::EndHanded);
    ASSERT_EQ(inbox.Count(), 1u);
    EXPECT_EQ(inbox.got[0], InstanceMessage::Kill);
    EXPECT_FALSE(other.locked());  // "/Kill" ends before the lock is looked at
}

TEST_F(SingleInstance, KillWithNothingRunningEndsAndLeavesNothingBehind) {
    CommandLine kill;
    kill.kill = true;
    InstanceServer server;
    EXPECT_EQ(SettleSingleInstance(kill, paths, server, {}, nullptr), InstanceDecision::EndHanded);
    EXPECT_FALSE(std::filesystem::exists(paths.lock));
    EXPECT_FALSE(std::filesystem::exists(paths.socket));
}

TEST_F(SingleInstance, StaleFilesOfACrashedRunDoNotStopTheStart) {
    // A crashed run leaves its lock file and socket file, with nothing behind them.
    { std::ofstream(paths.lock) << "x"; }
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strcpy(addr.sun_path, paths.socket.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }
    Inbox inbox;
    InstanceServer server;
    EXPECT_EQ(SettleSingleInstance(CommandLine{}, paths, server, inbox.Handler(), nullptr),
              InstanceDecision::Run);
    EXPECT_TRUE(server.locked());
    // And the new copy answers on the replaced socket.
    EXPECT_EQ(SendToRunningInstance(paths, InstanceMessage::Open), InstanceAnswer::Taken);
    EXPECT_EQ(inbox.Count(), 1u);
}

TEST_F(SingleInstance, LockHeldButNothingAnsweringGoesOn) {
    const int holder = ::open(paths.lock.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    Inbox inbox;
    InstanceServer server;
    EXPECT_EQ(SettleSingleInstance(CommandLine{}, paths, server, inbox.Handler(), nullptr),
              InstanceDecision::Run);
    EXPECT_FALSE(server.locked());
    // It still listens, so a later start finds it.
    EXPECT_EQ(SendToRunningInstance(paths, InstanceMessage::Open), InstanceAnswer::Taken);
    ::close(holder);
}

TEST_F(SingleInstance, WrongTagOverTheSocketDoesNothingAndIsNotAcknowledged) {
    Inbox inbox;
    InstanceServer server;
    ASSERT_EQ(SettleSingleInstance(CommandLine{}, paths, server, inbox.Handler(), nullptr),
              InstanceDecision::Run);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, paths.socket.c_str());
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const auto bad = EncodeInstanceRequest(kMsgKill, kTagOpen);
    ASSERT_EQ(::send(fd, bad.data(), bad.size(), 0), 8);
    uint8_t answer = 0;
    EXPECT_EQ(::recv(fd, &answer, 1, 0), 0);  // closed without an answer
    ::close(fd);
    EXPECT_EQ(inbox.Count(), 0u);
    // The server goes on serving good requests.
    EXPECT_EQ(SendToRunningInstance(paths, InstanceMessage::Open), InstanceAnswer::Taken);
    EXPECT_EQ(inbox.Count(), 1u);
}

TEST_F(SingleInstance, StopReleasesLockAndSocket) {
    InstanceServer server;
    ASSERT_EQ(SettleSingleInstance(CommandLine{}, paths, server, {}, nullptr), InstanceDecision::Run);
    server.Stop();
    EXPECT_FALSE(std::filesystem::exists(paths.socket));
    InstanceServer next;
    EXPECT_TRUE(next.TryLock(paths));
}

TEST_F(SingleInstance, StartDuringTheEndWaitsForItAndThenRuns) {
    Inbox inbox;
    InstanceServer ending;
    ASSERT_EQ(SettleSingleInstance(CommandLine{}, paths, ending, inbox.Handler(), nullptr),
              InstanceDecision::Run);
    ending.SetEnding();
    // The ending copy takes nothing more: an open would be lost, and it says so instead of "taken".
    EXPECT_EQ(SendToRunningInstance(paths, InstanceMessage::Open), InstanceAnswer::Ending);
    EXPECT_EQ(inbox.Count(), 0u);

    // A start meanwhile is not handed over: it runs, holding the lock, once the ending copy let go of it.
    InstanceServer next;
    std::atomic<int> decided{-1};
    std::thread start([&] {
        decided =
            static_cast<int>(SettleSingleInstance(CommandLine{}, paths, next, inbox.Handler(), nullptr));
    });
    ending.Stop();
    start.join();
    EXPECT_EQ(decided.load(), static_cast<int>(InstanceDecision::Run));
    EXPECT_TRUE(next.locked());
    EXPECT_EQ(SendToRunningInstance(paths, InstanceMessage::Open), InstanceAnswer::Taken);
    EXPECT_EQ(inbox.Count(), 1u);
}

TEST(InstancePathsTest, RuntimeFolderIsUsedWhenSet) {
    test::TempDir dir;
    const auto env = [&](const char* name) -> std::optional<std::string> {
        if (std::string_view(name) == "XDG_RUNTIME_DIR") return dir.path().string();
        return std::nullopt;
    };
    const auto paths = FindInstancePaths(env, nullptr);
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->socket.parent_path(), dir.path());
    EXPECT_EQ(paths->lock.parent_path(), dir.path());
}

}  // namespace
}  // namespace vornak
