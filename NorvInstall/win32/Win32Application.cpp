#include "NorvInstall/win32/Win32Application.h"

#include <windows.h>

#include "NorvInstall/ErrorBoxText.h"
#include "NorvInstall/win32/WindowDescription.h"
#include "assets/resource_ids.h"

namespace norv {

namespace {
HICON ApplicationIcon() {
  return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
}
}  // namespace

Win32Application::Win32Application(RestoreChoices choices)
    : windows_(ApplicationIcon(), &ErrorBoxText), choices_(choices) {}

// The painter thread stops first, then the window's logic, then the windows.
Win32Application::~Win32Application() {
  pictures_.reset();
  form_.reset();
}

void Win32Application::SetTitle(const std::string& title) {
  windows_.SetTitle(title);
}

TFrmInstaladorNorv& Win32Application::CreateMainWindow() {
  win32::InstallerWindow& window = windows_.CreateInstallerWindow(InstallerWindowDescription());
  form_ = std::make_unique<TFrmInstaladorNorv>(windows_, windows_, files_, system_, shell_);
  form_->BackupFile.SetZlibOnly(choices_.decoder == BlockDecoder::Path::ZlibOnly);
  form_->BackupFile.SetAllOrNothing(choices_.allOrNothing);

  const form::ControlBounds background = form_->Image2.Bounds, logo = form_->Image3.Bounds;
  const win32::PictureBoxes boxes{window.Scaled(background.Left),  window.Scaled(background.Top),
                                  window.Scaled(background.Width), window.Scaled(background.Height),
                                  window.Scaled(logo.Left),        window.Scaled(logo.Top)};
  pictures_ = std::make_unique<win32::PicturePainter>(window.Handle(), boxes);
  window.PaintPictures = [this](HDC dc) { pictures_->Paint(dc); };

  form_->OnClose = [this] { windows_.RequestEnd(); };
  window.OnInstalarClick = [this] {
    CallHandler(windows_, [this] { form_->BttnInstalar.Click(); });
  };
  window.OnFecharClick = [this] { CallHandler(windows_, [this] { form_->BttnFechar.Click(); }); };
  // The close box, the system menu and Alt+F4 take the path of "&Fechar".
  window.OnCloseRequest = [this] { CallHandler(windows_, [this] { form_->BttnFecharClick(); }); };
  return *form_;
}

void Win32Application::RunMessageLoop() {
  windows_.RunMessageLoop(
      [this] { ShowMainWindow(*form_, windows_, [this] { windows_.ShowMainWindow(); }); });
}

int RunWin32Installer(RestoreChoices choices) {
  try {
    Win32Application application(choices);
    return RunStartup(GetCommandLineA(), application);
  } catch (const std::exception& e) {
    // Only a failure to build the windows gets here.
    MessageBoxA(nullptr, e.what(), kApplicationTitle, MB_ICONSTOP | MB_OK);
    return 0;
  }
}

}  // namespace norv
