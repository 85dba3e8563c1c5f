// Platform services on Windows: movable global memory, message boxes, the common file boxes
// and the per-user application-data folder. The only place of the portable layers that sees Windows headers.
// The other Windows headers need windows.h first.
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>
// clang-format on

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/PlatformFile.h"
#include "platform/PlatformNative.h"

namespace Platform {

MemHandle AllocMovable(size_t size) {
    return reinterpret_cast<MemHandle>(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
}
void* LockMem(MemHandle handle) {
    return handle ? GlobalLock(reinterpret_cast<HGLOBAL>(handle)) : nullptr;
}
void UnlockMem(MemHandle handle) {
    if (handle) GlobalUnlock(reinterpret_cast<HGLOBAL>(handle));
}
void FreeMem(MemHandle handle) {
    if (handle) GlobalFree(reinterpret_cast<HGLOBAL>(handle));
}

MemHandle MemHandleFromPointer(void* pointer) {
    return reinterpret_cast<MemHandle>(GlobalHandle(pointer));
}

namespace Native {

namespace {

UINT ButtonFlags(AlertButtons buttons) {
    switch (buttons) {
        case AlertButtons::Ok: return MB_OK;
        case AlertButtons::OkCancel: return MB_OKCANCEL;
        case AlertButtons::YesNo: return MB_YESNO;
        case AlertButtons::YesNoCancel: return MB_YESNOCANCEL;
    }
    return MB_OK;
}

UINT IconFlags(AlertIcon icon) {
    switch (icon) {
        case AlertIcon::None: return 0;
        case AlertIcon::Exclamation: return MB_ICONEXCLAMATION;
        case AlertIcon::Error: return MB_ICONERROR;
        case AlertIcon::Information: return MB_ICONINFORMATION;
        case AlertIcon::Question: return MB_ICONQUESTION;
    }
    return 0;
}

// "Description|*.a;*.b|..." becomes the double-NUL-terminated list the file boxes take.
std::vector<char> FilterList(const std::string& filter) {
    std::vector<char> list(filter.begin(), filter.end());
    for (char& c : list)
        if (c == '|') c = '\0';
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

bool RunFileBox(const FileBoxRequest& request, std::string& path, bool save) {
    std::vector<char> buffer(MAX_PATH * 4, '\0');
    request.suggestedName.copy(buffer.data(), buffer.size() - 1);
    std::vector<char> filter = FilterList(request.filter);
    OPENFILENAMEA box{};
    box.lStructSize = sizeof box;
    box.hwndOwner = reinterpret_cast<HWND>(request.owner);
    box.lpstrFilter = request.filter.empty() ? nullptr : filter.data();
    box.lpstrFile = buffer.data();
    box.nMaxFile = DWORD(buffer.size());
    box.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    box.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    box.nFilterIndex = 1;
    box.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    BOOL chosen = save ? GetSaveFileNameA(&box) : GetOpenFileNameA(&box);
    if (!chosen) return false;
    path = buffer.data();
    return true;
}

}  // namespace

AlertAnswer ShowAlert(intptr_t owner, const std::string& text, const std::string& caption, AlertButtons buttons,
                      AlertIcon icon) {
    int answer = MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(),
                             ButtonFlags(buttons) | IconFlags(icon));
    return AlertAnswer(answer);
}

bool AskSavePath(const FileBoxRequest& request, std::string& path) {
    return RunFileBox(request, path, true);
}
bool AskOpenPath(const FileBoxRequest& request, std::string& path) {
    return RunFileBox(request, path, false);
}

std::string UserConfigFolder(intptr_t owner) {
    char folder[MAX_PATH] = {};
    if (SUCCEEDED(
            SHGetFolderPathA(reinterpret_cast<HWND>(owner), CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder)))
        return folder;
    const char* user = std::getenv("UserName");
    if (user && *user) return std::string("C:\\Documents and Settings\\") + user + "\\Application Data";
    return "C:\\Documents and Settings\\All Users\\Application Data";
}

}  // namespace Native

int ErrnoForWindowsError(uint32_t systemError) {
    switch (systemError) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME: return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_NETWORK_ACCESS_DENIED: return EACCES;
        case ERROR_WRITE_PROTECT: return EROFS;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
        case ERROR_NOT_SAME_DEVICE: return EXDEV;
        case ERROR_INVALID_HANDLE: return EBADF;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return ENOMEM;
        case ERROR_INVALID_PARAMETER:
        case ERROR_NEGATIVE_SEEK: return EINVAL;
        case ERROR_FILE_TOO_LARGE: return EFBIG;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        default: return 0;
    }
}

int64_t WriteSystemHandle(intptr_t handle, const void* buffer, uint32_t count) {
    DWORD written = 0;
    if (WriteFile(reinterpret_cast<HANDLE>(handle), buffer, count, &written, nullptr)) return int64_t(written);
    const int mapped = ErrnoForWindowsError(GetLastError());
    errno = mapped != 0 ? mapped : EIO;
    return -1;
}

int RenameReplacing(const char* from, const char* to) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    const int mapped = ErrnoForWindowsError(GetLastError());
    return mapped != 0 ? mapped : EINVAL;
}

}  // namespace Platform
