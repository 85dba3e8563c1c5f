// Dynamic loading of the module on both platforms; the only difference is the system call.
// A module without ENTRYPOINT is refused, as a host would.
#include "hostsim/ModuleLoader.h"

#include <filesystem>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {
std::string LastLoadError() {
#if defined(_WIN32)
    return "system error " + std::to_string(GetLastError());
#else
    const char* reason = dlerror();
    return reason ? reason : "unknown reason";
#endif
}
}  // namespace

ModuleLoader::ModuleLoader(const std::string& path) {
#if defined(_WIN32)
    module_ = LoadLibraryW(std::filesystem::u8path(path).c_str());  // the path is UTF-8
#else
    module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    if (!module_) throw std::runtime_error("cannot load " + path + ": " + LastLoadError());
    entry_ = reinterpret_cast<PluginEntryProc>(Symbol("ENTRYPOINT"));
    setEmbedHost_ = reinterpret_cast<HcSetEmbedHostProc>(Symbol(HC_EMBED_EXPORT_NAME));
    if (!entry_) {
        this->~ModuleLoader();
        throw std::runtime_error(path + " exports no ENTRYPOINT");
    }
}

ModuleLoader::~ModuleLoader() {
    if (!module_) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(module_));
#else
    dlclose(module_);
#endif
    module_ = nullptr;
}

void* ModuleLoader::Symbol(const char* name) const {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), name));
#else
    return dlsym(module_, name);
#endif
}
