#pragma once
// What a screen reader reads of a control. Our controls are drawn by us, so
// the system knows nothing of them: each answers WM_GETOBJECT with an
// accessible object of its own (MSAA's IAccessible, which NVDA and JAWS read
// directly and Narrator through UI Automation's proxy). The object asks its
// control at every call, so that it reports what the control shows now.
//
// A screen reader, in another process, may keep the object after the control
// is gone: from then on every call answers CO_E_OBJNOTCONNECTED.
#include <windows.h>

#include <oleacc.h>

#include <optional>
#include <string>
#include <utility>

#include "controls/accessible.h"

namespace salvanto::win {

class AccessibleObject;

// A control's accessible object, made at the first WM_GETOBJECT and cut
// loose with the control (whose window is gone by then: until it is, the
// object checks the window at every call).
class AccessibleLink {
public:
  explicit AccessibleLink(AccessibleSource& source) : source_(source) {}
  AccessibleLink(const AccessibleLink&) = delete;
  AccessibleLink& operator=(const AccessibleLink&) = delete;
  ~AccessibleLink() { Disconnect(); }

  // WM_GETOBJECT's answer for the client area; nothing for every other
  // message, which the control handles as before.
  std::optional<LRESULT> HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
  void Disconnect();

  AccessibleSource& source_;
  AccessibleObject* object_ = nullptr;  // one reference held
};

// Tells screen readers of a change in a control the system does not see
// (EVENT_OBJECT_NAMECHANGE, ...).
inline void NotifyAccessible(HWND window, DWORD event) { NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF); }

// Tells screen readers that the controls in a window that was enabled or
// disabled (under a modal box) take input again or no longer: each element
// that takes input raises EVENT_OBJECT_STATECHANGE.
void NotifyInputChanged(HWND window);

}  // namespace salvanto::win
