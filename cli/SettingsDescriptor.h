// The command's settings as the recorded descriptor a host would replay without dialogs.
#pragma once

#include <vector>

#include "cli/CommandLine.h"
#include "hostsim/SimDescriptor.h"

// Only the settings the user gave are recorded; `inputHasAlpha` decides the default transparency.
std::vector<SimDescriptorItem> SettingsDescriptor(const HalcyneOptions& options, bool inputHasAlpha);
