#pragma once
// The installer's window system: the generic Windows window system with the
// installer window as its main window, whose memo and progress bar are the
// installer's view.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "NorvInstall/win32/InstallerWindow.h"
#include "NorvInstall/win32/WindowDescription.h"
#include "install/InstallerView.h"
#include "platform/win32/Win32WindowSystem.h"

namespace norv::win32 {

class InstallerWindowSystem : public Win32WindowSystem, public InstallerView {
 public:
  using Win32WindowSystem::Win32WindowSystem;

  // Creates the installer window hidden, owned by the application window.
  InstallerWindow& CreateInstallerWindow(const WindowDescription& description);
  InstallerWindow& Installer() { return *installer_; }

  // InstallerView: the memo and the progress bar.
  void SetMemoText(const std::string& text) override;
  void ClearMemo() override;
  void AppendMemoLine(const std::string& line) override;
  void EnableMemoVerticalScrollBar() override;
  std::string MemoText() override;
  void SetProgressMax(int max) override;
  // A rise within kProgressInterval of the bar's last move is shown when
  // the queue is next served after that interval: the bar repaints at once
  // at every position it is told, about ten server round trips under Wine,
  // and a restore moves it a hundred times. A first position after a new
  // range, a fall and the end of the range are shown at once.
  void SetProgressPosition(int position) override;
  static constexpr std::chrono::milliseconds kProgressInterval{100};

 protected:
  void ShowMain() override;
  bool PreTranslate(const MSG& msg) override;
  void BeforeServing(bool waitFollows) override;

 private:
  void ShowProgress();

  std::unique_ptr<InstallerWindow> installer_;
  int progressMax_ = 0;
  // The position last given to the progress bar (none after a new range),
  // the position asked for last, and when the bar last moved.
  std::optional<int> shownPosition_;
  std::optional<int> wantedPosition_;
  std::chrono::steady_clock::time_point progressShownAt_{};
};

}  // namespace norv::win32
