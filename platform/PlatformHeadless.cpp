// Platform services without a window system: heap memory, alerts printed to standard error,
// file boxes that nobody answers (cancel), and the XDG configuration folder.
#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/PlatformFile.h"
#include "platform/PlatformNative.h"

namespace Platform {

struct MemBlock {
    size_t size;
    alignas(16) unsigned char data[1];
};

MemHandle AllocMovable(size_t size) {
    if (size > SIZE_MAX - sizeof(MemBlock)) return nullptr;
    auto* block = static_cast<MemBlock*>(std::calloc(1, sizeof(MemBlock) + size));
    if (block) block->size = size;
    return block;
}

void* LockMem(MemHandle handle) {
    return handle ? handle->data : nullptr;
}
void UnlockMem(MemHandle) {}
void FreeMem(MemHandle handle) {
    std::free(handle);
}
MemHandle MemHandleFromPointer(void* pointer) {
    if (!pointer) return nullptr;
    return reinterpret_cast<MemHandle>(static_cast<unsigned char*>(pointer) - offsetof(MemBlock, data));
}

namespace Native {

AlertAnswer ShowAlert(intptr_t, const std::string& text, const std::string& caption, AlertButtons buttons, AlertIcon) {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    // Nobody can answer: take the button that changes nothing.
    switch (buttons) {
        case AlertButtons::Ok: return AlertAnswer::Ok;
        case AlertButtons::OkCancel:
        case AlertButtons::YesNoCancel: return AlertAnswer::Cancel;
        case AlertButtons::YesNo: return AlertAnswer::No;
    }
    return AlertAnswer::Ok;
}

bool AskSavePath(const FileBoxRequest&, std::string&) {
    return false;
}
bool AskOpenPath(const FileBoxRequest&, std::string&) {
    return false;
}

std::string UserConfigFolder(intptr_t) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) return std::string();
    std::string folder = std::string(home) + "/.config";
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
    return folder;
}

}  // namespace Native

int RenameReplacing(const char* from, const char* to) {
    return std::rename(from, to) == 0 ? 0 : errno;
}

// Paths and names are bytes here; what the command line gave is what the preferences file keeps.
std::string StoredText(const std::string& utf8) {
    return utf8;
}

}  // namespace Platform
