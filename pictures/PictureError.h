#pragma once
// A picture that cannot be decoded: malformed, truncated, unsupported or too large.
#include "platform/Errors.h"

namespace norv {

class PictureError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace norv
