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

Win32Application::Win32Application() : windows_(ApplicationIcon(), &ErrorBoxText) {}

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
  // For benchmarks only, not told to customers: NORV_DECODER=zlib keeps
  // every block on zlib alone, as before the fast decoder.
  char decoder[8] = {};
  if (GetEnvironmentVariableA("NORV_DECODER", decoder, sizeof decoder) == 4 &&
      std::string(decoder) == "zlib") {
    form_->BackupFile.SetZlibOnly(true);
  }

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

}  // namespace norv
