#include "NorvInstall/win32/InstallerWindowSystem.h"

#include <commctrl.h>

namespace norv::win32 {

InstallerWindow& InstallerWindowSystem::CreateInstallerWindow(
    const WindowDescription& description) {
  installer_ =
      std::make_unique<InstallerWindow>(description, ApplicationHandle(), ApplicationCursor(),
                                        [this](const std::string& m) { ReportFailure(m); });
  SetMainWindow(installer_->Handle());
  return *installer_;
}

void InstallerWindowSystem::ShowMain() {
  installer_->CentreAndShow();
}

bool InstallerWindowSystem::PreTranslate(const MSG& msg) {
  return installer_ && installer_->PreTranslate(msg);
}

void InstallerWindowSystem::SetMemoText(const std::string& text) {
  installer_->SetMemoText(text);
}

void InstallerWindowSystem::ClearMemo() {
  installer_->SetMemoText("");
}

void InstallerWindowSystem::AppendMemoLine(const std::string& line) {
  installer_->AppendMemoLine(line);
}

void InstallerWindowSystem::EnableMemoVerticalScrollBar() {
  installer_->EnableMemoVerticalScrollBar();
}

std::string InstallerWindowSystem::MemoText() {
  return installer_->MemoText();
}

void InstallerWindowSystem::SetProgressMax(int max) {
  HWND bar = installer_->Progress();
  const int min = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
  SendMessageA(bar, PBM_SETRANGE32, min, max);
  shownPosition_.reset();
}

void InstallerWindowSystem::SetProgressPosition(int position) {
  // The restore reports after every block, mostly the percentage already
  // shown; the bar is only told about a change.
  if (shownPosition_ == position) return;
  SendMessageA(installer_->Progress(), PBM_SETPOS, position, 0);
  shownPosition_ = position;
}

}  // namespace norv::win32
