#include "NorvInstall/win32/PicturePainter.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <system_error>

#include "assets/resource_ids.h"
#include "pictures/Animation.h"
#include "pictures/JpegDecoder.h"
#include "platform/Errors.h"
#include "platform/win32/Gdi.h"

namespace norv::win32 {
namespace {

// An RCDATA resource of the program. Resources stay mapped for the life of
// the module, so nothing is released.
std::span<const std::uint8_t> ResourceBytes(int id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RCDATA */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw Exception("Picture resource " + std::to_string(id) + " not found");
  return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

// Draws a whole bitmap with its top-left corner at (x, y).
void Blit(HDC dc, int x, int y, const Bitmap& bitmap) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bitmap.width;
  info.bmiHeader.biHeight = -bitmap.height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(bitmap.width), static_cast<DWORD>(bitmap.height),
                    0, 0, 0, static_cast<UINT>(bitmap.height), bitmap.pixels.data(), &info,
                    DIB_RGB_COLORS);
}

std::vector<AnimationClock::Duration> Durations(const Animation& animation) {
  std::vector<AnimationClock::Duration> durations;
  for (const AnimationFrame& frame : animation.frames) durations.push_back(frame.duration);
  return durations;
}

// Pictures only decorate the window: one that is missing or damaged is left
// out, and the window opens without it.
std::optional<Animation> DecodeLogo() {
  try {
    return DecodeGif(ResourceBytes(IDR_LOGO_GIF));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<Bitmap> DecodeBackground() {
  try {
    return DecodeJpeg(ResourceBytes(IDR_BACKGROUND_JPG));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

Event::Event() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (!handle_) throw Exception("Cannot create the picture painter's event");
}

PicturePainter::PicturePainter(HWND window, PictureBoxes boxes)
    : PicturePainter(window, boxes, DecodeLogo()) {}

PicturePainter::PicturePainter(HWND window, PictureBoxes boxes,
                               const std::optional<Animation>& logo)
    : window_(window), boxes_(boxes) {
  // Where the picture does not reach, or without it, the box shows the
  // window's white.
  const std::optional<Bitmap> background = DecodeBackground();
  background_ = background
                    ? Crop(*background, 0, 0, boxes.backgroundWidth, boxes.backgroundHeight, kWhite)
                    : Bitmap(boxes.backgroundWidth, boxes.backgroundHeight, kWhite);
  if (!logo || logo->frames.empty()) return;
  clock_.emplace(Durations(*logo), logo->loopCount);
  // Each logo frame is composed once over what lies behind its box, so that
  // transparent pixels show the background and a frame is drawn in one blit.
  const Bitmap behind =
      Crop(background_, boxes.logoLeft - boxes.backgroundLeft, boxes.logoTop - boxes.backgroundTop,
           logo->width, logo->height, kWhite);
  for (const AnimationFrame& frame : logo->frames) logo_.push_back(DrawOver(behind, frame.canvas));
}

PicturePainter::~PicturePainter() {
  SetEvent(stop_.Get());
  if (painter_.joinable()) painter_.join();
}

void PicturePainter::Paint(HDC dc) {
  {
    std::lock_guard lock(drawing_);
    Blit(dc, boxes_.backgroundLeft, boxes_.backgroundTop, background_);
    if (!logo_.empty()) Blit(dc, boxes_.logoLeft, boxes_.logoTop, logo_[shown_]);
  }
  if (!started_ && logo_.size() > 1) {
    started_ = true;
    try {
      painter_ = std::thread(&PicturePainter::Animate, this, std::chrono::steady_clock::now());
    } catch (const std::system_error&) {
      // No thread to spare: the logo stays on its first frame.
    }
  }
}

void PicturePainter::ShowFrame(std::size_t frame) {
  // The window's thread may be busy for seconds in a restore: draw directly
  // on the window instead of asking it to repaint.
  ClientDC dc(window_);
  std::lock_guard lock(drawing_);
  shown_ = frame;
  if (dc.Get()) Blit(dc.Get(), boxes_.logoLeft, boxes_.logoTop, logo_[frame]);
}

void PicturePainter::Animate(std::chrono::steady_clock::time_point start) {
  using std::chrono::ceil;
  using std::chrono::duration_cast;
  using std::chrono::steady_clock;
  HANDLE stop = stop_.Get();
  try {
    for (;;) {
      const auto elapsed = duration_cast<AnimationClock::Duration>(steady_clock::now() - start);
      const std::size_t frame = clock_->FrameAt(elapsed);
      if (frame != shown_) ShowFrame(frame);
      DWORD timeout = INFINITE;
      if (const auto next = clock_->NextChange(elapsed)) {
        const auto remaining = ceil<AnimationClock::Duration>(start + *next - steady_clock::now());
        timeout = static_cast<DWORD>(std::clamp<long long>(remaining.count(), 0, 24 * 3600 * 1000));
      }
      // A message wait rather than a plain one: Wine copies what another
      // thread drew on a window to the screen only when a thread of the
      // program waits idle. This thread has no windows; any message that
      // arrives anyway is discarded.
      const DWORD woken = MsgWaitForMultipleObjects(1, &stop, FALSE, timeout, QS_ALLINPUT);
      if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) break;
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      }
    }
  } catch (...) {
    // Without its thread the logo stays on the frame last shown; the program goes on.
  }
}

}  // namespace norv::win32
