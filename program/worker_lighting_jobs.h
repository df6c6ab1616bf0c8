// The lighting panel's jobs on the program's device worker.
#pragma once

#include <utility>

#include "lighting/lighting_jobs.h"
#include "program/device_worker.h"

namespace vornak {

inline LightingJobRunner WorkerLightingJobs(DeviceWorker& worker) {
    return [&worker](std::string name, LightingJob work, std::function<void(LightingSnapshot)> done) {
        worker.Post<LightingSnapshot>(
            std::move(name), [work = std::move(work)](DeviceContext& c) { return work(c.lighting); },
            std::move(done));
    };
}

}  // namespace vornak
