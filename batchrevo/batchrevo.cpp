#include "batchrevo/batchrevo.hpp"

#include "batch/lot.hpp"
#include "calendar/revo.hpp"

namespace {

// One line of Gregorian date: the checks in their order, then the conversion.
void convertir(textio::Sortie& out, std::string_view lu, std::int64_t ligne,
               calendar::Resultat& r) {
  const revo::Lecture l = revo::lire(lu);
  switch (l.forme) {
    case revo::Forme::separateur1:
    case revo::Forme::separateur2:
      return textio::ecrire_format<"erreur de format ligne %d\n">(out, ligne);
    case revo::Forme::annee:
      return textio::ecrire_format<"annee mal ecrite ligne %d\n">(out, ligne);
    case revo::Forme::valide: break;
  }
  if (l.annee < 1792 || l.annee > 1805)
    return textio::ecrire_format<"date républicaine hors limite ligne %d\n">(out, ligne);
  switch (revo::verifier(l.jour, l.mois, l.annee)) {
    case revo::Jour::mois: return textio::ecrire_ligne(out, "mois hors limites ");
    case revo::Jour::jour_bissextile:
    case revo::Jour::jour: return textio::ecrire_format<"Jour hors limites ligne %d\n">(out, ligne);
    case revo::Jour::valide: break;
  }
  revo::traduc(out, r, l.jour, l.mois, l.annee, ligne);
}

}  // namespace

int batchrevo(const char* chemin, textio::Sortie& out) {
  return lot::traiter<convertir>(chemin, ".rep", out);
}
