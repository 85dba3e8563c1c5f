// Driving modal dialogs and message boxes from a test: while the code under test sits in the box's own modal
// loop, a thread timer on the test's thread finds the box by caption and runs the test's action on it.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

class BenchOnModal {
public:
    // From now on, looks every 20 ms for a visible top-level window of this thread with this caption, holding a
    // control of `controlId` when one is given (dialogs may share a caption), and runs `action` on it once, inside
    // whatever message loop is running, once `ready` holds for it when given (a dialog that works inside its own
    // pumps is acted on between them). When `limit` passes first, every dialog of the thread is cancelled, so a
    // wrong caption fails the test instead of hanging it.
    BenchOnModal(std::wstring caption, std::function<void(HWND)> action,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(10000), int controlId = 0,
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

// Answers the box with this caption as a person does, keeping what it showed (Texts). A message box: pressing
// `buttonId` (IDOK, IDCANCEL, IDYES...); its texts are its static texts joined by line feeds. An Open or Save As
// box: typing `path` (UTF-8) and pressing the default button (Cancel when `path` is empty); its texts are its first
// file type, then " read-only" when it offers that box. Generous time limit: the first file box of a fresh Wine
// prefix takes its time.
class BenchAnswerBox {
public:
    BenchAnswerBox(const std::wstring& caption, int buttonId);
    BenchAnswerBox(const std::wstring& caption, const std::string& path);
    bool Answered() const { return watcher.Ran(); }
    const std::wstring& Texts() const { return texts; }
    // The window that owns the box.
    HWND Owner() const { return owner; }

private:
    std::wstring texts;
    HWND owner = nullptr;
    BenchOnModal watcher;
};

// Presses a dialog's button as a click does (BM_CLICK); a command message when there is no such control.
void PressDialogButton(HWND dialog, int id);
