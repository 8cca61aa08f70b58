// Owners for the Windows handles port discovery uses.
#pragma once

#include <windows.h>

#include <utility>

namespace vantor {

// TTraits gives Type, IsValid(h) and Close(h); it may carry state (a bound function).
template <class TTraits>
class TWinHandle {
 public:
  using T = typename TTraits::Type;

  TWinHandle() = default;
  explicit TWinHandle(T Handle, TTraits Traits = {}) : FHandle(Handle), FTraits(Traits) {}
  TWinHandle(const TWinHandle&) = delete;
  TWinHandle& operator=(const TWinHandle&) = delete;
  ~TWinHandle() { Reset(); }

  T Get() const { return FHandle; }
  explicit operator bool() const { return FHandle && TTraits::IsValid(FHandle); }
  void Reset(T Handle = T{}) {
    if (*this)
      FTraits.Close(FHandle);
    FHandle = Handle;
  }
  void Reset(T Handle, TTraits Traits) {
    Reset(Handle);
    FTraits = Traits;
  }

 private:
  T FHandle{};
  TTraits FTraits{};
};

struct TModuleTraits {
  using Type = HMODULE;
  static bool IsValid(HMODULE) { return true; }
  void Close(HMODULE Module) const { ::FreeLibrary(Module); }
};
struct TKeyTraits {
  using Type = HKEY;
  // SetupDiOpenDevRegKey reports failure with INVALID_HANDLE_VALUE, not null.
  static bool IsValid(HKEY Key) { return Key != reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE); }
  void Close(HKEY Key) const { ::RegCloseKey(Key); }
};
struct TFileTraits {
  using Type = HANDLE;
  static bool IsValid(HANDLE Handle) { return Handle != INVALID_HANDLE_VALUE; }
  void Close(HANDLE Handle) const { ::CloseHandle(Handle); }
};

using TModuleHandle = TWinHandle<TModuleTraits>;
using TKeyHandle = TWinHandle<TKeyTraits>;
using TFileHandle = TWinHandle<TFileTraits>;

}  // namespace vantor
