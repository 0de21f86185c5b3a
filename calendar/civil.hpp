// Republican to Gregorian: reading a Republican date text and converting it.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "textio/ecriture.hpp"

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

struct Lecture {
  Defaut defaut;
  std::int32_t jour;   // set once the first separator is in place
  std::int32_t mois;   // month code, set once the day is in range
  std::int32_t annee;  // set once the month is known
};

// Reads DD/MMMM/YY at fixed positions (a position past the end of date
// holds no character) and makes the checks of Defaut in their order.
Lecture lire(std::string_view date) noexcept;

// Preconditions of both flavours, which lire establishes: d in 1..30 (1..6
// for month code 13), month code in 1..13, y in -9..99 and not 0, a sixth
// complementary day only in the years 3, 7 and 11.

// Batch flavour: puts the Gregorian date text into r, or prints the one
// message naming ligne and leaves r empty: a year of 0 or less, or a date
// past 31 December 1805.
void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee, std::int64_t ligne) noexcept;

// Single-date flavour: always composes the Gregorian date text into r, after
// a warning line for a date past 31 December 1805.
void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee) noexcept;

}  // namespace civil
