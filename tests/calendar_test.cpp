#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "calendar/civil.hpp"
#include "calendar/jours.hpp"
#include "calendar/revo.hpp"
#include "lecture/lecture.hpp"
#include "nombres/nombres.hpp"

namespace {

using namespace std::chrono;

using calendar::Issue;

std::string deux(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

const char* const abreviations[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM",
                                    "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};

TEST(Mois, TextToCodeIsExactAndCaseSensitive) {
  for (int code = 1; code <= 13; ++code)
    EXPECT_EQ(calendar::moisrtoi(abreviations[code - 1]), code);
  for (const char* faux : {"vend", "Vend", "VEN", "VENDE", "", "COMP ", " COM", "XXXX"})
    EXPECT_EQ(calendar::moisrtoi(faux), 0) << faux;
}

TEST(Mois, NoOtherFourLetterWordIsAMonth) {
  std::string w = "AAAA";
  int trouves = 0;
  for (w[0] = 'A'; w[0] <= 'Z'; ++w[0])
    for (w[1] = 'A'; w[1] <= 'Z'; ++w[1])
      for (w[2] = 'A'; w[2] <= 'Z'; ++w[2])
        for (w[3] = 'A'; w[3] <= 'Z'; ++w[3])
          if (const int code = calendar::moisrtoi(w); code != 0) {
            EXPECT_EQ(w, abreviations[code - 1]);
            ++trouves;
          }
  EXPECT_EQ(trouves, 13);
}

TEST(Mois, CodeToTextWritesOnlyKnownCodes) {
  for (int code = 1; code <= 13; ++code) {
    std::array<char, 5> m{'x', 'x', 'x', 'x', 'x'};
    calendar::moisrtos(m, code);
    EXPECT_EQ(calendar::texte(m), abreviations[code - 1]);
  }
  for (int code : {14, 0, -1}) {
    std::array<char, 5> m{};
    calendar::moisrtos(m, code);
    EXPECT_EQ(calendar::texte(m), "") << code;
  }
}

TEST(Champ, TwoDigitFieldPadsOnlyOneCharacter) {
  const std::pair<int, std::string_view> rangs[] = {
      {7, "07"}, {12, "12"}, {0, "00"}, {-3, "-3"}, {-12, "-12"}, {123, "123"}, {-2791, "-2791"}};
  for (const auto& [v, attendu] : rangs) EXPECT_EQ(calendar::deux_chiffres(v).vue(), attendu) << v;
}

TEST(Champ, WritesNumbersAsPrintfDoes) {
  const std::int64_t rangs[] = {
      0,  7,  9,   10,   99,    100,  101,      999,       1000,      12345,     100000,
      -1, -9, -10, -100, -2791, 8208, 10000000, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN};
  for (const std::int64_t v : rangs) {
    char b[20];
    EXPECT_EQ(std::string(b, nombres::decimal(b, v)), std::to_string(v));
  }
  // Either side of every change in the count of digits.
  for (std::int64_t p = 1; p <= INT64_MAX / 10; p *= 10)
    for (const std::int64_t v : {p - 1, p, p + 1, 10 * p - 1, -p, 1 - p, -10 * p + 1}) {
      char b[20];
      EXPECT_EQ(std::string(b, nombres::decimal(b, v)), std::to_string(v));
    }
}

TEST(Champ, ReadsNumbersAsAtoiDoes) {
  const std::pair<std::string_view, int> rangs[] = {
      {"12", 12},   {" 5", 5},  {"5x", 5},  {"-3", -3},     {"+7", 7},      {"ab", 0},   {"", 0},
      {"\t\n9", 9}, {"- 1", 0}, {"--1", 0}, {"1800", 1800}, {"-999", -999}, {"0012", 12}};
  for (const auto& [champ, attendu] : rangs) EXPECT_EQ(nombres::entier(champ), attendu) << champ;
  // Every field of two bytes, and every field of four drawn from bytes on
  // either side of the digits.
  const auto comme_atoi = [](const std::string& champ) {
    ASSERT_EQ(nombres::entier(champ), std::atoi(champ.c_str())) << champ;
  };
  for (int a = 1; a < 256; ++a)
    for (int b = 1; b < 256; ++b) comme_atoi({static_cast<char>(a), static_cast<char>(b)});
  const std::string_view voisins = " \t+-/059:?@a\xfa\xff";
  for (const char a : voisins)
    for (const char b : voisins)
      for (const char c : voisins)
        for (const char d : voisins) comme_atoi({a, b, c, d});
}

// 1 Vendémiaire of the years 1 to 15 of the Republic.
const year_month_day debuts[] = {1792y / 9 / 22, 1793y / 9 / 22, 1794y / 9 / 22, 1795y / 9 / 23,
                                 1796y / 9 / 22, 1797y / 9 / 22, 1798y / 9 / 22, 1799y / 9 / 23,
                                 1800y / 9 / 23, 1801y / 9 / 23, 1802y / 9 / 23, 1803y / 9 / 24,
                                 1804y / 9 / 23, 1805y / 9 / 23, 1806y / 9 / 23};

// Every day of the span, counted by the standard library on one side and by
// offsets from the year's first day (30 days a month) on the other.
TEST(Conversion, EveryDayOfTheSpanBothWaysBothFlavours) {
  int jours = 0;
  for (sys_days s = sys_days{1792y / 9 / 22}; s <= sys_days{1805y / 12 / 31}; s += days{1}) {
    const year_month_day g{s};
    int an = 1;
    while (sys_days{debuts[an]} <= s) ++an;
    const int decalage = static_cast<int>((s - sys_days{debuts[an - 1]}).count());  // [0, 365]
    const int jour = decalage % 30 + 1, mois = decalage / 30 + 1;
    const std::string greg = deux(static_cast<int>(static_cast<unsigned>(g.day()))) + "/" +
                             deux(static_cast<int>(static_cast<unsigned>(g.month()))) + "/" +
                             std::to_string(static_cast<int>(g.year()));
    const std::string rep = deux(jour) + "/" + abreviations[mois - 1] + "/" + deux(an);
    SCOPED_TRACE(greg + " = " + rep);

    calendar::Resultat r{};
    EXPECT_EQ(civil::traduc_lot(r, jour, mois, an), Issue::convertie);
    EXPECT_EQ(calendar::texte(r), greg);
    EXPECT_EQ(civil::traduc(r, jour, mois, an), Issue::convertie);
    EXPECT_EQ(calendar::texte(r), greg);

    const int d = static_cast<int>(static_cast<unsigned>(g.day()));
    const int m = static_cast<int>(static_cast<unsigned>(g.month()));
    const int y = static_cast<int>(g.year());
    EXPECT_EQ(revo::traduc_lot(r, d, m, y), Issue::convertie);
    EXPECT_EQ(calendar::texte(r), rep);
    revo::traduc(r, d, m, y);
    EXPECT_EQ(calendar::texte(r), rep);

    // Each text read back as a program reads it gives this day's number.
    const civil::Lecture lr = civil::lire(rep);
    ASSERT_EQ(lr.defaut, civil::Defaut::aucun);
    EXPECT_EQ(calendar::jour_republicain({lr.jour, lr.mois, lr.annee}), jours);
    const revo::Lecture lg = revo::lire(greg);
    ASSERT_EQ(lg.forme, revo::Forme::valide);
    ASSERT_EQ(revo::verifier({lg.jour, lg.mois, lg.annee}), revo::Jour::valide);
    EXPECT_EQ(calendar::jour_gregorien({lg.jour, lg.mois, lg.annee}), jours);
    ++jours;
  }
  EXPECT_EQ(jours, 4848);
}

// Day, month and year of a date, to compare in one go.
std::tuple<int, int, int> jma(calendar::Date d) {
  return {d.jour, d.mois, d.annee};
}

// The last day of every month of every year the programs take, and the day
// after: the checks accept the one and refuse the other, and the day count
// goes from one to the other. February as std::chrono has it, but that every
// century is a leap year here except 1800. Likewise the last day of every
// Republican month and year: five complementary days, six in the years 3, 7,
// 11, ... (and -1, -5, ...).
TEST(Conversion, EveryMonthAndYearEnds) {
  for (int y = -999; y <= 9999; ++y) {
    if (y == 0) continue;
    for (unsigned m = 1; m <= 12; ++m) {
      int fin = static_cast<int>(
          static_cast<unsigned>(year_month_day_last{year{y} / month{m} / last}.day()));
      if (m == 2 && y % 100 == 0 && y % 400 != 0 && y != 1800) fin = 29;
      const int mi = static_cast<int>(m);
      SCOPED_TRACE(std::to_string(fin) + "/" + std::to_string(m) + "/" + std::to_string(y));
      ASSERT_EQ(revo::verifier({fin, mi, y}), revo::Jour::valide);
      ASSERT_NE(revo::verifier({fin + 1, mi, y}), revo::Jour::valide);
      ASSERT_NE(revo::verifier({0, mi, y}), revo::Jour::valide);
      const int n = calendar::jour_gregorien({fin, mi, y});
      ASSERT_EQ(jma(calendar::date_gregorienne(n)), std::tuple(fin, mi, y));
      ASSERT_EQ(jma(calendar::date_gregorienne(n + 1)),
                m == 12 ? std::tuple(1, 1, y + 1) : std::tuple(1, mi + 1, y));
    }
  }
  for (int y = -2791; y <= 8208; ++y)
    for (int m = 1; m <= 13; ++m) {
      const int fin = m < 13 ? 30 : (y + 1) % 4 == 0 ? 6 : 5;
      SCOPED_TRACE(std::to_string(fin) + " " + std::to_string(m) + " " + std::to_string(y));
      const int n = calendar::jour_republicain({fin, m, y});
      ASSERT_EQ(jma(calendar::date_republicaine(n)), std::tuple(fin, m, y));
      ASSERT_EQ(jma(calendar::date_republicaine(n + 1)),
                m == 13 ? std::tuple(1, 1, y + 1) : std::tuple(1, m + 1, y));
    }
}

struct RangCivil {
  int jour, mois, annee;
  Issue lot;
  std::string_view lot_texte;  // batch flavour
  Issue seul;
  std::string_view seul_texte;
};

TEST(Conversion, RepublicanToGregorianBeyondTheSpan) {
  const RangCivil rangs[] = {
      {11, 4, 14, Issue::apres, "", Issue::apres, "01/01/1806"},
      {10, 4, 14, Issue::convertie, "31/12/1805", Issue::convertie, "31/12/1805"},
      {1, 1, 15, Issue::apres, "", Issue::apres, "23/09/1806"},
      {1, 1, -3, Issue::avant, "", Issue::convertie, "22/09/1788"},
      {1, 1, 0, Issue::avant, "", Issue::convertie, "23/09/1791"},
      {30, 12, 99, Issue::apres, "", Issue::apres, "17/09/1891"},
  };
  for (const RangCivil& t : rangs) {
    SCOPED_TRACE(std::to_string(t.jour) + " " + std::to_string(t.mois) + " " +
                 std::to_string(t.annee));
    calendar::Resultat r{'x'};
    EXPECT_EQ(civil::traduc_lot(r, t.jour, t.mois, t.annee), t.lot);
    EXPECT_EQ(calendar::texte(r), t.lot_texte);
    EXPECT_EQ(civil::traduc(r, t.jour, t.mois, t.annee), t.seul);
    EXPECT_EQ(calendar::texte(r), t.seul_texte);
  }
}

TEST(Conversion, GregorianToRepublicanBeyondTheSpan) {
  const std::tuple<int, int, int, std::string_view> rangs[] = {
      {21, 9, 1792, "05/COMP/00"},   {1, 1, 1792, "11/NIVO/00"},     {23, 9, 1791, "01/VEND/00"},
      {22, 9, 1791, "06/COMP/-1"},   {1, 1, 1790, "12/NIVO/-2"},     {15, 6, 1700, "27/PRAI/-92"},
      {1, 1, -999, "12/NIVO/-2791"}, {31, 12, 9999, "09/NIVO/8208"}, {1, 1, 1806, "11/NIVO/14"},
      {29, 2, 1900, "09/VENT/108"},  {1, 1, 180, "11/NIVO/-1612"},   {1, 2, 1, "13/PLUV/-1791"}};
  for (const auto& [d, m, y, attendu] : rangs) {
    calendar::Resultat r{};
    revo::traduc(r, d, m, y);
    EXPECT_EQ(calendar::texte(r), attendu) << d << "/" << m << "/" << y;
    if (y != 1792) continue;  // the batch flavour takes the years 1792..1805 alone
    EXPECT_EQ(revo::traduc_lot(r, d, m, y), Issue::avant);
    EXPECT_EQ(calendar::texte(r), "");
  }
}

// The reads must be those of fgets with a size of 15, whatever the bytes
// and wherever the blocks of the file end.
TEST(Lecture, ReadsAsFgetsDoes) {
  std::mt19937 alea(1792);
  for (int essai = 0; essai < 20; ++essai) {
    std::string octets;
    const int n = essai < 10 ? 200000 : static_cast<int>(alea() % 100);
    for (int i = 0; i < n; ++i) {
      const auto k = alea() % 20;
      octets.push_back(k < 3 ? '\n' : k == 3 ? '\0' : static_cast<char>('0' + k));
    }
    std::FILE* f = std::tmpfile();
    std::fwrite(octets.data(), 1, octets.size(), f);
    std::rewind(f);
    // An offset of its own, apart from the stream's.
    const int fd = open(("/proc/self/fd/" + std::to_string(fileno(f))).c_str(), O_RDONLY);
    static lecture::Bloc bloc;
    lecture::Lecteur l(fd, bloc);
    char buf[15];
    std::string_view lu;
    for (;;) {
      const bool attendu = std::fgets(buf, sizeof buf, f) != nullptr;
      ASSERT_EQ(lecture::lire(l, lu), attendu);
      if (!attendu) break;
      ASSERT_EQ(lu, std::string_view(buf));
    }
    EXPECT_FALSE(l.erreur);
    close(fd);
    std::fclose(f);
  }
}

}  // namespace
