#pragma once
// COM for the user-interface thread as a single-threaded apartment, for the
// object's lifetime. Released at the end only when the start succeeded; a
// failure to start shows nothing.
#include <objbase.h>

namespace norv::win32 {

class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace norv::win32
