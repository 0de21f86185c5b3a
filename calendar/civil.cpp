#include "calendar/civil.hpp"

#include <array>

namespace civil {

using calendar::par4;

namespace {

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
constexpr std::array<Rang, 12> rangs = {{
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

constexpr bool dans(std::int32_t m, std::initializer_list<std::int32_t> ms) {
  for (const std::int32_t x : ms)
    if (m == x) return true;
  return false;
}

// The texts of a Gregorian date; each is conforming at its layout's length
// (2, 2 and 4), which any date of the years -9..99 has.
struct Textes {
  calendar::Champ jour, mois, annee;
};

Textes textes(const Greg& g) noexcept {
  return {calendar::deux_chiffres(g.jour), calendar::deux_chiffres(g.mois),
          calendar::en_decimal(g.annee)};
}

void composer(calendar::Resultat& r, const Textes& t) noexcept {
  calendar::composer(r, t.jour.vue(), t.mois.vue(), t.annee.vue());
}

}  // namespace

Lecture lire(std::string_view date) noexcept {
  using textio::champ, textio::entier, textio::separateur;
  Lecture l{Defaut::aucun, 0, 0, 0};
  if (!separateur(date, 2)) return l.defaut = Defaut::separateur1, l;
  l.jour = entier(champ(date, 0, 2));
  if (l.jour < 1 || l.jour > 30) return l.defaut = Defaut::jour, l;
  if (!separateur(date, 7)) return l.defaut = Defaut::separateur2, l;
  l.mois = calendar::moisrtoi(champ(date, 3, 4));
  if (l.mois == 0) return l.defaut = Defaut::mois, l;
  if (l.mois == 13 && l.jour > 6) return l.defaut = Defaut::complementaire, l;
  l.annee = entier(champ(date, 8, 2));
  if (l.annee == 0) return l.defaut = Defaut::annee, l;
  if (l.mois == 13 && l.jour == 6 && l.annee != 3 && l.annee != 7 && l.annee != 11)
    return l.defaut = Defaut::sextile, l;
  return l;
}

Greg calcul(std::int32_t d, std::int32_t m, std::int32_t y) noexcept {
  // Dates before 1 January belong to the Gregorian year the Republican one
  // began in; 11 NIVO is 31 December unless y is divisible by 4.
  std::int32_t G = y + 1792;  // [1783, 1891]
  if (m < 4 || (m == 4 && d <= 10) || (m == 4 && d == 11 && !par4(y))) G = y + 1791;

  std::int32_t M = 9;       // [1, 12]
  std::int32_t D = d + 16;  // [0, 31]: 0 only for 11 NIVO when y is divisible by 4
  if (m >= 1 && m <= 12) {
    const Rang& r = rangs[static_cast<std::size_t>(m - 1)];
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
    if (dans(M, {9, 11}) && D == 31) {
      ++M;
      D = 1;
    } else if (dans(M, {10, 1}) && D == 32) {
      ++M;
      D = 1;
    }
  }

  // No 29 February 1800: every later date is a day further on.
  if (G > 1800 || (G == 1800 && M0 > 2)) ++D;  // [1, 32]

  if (D == 32 && dans(M, {1, 3, 5, 7, 8, 10})) {
    ++M;
    D = 1;
  } else if (D == 32) {  // 32 December
    ++G;
    M = 1;
    D = 1;
  } else if (D == 31 && dans(M, {4, 6, 9, 11})) {
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

void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee, std::int64_t ligne) noexcept {
  r[0] = '\0';
  if (annee <= 0) {
    textio::ecrire_format(out, "date républicaine hors limite ligne %d \n", ligne);
    return;
  }
  const Greg g = calcul(jour, mois, annee);
  if (g.annee > 1805) {
    textio::ecrire_format(
        out, "date républicaine hors limite ligne %d, le résultat peut être erroné \n", ligne);
    return;
  }
  const Textes t = textes(g);
  if (t.jour.n != 2) return textio::ecrire_format(out, "Jour non Conforme ligne %d\n", ligne);
  if (t.mois.n != 2) return textio::ecrire_format(out, "Mois non Conforme ligne %d \n", ligne);
  if (t.annee.n != 4) return textio::ecrire_format(out, "Annee non Conforme lgne %d\n", ligne);
  composer(r, t);
}

void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee) noexcept {
  const Greg g = calcul(jour, mois, annee);
  if (g.annee > 1805)
    textio::ecrire_ligne(out, "date républicaine hors limite, le résultat peut être erroné");
  const Textes t = textes(g);
  if (t.jour.n != 2) textio::ecrire_ligne(out, "Jour non Conforme");
  if (t.mois.n != 2) textio::ecrire_ligne(out, "Mois non Conforme");
  if (t.annee.n != 4) textio::ecrire_ligne(out, "Annee non Conforme");
  composer(r, t);
}

}  // namespace civil
