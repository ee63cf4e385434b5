#include "win/accessible.h"

#include <objbase.h>
#include <oleacc.h>

#include <new>

#include "win/window.h"

namespace vantrel::win {
namespace {

// Spelled out: the static import library's IID_IAccessible resolves to an
// import thunk, not to the GUID.
constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kIidDispatch = {
    0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidUnknown = {
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidEnumVariant = {
    0x00020404, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidOleWindow = {
    0x00000114, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT PutString(const std::wstring& text, BSTR* out) {
  if (!out) return E_INVALIDARG;
  *out = SysAllocString(text.c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The client object of one window: our description for the window itself,
// the standard object for the rest.
class ClientObject final : public IAccessible {
 public:
  ClientObject(HWND hwnd, IAccessible* standard) : hwnd_(hwnd), standard_(standard) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, kIidAccessible) || IsEqualIID(iid, kIidDispatch) ||
        IsEqualIID(iid, kIidUnknown)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // The window and its children as the standard object knows them; no
    // other of its interfaces, which would answer as that object.
    if (IsEqualIID(iid, kIidEnumVariant) || IsEqualIID(iid, kIidOleWindow))
      return standard_->QueryInterface(iid, out);
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: not offered (clients use the vtable).
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_INVALIDARG;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible: what the description says, for the window itself.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return Text(&AccessibleInfo::name, &IAccessible::get_accName, child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return Text(&AccessibleInfo::value, &IAccessible::get_accValue, child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return Text(&AccessibleInfo::description, &IAccessible::get_accDescription, child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return Text(&AccessibleInfo::default_action, &IAccessible::get_accDefaultAction, child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    AccessibleInfo info;
    if (!out || !IsSelf(child) || !Describe(info) || info.role == 0)
      return standard_->get_accRole(child, out);
    out->vt = VT_I4;
    out->lVal = info.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    const HRESULT hr = standard_->get_accState(child, out);
    AccessibleInfo info;
    if (FAILED(hr) || !out || out->vt != VT_I4 || !IsSelf(child) || !Describe(info)) return hr;
    out->lVal |= info.state;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    AccessibleInfo info;
    if (!IsSelf(child) || !Describe(info) || info.default_action.empty())
      return standard_->accDoDefaultAction(child);
    return PostMessageW(hwnd_, WM_PRESS_FROM_READER, 0, 0) ? S_OK : E_FAIL;
  }

  // The rest: the standard object's.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
    return standard_->get_accParent(out);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
    return standard_->get_accChildCount(out);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return standard_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
    return standard_->get_accHelp(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return standard_->get_accKeyboardShortcut(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    return standard_->get_accFocus(out);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    return standard_->get_accSelection(out);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                        VARIANT child) override {
    return standard_->accLocation(x, y, w, h, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* out) override {
    return standard_->accNavigate(dir, start, out);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
    return standard_->accHitTest(x, y, out);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~ClientObject() { standard_->Release(); }

  // Asked afresh each time; a window gone since answers nothing.
  bool Describe(AccessibleInfo& info) const {
    const Window* window = Window::FromHandle(hwnd_);
    return window && window->Describe(info);
  }

  // One text of the description, or the standard object's answer where
  // the window gives none.
  HRESULT Text(std::wstring AccessibleInfo::*field,
               HRESULT (STDMETHODCALLTYPE IAccessible::*standard)(VARIANT, BSTR*), VARIANT child,
               BSTR* out) {
    AccessibleInfo info;
    if (!IsSelf(child) || !Describe(info) || (info.*field).empty())
      return (standard_->*standard)(child, out);
    return PutString(info.*field, out);
  }

  LONG refs_ = 1;
  HWND hwnd_;
  IAccessible* standard_;
};

}  // namespace

LRESULT AnswerClientObject(HWND hwnd, WPARAM wp) {
  // A reader in another process gets the object through COM: this thread
  // joins an apartment the first time one asks.
  thread_local const bool joined = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  (void)joined;
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, kIidAccessible,
                                       reinterpret_cast<void**>(&standard))) ||
      !standard)
    return 0;
  auto* object = new (std::nothrow) ClientObject(hwnd, standard);
  if (!object) {
    standard->Release();
    return 0;
  }
  const LRESULT result = LresultFromObject(kIidAccessible, wp, object);
  object->Release();  // the result holds its own reference
  return result > 0 ? result : 0;
}

void NotifyAccessible(DWORD event, HWND hwnd) {
  if (hwnd) NotifyWinEvent(event, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace vantrel::win
