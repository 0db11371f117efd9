#include "platform/testing/FakeShell.h"

#include <stdexcept>

#include "platform/Cp1252.h"
#include "platform/Errors.h"

namespace norv {

class FakeShell::Link : public ShellLinkTarget {
 public:
  explicit Link(FakeShell& shell) : shell_(shell) {}
  ~Link() override { shell_.calls_.push_back("Release IShellLinkA"); }
  void SetPath(const std::string& path) override {
    shell_.Step(ShellStep::SetPath, "SetPath " + path);
    if (shell_.failAt_ != ShellStep::SetPath) shell_.path_ = path;
  }
  void SetWorkingDirectory(const std::string& dir) override {
    shell_.Step(ShellStep::SetWorkingDirectory, "SetWorkingDirectory " + dir);
    if (shell_.failAt_ != ShellStep::SetWorkingDirectory) shell_.workingDirectory_ = dir;
  }

 private:
  FakeShell& shell_;
};

class FakeShell::Persist : public ShellLinkFile {
 public:
  explicit Persist(FakeShell& shell) : shell_(shell) {}
  ~Persist() override { shell_.calls_.push_back("Release IPersistFile"); }
  void Save(const std::u16string& fileName, bool remember) override {
    const std::string name = Utf16ToCp1252(fileName);
    shell_.Step(ShellStep::Save, "Save " + name + (remember ? " 1" : " 0"));
    if (shell_.failAt_ == ShellStep::Save) return;
    try {
      auto file = shell_.files_.CreateWrite(name);
      const std::string bytes = LinkContents(shell_.path_, shell_.workingDirectory_);
      file->WriteExactly(bytes.data(), bytes.size());
    } catch (const Exception&) {
      // A failing Save only returns an error code, which nobody reads.
    }
  }

 private:
  FakeShell& shell_;
};

class FakeShell::Object : public IShellLinkObject {
 public:
  explicit Object(FakeShell& shell) : shell_(shell) {}
  ~Object() override { shell_.calls_.push_back("Release object"); }
  std::unique_ptr<ShellLinkTarget> QueryShellLinkA() override {
    shell_.Step(ShellStep::QueryShellLinkA, "QueryShellLinkA");
    if (shell_.failAt_ == ShellStep::QueryShellLinkA) return nullptr;
    return std::make_unique<Link>(shell_);
  }
  std::unique_ptr<ShellLinkFile> QueryPersistFile() override {
    shell_.Step(ShellStep::QueryPersistFile, "QueryPersistFile");
    if (shell_.failAt_ == ShellStep::QueryPersistFile) return nullptr;
    return std::make_unique<Persist>(shell_);
  }

 private:
  FakeShell& shell_;
};

void FakeShell::Step(ShellStep step, const std::string& call) {
  calls_.push_back(call);
  if (throwAt_ == step) throw std::runtime_error("shell step failed");
}

std::unique_ptr<IShellLinkObject> FakeShell::CreateShellLink(std::int32_t& result) {
  Step(ShellStep::Create, "CreateShellLink");
  path_.clear();
  workingDirectory_.clear();
  if (failAt_ == ShellStep::Create) {
    result = failResult_;
    return nullptr;
  }
  result = 0;
  return std::make_unique<Object>(*this);
}

std::string FakeShell::SystemErrorText(std::int32_t result) {
  auto it = errorTexts_.find(result);
  return it == errorTexts_.end() ? std::string() : it->second;
}

std::string FakeShell::SpecialFolderPath(int folder) {
  Step(ShellStep::SpecialFolderPath, "SpecialFolderPath " + std::to_string(folder));
  if (failAt_ == ShellStep::SpecialFolderPath || folder != 0) return {};
  return desktop_;
}

std::string FakeShell::LinkContents(const std::string& path, const std::string& workingDirectory) {
  return "[ShellLink]\r\nPath=" + path + "\r\nWorkingDirectory=" + workingDirectory + "\r\n";
}

}  // namespace norv
