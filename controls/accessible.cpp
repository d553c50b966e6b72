#include "controls/accessible.h"

#include "controls/parts.h"

namespace salvanto {

AccessibleElement DescribeButton(const std::wstring& caption, bool pressed) {
  return {kRolePushButton, caption, kStateFocusable | (pressed ? kStatePressed : 0), L"Press"};
}

AccessibleElement DescribeSpin(long element, const std::wstring& toolTip, const std::wstring& value,
                               const std::wstring& downName, const std::wstring& upName, int pushed) {
  if (element == 0) {
    AccessibleElement self{kRoleSpinButton, toolTip, kStateFocusable};
    self.value = value;
    return self;
  }
  return {kRolePushButton, element == 1 ? downName : upName, pushed == element ? kStatePressed : 0, L"Press"};
}

AccessibleElement DescribePanel(const std::wstring& caption, bool holdsControls) {
  if (holdsControls) return {kRoleGrouping, caption};
  return {kRoleStaticText, caption, kStateReadOnly};
}

AccessibleElement DescribeLabel(const std::wstring& caption) { return {kRoleStaticText, caption, kStateReadOnly}; }

AccessibleElement DescribeImage(const std::wstring& description) { return {kRoleGraphic, description, kStateReadOnly}; }

bool Interactive(const AccessibleElement& element) {
  return (element.state & kStateFocusable) || !element.action.empty();
}

std::optional<long> ElementOf(long childId, long parts) {
  if (childId < 0 || childId > parts) return std::nullopt;
  return childId;
}

long ElementState(const AccessibleElement& element, long id, bool visible, bool takesInput, bool focused) {
  long state = element.state;
  if (!visible) state |= kStateInvisible;
  if (Interactive(element) && !takesInput) state |= kStateUnavailable;
  if (id == 0 && (state & kStateFocusable) && focused) state |= kStateFocused;
  return state;
}

Verdict DefaultActionVerdict(const AccessibleElement& element, bool takesInput) {
  if (element.action.empty()) return Verdict::NotSupported;
  return takesInput ? Verdict::Done : Verdict::Refused;
}

Verdict SelectVerdict(long flags, long id, long state, bool takesInput) {
  if (flags != kSelectTakeFocus || id != 0 || !(state & kStateFocusable)) return Verdict::NotSupported;
  return takesInput ? Verdict::Done : Verdict::Refused;
}

long ElementAt(std::span<const PixelRect> parts, int x, int y) {
  long found = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].Contains(x, y)) found = static_cast<long>(i) + 1;
  }
  return found;
}

std::optional<long> NavigateParts(std::span<const PixelRect> parts, long from, long direction) {
  const long count = static_cast<long>(parts.size());
  long to = 0;
  if (from == 0) {
    if (count == 0 || (direction != kNavFirstChild && direction != kNavLastChild)) return std::nullopt;
    to = direction == kNavFirstChild ? 1 : count;
  } else if (direction == kNavNext || direction == kNavPrevious) {
    to = from + (direction == kNavNext ? 1 : -1);
  } else if (direction >= kNavUp && direction <= kNavRight) {
    constexpr Direction kOnScreen[] = {Direction::Up, Direction::Down, Direction::Left, Direction::Right};
    to = PartInDirection(parts, from, kOnScreen[direction - kNavUp]);
  }
  return to >= 1 && to <= count ? to : 0;
}

std::vector<PixelRect> PartRects(const AccessibleSource& source) {
  std::vector<PixelRect> parts;
  for (long part = 1; part <= source.PartCount(); ++part) parts.push_back(source.PartRect(part));
  return parts;
}

std::vector<long> InteractiveElements(const AccessibleSource& source) {
  std::vector<long> elements;
  for (long element = 0; element <= source.PartCount(); ++element) {
    if (Interactive(source.Describe(element))) elements.push_back(element);
  }
  return elements;
}

}  // namespace salvanto
