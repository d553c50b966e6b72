#include "controls/accessible.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace salvanto {
namespace {

TEST(Accessible, EachKindOfControlReadsAsItsRoleNameStateValueAndAction) {
  const std::wstring none;
  // (what a control describes, role, name, state, value, default action)
  const std::vector<std::tuple<AccessibleElement, long, std::wstring, long, std::wstring, std::wstring>> rows{
      {DescribeButton(L"Set", false), kRolePushButton, L"Set", kStateFocusable, none, L"Press"},
      {DescribeButton(L"Exit", true), kRolePushButton, L"Exit", kStateFocusable | kStatePressed, none, L"Press"},
      {DescribeSpin(0, L"Delay", L"5 Seconds", L"Less", L"More", 1), kRoleSpinButton, L"Delay", kStateFocusable,
       L"5 Seconds", none},
      {DescribeSpin(1, L"Delay", L"", L"Less", L"More", 1), kRolePushButton, L"Less", kStatePressed, none, L"Press"},
      {DescribeSpin(2, L"Delay", L"", L"Less", L"More", 1), kRolePushButton, L"More", 0, none, L"Press"},
      {DescribePanel(L"", true), kRoleGrouping, none, 0, none, none},
      {DescribePanel(L"1 Second", false), kRoleStaticText, L"1 Second", kStateReadOnly, none, none},
      {DescribeLabel(L"Select"), kRoleStaticText, L"Select", kStateReadOnly, none, none},
      {DescribeImage(L"A car"), kRoleGraphic, L"A car", kStateReadOnly, none, none},
  };
  for (const auto& [element, role, name, state, value, action] : rows) {
    EXPECT_EQ(std::tie(element.role, element.name, element.state, element.value, element.action),
              std::tie(role, name, state, value, action))
        << name;
  }
}

TEST(Accessible, StatesFollowTheWindowAndOnlyInteractiveElementsActOrTakeTheFocus) {
  const AccessibleElement button = DescribeButton(L"Set", false), label = DescribeLabel(L"x"),
                          arrow = DescribeSpin(1, L"", L"", L"Less", L"More", 0);
  // (element, id, visible, takes input, focused, state)
  const std::vector<std::tuple<AccessibleElement, long, bool, bool, bool, long>> rows{
      {button, 0, true, true, true, kStateFocusable | kStateFocused},
      {button, 0, false, false, false, kStateFocusable | kStateInvisible | kStateUnavailable},
      {label, 0, true, false, true, kStateReadOnly},
      {arrow, 1, true, false, true, kStateUnavailable},
  };
  for (const auto& [element, id, visible, input, focused, state] : rows) {
    EXPECT_EQ(ElementState(element, id, visible, input, focused), state) << element.name << " " << id;
  }
  EXPECT_EQ(DefaultActionVerdict(button, true), Verdict::Done);
  EXPECT_EQ(DefaultActionVerdict(button, false), Verdict::Refused);
  EXPECT_EQ(DefaultActionVerdict(label, true), Verdict::NotSupported);
  EXPECT_EQ(SelectVerdict(kSelectTakeFocus, 0, kStateFocusable, true), Verdict::Done);
  EXPECT_EQ(SelectVerdict(kSelectTakeFocus, 0, kStateFocusable, false), Verdict::Refused);
  EXPECT_EQ(SelectVerdict(kSelectTakeFocus, 0, kStateReadOnly, true), Verdict::NotSupported);
  EXPECT_EQ(SelectVerdict(kSelectTakeFocus, 1, kStateFocusable, true), Verdict::NotSupported);
  EXPECT_EQ(SelectVerdict(kSelectTakeFocus | 0x2, 0, kStateFocusable, true), Verdict::NotSupported);
}

TEST(Accessible, ElementsByIdPointAndNavigation) {
  EXPECT_EQ(ElementOf(0, 0), 0);
  EXPECT_EQ(ElementOf(2, 2), 2);
  EXPECT_EQ(ElementOf(3, 2), std::nullopt);
  EXPECT_EQ(ElementOf(-1, 2), std::nullopt);
  const PixelRect arrows[] = {{0, 0, 32, 17}, {32, 0, 65, 17}};
  for (auto [x, element] : {std::pair{0, 1L}, {31, 1L}, {32, 2L}, {64, 2L}, {65, 0L}}) {
    EXPECT_EQ(ElementAt(arrows, x, 8), element) << x;
  }
  // (parts, from, direction, where it leads; nullopt: the system's object answers); from 3: no such
  // part; diagonally: beyond, but not beside.
  const PixelRect stackedArrows[] = {{0, 0, 17, 10}, {0, 10, 17, 20}}, apart[] = {{0, 0, 10, 10}, {20, 20, 30, 30}};
  const std::span<const PixelRect> two = arrows, stacked = stackedArrows, diagonal = apart, none;
  using Row = std::tuple<std::span<const PixelRect>, long, long, std::optional<long>>;
  const Row rows[] = {
      {two, 0, kNavFirstChild, 1},      {two, 0, kNavLastChild, 2}, {none, 0, kNavFirstChild, std::nullopt},
      {two, 0, kNavNext, std::nullopt}, {two, 1, kNavNext, 2},      {two, 2, kNavNext, 0},
      {two, 2, kNavPrevious, 1},        {two, 1, kNavPrevious, 0},  {two, 1, kNavUp, 0},
      {two, 1, kNavRight, 2},           {two, 2, kNavLeft, 1},      {two, 2, kNavRight, 0},
  };
  const Row onScreen[] = {
      {two, 2, kNavDown, 0},   {two, 3, kNavLeft, 0},      {stacked, 1, kNavDown, 2},
      {stacked, 2, kNavUp, 1}, {stacked, 1, kNavRight, 0}, {diagonal, 1, kNavRight, 0},
  };
  for (const auto& table : {std::span<const Row>(rows), std::span<const Row>(onScreen)}) {
    for (const auto& [parts, from, direction, to] : table) {
      EXPECT_EQ(NavigateParts(parts, from, direction), to) << parts.size() << " " << from << " " << direction;
    }
  }
}

}  // namespace
}  // namespace salvanto
