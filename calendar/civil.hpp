// Republican to Gregorian: reading a Republican date text and converting it.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "textio/textio.hpp"

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

struct Greg {
  std::int32_t jour;   // [1, 31]
  std::int32_t mois;   // [1, 12]
  std::int32_t annee;  // y + 1791 or y + 1792, + 1 when 11 NIVO overflows
};

// The arithmetic both flavours share.
// Preconditions: jour in 1..30 (1..6 for mois 13), mois in 1..13,
// annee in -9..99 and not 0, a sixth complementary day only in 3, 7 and 11.
Greg calcul(std::int32_t jour, std::int32_t mois, std::int32_t annee) noexcept;

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
