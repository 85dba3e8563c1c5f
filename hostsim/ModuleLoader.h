// Loads the plug-in module the way a host does (LoadLibrary / dlopen) and finds its exports by name.
// The module stays loaded for the loader's lifetime.
#pragma once

#include <string>

#include "hostapi/FilterHost.h"
#include "platform/HcEmbed.h"

class ModuleLoader {
public:
    explicit ModuleLoader(const std::string& path);  // throws std::runtime_error with the system's reason
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    PluginEntryProc Entry() const { return entry_; }
    HcSetEmbedHostProc SetEmbedHost() const { return setEmbedHost_; }
    void* Symbol(const char* name) const;
    void* NativeHandle() const { return module_; }

private:
    void* module_ = nullptr;
    PluginEntryProc entry_ = nullptr;
    HcSetEmbedHostProc setEmbedHost_ = nullptr;
};
