#include "Windows.h"

#include <memory>

namespace norv::e2e {
namespace {

struct SendRequest {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
};

DWORD WINAPI SendWorker(LPVOID parameter) {
  auto* request = static_cast<SendRequest*>(parameter);
  request->result =
      SendMessageA(request->window, request->message, request->wParam, request->lParam);
  return 0;
}

struct Search {
  std::string className;
  DWORD pid;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
  if (search->pid != 0 && ProcessOf(window) != search->pid) return TRUE;
  if (!search->className.empty() && ClassOf(window) != search->className) return TRUE;
  search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (search->className.empty() ||
      lstrcmpiA(ClassOf(window).c_str(), search->className.c_str()) == 0) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::optional<LRESULT> TimedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 DWORD limitMs) {
  // The request outlives a worker that never returns: the process exits
  // with the worker still blocked, so the leak is deliberate.
  auto request = std::make_unique<SendRequest>(SendRequest{window, message, wParam, lParam});
  HANDLE thread = CreateThread(nullptr, 0, SendWorker, request.get(), 0, nullptr);
  if (thread == nullptr) return std::nullopt;
  DWORD waited = WaitForSingleObject(thread, limitMs);
  CloseHandle(thread);
  if (waited != WAIT_OBJECT_0) {
    request.release();
    return std::nullopt;
  }
  return request->result;
}

std::optional<std::string> ReadText(HWND window, DWORD limitMs) {
  ULONGLONG deadline = Now() + limitMs;
  auto length = TimedSend(window, WM_GETTEXTLENGTH, 0, 0, limitMs);
  if (!length) return std::nullopt;
  // Room for text that grows between the two messages.
  std::size_t room = static_cast<std::size_t>(*length) + 4096;
  auto buffer = std::make_unique<char[]>(room);
  ULONGLONG now = Now();
  DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 1;
  auto copied = TimedSend(window, WM_GETTEXT, room, reinterpret_cast<LPARAM>(buffer.get()), left);
  if (!copied) {
    buffer.release();  // the blocked worker may still write into it
    return std::nullopt;
  }
  return std::string(buffer.get(), static_cast<std::size_t>(*copied));
}

std::string ClassOf(HWND window) {
  char name[256];
  int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::vector<HWND> TopLevelWindows(const std::string& className, DWORD pid, bool visibleOnly) {
  Search search{className, pid, visibleOnly, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildWindows(HWND parent, const std::string& className) {
  Search search{className, 0, false, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChild(HWND parent, const std::string& className, const std::string& caption) {
  for (HWND child : ChildWindows(parent, className)) {
    char text[512];
    int length = GetWindowTextA(child, text, sizeof text);
    if (caption == std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0)) {
      return child;
    }
  }
  return nullptr;
}

bool Pressable(HWND button) {
  HWND top = GetAncestor(button, GA_ROOT);
  return IsWindowVisible(button) && IsWindowEnabled(button) && top != nullptr &&
         IsWindowVisible(top) && IsWindowEnabled(top);
}

ULONGLONG Now() {
  return GetTickCount64();
}

}  // namespace norv::e2e
