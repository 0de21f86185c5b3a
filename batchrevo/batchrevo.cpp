#include "batchrevo/batchrevo.hpp"

#include "batch/lot.hpp"
#include "calendar/revo.hpp"

namespace {

// The faults of a read that name their line, each with its one message
// below; the month's names none, and is a line of its own.
enum Faute : std::uint8_t { separateur, annee, hors_limite, jour, avant, vide, errone };

// One message for each fault, for both paths.
constexpr auto messages = ecriture::par_faute<errone + 1, Faute>({
    {separateur, "erreur de format ligne %d\n"},
    {annee, "annee mal ecrite ligne %d\n"},
    {hors_limite, "date républicaine hors limite ligne %d\n"},
    {jour, "Jour hors limites ligne %d\n"},
    {avant, "date républicaine hors limite ligne%d\n"},
    {vide, lot::ligne_vide},
    {errone, lot::format_errone},
});

// One line of Gregorian date: the checks in their order, then the conversion.
void convertir(ecriture::Sortie& out, std::string_view lu, std::int64_t ligne,
               calendar::Resultat& r) {
  const auto message = [&](Faute f) { ecriture::ecrire_message(out, messages[f], ligne); };
  const revo::Lecture l = revo::lire(lu);
  if (l.forme == revo::Forme::separateur1 || l.forme == revo::Forme::separateur2)
    return message(separateur);
  if (l.forme == revo::Forme::annee) return message(annee);
  if (l.annee < 1792 || l.annee > 1805) return message(hors_limite);
  const revo::Jour j = revo::verifier({l.jour, l.mois, l.annee});
  if (j == revo::Jour::mois) return ecriture::ecrire_ligne(out, "mois hors limites ");
  if (j != revo::Jour::valide) return message(jour);
  if (revo::traduc_lot(r, l.jour, l.mois, l.annee) != calendar::Issue::convertie) message(avant);
}

template <bool sse2>
using Voie = rapide::Revo<Faute, sse2>;

}  // namespace

int batchrevo(const char* chemin, ecriture::Sortie& out, rapide::Noyau noyau) {
  return lot::traiter<convertir, Voie, messages>(chemin, ".rep", out, noyau);
}
