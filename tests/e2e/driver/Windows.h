#pragma once
// Looking at another program's windows without ever blocking on it.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace norv::e2e {

// Sends `message` from a worker thread and gives up after `limitMs`: a
// SendMessageTimeout limit is not honoured while the target is busy.
std::optional<LRESULT> TimedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 DWORD limitMs);

// The window's text through WM_GETTEXT, read within `limitMs`.
std::optional<std::string> ReadText(HWND window, DWORD limitMs);

std::string ClassOf(HWND window);

DWORD ProcessOf(HWND window);

// Top-level windows of `className` (empty: any class) owned by process `pid`
// (0: any process), in z-order.
std::vector<HWND> TopLevelWindows(const std::string& className, DWORD pid, bool visibleOnly);

// Direct and indirect children of `parent` of `className`.
std::vector<HWND> ChildWindows(HWND parent, const std::string& className);

// The child of `className` whose caption equals `caption`; null when none.
HWND FindChild(HWND parent, const std::string& className, const std::string& caption);

// True when a person could press `button`: it and its top-level window are
// visible and enabled.
bool Pressable(HWND button);

// Milliseconds since an arbitrary start, for deadlines.
ULONGLONG Now();

}  // namespace norv::e2e
