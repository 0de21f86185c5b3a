// Numbers in text, for the calendar core and the messages: fixed-position
// fields read as atoi reads them, and numbers written in plain decimal as
// "%d" writes them. Nothing here reads or writes a file, and nothing needs
// linking: all of it is in this header.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nombres {

// Reads a number as atoi does: leading white space, an optional sign, then
// digits up to the first other character; 0 when there is no digit.
// Precondition: champ holds at most four characters (every field does), so
// the value stays below 10^4 and cannot overflow.
constexpr std::int32_t entier(std::string_view champ) noexcept {
  const auto blanc = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  std::size_t i = 0;
  while (i < champ.size() && blanc(champ[i])) ++i;
  bool negatif = false;
  if (i < champ.size() && (champ[i] == '+' || champ[i] == '-')) negatif = champ[i++] == '-';
  std::int32_t v = 0;  // [0, 10^4)
  for (; i < champ.size() && champ[i] >= '0' && champ[i] <= '9'; ++i) v = v * 10 + (champ[i] - '0');
  return negatif ? -v : v;
}
// The n characters of texte from position pos, cut short where texte ends:
// a position beyond the end holds no character.
constexpr std::string_view champ(std::string_view texte, std::size_t pos, std::size_t n) noexcept {
  return pos >= texte.size()
             ? std::string_view{}
             : std::string_view{texte.data() + pos, std::min(n, texte.size() - pos)};
}

// Whether texte holds a "/" at position pos (the end of the text never does).
constexpr bool separateur(std::string_view texte, std::size_t pos) noexcept {
  return pos < texte.size() && texte[pos] == '/';
}

// The four decimal digits of each number below 10^4, the first in the
// lowest byte, each as its value.
inline constexpr auto quatre_chiffres = [] {
  std::array<std::uint32_t, 10000> t{};
  for (std::uint32_t i = 0; i < t.size(); ++i)
    t[i] = i / 1000 | (i / 100 % 10) << 8 | (i / 10 % 10) << 16 | (i % 10) << 24;
  return t;
}();

// Writes v in plain decimal, as "%d" does, into p (room for 20 characters);
// returns the number of characters written. Up to eight digits (a line
// number, a year) at once: the digits of their two halves looked up, stored
// whole as one word, less the zeros that lead them. Measured against one
// digit a step, on files with 30% faulty lines (their messages carry line
// numbers): 19% to 32% more instructions without it (callgrind, 1M lines),
// yearscan 15%, batchcivil 5% and batchrevo 4% slower (hyperfine, 10M
// lines). Line numbers go up a few at a time, so the rows in use stay in
// the cache.
constexpr std::size_t decimal(char* p, std::int64_t v) noexcept {
  if (v < 0 || v >= 100000000) {
    // One digit a step, from the last, of the magnitude as unsigned, so
    // that the most negative value has one too.
    std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::array<char, 21> t{};  // room for any 64-bit magnitude and a sign
    std::size_t k = t.size();  // the text is t[k, 21)
    for (; u > 0; u /= 10) t[--k] = static_cast<char>('0' + u % 10);
    if (v < 0) t[--k] = '-';
    for (std::size_t i = k; i < t.size(); ++i) p[i - k] = t[i];
    return t.size() - k;
  }
  const auto u = static_cast<std::size_t>(v);
  const std::uint64_t w = quatre_chiffres[u / 10000] | std::uint64_t{quatre_chiffres[u % 10000]}
                                                           << 32;
  // The zero bytes at the low end of w lead; 0 keeps its one digit.
  const std::size_t z = std::min(static_cast<std::size_t>(std::countr_zero(w)) / 8, std::size_t{7});
  const std::uint64_t c = (w | 0x3030303030303030) >> (8 * z);
  for (std::size_t i = 0; i < 8; ++i) p[i] = static_cast<char>(c >> (8 * i) & 0xFF);
  return 8 - z;
}

}  // namespace nombres
