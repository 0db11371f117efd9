#pragma once
// What a program relies on from a window system, checked against every one:
// the fake of the tests and, under Wine, the real window system. A binary
// includes this header once and instantiates WindowSystemConformance with
// the screens it has. The installer window's own controls have their suite
// in tests/install/InstallerViewConformanceSuite.h.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/WindowSystem.h"

namespace norv::conformance {

// A message dialog as a person saw and answered it.
struct ShownDialog {
  std::string caption;
  std::string text;
  bool hasOk = false;
  bool hasCancel = false;
  Cursor cursor = Cursor::HourGlass;  // the cursor while it was open
  DialogResult result = DialogResult::Cancel;
};

// A window system and what a person sees of it: the cursor over the
// program's window, the dialogs and error boxes (answered by pressing a
// button).
class Screen {
 public:
  virtual ~Screen() = default;
  virtual WindowSystem& Windows() = 0;
  virtual Cursor ShownCursor() = 0;
  // Runs MessageDialog and presses `press`'s button in it.
  virtual ShownDialog AnswerDialog(const std::string& text, DialogKind kind, DialogButtons buttons,
                                   DialogResult press) = 0;
  // Runs ErrorBox, presses OK and returns the text the box showed.
  virtual std::string ShowErrorBox(const std::string& text) = 0;
};

struct ScreenKind {
  std::string name;
  std::function<std::unique_ptr<Screen>()> make;
};

inline void PrintTo(const ScreenKind& kind, std::ostream* out) {
  *out << kind.name;
}

inline std::string ScreenName(const ::testing::TestParamInfo<ScreenKind>& info) {
  return info.param.name;
}

class WindowSystemConformance : public ::testing::TestWithParam<ScreenKind> {
 protected:
  void SetUp() override { screen_ = GetParam().make(); }
  Screen& Shown() { return *screen_; }
  WindowSystem& Windows() { return screen_->Windows(); }

 private:
  std::unique_ptr<Screen> screen_;
};

TEST_P(WindowSystemConformance, HourglassShowsUntilTheDefaultCursorReturns) {
  EXPECT_EQ(Shown().ShownCursor(), Cursor::Default);
  Windows().SetCursor(Cursor::HourGlass);
  EXPECT_EQ(Shown().ShownCursor(), Cursor::HourGlass);
  Windows().SetCursor(Cursor::HourGlass);
  EXPECT_EQ(Shown().ShownCursor(), Cursor::HourGlass);
  Windows().SetCursor(Cursor::Default);
  EXPECT_EQ(Shown().ShownCursor(), Cursor::Default);
}

TEST_P(WindowSystemConformance, DialogShowsItsTextAndGivesThePressedAnswer) {
  struct Case {
    DialogKind kind;
    DialogButtons buttons;
    DialogResult press;
    const char* caption;
  };
  const Case cases[] = {
      {DialogKind::Information, DialogButtons::Ok, DialogResult::Ok, "Information"},
      {DialogKind::Error, DialogButtons::Ok, DialogResult::Ok, "Error"},
      {DialogKind::Information, DialogButtons::OkCancel, DialogResult::Ok, "Information"},
      {DialogKind::Information, DialogButtons::OkCancel, DialogResult::Cancel, "Information"},
  };
  const std::string text = "Insira o disco 2.\r\nC:\\NORV\\ARQUIVO.002 n\xE3o encontrado.";
  for (const auto& c : cases) {
    const ShownDialog shown = Shown().AnswerDialog(text, c.kind, c.buttons, c.press);
    EXPECT_EQ(shown.caption, c.caption);
    EXPECT_EQ(shown.text, text);
    EXPECT_TRUE(shown.hasOk);
    EXPECT_EQ(shown.hasCancel, c.buttons == DialogButtons::OkCancel);
    EXPECT_EQ(shown.result, c.press);
  }
}

TEST_P(WindowSystemConformance, DialogShowsTheArrowAndGivesTheHourglassBack) {
  Windows().SetCursor(Cursor::HourGlass);
  const ShownDialog shown = Shown().AnswerDialog("Continuar?", DialogKind::Information,
                                                 DialogButtons::OkCancel, DialogResult::Ok);
  EXPECT_EQ(shown.cursor, Cursor::Default);
  EXPECT_EQ(Shown().ShownCursor(), Cursor::HourGlass);
}

TEST_P(WindowSystemConformance, ErrorBoxShowsTheTextAsGiven) {
  const std::string text = "Cannot open file C:\\NORV\\ARQUIVO.001.";
  EXPECT_EQ(Shown().ShowErrorBox(text), text);
}

}  // namespace norv::conformance
