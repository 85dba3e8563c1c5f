// Modal boxes answered from inside their own loops: a thread timer finds the box and runs the test's action.
// Each watcher runs its action at most once and always removes its timer.
#include "tests/win/support/BenchModal.h"

// The other Windows headers need windows.h first.
// clang-format off
#include <windows.h>
#include <dlgs.h>
// clang-format on

#include <map>

#include "platform/Utf16.h"
#include "tests/win/support/BenchWindow.h"

namespace {

std::map<UINT_PTR, BenchOnModal*>& Watchers() {
    static std::map<UINT_PTR, BenchOnModal*> watchers;
    return watchers;
}

struct WindowSearch {
    const std::wstring* caption;
    int controlId;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    if (!IsWindowVisible(window) || WindowText(window) != *search->caption) return TRUE;
    if (search->controlId && !GetDlgItem(window, search->controlId)) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
    if (WindowClass(window) == L"#32770") PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

// Adds the child's text to the texts of static children so far (a wide string), after a line feed.
BOOL CALLBACK CollectStatic(HWND child, LPARAM context) {
    auto* texts = reinterpret_cast<std::wstring*>(context);
    const std::wstring text = WindowText(child);
    if (_wcsicmp(WindowClass(child).c_str(), L"Static") == 0 && !text.empty())
        *texts += (texts->empty() ? L"" : L"\n") + text;
    return TRUE;
}

constexpr std::chrono::milliseconds kAnswerLimit(60000);

}  // namespace

BenchOnModal::BenchOnModal(std::wstring caption, std::function<void(HWND)> action, std::chrono::milliseconds limit,
                           int controlId, std::function<bool(HWND)> ready)
    : caption(std::move(caption)),
      controlId(controlId),
      action(std::move(action)),
      ready(std::move(ready)),
      deadline(std::chrono::steady_clock::now() + limit) {
    timer = SetTimer(nullptr, 0, 20, Tick);
    Watchers()[timer] = this;
}

BenchOnModal::~BenchOnModal() {
    if (timer) KillTimer(nullptr, timer);
    Watchers().erase(timer);
}

void CALLBACK BenchOnModal::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = Watchers().find(timer);
    if (found != Watchers().end()) found->second->Check();
}

void BenchOnModal::Check() {
    WindowSearch search{&caption, controlId, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchCaption, reinterpret_cast<LPARAM>(&search));
    const bool late = std::chrono::steady_clock::now() >= deadline;
    if (search.found && ready && !ready(search.found) && !late) return;
    if (!search.found && !late) return;
    KillTimer(nullptr, timer);  // before the action, which may pump messages itself
    Watchers().erase(timer);
    timer = 0;
    if (!search.found) {
        EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
        return;
    }
    ran = true;
    try {
        action(search.found);
    } catch (...) {
        PostMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
    }
}

BenchAnswerBox::BenchAnswerBox(const std::wstring& caption, int buttonId)
    : watcher(
          caption,
          [this, buttonId](HWND box) {
              EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&texts));
              owner = GetWindow(box, GW_OWNER);
              PressDialogButton(box, buttonId);
          },
          kAnswerLimit) {}

BenchAnswerBox::BenchAnswerBox(const std::wstring& caption, const std::string& path)
    : watcher(
          caption,
          [this, path](HWND box) {
              wchar_t filter[64] = {};
              SendDlgItemMessageW(box, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
              HWND readOnly = GetDlgItem(box, chx1);
              texts = filter + std::wstring(readOnly && IsWindowVisible(readOnly) ? L" read-only" : L"");
              owner = GetWindow(box, GW_OWNER);
              if (path.empty()) return PressDialogButton(box, IDCANCEL);
              // The name field: an edit in some versions of the box, a combo box's edit in others.
              SetWindowTextW(GetDlgItem(box, edt1) ? GetDlgItem(box, edt1) : GetDlgItem(box, cmb13),
                             Platform::Utf16FromUtf8(path).value().c_str());
              PressDialogButton(box, IDOK);
          },
          kAnswerLimit) {}

void PressDialogButton(HWND dialog, int id) {
    if (HWND button = GetDlgItem(dialog, id))
        SendMessageW(button, BM_CLICK, 0, 0);
    else
        PostMessageW(dialog, WM_COMMAND, WPARAM(id), 0);
}
