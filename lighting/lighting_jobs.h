// How the lighting panel has its keyboard work done: the work runs away from the UI thread (the program's
// device worker, in the order posted) with the lighting model, or null when the program has none, and the
// snapshot it returns reaches the UI thread afterwards.
#pragma once

#include <functional>
#include <string>

#include "lighting/panel_look.h"

namespace vornak {

class LightingModel;

using LightingJob = std::function<LightingSnapshot(LightingModel* model)>;
using LightingJobRunner =
    std::function<void(std::string name, LightingJob work, std::function<void(LightingSnapshot)> done)>;

}  // namespace vornak
