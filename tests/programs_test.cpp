// The five programs run as processes: argument or file bytes in, exact
// standard output, exit status and output file bytes out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "run.hpp"

namespace {

const std::string W = "date républicaine hors limite, le résultat peut être erroné\n";

std::string fois(const std::string& t, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += t;
  return r;
}

struct Appel {
  std::vector<std::string> args;
  std::string out;
  int statut;
};

void verifier(const char* programme, const std::vector<Appel>& rangs) {
  for (const Appel& a : rangs) {
    SCOPED_TRACE(a.args.empty() ? "(no argument)" : "'" + a.args[0] + "'");
    const Execution e = lancer(programme, a.args);
    EXPECT_EQ(e.out, a.out);
    EXPECT_EQ(e.statut, a.statut);
    EXPECT_EQ(e.err, "");
  }
}

TEST(Daycivil, ArgumentToOutputAndStatus) {
  verifier(DAYCIVIL, {
                         {{"01/VEND/01"}, "22/09/1792\n", 0},
                         {{"14/THER/02"}, "01/08/1794\n", 0},
                         {{"06/COMP/03"}, "22/09/1795\n", 0},
                         {{"06/COMP/11"}, "23/09/1803\n", 0},
                         {{"11/NIVO/14"}, W + "01/01/1806\n", 0},
                         {{"01/VEND/-3"}, "22/09/1788\n", 0},
                         {{"01/VEND/3"}, "22/09/1794\n", 0},
                         {{" 5/VEND/01"}, "26/09/1792\n", 0},
                         {{"5x/VEND/01"}, "26/09/1792\n", 0},
                         {{"01/VEND/01", "xx"}, "22/09/1792\n", 0},
                         {{"01/VEND/011"}, "format date errone\n", 9},
                         {{"01/VEND/01\n"}, "format date errone\n", 9},
                         {{""}, "erreur de format \n", 1},
                         {{}, "erreur de format \n", 1},
                         {{"01"}, "erreur de format \n", 1},
                         {{"01-VEND/01"}, "erreur de format \n", 1},
                         {{"00-VEND-01"}, "erreur de format \n", 1},
                         {{"00/"}, "Jour hors limites\n", 2},
                         {{"00/VEND/01"}, "Jour hors limites\n", 2},
                         {{"31/VEND/01"}, "Jour hors limites\n", 2},
                         {{"00/VEND-01"}, "Jour hors limites\n", 2},
                         {{"01/"}, "erreur de format \n", 3},
                         {{"01/VEND"}, "erreur de format \n", 3},
                         {{"01/VEND-01"}, "erreur de format \n", 3},
                         {{"01/vend/01"}, "mois republicain inconnu \n", 10},
                         {{"01/XXXX/00"}, "mois republicain inconnu \n", 10},
                         {{"07/COMP/03"}, "jour complementaire inconnu\n", 8},
                         {{"07/COMP/00"}, "jour complementaire inconnu\n", 8},
                         {{"30/COMP/03"}, "jour complementaire inconnu\n", 8},
                         {{"01/VEND/"}, "annee mal ecrite\n", 4},
                         {{"01/VEND/00"}, "annee mal ecrite\n", 4},
                         {{"01/VEND/ab"}, "annee mal ecrite\n", 4},
                         {{"06/COMP/00"}, "annee mal ecrite\n", 4},
                         {{"06/COMP/04"}, "Annee non sextile, jour hors limite\n", 8},
                         // What dayrevo prints outside the span, refused here.
                         {{"06/COMP/-1"}, "Annee non sextile, jour hors limite\n", 8},
                         {{"06/COMP/-5"}, "Annee non sextile, jour hors limite\n", 8},
                         {{"06/COMP/-9"}, "Annee non sextile, jour hors limite\n", 8},
                         {{"06/COMP/15"}, "Annee non sextile, jour hors limite\n", 8},
                     });
}

TEST(Dayrevo, ArgumentToOutputAndStatus) {
  verifier(DAYREVO, {
                        {{"22/09/1792"}, "01/VEND/01\n", 0},
                        {{"22/09/1803"}, "05/COMP/11\n", 0},
                        {{"31/12/1805"}, "10/NIVO/14\n", 0},
                        {{"29/02/1796"}, "10/VENT/04\n", 0},
                        {{"01/01/1792"}, "11/NIVO/00\n", 0},
                        {{"01/01/1806"}, W + "11/NIVO/14\n", 0},
                        {{"01/01/180"}, W + "11/NIVO/-1612\n", 0},
                        {{"01/02/17"}, W + "13/PLUV/-1775\n", 0},
                        {{"01/02/1"}, W + "13/PLUV/-1791\n", 0},
                        {{"01/01/-999"}, W + "12/NIVO/-2791\n", 0},
                        {{"31/12/9999"}, W + "09/NIVO/8208\n", 0},
                        {{"29/02/1900"}, W + "09/VENT/108\n", 0},
                        {{" 1/ 2/1793"}, "13/PLUV/01\n", 0},
                        {{"1 /02/1793"}, "13/PLUV/01\n", 0},
                        {{"22/09/1792", "xx"}, "01/VEND/01\n", 0},
                        {{"01/01/18000"}, "format date errone\n", 9},
                        {{"01/02/1793xyz"}, "format date errone\n", 9},
                        {{""}, "erreur de format \n", 1},
                        {{}, "erreur de format \n", 1},
                        {{"01"}, "erreur de format \n", 1},
                        {{"1/1/1800"}, "erreur de format \n", 1},
                        {{"01-02-1793"}, "erreur de format \n", 1},
                        {{"01/"}, "erreur de format \n", 3},
                        {{"01/02"}, "erreur de format \n", 3},
                        {{"01/1/1800"}, "erreur de format \n", 3},
                        {{"01/02/"}, "annee mal ecrite\n", 4},
                        {{"01/01/0000"}, "annee mal ecrite\n", 4},
                        {{"01/13/1793"}, "mois hors limites \n", 1},
                        {{"01/00/1700"}, W + "mois hors limites \n", 1},
                        {{"30/02/1796"}, "Jour hors limites \n", 2},
                        {{"29/02/1800"}, "Jour hors limites \n", 1},
                        {{"00/01/1793"}, "Jour hors limites \n", 1},
                        {{"32/01/1793"}, "Jour hors limites \n", 1},
                        {{"31/04/1793"}, "Jour hors limites \n", 1},
                        {{"aa/01/1793"}, "Jour hors limites \n", 1},
                        // Outside the span, dates daycivil refuses to take back.
                        {{"22/09/1791"}, W + "06/COMP/-1\n", 0},
                        {{"23/09/1791"}, W + "01/VEND/00\n", 0},
                        {{"22/09/1787"}, W + "06/COMP/-5\n", 0},
                        {{"22/09/1783"}, W + "06/COMP/-9\n", 0},
                        {{"23/09/1807"}, W + "06/COMP/15\n", 0},
                    });
}

struct Lot {
  std::string entree;   // input file bytes
  std::string out;      // standard output
  std::string fichier;  // output file bytes
};

void verifier_lot(const char* programme, const char* suffixe, const std::vector<Lot>& rangs) {
  for (const Lot& l : rangs) {
    SCOPED_TRACE("input '" + l.entree + "'");
    Dossier d;
    ecrire_fichier(d.chemin("dates"), l.entree);
    const Execution e = lancer(programme, {d.chemin("dates")});
    EXPECT_EQ(e.out, l.out);
    EXPECT_EQ(e.statut, 0);
    EXPECT_EQ(e.err, "");
    EXPECT_EQ(lire_fichier(d.chemin("dates") + suffixe), l.fichier);
  }
}

// What both batch programs settle alike about reads, whatever their layout.
TEST(Batch, ReadingRules) {
  const std::string bon[] = {"01/VEND/01", "22/09/1792"};
  const std::string converti[] = {"22/09/1792", "01/VEND/01"};
  const char* programmes[] = {BATCHCIVIL, BATCHREVO};
  const char* suffixes[] = {".Greg", ".rep"};
  for (int i = 0; i < 2; ++i) {
    const std::string& b = bon[i];
    const std::string& c = converti[i];
    verifier_lot(
        programmes[i], suffixes[i],
        {
            {"", "", ""},
            {"\n", "ligne 1 vide\n", "\n"},
            {b + "\n" + b, "format date errone ligne 2\n", c + "\n\n"},
            {b + "x", "", c + "\n"},
            {b + "5", "", c + "\n"},  // the 11th byte is never part of the year
            {"5", "ligne 1 vide\n", "\n"},
            {"5\n", "format date errone ligne 1\n", "\n"},  // two bytes: not empty
            {b + "\r\n" + b + "\n", "format date errone ligne 1\n", "\n" + c + "\n"},
            {b + "abcd\n", "format date errone ligne 1\nligne 2 vide\n", "\n\n"},
            {"xxxxxxxxxxxxxx" + b + "\n", "format date errone ligne 1\n", "\n" + c + "\n"},
            {b + std::string(1, '\0') + "\n", "format date errone ligne 1\n", "\n"},
            {std::string(1, '\0') + b + "\n", "ligne 1 vide\n", "\n"},
            {b.substr(0, 1) + std::string(1, '\0') + b.substr(2) + "\n", "ligne 1 vide\n", "\n"},
            {"\n\n" + b + "\n" + b.substr(0, 9) + "\n" + b + "\n",
             "ligne 1 vide\nligne 2 vide\nformat date errone ligne 4\n",
             "\n\n" + c + "\n\n" + c + "\n"},
            // A line of eleven bytes when ten are left of the 128 KiB buffer.
            {fois("\n", 8) + fois(b + "\n", 11915),
             "ligne 1 vide\nligne 2 vide\nligne 3 vide\nligne 4 vide\nligne 5 vide\n"
             "ligne 6 vide\nligne 7 vide\nligne 8 vide\n",
             fois("\n", 8) + fois(c + "\n", 11915)},
        });
  }
}

TEST(Batchcivil, LinesToMessagesAndOutput) {
  verifier_lot(BATCHCIVIL, ".Greg",
               {
                   {"14/THER/02\n06/COMP/03\n", "", "01/08/1794\n22/09/1795\n"},
                   {" 5/VEND/01\n", "", "26/09/1792\n"},
                   {"01-VEND/01\n", "erreur de format ligne 1\n", "\n"},
                   {"45-XXXX-00\n", "erreur de format ligne 1\n", "\n"},
                   {"00/VEND/01\n", "Jour hors limites ligne 1 \n", "\n"},
                   {"31/VEND/01\n", "Jour hors limites ligne 1 \n", "\n"},
                   {"45/XXXX/01\n", "Jour hors limites ligne 1 \n", "\n"},
                   {"01/VEND-01\n", "erreur de format ligne 1\n", "\n"},
                   {"01/vend/01\n", "mois republicain inconnu ligne 1 \n", "\n"},
                   {"07/COMP/03\n", "jour complementaire inconnu ligne 1\n", "\n"},
                   {"01/VEND/00\n", "annee mal ecrite ligne 1\n", "\n"},
                   {"01/VEND/ab\n", "annee mal ecrite ligne 1\n", "\n"},
                   {"06/COMP/04\n", "Annee non sextile, jour hors limite ligne 1\n", "\n"},
                   {"01/VEND/-1\n", "date républicaine hors limite ligne 1 \n", "\n"},
                   {"01/VEND/15\n11/NIVO/14\n",
                    "date républicaine hors limite ligne 1, le résultat peut être erroné \n"
                    "date républicaine hors limite ligne 2, le résultat peut être erroné \n",
                    "\n\n"},
               });
}

TEST(Batchrevo, LinesToMessagesAndOutput) {
  verifier_lot(
      BATCHREVO, ".rep",
      {
          {"22/09/1792\n14/07/1794\n31/12/1805\n", "", "01/VEND/01\n26/MESS/02\n10/NIVO/14\n"},
          {"29/02/1796\n29/02/1804\n", "", "10/VENT/04\n09/VENT/12\n"},
          // More messages, written as lines, than standard output's buffer holds.
          {fois("01/13/1795\n", 10000), fois("mois hors limites \n", 10000), fois("\n", 10000)},
          {" 1/ 2/1793\n", "", "13/PLUV/01\n"},
          {"01-01/1795\n", "erreur de format ligne 1\n", "\n"},
          {"01/01-1795\n", "erreur de format ligne 1\n", "\n"},
          {"01/01/0000\n01/01/abcd\n", "annee mal ecrite ligne 1\nannee mal ecrite ligne 2\n",
           "\n\n"},
          {"01/01/1806\n31/12/1791\n01/13/1806\n",
           "date républicaine hors limite ligne 1\ndate républicaine hors limite ligne 2\n"
           "date républicaine hors limite ligne 3\n",
           "\n\n\n"},
          {"01/13/1795\n01/00/1795\n32/13/1795\n",
           "mois hors limites \nmois hors limites \nmois hors limites \n", "\n\n\n"},
          {"29/02/1800\n29/02/1801\n31/04/1795\n00/01/1795\n",
           "Jour hors limites ligne 1\nJour hors limites ligne 2\nJour hors limites ligne 3\n"
           "Jour hors limites ligne 4\n",
           "\n\n\n\n"},
          {"01/01/1792\n21/09/1792\n",
           "date républicaine hors limite ligne1\ndate républicaine hors limite ligne2\n", "\n\n"},
      });
}

// Every Republican date of the span, through batchcivil then back through
// batchrevo, comes out as it went in.
TEST(Batch, RoundTripOverTheWholeSpan) {
  const char* mois[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM",
                        "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};
  std::string dates;
  int n = 0;
  for (int an = 1; an <= 14; ++an)
    for (int m = 1; m <= 13; ++m) {
      const int jours = m < 13 ? 30 : (an == 3 || an == 7 || an == 11) ? 6 : 5;
      for (int j = 1; j <= jours && !(an == 14 && (m > 4 || (m == 4 && j > 10))); ++j, ++n) {
        char l[16];
        std::snprintf(l, sizeof l, "%02d/%s/%02d\n", j, mois[m - 1], an);
        dates += l;
      }
    }
  ASSERT_EQ(n, 4848);
  Dossier d;
  ecrire_fichier(d.chemin("rep"), dates);
  const Execution aller = lancer(BATCHCIVIL, {d.chemin("rep")});
  ASSERT_EQ(aller.out, "");
  ASSERT_EQ(aller.statut, 0);
  const Execution retour = lancer(BATCHREVO, {d.chemin("rep.Greg")});
  ASSERT_EQ(retour.out, "");
  ASSERT_EQ(retour.statut, 0);
  EXPECT_EQ(lire_fichier(d.chemin("rep.Greg.rep")), dates);
}

const std::string source_absente = "Le fichier source est inexistant\n";
const std::string image_impossible = "Le fichier image ne peut etre ecrit\n";

// Files that cannot be opened, read or written, for both batch programs.
TEST(Batch, FileFaults) {
  const std::pair<const char*, std::string> programmes[] = {{BATCHCIVIL, ".Greg"},
                                                            {BATCHREVO, ".rep"}};
  for (const auto& [programme, suffixe] : programmes) {
    SCOPED_TRACE(programme);
    Dossier d;
    {  // no argument, a missing input, a directory: nothing is created
      EXPECT_EQ(lancer(programme, {}).out, source_absente);
      EXPECT_EQ(lancer(programme, {}).statut, 2);
      const Execution e = lancer(programme, {d.chemin("absent")});
      EXPECT_EQ(e.out, source_absente);
      EXPECT_EQ(e.statut, 2);
      EXPECT_FALSE(std::filesystem::exists(d.chemin("absent") + suffixe));
      std::filesystem::create_directory(d.chemin("rep"));
      const Execution r = lancer(programme, {d.chemin("rep")});
      EXPECT_EQ(r.out, source_absente);
      EXPECT_EQ(r.statut, 2);
      EXPECT_FALSE(std::filesystem::exists(d.chemin("rep") + suffixe));
    }
    {  // an output that cannot be created
      ecrire_fichier(d.chemin("a"), "\n");
      std::filesystem::create_directory(d.chemin("a") + suffixe);
      const Execution e = lancer(programme, {d.chemin("a")});
      EXPECT_EQ(e.out, image_impossible);
      EXPECT_EQ(e.statut, 3);
    }
    {  // an output on a full device: the per-line messages, then the failure
      ecrire_fichier(d.chemin("b"), "\n\n");
      std::filesystem::create_symlink("/dev/full", d.chemin("b") + suffixe);
      const Execution e = lancer(programme, {d.chemin("b")});
      EXPECT_EQ(e.out, "ligne 1 vide\nligne 2 vide\n" + image_impossible);
      EXPECT_EQ(e.statut, 3);
    }
    {  // a new output file has the mode a shell's > gives: 0666 less the umask
      ecrire_fichier(d.chemin("m"), "\n");
      EXPECT_EQ(lancer(programme, {d.chemin("m")}).statut, 0);
      const mode_t masque = umask(0);
      umask(masque);
      struct stat st {};
      ASSERT_EQ(stat((d.chemin("m") + suffixe).c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, static_cast<mode_t>(0666 & ~masque));
    }
    {  // an existing output longer than the new one is wholly replaced
      ecrire_fichier(d.chemin("c"), "\n");
      ecrire_fichier(d.chemin("c") + suffixe, std::string(100000, 'x'));
      EXPECT_EQ(lancer(programme, {d.chemin("c")}).statut, 0);
      EXPECT_EQ(lire_fichier(d.chemin("c") + suffixe), "\n");
    }
    {  // an input path far longer than any fixed buffer would hold
      std::string long_dir = d.chemin("");
      for (int i = 0; i < 6; ++i) long_dir += std::string(100, 'd' + static_cast<char>(i)) + "/";
      std::filesystem::create_directories(long_dir);
      ecrire_fichier(long_dir + "x", "\n");
      const Execution e = lancer(programme, {long_dir + "x"});
      EXPECT_EQ(e.out, "ligne 1 vide\n");
      EXPECT_EQ(e.statut, 0);
      EXPECT_EQ(lire_fichier(long_dir + "x" + suffixe), "\n");
    }
  }
}

// The report for the years of a file: each listed year seen, the others in
// between missing, with no year 0.
std::string rapport(std::vector<int> vues) {
  if (vues.empty()) return "année Max 0\nannée Min 10000\nfini \n";
  int min = 10000, max = 0;
  for (int a : vues) min = std::min(min, a), max = std::max(max, a);
  std::string r;
  for (int a = min; a <= max; ++a)
    if (a != 0 && std::find(vues.begin(), vues.end(), a) == vues.end())
      r += "année manquante " + std::to_string(a) + "\n";
  return r + "année Max " + std::to_string(max) + "\nannée Min " + std::to_string(min) +
         "\nfini \n";
}

struct Scan {
  std::string entree;
  std::string messages;
  std::vector<int> vues;
};

// The last day of every month of the year and the day after, as
// std::chrono has them: the full Gregorian rule.
Scan fins(int an) {
  using namespace std::chrono;
  Scan s{"", "", {an}};
  for (unsigned m = 1; m <= 12; ++m) {
    const auto fin = static_cast<unsigned>(year_month_day_last{year{an} / month{m} / last}.day());
    char l[32];
    std::snprintf(l, sizeof l, "%02u/%02u/%04d\n%02u/%02u/%04d\n", fin, m, an, fin + 1, m, an);
    s.entree += l;
    s.messages += "Jour hors limites ligne " + std::to_string(2 * m) + "\n";
  }
  return s;
}

TEST(Yearscan, FileToMessagesAndReport) {
  const std::vector<Scan> rangs = {
      fins(1900),
      fins(2000),
      fins(1901),
      {"", "", {}},
      {"01/01/1850\n01/01/1853\n", "", {1850, 1853}},
      {"01/01/1853\n01/01/1850\n01/01/1853\n", "", {1850, 1853}},
      {"30/02/1852\n", "Jour hors limites ligne 1\n", {1852}},
      {"29/02/1900\n29/02/1851\n29/02/2000\n29/02/1852\n31/04/1850\n00/05/1850\n31/05/1850\n",
       "Jour hors limites ligne 1\nJour hors limites ligne 2\nJour hors limites ligne 5\n"
       "Jour hors limites ligne 6\n",
       {1900, 1851, 2000, 1852, 1850}},
      {"15/13/1850\n15/00/1850\n15/-1/1850\n",
       "mois hors limites 1\nmois hors limites 2\nmois hors limites 3\n",
       {1850}},
      {"15-03/1850\n15/03-1851\n15/3/1852\n1/03/1853\n01/01/1860\n",
       "erreur de format ligne 1\nerreur de format ligne 2\nerreur de format ligne 3\n"
       "erreur de format ligne 4\n",
       {1860}},
      {"01/01/1850 \n01/01/1851\r\n01/01/1852\n",
       "format date errone ligne 1\nformat date errone ligne 2\n",
       {1852}},
      {"\n01/01/1850abcd\n", "ligne vide 1\nformat date errone ligne 2\nligne vide 3\n", {}},
      {"01/01/1850\n01/01/1852", "", {1850, 1852}},
      {"01/01/1850\n01/01/1852x", "", {1850, 1852}},
      {"01/01/1850\n01/01/18525", "", {1850, 1852}},
      {"5\n", "erreur de format ligne 1\n", {}},
      {"01/01/1850\n01/01/18\n", "", {18, 1850}},
      {"01/01/2498\n01/01/2500\n", "", {2498, 2500}},
      {"01/01/1199\n01/01/1201\n", "", {1199, 1201}},
      {"01/01/9999\n01/01/9997\n", "", {9997, 9999}},
      {"01/01/-999\n01/01/-997\n01/01/0002\n", "", {-999, -997, 2}},
      {"01/01/abcd\n", "annee mal ecrite ligne 1\n", {}},
      {"01/01/1850\n01/01/0000\n01/01/1852\n", "annee mal ecrite ligne 2\n", {1850, 1852}},
      {"01/01/1850\n01/\n01/0\n01/01\n",
       "erreur de format ligne 2\nerreur de format ligne 3\n"
       "erreur de format ligne 4\n",
       {1850}},
      {"01/01/\n", "annee mal ecrite ligne 1\n", {}},
      {"15/06/1850" + std::string(1, '\0') + "\n", "", {1850}},
  };
  for (const Scan& s : rangs) {
    SCOPED_TRACE("input '" + s.entree + "'");
    Dossier d;
    ecrire_fichier(d.chemin("dates"), s.entree);
    const Execution e = lancer(YEARSCAN, {d.chemin("dates")});
    EXPECT_EQ(e.out, s.messages + rapport(s.vues));
    EXPECT_EQ(e.statut, 0);
    EXPECT_EQ(e.err, "");
  }
}

TEST(Yearscan, FileFaults) {
  Dossier d;
  std::filesystem::create_directory(d.chemin("rep"));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {d.chemin("absent")}, {d.chemin("rep")}}) {
    const Execution e = lancer(YEARSCAN, args);
    EXPECT_EQ(e.out, source_absente);
    EXPECT_EQ(e.statut, 2);
  }
}

}  // namespace

namespace {

// Standard output that cannot be written ends every program with status 5,
// unless a file program's status says a file is incomplete; what could still
// be done is done.
TEST(Faults, StandardOutputOnAFullDevice) {
  Dossier d;
  ecrire_fichier(d.chemin("rep"), "01/VEND/01\n\n");
  ecrire_fichier(d.chemin("greg"), "22/09/1792\n\n");
  const std::vector<std::pair<const char*, std::vector<std::string>>> appels = {
      {DAYCIVIL, {"01/VEND/01"}},      {DAYCIVIL, {"31/VEND/01"}},
      {DAYREVO, {"22/09/1792"}},       {DAYREVO, {"01/01/1806"}},
      {BATCHCIVIL, {d.chemin("rep")}}, {BATCHREVO, {d.chemin("greg")}},
      {YEARSCAN, {d.chemin("greg")}},  {BATCHCIVIL, {d.chemin("absent")}}};
  for (const auto& [programme, args] : appels) {
    SCOPED_TRACE(std::string(programme) + " " + args[0]);
    const Execution e = lancer(programme, args, "/dev/full");
    EXPECT_EQ(e.statut, args[0].ends_with("absent") ? 2 : 5);
    EXPECT_EQ(e.err, "");
  }
  EXPECT_EQ(lire_fichier(d.chemin("rep.Greg")), "22/09/1792\n\n");
  EXPECT_EQ(lire_fichier(d.chemin("greg.rep")), "01/VEND/01\n\n");

  // Nothing to say, nothing lost.
  ecrire_fichier(d.chemin("bon"), "01/VEND/01\n");
  EXPECT_EQ(lancer(BATCHCIVIL, {d.chemin("bon")}, "/dev/full").statut, 0);
}

// Runs a program as an unprivileged user, for the faults that root never
// meets.
Execution lancer_sans_droits(const std::string& programme, const std::vector<std::string>& args) {
  return lancer(programme, args, Milieu{.sans_droits = true});
}

// A file that opens but whose reading fails: the process's own memory, read
// from address 0, answers with an I/O error.
TEST(Faults, ReadErrorAfterOpening) {
  Dossier d;
  std::filesystem::create_symlink("/proc/self/mem", d.chemin("x"));
  for (const char* programme : {BATCHCIVIL, BATCHREVO, YEARSCAN}) {
    SCOPED_TRACE(programme);
    const Execution e = lancer(programme, {d.chemin("x")});
    EXPECT_EQ(e.out, source_absente);
    EXPECT_EQ(e.statut, 2);
  }
}

TEST(Faults, InputNotReadableOutputDirectoryNotWritable) {
  Dossier d;
  chmod(d.chemin("").c_str(), 0755);
  const std::string ouvert = d.chemin("ouvert"), ferme = d.chemin("ferme");
  std::filesystem::create_directory(ouvert);
  std::filesystem::create_directory(ferme);
  chmod(ouvert.c_str(), 0777);
  ecrire_fichier(ouvert + "/secret", "01/VEND/01\n");
  chmod((ouvert + "/secret").c_str(), 0);
  ecrire_fichier(ferme + "/dates", "01/VEND/01\n");
  chmod((ferme + "/dates").c_str(), 0644);
  chmod(ferme.c_str(), 0555);
  for (const char* programme : {BATCHCIVIL, BATCHREVO, YEARSCAN})
    if (const auto r = empechement_sans_droits(programme, d.chemin("")); !r.empty())
      GTEST_SKIP() << r;

  for (const char* programme : {BATCHCIVIL, BATCHREVO, YEARSCAN}) {
    SCOPED_TRACE(programme);
    const auto e = lancer_sans_droits(programme, {ouvert + "/secret"});
    EXPECT_EQ(e.out, source_absente);
    EXPECT_EQ(e.statut, 2);
  }
  for (const char* programme : {BATCHCIVIL, BATCHREVO}) {
    SCOPED_TRACE(programme);
    const auto e = lancer_sans_droits(programme, {ferme + "/dates"});
    EXPECT_EQ(e.out, image_impossible);
    EXPECT_EQ(e.statut, 3);
  }
  EXPECT_FALSE(std::filesystem::exists(ouvert + "/secret.Greg"));
  EXPECT_FALSE(std::filesystem::exists(ferme + "/dates.Greg"));
}

// Two nodes of one block device are one file: the output node is refused
// before a byte goes through it. A loop device over a scratch file stands
// in for a disk.
TEST(Faults, TwoNodesOfOneBlockDevice) {
  if (geteuid() != 0) GTEST_SKIP() << "device nodes and loop devices need root";
  Dossier d;
  const std::string disque = d.chemin("disque"), in = d.chemin("in");
  const std::string entree = fois("01/VEND/01\n", 46) + "\n\n\n\n\n\n";  // one 512-byte sector
  ecrire_fichier(disque, entree);
  const int controle = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
  const int n = controle < 0 ? -1 : ioctl(controle, LOOP_CTL_GET_FREE);
  const int boucle = n < 0 ? -1 : open(("/dev/loop" + std::to_string(n)).c_str(), O_RDWR);
  const int f = open(disque.c_str(), O_RDWR | O_CLOEXEC);
  if (controle >= 0) close(controle);
  if (boucle < 0 || ioctl(boucle, LOOP_SET_FD, f) != 0) GTEST_SKIP() << "no loop device to be had";
  close(f);
  struct stat st {};
  fstat(boucle, &st);
  const bool noeuds = mknod(in.c_str(), S_IFBLK | 0600, st.st_rdev) == 0 &&
                      mknod((in + ".Greg").c_str(), S_IFBLK | 0600, st.st_rdev) == 0;
  const int essai = open(in.c_str(), O_RDONLY);
  if (essai >= 0) close(essai);
  if (noeuds && essai >= 0) {
    const Execution e = lancer(BATCHCIVIL, {in});
    EXPECT_EQ(e.out, image_impossible);
    EXPECT_EQ(e.statut, 3);
  }
  fsync(boucle);  // what went through a node is in the device's cache until then
  ioctl(boucle, LOOP_CLR_FD, 0);
  close(boucle);
  if (!noeuds || essai < 0) GTEST_SKIP() << "no device node works in " << d.chemin("");
  EXPECT_EQ(lire_fichier(disque), entree);
}

}  // namespace

namespace {

// n dates, each followed by an empty read when faulty is set: enough of
// them makes more messages than a pipe or the output buffer holds.
std::string lignes(const std::string& date, int n, bool faulty) {
  std::string t;
  for (int i = 0; i < n; ++i) t += date + (faulty ? "\n\n" : "\n");
  return t;
}

// What a run prints for lignes(date, n, true): the empty reads' messages.
std::string vides(int n) {
  std::string t;
  for (int i = 1; i <= n; ++i) t += "ligne " + std::to_string(2 * i) + " vide\n";
  return t;
}

// Whether two texts are equal, else where they part: a diff of two
// half-megabyte texts would take the test minutes.
testing::AssertionResult memes(const std::optional<std::string>& a, const std::string& b) {
  if (a == b) return testing::AssertionSuccess();
  if (!a) return testing::AssertionFailure() << "no such file";
  std::size_t i = 0;
  while (i < a->size() && i < b.size() && (*a)[i] == b[i]) ++i;
  return testing::AssertionFailure()
         << "sizes " << a->size() << " and " << b.size() << ", first difference at byte " << i
         << ": '" << a->substr(i, 40) << "' for '" << b.substr(i, 40) << "'";
}

struct Panne {
  const char* cas;
  const char* programme;
  std::vector<std::string> args;  // none: the input file's path
  std::string entree;             // the input file "in", left as it is by every run
  Milieu milieu;                  // stdout_vers and fifo name files beside "in"
  std::string out;
  int statut;
  std::optional<std::string> image;  // the output file, where it must be whole
  void (*preparer)(const std::string& in) = nullptr;
};

// What real systems do to a process: links that make two names one file,
// readers that go away, closed descriptors, limits, slow and non-blocking
// streams, terminals. No run may change its input, leave a cut output file
// behind a status of 0, or die of a signal.
TEST(Faults, WhatRealSystemsDo) {
  const std::string rep = "01/VEND/01\n\n", rep_image = "22/09/1792\n\n";
  const std::string greg = "22/09/1792\n\n", greg_image = "01/VEND/01\n\n";
  const std::string beaucoup = lignes("22/09/1792", 20000, true);
  const std::string beaucoup_image = lignes("01/VEND/01", 20000, true);
  const std::string rapport = "ligne vide 2\nannée Max 1792\nannée Min 1792\nfini \n";
  const long pile = 200 * 1024;
  const std::string ferme = FERMETURE_ECHOUE;
  const std::vector<Panne> rangs = {
      {"output is a symbolic link to the input",
       BATCHCIVIL,
       {},
       rep,
       {},
       image_impossible,
       3,
       rep,
       [](const std::string& in) { std::filesystem::create_symlink("in", in + ".Greg"); }},
      {"output is a hard link to the input",
       BATCHREVO,
       {},
       greg,
       {},
       image_impossible,
       3,
       greg,
       [](const std::string& in) { std::filesystem::create_hard_link(in, in + ".rep"); }},
      {"standard output is the output file",
       BATCHCIVIL,
       {},
       rep,
       {.stdout_vers = "in.Greg"},
       "",
       3,
       image_impossible},
      {"standard output appends to the input",
       BATCHCIVIL,
       {},
       rep,
       {.stdout_vers = "in", .ajout = true},
       "",
       5,
       rep_image},
      {"standard output appends to the input",
       YEARSCAN,
       {},
       greg,
       {.stdout_vers = "in", .ajout = true},
       "",
       5,
       std::nullopt},
      {"standard output appends to the input, the output cannot be created",
       BATCHREVO,
       {},
       greg,
       {.stdout_vers = "in", .ajout = true},
       "",
       3,
       std::nullopt,
       [](const std::string& in) { std::filesystem::create_directory(in + ".rep"); }},
      {"standard output is the input, which is also the output under another name",
       BATCHCIVIL,
       {},
       rep,
       {.stdout_vers = "in"},
       "",
       3,
       rep,
       [](const std::string& in) { std::filesystem::create_hard_link(in, in + ".Greg"); }},
      {"standard output appends to an input that cannot be read",
       YEARSCAN,
       {},
       greg,
       {.stdout_vers = "in", .ajout = true, .sans_droits = true},
       "",
       2,
       std::nullopt,
       [](const std::string& in) {
         chmod(std::filesystem::path(in).parent_path().c_str(), 0755);
         chmod(in.c_str(), 0222);
       }},
      {"a character device is no one file: /dev/null read and written",
       YEARSCAN,
       {"/dev/null"},
       "",
       {.stdout_vers = "/dev/null"},
       "",
       0,
       std::nullopt},
      {"file-size limit, standard output closed",
       BATCHREVO,
       {},
       lignes("22/09/1792", 20000, false),
       {.fermes = {1}, .limite_fichier = 65536},
       "",
       3,
       std::nullopt},
      {"reader gone, an input without end",
       YEARSCAN,
       {"/dev/zero"},
       "",
       {.lecteur_parti = true},
       "",
       5,
       std::nullopt},
      {"reader gone", BATCHREVO, {}, beaucoup, {.lecteur_parti = true}, "", 5, beaucoup_image},
      {"reader gone", BATCHCIVIL, {}, rep, {.lecteur_parti = true}, "", 5, rep_image},
      {"reader gone", YEARSCAN, {}, greg, {.lecteur_parti = true}, "", 5, std::nullopt},
      {"reader gone", DAYCIVIL, {"01/VEND/01"}, "", {.lecteur_parti = true}, "", 5, std::nullopt},
      {"reader gone", DAYREVO, {"22/09/1792"}, "", {.lecteur_parti = true}, "", 5, std::nullopt},
      {"standard descriptors closed",
       BATCHREVO,
       {},
       beaucoup,
       {.fermes = {0, 1, 2}},
       "",
       5,
       beaucoup_image},
      {"file-size limit",
       BATCHREVO,
       {},
       lignes("22/09/1792", 20000, false),
       {.limite_fichier = 65536},
       image_impossible,
       3,
       std::nullopt},
      {"small stack", BATCHCIVIL, {}, rep, {.limite_pile = pile}, "ligne 2 vide\n", 0, rep_image},
      {"close of standard output fails",
       DAYCIVIL,
       {"01/VEND/01"},
       "",
       {.precharge = ferme},
       "22/09/1792\n",
       5,
       std::nullopt},
      {"close of standard output fails",
       BATCHCIVIL,
       {},
       rep,
       {.precharge = ferme},
       "ligne 2 vide\n",
       5,
       rep_image},
      {"close of standard output fails",
       YEARSCAN,
       {},
       greg,
       {.precharge = ferme},
       rapport,
       5,
       std::nullopt},
      {"close of standard output fails, the output cannot be created",
       BATCHREVO,
       {},
       greg,
       {.precharge = ferme},
       image_impossible,
       3,
       std::nullopt,
       [](const std::string& in) { std::filesystem::create_directory(in + ".rep"); }},
      {"small stack", BATCHREVO, {}, greg, {.limite_pile = pile}, "ligne 2 vide\n", 0, greg_image},
      {"small stack", YEARSCAN, {}, greg, {.limite_pile = pile}, rapport, 0, std::nullopt},
      {"non-blocking standard output",
       BATCHREVO,
       {},
       beaucoup,
       {.non_bloquant = true},
       vides(20000),
       0,
       beaucoup_image},
      {"terminal, slow input",
       BATCHCIVIL,
       {},
       "",
       {.terminal = true,
        .fifo = "in",
        .avant = "\n",
        .attendu = "ligne 1 vide\n",
        .apres = "01/VEND/01\n"},
       "ligne 1 vide\n",
       0,
       "\n22/09/1792\n"},
      {"terminal, slow input: fourteen bytes make a read without waiting for more",
       BATCHCIVIL,
       {},
       "",
       {.terminal = true,
        .fifo = "in",
        .avant = "01/VEND/01xxxx",
        .attendu = "format date errone ligne 1\n",
        .apres = "\n"},
       "format date errone ligne 1\nligne 2 vide\n",
       0,
       "\n\n"},
  };
  for (const Panne& p : rangs) {
    SCOPED_TRACE(std::string(p.cas) + ": " + p.programme);
    Dossier d;
    const std::string in = d.chemin("in");
    if (p.milieu.fifo.empty())
      ecrire_fichier(in, p.entree);
    else
      ASSERT_EQ(mkfifo(in.c_str(), 0600), 0);
    if (p.preparer != nullptr) p.preparer(in);
#ifdef FERMETURE_SANS_EFFET
    if (!p.milieu.precharge.empty()) {
      std::printf("row skipped: programs linked statically take no LD_PRELOAD\n");
      continue;
    }
#endif
    if (p.milieu.sans_droits) {
      if (const auto r = empechement_sans_droits(p.programme, d.chemin("")); !r.empty()) {
        std::printf("row skipped: %s\n", r.c_str());
        continue;
      }
    }
    Milieu m = p.milieu;
    if (!m.stdout_vers.empty() && m.stdout_vers[0] != '/') m.stdout_vers = d.chemin(m.stdout_vers);
    if (!m.fifo.empty()) m.fifo = d.chemin(m.fifo);
    const Execution e = lancer(p.programme, p.args.empty() ? std::vector{in} : p.args, m);
    EXPECT_TRUE(memes(e.out, p.out));
    EXPECT_EQ(e.statut, p.statut);
    EXPECT_EQ(e.err, "");
    if (p.milieu.fifo.empty()) {
      chmod(in.c_str(), 0644);  // a row may have closed it to a user who is not root
      EXPECT_TRUE(memes(lire_fichier(in), p.entree));
    }
    if (!m.attendu.empty()) {
      EXPECT_TRUE(e.attendu_vu) << "shown only at the end";
    }
    const std::string suffixe = p.programme == std::string(BATCHCIVIL) ? ".Greg" : ".rep";
    if (p.image) {
      EXPECT_TRUE(memes(lire_fichier(in + suffixe), *p.image));
    }
  }
}

}  // namespace
