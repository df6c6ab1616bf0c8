// vornakctl as a user runs it: the built program against the simulated keyboard library, with a state file
// that keeps the keyboard's memory between runs and a traffic log of every report.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "porthub/sim/sim_memory.h"
#include "profile/profile_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/traffic.h"

namespace vornak::test {

namespace fs = std::filesystem;

struct CtlRun {
    int code = -1;
    std::string out;
};

class Vornakctl : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("HOME", dir.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_DOCUMENTS_DIR", (dir / "Documents").c_str(), 1);
        ::setenv("VORNAK_SIM_STATE", state().c_str(), 1);
        ::setenv("VORNAK_SIM_LOG", log().c_str(), 1);
        ::unsetenv("VORNAK_PORTHUB");
        ::unsetenv("VORNAK_SIM_DETACHED");
    }
    void TearDown() override { ::unsetenv("VORNAK_SIM_DETACHED"); }

    fs::path state() const { return dir / "keyboard.state"; }
    fs::path log() const { return dir / "traffic.log"; }

    static std::string Bin() { return (test::BinDir() / "vornakctl").string(); }

    CtlRun Ctl(const std::string& args) { return Run(Bin() + " " + args); }

    // A shell line, run in the test's folder.
    CtlRun Run(const std::string& line) {
        const std::string command =
            "cd '" + dir.path().string() + "' && " + line + " 2>" + (dir / "stderr").string();
        CtlRun r;
        FILE* p = ::popen(command.c_str(), "r");
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        const int status = ::pclose(p);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        lastError = ReadText(dir / "stderr");
        return r;
    }

    // The commands of the log since it was last cleared.
    std::vector<test::SentCommand> Sent() { return test::CommandsInLog(log()); }

    void ClearLog() { std::ofstream(log(), std::ios::trunc); }

    fs::path WriteProfile(const std::string& name) {
        EditCopy copy;
        auto set = [&](int profile, int slot, uint16_t kind, uint32_t value, uint16_t code = 0) {
            copy.image.setEntry(profile, slot, ConfigEntry{kind, code, value, 0, 0});
        };
        set(0, 0x1E, 2, 0x030);        // A sends B
        set(0, 0x01, 1, 0);            // Esc off
        set(0, 0x10, 4, 1, 3);         // Q plays Combo three times
        set(1, 0x3B, 7, 7);            // F1 mutes
        set(2, 0x30, 8, 4);            // B copies
        set(2, KeySlot(0x15C), 5, 0);  // Right Win stops macros
        MacroRecord m{};
        m.SetName(u"Combo");
        m.id = 1;
        m.cycles = 3;
        m.actionCount = 4;
        m.actions[0] = {50, 0x01D, 0};
        m.actions[1] = {50, 0x02E, 0};
        m.actions[2] = {20, 0x02E, 1};
        m.actions[3] = {0, 0x01D, 1};
        copy.macros.push_back(m);
        const auto bytes = *SerializeProfileFile(copy);
        test::WriteBytes(dir / name, bytes);
        return dir / name;
    }

    // The simulated keyboard's memory as its state file keeps it (the last run saved it).
    sim::SimMemory Memory() {
        std::string why;
        const auto memory = sim::ParseState(ReadText(state()), &why);
        EXPECT_TRUE(memory) << why;
        return memory.value_or(sim::SimMemory{});
    }

    TempDir dir;
    std::string lastError;
};

}  // namespace vornak::test
