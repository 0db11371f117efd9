#pragma once
// The shell-link objects behind the desktop shortcut, one small interface per
// COM interface so the caller makes the calls in its own fixed order.
// Destroying an object releases the interface it stands for.
#include <cstdint>
#include <memory>
#include <string>

namespace norv {

// The link's target, as COM's IShellLinkA sets it.
class ShellLinkTarget {
 public:
  virtual ~ShellLinkTarget() = default;
  virtual void SetPath(const std::string& path) = 0;
  virtual void SetWorkingDirectory(const std::string& dir) = 0;
};

// The link file, as COM's IPersistFile saves it.
class ShellLinkFile {
 public:
  virtual ~ShellLinkFile() = default;
  virtual void Save(const std::u16string& fileName, bool remember) = 0;
};

// The created ShellLink object, held through its base interface.
class IShellLinkObject {
 public:
  virtual ~IShellLinkObject() = default;
  // nullptr when the object lacks the interface.
  virtual std::unique_ptr<ShellLinkTarget> QueryShellLinkA() = 0;
  virtual std::unique_ptr<ShellLinkFile> QueryPersistFile() = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // CoCreateInstance of the ShellLink class (in-process or local server).
  // On failure returns nullptr and sets `result` to the failing HRESULT.
  virtual std::unique_ptr<IShellLinkObject> CreateShellLink(std::int32_t& result) = 0;
  // The system's text for a result code; empty when it has none.
  virtual std::string SystemErrorText(std::int32_t result) = 0;
  // SHGetSpecialFolderLocation + SHGetPathFromIDListA into a buffer of 261
  // bytes; empty when the folder cannot be resolved.
  virtual std::string SpecialFolderPath(int folder) = 0;
};

}  // namespace norv
