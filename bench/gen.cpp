// Writes N date lines to standard output, from a fixed seed:
//   gen rep|greg N [FAULTY_PERCENT]
// rep: Republican dates of years 1..14 (as batchcivil reads them);
// greg: Gregorian dates of 1793..1805, every day alike (as batchrevo and
// yearscan read them).
// A faulty line is one of every kind of fault the programs report.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: gen rep|greg N [FAULTY_PERCENT]\n", stderr);
    return 2;
  }
  const bool rep = std::strcmp(argv[1], "rep") == 0;
  const long n = std::atol(argv[2]);
  const unsigned faulty = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 0;
  static const char* const mois[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM",
                                     "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};
  static const char* const fautes_rep[] = {
      "\n",           "01/VEND/01xxxx\n", "01/VEND/1\n",   "01-VEND/01\n", "31/VEND/01\n",
      "01/VEND-01\n", "01/vend/01\n",     "07/COMP/03\n",  "01/VEND/00\n", "06/COMP/04\n",
      "01/VEND/-1\n", "01/VEND/15\n",     "01/VEND/01\r\n"};
  static const char* const fautes_greg[] = {"\n",           "22/09/1792xxxx\n", "22/09/179\n",
                                            "22-09/1792\n", "22/09-1792\n",     "22/09/0000\n",
                                            "22/09/1806\n", "22/13/1792\n",     "31/04/1795\n",
                                            "29/02/1800\n", "01/01/1792\n",     "22/09/1792\r\n"};
  std::mt19937_64 alea(1792);
  std::string tampon;
  char ligne[32];
  for (long i = 0; i < n; ++i) {
    if (alea() % 100 < faulty) {
      tampon += rep ? fautes_rep[alea() % std::size(fautes_rep)]
                    : fautes_greg[alea() % std::size(fautes_greg)];
    } else if (rep) {
      const int an = static_cast<int>(alea() % 13) + 1;
      const int m = static_cast<int>(alea() % 13) + 1;
      const int j = static_cast<int>(alea() % (m == 13 ? 5 : 30)) + 1;
      std::snprintf(ligne, sizeof ligne, "%02d/%s/%02d\n", j, mois[m - 1], an);
      tampon += ligne;
    } else {
      // Any day of 1793..1805, the 29th to the 31st and 29 February included.
      using namespace std::chrono;
      const sys_days premier{1793y / 1 / 1}, dernier{1805y / 12 / 31};
      const auto k =
          static_cast<int>(alea() % static_cast<unsigned>((dernier - premier).count() + 1));
      const year_month_day g{premier + days{k}};
      const int an = static_cast<int>(g.year());
      const int m = static_cast<int>(static_cast<unsigned>(g.month()));
      const int j = static_cast<int>(static_cast<unsigned>(g.day()));
      std::snprintf(ligne, sizeof ligne, "%02d/%02d/%04d\n", j, m, an);
      tampon += ligne;
    }
    if (tampon.size() > (1 << 20)) {
      std::fwrite(tampon.data(), 1, tampon.size(), stdout);
      tampon.clear();
    }
  }
  std::fwrite(tampon.data(), 1, tampon.size(), stdout);
  return 0;
}
