// The device worker: one job at a time in the order posted, results on the UI thread, actions that wait.
#include "program/device_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "device/device_command.h"
#include "device/port_hub_link.h"
#include "tests/program/program_fixture.h"

namespace vornak::test {
namespace {

using namespace std::chrono_literals;

TEST(DeviceWorker, JobsRunInTheOrderPostedOneAtATimeAndReportOnTheUiThread) {
    ProgramFixture f;
    f.Start();
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("reloaded") == 1; }));

    std::atomic<int> inside{0};
    std::atomic<int> most{0};
    std::vector<int> done;
    const auto ui = std::this_thread::get_id();
    for (int i = 0; i < 12; ++i) {
        f.worker->Post<int>(
            "job " + std::to_string(i),
            [&, i](DeviceContext& c) {
                most = std::max(most.load(), ++inside);
                SettingsBlock s{};
                c.link.ReadSettings(s);
                std::this_thread::sleep_for(1ms);
                --inside;
                return i;
            },
            [&, ui](int i) {
                EXPECT_EQ(std::this_thread::get_id(), ui);
                done.push_back(i);
            });
    }
    EXPECT_TRUE(f.worker->busy());
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(most.load(), 1);
    ASSERT_EQ(done.size(), 12u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(done[static_cast<size_t>(i)], i);
    const auto started = f.worker->startedJobs();
    EXPECT_EQ(started.back(), "job 11");
}

TEST(DeviceWorker, TheReadsAtAnAttachNeverCutIntoARunningJob) {
    // Each piece takes longer than the link's own guard against an overlapping exchange (20 ms in tests).
    ProgramFixtureOptions o;
    o.config.latency = 25ms;
    ProgramFixture f(o);
    f.Start();
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("reloaded") == 1; }));
    f.sim->Raise(sim::SimEvent::Detach);
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("hide") == 1; }));
    f.sim->WaitUntilDelivered();
    f.sim->ClearTraffic();

    // A job that starts talking the moment the keyboard is back, as the device thread does: it reads a key
    // block (command 7, seven pieces). The device thread's reads (commands 15 and 3) must wait for the job,
    // never cut into its seven pieces.
    std::atomic<bool> running{false};
    f.worker->Post("read when back", [&](DeviceContext& c) {
        running = true;
        while (!f.sim->attached())
            std::this_thread::yield();
        KeyBlockBytes block{};
        c.link.ReadKeyBlock(0, block);
    });
    ASSERT_TRUE(f.ui.RunUntil([&] { return running.load(); }));
    f.sim->Raise(sim::SimEvent::Attach);
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("reloaded") == 2 && !f.worker->busy(); }));
    f.sim->WaitUntilDelivered();

    std::vector<uint8_t> codes;
    for (const auto& out : f.sim->commandsSent())
        codes.push_back(out.size() > 3 ? out[3] : 0);
    const auto first = std::find(codes.begin(), codes.end(), 7);
    ASSERT_LE(first + 7, codes.end());
    for (auto it = first; it != first + 7; ++it)
        EXPECT_EQ(*it, 7) << "command " << int(*it) << " cut into the job at report " << (it - codes.begin());
    EXPECT_NE(std::find(codes.begin(), codes.end(), 15), codes.end()) << "the attach's own reads";
    EXPECT_EQ(f.sim->violations(), 0);
}

TEST(DeviceWorker, ActionsWaitForThePendingJobsAndTheLatestClickWins) {
    ProgramFixture f;
    std::atomic<bool> release{false};
    std::vector<std::string> ran;
    f.worker->WhenIdle("key-click", [&] { ran.push_back("now"); });  // nothing pending: at once
    ASSERT_EQ(ran.size(), 1u);
    f.worker->Post("slow", [&](DeviceContext&) {
        while (!release.load())
            std::this_thread::sleep_for(1ms);
    });
    f.worker->WhenIdle("key-click", [&] { ran.push_back("first click"); });
    f.worker->WhenIdle("defaults", [&] { ran.push_back("defaults"); });
    f.worker->WhenIdle("key-click", [&] { ran.push_back("second click"); });
    EXPECT_TRUE(f.worker->HasWaiting("key-click"));
    f.ui.RunFor(20ms);
    EXPECT_EQ(ran.size(), 1u) << "nothing may run while the job runs";
    release = true;
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(ran, (std::vector<std::string>{"now", "second click", "defaults"}));
}

TEST(DeviceWorker, AnActionThatPostsAJobMakesTheRestWaitAgain) {
    ProgramFixture f;
    std::vector<std::string> ran;
    f.worker->Post("first", [](DeviceContext&) {});
    f.worker->WhenIdle("a", [&] {
        ran.push_back("a");
        f.worker->Post(
            "second", [](DeviceContext&) {}, [&] { ran.push_back("second done"); });
    });
    f.worker->WhenIdle("b", [&] { ran.push_back("b"); });
    ASSERT_TRUE(f.ui.RunUntil([&] { return ran.size() == 3; }));
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "second done", "b"}));
}

TEST(DeviceWorker, StopDropsQueuedJobsAndLetsTheRunningOneEnd) {
    ProgramFixture f;
    std::atomic<int> count{0};
    std::atomic<bool> release{false};
    f.worker->Post("running", [&](DeviceContext&) {
        while (!release.load())
            std::this_thread::sleep_for(1ms);
        ++count;
    });
    for (int i = 0; i < 5; ++i)
        f.worker->Post("queued", [&](DeviceContext&) { ++count; });
    ASSERT_TRUE(f.ui.RunUntil([&] { return !f.worker->startedJobs().empty(); }));
    f.worker->Stop();
    f.worker->Post("after stop", [&](DeviceContext&) { ++count; });
    release = true;
    f.worker->Join();
    EXPECT_EQ(count.load(), 1);
    EXPECT_TRUE(f.worker->WorkerIdle());
}

}  // namespace
}  // namespace vornak::test

namespace vornak::test {
namespace {

TEST(DeviceWorker, FinishRunsTheQueuedJobsToTheirEndAndTakesNoNewOnes) {
    ProgramFixtureOptions o;
    o.config.latency = 5ms;
    ProgramFixture f(o);
    f.Start();
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("reloaded") == 1 && !f.worker->busy(); }));
    f.sim->ClearTraffic();

    // Three write sequences queued, the end asked for while the first runs.
    std::atomic<bool> first{false};
    std::vector<std::string> done;
    for (int i = 0; i < 3; ++i) {
        f.worker->Post<int>(
            "write " + std::to_string(i),
            [&, i](DeviceContext& c) {
                first = true;
                SettingsBlock s{};
                c.link.ReadSettings(s);
                c.link.BeginSequence();
                const int written = c.link.WriteSettings(s);
                return c.link.EndSequence() == kLinkOk ? written : -1;
            },
            [&, i](int result) { done.push_back(std::to_string(i) + ":" + std::to_string(result)); });
    }
    bool waited = false;
    f.worker->WhenIdle("key-click", [&] { waited = true; });
    ASSERT_TRUE(f.ui.RunUntil([&] { return first.load(); }));
    f.worker->Finish();
    f.worker->Post("after the end", [](DeviceContext&) { ADD_FAILURE() << "a job posted after Finish ran"; });
    ASSERT_TRUE(f.ui.RunUntil([&] { return !f.worker->busy() && f.worker->WorkerIdle(); }));

    EXPECT_EQ(done, (std::vector<std::string>{"0:1", "1:1", "2:1"}));
    EXPECT_FALSE(waited) << "an action waiting for the window ran after the end began";
    int begins = 0;
    int ends = 0;
    for (const auto& report : f.sim->commandsSent()) {
        begins += report[command_field::kCode] == command_code::kBegin;
        ends += report[command_field::kCode] == command_code::kEnd;
    }
    EXPECT_EQ(begins, 3);
    EXPECT_EQ(ends, 3);
}

}  // namespace
}  // namespace vornak::test
