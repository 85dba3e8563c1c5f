// Driving modal dialogs and message boxes from a test: while the code under test sits in the box's own modal
// loop, a thread timer on the test's thread finds the box by caption and runs the test's action on it.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

class BenchOnModal {
public:
    // From now on, looks every 20 ms for a visible top-level window of this thread with this caption and runs
    // `action` on it once, inside whatever message loop is running. When `limit` passes first, every dialog of
    // the thread is cancelled, so a wrong caption fails the test instead of hanging it.
    BenchOnModal(std::wstring caption, std::function<void(HWND)> action,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(10000));
    // The same for the window with that caption that holds a control of this id (dialogs may share a caption),
    // once `ready` holds for it when given (a dialog that works inside its own pumps is acted on between them).
    BenchOnModal(std::wstring caption, int controlId, std::function<void(HWND)> action,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(10000),
                 std::function<bool(HWND)> ready = {});
    ~BenchOnModal();
    BenchOnModal(const BenchOnModal&) = delete;
    BenchOnModal& operator=(const BenchOnModal&) = delete;

    bool Ran() const { return ran; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
    void Check();

    std::wstring caption;
    int controlId = 0;
    std::function<void(HWND)> action;
    std::function<bool(HWND)> ready;
    std::chrono::steady_clock::time_point deadline;
    UINT_PTR timer = 0;
    bool ran = false;
};

// Answers the box with this caption by pressing `buttonId` (IDOK, IDCANCEL, IDYES...), keeping its texts.
class BenchAnswerBox {
public:
    BenchAnswerBox(const std::wstring& caption, int buttonId);
    bool Answered() const { return watcher.Ran(); }
    // The box's static texts (a message box's message), joined by line feeds.
    const std::wstring& Texts() const { return texts; }

private:
    std::wstring texts;
    BenchOnModal watcher;
};

// What a file box offered when it was answered.
struct BenchFileBoxSeen {
    std::wstring filterName;
    bool readOnlyBoxShown = true;
};

// Answers the Open or Save As box with this caption with `path` (or with Cancel when `path` is empty), as a person
// typing the name and pressing the default button, noting what the box offered. Generous time limit: the first
// file box of a fresh Wine prefix takes its time.
class BenchAnswerFileBox {
public:
    BenchAnswerFileBox(const std::wstring& caption, const std::string& path);
    bool Answered() const { return watcher.Ran(); }
    const BenchFileBoxSeen& Seen() const { return seen; }

private:
    BenchFileBoxSeen seen;
    BenchOnModal watcher;
};

// Presses a dialog's button as a click does (BM_CLICK); a command message when there is no such control.
void PressDialogButton(HWND dialog, int id);
// The texts of the window's static children in creation order, joined by line feeds.
std::wstring StaticTexts(HWND window);
