// The test thread playing the UI thread: queued and blocking calls from other threads wait in a queue that
// the test runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "program/device_worker.h"
#include "program/link_relay.h"

namespace vornak::test {

class TestUi {
  public:
    UiPoster Poster() {
        return [this](std::function<void()> call) { Push(std::move(call)); };
    }
    UiBlockingCall Blocking() {
        return [this](std::function<void()> call) {
            auto done = std::make_shared<bool>(false);
            Push([this, call = std::move(call), done] {
                call();
                std::lock_guard lock(mutex_);
                *done = true;
                cv_.notify_all();
            });
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [&] { return *done; });
        };
    }

    // Runs queued calls until pred holds or the time is up; false on timeout.
    bool RunUntil(const std::function<bool()>& pred,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (pred()) return true;
            std::function<void()> call;
            {
                std::unique_lock lock(mutex_);
                // Short slices: pred may turn true on another thread without anything arriving here.
                const auto slice =
                    std::min(end, std::chrono::steady_clock::now() + std::chrono::milliseconds(2));
                if (!cv_.wait_until(lock, slice, [&] { return !queue_.empty(); })) {
                    if (std::chrono::steady_clock::now() >= end) return pred();
                    continue;
                }
                call = std::move(queue_.front());
                queue_.pop_front();
            }
            call();
        }
    }
    // Runs what arrives during the given time.
    void RunFor(std::chrono::milliseconds time) {
        const auto end = std::chrono::steady_clock::now() + time;
        RunUntil([&] { return std::chrono::steady_clock::now() >= end; }, time);
    }

  private:
    void Push(std::function<void()> call) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(call));
        }
        cv_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace vornak::test
