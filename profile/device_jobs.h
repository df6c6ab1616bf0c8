// How a core model has keyboard work done: the work runs away from the UI thread (the program's device
// worker, one job at a time in the order posted) and its continuation runs on the UI thread afterwards. Tests
// run both at once.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vornak {

class ConfigStore;
class ConfigTransfer;
class DeviceLink;
class ProfileFiles;

// The configuration stack a job works with: the objects the program's device worker hands its jobs.
struct ProfileServices {
    DeviceLink& link;
    ConfigStore& store;
    ConfigTransfer& transfer;
    ProfileFiles& files;
};

using DeviceJob = std::function<void(ProfileServices&)>;
using DeviceJobRunner = std::function<void(std::string name, DeviceJob work, std::function<void()> done)>;

// Runs the work and then its continuation on the calling thread.
inline DeviceJobRunner RunJobsInline(ProfileServices services) {
    return [services](std::string, DeviceJob work, std::function<void()> done) mutable {
        if (work) work(services);
        if (done) done();
    };
}

// A job with a result: work's value reaches done.
template <class R>
void RunDeviceJob(const DeviceJobRunner& run, std::string name, std::function<R(ProfileServices&)> work,
                  std::function<void(R)> done) {
    auto result = std::make_shared<R>();
    run(
        std::move(name), [work = std::move(work), result](ProfileServices& s) { *result = work(s); },
        [done = std::move(done), result] {
            if (done) done(std::move(*result));
        });
}

}  // namespace vornak
