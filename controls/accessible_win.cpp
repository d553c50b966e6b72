#include "controls/accessible_win.h"

#include <new>
#include <optional>
#include <vector>

#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

namespace {

// A control takes input only while it and every window it sits in are
// enabled: not while a modal box has disabled the dialog.
bool TakesInput(HWND window) {
  for (HWND each = window; each; each = (GetWindowLongW(each, GWL_STYLE) & WS_CHILD) ? GetParent(each) : nullptr) {
    if (!IsWindowEnabled(each)) return false;
  }
  return true;
}

void SetChild(VARIANT* out, long element) {
  out->vt = VT_I4;
  out->lVal = element;
}

// Sent to each control of a window whose input changed (NotifyInputChanged).
constexpr UINT kInputChanged = WM_APP + 0x100;

}  // namespace

class AccessibleObject final : public IAccessible {
public:
  AccessibleObject(HWND window, AccessibleSource& source) : window_(window), source_(&source) {
    // The system's object for the same client area answers for what is the
    // window's and not the control's: its parent, the windows in a container,
    // and which of them lies at a point or has the focus.
    CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible), standard_.put_void());
  }
  AccessibleObject(const AccessibleObject&) = delete;
  AccessibleObject& operator=(const AccessibleObject&) = delete;

  void Disconnect() {
    window_ = nullptr;
    source_ = nullptr;
    standard_.reset();
    // Clients in other processes let go of it now, not when they exit.
    CoDisconnectObject(static_cast<IAccessible*>(this), 0);
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != __uuidof(IUnknown) && iid != __uuidof(IDispatch) && iid != __uuidof(IAccessible)) return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: no type information; clients call IAccessible itself.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible: what the control says.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(child, &AccessibleElement::name, name, &IAccessible::get_accName);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Text(child, &AccessibleElement::action, action, &IAccessible::get_accDefaultAction);
  }
  // The spin button's value is the delay it steps; no other element has one.
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    const HRESULT result = Text(child, &AccessibleElement::value, value, &IAccessible::get_accValue);
    return result == S_FALSE ? DISP_E_MEMBERNOTFOUND : result;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return Number(child, role, &IAccessible::get_accRole,
                  [&](long element) { return source_->Describe(element).role; });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return Number(child, state, &IAccessible::get_accState, [&](long element) { return State(element); });
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return Call([&] {
      if (source_->PartCount() == 0 && standard_) return standard_->get_accChildCount(count);
      *count = source_->PartCount();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    return Call([&] {
      const auto element = Element(child);
      if (!element || source_->PartCount() == 0) {
        return Foreign([&](IAccessible& s) { return s.get_accChild(child, object); });
      }
      // The parts are simple elements, with no object of their own.
      return *element != CHILDID_SELF ? S_FALSE : E_INVALIDARG;
    });
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    return Call([&] {
      const auto element = Element(child);
      if (!element) return Foreign([&](IAccessible& s) { return s.accLocation(left, top, width, height, child); });
      RECT rect = ScreenRect(*element);
      *left = rect.left;
      *top = rect.top;
      *width = rect.right - rect.left;
      *height = rect.bottom - rect.top;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Call([&] {
      const auto element = Element(child);
      if (!element) return Foreign([&](IAccessible& s) { return s.accDoDefaultAction(child); });
      // What a click cannot do, the action cannot either.
      switch (DefaultActionVerdict(source_->Describe(*element), TakesInput(window_))) {
        case Verdict::Done:
          return source_->DoDefaultAction(*element) ? S_OK : DISP_E_MEMBERNOTFOUND;
        case Verdict::Refused:
          return E_FAIL;
        default:
          return DISP_E_MEMBERNOTFOUND;
      }
    });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return Call([&] {
      const auto element = Element(child);
      if (!element) return Foreign([&](IAccessible& s) { return s.accSelect(flags, child); });
      switch (SelectVerdict(flags, *element, State(*element), TakesInput(window_))) {
        case Verdict::Done:
          SetFocus(window_);
          return S_OK;
        case Verdict::Refused:
          return E_FAIL;
        default:
          return DISP_E_MEMBERNOTFOUND;
      }
    });
  }

  // Where the elements are, and which has the focus.
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* found) override {
    if (!found) return E_POINTER;
    VariantInit(found);
    return Call([&] {
      const RECT whole = ScreenRect(CHILDID_SELF);
      if (!PtInRect(&whole, POINT{x, y})) return S_FALSE;
      if (source_->PartCount() == 0 && standard_) return standard_->accHitTest(x, y, found);
      POINT client{x, y};
      ScreenToClient(window_, &client);
      SetChild(found, ElementAt(PartRects(*source_), client.x, client.y));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    return Call([&] {
      const auto from = Element(start);
      if (!from) return Foreign([&](IAccessible& s) { return s.accNavigate(direction, start, end); });
      const auto to = NavigateParts(PartRects(*source_), *from, direction);
      // The control among its sibling windows, or a container's windows.
      if (!to) return standard_ ? standard_->accNavigate(direction, start, end) : S_FALSE;
      // A part is ours alone: the system's object knows no such element.
      if (*to == 0) return S_FALSE;
      SetChild(end, *to);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    return Call([&] {
      if (GetFocus() == window_) {
        SetChild(focus, CHILDID_SELF);
        return S_OK;
      }
      return standard_ ? standard_->get_accFocus(focus) : S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return Call([&] { return standard_ ? standard_->get_accParent(parent) : S_FALSE; });
  }

  // What no control of ours has: a description beyond the name, a
  // selection, help, shortcuts.
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* description) override { return None(description); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return None(help); }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return None(shortcut); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (topic) *topic = 0;
    return None(file);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    return Call([] { return DISP_E_MEMBERNOTFOUND; });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
  ~AccessibleObject() = default;

  // Runs a call's body while the control is there; no exception leaves it.
  template <typename F>
  HRESULT Call(F&& body) {
    if (!source_ || !IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    try {
      return body();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }

  // An element that is not one of this control's goes to the system's
  // object, which may have handed it out (a window in a container).
  template <typename F>
  HRESULT Foreign(F&& call) {
    return standard_ ? call(*standard_.get()) : E_INVALIDARG;
  }

  // The element a child id names, if it is one of this control's.
  std::optional<long> Element(const VARIANT& child) const {
    if (child.vt != VT_I4) return std::nullopt;
    return ElementOf(child.lVal, source_->PartCount());
  }

  long State(long element) const {
    return ElementState(source_->Describe(element), element, IsWindowVisible(window_) != FALSE, TakesInput(window_),
                        GetFocus() == window_);
  }

  RECT ScreenRect(long element) const {
    RECT rect{};
    if (element == CHILDID_SELF) {
      GetWindowRect(window_, &rect);
    } else {
      rect = ToRect(source_->PartRect(element));
      MapWindowPoints(window_, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
  }

  HRESULT Text(const VARIANT& child, std::wstring AccessibleElement::*field, BSTR* out,
               HRESULT (STDMETHODCALLTYPE IAccessible::*foreign)(VARIANT, BSTR*)) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Call([&] {
      const auto element = Element(child);
      if (!element) return Foreign([&](IAccessible& s) { return (s.*foreign)(child, out); });
      const std::wstring text = source_->Describe(*element).*field;
      if (text.empty()) return S_FALSE;
      *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      return *out ? S_OK : E_OUTOFMEMORY;
    });
  }

  template <typename F>
  HRESULT Number(const VARIANT& child, VARIANT* out,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*foreign)(VARIANT, VARIANT*), F&& value) {
    if (!out) return E_POINTER;
    VariantInit(out);
    return Call([&] {
      const auto element = Element(child);
      if (!element) return Foreign([&](IAccessible& s) { return (s.*foreign)(child, out); });
      SetChild(out, value(*element));
      return S_OK;
    });
  }

  HRESULT None(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Call([] { return DISP_E_MEMBERNOTFOUND; });
  }

  LONG references_ = 1;
  HWND window_;
  AccessibleSource* source_;
  com_ptr<IAccessible> standard_;
};

void NotifyInputChanged(HWND window) {
  EnumChildWindows(
      window,
      [](HWND control, LPARAM) -> BOOL {
        SendMessageW(control, kInputChanged, 0, 0);
        return TRUE;
      },
      0);
}

std::optional<LRESULT> AccessibleLink::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kInputChanged) {
    for (long element : InteractiveElements(source_)) {
      NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, element);
    }
    return 0;
  }
  if (message != WM_GETOBJECT || static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return std::nullopt;
  if (!object_) object_ = new (std::nothrow) AccessibleObject(window, source_);
  if (!object_) return std::nullopt;  // the system's own object then answers
  return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object_));
}

void AccessibleLink::Disconnect() {
  if (!object_) return;
  object_->Disconnect();
  std::exchange(object_, nullptr)->Release();
}

}  // namespace salvanto::win
