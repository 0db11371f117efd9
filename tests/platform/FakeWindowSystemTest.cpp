// The window system conformance suite over the fake of the tests;
// win32_tests.exe runs the same suite over the real window system.
#include <algorithm>

#include "platform/testing/FakeWindowSystem.h"
#include "tests/platform/WindowSystemConformanceSuite.h"

namespace norv::conformance {
namespace {

// What a person sees is what the fake recorded.
class FakeScreen : public Screen {
 public:
  WindowSystem& Windows() override { return windows_; }
  Cursor ShownCursor() override { return windows_.CurrentCursor(); }

  ShownDialog AnswerDialog(const std::string& text, DialogKind kind, DialogButtons buttons,
                           DialogResult press) override {
    ShownDialog shown;
    windows_.SetOnDialog([&](const FakeDialog&) -> std::optional<DialogResult> {
      shown.cursor = windows_.CurrentCursor();
      return press;
    });
    shown.result = windows_.MessageDialog(text, kind, buttons);
    windows_.SetOnDialog(nullptr);
    const FakeDialog& dialog = windows_.Dialogs().back();
    const auto& captions = dialog.buttonCaptions;
    shown.caption = dialog.caption;
    shown.text = dialog.text;
    shown.hasOk = std::count(captions.begin(), captions.end(), "OK") == 1;
    shown.hasCancel = std::count(captions.begin(), captions.end(), "Cancel") == 1;
    return shown;
  }

  std::string ShowErrorBox(const std::string& text) override {
    windows_.ErrorBox(text);
    return windows_.ErrorBoxes().back();
  }

 private:
  FakeWindowSystem windows_;
};

INSTANTIATE_TEST_SUITE_P(Screens, WindowSystemConformance,
                         ::testing::Values(ScreenKind{
                             "Fake", [] { return std::make_unique<FakeScreen>(); }}),
                         ScreenName);

}  // namespace
}  // namespace norv::conformance
