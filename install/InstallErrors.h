#pragma once
// Failures of the shell-link step, raised to the message loop.
#include <cstdint>
#include <string>

#include "platform/Errors.h"

namespace norv {

// A COM object could not be created: the system's text for the result code,
// or "OLE error XXXXXXXX" when it has none.
class EOleSysError : public Exception {
 public:
  EOleSysError(const std::string& systemText, std::int32_t errorCode);
  const std::int32_t ErrorCode;
};

// The object lacks an interface that was asked for.
class EIntfCastError : public Exception {
 public:
  EIntfCastError() : Exception("Interface not supported") {}
};

}  // namespace norv
