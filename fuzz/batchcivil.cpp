// A batchcivil input file: any bytes.
#include "batchcivil/batchcivil.hpp"

#include <cstdint>

#include "calendar/civil.hpp"
#include "commun.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::verifier_lot(
      {reinterpret_cast<const char*>(data), size}, batchcivil, ".Greg",
      [](const std::string& lu) -> std::optional<std::string> {
        const civil::Lecture l = civil::lire(lu);
        if (lu.size() != 11 || l.defaut != civil::Defaut::aucun) return std::nullopt;
        return fuzz::jours::greg(l.jour, l.mois, l.annee);
      },
      {"format date errone ligne %d\n", "ligne %d vide\n", "erreur de format ligne %d\n",
       "Jour hors limites ligne %d \n", "mois republicain inconnu ligne %d \n",
       "jour complementaire inconnu ligne %d\n", "annee mal ecrite ligne %d\n",
       "Annee non sextile, jour hors limite ligne %d\n",
       "date républicaine hors limite ligne %d \n",
       "date républicaine hors limite ligne %d, le résultat peut être erroné \n"});
  return 0;
}
