// Start-up's order over a fake application, and the message loop's catch.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "NorvInstall/Startup.h"
#include "install/testing/FakeInstallerWindowSystem.h"
#include "platform/Errors.h"
#include "platform/testing/FakeShell.h"
#include "platform/testing/FakeSystem.h"
#include "platform/testing/MemoryFileSystem.h"

namespace norv {
namespace {

using ::testing::ElementsAre;

class FakeApplication : public Application {
 public:
  void SetTitle(const std::string& title) override { calls.push_back("title " + title); }
  TFrmInstaladorNorv& CreateMainWindow() override {
    calls.push_back("create " + ParamArquivo);
    form = std::make_unique<TFrmInstaladorNorv>(windows, windows, files, system, shell);
    return *form;
  }
  void RunMessageLoop() override {
    calls.push_back("loop " + ParamArquivo);
    ShowMainWindow(*form, windows, [this] { calls.push_back("centre and show"); });
    for (const auto& event : events) CallHandler(windows, event);
  }

  MemoryFileSystem files;
  FakeInstallerWindowSystem windows;
  FakeSystem system;
  FakeShell shell{files, "C:\\Desktop"};
  std::unique_ptr<TFrmInstaladorNorv> form;
  std::vector<std::function<void()>> events;  // window events the loop dispatches
  std::vector<std::string> calls;
};

class StartupTest : public ::testing::Test {
 protected:
  ~StartupTest() override { CopyToWindowModule({}); }
  FakeApplication app;
};

TEST_F(StartupTest, RunsItsStepsInOrder) {
  app.files.AddFile("C:\\Dados.txt", "Bem-vindo\n");
  EXPECT_EQ(RunStartup("NorvInstall.exe OVERWRITE PacRH.001 NorvRH C:\\RH.EXE a b c d", app), 0);
  // The parameters reach the window module after it exists and before it shows.
  EXPECT_THAT(app.calls,
              ElementsAre("title Instalador Norv", "create ", "loop PacRH.001", "centre and show"));
  EXPECT_EQ((StartupValues{ParamSobrescrever, ParamArquivo, ParamAtalhoNome, ParamAtalhoDestino,
                           ParamAplicativo1, ParamAplicativo2, ParamAplicativo3}),
            (StartupValues{"OVERWRITE", "PacRH.001", "NorvRH", "C:\\RH.EXE", "a", "b", "c"}));
  EXPECT_EQ(app.windows.MemoText(), "Bem-vindo\r\n");
  EXPECT_TRUE(app.windows.ErrorBoxes().empty());
}

TEST_F(StartupTest, FailureInAnInstallationLeavesTheWindowUsable) {
  // No "Dados.txt": the first showing fails too.
  app.files.AddFile("Pac.001", std::string(3, '\0'));  // too short for a header
  int closes = 0;
  app.events = {[&] { app.form->BttnInstalar.Click(); }, [&] { app.form->BttnInstalar.Click(); },
                [&] {
                  app.form->OnClose = [&] { ++closes; };
                  app.form->BttnFechar.Click();
                }};
  RunStartup("NorvInstall.exe OVERWRITE Pac.001", app);
  const auto& boxes = app.windows.ErrorBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].rfind("Cannot open file \"C:\\Dados.txt\". ", 0), 0u) << boxes[0];
  EXPECT_EQ(app.calls.back(), "centre and show");
  EXPECT_EQ(boxes[1], boxes[2]);
  EXPECT_EQ(boxes[1].back(), '.');
  EXPECT_EQ(app.windows.CurrentCursor(), Cursor::Default);
  EXPECT_EQ(closes, 1);
}

TEST(CallHandler, CatchesEveryFailure) {
  FakeInstallerWindowSystem windows;
  EXPECT_TRUE(CallHandler(windows, [] {}));
  EXPECT_FALSE(CallHandler(windows, [] { throw Exception("Text exceeds memo capacity"); }));
  EXPECT_FALSE(CallHandler(windows, [] { throw 42; }));
  EXPECT_THAT(windows.ErrorBoxes(),
              ElementsAre("Text exceeds memo capacity.", "Unknown exception."));
}

}  // namespace
}  // namespace norv
