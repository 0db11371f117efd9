#include "Commands.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <stdexcept>

#include "Text.h"
#include "Windows.h"

namespace norv::e2e {
namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kReadLimitMs = 10000;

void Need(const Args& args, std::size_t count) {
  if (args.size() < count) throw std::invalid_argument("missing arguments");
}

DWORD Number(const std::string& text) {
  std::size_t used = 0;
  unsigned long value = std::stoul(text, &used, 0);
  if (used != text.size()) throw std::invalid_argument("not a number: " + text);
  return static_cast<DWORD>(value);
}

// The system time in milliseconds since 1970, comparable with the host's
// clock (Wine reads the same one): the moment of a click or of a text seen.
std::string UnixMilliseconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  constexpr ULONGLONG k1970 = 116444736000000000ULL;  // in 100 ns units since 1601
  return std::to_string((ticks - k1970) / 10000);
}

std::string Hex(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return text;
}

std::string Caption(HWND window) {
  char text[1024];
  int length = GetWindowTextA(window, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The first visible top-level window of `className`, of any process.
HWND MainWindow(const std::string& className) {
  auto found = TopLevelWindows(className, 0, true);
  return found.empty() ? nullptr : found.front();
}

HWND WaitFor(const std::string& className, DWORD limitMs) {
  ULONGLONG deadline = Now() + limitMs;
  for (;;) {
    if (HWND window = MainWindow(className)) return window;
    if (Now() >= deadline) return nullptr;
    Sleep(kPollMs);
  }
}

HWND MemoOf(const std::string& className) {
  HWND window = MainWindow(className);
  if (window == nullptr) return nullptr;
  auto edits = ChildWindows(window, "Edit");
  return edits.empty() ? nullptr : edits.front();
}

// One line describing a message dialog: handle, caption, text, buttons.
std::string DescribeDialog(HWND dialog) {
  std::string text;
  for (HWND label : ChildWindows(dialog, "Static")) {
    if (!IsWindowVisible(label)) continue;
    if ((GetWindowLongA(label, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
    auto read = ReadText(label, kReadLimitMs);
    if (read && !read->empty()) {
      text = *read;
      break;
    }
  }
  std::string buttons;
  for (HWND button : ChildWindows(dialog, "Button")) {
    if (!IsWindowVisible(button)) continue;
    if (!buttons.empty()) buttons += ',';
    buttons += std::to_string(GetDlgCtrlID(button)) + ":" + Caption(button);
  }
  return "dialog " + Hex(dialog) + "\t" + Escape(Caption(dialog)) + "\t" + Escape(text) + "\t" +
         Escape(buttons);
}

LRESULT CALLBACK HoldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void Emit(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "driver: %s\n", message.c_str());
  return 1;
}

int Start(const Args& args, bool wait) {
  Need(args, 2);
  std::string directory = args[0];
  std::string commandLine = Argument(args[1]);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    return Fail("CreateProcess failed, error " + std::to_string(GetLastError()));
  }
  CloseHandle(process.hThread);
  Emit("pid " + std::to_string(process.dwProcessId));
  if (wait) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    Emit("exit " + std::to_string(code));
  }
  CloseHandle(process.hProcess);
  return 0;
}

int WaitExit(const Args& args) {
  Need(args, 2);
  HANDLE process =
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, Number(args[0]));
  if (process == nullptr) {
    Emit("exit gone");
    return 0;
  }
  DWORD waited = WaitForSingleObject(process, Number(args[1]));
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  if (waited != WAIT_OBJECT_0) return Fail("process " + args[0] + " still runs");
  Emit("exit " + std::to_string(code));
  return 0;
}

int WaitWindow(const Args& args) {
  Need(args, 2);
  HWND window = WaitFor(args[0], Number(args[1]));
  if (window == nullptr) return Fail("no window of class " + args[0]);
  Emit("window " + Hex(window) + " pid " + std::to_string(ProcessOf(window)));
  return 0;
}

int Click(const Args& args) {
  Need(args, 3);
  std::string caption = Argument(args[1]);
  ULONGLONG deadline = Now() + Number(args[2]);
  for (;;) {
    HWND window = MainWindow(args[0]);
    HWND button = window ? FindChild(window, "Button", caption) : nullptr;
    if (button != nullptr && Pressable(button)) {
      const std::string at = UnixMilliseconds();
      PostMessageA(button, BM_CLICK, 0, 0);
      Emit("clicked " + Hex(button) + " at " + at);
      return 0;
    }
    if (Now() >= deadline) {
      return Fail("no pressable button \"" + caption + "\" in " + args[0]);
    }
    Sleep(kPollMs);
  }
}

int Memo(const Args& args) {
  Need(args, 1);
  HWND memo = MemoOf(args[0]);
  if (memo == nullptr) return Fail("no Edit in " + args[0]);
  auto text = ReadText(memo, kReadLimitMs);
  if (!text) return Fail("the Edit did not answer");
  std::fwrite(text->data(), 1, text->size(), stdout);
  std::fflush(stdout);
  return 0;
}

int WaitMemo(const Args& args) {
  Need(args, 3);
  std::string wanted = Argument(args[1]);
  std::string unwanted = args.size() > 3 ? Argument(args[3]) : std::string();
  ULONGLONG deadline = Now() + Number(args[2]);
  // Found once and kept while it exists: looking through every window at
  // each poll is dozens of server round trips, which would slow the
  // installer being watched.
  HWND memo = nullptr;
  for (;;) {
    if (memo == nullptr || !IsWindow(memo)) memo = MemoOf(args[0]);
    if (memo != nullptr) {
      ULONGLONG now = Now();
      auto text = ReadText(memo, now < deadline ? static_cast<DWORD>(deadline - now) : 1);
      if (text && text->find(wanted) != std::string::npos &&
          (unwanted.empty() || text->find(unwanted) == std::string::npos)) {
        Emit("found at " + UnixMilliseconds());
        return 0;
      }
    }
    if (Now() >= deadline) return Fail("the Edit never showed \"" + args[1] + "\"");
    Sleep(kPollMs);
  }
}

int Progress(const Args& args) {
  Need(args, 1);
  HWND window = MainWindow(args[0]);
  auto bars = window ? ChildWindows(window, PROGRESS_CLASSA) : std::vector<HWND>{};
  if (bars.empty()) return Fail("no progress bar in " + args[0]);
  auto position = TimedSend(bars.front(), PBM_GETPOS, 0, 0, kReadLimitMs);
  auto low = TimedSend(bars.front(), PBM_GETRANGE, TRUE, 0, kReadLimitMs);
  auto high = TimedSend(bars.front(), PBM_GETRANGE, FALSE, 0, kReadLimitMs);
  if (!position || !low || !high) return Fail("the progress bar did not answer");
  Emit("progress " + std::to_string(*position) + " " + std::to_string(*low) + " " +
       std::to_string(*high));
  return 0;
}

int Dialogs(const Args& args, bool wait) {
  Need(args, wait ? 2 : 1);
  DWORD pid = Number(args[0]);
  ULONGLONG deadline = Now() + (wait ? Number(args[1]) : 0);
  for (;;) {
    auto dialogs = TopLevelWindows("#32770", pid, true);
    if (!dialogs.empty() || !wait) {
      for (HWND dialog : dialogs) Emit(DescribeDialog(dialog));
      return 0;
    }
    if (Now() >= deadline) return Fail("no dialog appeared");
    Sleep(kPollMs);
  }
}

int Answer(const Args& args) {
  Need(args, 3);
  DWORD pid = Number(args[0]);
  int id = args[1] == "ok" ? IDOK : args[1] == "cancel" ? IDCANCEL : 0;
  if (id == 0) throw std::invalid_argument("answer ok or cancel");
  ULONGLONG deadline = Now() + Number(args[2]);
  HWND pressed = nullptr;
  for (;;) {
    if (pressed == nullptr) {
      for (HWND dialog : TopLevelWindows("#32770", pid, true)) {
        HWND button = GetDlgItem(dialog, id);
        if (button != nullptr && Pressable(button)) {
          PostMessageA(button, BM_CLICK, 0, 0);
          pressed = dialog;
          break;
        }
      }
    } else if (!IsWindow(pressed) || !IsWindowVisible(pressed)) {
      Emit("answered " + Hex(pressed));
      return 0;
    }
    if (Now() >= deadline) {
      return Fail(pressed ? "the dialog stayed open" : "no dialog with that button");
    }
    Sleep(kPollMs);
  }
}

int Geometry(const Args& args) {
  Need(args, 1);
  HWND window = MainWindow(args[0]);
  if (window == nullptr) return Fail("no window of class " + args[0]);
  RECT outer{};
  GetWindowRect(window, &outer);
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  Emit("window " + std::to_string(outer.left) + " " + std::to_string(outer.top) + " " +
       std::to_string(outer.right - outer.left) + " " + std::to_string(outer.bottom - outer.top));
  Emit("client " + std::to_string(origin.x) + " " + std::to_string(origin.y) + " " +
       std::to_string(client.right) + " " + std::to_string(client.bottom));
  return 0;
}

int Hold(const Args& args) {
  Need(args, 1);
  bool hidden = args.size() > 1 && args[1] == "hidden";
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = HoldProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = args[0].c_str();
  if (RegisterClassA(&windowClass) == 0) return Fail("cannot register class " + args[0]);
  std::string title = "stand-in " + args[0];
  HWND window = CreateWindowExA(0, args[0].c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 220,
                                90, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return Fail("cannot create the window");
  if (!hidden) ShowWindow(window, SW_SHOWNOACTIVATE);
  Emit("holding " + Hex(window));
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  Emit("released");
  return 0;
}

int Lock(const Args& args) {
  Need(args, 2);
  // Opened without sharing, as a running program holds its own files.
  HANDLE file = CreateFileA(args[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Fail("cannot open " + args[0] + ", error " + std::to_string(GetLastError()));
  }
  Emit("locked");
  const int status = Hold({args[1], "hidden"});
  CloseHandle(file);
  return status;
}

int Close(const Args& args) {
  Need(args, 2);
  ULONGLONG deadline = Now() + Number(args[1]);
  for (HWND window : TopLevelWindows(args[0], 0, false)) PostMessageA(window, WM_CLOSE, 0, 0);
  while (!TopLevelWindows(args[0], 0, false).empty()) {
    if (Now() >= deadline) return Fail("a window of class " + args[0] + " stayed");
    Sleep(kPollMs);
  }
  Emit("closed");
  return 0;
}

int ListWindows(const Args& args) {
  Need(args, 1);
  for (HWND window : TopLevelWindows("", Number(args[0]), false)) {
    Emit("top " + Hex(window) + "\t" + Escape(ClassOf(window)) + "\t" + Escape(Caption(window)) +
         "\tpid=" + std::to_string(ProcessOf(window)) +
         (IsWindowVisible(window) ? " visible" : " hidden") +
         (IsWindowEnabled(window) ? " enabled" : " disabled"));
  }
  return 0;
}

}  // namespace norv::e2e
