// One simulated keyboard per state file, shared by every process that binds the library: what one process
// does, the others see, and the keyboard outlives the process that hosted it. The other processes are
// sim_peer (driven line by line) and vornakctl.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "porthub/sim/port_hub_sim.h"
#include "porthub/sim/sim_memory.h"
#include "tests/support/temp_dir.h"
#include "tests/support/traffic.h"

namespace vornak {
namespace {

using test::BinDir;

// sim_peer as a child process: Ask writes one command line and returns the answer line.
class Peer {
  public:
    Peer() {
        int in[2], out[2];
        EXPECT_EQ(::pipe2(in, O_CLOEXEC), 0);
        EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            for (const int fd : {in[0], in[1], out[0], out[1]})
                ::close(fd);
            const std::string bin = (BinDir() / "sim_peer").string();
            ::execl(bin.c_str(), bin.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        to_ = ::fdopen(in[1], "w");
        from_ = ::fdopen(out[0], "r");
        EXPECT_EQ(Line(), "ready");
    }
    ~Peer() { Quit(); }

    std::string Ask(const std::string& command) {
        std::fprintf(to_, "%s\n", command.c_str());
        std::fflush(to_);
        return Line();
    }
    // Ends the process as a user's program ends: its keyboard goes through the library's end.
    int Quit() {
        if (pid_ <= 0) return status_;
        std::fclose(to_);
        std::fclose(from_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return status_;
    }
    // Ends it as a crash would: nothing is saved.
    void Kill() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        std::fclose(to_);
        std::fclose(from_);
        pid_ = 0;
    }

  private:
    std::string Line() {
        char buffer[4096];
        if (std::fgets(buffer, sizeof buffer, from_) == nullptr) return "<ended>";
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n') line.pop_back();
        return line;
    }

    pid_t pid_ = 0;
    int status_ = -1;
    std::FILE* to_ = nullptr;
    std::FILE* from_ = nullptr;
};

class SharedSimulatedKeyboard : public ::testing::Test {
  protected:
    void SetUp() override {
        // A runtime folder of the test's own, so that no other test's keyboard is met.
        ASSERT_EQ(::mkdir((dir / "run").c_str(), 0700), 0);
        ::setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
        ::setenv("VORNAK_SIM_STATE", (dir / "keyboard.state").c_str(), 1);
        ::setenv("VORNAK_SIM_LOG", (dir / "traffic.log").c_str(), 1);
        for (const char* name : {"VORNAK_SIM_CONTROL", "VORNAK_SIM_FAULTS", "VORNAK_SIM_DETACHED",
                                 "VORNAK_SIM_LATENCY_MS", "VORNAK_PORTHUB"})
            ::unsetenv(name);
    }
    void TearDown() override {
        for (const char* name :
             {"XDG_RUNTIME_DIR", "VORNAK_SIM_STATE", "VORNAK_SIM_LOG", "VORNAK_SIM_LATENCY_MS"})
            ::unsetenv(name);
    }

    int Ctl(const std::string& args) {
        const std::string line = "HOME='" + dir.path().string() + "' XDG_CONFIG_HOME='" +
                                 (dir / "config").string() + "' " + (BinDir() / "vornakctl").string() +
                                 " --simulate " + args + " >/dev/null 2>>'" + (dir / "stderr").string() + "'";
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int StateProfile() {
        std::string why;
        const auto memory = sim::ParseState(test::ReadText(dir / "keyboard.state"), &why);
        EXPECT_TRUE(memory) << why;
        return memory ? memory->settings[10] : -1;
    }

    test::TempDir dir;
};

TEST_F(SharedSimulatedKeyboard, EveryProcessSeesOneKeyboardThatOutlivesItsHost) {
    auto host = std::make_unique<Peer>();
    Peer guest;
    EXPECT_EQ(host->Ask("count"), "1");
    EXPECT_EQ(guest.Ask("count"), "1");

    // A change by one is the other's: one memory.
    EXPECT_EQ(guest.Ask("set-profile 2"), "1");
    EXPECT_EQ(host->Ask("profile"), "2");
    EXPECT_EQ(Ctl("profile 2"), 0) << test::ReadText(dir / "stderr");
    EXPECT_EQ(guest.Ask("profile"), "1");
    EXPECT_EQ(host->Ask("profile"), "1");

    // The keyboard's events reach every process, whichever raised them.
    EXPECT_EQ(guest.Ask("raise " + std::to_string(PORTHUB_SIM_LAYER_SWITCH)), "1");
    EXPECT_EQ(host->Ask("raise " + std::to_string(PORTHUB_SIM_SETTINGS_CHANGED)), "1");
    EXPECT_EQ(host->Ask("events"), "led B,lighting-changed");
    EXPECT_EQ(guest.Ask("events"), "led B,lighting-changed");
    EXPECT_EQ(host->Ask("raise " + std::to_string(PORTHUB_SIM_DETACH)), "1");
    EXPECT_EQ(guest.Ask("count"), "0");
    EXPECT_EQ(guest.Ask("raise " + std::to_string(PORTHUB_SIM_ATTACH)), "1");
    EXPECT_EQ(host->Ask("count"), "1");

    // The host ends in the middle of a guest's write sequence: the guests keep their keyboard, with its
    // memory and without a removal, one of them hosts it now (either may), and the sequence goes on.
    Peer next;
    EXPECT_EQ(guest.Ask("begin"), "1");
    EXPECT_EQ(host->Quit(), 0);
    host.reset();
    const std::string before = guest.Ask("events");
    EXPECT_EQ(guest.Ask("count"), "1");
    EXPECT_EQ(guest.Ask("finish-profile 0"), "1");
    EXPECT_EQ(guest.Ask("profile"), "0");
    EXPECT_EQ(guest.Ask("events"), before);
    EXPECT_EQ(Ctl("profile 3"), 0) << test::ReadText(dir / "stderr");
    EXPECT_EQ(guest.Ask("profile"), "2");

    // The process that hosts it now or the other one is killed: it saves nothing more, and the keyboard
    // comes back from the last end of a sequence.
    EXPECT_EQ(next.Ask("set-profile 0"), "1");
    guest.Kill();
    EXPECT_EQ(next.Ask("count"), "1");
    EXPECT_EQ(next.Ask("profile"), "0");
    EXPECT_EQ(next.Quit(), 0);
    EXPECT_EQ(StateProfile(), 0);

    // Every report of every process reached the one keyboard in one log, and each was answered.
    int outs = 0, ins = 0;
    for (const std::string& line : {test::ReadText(dir / "traffic.log")}) {
        for (size_t at = 0; (at = line.find(" OUT ", at)) != std::string::npos; ++at)
            ++outs;
        for (size_t at = 0; (at = line.find(" IN ", at)) != std::string::npos; ++at)
            ++ins;
    }
    EXPECT_GT(outs, 20);
    EXPECT_EQ(outs, ins);
}

TEST_F(SharedSimulatedKeyboard, TwoProgramsApplyingAtOnceNeverInterleaveTheirSequences) {
    // A slow keyboard gives the two downloads every chance to meet.
    ::setenv("VORNAK_SIM_LATENCY_MS", "3", 1);
    ASSERT_EQ(Ctl("capture '" + (dir / "now.fwc").string() + "'"), 0) << test::ReadText(dir / "stderr");
    std::ofstream(dir / "traffic.log", std::ios::trunc);

    const std::string apply = "apply --yes '" + (dir / "now.fwc").string() + "'";
    const std::string line = "HOME='" + dir.path().string() + "' XDG_CONFIG_HOME='" +
                             (dir / "config").string() + "' " + (BinDir() / "vornakctl").string() +
                             " --simulate " + apply;
    const std::string both = "(" + line + " & " + line + " & " + line + " & wait) >/dev/null 2>'" +
                             (dir / "stderr").string() + "'";
    ASSERT_EQ(std::system(both.c_str()), 0);
    EXPECT_EQ(test::ReadText(dir / "stderr"), "");

    // Three downloads, each a whole begin ... end with no report of another process inside.
    const auto sent = test::CommandsInLog(dir / "traffic.log");
    int begins = 0;
    bool inside = false;
    for (const test::SentCommand& c : sent) {
        if (c.code == 1) {
            EXPECT_FALSE(inside) << "a begin inside another program's sequence";
            inside = true;
            ++begins;
        } else if (c.code == 2) {
            EXPECT_TRUE(inside) << "an end without its begin";
            inside = false;
        } else if (!inside) {
            EXPECT_TRUE(c.code % 2 == 1 || c.code == 15)
                << "a write outside a sequence: code " << int(c.code);
        }
    }
    EXPECT_FALSE(inside);
    EXPECT_GE(begins, 3);
}

}  // namespace
}  // namespace vornak
