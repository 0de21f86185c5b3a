#include "yearscan/yearscan.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "calendar/revo.hpp"
#include "fichiers/fichiers.hpp"
#include "lecture/lecture.hpp"
#include "rapide/rapide.hpp"

namespace {

// A four-character year field read as atoi reads it lies in -999..9999.
constexpr std::int32_t premiere_annee = -999;
constexpr std::int32_t derniere_annee = 9999;

// One flag for every year a line can yield.
using Annees = std::array<bool, derniere_annee - premiere_annee + 1>;

constexpr std::size_t rang(std::int32_t annee) noexcept {
  return static_cast<std::size_t>(annee - premiere_annee);
}

// The faults of a read, in the order they are checked, each with its one
// message below; valide: none.
enum Faute : std::uint8_t { longue, vide, separateur, annee, mois, jour, valide };

// One message for each fault, for both paths.
constexpr auto messages = ecriture::par_faute<valide, Faute>({
    {longue, "format date errone ligne %d\n"},
    {vide, "ligne vide %d\n"},
    {separateur, "erreur de format ligne %d\n"},
    {annee, "annee mal ecrite ligne %d\n"},
    {mois, "mois hors limites %d\n"},
    {jour, "Jour hors limites ligne %d\n"},
});

}  // namespace

int yearscan(const char* chemin, ecriture::Sortie& out, rapide::Noyau noyau) {
  using ecriture::ecrire_format;
  const int fd = fichiers::ouvrir_source(chemin, out);
  if (fd < 0) return fichiers::statut_source;

  static lecture::Bloc bloc;  // the process's own, for its whole run
  Annees vues{};
  lecture::Lecteur source(fd, bloc);
  std::int64_t ligne = 0;  // reads so far; never wraps
  std::string_view t;
  // Once its report cannot be written, nobody reads it: stop, as cat does.
  while (!ecriture::en_panne(out)) {
    ligne += rapide::selon(
        noyau,
        [&](auto sse2) {
          return rapide::annees<Faute, sse2()>(source, vues.data(), out, messages, ligne);
        },
        [] { return std::int64_t{0}; });
    if (ecriture::en_panne(out) || !lecture::lire(source, t)) break;
    ++ligne;
    Faute f = valide;
    if (t.size() > 11) {
      f = longue;
    } else if (t.size() < 2) {
      f = vide;
    } else if (const revo::Lecture l = revo::lire(t);
               l.forme == revo::Forme::separateur1 || l.forme == revo::Forme::separateur2) {
      f = separateur;
    } else if (l.forme == revo::Forme::annee) {
      // There is no year 0, so a malformed year counts for nothing.
      f = annee;
    } else {
      // Any other year counts as soon as both separators are in place,
      // whatever follows.
      vues[rang(l.annee)] = true;
      switch (revo::verifier({l.jour, l.mois, l.annee}, revo::Regle::gregorienne)) {
        case revo::Jour::mois: f = mois; break;
        case revo::Jour::jour_bissextile:
        case revo::Jour::jour: f = jour; break;
        case revo::Jour::valide: break;
      }
    }
    if (f != valide) ecriture::ecrire_message(out, messages[f], ligne);
  }
  ::close(fd);
  if (source.erreur) return ecriture::echec(out, fichiers::source_absente, fichiers::statut_source);

  // The extremes of the years seen; the largest starts at 0 and the
  // smallest at 10000, as when there is none. There is no year 0, so it is
  // never missing.
  std::int32_t max = 0, min = 10000;
  for (std::int32_t a = premiere_annee; a <= derniere_annee; ++a) {
    if (!vues[rang(a)]) continue;
    min = std::min(min, a);
    max = std::max(max, a);
  }
  for (std::int32_t a = min; a <= max; ++a)
    if (a != 0 && !vues[rang(a)]) ecrire_format<"année manquante %d\n">(out, a);
  ecrire_format<"année Max %d\n">(out, max);
  ecrire_format<"année Min %d\n">(out, min);
  ecriture::ecrire_ligne(out, "fini ");
  return 0;
}
