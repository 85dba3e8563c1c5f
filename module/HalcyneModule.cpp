// The module's exports: the filter entry point hosts call, and the embedding hook our own tools call.
// Both are C functions with the C calling convention; neither lets an exception escape.
#include "common/hcmain.h"
#include "hostapi/FilterHost.h"
#include "platform/HcEmbed.h"
#include "platform/Platform.h"

#if defined(_WIN32)
#include <windows.h>
#define HC_EXPORT __declspec(dllexport)
#else
#define HC_EXPORT __attribute__((visibility("default")))
#endif

extern "C" HC_EXPORT void HC_CDECL ENTRYPOINT(int16_t selector, void* block, intptr_t* data, int16_t* result) {
    HcEntry(selector, block, data, result);
}

extern "C" HC_EXPORT void HC_CDECL HalcyneSetEmbedHost(const HcEmbedHost* host) {
    try {
        Platform::SetEmbedHost(host);
    } catch (...) {
        Platform::SetEmbedHost(nullptr);
    }
}

#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Platform::SetModuleInstance(instance);
    return TRUE;
}
#endif
