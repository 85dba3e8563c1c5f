// Routes alerts, file boxes and the configuration folder to the embedding host when one is installed.
// Without one, the system implementation answers; real hosts never install one.
#include "platform/Platform.h"

#include <vector>

#include "platform/HcEmbed.h"
#include "platform/PlatformNative.h"

namespace {

HcEmbedHost gEmbedHost;
bool gHasEmbedHost = false;
std::string gConfigFolder;
void* gModuleInstance = nullptr;

int32_t ButtonsCode(Platform::AlertButtons buttons) {
    switch (buttons) {
        case Platform::AlertButtons::Ok: return 0;
        case Platform::AlertButtons::OkCancel: return 1;
        case Platform::AlertButtons::YesNoCancel: return 3;
        case Platform::AlertButtons::YesNo: return 4;
    }
    return 0;
}

bool AskEmbedded(int32_t(HC_EMBED_CDECL* ask)(void*, const char*, char*, int32_t), const std::string& argument,
                 std::string& path) {
    std::vector<char> buffer(4096, '\0');
    if (!ask(gEmbedHost.context, argument.c_str(), buffer.data(), int32_t(buffer.size()))) return false;
    buffer.back() = '\0';
    path = buffer.data();
    return !path.empty();
}

}  // namespace

namespace Platform {

AlertAnswer ShowAlert(intptr_t owner, const std::string& text, const std::string& caption, AlertButtons buttons,
                      AlertIcon icon) {
    if (gHasEmbedHost && gEmbedHost.alert)
        return AlertAnswer(gEmbedHost.alert(gEmbedHost.context, text.c_str(), caption.c_str(), ButtonsCode(buttons)));
    return Native::ShowAlert(owner, text, caption, buttons, icon);
}

void NoteError(uint32_t code, uint32_t detail) {
    if (gHasEmbedHost && gEmbedHost.error) gEmbedHost.error(gEmbedHost.context, code, detail);
}

bool AskSavePath(const FileBoxRequest& request, std::string& path) {
    if (gHasEmbedHost && gEmbedHost.askSavePath)
        return AskEmbedded(gEmbedHost.askSavePath, request.suggestedName, path);
    return Native::AskSavePath(request, path);
}

bool AskOpenPath(const FileBoxRequest& request, std::string& path) {
    if (gHasEmbedHost && gEmbedHost.askOpenPath) return AskEmbedded(gEmbedHost.askOpenPath, request.title, path);
    return Native::AskOpenPath(request, path);
}

bool GoOnWithoutPrefs(uint32_t code, uint32_t detail) {
    if (!gHasEmbedHost || !gEmbedHost.prefsNotStored) return false;
    gEmbedHost.prefsNotStored(gEmbedHost.context, code, detail);
    return true;
}

bool DialogsWanted() {
    return !gHasEmbedHost || gEmbedHost.showDialogs != 0;
}

std::string UserConfigFolder() {
    if (gHasEmbedHost && !gConfigFolder.empty()) return gConfigFolder;
    return Native::UserConfigFolder(0);
}

void SetModuleInstance(void* instance) {
    gModuleInstance = instance;
}
void* ModuleInstance() {
    return gModuleInstance;
}

void SetEmbedHost(const HcEmbedHost* host) {
    gHasEmbedHost = host && host->version == HC_EMBED_VERSION;
    gEmbedHost = gHasEmbedHost ? *host : HcEmbedHost{};
    gConfigFolder = gHasEmbedHost && host->configFolder ? host->configFolder : "";
}

}  // namespace Platform
