#pragma once
// The installer's window system: the generic Windows window system with the
// installer window as its main window, which carries the memo and the
// progress bar the installation writes to.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "NorvInstall/win32/InstallerWindow.h"
#include "NorvInstall/win32/WindowDescription.h"
#include "platform/win32/Win32WindowSystem.h"

namespace norv::win32 {

class InstallerWindowSystem : public Win32WindowSystem {
 public:
  using Win32WindowSystem::Win32WindowSystem;

  // Creates the installer window hidden, owned by the application window.
  InstallerWindow& CreateInstallerWindow(const WindowDescription& description);
  InstallerWindow& Installer() { return *installer_; }

  // WindowSystem: the memo and the progress bar.
  void SetMemoText(const std::string& text) override;
  void ClearMemo() override;
  void AppendMemoLine(const std::string& line) override;
  void EnableMemoVerticalScrollBar() override;
  std::string MemoText() override;
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;

 protected:
  void ShowMain() override;
  bool PreTranslate(const MSG& msg) override;

 private:
  std::unique_ptr<InstallerWindow> installer_;
  // The position last given to the progress bar (none after a new range).
  std::optional<int> shownPosition_;
};

}  // namespace norv::win32
