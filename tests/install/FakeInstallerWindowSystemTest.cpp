// The installer view conformance suite over the fake of the installer's
// tests; win32_tests.exe runs the same suite over the real installer window.
#include "install/testing/FakeInstallerWindowSystem.h"
#include "tests/install/InstallerViewConformanceSuite.h"

namespace norv::conformance {
namespace {

class FakeInstallerScreen : public InstallerScreen {
 public:
  InstallerView& View() override { return windows_; }
  int ShownProgressPosition() override { return windows_.ProgressPosition(); }
  int ShownProgressMax() override { return windows_.ProgressMax(); }
  std::string ShowErrorBox(const std::string& text) override {
    windows_.ErrorBox(text);
    return windows_.ErrorBoxes().back();
  }

 private:
  FakeInstallerWindowSystem windows_;
};

INSTANTIATE_TEST_SUITE_P(Screens, InstallerViewConformance,
                         ::testing::Values(InstallerScreenKind{
                             "Fake", [] { return std::make_unique<FakeInstallerScreen>(); }}),
                         InstallerScreenName);

}  // namespace
}  // namespace norv::conformance
