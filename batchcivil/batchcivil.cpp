#include "batchcivil/batchcivil.hpp"

#include "batch/lot.hpp"
#include "calendar/civil.hpp"

namespace {

// One line of Republican date: the checks in their order, then the conversion.
void convertir(ecriture::Sortie& out, std::string_view lu, std::int64_t ligne,
               calendar::Resultat& r) {
  using civil::Defaut;
  using ecriture::ecrire_format;
  const civil::Lecture l = civil::lire(lu);
  switch (l.defaut) {
    case Defaut::separateur1: return ecrire_format<"erreur de format ligne %d\n">(out, ligne);
    case Defaut::jour: return ecrire_format<"Jour hors limites ligne %d \n">(out, ligne);
    case Defaut::separateur2: return ecrire_format<"erreur de format ligne %d\n">(out, ligne);
    case Defaut::mois: return ecrire_format<"mois republicain inconnu ligne %d \n">(out, ligne);
    case Defaut::complementaire:
      return ecrire_format<"jour complementaire inconnu ligne %d\n">(out, ligne);
    case Defaut::annee: return ecrire_format<"annee mal ecrite ligne %d\n">(out, ligne);
    case Defaut::sextile:
      return ecrire_format<"Annee non sextile, jour hors limite ligne %d\n">(out, ligne);
    case Defaut::aucun: break;
  }
  switch (civil::traduc_lot(r, l.jour, l.mois, l.annee)) {
    case calendar::Issue::avant:
      return ecrire_format<"date républicaine hors limite ligne %d \n">(out, ligne);
    case calendar::Issue::apres:
      return ecrire_format<
          "date républicaine hors limite ligne %d, le résultat peut être erroné \n">(out, ligne);
    case calendar::Issue::convertie: break;
  }
}

}  // namespace

int batchcivil(const char* chemin, ecriture::Sortie& out, bool voie_rapide) {
  return voie_rapide ? lot::traiter<convertir, rapide::civil>(chemin, ".Greg", out)
                     : lot::traiter<convertir, rapide::aucune>(chemin, ".Greg", out);
}
