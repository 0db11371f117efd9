#pragma once
// Exceptions raised by the platform layer. Every one carries a message text in
// Windows-1252; callers show it as it is (the error box adds the full stop).
#include <stdexcept>
#include <string>

namespace norv {

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
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
  using Exception::Exception;
};

// "Cannot open file "<name>". <reason>"
class EFOpenError : public Exception {
 public:
  EFOpenError(const std::string& name, const std::string& reason)
      : Exception("Cannot open file \"" + name + "\". " + reason) {}
};

// "Cannot create file "<name>". <reason>"
class EFCreateError : public Exception {
 public:
  EFCreateError(const std::string& name, const std::string& reason)
      : Exception("Cannot create file \"" + name + "\". " + reason) {}
};

// Creating a directory path failed in a way the caller must hear about.
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace norv
