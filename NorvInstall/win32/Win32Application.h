#pragma once
// The Windows program's application object: COM for the user-interface
// thread, the Win32 window system, files, system and shell services, and the
// installer window bound to them.
#include <memory>

#include "NorvInstall/Startup.h"
#include "NorvInstall/win32/InstallerWindowSystem.h"
#include "NorvInstall/win32/PicturePainter.h"
#include "backup/BlockDecoder.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"

namespace norv {

// How the installer window's archive component restores. NorvInstall.exe
// takes the defaults; the benchmarks build the same program with others.
struct RestoreChoices {
  BlockDecoder::Path decoder = BlockDecoder::Path::Fast;
  bool allOrNothing = true;
};

class Win32Application : public Application {
 public:
  explicit Win32Application(RestoreChoices choices);
  ~Win32Application() override;

  void SetTitle(const std::string& title) override;
  TFrmInstaladorNorv& CreateMainWindow() override;
  void RunMessageLoop() override;

 private:
  // Declared first: COM is started before everything else and released last.
  win32::ComApartment com_;
  win32::InstallerWindowSystem windows_;
  Win32FileSystem files_;
  Win32System system_;
  Win32Shell shell_;
  std::unique_ptr<TFrmInstaladorNorv> form_;
  // Last: its thread draws on the window, so it stops before the window goes.
  std::unique_ptr<win32::PicturePainter> pictures_;
  RestoreChoices choices_;
};

// The Windows program: start-up over a Win32Application, with the process's
// command line. Returns the exit code; a failure to build the windows is
// shown in a message box.
int RunWin32Installer(RestoreChoices choices);

}  // namespace norv
