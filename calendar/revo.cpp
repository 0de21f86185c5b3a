#include "calendar/revo.hpp"

#include <array>

#include "textio/lecture.hpp"

namespace revo {

Lecture lire(std::string_view date) noexcept {
  using textio::champ, textio::entier, textio::separateur;
  Lecture l{Forme::valide, 0, 0, 0};
  if (!separateur(date, 2)) return l.forme = Forme::separateur1, l;
  l.jour = entier(champ(date, 0, 2));
  l.mois = entier(champ(date, 3, 2));
  if (!separateur(date, 5)) return l.forme = Forme::separateur2, l;
  l.annee = entier(champ(date, 6, 4));
  if (l.annee == 0) return l.forme = Forme::annee, l;
  return l;
}

namespace {

constexpr void composer(calendar::Resultat& r, const Rep& rep) noexcept {
  std::array<char, 5> mois{};
  calendar::moisrtos(mois, rep.mois);
  calendar::Champ m;
  for (; m.n < 4 && mois[m.n] != '\0'; ++m.n) m.c[m.n] = mois[m.n];
  calendar::composer(r, calendar::deux_chiffres(rep.jour), m, calendar::deux_chiffres(rep.annee));
}

// The batch results of every day of the years 1792 to 1805, worked out here
// by the compiler from calcul and the same composing as at run time: the
// date text, or the empty text for a date in year 0 of the Republic.
constexpr std::size_t rang_lot(std::int32_t d, std::int32_t m, std::int32_t y) noexcept {
  const auto z = [](std::int32_t v) { return static_cast<std::size_t>(v); };
  return (z(y - 1792) * 12 + z(m - 1)) * 31 + z(d - 1);
}

constexpr auto resultats_lot = [] {
  std::array<calendar::Entree, std::size_t{14} * 12 * 31> t{};
  for (std::int32_t y = 1792; y <= 1805; ++y)
    for (std::int32_t m = 1; m <= 12; ++m)
      for (std::int32_t d = 1; d <= 31; ++d) {
        if (verifier(d, m, y) != Jour::valide) continue;
        const Rep rep = calcul(d, m, y);
        if (rep.annee != 0) composer(t[rang_lot(d, m, y)].r, rep);
      }
  return t;
}();

}  // namespace

void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee, std::int64_t ligne) noexcept {
  constexpr textio::Format an_zero = "date républicaine hors limite ligne%d\n";
  if (annee >= 1792 && annee <= 1805 && mois >= 1 && mois <= 12 && jour >= 1 && jour <= 31) {
    r = resultats_lot[rang_lot(jour, mois, annee)].r;
    if (r[0] == '\0') textio::ecrire_format<an_zero>(out, ligne);
    return;
  }
  // Other years: the same steps at run time.
  const Rep rep = calcul(jour, mois, annee);
  if (rep.annee == 0) {
    r[0] = '\0';
    return textio::ecrire_format<an_zero>(out, ligne);
  }
  composer(r, rep);
}

void traduc(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee) noexcept {
  composer(r, calcul(jour, mois, annee));
}

}  // namespace revo
