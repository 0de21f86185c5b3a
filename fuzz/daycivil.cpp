// The daycivil argument: any bytes up to the first NUL, as a shell passes them.
#include "daycivil/daycivil.hpp"

#include <algorithm>
#include <cstdint>

#include "calendar/civil.hpp"
#include "commun.hpp"
#include "dayrevo/dayrevo.hpp"

namespace {

bool message_de(int statut, std::string_view l) {
  switch (statut) {
    case 9: return l == "format date errone";
    case 1: return l == "erreur de format ";
    case 2: return l == "Jour hors limites";
    case 3: return l == "erreur de format ";
    case 10: return l == "mois republicain inconnu ";
    case 8: return l == "jour complementaire inconnu" || l == "Annee non sextile, jour hors limite";
    case 4: return l == "annee mal ecrite";
    default: return false;
  }
}

bool date_greg(std::string_view t) {
  if (t.size() != 10 || t[2] != '/' || t[5] != '/') return false;
  return std::all_of(t.begin(), t.end(), [](char c) { return c == '/' || (c >= '0' && c <= '9'); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz::exiger;
  const std::string arg = fuzz::argument(data, size);
  const auto [statut, sortie] =
      fuzz::capturer([&](ecriture::Sortie& s) { return daycivil(arg, s); });
  const auto l = fuzz::lignes(sortie, "every line ends with a newline");
  if (statut != 0) {
    exiger(l.size() == 1 && message_de(statut, l[0]), "a failure prints its one message", sortie);
    return 0;
  }

  // A date, after the one warning that a date past 31/12/1805 draws.
  exiger(!l.empty() && date_greg(l.back()), "success prints a date", sortie);
  const std::string& date = l.back();
  const bool apres = date.substr(6) > "1805";
  exiger(l.size() == (apres ? 2u : 1u) && (!apres || l[0] == fuzz::avertissement),
         "the warning comes exactly with a date after 1805", sortie);

  const civil::Lecture lu = civil::lire(arg);
  exiger(lu.defaut == civil::Defaut::aucun, "success only for a date that passes the checks", arg);
  if (const auto attendu = fuzz::jours::greg(lu.jour, lu.mois, lu.annee))
    exiger(*attendu == date, "agrees with the day count", date);

  // Within the span, dayrevo gives the same Republican date back.
  const int j = std::stoi(date.substr(0, 2)), m = std::stoi(date.substr(3, 2));
  if (const auto retour = fuzz::jours::rep(j, m, std::stoi(date.substr(6)))) {
    const auto [st, texte] = fuzz::capturer([&](ecriture::Sortie& s) { return dayrevo(date, s); });
    exiger(st == 0 && texte == *retour + "\n", "dayrevo gives the date back", texte);
    exiger(*retour == fuzz::jours::deux(static_cast<unsigned>(lu.jour)) + "/" +
                          fuzz::jours::mois[lu.mois - 1] + "/" +
                          fuzz::jours::deux(static_cast<unsigned>(lu.annee)),
           "the same day, month and year", *retour);
  }
  return 0;
}
