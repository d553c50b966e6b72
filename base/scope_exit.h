#pragma once
// Runs a piece of code when a scope is left, however it is left.
#include <utility>

namespace salvanto {

template <typename F>
class scope_exit {
public:
  explicit scope_exit(F&& onExit) : onExit_(std::forward<F>(onExit)) {}
  scope_exit(const scope_exit&) = delete;
  scope_exit& operator=(const scope_exit&) = delete;
  ~scope_exit() { onExit_(); }

private:
  F onExit_;
};

template <typename F>
scope_exit(F&&) -> scope_exit<F>;

}  // namespace salvanto
