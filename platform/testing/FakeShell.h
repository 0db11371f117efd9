#pragma once
// The shell-link objects for tests: records every call and release in order,
// can fail or throw at any step, and on Save writes a small text file standing
// for the link into a FileSystem.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/ShellLink.h"

namespace norv {

enum class ShellStep {
  None,
  Create,               // CreateShellLink returns nullptr with the result code
  QueryShellLinkA,      // the object lacks IShellLinkA
  QueryPersistFile,     // the object lacks IPersistFile
  SetPath,              // no effect
  SetWorkingDirectory,  // no effect
  SpecialFolderPath,    // the folder cannot be resolved ("")
  Save,                 // nothing is written
};

class FakeShell : public Shell {
 public:
  static constexpr std::int32_t kDefaultFailure = static_cast<std::int32_t>(0x80004005);

  FakeShell(FileSystem& files, std::string desktop) : files_(files), desktop_(std::move(desktop)) {}

  std::unique_ptr<IShellLinkObject> CreateShellLink(std::int32_t& result) override;
  std::string SystemErrorText(std::int32_t result) override;
  std::string SpecialFolderPath(int folder) override;

  // --- Script ---
  void FailAt(ShellStep step, std::int32_t result = kDefaultFailure) {
    failAt_ = step;
    failResult_ = result;
  }
  // This step throws std::runtime_error("shell step failed") after recording.
  void ThrowAt(ShellStep step) { throwAt_ = step; }
  void SetSystemErrorText(std::int32_t result, std::string text) {
    errorTexts_[result] = std::move(text);
  }

  // --- Inspection ---
  // "CreateShellLink", "QueryShellLinkA", "QueryPersistFile", "SetPath <p>",
  // "SetWorkingDirectory <d>", "SpecialFolderPath <n>", "Save <name> <0|1>",
  // "Release IPersistFile", "Release IShellLinkA", "Release object".
  const std::vector<std::string>& Calls() const { return calls_; }
  // The link file's contents as Save writes them.
  static std::string LinkContents(const std::string& path, const std::string& workingDirectory);

 private:
  class Object;
  class Link;
  class Persist;
  void Step(ShellStep step, const std::string& call);

  FileSystem& files_;
  std::string desktop_;
  ShellStep failAt_ = ShellStep::None;
  std::int32_t failResult_ = kDefaultFailure;
  ShellStep throwAt_ = ShellStep::None;
  std::map<std::int32_t, std::string> errorTexts_;
  std::vector<std::string> calls_;
  std::string path_, workingDirectory_;
};

}  // namespace norv
