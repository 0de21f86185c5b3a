#include "calendar/date.hpp"

#include <algorithm>
#include <cstring>

#include "textio/textio.hpp"

namespace calendar {

namespace {

// Indexed by month code - 1.
constexpr std::array<std::string_view, 13> abreviations = {
    "VEND",  // 1 Vendémiaire
    "BRUM",  // 2 Brumaire
    "FRIM",  // 3 Frimaire
    "NIVO",  // 4 Nivôse
    "PLUV",  // 5 Pluviôse
    "VENT",  // 6 Ventôse
    "GERM",  // 7 Germinal
    "FLOR",  // 8 Floréal
    "PRAI",  // 9 Prairial
    "MESS",  // 10 Messidor
    "THER",  // 11 Thermidor
    "FRUC",  // 12 Fructidor
    "COMP",  // 13 the complementary days
};

}  // namespace

std::int32_t moisrtoi(std::string_view mois) noexcept {
  for (std::size_t i = 0; i < abreviations.size(); ++i)
    if (mois == abreviations[i]) return static_cast<std::int32_t>(i + 1);
  return 0;
}

void moisrtos(std::array<char, 5>& mois, std::int32_t code) noexcept {
  if (code < 1 || code > 13) return;
  const std::string_view a = abreviations[static_cast<std::size_t>(code - 1)];
  std::memcpy(mois.data(), a.data(), a.size());
  mois[a.size()] = '\0';
}

Champ en_decimal(std::int32_t v) noexcept {
  Champ f{};
  f.n = textio::decimal(f.c.data(), v);
  return f;
}

Champ deux_chiffres(std::int32_t v) noexcept {
  Champ f = en_decimal(v);
  if (f.n == 1) {
    f.c[1] = f.c[0];
    f.c[0] = '0';
    f.n = 2;
  }
  return f;
}

void composer(Resultat& r, std::string_view jour, std::string_view mois,
              std::string_view annee) noexcept {
  std::size_t n = 0;
  const auto ajouter = [&](std::string_view t) {
    const std::size_t k = std::min(t.size(), r.size() - 1 - n);
    std::memcpy(r.data() + n, t.data(), k);
    n += k;
  };
  ajouter(jour);
  ajouter("/");
  ajouter(mois);
  ajouter("/");
  ajouter(annee);
  r[n] = '\0';
}

}  // namespace calendar
