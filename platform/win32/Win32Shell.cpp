#include "platform/win32/Win32Shell.h"

#include <windows.h>
// windows.h first
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/ComPtr.h"
#include "platform/win32/SystemErrorText.h"

namespace norv {

namespace {

using win32::ComPtr;

class ComShellLinkTarget : public ShellLinkTarget {
 public:
  explicit ComShellLinkTarget(ComPtr<IShellLinkA> p) : p_(std::move(p)) {}
  void SetPath(const std::string& path) override { p_->SetPath(path.c_str()); }
  void SetWorkingDirectory(const std::string& dir) override {
    p_->SetWorkingDirectory(dir.c_str());
  }

 private:
  ComPtr<IShellLinkA> p_;
};

class ComShellLinkFile : public ShellLinkFile {
 public:
  explicit ComShellLinkFile(ComPtr<IPersistFile> p) : p_(std::move(p)) {}
  void Save(const std::u16string& fileName, bool remember) override {
    p_->Save(reinterpret_cast<LPCOLESTR>(fileName.c_str()), remember ? TRUE : FALSE);
  }

 private:
  ComPtr<IPersistFile> p_;
};

class ShellLinkObject : public IShellLinkObject {
 public:
  explicit ShellLinkObject(ComPtr<IUnknown> p) : p_(std::move(p)) {}
  std::unique_ptr<ShellLinkTarget> QueryShellLinkA() override {
    auto p = p_.As<IShellLinkA>(IID_IShellLinkA);
    return p ? std::make_unique<ComShellLinkTarget>(std::move(p)) : nullptr;
  }
  std::unique_ptr<ShellLinkFile> QueryPersistFile() override {
    auto p = p_.As<IPersistFile>(IID_IPersistFile);
    return p ? std::make_unique<ComShellLinkFile>(std::move(p)) : nullptr;
  }

 private:
  ComPtr<IUnknown> p_;
};

// Frees an item-identifier list from the shell.
struct IdListOwner {
  LPITEMIDLIST list = nullptr;
  ~IdListOwner() {
    if (list) CoTaskMemFree(list);
  }
};

}  // namespace

std::unique_ptr<IShellLinkObject> Win32Shell::CreateShellLink(std::int32_t& result) {
  ComPtr<IUnknown> unknown;
  HRESULT hr =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                       IID_IUnknown, reinterpret_cast<void**>(unknown.Put()));
  result = static_cast<std::int32_t>(hr);
  if (FAILED(hr) || !unknown) return nullptr;
  return std::make_unique<ShellLinkObject>(std::move(unknown));
}

std::string Win32Shell::SystemErrorText(std::int32_t result) {
  return win32::SystemErrorText(static_cast<std::uint32_t>(result));
}

std::string Win32Shell::SpecialFolderPath(int folder) {
  IdListOwner ids;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &ids.list)) || !ids.list) return {};
  char path[MAX_PATH + 1] = {};
  SHGetPathFromIDListA(ids.list, path);
  return path;
}

}  // namespace norv
