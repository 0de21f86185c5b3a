#include "yearscan/yearscan.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "textio/lecture.hpp"
#include "textio/processus.hpp"

namespace {

// A four-character year field read as atoi reads it lies in -999..9999.
constexpr std::int32_t premiere_annee = -999;
constexpr std::int32_t derniere_annee = 9999;

// One flag for every year a line can yield.
using Annees = std::array<bool, derniere_annee - premiere_annee + 1>;

constexpr std::size_t rang(std::int32_t annee) noexcept {
  return static_cast<std::size_t>(annee - premiere_annee);
}

// The full Gregorian rule: 1900 is not a leap year, 2000 is.
constexpr bool bissextile(std::int32_t a) noexcept {
  return (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
}

constexpr std::array<std::int32_t, 12> longueurs = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

constexpr std::int32_t longueur(std::int32_t mois, std::int32_t annee) noexcept {
  return mois == 2 && bissextile(annee) ? 29 : longueurs[static_cast<std::size_t>(mois - 1)];
}

}  // namespace

int yearscan(const char* chemin, textio::Sortie& out) {
  using textio::champ, textio::ecrire_format, textio::entier, textio::separateur;
  const int fd = textio::ouvrir_source(chemin);
  textio::garder_source(out, fd, chemin);
  if (fd < 0) {
    textio::ecrire_ligne(out, textio::source_absente);
    return 2;
  }

  Annees vues{};
  std::int32_t max = 0;
  std::int32_t min = 10000;
  textio::Lecteur source(fd);
  std::int64_t ligne = 0;  // reads so far; never wraps
  std::string_view t;
  // Once its report cannot be written, nobody reads it: stop, as cat does.
  while (!textio::en_panne(out) && textio::lire(source, t)) {
    ++ligne;
    if (t.size() > 11) {
      ecrire_format<"format date errone ligne %d\n">(out, ligne);
      continue;
    }
    if (t.size() < 2) {
      ecrire_format<"ligne vide %d\n">(out, ligne);
      continue;
    }
    if (!separateur(t, 2) || !separateur(t, 5)) {
      ecrire_format<"erreur de format ligne %d\n">(out, ligne);
      continue;
    }
    const std::int32_t jour = entier(champ(t, 0, 2));
    const std::int32_t mois = entier(champ(t, 3, 2));
    const std::int32_t annee = entier(champ(t, 6, 4));
    // There is no year 0, so a malformed year counts for nothing; any other
    // counts as soon as both separators are in place, whatever follows.
    if (annee == 0) {
      ecrire_format<"annee mal ecrite ligne %d\n">(out, ligne);
      continue;
    }
    vues[rang(annee)] = true;
    max = std::max(max, annee);
    min = std::min(min, annee);
    if (mois < 1 || mois > 12)
      ecrire_format<"mois hors limites %d\n">(out, ligne);
    else if (jour < 1 || jour > longueur(mois, annee))
      ecrire_format<"Jour hors limites ligne %d\n">(out, ligne);
  }
  ::close(fd);
  if (source.erreur) {
    textio::ecrire_ligne(out, textio::source_absente);
    return 2;
  }

  // There is no year 0, so it is never missing.
  for (std::int32_t a = min; a <= max; ++a)
    if (a != 0 && !vues[rang(a)]) ecrire_format<"année manquante %d\n">(out, a);
  ecrire_format<"année Max %d\n">(out, max);
  ecrire_format<"année Min %d\n">(out, min);
  textio::ecrire_ligne(out, "fini ");
  return 0;
}
