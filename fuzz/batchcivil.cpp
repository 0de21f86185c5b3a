// A batchcivil input file: any bytes.
#include "batchcivil/batchcivil.hpp"

#include <cstdint>

#include "calendar/civil.hpp"
#include "commun.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz::exiger;
  const std::string_view octets(reinterpret_cast<const char*>(data), size);
  fuzz::verifier_lot(
      octets, batchcivil, ".Greg",
      [](const std::string& lu, std::int64_t n, const std::string& sortie,
         std::optional<std::string_view> message) {
        const civil::Lecture l = civil::lire(lu);
        const auto attendu = lu.size() == 11 && l.defaut == civil::Defaut::aucun
                                 ? fuzz::jours::greg(l.jour, l.mois, l.annee)
                                 : std::nullopt;
        if (!message) {
          exiger(attendu.has_value() && *attendu == sortie,
                 "a converted date agrees with the day count", lu);
          return;
        }
        exiger(!attendu, "a date of the span is converted", lu);
        exiger(
            fuzz::message_parmi(
                *message, n,
                {"format date errone ligne %d\n", "ligne %d vide\n", "erreur de format ligne %d\n",
                 "Jour hors limites ligne %d \n", "mois republicain inconnu ligne %d \n",
                 "jour complementaire inconnu ligne %d\n", "annee mal ecrite ligne %d\n",
                 "Annee non sextile, jour hors limite ligne %d\n",
                 "date républicaine hors limite ligne %d \n",
                 "date républicaine hors limite ligne %d, le résultat peut être erroné \n"}),
            "a failing read prints one of the messages, with its number", *message);
      });
  return 0;
}
