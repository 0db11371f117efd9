#include "NorvInstall/win32/InstallerWindowSystem.h"

#include <commctrl.h>

namespace norv::win32 {

InstallerWindow& InstallerWindowSystem::CreateInstallerWindow(
    const WindowDescription& description) {
  installer_ =
      std::make_unique<InstallerWindow>(description, ApplicationHandle(), ApplicationCursor(),
                                        [this](const std::string& m) { ReportFailure(m); });
  SetMainWindow(installer_->Handle());
  progressMax_ = description.ProgressMax;
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
  if (wantedPosition_ != shownPosition_) ShowProgress();
  HWND bar = installer_->Progress();
  const int min = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
  SendMessageA(bar, PBM_SETRANGE32, min, max);
  progressMax_ = max;
  shownPosition_.reset();
  wantedPosition_.reset();
}

void InstallerWindowSystem::SetProgressPosition(int position) {
  // The restore reports after every block, mostly the percentage already
  // shown; the bar is only told about a change.
  wantedPosition_ = position;
  if (shownPosition_ == position) return;
  const bool rise = shownPosition_ && position > *shownPosition_ && position < progressMax_;
  if (rise && std::chrono::steady_clock::now() - progressShownAt_ < kProgressInterval) return;
  ShowProgress();
}

void InstallerWindowSystem::BeforeServing(bool waitFollows) {
  if (wantedPosition_ == shownPosition_) return;
  if (waitFollows || std::chrono::steady_clock::now() - progressShownAt_ >= kProgressInterval) {
    ShowProgress();
  }
}

void InstallerWindowSystem::ShowProgress() {
  SendMessageA(installer_->Progress(), PBM_SETPOS, *wantedPosition_, 0);
  shownPosition_ = wantedPosition_;
  progressShownAt_ = std::chrono::steady_clock::now();
}

}  // namespace norv::win32
