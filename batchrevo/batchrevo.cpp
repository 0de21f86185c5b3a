#include "batchrevo/batchrevo.hpp"

#include "batch/lot.hpp"
#include "calendar/revo.hpp"

namespace {

// One message for each fault, for both paths, in the fast path's order.
constexpr std::array<ecriture::Format, 7> messages = {"erreur de format ligne %d\n",
                                                      "annee mal ecrite ligne %d\n",
                                                      "date républicaine hors limite ligne %d\n",
                                                      "Jour hors limites ligne %d\n",
                                                      "date républicaine hors limite ligne%d\n",
                                                      lot::ligne_vide,
                                                      lot::format_errone};

// One line of Gregorian date: the checks in their order, then the conversion.
void convertir(ecriture::Sortie& out, std::string_view lu, std::int64_t ligne,
               calendar::Resultat& r) {
  const auto message = [&](rapide::lot_revo::Faute f) {
    ecriture::ecrire_message(out, messages[f], ligne);
  };
  const revo::Lecture l = revo::lire(lu);
  if (l.forme == revo::Forme::separateur1 || l.forme == revo::Forme::separateur2)
    return message(rapide::lot_revo::separateur);
  if (l.forme == revo::Forme::annee) return message(rapide::lot_revo::annee);
  if (l.annee < 1792 || l.annee > 1805) return message(rapide::lot_revo::hors_limite);
  const revo::Jour j = revo::verifier(l.jour, l.mois, l.annee);
  if (j == revo::Jour::mois) return ecriture::ecrire_ligne(out, "mois hors limites ");
  if (j != revo::Jour::valide) return message(rapide::lot_revo::jour);
  if (revo::traduc_lot(r, l.jour, l.mois, l.annee) == calendar::Issue::avant)
    message(rapide::lot_revo::avant);
}

}  // namespace

int batchrevo(const char* chemin, ecriture::Sortie& out, bool voie_rapide) {
  return voie_rapide ? lot::traiter<convertir, rapide::revo, messages>(chemin, ".rep", out)
                     : lot::traiter<convertir, rapide::aucune, messages>(chemin, ".rep", out);
}
