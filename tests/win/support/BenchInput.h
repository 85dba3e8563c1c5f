// Mouse and keyboard input for bench tests, as real window messages through the thread's queue.
// While a window holds the mouse capture, mouse messages go to it in its own client coordinates, wherever the
// point lies, as the system routes them; the keyboard state agrees with the MK_ flags sent (GetKeyState).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "uicore/HcUiTypes.h"

// Modifier keys held during a mouse action: MK_SHIFT, MK_CONTROL or both.
enum BenchModifier : WPARAM { kBenchNoKeys = 0, kBenchShift = MK_SHIFT, kBenchControl = MK_CONTROL };

// One primary-button message at `point` (client coordinates of `window`), then pumps until idle. The left
// button's key state follows: down after MouseDown, up after MouseUp.
void MouseDown(HWND window, POINT point, WPARAM modifiers = kBenchNoKeys);
void MouseMove(HWND window, POINT point, WPARAM modifiers = kBenchNoKeys, bool buttonDown = true);
void MouseUp(HWND window, POINT point, WPARAM modifiers = kBenchNoKeys);
// Down and up at one point.
void Click(HWND window, POINT point, WPARAM modifiers = kBenchNoKeys);
// A click in the middle of a rectangle the code under test drew (a tool button, a swatch), then pumps until idle.
void ClickCentre(HWND window, const HcPixelRect& rect);
// Down at the first point, a move to each following point, up at the last. Points may lie outside the client
// area: a window that captured the mouse on the way down still receives them.
void Drag(HWND window, const std::vector<POINT>& path, WPARAM modifiers = kBenchNoKeys);
// `steps` evenly spaced moves from `from` to `to` (both included), for Drag.
std::vector<POINT> StraightPath(POINT from, POINT to, int steps);
// A click near the control's left edge, on a check box's or radio button's box.
void ClickControl(HWND control);
// A click on the tab control's item `tab` (the control with id `tabsId` in `dialog`).
void ShowTab(HWND dialog, int tabsId, int tab);
// Turns the wheel by `delta` with `keys` (MK_CONTROL, MK_SHIFT) held, the pointer at `screen` (screen coordinates);
// the message goes to `window`, as the system sends it to the window with the keyboard focus.
void TurnWheel(HWND window, POINT screen, WPARAM keys, int delta);
// Types `text` into the edit over what it holds, as a person does after selecting it: WM_CHAR messages.
void TypeInto(HWND edit, const std::string& text);
// WM_KEYDOWN then WM_KEYUP (with WM_CHAR between them for character keys), with the key's state following.
void PressKey(HWND window, UINT virtualKey);
