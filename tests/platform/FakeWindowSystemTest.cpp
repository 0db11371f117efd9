// The window system conformance suite over the fake of the installer's
// tests; win32_tests.exe runs the same suite over the real window system.
#include "platform/testing/FakeWindowSystem.h"
#include "tests/platform/WindowSystemConformanceSuite.h"

namespace norv::conformance {
namespace {

class FakeScreen : public Screen {
 public:
  WindowSystem& Windows() override { return windows_; }
  int ShownProgressPosition() override { return windows_.ProgressPosition(); }
  int ShownProgressMax() override { return windows_.ProgressMax(); }
  Cursor ShownCursor() override { return windows_.CurrentCursor(); }

  ShownDialog AnswerDialog(const std::string& text, DialogKind kind, DialogButtons buttons,
                           DialogResult press) override {
    ShownDialog shown;
    windows_.SetOnDialog([&](const FakeDialog& dialog) -> std::optional<DialogResult> {
      shown.caption = dialog.kind == DialogKind::Error ? "Error" : "Information";
      shown.text = dialog.text;
      shown.hasOk = true;
      shown.hasCancel = dialog.buttons == DialogButtons::OkCancel;
      shown.cursor = windows_.CurrentCursor();
      return press;
    });
    shown.result = windows_.MessageDialog(text, kind, buttons);
    windows_.SetOnDialog(nullptr);
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
