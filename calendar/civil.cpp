#include "calendar/civil.hpp"

#include <array>

#include "textio/lecture.hpp"

namespace civil {

namespace {

// The texts of a Gregorian date; each is conforming at its layout's length
// (2, 2 and 4), which any date of the years -9..99 has.
struct Textes {
  calendar::Champ jour, mois, annee;
};

constexpr Textes textes(const Greg& g) noexcept {
  return {calendar::deux_chiffres(g.jour), calendar::deux_chiffres(g.mois),
          calendar::en_decimal(g.annee)};
}

constexpr void composer(calendar::Resultat& r, const Textes& t) noexcept {
  calendar::composer(r, t.jour, t.mois, t.annee);
}

constexpr textio::Format apres_la_fin =
    "date républicaine hors limite ligne %d, le résultat peut être erroné \n";

// The batch results of every date of the years 1 to 14, worked out here by
// the compiler from calcul and the same composing as at run time: the date
// text, or the empty text for a date past 31 December 1805.
constexpr std::size_t rang_lot(std::int32_t d, std::int32_t m, std::int32_t y) noexcept {
  const auto z = [](std::int32_t v) { return static_cast<std::size_t>(v); };
  return (z(y - 1) * 13 + z(m - 1)) * 30 + z(d - 1);
}

struct Lot {
  std::array<calendar::Entree, std::size_t{14} * 13 * 30> t{};
  bool gardes_tenues = true;  // no text guard failed, so the table needs none
};

constexpr Lot resultats_lot = [] {
  Lot l;
  for (std::int32_t y = 1; y <= 14; ++y)
    for (std::int32_t m = 1; m <= 13; ++m)
      for (std::int32_t d = 1; d <= (m == 13 ? 6 : 30); ++d) {
        const Greg g = calcul(d, m, y);
        if (g.annee > 1805) continue;
        const Textes x = textes(g);
        if (x.jour.n != 2 || x.mois.n != 2 || x.annee.n != 4) l.gardes_tenues = false;
        composer(l.t[rang_lot(d, m, y)].r, x);
      }
  return l;
}();
static_assert(resultats_lot.gardes_tenues, "a date text of the years 1 to 14 breaks its layout");

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

void traduc(textio::Sortie& out, calendar::Resultat& r, std::int32_t jour, std::int32_t mois,
            std::int32_t annee, std::int64_t ligne) noexcept {
  r[0] = '\0';
  if (annee <= 0) {
    textio::ecrire_format<"date républicaine hors limite ligne %d \n">(out, ligne);
    return;
  }
  // Days 7 to 30 of the complementary month have slots, empty ones: the
  // bounds keep the index in the table, the precondition does the rest.
  if (annee <= 14 && mois >= 1 && mois <= 13 && jour >= 1 && jour <= 30) {
    r = resultats_lot.t[rang_lot(jour, mois, annee)].r;
    if (r[0] == '\0') textio::ecrire_format<apres_la_fin>(out, ligne);
    return;
  }
  // Later years: the same steps at run time.
  const Greg g = calcul(jour, mois, annee);
  if (g.annee > 1805) return textio::ecrire_format<apres_la_fin>(out, ligne);
  const Textes t = textes(g);
  if (t.jour.n != 2) return textio::ecrire_format<"Jour non Conforme ligne %d\n">(out, ligne);
  if (t.mois.n != 2) return textio::ecrire_format<"Mois non Conforme ligne %d \n">(out, ligne);
  if (t.annee.n != 4) return textio::ecrire_format<"Annee non Conforme lgne %d\n">(out, ligne);
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
