#pragma once
// Owns one reference to a COM interface and releases it on destruction.
#include <unknwn.h>

#include <utility>

namespace norv::win32 {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  T** Put() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

  // QueryInterface for another interface; empty when the object lacks it.
  template <typename U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> result;
    if (p_ && FAILED(p_->QueryInterface(iid, reinterpret_cast<void**>(result.Put())))) {
      result.Reset();
    }
    return result;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace norv::win32
