#include "calendar/civil.hpp"

#include <array>

#include "calendar/textes.hpp"
#include "nombres/nombres.hpp"

namespace civil {

// Every text has the Gregorian layout, so no check of its fields is needed:
// a day and a month take two characters once padded, and the years -9..99
// of the Republic fall within 1782..1891, four digits each.
static_assert(calendar::date_gregorienne(calendar::jour_republicain({1, 1, -9})).annee == 1782);
static_assert(calendar::date_gregorienne(calendar::jour_republicain({5, 13, 99})).annee == 1891);

// Worked out by the compiler: the date text of every day from 22 September
// 1792 to 31 December 1805, by day number, beside its Republican text.
constexpr std::array<calendar::Fiche, dernier_jour + 1> fiches_lot = [] {
  std::array<calendar::Fiche, dernier_jour + 1> t{};
  for (std::int32_t n = 0; n <= dernier_jour; ++n)
    t[static_cast<std::size_t>(n)] =
        calendar::fiche<calendar::texte_republicain, calendar::texte_gregorien>(n);
  return t;
}();

Lecture lire(std::string_view date) noexcept {
  using nombres::champ, nombres::entier, nombres::separateur;
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

calendar::Issue traduc(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
                       std::int32_t annee) noexcept {
  const std::int32_t n = calendar::jour_republicain({jour, mois, annee});
  r = calendar::texte_gregorien(n);
  return n > dernier_jour ? calendar::Issue::apres : calendar::Issue::convertie;
}

calendar::Issue traduc_lot(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
                           std::int32_t annee) noexcept {
  r[0] = '\0';
  if (annee <= 0) return calendar::Issue::avant;
  const std::int32_t n = calendar::jour_republicain({jour, mois, annee});  // [0, 36158]
  if (n > dernier_jour) return calendar::Issue::apres;
  r = fiches_lot[static_cast<std::size_t>(n)].r;
  return calendar::Issue::convertie;
}

}  // namespace civil
