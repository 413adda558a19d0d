// The one place that decides what a newly plugged accessory's flash holds.
#pragma once

#include "flash.h"
#include "model_profile.h"

namespace zelo::sim {

// An up-to-date accessory of its model: the program's firmware image in
// pages 16 to 29, configuration pages from the model's defaults block with
// this unit's own identity (derived from unit), and the firmware text the
// profile asks for where the firmware keeps it. Models given by a loader
// text keep their firmware pages erased and take the standard configuration.
void initialiseFlash(Flash &flash, const Profile &profile, unsigned unit);

}  // namespace zelo::sim
