// A yearscan input file: any bytes. The whole standard output must be the
// one a plain model of the rules gives, written apart from the program.
#include "yearscan/yearscan.hpp"

#include <algorithm>
#include <cstdint>
#include <set>

#include "commun.hpp"

namespace {

std::string modele(std::string_view octets) {
  std::string out;
  std::set<int> vues;
  int max = 0, min = 10000;
  const auto dire = [&](const char* texte, long n) { out += texte + std::to_string(n) + "\n"; };
  long n = 0;
  for (const std::string& t : fuzz::lectures(octets)) {
    ++n;
    if (t.size() > 11) {
      dire("format date errone ligne ", n);
      continue;
    }
    if (t.size() < 2) {
      dire("ligne vide ", n);
      continue;
    }
    if (t.size() <= 5 || t[2] != '/' || t[5] != '/') {
      dire("erreur de format ligne ", n);
      continue;
    }
    const auto champ = [&](std::size_t p, std::size_t k) {
      return std::atoi(p < t.size() ? t.substr(p, k).c_str() : "");
    };
    const int jour = champ(0, 2), mois = champ(3, 2), an = champ(6, 4);
    if (an != 0) {
      vues.insert(an);
      max = std::max(max, an);
      min = std::min(min, an);
    }
    const bool bissextile = (an % 4 == 0 && an % 100 != 0) || an % 400 == 0;
    const int longueurs[] = {31, bissextile ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (an == 0)
      dire("annee mal ecrite ligne ", n);
    else if (mois < 1 || mois > 12)
      dire("mois hors limites ", n);
    else if (jour < 1 || jour > longueurs[mois - 1])
      dire("Jour hors limites ligne ", n);
  }
  for (int a = min; a <= max; ++a)
    if (a != 0 && vues.count(a) == 0) dire("année manquante ", a);
  dire("année Max ", max);
  dire("année Min ", min);
  return out + "fini \n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view octets(reinterpret_cast<const char*>(data), size);
  const std::string& chemin = fuzz::chemin_scratch();
  fuzz::ecrire_fichier(chemin, octets);
  const auto [statut, sortie] =
      fuzz::capturer([&](ecriture::Sortie& s) { return yearscan(chemin.c_str(), s); });
  fuzz::exiger(statut == 0, "status 0 whatever the lines hold", sortie);
  fuzz::exiger(sortie == modele(octets), "the report of the rules", sortie);
  return 0;
}
