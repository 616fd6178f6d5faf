#pragma once
// Integer maximum and minimum; on a tie both give the second argument.

#include <cstdint>

namespace MaxMin {

[[nodiscard]] constexpr std::int32_t Max(std::int32_t a, std::int32_t b) {
  return a > b ? a : b;
}
[[nodiscard]] constexpr std::int32_t Min(std::int32_t a, std::int32_t b) {
  return a < b ? a : b;
}

}  // namespace MaxMin
