#pragma once
// Exceptions raised by the platform layer. Every one carries a message text in
// Windows-1252; callers show it as it is (the error box adds the full stop).
// Those caused by the system also carry the system's own reason text apart
// from the message, for logs that name the file and the reason separately.
#include <stdexcept>
#include <string>
#include <utility>

namespace norv {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message, std::string reason = {})
      : std::runtime_error(message), reason_(std::move(reason)) {}
  // The system's text for the cause ("Access is denied"); empty when the
  // system gave none.
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

// Reading past the end of a stream, or a read the system refused.
class EReadError : public Exception {
 public:
  EReadError() : Exception("Stream read error") {}
  using Exception::Exception;
};

// A write that the system refused or that stopped short.
class EWriteError : public Exception {
 public:
  EWriteError() : Exception("Stream write error") {}
  explicit EWriteError(const std::string& reason) : Exception("Stream write error", reason) {}
};

// "Cannot open file "<name>". <reason>"
class EFOpenError : public Exception {
 public:
  EFOpenError(const std::string& name, const std::string& reason)
      : Exception("Cannot open file \"" + name + "\". " + reason, reason) {}
};

// "Cannot create file "<name>". <reason>"
class EFCreateError : public Exception {
 public:
  EFCreateError(const std::string& name, const std::string& reason)
      : Exception("Cannot create file \"" + name + "\". " + reason, reason) {}
};

// "Cannot replace file "<name>". <reason>": a finished file could not be
// moved over its target.
class EFReplaceError : public Exception {
 public:
  EFReplaceError(const std::string& name, const std::string& reason)
      : Exception("Cannot replace file \"" + name + "\". " + reason, reason) {}
};

// Creating a directory path failed in a way the caller must hear about.
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace norv
