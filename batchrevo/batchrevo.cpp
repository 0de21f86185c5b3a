#include "batchrevo/batchrevo.hpp"

#include "batch/lot.hpp"
#include "calendar/revo.hpp"

namespace {

// One message for each fault, for both paths, in the fast path's order.
constexpr rapide::Messages_lot messages = {lot::ligne_vide,
                                           lot::format_errone,
                                           "erreur de format ligne %d\n",
                                           "annee mal ecrite ligne %d\n",
                                           "date républicaine hors limite ligne %d\n",
                                           "Jour hors limites ligne %d\n",
                                           "date républicaine hors limite ligne%d\n"};

// One line of Gregorian date: the checks in their order, then the conversion.
void convertir(ecriture::Sortie& out, std::string_view lu, std::int64_t ligne,
               calendar::Resultat& r) {
  const auto message = [&](rapide::Prise f) { ecriture::ecrire_message(out, messages[f], ligne); };
  const revo::Lecture l = revo::lire(lu);
  if (l.forme == revo::Forme::separateur1 || l.forme == revo::Forme::separateur2)
    return message(rapide::separateur_lot);
  if (l.forme == revo::Forme::annee) return message(rapide::annee_nulle);
  if (l.annee < 1792 || l.annee > 1805) return message(rapide::hors_limite);
  const revo::Jour j = revo::verifier(l.jour, l.mois, l.annee);
  if (j == revo::Jour::mois) return ecriture::ecrire_ligne(out, "mois hors limites ");
  if (j != revo::Jour::valide) return message(rapide::jour_faux);
  if (revo::traduc_lot(r, l.jour, l.mois, l.annee) == calendar::Issue::avant)
    message(rapide::avant_debut);
}

}  // namespace

int batchrevo(const char* chemin, ecriture::Sortie& out, bool voie_rapide) {
  return voie_rapide ? lot::traiter<convertir, rapide::revo, &messages>(chemin, ".rep", out)
                     : lot::traiter<convertir, rapide::aucune, &messages>(chemin, ".rep", out);
}
