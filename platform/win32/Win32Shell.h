#pragma once
// The shell-link object and the special folders through COM and the shell.
#include "platform/ShellLink.h"

namespace norv {

class Win32Shell : public Shell {
 public:
  std::unique_ptr<IShellLinkObject> CreateShellLink(std::int32_t& result) override;
  std::string SystemErrorText(std::int32_t result) override;
  std::string SpecialFolderPath(int folder) override;
};

}  // namespace norv
