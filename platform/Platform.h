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
// Every text is UTF-8, the chosen path too. Both boxes hide the read-only box and need an existing folder; Save As
// asks before replacing a file, Open takes only an existing file.
struct FileBoxRequest {
    intptr_t owner = 0;
    std::string title;
    std::string suggestedName;  // the file name the box starts with
    std::string filter;         // "Description|*.ext;*.ext2" pairs joined by '|'
    std::string defaultExtension;
    size_t pathCharacters = 260;       // the longest path the box may return
    size_t fileTitleCharacters = 260;  // the same for the chosen file's name alone
};
bool AskSavePath(const FileBoxRequest& request, std::string& path);
bool AskOpenPath(const FileBoxRequest& request, std::string& path);

// A UTF-8 text as the byte strings of the settings, the saved lists and the preferences file hold it (a loaded
// palette's name): in the system's code page on Windows, where a character it lacks becomes its nearest match or
// '?', so the stored bytes keep their format; unchanged elsewhere.
std::string StoredText(const std::string& utf8);

// Tells the embedding host, when there is one, the code and detail of the error that is about to be alerted.
void NoteError(uint32_t code, uint32_t detail);

// Tells the embedding host that the preferences file could not be stored; true when it lets the run go on
// without them. A real host has no say: the error ends the run.
bool GoOnWithoutPrefs(uint32_t code, uint32_t detail);

// Whether an interactive run shows its dialogs: always under a real host, under an embedding host when it asks.
bool DialogsWanted();

// The per-user folder that holds the preferences file, without a trailing separator; empty when unknown.
std::string UserConfigFolder();

// The module instance handle recorded when the module was attached to the process.
void SetModuleInstance(void* instance);
void* ModuleInstance();

// Installs the embedding host (copied), or removes it with null or an unknown version.
void SetEmbedHost(const HcEmbedHost* host);

}  // namespace Platform
