// Thin owners of the Win32 handles the backend makes: each frees its handle once.
#pragma once

#include <windows.h>

#include <utility>

namespace vantor {

template <class H, class Traits>
class TUniqueHandle {
 public:
  TUniqueHandle() = default;
  explicit TUniqueHandle(H Value) : FValue(Value) {}
  ~TUniqueHandle() { Reset(); }
  TUniqueHandle(TUniqueHandle&& Other) noexcept : FValue(std::exchange(Other.FValue, H{})) {}
  TUniqueHandle& operator=(TUniqueHandle&& Other) noexcept {
    if (this != &Other) {
      Reset();
      FValue = std::exchange(Other.FValue, H{});
    }
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;

  H Get() const { return FValue; }
  explicit operator bool() const { return FValue != H{}; }
  void Reset(H Value = H{}) {
    if (FValue != H{})
      Traits::Free(FValue);
    FValue = Value;
  }
  H Release() { return std::exchange(FValue, H{}); }

 private:
  H FValue{};
};

struct TWindowTraits {
  static void Free(HWND Handle) { ::DestroyWindow(Handle); }
};
struct TGdiTraits {
  static void Free(HGDIOBJ Handle) { ::DeleteObject(Handle); }
};
struct TKernelTraits {
  static void Free(HANDLE Handle) { ::CloseHandle(Handle); }
};

using TWindowHandle = TUniqueHandle<HWND, TWindowTraits>;
using TGdiHandle = TUniqueHandle<HGDIOBJ, TGdiTraits>;
using TKernelHandle = TUniqueHandle<HANDLE, TKernelTraits>;

}  // namespace vantor
