// The command's settings as the recorded descriptor a host would replay without dialogs.
#pragma once

#include <vector>

#include "cli/CommandLine.h"
#include "hostsim/SimDescriptor.h"

// Every setting is recorded, with its default when its flag was not given (with --last-settings only the given
// ones, leaving the rest to the preferences file); `inputHasAlpha` decides the default transparency.
std::vector<SimDescriptorItem> SettingsDescriptor(const HalcyneOptions& options, bool inputHasAlpha);
