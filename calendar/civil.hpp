// Republican to Gregorian: reading a Republican date text and converting it.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "calendar/date.hpp"
#include "textio/ecriture.hpp"

namespace civil {

using calendar::par4;

// The checks on a Republican date text, in the order they are made; the
// first that fails is the one reported.
enum class Defaut {
  aucun,
  separateur1,     // position 3 is not "/"
  jour,            // day outside 1..30
  separateur2,     // position 8 is not "/"
  mois,            // abbreviation not in the table
  complementaire,  // complementary day 7 or later
  annee,           // year 0
  sextile,         // sixth complementary day outside the years 3, 7 and 11
};

struct Lecture {
  Defaut defaut;
  std::int32_t jour;   // set once the first separator is in place
  std::int32_t mois;   // month code, set once the day is in range
  std::int32_t annee;  // set once the month is known
};

// Reads DD/MMMM/YY at fixed positions (a position past the end of date
// holds no character) and makes the checks of Defaut in their order.
Lecture lire(std::string_view date) noexcept;

struct Greg {
  std::int32_t jour;   // [1, 31]
  std::int32_t mois;   // [1, 12]
  std::int32_t annee;  // y + 1791 or y + 1792, + 1 when 11 NIVO overflows
};

namespace detail {

// Where a Republican month falls in a year that begins on 22 September:
// days up to `seuil` lie in Gregorian month `mois` at d + ajout, later days
// in the month after it at d - retrait.
struct Rang {
  std::int32_t seuil;
  std::int32_t mois;
  std::int32_t ajout;
  std::int32_t retrait;
};

// Indexed by month code - 1; the complementary days are handled apart.
inline constexpr std::array<Rang, 12> rangs = {{
    {9, 9, 21, 9},     // VEND: 1 VEND = 22 Sep, 10 VEND = 1 Oct
    {10, 10, 21, 10},  // BRUM: 1 BRUM = 22 Oct, 11 BRUM = 1 Nov
    {10, 11, 20, 10},  // FRIM: 1 FRIM = 21 Nov, 11 FRIM = 1 Dec
    {10, 12, 20, 11},  // NIVO: 1 NIVO = 21 Dec, 12 NIVO = 1 Jan (11: below)
    {12, 1, 19, 12},   // PLUV: 1 PLUV = 20 Jan, 13 PLUV = 1 Feb
    {10, 2, 18, 10},   // VENT: 1 VENT = 19 Feb, 11 VENT = 1 Mar
    {11, 3, 20, 11},   // GERM: 1 GERM = 21 Mar, 12 GERM = 1 Apr
    {11, 4, 19, 11},   // FLOR: 1 FLOR = 20 Apr, 12 FLOR = 1 May
    {12, 5, 19, 12},   // PRAI: 1 PRAI = 20 May, 13 PRAI = 1 Jun
    {12, 6, 18, 12},   // MESS: 1 MESS = 19 Jun, 13 MESS = 1 Jul
    {13, 7, 18, 13},   // THER: 1 THER = 19 Jul, 14 THER = 1 Aug
    {14, 8, 17, 14},   // FRUC: 1 FRUC = 18 Aug, 15 FRUC = 1 Sep
}};

constexpr bool dans(std::int32_t m, std::initializer_list<std::int32_t> ms) noexcept {
  for (const std::int32_t x : ms)
    if (m == x) return true;
  return false;
}

}  // namespace detail

// The arithmetic both flavours share (d, m, y: Republican day, month code,
// year). Preconditions: d in 1..30 (1..6 for m 13), m in 1..13, y in -9..99
// and not 0, a sixth complementary day only in the years 3, 7 and 11.
constexpr Greg calcul(std::int32_t d, std::int32_t m, std::int32_t y) noexcept {
  // Dates before 1 January belong to the Gregorian year the Republican one
  // began in; 11 NIVO is 31 December unless y is divisible by 4.
  std::int32_t G = y + 1792;  // [1783, 1891]
  if (m < 4 || (m == 4 && d <= 10) || (m == 4 && d == 11 && !par4(y))) G = y + 1791;

  std::int32_t M = 9;       // [1, 12]
  std::int32_t D = d + 16;  // [0, 31]: 0 only for 11 NIVO when y is divisible by 4
  if (m >= 1 && m <= 12) {
    const detail::Rang& r = detail::rangs[static_cast<std::size_t>(m - 1)];
    const std::int32_t seuil = m == 4 && !par4(y) ? 11 : r.seuil;
    if (d <= seuil) {
      M = r.mois;
      D = d + r.ajout;
    } else {
      M = r.mois % 12 + 1;
      D = d - r.retrait;
    }
  }
  const std::int32_t M0 = M;

  // The year after a sextile year begins a day later, up to 10 VENT.
  if (par4(y) && (m <= 5 || (m == 6 && d <= 10))) {
    ++D;  // [1, 32]
    if (detail::dans(M, {9, 11}) && D == 31) {
      ++M;
      D = 1;
    } else if (detail::dans(M, {10, 1}) && D == 32) {
      ++M;
      D = 1;
    }
  }

  // No 29 February 1800: every later date is a day further on.
  if (G > 1800 || (G == 1800 && M0 > 2)) ++D;  // [1, 32]

  if (D == 32 && detail::dans(M, {1, 3, 5, 7, 8, 10})) {
    ++M;
    D = 1;
  } else if (D == 32) {  // 32 December
    ++G;
    M = 1;
    D = 1;
  } else if (D == 31 && detail::dans(M, {4, 6, 9, 11})) {
    ++M;
    D = 1;
  } else if (M == 2 && D == 29 && (!par4(G) || G == 1800)) {
    M = 3;
    D = 1;
  } else if (M == 2 && D == 30 && par4(G) && G != 1800) {
    M = 3;
    D = 1;
  }
  return {D, M, G};
}

// Batch flavour: puts the Gregorian date text into r, or prints the one
// message naming ligne and leaves r empty. Preconditions as for calcul, but
// a year of 0 or less is refused here.
void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee, std::int64_t ligne) noexcept;

// Single-date flavour: prints its warnings as lines and always composes
// the Gregorian date text into r. Preconditions as for calcul.
void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee) noexcept;

}  // namespace civil
