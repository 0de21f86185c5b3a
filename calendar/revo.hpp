// Gregorian to Republican: reading a Gregorian date text and converting it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "textio/ecriture.hpp"

namespace revo {

using calendar::par4;

// The checks on the layout of a Gregorian date text, in their order.
enum class Forme {
  valide,
  separateur1,  // position 3 is not "/"
  separateur2,  // position 6 is not "/"
  annee,        // year 0
};

struct Lecture {
  Forme forme;
  std::int32_t jour;   // set once the first separator is in place
  std::int32_t mois;   // likewise
  std::int32_t annee;  // set once the second separator is in place
};

// Reads DD/MM/YYYY at fixed positions (a position past the end of date holds
// no character) and makes the checks of Forme in their order.
Lecture lire(std::string_view date) noexcept;

namespace detail {

// Days of the Gregorian months, February of a common year.
inline constexpr std::array<std::int32_t, 12> longueurs = {31, 28, 31, 30, 31, 30,
                                                           31, 31, 30, 31, 30, 31};

// Where a Gregorian month falls in a Republican year that begins on
// 22 September: days up to `seuil` lie in month code `mois` at
// d + 30 - seuil, later days in the month after it at d - seuil.
struct Rang {
  std::int32_t seuil;
  std::int32_t mois;
};

// Indexed by Gregorian month - 1.
inline constexpr std::array<Rang, 12> rangs = {{
    {19, 4},   // January: 1 Jan = 12 NIVO, 20 Jan = 1 PLUV
    {18, 5},   // February: 1 Feb = 13 PLUV, 19 Feb = 1 VENT
    {20, 6},   // March: 1 Mar = 11 VENT, 21 Mar = 1 GERM
    {19, 7},   // April: 1 Apr = 12 GERM, 20 Apr = 1 FLOR
    {19, 8},   // May: 1 May = 12 FLOR, 20 May = 1 PRAI
    {18, 9},   // June: 1 Jun = 13 PRAI, 19 Jun = 1 MESS
    {18, 10},  // July: 1 Jul = 13 MESS, 19 Jul = 1 THER
    {17, 11},  // August: 1 Aug = 14 THER, 18 Aug = 1 FRUC
    {16, 12},  // September: 1 Sep = 15 FRUC, 17 Sep = 1 COMP (22 Sep: below)
    {21, 1},   // October: 1 Oct = 10 VEND, 22 Oct = 1 BRUM
    {20, 2},   // November: 1 Nov = 11 BRUM, 21 Nov = 1 FRIM
    {20, 3},   // December: 1 Dec = 11 FRIM, 21 Dec = 1 NIVO
}};

// The last complementary day of the year that ends before year Y + 1.
constexpr std::int32_t dernier_complementaire(std::int32_t Y) noexcept {
  return par4(Y + 1) ? 6 : 5;
}

}  // namespace detail

// The checks on the Gregorian date itself, in their order.
enum class Jour {
  valide,
  mois,             // month outside 1..12
  jour_bissextile,  // day outside 1..29 in February of a leap year
  jour,             // day outside its month in any other case
};

// Checks month and day, with February of 29 days when annee is divisible by
// 4 and is not 1800.
constexpr Jour verifier(std::int32_t jour, std::int32_t mois, std::int32_t annee) noexcept {
  if (mois < 1 || mois > 12) return Jour::mois;
  // Worked out rather than branched on: in a file of dates of every year,
  // which years are leap ones cannot be guessed.
  const bool fevrier_bissextile = (mois == 2) & par4(annee) & (annee != 1800);
  const std::int32_t dernier =
      detail::longueurs[static_cast<std::size_t>(mois - 1)] + (fevrier_bissextile ? 1 : 0);
  if (jour >= 1 && jour <= dernier) return Jour::valide;
  return fevrier_bissextile ? Jour::jour_bissextile : Jour::jour;
}

struct Rep {
  std::int32_t jour;   // [1, 30], [1, 6] for the complementary days
  std::int32_t mois;   // [1, 13]
  std::int32_t annee;  // y - 1793, y - 1792 or y - 1791
};

// The arithmetic both flavours share (d, m, y: Gregorian day, month, year).
// Preconditions: a date that verifier accepts, y in -999..9999 and not 0.
constexpr Rep calcul(std::int32_t d, std::int32_t m, std::int32_t y) noexcept {
  // 22 September begins the year, but for the years whose 23 September does.
  std::int32_t Y = y - 1792;  // [-2791, 8208]
  if (m >= 10 || (m == 9 && d >= 23) || (m == 9 && d == 22 && !par4(Y + 1))) ++Y;

  std::int32_t M = 0;  // [1, 13]
  std::int32_t D = 0;  // [1, 30]
  if (m == 9 && d >= 22) {
    M = 1;
    D = d - 21;
  } else if (m >= 1 && m <= 12) {
    const detail::Rang& r = detail::rangs[static_cast<std::size_t>(m - 1)];
    if (d <= r.seuil) {
      M = r.mois;
      D = d + 30 - r.seuil;
    } else {
      M = r.mois + 1;
      D = d - r.seuil;
    }
  }

  // A year of the Republic divisible by 4 began a day late, and 22 September
  // of the Gregorian years named above is still the sixth complementary day.
  if ((par4(Y) && (m <= 2 || m >= 10 || (m == 9 && d >= 22))) ||
      (M == 1 && D == 1 && par4(Y + 1) && par4(y + 1))) {
    --D;  // [0, 29]
    if (D == 0) {
      --M;
      D = 30;
      if (M == 0) {
        M = 13;
        D = detail::dernier_complementaire(Y);
      }
    }
  }

  // No 29 February 1800: every later date is a day further back.
  if (y > 1800 || (y == 1800 && m >= 3)) --D;  // [0, 29]

  if (D == 0) {
    --M;
    D = 30;
    if (M == 0) {
      --Y;
      M = 13;
      D = detail::dernier_complementaire(Y);
    }
  }
  return {D, M, Y};
}

// Batch flavour: puts the Republican date text into r, or, for a date in
// year 0 of the Republic, prints the message naming ligne and leaves r empty.
void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee, std::int64_t ligne) noexcept;

// Single-date flavour: prints nothing and always composes the Republican date
// text into r, for year 0 and negative years too.
void traduc(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee) noexcept;

}  // namespace revo
