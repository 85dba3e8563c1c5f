// Platform services on Windows: movable global memory, message boxes, the common file boxes, the per-user
// application-data folder and the UTF-8 <-> UTF-16 conversions. Every system call takes wide text; UTF-8 inside.
// The only place of the portable layers that sees Windows headers.
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
#include "platform/Utf16.h"

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

// Text for a system call: UTF-8, or else the system code page's bytes of a stored name.
std::wstring Wide(const std::string& text) {
    if (std::optional<std::wstring> wide = Utf16FromUtf8(text)) return *wide;
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

// "Description|*.a;*.b|..." becomes the double-NUL-terminated list the file boxes take.
std::wstring FilterList(const std::string& filter) {
    std::wstring list = Wide(filter);
    for (wchar_t& c : list)
        if (c == L'|') c = L'\0';
    list.push_back(L'\0');
    return list;  // the string's own terminator is the second NUL
}

bool RunFileBox(const FileBoxRequest& request, std::string& path, bool save) {
    std::vector<wchar_t> file(request.pathCharacters + 1, L'\0');
    Wide(request.suggestedName).copy(file.data(), file.size() - 1);
    std::vector<wchar_t> fileTitle(request.fileTitleCharacters + 1, L'\0');
    const std::wstring filter = FilterList(request.filter);
    const std::wstring title = Wide(request.title);
    const std::wstring defaultExtension = Wide(request.defaultExtension);
    OPENFILENAMEW box{};
    box.lStructSize = sizeof box;
    box.hwndOwner = reinterpret_cast<HWND>(request.owner);
    box.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    box.nFilterIndex = 1;
    box.lpstrFile = file.data();
    box.nMaxFile = DWORD(file.size() - 1);
    box.lpstrFileTitle = fileTitle.data();
    box.nMaxFileTitle = DWORD(fileTitle.size() - 1);
    box.lpstrTitle = title.empty() ? nullptr : title.c_str();
    box.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    box.Flags = save ? OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING
                     : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!(save ? GetSaveFileNameW(&box) : GetOpenFileNameW(&box))) return false;
    // A name with an unpaired surrogate has no UTF-8 spelling, so no file layer call could reach it: as cancelled.
    std::optional<std::string> chosen = Utf8FromUtf16(file.data());
    if (!chosen) return false;
    path = *chosen;
    return true;
}

// The Windows shell's per-user application-data folder, made when missing.
std::optional<std::string> ShellAppDataFolder(intptr_t owner) {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(reinterpret_cast<HWND>(owner), CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder)))
        return std::nullopt;
    return Utf8FromUtf16(folder);
}

std::optional<std::string> Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    if (!value || !*value) return std::nullopt;
    return Utf8FromUtf16(value);
}

}  // namespace

AlertAnswer ShowAlert(intptr_t owner, const std::string& text, const std::string& caption, AlertButtons buttons,
                      AlertIcon icon) {
    int answer = MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text).c_str(), Wide(caption).c_str(),
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
    if (std::optional<std::string> folder = ShellAppDataFolder(owner)) return *folder;
    if (std::optional<std::string> user = Environment(L"UserName"))
        return "C:\\Documents and Settings\\" + *user + "\\Application Data";
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
    const std::optional<std::wstring> wideFrom = Utf16FromUtf8(from);
    const std::optional<std::wstring> wideTo = Utf16FromUtf8(to);
    if (!wideFrom || !wideTo) return EINVAL;
    // A file open in another program without delete sharing (a run reading the preferences, a virus scanner)
    // cannot be replaced until it is closed, which is a matter of milliseconds: wait up to about a second.
    constexpr int kTries = 50;
    constexpr DWORD kPauseMs = 20;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (MoveFileExW(wideFrom->c_str(), wideTo->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) break;
        Sleep(kPauseMs);
    }
    const int mapped = ErrnoForWindowsError(error);
    return mapped != 0 ? mapped : EINVAL;
}

std::optional<std::wstring> Utf16FromUtf8(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int size = int(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> Utf8FromUtf16(const std::wstring& utf16) {
    if (utf16.empty()) return std::string();
    const int size = int(utf16.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::nullopt;
    std::string utf8(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string StoredText(const std::string& utf8) {
    const std::optional<std::wstring> wide = Utf16FromUtf8(utf8);
    if (!wide) return utf8;  // already bytes of some code page: kept as they are
    if (wide->empty()) return std::string();
    const int size = int(wide->size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide->data(), size, nullptr, 0, nullptr, nullptr);
    std::string stored(size_t(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide->data(), size, stored.data(), length, nullptr, nullptr);
    return stored;
}

}  // namespace Platform
