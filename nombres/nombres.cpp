#include "nombres/nombres.hpp"

namespace nombres {

namespace {

constexpr bool blanc(char c) noexcept {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::int32_t entier_lent(std::string_view champ) noexcept {
  std::size_t i = 0;
  while (i < champ.size() && blanc(champ[i])) ++i;
  bool negatif = false;
  if (i < champ.size() && (champ[i] == '+' || champ[i] == '-')) negatif = champ[i++] == '-';
  std::int32_t v = 0;  // [0, 10^9): digits past nine are not taken
  for (; i < champ.size() && champ[i] >= '0' && champ[i] <= '9'; ++i)
    if (v < 100000000) v = v * 10 + (champ[i] - '0');
  return negatif ? -v : v;
}

}  // namespace nombres
