// The few system services the portable code needs: movable memory, alerts, file boxes, the preferences folder.
// One Win32 and one headless implementation; an embedding host may answer the boxes instead of a person.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct HcEmbedHost;

namespace Platform {

// Movable system memory. Blocks are zero-filled; a null handle means the allocation failed.
struct MemBlock;
using MemHandle = MemBlock*;
MemHandle AllocMovable(size_t size);
void* LockMem(MemHandle handle);
void UnlockMem(MemHandle handle);
void FreeMem(MemHandle handle);
// The block whose locked memory starts at `pointer`.
MemHandle MemHandleFromPointer(void* pointer);

enum class AlertButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class AlertIcon { None, Exclamation, Error, Information, Question };
enum class AlertAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// A modal message box owned by the given window (a host window handle; 0 for none).
AlertAnswer ShowAlert(intptr_t owner, const std::string& text, const std::string& caption, AlertButtons buttons,
                      AlertIcon icon);

// The Save As and Open boxes. They return false when the user cancels (or, headless, nobody answers).
struct FileBoxRequest {
    intptr_t owner = 0;
    std::string title;
    std::string suggestedName;  // Save As only
    std::string filter;         // "Description|*.ext;*.ext2" pairs joined by '|'
    std::string defaultExtension;
};
bool AskSavePath(const FileBoxRequest& request, std::string& path);
bool AskOpenPath(const FileBoxRequest& request, std::string& path);

// Tells the embedding host, when there is one, the code and detail of the error that is about to be alerted.
void NoteError(uint32_t code, uint32_t detail);

// The per-user folder that holds the preferences file, without a trailing separator; empty when unknown.
std::string UserConfigFolder();

// The module instance handle recorded when the module was attached to the process.
void SetModuleInstance(void* instance);
void* ModuleInstance();

// Installs the embedding host (copied), or removes it with null or an unknown version.
void SetEmbedHost(const HcEmbedHost* host);

}  // namespace Platform
