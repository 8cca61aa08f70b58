// Owners of Win32 handles: each frees its handle exactly once. One template, one traits
// class per kind of handle; the traits say which value means "none" (some functions report
// failure with null, others with INVALID_HANDLE_VALUE) and how to free it. Traits may carry
// state, such as a freeing function bound at run time.
#pragma once

#include <windows.h>

#include <utility>

namespace vantor {

template <class TTraits>
class TUniqueHandle {
 public:
  using T = typename TTraits::Type;

  TUniqueHandle() = default;
  explicit TUniqueHandle(T Value, TTraits Traits = {}) : FValue(Value), FTraits(Traits) {}
  ~TUniqueHandle() { Reset(); }
  TUniqueHandle(TUniqueHandle&& Other) noexcept : FValue(Other.Release()), FTraits(Other.FTraits) {}
  TUniqueHandle& operator=(TUniqueHandle&& Other) noexcept {
    if (this != &Other) {
      Reset(Other.Release());
      FTraits = Other.FTraits;
    }
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;

  T Get() const { return FValue; }
  bool Valid() const { return FValue != T{} && TTraits::Valid(FValue); }
  explicit operator bool() const { return Valid(); }
  void Reset(T Value = T{}) {
    if (Valid())
      FTraits.Free(FValue);
    FValue = Value;
  }
  void Reset(T Value, TTraits Traits) {
    Reset(Value);
    FTraits = Traits;
  }
  T Release() { return std::exchange(FValue, T{}); }

 private:
  T FValue{};
  TTraits FTraits{};
};

// Handles for which null is the only "none".
template <class H>
struct TNullIsNone {
  using Type = H;
  static bool Valid(H) { return true; }
};

struct TWindowTraits : TNullIsNone<HWND> {
  static void Free(HWND Handle) { ::DestroyWindow(Handle); }
};
struct TGdiTraits : TNullIsNone<HGDIOBJ> {
  static void Free(HGDIOBJ Handle) { ::DeleteObject(Handle); }
};
struct TKernelTraits : TNullIsNone<HANDLE> {
  static void Free(HANDLE Handle) { ::CloseHandle(Handle); }
};
struct TModuleTraits : TNullIsNone<HMODULE> {
  static void Free(HMODULE Module) { ::FreeLibrary(Module); }
};
// CreateFileW reports failure with INVALID_HANDLE_VALUE, not null.
struct TFileTraits {
  using Type = HANDLE;
  static bool Valid(HANDLE Handle) { return Handle != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE Handle) { ::CloseHandle(Handle); }
};
// SetupDiOpenDevRegKey reports failure with INVALID_HANDLE_VALUE too.
struct TKeyTraits {
  using Type = HKEY;
  static bool Valid(HKEY Key) { return Key != reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE); }
  static void Free(HKEY Key) { ::RegCloseKey(Key); }
};

using TWindowHandle = TUniqueHandle<TWindowTraits>;
using TGdiHandle = TUniqueHandle<TGdiTraits>;
using TKernelHandle = TUniqueHandle<TKernelTraits>;
using TModuleHandle = TUniqueHandle<TModuleTraits>;
using TFileHandle = TUniqueHandle<TFileTraits>;
using TKeyHandle = TUniqueHandle<TKeyTraits>;

}  // namespace vantor
