#include "batchcivil/batchcivil.hpp"

#include "batch/lot.hpp"
#include "calendar/civil.hpp"

namespace {

// One message for each fault, for both paths, in the fast path's order.
constexpr std::array<ecriture::Format, 11> messages = {
    "erreur de format ligne %d\n",
    "Jour hors limites ligne %d \n",
    "erreur de format ligne %d\n",
    "mois republicain inconnu ligne %d \n",
    "jour complementaire inconnu ligne %d\n",
    "annee mal ecrite ligne %d\n",
    "Annee non sextile, jour hors limite ligne %d\n",
    "date républicaine hors limite ligne %d \n",
    "date républicaine hors limite ligne %d, le résultat peut être erroné \n",
    lot::ligne_vide,
    lot::format_errone};

// One line of Republican date: the checks in their order, then the conversion.
void convertir(ecriture::Sortie& out, std::string_view lu, std::int64_t ligne,
               calendar::Resultat& r) {
  const auto message = [&](std::size_t f) { ecriture::ecrire_message(out, messages[f], ligne); };
  const civil::Lecture l = civil::lire(lu);
  // The messages of civil::Defaut come first, in its order.
  if (l.defaut != civil::Defaut::aucun) return message(static_cast<std::size_t>(l.defaut) - 1);
  const calendar::Issue i = civil::traduc_lot(r, l.jour, l.mois, l.annee);
  if (i == calendar::Issue::avant) return message(rapide::lot_civil::avant);
  if (i == calendar::Issue::apres) message(rapide::lot_civil::apres);
}

}  // namespace

int batchcivil(const char* chemin, ecriture::Sortie& out, bool voie_rapide) {
  return voie_rapide ? lot::traiter<convertir, rapide::civil, messages>(chemin, ".Greg", out)
                     : lot::traiter<convertir, rapide::aucune, messages>(chemin, ".Greg", out);
}
