// The system side of the platform services, implemented once for Win32 and once headless.
// Platform.cpp routes each request to the embedding host when one is installed, else here.
#pragma once

#include "platform/Platform.h"

namespace Platform::Native {
AlertAnswer ShowAlert(intptr_t owner, const std::string& text, const std::string& caption, AlertButtons buttons,
                      AlertIcon icon);
bool AskSavePath(const FileBoxRequest& request, std::string& path);
bool AskOpenPath(const FileBoxRequest& request, std::string& path);
std::string UserConfigFolder(intptr_t owner);
}  // namespace Platform::Native
