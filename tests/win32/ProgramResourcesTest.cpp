// The built programs' version resource and manifest, read back the way
// Windows reads them. The programs lie in the same build tree as this test.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace norv {
namespace {

// The build tree's root, from this program's own path (tests/win32/...).
std::string BuildTree() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n);
  for (int up = 0; up < 3; ++up) s.erase(s.find_last_of('\\'));
  return s;
}

struct Program {
  const char* path;  // under the build tree
  const char* description;
  const char* executionLevel;
};

const Program kPrograms[] = {
    {"\\NorvInstall\\NorvInstall.exe", "Instalador Norv", "requireAdministrator"},
    {"\\tools\\norvarc\\norvarc.exe", nullptr, "asInvoker"},
};

std::string VersionText(const std::vector<char>& info, const std::string& name) {
  void* value = nullptr;
  UINT size = 0;
  const std::string key = "\\StringFileInfo\\041604E4\\" + name;
  if (!VerQueryValueA(info.data(), key.c_str(), &value, &size) || size == 0) return "<missing>";
  return std::string(static_cast<const char*>(value));
}

TEST(ProgramResources, VersionTextsInPortugueseCodePage1252) {
  for (const Program& p : kPrograms) {
    const std::string file = BuildTree() + p.path;
    SCOPED_TRACE(file);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, info.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0416);
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 1252);

    EXPECT_EQ(VersionText(info, "CompanyName"), "Norv Inform\xE1tica");
    EXPECT_EQ(VersionText(info, "ProductName"), "NorvInstall");
    EXPECT_EQ(VersionText(info, "FileVersion"), NORV_VERSION_TEXT);
    EXPECT_EQ(VersionText(info, "ProductVersion"), NORV_VERSION_TEXT);
    EXPECT_NE(VersionText(info, "LegalCopyright").find("Norv Inform\xE1tica"), std::string::npos);
    if (p.description != nullptr) {
      EXPECT_EQ(VersionText(info, "FileDescription"), p.description);
    }

    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                  std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                  std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                  std::to_string(LOWORD(fixed->dwFileVersionLS)),
              NORV_VERSION_TEXT);
  }
}

TEST(ProgramResources, ManifestAsksForItsLevelAndNoCommonControls6) {
  for (const Program& p : kPrograms) {
    const std::string file = BuildTree() + p.path;
    SCOPED_TRACE(file);
    HMODULE module = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(resource, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    const std::string manifest(bytes, SizeofResource(module, resource));
    FreeLibrary(module);
    EXPECT_NE(manifest.find(std::string("level=\"") + p.executionLevel + "\""), std::string::npos);
    for (const char* os : {"e2011457-1546-43c5-a5fe-008deee3d3f0",     // Vista
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {  // 10 and 11
      EXPECT_NE(manifest.find(os), std::string::npos) << os;
    }
    EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  }
}

}  // namespace
}  // namespace norv
