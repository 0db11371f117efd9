#include <windows.h>
// windows.h first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "NorvInstall/win32/InstallerWindowSystem.h"
#include "tests/install/InstallerViewConformanceSuite.h"
#include "tests/platform/WindowSystemConformanceSuite.h"
#include "tests/win32/DialogWatcher.h"

namespace norv::win32 {
namespace {

using testing::DialogWatcher;

WindowDescription Description() {
  WindowDescription d;
  d.ClassName = "TNorvWin32TestForm";
  d.Caption = "Janela de teste";
  d.ClientWidth = 644;
  d.ClientHeight = 343;
  d.Colour = RGB(255, 255, 255);
  d.Font = {"MS Sans Serif", -10, 0, false};
  d.TextHeight = 13;
  d.Memo = {9, 7, 625, 234};
  d.MemoColour = RGB(240, 251, 255);
  d.MemoFont = {"Arial", -15, RGB(0, 0, 128), true};
  d.Instalar = {407, 270, 79, 33};
  d.Fechar = {523, 270, 79, 33};
  d.InstalarCaption = "&Instalar";
  d.FecharCaption = "&Fechar";
  d.ButtonFont = {"Verdana", -13, RGB(0, 0, 128), true};
  d.Progress = {0, 331, 644, 12};
  d.ProgressMin = 0;
  d.ProgressMax = 100;
  return d;
}

// The cursor that the dialog's own message loop sees, sampled by a timer.
std::atomic<HCURSOR> cursorInDialog{nullptr};
void CALLBACK SampleCursor(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  cursorInDialog = GetCursor();
}

HCURSOR SystemCursor(LPCSTR id) {
  return LoadCursorA(nullptr, id);
}

void PointAt(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The real window system with the installer window, the pointer resting on
// the memo; dialogs are answered from a watcher thread, as a person would.
// Both suites run over it: the window system's and the installer view's.
class Win32Screen : public conformance::Screen, public conformance::InstallerScreen {
 public:
  Win32Screen() : windows_(nullptr, [](const std::string& m) { return m; }) {
    windows_.SetTitle("Instalador de teste");
    window_ = &windows_.CreateInstallerWindow(Description());
    windows_.ShowMainWindow();
    PointAt(window_->Memo());
    windows_.ServeMessages();
  }

  WindowSystem& Windows() override { return windows_; }
  InstallerView& View() override { return windows_; }
  int ShownProgressPosition() override {
    return static_cast<int>(SendMessageA(window_->Progress(), PBM_GETPOS, 0, 0));
  }
  int ShownProgressMax() override {
    return static_cast<int>(SendMessageA(window_->Progress(), PBM_GETRANGE, FALSE, 0));
  }
  // What the memo shows when the mouse moves over it.
  Cursor ShownCursor() override {
    HWND memo = window_->Memo();
    SendMessageA(memo, WM_SETCURSOR, reinterpret_cast<WPARAM>(memo),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return AsCursor(GetCursor());
  }

  conformance::ShownDialog AnswerDialog(const std::string& text, DialogKind kind,
                                        DialogButtons buttons, DialogResult press) override {
    cursorInDialog = nullptr;
    SetTimer(nullptr, 0, 50, &SampleCursor);
    const int button = press == DialogResult::Ok ? IDOK : IDCANCEL;
    DialogWatcher watcher([button](HWND dialog) {
      for (int i = 0; i < 100 && !cursorInDialog; ++i) Sleep(20);
      PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    });
    conformance::ShownDialog shown;
    shown.result = windows_.MessageDialog(text, kind, buttons);
    const auto& seen = watcher.Seen();
    shown.caption = seen.Caption;
    shown.text = seen.Text;
    shown.hasOk = seen.HasOk;
    shown.hasCancel = seen.HasCancel;
    shown.cursor = AsCursor(cursorInDialog);
    return shown;
  }

  std::string ShowErrorBox(const std::string& text) override {
    DialogWatcher watcher([](HWND box) { PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); });
    windows_.ErrorBox(text);
    return watcher.Seen().Text;
  }

 private:
  static Cursor AsCursor(HCURSOR shown) {
    return shown == SystemCursor(IDC_WAIT) ? Cursor::HourGlass : Cursor::Default;
  }

  InstallerWindowSystem windows_;
  InstallerWindow* window_ = nullptr;
};

using conformance::WindowSystemConformance;
INSTANTIATE_TEST_SUITE_P(Screens, WindowSystemConformance,
                         ::testing::Values(conformance::ScreenKind{
                             "Win32", [] { return std::make_unique<Win32Screen>(); }}),
                         conformance::ScreenName);
using conformance::InstallerViewConformance;
INSTANTIATE_TEST_SUITE_P(Screens, InstallerViewConformance,
                         ::testing::Values(conformance::InstallerScreenKind{
                             "Win32", [] { return std::make_unique<Win32Screen>(); }}),
                         conformance::InstallerScreenName);

class Win32WindowSystemTest : public ::testing::Test {
 protected:
  Win32WindowSystemTest() : windows_(nullptr, [](const std::string& m) { return "<" + m + ">"; }) {
    windows_.SetTitle("Instalador de teste");
    window_ = &windows_.CreateInstallerWindow(Description());
    window_->OnInstalarClick = [this] { ++instalar_; };
    window_->OnFecharClick = [this] { ++fechar_; };
    windows_.ShowMainWindow();
  }

  HWND Child(const char* className, const char* text) {
    return FindWindowExA(window_->Handle(), nullptr, className, text);
  }
  // Hands a keyboard message to the window as the message loop does.
  bool Key(UINT message, WPARAM key, HWND target, bool alt = false) {
    MSG msg{target, message, key, alt ? (1 << 29) : 0, 0, {0, 0}};
    return window_->PreTranslate(msg);
  }

  InstallerWindowSystem windows_;
  InstallerWindow* window_ = nullptr;
  int instalar_ = 0, fechar_ = 0;
};

TEST_F(Win32WindowSystemTest, ScrollBarKeepsTextAndFocus) {
  HWND memo = window_->Memo();
  SetFocus(memo);
  windows_.SetMemoText("texto");
  EXPECT_FALSE(GetWindowLongA(memo, GWL_STYLE) & WS_VSCROLL);
  windows_.EnableMemoVerticalScrollBar();
  HWND now = window_->Memo();
  EXPECT_TRUE(GetWindowLongA(now, GWL_STYLE) & WS_VSCROLL);
  EXPECT_TRUE(GetWindowLongA(now, GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(Child("Edit", nullptr), now);
  EXPECT_EQ(windows_.MemoText(), "texto");
  EXPECT_EQ(GetFocus(), now);
}

// Its range and position are in the conformance suite.
TEST_F(Win32WindowSystemTest, ProgressBarIsTheBlockBar) {
  HWND bar = Child("msctls_progress32", nullptr);
  ASSERT_EQ(bar, window_->Progress());
  EXPECT_FALSE(GetWindowLongA(bar, GWL_STYLE) & PBS_SMOOTH);
}

TEST_F(Win32WindowSystemTest, KeyboardPressesButtonsAndLeavesEscAlone) {
  HWND memo = window_->Memo();
  HWND instalar = Child("Button", "&Instalar");
  HWND fechar = Child("Button", "&Fechar");
  ASSERT_TRUE(instalar && fechar);

  EXPECT_TRUE(Key(WM_SYSKEYDOWN, 'I', memo, true));
  EXPECT_TRUE(Key(WM_SYSKEYDOWN, 'F', memo, true));
  EXPECT_EQ(instalar_, 1);
  EXPECT_EQ(fechar_, 1);

  SetFocus(memo);
  EXPECT_FALSE(Key(WM_KEYDOWN, VK_RETURN, memo));  // the memo takes Enter
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_ESCAPE, memo));   // and Esc does nothing
  EXPECT_EQ(instalar_ + fechar_, 2);

  // Tab: memo -> "&Instalar" -> "&Fechar" -> memo.
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_TAB, memo));
  EXPECT_EQ(GetFocus(), instalar);
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN, instalar));
  EXPECT_EQ(instalar_, 2);
  Key(WM_KEYDOWN, VK_TAB, instalar);
  EXPECT_EQ(GetFocus(), fechar);
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN, fechar));
  EXPECT_EQ(fechar_, 2);
  Key(WM_KEYDOWN, VK_TAB, fechar);
  EXPECT_EQ(GetFocus(), memo);
}

TEST_F(Win32WindowSystemTest, HourglassOverridesEveryControlsCursor) {
  auto cursorOver = [](HWND w) {
    SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  auto system = [](LPCSTR id) { return LoadCursorA(nullptr, id); };
  HWND instalar = Child("Button", "&Instalar");
  HWND memo = window_->Memo();
  EXPECT_EQ(cursorOver(instalar), system(IDC_HAND));
  EXPECT_EQ(cursorOver(memo), system(IDC_IBEAM));
  windows_.SetCursor(Cursor::HourGlass);
  EXPECT_EQ(GetCursor(), system(IDC_WAIT));
  EXPECT_EQ(cursorOver(instalar), system(IDC_WAIT));
  EXPECT_EQ(cursorOver(memo), system(IDC_WAIT));
  EXPECT_EQ(cursorOver(window_->Handle()), system(IDC_WAIT));
  windows_.SetCursor(Cursor::Default);
  EXPECT_EQ(cursorOver(instalar), system(IDC_HAND));
  EXPECT_EQ(cursorOver(memo), system(IDC_IBEAM));
}

// The pointer rests on "&Instalar" (just clicked) when a question opens:
// the arrow shows at once, not the button's hand.
TEST_F(Win32WindowSystemTest, MessageDialogShowsTheArrowWithoutAMouseMove) {
  HWND instalar = Child("Button", "&Instalar");
  RECT r;
  GetWindowRect(instalar, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  windows_.ServeMessages();
  ASSERT_EQ(WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2}), instalar);

  cursorInDialog = nullptr;
  SetTimer(nullptr, 0, 50, &SampleCursor);
  DialogWatcher watcher([](HWND dialog) {
    for (int i = 0; i < 100 && !cursorInDialog; ++i) Sleep(20);
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  });
  windows_.MessageDialog("Continuar?", DialogKind::Information, DialogButtons::OkCancel);
  ASSERT_TRUE(watcher.Seen().Found);
  EXPECT_EQ(cursorInDialog.load(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

TEST_F(Win32WindowSystemTest, HandlerFailureIsShownInTheErrorBox) {
  window_->OnInstalarClick = [] { throw std::runtime_error("Cannot read archive"); };
  DialogWatcher watcher([](HWND box) { PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); });
  PostMessageA(Child("Button", "&Instalar"), BM_CLICK, 0, 0);
  windows_.ServeMessages();
  const auto& seen = watcher.Seen();
  ASSERT_TRUE(seen.Found);
  EXPECT_EQ(seen.Caption, "Instalador de teste");
  EXPECT_EQ(seen.Text, "<Cannot read archive>");
  EXPECT_TRUE(IsWindowEnabled(window_->Handle()));
}

// Between blocks the queue is looked at once per interval: a call soon after
// the last one passes, a call after the interval serves what waits.
TEST_F(Win32WindowSystemTest, BetweenBlocksTheQueueIsServedOncePerInterval) {
  windows_.ServeMessages();
  const auto served = std::chrono::steady_clock::now();
  PostQuitMessage(0);
  windows_.ServeMessagesWhenDue();
  if (std::chrono::steady_clock::now() - served < Win32WindowSystem::kServeInterval) {
    EXPECT_FALSE(windows_.EndRequested());
  }
  Sleep(static_cast<DWORD>(Win32WindowSystem::kServeInterval.count()) + 5);
  windows_.ServeMessagesWhenDue();
  EXPECT_TRUE(windows_.EndRequested());
}

// A quick rise of the bar waits for a serve after the interval; the end of
// the range, a fall and a wait for the user show at once.
TEST_F(Win32WindowSystemTest, ProgressRisesAreShownOncePerInterval) {
  const auto shown = [this] {
    return static_cast<int>(SendMessageA(window_->Progress(), PBM_GETPOS, 0, 0));
  };
  windows_.SetProgressPosition(10);
  const auto moved = std::chrono::steady_clock::now();
  EXPECT_EQ(shown(), 10);
  windows_.SetProgressPosition(11);
  windows_.ServeMessages();
  if (std::chrono::steady_clock::now() - moved < InstallerWindowSystem::kProgressInterval) {
    EXPECT_EQ(shown(), 10);
  }
  Sleep(static_cast<DWORD>(InstallerWindowSystem::kProgressInterval.count()) + 5);
  windows_.ServeMessagesWhenDue();
  EXPECT_EQ(shown(), 11);

  windows_.SetProgressPosition(12);
  windows_.SetProgressPosition(5);
  EXPECT_EQ(shown(), 5);
  windows_.SetProgressPosition(100);
  EXPECT_EQ(shown(), 100);

  windows_.SetProgressPosition(0);
  windows_.RunMessageLoop([this] {
    windows_.SetProgressPosition(1);
    windows_.SetProgressPosition(2);
    PostQuitMessage(0);
  });
  EXPECT_EQ(shown(), 2);
}

TEST_F(Win32WindowSystemTest, EndRequestIsRecordedAndClosesDialogs) {
  EXPECT_FALSE(windows_.EndRequested());
  PostQuitMessage(0);
  windows_.ServeMessages();
  EXPECT_TRUE(windows_.EndRequested());
  EXPECT_EQ(windows_.MessageDialog("x", DialogKind::Information, DialogButtons::Ok),
            DialogResult::Cancel);
}

}  // namespace
}  // namespace norv::win32
