// Republican to Gregorian: reading a Republican date text and converting it.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "calendar/jours.hpp"

namespace civil {

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

// The fields read so far; each is 0 until its check is reached.
struct Lecture {
  Defaut defaut;
  std::int32_t jour;   // read once the first separator is in place
  std::int32_t mois;   // month code, read once the second separator is in place
  std::int32_t annee;  // read once the complementary day is known to exist
};

// Reads DD/MMMM/YY at fixed positions (a position past the end of date
// holds no character) and makes the checks of Defaut in their order.
Lecture lire(std::string_view date) noexcept;

// Preconditions of both flavours, which lire establishes: d in 1..30 (1..6
// for month code 13), month code in 1..13, y in -9..99 and not 0, a sixth
// complementary day only in the years 3, 7 and 11.

// Single-date flavour: always composes the Gregorian date text into r;
// Issue::apres for a date past 31 December 1805, whose text may be wrong.
calendar::Issue traduc(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
                       std::int32_t annee) noexcept;

// Batch flavour: puts the Gregorian date text into r, or leaves r empty for
// a year of 0 or less (Issue::avant: it takes a year 0 too) or a date past
// 31 December 1805 (Issue::apres).
calendar::Issue traduc_lot(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
                           std::int32_t annee) noexcept;

// 31 December 1805, the last day the batch flavour converts.
inline constexpr std::int32_t dernier_jour = calendar::jour_gregorien({31, 12, 1805});

// The batch flavour's table, by day number: for the fast path too.
extern const std::array<calendar::Fiche, dernier_jour + 1> fiches_lot;

}  // namespace civil
