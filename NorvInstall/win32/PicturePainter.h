#pragma once
// Draws the installer window's two pictures on its client area: the background
// picture (Image2) and the animated logo (Image3). The logo is animated by a
// painter thread of its own from the first paint on, drawing straight onto the
// window, so it keeps moving while the user-interface thread is busy.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "pictures/Animation.h"
#include "pictures/AnimationClock.h"
#include "pictures/Bitmap.h"

namespace norv::win32 {

// Where the two boxes lie in the client area.
struct PictureBoxes {
  // Image2: the picture unscaled from the box's top-left corner, cut off at the box.
  int backgroundLeft, backgroundTop, backgroundWidth, backgroundHeight;
  // Image3: the box takes the logo's own size.
  int logoLeft, logoTop;
};

// A manual-reset event, closed on destruction.
class Event {
 public:
  Event();
  ~Event() { CloseHandle(handle_); }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

class PicturePainter {
 public:
  // Loads and decodes both pictures from the program's resources
  // (IDR_BACKGROUND_JPG, IDR_LOGO_GIF). A picture that is missing or cannot
  // be decoded is left out: its box shows the window's white.
  PicturePainter(HWND window, PictureBoxes boxes);
  // Stops and joins the painter thread. Destroy the painter while the window
  // still exists (at WM_DESTROY at the latest).
  ~PicturePainter();
  PicturePainter(const PicturePainter&) = delete;
  PicturePainter& operator=(const PicturePainter&) = delete;

  // Draws both boxes with the logo frame last shown; for WM_PAINT, on the
  // window's thread. The first call starts the animation.
  void Paint(HDC dc);

 private:
  PicturePainter(HWND window, PictureBoxes boxes, const std::optional<Animation>& logo);
  void Animate(std::chrono::steady_clock::time_point start);
  void ShowFrame(std::size_t frame);

  HWND window_;
  PictureBoxes boxes_;
  Bitmap background_;         // the Image2 box as it looks
  std::vector<Bitmap> logo_;  // the Image3 box for each frame, over the background; or none
  std::optional<AnimationClock> clock_;  // with the logo only

  std::atomic<std::size_t> shown_{0};
  std::mutex drawing_;  // one of the two threads draws the logo at a time
  Event stop_;
  bool started_ = false;  // only the window's thread calls Paint
  std::thread painter_;
};

}  // namespace norv::win32
