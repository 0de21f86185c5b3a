#include "batchcivil/batchcivil.hpp"

#include "batch/lot.hpp"
#include "calendar/civil.hpp"

namespace {

// One line of Republican date: the checks in their order, then the conversion.
void convertir(textio::Sortie& out, std::string_view lu, std::int64_t ligne,
               calendar::Resultat& r) {
  using civil::Defaut;
  const civil::Lecture l = civil::lire(lu);
  std::string_view message;
  switch (l.defaut) {
    case Defaut::separateur1: message = "erreur de format ligne %d\n"; break;
    case Defaut::jour: message = "Jour hors limites ligne %d \n"; break;
    case Defaut::separateur2: message = "erreur de format ligne %d\n"; break;
    case Defaut::mois: message = "mois republicain inconnu ligne %d \n"; break;
    case Defaut::complementaire: message = "jour complementaire inconnu ligne %d\n"; break;
    case Defaut::annee: message = "annee mal ecrite ligne %d\n"; break;
    case Defaut::sextile: message = "Annee non sextile, jour hors limite ligne %d\n"; break;
    case Defaut::aucun: return civil::traduc(out, r, l.jour, l.mois, l.annee, ligne);
  }
  textio::ecrire_format(out, message, ligne);
}

}  // namespace

int batchcivil(const char* chemin, textio::Sortie& out) {
  return lot::traiter(chemin, ".Greg", out, convertir);
}
