#include "framework/win32/accessible_names.h"

#include <oleacc.h>

#include "base/utf.h"

namespace vantor {

namespace {

// The interfaces' ids from the headers' declarations: mingw's import library for oleacc.dll
// has a symbol IID_IAccessible that is the DLL's exported data reached through a thunk,
// not the GUID, so the linked name would depend on the order of the libraries.
const IID& kIAccessible = __uuidof(IAccessible);

bool IsChild(const VARIANT& Child, long& Id) {
  if (Child.vt != VT_I4)
    return false;
  Id = Child.lVal;
  return true;
}

// The system's accessible object for a control, with the names taken from the control.
// Everything else is the system's answer, so that a check box stays a check box with its
// state and a field keeps its value.
// A COM interface has no virtual destructor by design: the object deletes itself in
// Release, and its destructor is private, so nothing deletes it through the interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TNamedAccessible final : public IAccessible, public IOleWindow {
 public:
  TNamedAccessible(HWND Window, IAccessible* Standard, std::weak_ptr<const IAccessibleNames> Names)
      : FWindow(Window), FStandard(Standard), FNames(std::move(Names)) {}
  TNamedAccessible(const TNamedAccessible&) = delete;
  TNamedAccessible& operator=(const TNamedAccessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
    if (!Object)
      return E_POINTER;
    // One identity: the system object's other interfaces (IEnumVARIANT) are not handed
    // out, since they would answer for another object; children are reached by index.
    if (IsEqualIID(Iid, __uuidof(IUnknown)) || IsEqualIID(Iid, __uuidof(IDispatch)) ||
        IsEqualIID(Iid, kIAccessible)) {
      *Object = static_cast<IAccessible*>(this);
    } else if (IsEqualIID(Iid, __uuidof(IOleWindow))) {
      *Object = static_cast<IOleWindow*>(this);
    } else {
      *Object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG Left = --FReferences;
    if (Left == 0)
      delete this;  // NOLINT(cppcoreguidelines-owning-memory): COM's own lifetime rule
    return Left;
  }

  // IOleWindow: the window the object stands for (WindowFromAccessibleObject asks).
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override {
    if (!Window)
      return E_POINTER;
    *Window = FWindow;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL /*Enter*/) override { return E_NOTIMPL; }

  // IDispatch: the system object's type information describes the same interface.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override {
    return FStandard->GetTypeInfoCount(Count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT Index, LCID Locale, ITypeInfo** Info) override {
    return FStandard->GetTypeInfo(Index, Locale, Info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID Iid, LPOLESTR* Names, UINT Count, LCID Locale,
                                          DISPID* Ids) override {
    return FStandard->GetIDsOfNames(Iid, Names, Count, Locale, Ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID Id, REFIID Iid, LCID Locale, WORD Flags,
                                   DISPPARAMS* Params, VARIANT* Result, EXCEPINFO* Exception,
                                   UINT* ArgumentError) override {
    return FStandard->Invoke(Id, Iid, Locale, Flags, Params, Result, Exception, ArgumentError);
  }

  // IAccessible: the names, and the parts where the system object knows none.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT Child, BSTR* Name) override {
    long Id = 0;
    if (Name && IsChild(Child, Id)) {
      const std::string Own = OwnName(Id);
      if (!Own.empty()) {
        *Name = ::SysAllocString(Widen(Own).c_str());
        return *Name ? S_OK : E_OUTOFMEMORY;
      }
    }
    return FStandard->get_accName(Child, Name);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* Count) override {
    const HRESULT Result = FStandard->get_accChildCount(Count);
    const long Parts = OwnParts();
    if (Count && Parts > 0 && (FAILED(Result) || *Count < Parts)) {
      *Count = Parts;
      return S_OK;
    }
    return Result;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT Child, IDispatch** Dispatch) override {
    const HRESULT Result = FStandard->get_accChild(Child, Dispatch);
    long Id = 0;
    if (FAILED(Result) && Dispatch && IsPart(Child, Id)) {
      *Dispatch = nullptr;  // a part is a simple element of this object
      return S_FALSE;
    }
    return Result;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT Child, VARIANT* Role) override {
    const HRESULT Result = FStandard->get_accRole(Child, Role);
    long Id = 0;
    if (FAILED(Result) && Role && IsPart(Child, Id)) {
      Role->vt = VT_I4;
      Role->lVal = ROLE_SYSTEM_STATICTEXT;
      return S_OK;
    }
    return Result;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** Parent) override {
    return FStandard->get_accParent(Parent);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT Child, BSTR* Value) override {
    return FStandard->get_accValue(Child, Value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT Child, BSTR* Description) override {
    return FStandard->get_accDescription(Child, Description);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT Child, VARIANT* State) override {
    return FStandard->get_accState(Child, State);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT Child, BSTR* Help) override {
    return FStandard->get_accHelp(Child, Help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* File, VARIANT Child, long* Topic) override {
    return FStandard->get_accHelpTopic(File, Child, Topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT Child, BSTR* Shortcut) override {
    return FStandard->get_accKeyboardShortcut(Child, Shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* Focus) override {
    return FStandard->get_accFocus(Focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* Selection) override {
    return FStandard->get_accSelection(Selection);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT Child, BSTR* Action) override {
    return FStandard->get_accDefaultAction(Child, Action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long Flags, VARIANT Child) override {
    return FStandard->accSelect(Flags, Child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* Left, long* Top, long* Width, long* Height,
                                        VARIANT Child) override {
    return FStandard->accLocation(Left, Top, Width, Height, Child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long Direction, VARIANT Start, VARIANT* End) override {
    return FStandard->accNavigate(Direction, Start, End);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long Left, long Top, VARIANT* Child) override {
    return FStandard->accHitTest(Left, Top, Child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT Child) override {
    return FStandard->accDoDefaultAction(Child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT Child, BSTR Name) override {
    return FStandard->put_accName(Child, Name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT Child, BSTR Value) override {
    return FStandard->put_accValue(Child, Value);
  }

 private:
  std::string OwnName(long Child) const {
    const auto Names = FNames.lock();
    return Names ? Names->AccessibleName(Child) : std::string();
  }
  long OwnParts() const {
    const auto Names = FNames.lock();
    return Names ? Names->AccessibleParts() : 0;
  }
  bool IsPart(const VARIANT& Child, long& Id) const {
    return IsChild(Child, Id) && Id >= 1 && Id <= OwnParts();
  }

  ~TNamedAccessible() { FStandard->Release(); }

  HWND FWindow;
  IAccessible* FStandard;  // owned: one reference, released with this object
  std::weak_ptr<const IAccessibleNames> FNames;
  ULONG FReferences = 1;
};
#pragma GCC diagnostic pop

}  // namespace

LRESULT AnswerGetObject(HWND Window, WPARAM WParam, LPARAM LParam,
                        const TAccessibleNamesLink& Names) {
  // The object id arrives as a 32-bit value in a pointer-sized parameter.
  if (static_cast<LONG>(static_cast<DWORD>(LParam)) != OBJID_CLIENT || !Names)
    return 0;
  if (Names->AccessibleName(CHILDID_SELF).empty() && Names->AccessibleParts() == 0)
    return 0;
  IAccessible* Standard = nullptr;
  if (FAILED(::CreateStdAccessibleObject(Window, OBJID_CLIENT, kIAccessible,
                                         reinterpret_cast<void**>(&Standard))) ||
      !Standard)
    return 0;
  // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): COM counts its references
  auto* Named = new TNamedAccessible(Window, Standard, Names);
  const LRESULT Answer =
      ::LresultFromObject(kIAccessible, WParam, static_cast<IAccessible*>(Named));
  Named->Release();  // the answer holds its own reference
  return FAILED(static_cast<HRESULT>(Answer)) ? 0 : Answer;
}

TComApartment::TComApartment() {
  // S_FALSE: already initialised the same way, which still asks for one uninitialise.
  FInitialised = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

TComApartment::~TComApartment() {
  if (FInitialised)
    ::CoUninitialize();
}

}  // namespace vantor
