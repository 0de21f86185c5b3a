// Gregorian to Republican: reading a Gregorian date text and converting it.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "textio/textio.hpp"

namespace revo {

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

// The checks on the Gregorian date itself, in their order.
enum class Jour {
  valide,
  mois,             // month outside 1..12
  jour_bissextile,  // day outside 1..29 in February of a leap year
  jour,             // day outside its month in any other case
};

// Checks month and day, with February of 29 days when annee is divisible by
// 4 and is not 1800.
Jour verifier(std::int32_t jour, std::int32_t mois, std::int32_t annee) noexcept;

struct Rep {
  std::int32_t jour;   // [1, 30], [1, 6] for the complementary days
  std::int32_t mois;   // [1, 13]
  std::int32_t annee;  // y - 1793, y - 1792 or y - 1791
};

// The arithmetic both flavours share.
// Preconditions: a date that verifier accepts, annee in -999..9999, not 0.
Rep calcul(std::int32_t jour, std::int32_t mois, std::int32_t annee) noexcept;

// Batch flavour: puts the Republican date text into r, or, for a date in
// year 0 of the Republic, prints the message naming ligne and leaves r empty.
void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee, std::int64_t ligne) noexcept;

// Single-date flavour: prints nothing and always composes the Republican date
// text into r, for year 0 and negative years too.
void traduc(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee) noexcept;

}  // namespace revo
