// The one thread that talks to the keyboard. The UI thread posts jobs; they run strictly one at a time in the
// order posted, each with the keyboard and the configuration (DeviceContext), and each job's result comes
// back to the UI thread through the poster. The UI thread never waits for a job.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vornak {

class ConfigStore;
class ConfigTransfer;
class DeviceLink;
class LanguageTexts;
class LightingModel;
class ProfileFiles;

// What a job works with. References stay valid for the worker's life.
struct DeviceContext {
    DeviceLink& link;
    ConfigStore& store;
    ConfigTransfer& transfer;
    ProfileFiles& files;
    const LanguageTexts& texts;
    LightingModel* lighting = nullptr;  // null until the program has one
};

// Runs a function on the UI thread later (Qt: a queued call). Called from the worker thread.
using UiPoster = std::function<void(std::function<void()>)>;

class DeviceWorker {
  public:
    DeviceWorker(DeviceContext context, UiPoster poster);
    // Stops and joins; queued jobs are dropped.
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // UI thread. work runs on the worker; done, if given, on the UI thread afterwards with work's result.
    template <class R>
    void Post(std::string name, std::function<R(DeviceContext&)> work, std::function<void(R)> done) {
        auto result = std::make_shared<R>();
        PostRaw(
            std::move(name), [work = std::move(work), result](DeviceContext& c) { *result = work(c); },
            [done = std::move(done), result] {
                if (done) done(std::move(*result));
            });
    }
    void Post(std::string name, std::function<void(DeviceContext&)> work, std::function<void()> done = {}) {
        PostRaw(std::move(name), std::move(work), std::move(done));
    }

    // UI thread: a job was posted whose done has not run yet. While this holds, the worker may hold locks A
    // and B, and the UI thread must not take them.
    bool busy() const { return pending_ > 0; }
    size_t pending() const { return pending_; }
    // UI thread: runs action now when no job is pending, else once the last pending job's done has run. A
    // later action with the same key replaces one still waiting (the latest click wins); an empty key never
    // replaces.
    void WhenIdle(std::string key, std::function<void()> action);
    bool HasWaiting(const std::string& key) const;

    // Held by the worker while a job runs. Keyboard traffic outside the worker (the device thread's reads at
    // an attach) takes it too, so no two exchanges ever overlap.
    std::mutex& trafficMutex() { return trafficMutex_; }

    // Any thread: no job runs or is queued on the worker itself (the done callbacks may still be on their
    // way).
    bool WorkerIdle() const;
    // UI thread, at the program's end: new posts are dropped from now on, and so are the actions waiting for
    // idle (they belong to a window that is gone); the jobs already queued still run, in order. The program
    // waits until !busy(), then calls Stop.
    void Finish();
    bool finishing() const;
    // Drops the jobs not yet started; the running one ends by itself (close the link first so it ends soon).
    // New posts are dropped too.
    void Stop();
    // Waits for the worker thread; after Stop.
    void Join();
    // The names of the jobs started so far, in order (tests and diagnostics).
    std::vector<std::string> startedJobs() const;

  private:
    struct Job {
        std::string name;
        std::function<void(DeviceContext&)> work;
        std::function<void()> done;
    };
    void PostRaw(std::string name, std::function<void(DeviceContext&)> work, std::function<void()> done);
    void Run();
    void JobDone(std::function<void()> done);  // UI thread

    DeviceContext context_;
    UiPoster poster_;

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Job> queue_;
    bool running_ = false;  // a job is being worked on
    bool stopping_ = false;
    bool finishing_ = false;
    std::vector<std::string> started_;

    std::mutex trafficMutex_;

    // UI thread only.
    size_t pending_ = 0;
    struct Waiting {
        std::string key;
        std::function<void()> action;
    };
    std::deque<Waiting> waiting_;

    std::thread thread_;
};

}  // namespace vornak
