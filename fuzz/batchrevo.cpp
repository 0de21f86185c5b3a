// A batchrevo input file: any bytes.
#include "batchrevo/batchrevo.hpp"

#include <cstdint>

#include "calendar/revo.hpp"
#include "commun.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::verifier_lot({reinterpret_cast<const char*>(data), size}, batchrevo, ".rep",
                     [](const std::string& lu) -> std::optional<std::string> {
                       const revo::Lecture l = revo::lire(lu);
                       if (lu.size() != 11 || l.forme != revo::Forme::valide) return std::nullopt;
                       return fuzz::jours::rep(l.jour, l.mois, l.annee);
                     },
                     {"format date errone ligne %d\n", "ligne %d vide\n",
                      "erreur de format ligne %d\n", "annee mal ecrite ligne %d\n",
                      "date républicaine hors limite ligne %d\n", "mois hors limites ",
                      "Jour hors limites ligne %d\n", "date républicaine hors limite ligne%d\n"});
  return 0;
}
