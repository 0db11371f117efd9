#include <gtest/gtest.h>

#include "platform/win32/MessageDialog.h"
#include "tests/win32/DialogWatcher.h"

namespace norv::win32 {
namespace {

using testing::DialogWatcher;

// How the person closes the dialog.
enum class Action { ClickOk, ClickCancel, Enter, Escape, CloseBox };

void Perform(HWND dialog, Action action) {
  HWND ok = GetDlgItem(dialog, IDOK);
  switch (action) {
    case Action::ClickOk:
      PostMessageA(ok, BM_CLICK, 0, 0);
      break;
    case Action::ClickCancel:
      PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
      break;
    case Action::Enter:  // keys reach the focused control, the first button
      PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 0);
      break;
    case Action::Escape:
      PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0);
      break;
    case Action::CloseBox:
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

struct AnswerCase {
  DialogButtons Buttons;
  Action How;
  DialogResult Expected;
};

class MessageDialogAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(MessageDialogAnswers, ClosingGivesTheButtonsAnswer) {
  const AnswerCase c = GetParam();
  DialogWatcher watcher([&](HWND dialog) { Perform(dialog, c.How); });
  bool endPending = false;
  DialogResult result = RunMessageDialog(nullptr, "Primeira linha\rSegunda",
                                         DialogKind::Information, c.Buttons, endPending);
  const auto& seen = watcher.Seen();
  ASSERT_TRUE(seen.Found);
  EXPECT_EQ(result, c.Expected);
  EXPECT_FALSE(endPending);
  EXPECT_EQ(seen.Caption, "Information");
  EXPECT_EQ(seen.Text, "Primeira linha\rSegunda");
  EXPECT_TRUE(seen.HasOk);
  EXPECT_EQ(seen.HasCancel, c.Buttons == DialogButtons::OkCancel);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, MessageDialogAnswers,
    ::testing::Values(
        AnswerCase{DialogButtons::Ok, Action::ClickOk, DialogResult::Ok},
        AnswerCase{DialogButtons::Ok, Action::Enter, DialogResult::Ok},
        AnswerCase{DialogButtons::Ok, Action::Escape, DialogResult::Ok},  // Esc presses "OK"
        AnswerCase{DialogButtons::Ok, Action::CloseBox, DialogResult::Cancel},
        AnswerCase{DialogButtons::OkCancel, Action::ClickOk, DialogResult::Ok},
        AnswerCase{DialogButtons::OkCancel, Action::Enter, DialogResult::Ok},
        AnswerCase{DialogButtons::OkCancel, Action::ClickCancel, DialogResult::Cancel},
        AnswerCase{DialogButtons::OkCancel, Action::Escape, DialogResult::Cancel},
        AnswerCase{DialogButtons::OkCancel, Action::CloseBox, DialogResult::Cancel}));

TEST(MessageDialog, ErrorKindIsCentredWithEqualButtonsInOneRow) {
  HWND ok = nullptr, cancel = nullptr;
  RECT okRect{}, cancelRect{};
  DialogWatcher watcher([&](HWND dialog) {
    ok = GetDlgItem(dialog, IDOK);
    cancel = GetDlgItem(dialog, IDCANCEL);
    GetWindowRect(ok, &okRect);
    GetWindowRect(cancel, &cancelRect);
    PostMessageA(ok, BM_CLICK, 0, 0);
  });
  bool endPending = false;
  RunMessageDialog(nullptr, "Falha", DialogKind::Error, DialogButtons::OkCancel, endPending);
  const auto& seen = watcher.Seen();
  ASSERT_TRUE(seen.Found);
  EXPECT_EQ(seen.Caption, "Error");
  const int centreX = (seen.Bounds.left + seen.Bounds.right) / 2;
  const int centreY = (seen.Bounds.top + seen.Bounds.bottom) / 2;
  EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(okRect.top, cancelRect.top);
  EXPECT_EQ(okRect.right - okRect.left, cancelRect.right - cancelRect.left);
  EXPECT_LT(okRect.right, cancelRect.left);  // "OK" first, then "Cancel"
}

TEST(MessageDialog, PendingEndClosesAtOnceWithCancel) {
  bool endPending = true;
  EXPECT_EQ(RunMessageDialog(nullptr, "x", DialogKind::Information, DialogButtons::Ok, endPending),
            DialogResult::Cancel);
}

TEST(MessageDialog, QuitMessageWhileOpenEndsItWithCancel) {
  const DWORD thread = GetCurrentThreadId();
  DialogWatcher watcher([&](HWND) { PostThreadMessageA(thread, WM_QUIT, 0, 0); });
  bool endPending = false;
  DialogResult result =
      RunMessageDialog(nullptr, "x", DialogKind::Information, DialogButtons::Ok, endPending);
  ASSERT_TRUE(watcher.Seen().Found);
  EXPECT_EQ(result, DialogResult::Cancel);
  EXPECT_TRUE(endPending);
}

}  // namespace
}  // namespace norv::win32
