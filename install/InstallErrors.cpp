#include "install/InstallErrors.h"

#include <cstdio>

namespace norv {
namespace {

std::string OleErrorText(const std::string& systemText, std::int32_t errorCode) {
  if (!systemText.empty()) return systemText;
  char text[32];
  std::snprintf(text, sizeof text, "OLE error %.8X", static_cast<unsigned>(errorCode));
  return text;
}

}  // namespace

EOleSysError::EOleSysError(const std::string& systemText, std::int32_t errorCode)
    : Exception(OleErrorText(systemText, errorCode)), ErrorCode(errorCode) {}

}  // namespace norv
