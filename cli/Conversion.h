// One conversion of the command: an input image through the plug-in module, as a host runs it, into one GIF.
// A conversion either puts a complete GIF in its output's place or leaves the output exactly as it was.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "hostapi/FilterHost.h"
#include "platform/HcEmbed.h"

// An input image and the GIF it becomes; "-" reads standard input or writes standard output.
struct ConversionJob {
    std::string input;
    std::string output;
};

// The outputs of the inputs: the -o file, DIR/NAME.gif for a folder (-o DIR/ or an existing folder), standard
// output for "-o -", else NAME.gif beside each input. Throws UsageError when outputs collide or -o cannot hold them.
std::vector<ConversionJob> PlanConversions(const HalcyneOptions& options);

// What every conversion of one command shares.
struct ConversionContext {
    PluginEntryProc entry = nullptr;
    HcSetEmbedHostProc setEmbedHost = nullptr;
    std::string configFolder;  // the preferences folder the module uses; empty for the user's own
    std::string prefsFile;     // the preferences file, named in messages
    HalcyneOptions settings;   // the flags, with an imported palette named
    bool quiet = false;
};

// Throws ConversionError or ImageReadError with the reason, or ConversionCancelled when the person cancelled in
// the dialogs; the output is then untouched.
void Convert(const ConversionJob& job, const ConversionContext& context);
