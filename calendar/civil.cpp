#include "calendar/civil.hpp"

#include <array>

#include "calendar/jours.hpp"
#include "nombres/nombres.hpp"

namespace civil {

namespace {

// 31 December 1805, the last day the batch flavour converts.
constexpr std::int32_t dernier_jour = calendar::jour_gregorien(1805, 12, 31);

// The Gregorian date text of day number n.
constexpr calendar::Resultat texte_gregorien(std::int32_t n) noexcept {
  const calendar::Date g = calendar::date_gregorienne(n);
  calendar::Resultat r{};
  calendar::composer(r, calendar::deux_chiffres(g.jour), calendar::deux_chiffres(g.mois),
                     calendar::en_decimal(g.annee));
  return r;
}

// Every text has the Gregorian layout, so no check of its fields is needed:
// a day and a month take two characters once padded, and the years -9..99
// of the Republic fall within 1782..1891, four digits each.
static_assert(calendar::date_gregorienne(calendar::jour_republicain(-9, 1, 1)).annee == 1782);
static_assert(calendar::date_gregorienne(calendar::jour_republicain(99, 13, 5)).annee == 1891);

// The batch results, worked out by the compiler: the date text of every day
// from 22 September 1792 to 31 December 1805, by day number.
constexpr auto resultats_lot = [] {
  std::array<calendar::Entree, dernier_jour + 1> t{};
  for (std::int32_t n = 0; n <= dernier_jour; ++n)
    t[static_cast<std::size_t>(n)].r = texte_gregorien(n);
  return t;
}();

}  // namespace

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
  const std::int32_t n = calendar::jour_republicain(annee, mois, jour);
  r = texte_gregorien(n);
  return n > dernier_jour ? calendar::Issue::apres : calendar::Issue::convertie;
}

calendar::Issue traduc_lot(calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
                           std::int32_t annee) noexcept {
  r[0] = '\0';
  if (annee <= 0) return calendar::Issue::avant;
  const std::int32_t n = calendar::jour_republicain(annee, mois, jour);  // [0, 36158]
  if (n > dernier_jour) return calendar::Issue::apres;
  r = resultats_lot[static_cast<std::size_t>(n)].r;
  return calendar::Issue::convertie;
}

}  // namespace civil
