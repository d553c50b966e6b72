#pragma once
// What a screen reader reads of a control, as plain data and rules: the
// elements (the control itself, CHILDID_SELF 0, and the simple parts it
// draws, 1 and up), their roles, names, states, values and default actions,
// which element lies at a point and where navigation leads. The COM object
// (controls/accessible_win.h) answers from these. Roles, states and
// directions carry the platform's numbers (MSAA).
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/twips.h"

namespace salvanto {

inline constexpr long kRoleGrouping = 20, kRoleGraphic = 40, kRoleStaticText = 41, kRolePushButton = 43,
                      kRoleSpinButton = 52;
inline constexpr long kStateUnavailable = 0x1, kStateFocused = 0x4, kStatePressed = 0x8, kStateReadOnly = 0x40,
                      kStateInvisible = 0x8000, kStateFocusable = 0x100000;

struct AccessibleElement {
  AccessibleElement(long kind, std::wstring called, long shows = 0, std::wstring defaultAction = {})
      : role(kind), name(std::move(called)), state(shows), action(std::move(defaultAction)) {}

  long role;
  std::wstring name;
  std::wstring value;  // what the element holds (the spin button: the delay shown); empty: none
  // Beyond what the window shows itself (hidden; and for a focusable
  // element, disabled and focused).
  long state;
  std::wstring action;  // the default action's name; empty: none
};

// What a control tells its accessible object (controls/accessible_win.h).
class AccessibleSource {
public:
  virtual AccessibleElement Describe(long element) const = 0;
  virtual long PartCount() const { return 0; }
  // A part's rectangle in the control's client pixels.
  virtual PixelRect PartRect(long /*part*/) const { return {}; }
  // Does what the element's default action says, as its click does; false
  // when it has none.
  virtual bool DoDefaultAction(long /*element*/) { return false; }

protected:
  AccessibleSource() = default;
  AccessibleSource(const AccessibleSource&) = default;
  AccessibleSource& operator=(const AccessibleSource&) = default;
  ~AccessibleSource() = default;
};

// A control's parts' rectangles, part 1 first; and its elements that take
// input (which hear when their window's input changes), itself first.
std::vector<PixelRect> PartRects(const AccessibleSource& source);
std::vector<long> InteractiveElements(const AccessibleSource& source);

// Each kind of control: the buttons are push buttons that "Press" clicks;
// the spin button is named by its tooltip and holds the value it steps,
// its arrows (parts 1 and 2) push buttons; a panel holding controls is a
// grouping, any other panel and a label static text; an image a graphic.
AccessibleElement DescribeButton(const std::wstring& caption, bool pressed);
AccessibleElement DescribeSpin(long element, const std::wstring& toolTip, const std::wstring& value,
                               const std::wstring& downName, const std::wstring& upName, int pushed);
AccessibleElement DescribePanel(const std::wstring& caption, bool holdsControls);
AccessibleElement DescribeLabel(const std::wstring& caption);
AccessibleElement DescribeImage(const std::wstring& description);

// An element that takes input (focusable, or with a default action).
bool Interactive(const AccessibleElement& element);

// The element a child id names among a control's parts, if it is one.
std::optional<long> ElementOf(long childId, long parts);

// An element's whole state: its own, and what its window shows: hidden;
// unavailable while an interactive element's window takes no input;
// focused, for the control itself, while it has the focus.
long ElementState(const AccessibleElement& element, long id, bool visible, bool takesInput, bool focused);

// What a default action or a select does to an element. A default action
// needs one and a window that takes input, as a click does; select only
// gives the control itself the focus.
enum class Verdict { NotSupported, Refused, Done };
Verdict DefaultActionVerdict(const AccessibleElement& element, bool takesInput);
inline constexpr long kSelectTakeFocus = 0x1;
Verdict SelectVerdict(long flags, long id, long state, bool takesInput);

// The element at a point that lies in the control: the last part that
// holds it, or the control itself (0).
long ElementAt(std::span<const PixelRect> parts, int x, int y);

// Where navigation from an element leads among the parts (their
// rectangles, part 1 first): FIRSTCHILD and LASTCHILD from the control;
// NEXT, PREVIOUS and the four directions on the screen from a part; 0 when
// it leads out of them; nullopt for what the system's object answers (the
// control among its sibling windows, a control without parts).
inline constexpr long kNavUp = 1, kNavDown = 2, kNavLeft = 3, kNavRight = 4, kNavNext = 5, kNavPrevious = 6,
                      kNavFirstChild = 7, kNavLastChild = 8;
std::optional<long> NavigateParts(std::span<const PixelRect> parts, long from, long direction);

}  // namespace salvanto
