#pragma once
// Owners for GDI objects and window-disabling, released on every way out.
#include <windows.h>

#include <utility>
#include <vector>

namespace norv::win32 {

// A font, brush or other GDI object, deleted with DeleteObject.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T handle) : handle_(handle) {}
  ~GdiObject() {
    if (handle_) DeleteObject(handle_);
  }
  GdiObject(GdiObject&& o) noexcept : handle_(std::exchange(o.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    std::swap(handle_, o.handle_);
    return *this;
  }
  T Get() const { return handle_; }

 private:
  T handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;

// A device context of a window's client area, released when done.
class ClientDC {
 public:
  explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~ClientDC() { ReleaseDC(hwnd_, dc_); }
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, previous_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Disables every enabled, visible top-level window of this thread while a
// modal window is open, and enables them again afterwards.
class TaskWindowsDisabled {
 public:
  TaskWindowsDisabled() {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows_));
    for (HWND w : windows_) EnableWindow(w, FALSE);
  }
  ~TaskWindowsDisabled() {
    for (HWND w : windows_) {
      if (IsWindow(w)) EnableWindow(w, TRUE);
    }
  }
  TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
  TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND w, LPARAM list) {
    if (IsWindowVisible(w) && IsWindowEnabled(w)) {
      reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    }
    return TRUE;
  }
  std::vector<HWND> windows_;
};

}  // namespace norv::win32
