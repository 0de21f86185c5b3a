#include "calendar/revo.hpp"

#include <array>

#include "calendar/textes.hpp"
#include "nombres/nombres.hpp"

namespace revo {

Lecture lire(std::string_view date) noexcept {
  using nombres::champ, nombres::entier, nombres::separateur;
  Lecture l{Forme::valide, 0, 0, 0};
  if (!separateur(date, 2)) return l.forme = Forme::separateur1, l;
  l.jour = entier(champ(date, 0, 2));
  l.mois = entier(champ(date, 3, 2));
  if (!separateur(date, 5)) return l.forme = Forme::separateur2, l;
  l.annee = entier(champ(date, 6, 4));
  if (l.annee == 0) return l.forme = Forme::annee, l;
  return l;
}

// Worked out by the compiler: the date text of every day of the years 1792
// to 1805 beside its Gregorian text, or nothing for a date in year 0 of the
// Republic (whose line then gets its message); the slots of days no month
// has stay empty too.
constexpr std::array<calendar::Fiche, rang_lot(31, 12, 1805) + 1> fiches_lot = [] {
  std::array<calendar::Fiche, rang_lot(31, 12, 1805) + 1> t{};
  for (std::int32_t y = 1792; y <= 1805; ++y)
    for (std::int32_t m = 1; m <= 12; ++m)
      for (std::int32_t d = 1; d <= 31; ++d) {
        const std::int32_t n = calendar::jour_gregorien({d, m, y});
        if (verifier({d, m, y}) == Jour::valide && n >= 0)
          t[rang_lot(d, m, y)] =
              calendar::fiche<calendar::texte_gregorien, calendar::texte_republicain>(n);
      }
  return t;
}();

void traduc(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee) noexcept {
  r = calendar::texte_republicain(calendar::jour_gregorien({jour, mois, annee}));
}

calendar::Issue traduc_lot(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
                           std::int32_t annee) noexcept {
  const std::size_t i = rang_lot(jour, mois, annee);  // past the table for other years
  r = i < fiches_lot.size() ? fiches_lot[i].r : calendar::Resultat{};
  if (r[0] != '\0') return calendar::Issue::convertie;
  return annee > 1805 ? calendar::Issue::apres : calendar::Issue::avant;
}

}  // namespace revo
