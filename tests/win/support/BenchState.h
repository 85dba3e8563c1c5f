// What a person can read off a window's controls, as transcript text: one walk through a dialog records it at
// each step instead of probing single values. Only what the controls hold is read, never how they draw it.
#pragma once

#include <windows.h>

#include <string>

// One line per control under `window` (pages and their controls included), in creation order: its id, its class,
// its text in quotes, "off" when greyed, "hidden" when not shown, then what its kind holds: a check box's or radio
// button's check, a list's selection and items, a trackbar's position; with `places`, where it lies in the window's
// client area.
std::string ControlStates(HWND window, bool places = false);
// "left,top to right,bottom".
std::string RectText(const RECT& rect);
