// The date texts of a day number in both layouts, and the batch tables' rows
// made of them.
#pragma once

#include <array>
#include <cstdint>

#include "calendar/date.hpp"
#include "calendar/jours.hpp"

namespace calendar {

// The Gregorian date text of day number n.
constexpr Resultat texte_gregorien(std::int32_t n) noexcept {
  const Date g = date_gregorienne(n);
  Resultat r{};
  composer(r, deux_chiffres(g.jour), deux_chiffres(g.mois), en_decimal(g.annee));
  return r;
}

// The Republican date text of day number n. Day numbers give month codes
// 1..13 alone, so moisrtos always writes four letters.
constexpr Resultat texte_republicain(std::int32_t n) noexcept {
  const Date rep = date_republicaine(n);
  std::array<char, 5> mois{};
  moisrtos(mois, rep.mois);
  const Champ m{{mois[0], mois[1], mois[2], mois[3]}, 4};
  Resultat r{};
  composer(r, deux_chiffres(rep.jour), m, deux_chiffres(rep.annee));
  return r;
}

// The row of a batch table for day number n: its text in the layout the
// program reads (lu), beside its text in the layout it writes (rendu).
template <Resultat (*lu)(std::int32_t), Resultat (*rendu)(std::int32_t)>
constexpr Fiche fiche(std::int32_t n) noexcept {
  const Resultat ligne = lu(n);
  Fiche f{};
  for (std::size_t i = 0; i < 10; ++i) f.ligne[i] = ligne[i];
  f.ligne[10] = '\n';
  f.r = rendu(n);
  return f;
}

}  // namespace calendar
