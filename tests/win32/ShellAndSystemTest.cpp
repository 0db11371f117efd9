#include <gtest/gtest.h>

#include <fstream>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "tests/win32/TempFolder.h"

namespace norv {
namespace {

using win32::testing::TempFolder;

// COM for the test's thread, as the program's start-up does.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};

using Win32ShellTest = ComTest;

TEST_F(Win32ShellTest, DesktopFolderResolves) {
  Win32Shell shell;
  const std::string desktop = shell.SpecialFolderPath(0);
  ASSERT_FALSE(desktop.empty());
  EXPECT_TRUE(Win32FileSystem().DirectoryExists(desktop)) << desktop;
}

TEST_F(Win32ShellTest, ShellLinkIsSavedAsLinkFile) {
  TempFolder dir;
  Win32Shell shell;
  std::int32_t result = -1;
  auto object = shell.CreateShellLink(result);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(result, 0);
  auto link = object->QueryShellLinkA();
  auto file = object->QueryPersistFile();
  ASSERT_NE(link, nullptr);
  ASSERT_NE(file, nullptr);
  link->SetPath("C:\\Pasta\\APP.EXE");
  link->SetWorkingDirectory("C:\\Pasta\\");
  const std::string name = dir / "Agenda.LNK";
  file->Save(std::u16string(name.begin(), name.end()), false);

  std::ifstream saved(name, std::ios::binary);
  ASSERT_TRUE(saved.good());
  char header[4] = {};
  saved.read(header, 4);
  EXPECT_EQ(std::string(header, 4), std::string("\x4C\0\0\0", 4));
}

TEST_F(Win32ShellTest, SystemErrorTextHasNoLineBreakOrFullStop) {
  Win32Shell shell;
  for (DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED}) {
    const std::string known = shell.SystemErrorText(static_cast<std::int32_t>(code));
    ASSERT_FALSE(known.empty()) << code;
    EXPECT_NE(known.back(), '.');
    EXPECT_EQ(known.find_first_of("\r\n"), std::string::npos);
  }
  EXPECT_EQ(shell.SystemErrorText(static_cast<std::int32_t>(0x8FFF1234u)), "");
}

TEST(Win32System, FindsTopLevelWindowsByClassOnly) {
  Win32System system;
  const char* className = "TNorvWin32TestMain";
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  RegisterClassA(&wc);
  EXPECT_FALSE(system.FindWindowA(className));
  // Hidden and with any title: still found.
  HWND w = CreateWindowA(className, "whatever", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(system.FindWindowA(className));
  EXPECT_FALSE(system.FindWindowA("TNorvWin32TestOther"));
  DestroyWindow(w);
  EXPECT_FALSE(system.FindWindowA(className));
}

}  // namespace
}  // namespace norv
