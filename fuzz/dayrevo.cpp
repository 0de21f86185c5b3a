// The dayrevo argument: any bytes up to the first NUL, as a shell passes them.
#include "dayrevo/dayrevo.hpp"

#include <algorithm>
#include <cstdint>

#include "calendar/revo.hpp"
#include "commun.hpp"
#include "daycivil/daycivil.hpp"

namespace {

bool message_de(int statut, std::string_view l) {
  switch (statut) {
    case 9: return l == "format date errone";
    case 1:
      return l == "erreur de format " || l == "mois hors limites " || l == "Jour hors limites ";
    case 3: return l == "erreur de format ";
    case 4: return l == "annee mal ecrite";
    case 2: return l == "Jour hors limites ";
    default: return false;
  }
}

// DD/MMMM/ then a year of two characters or more: digits, or a sign and digits.
bool date_rep(std::string_view t) {
  const auto chiffres = [](std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (t.size() < 10 || t[2] != '/' || t[7] != '/' || !chiffres(t.substr(0, 2))) return false;
  if (calendar::moisrtoi(t.substr(3, 4)) == 0) return false;
  const std::string_view an = t.substr(8);
  return chiffres(an[0] == '-' ? an.substr(1) : an) && an.size() >= 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz::exiger;
  const std::string arg = fuzz::argument(data, size);
  const auto [statut, sortie] =
      fuzz::capturer([&](ecriture::Sortie& s) { return dayrevo(arg, s); });
  const auto l = fuzz::lignes(sortie, "every line ends with a newline");

  // The warning comes first, exactly when the layout passed and the year
  // lies outside 1792..1805.
  const revo::Lecture lu = revo::lire(arg);
  const bool averti =
      arg.size() <= 10 && lu.forme == revo::Forme::valide && (lu.annee < 1792 || lu.annee > 1805);
  exiger(l.size() == (averti ? 2u : 1u) && (!averti || l[0] == fuzz::avertissement),
         "one line, after the warning when the year is out of range", sortie);
  if (statut != 0) {
    exiger(message_de(statut, l.back()), "a failure prints its one message", sortie);
    return 0;
  }

  const std::string& date = l.back();
  exiger(date_rep(date), "success prints a Republican date", date);
  exiger(revo::verifier({lu.jour, lu.mois, lu.annee}) == revo::Jour::valide,
         "success only for a date that passes the checks", arg);
  const auto attendu = fuzz::jours::rep(lu.jour, lu.mois, lu.annee);
  if (!attendu) return 0;
  exiger(*attendu == date, "agrees with the day count", date);

  // Within the span, daycivil gives the same Gregorian date back.
  const auto [st, texte] = fuzz::capturer([&](ecriture::Sortie& s) { return daycivil(date, s); });
  const std::string greg = fuzz::jours::deux(static_cast<unsigned>(lu.jour)) + "/" +
                           fuzz::jours::deux(static_cast<unsigned>(lu.mois)) + "/" +
                           std::to_string(lu.annee);
  exiger(st == 0 && texte == greg + "\n", "daycivil gives the date back", texte);
  return 0;
}
