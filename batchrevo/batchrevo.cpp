#include "batchrevo/batchrevo.hpp"

#include "batch/lot.hpp"
#include "calendar/revo.hpp"

namespace {

// One line of Gregorian date: the checks in their order, then the conversion.
void convertir(ecriture::Sortie& out, std::string_view lu, std::int64_t ligne,
               calendar::Resultat& r) {
  const revo::Lecture l = revo::lire(lu);
  switch (l.forme) {
    case revo::Forme::separateur1:
    case revo::Forme::separateur2:
      return ecriture::ecrire_format<"erreur de format ligne %d\n">(out, ligne);
    case revo::Forme::annee:
      return ecriture::ecrire_format<"annee mal ecrite ligne %d\n">(out, ligne);
    case revo::Forme::valide: break;
  }
  if (l.annee < 1792 || l.annee > 1805)
    return ecriture::ecrire_format<"date républicaine hors limite ligne %d\n">(out, ligne);
  switch (revo::verifier(l.jour, l.mois, l.annee)) {
    case revo::Jour::mois: return ecriture::ecrire_ligne(out, "mois hors limites ");
    case revo::Jour::jour_bissextile:
    case revo::Jour::jour:
      return ecriture::ecrire_format<"Jour hors limites ligne %d\n">(out, ligne);
    case revo::Jour::valide: break;
  }
  if (revo::traduc_lot(r, l.jour, l.mois, l.annee) == calendar::Issue::avant)
    ecriture::ecrire_format<"date républicaine hors limite ligne%d\n">(out, ligne);
}

}  // namespace

int batchrevo(const char* chemin, ecriture::Sortie& out, bool voie_rapide) {
  return voie_rapide ? lot::traiter<convertir, rapide::revo>(chemin, ".rep", out)
                     : lot::traiter<convertir, rapide::aucune>(chemin, ".rep", out);
}
