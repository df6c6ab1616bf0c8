#include "program/device_worker.h"

namespace vornak {

DeviceWorker::DeviceWorker(DeviceContext context, UiPoster poster)
    : context_(context), poster_(std::move(poster)), thread_([this] { Run(); }) {}

DeviceWorker::~DeviceWorker() {
    Stop();
    Join();
}

void DeviceWorker::PostRaw(std::string name, std::function<void(DeviceContext&)> work,
                           std::function<void()> done) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || finishing_) return;
        queue_.push_back(Job{std::move(name), std::move(work), std::move(done)});
    }
    ++pending_;
    cv_.notify_all();
}

void DeviceWorker::Run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
            running_ = true;
            started_.push_back(job.name);
        }
        {
            std::lock_guard traffic(trafficMutex_);
            job.work(context_);
        }
        bool stopped;
        {
            std::lock_guard lock(mutex_);
            running_ = false;
            stopped = stopping_;
        }
        cv_.notify_all();
        if (!stopped) poster_([this, done = std::move(job.done)]() mutable { JobDone(std::move(done)); });
    }
}

void DeviceWorker::JobDone(std::function<void()> done) {
    if (done) done();
    if (pending_ > 0) --pending_;
    // Actions that waited run once nothing is pending; each may post again, which makes the rest wait anew.
    while (pending_ == 0 && !waiting_.empty()) {
        auto action = std::move(waiting_.front().action);
        waiting_.pop_front();
        action();
    }
}

void DeviceWorker::WhenIdle(std::string key, std::function<void()> action) {
    if (pending_ == 0) {
        action();
        return;
    }
    if (!key.empty()) {
        for (Waiting& w : waiting_) {
            if (w.key == key) {
                w.action = std::move(action);
                return;
            }
        }
    }
    waiting_.push_back(Waiting{std::move(key), std::move(action)});
}

bool DeviceWorker::HasWaiting(const std::string& key) const {
    for (const Waiting& w : waiting_) {
        if (w.key == key) return true;
    }
    return false;
}

bool DeviceWorker::WorkerIdle() const {
    std::lock_guard lock(mutex_);
    return !running_ && queue_.empty();
}

void DeviceWorker::Finish() {
    {
        std::lock_guard lock(mutex_);
        finishing_ = true;
    }
    waiting_.clear();
}

bool DeviceWorker::finishing() const {
    std::lock_guard lock(mutex_);
    return finishing_;
}

void DeviceWorker::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    cv_.notify_all();
}

void DeviceWorker::Join() {
    if (thread_.joinable()) thread_.join();
}

std::vector<std::string> DeviceWorker::startedJobs() const {
    std::lock_guard lock(mutex_);
    return started_;
}

}  // namespace vornak
