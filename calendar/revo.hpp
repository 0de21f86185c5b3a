// Gregorian to Republican: reading a Gregorian date text and converting it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "calendar/jours.hpp"

namespace revo {

// The checks on the layout of a Gregorian date text, in their order.
enum class Forme {
  valide,
  separateur1,  // position 3 is not "/"
  separateur2,  // position 6 is not "/"
  annee,        // year 0
};

// The fields read so far; each is 0 until its check is reached.
struct Lecture {
  Forme forme;
  std::int32_t jour;   // read once the first separator is in place
  std::int32_t mois;   // likewise
  std::int32_t annee;  // read once the second separator is in place
};

// Reads DD/MM/YYYY at fixed positions (a position past the end of date holds
// no character) and makes the checks of Forme in their order.
Lecture lire(std::string_view date) noexcept;

namespace detail {

// Days of the Gregorian months, February of a common year.
inline constexpr std::array<std::int32_t, 12> longueurs = {31, 28, 31, 30, 31, 30,
                                                           31, 31, 30, 31, 30, 31};

}  // namespace detail

// The checks on the Gregorian date itself, in their order.
enum class Jour {
  valide,
  mois,             // month outside 1..12
  jour_bissextile,  // day outside 1..29 in February of a leap year
  jour,             // day outside its month in any other case
};

// The leap-year rules: the converters' (every year divisible by 4 is a leap
// year but 1800) and the full Gregorian one (yearscan's: 1900 is not a leap
// year, 2000 is).
enum class Regle { calendrier, gregorienne };

// Whether annee is a leap year under regle. Without a branch, since the
// years of a file's faulty dates fall at random: measured against && and
// ||, on files with 30% faulty lines, yearscan 3% faster (hyperfine, 10M
// lines, two measurements), with 14% fewer branches guessed wrong
// (cachegrind, 1M lines); batchrevo's code is the same. A multiple of 100
// is one of 400 when it is one of 16.
constexpr bool bissextile(std::int32_t annee, Regle regle) noexcept {
  if (regle == Regle::calendrier) return calendar::par4(annee) & (annee != 1800);
  return calendar::par4(annee) & ((annee % 100 != 0) | ((annee & 15) == 0));
}

// Checks month and day of g, with February of 29 days in the leap years of
// regle.
constexpr Jour verifier(const calendar::Date& g, Regle regle = Regle::calendrier) noexcept {
  if (g.mois < 1 || g.mois > 12) return Jour::mois;
  const bool fevrier_bissextile = g.mois == 2 && bissextile(g.annee, regle);
  const std::int32_t dernier =
      detail::longueurs[static_cast<std::size_t>(g.mois - 1)] + (fevrier_bissextile ? 1 : 0);
  if (g.jour >= 1 && g.jour <= dernier) return Jour::valide;
  return fevrier_bissextile ? Jour::jour_bissextile : Jour::jour;
}

// Preconditions of both flavours: a date that verifier accepts (the
// converters' rule), of a year in -999..9999 and not 0.

// Single-date flavour: always composes the Republican date text into r,
// also when the year of the Republic is 0 or negative.
void traduc(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee) noexcept;

// Batch flavour: puts the Republican date text into r, or leaves r empty
// for a date before 1 Vendémiaire of year 1 (Issue::avant) or after 1805
// (Issue::apres).
calendar::Issue traduc_lot(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
                           std::int32_t annee) noexcept;

// A slot for each day of the years 1792..1805, 31 to a month: cheaper to
// find than the day number, with which batchrevo took 10% more instructions
// on valid dates (158.8M against 144.4M for 1M lines, callgrind). Any
// fields whose slot fits 32 bits give one, and those of other years a slot
// past the table (the fast path's wrong fields too).
constexpr std::size_t rang_lot(std::int32_t d, std::int32_t m, std::int32_t y) noexcept {
  return static_cast<std::uint32_t>(((y - 1792) * 12 + m - 1) * 31 + d - 1);
}

// The batch flavour's table, by slot: for the fast path too.
extern const std::array<calendar::Fiche, rang_lot(31, 12, 1805) + 1> fiches_lot;

}  // namespace revo
