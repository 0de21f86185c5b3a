// The vocabulary every converter shares: Republican month codes and their
// abbreviations, and the text of a date.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace calendar {

// A composed date text and its end-of-text mark; empty when a conversion
// refused the date.
using Resultat = std::array<char, 15>;

// The text held in a buffer, up to its end-of-text mark.
template <std::size_t N>
constexpr std::string_view texte(const std::array<char, N>& r) noexcept {
  std::size_t n = 0;
  while (n < N && r[n] != '\0') ++n;
  return {r.data(), n};
}

// Divisibility by 4 on the two lowest bits, so -4 and 0 are divisible, -1 not.
constexpr bool par4(std::int32_t v) noexcept {
  return (v & 3) == 0;
}

// Month code of an abbreviation: 1 (VEND) to 13 (COMP) for an exact,
// case-sensitive match of the whole text, 0 for anything else.
std::int32_t moisrtoi(std::string_view mois) noexcept;

// Writes the abbreviation of code (1 to 13) and its end-of-text mark into
// mois; leaves mois as it was for any other code.
void moisrtos(std::array<char, 5>& mois, std::int32_t code) noexcept;

// A number as text, at most 11 characters.
struct Champ {
  std::array<char, 12> c;
  std::size_t n;
  std::string_view vue() const noexcept { return {c.data(), n}; }
};

// v in plain decimal, as "%d" writes it.
Champ en_decimal(std::int32_t v) noexcept;

// The two-digit field: v in plain decimal, with one "0" in front when that
// takes a single character; any other text is left as it is.
Champ deux_chiffres(std::int32_t v) noexcept;

// Puts jour "/" mois "/" annee into r, cut to the 14 characters r can hold.
void composer(Resultat& r, std::string_view jour, std::string_view mois,
              std::string_view annee) noexcept;

}  // namespace calendar
