// The fast path and the plain path of each file program give the same bytes:
// every date of the span and its neighbours, in files larger than a block.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "batchcivil/batchcivil.hpp"
#include "batchrevo/batchrevo.hpp"
#include "calendar/textes.hpp"
#include "fichiers/fichiers.hpp"
#include "rapide/carte.hpp"
#include "rapide/larges.hpp"
#include "run.hpp"
#include "yearscan/yearscan.hpp"

namespace {

using Programme = int (*)(const char*, ecriture::Sortie&, bool);

// Status, standard output and output file of one run.
std::tuple<int, std::string, std::optional<std::string>> passer(Programme p, const std::string& in,
                                                                const char* suffixe, bool rapide) {
  static std::array<char, ecriture::bloc_ecriture> tampon;
  const int fd = memfd_create("sortie", 0);
  ecriture::Sortie s(dup(fd), tampon);
  const int statut = fichiers::terminer_fichier(s, p(in.c_str(), s, rapide));
  std::string out(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
  EXPECT_EQ(pread(fd, out.data(), out.size(), 0), static_cast<ssize_t>(out.size()));
  close(fd);
  return {statut, out, lire_fichier(in + suffixe)};
}

TEST(Rapide, SameBytesAsThePlainPath) {
  // Every day from a year before the span to a year after, each as it is,
  // with its day one past (32/01, 31/VEND), with one character changed, and
  // a line of another shape.
  std::string rep, greg;
  for (std::int32_t n = -400; n < 5250; ++n) {
    for (const bool r : {true, false}) {
      std::string t(
          calendar::texte(r ? calendar::texte_republicain(n) : calendar::texte_gregorien(n)));
      std::string& f = r ? rep : greg;
      f += t + "\n";
      t[1] = static_cast<char>(t[1] + 1);
      f += t + "\n";
      t[static_cast<std::size_t>(n + 400) % 10] = static_cast<char>('0' + (n + 400) % 13);
      f += t + "\n";
      // And by turns a line of another length, or with a NUL.
      const std::string_view autres[] = {"",
                                         "1",
                                         "22/09/1792xxxx",
                                         "22-09/1792\r",
                                         std::string_view("\0", 1),
                                         "2/09/1792",
                                         "22/09/0000",
                                         "22/09/0001",
                                         "06/COMP/35",
                                         std::string_view("22/09/\0"
                                                          "792",
                                                          10)};
      f.append(autres[static_cast<std::size_t>(n + 400) % std::size(autres)]) += "\n";
    }
  }
  // Without its NULs, the file is one stretch for yearscan's wide fast path.
  std::string net = greg;
  std::replace(net.begin(), net.end(), '\0', '#');
  const std::tuple<Programme, const char*, const std::string*> programmes[] = {
      {batchcivil, ".Greg", &rep},
      {batchrevo, ".rep", &greg},
      {yearscan, "", &greg},
      {yearscan, "", &net}};
  const std::int64_t seuil = rapide::carte::seuil;
  const std::size_t vue = rapide::carte::vue;
  rapide::carte::vue = 0;  // the smallest views, so that the file has many
  for (const auto& [p, suffixe, texte] : programmes) {
    Dossier d;
    ecrire_fichier(d.chemin("in"), *texte);
    // yearscan's wide fast path, where this machine runs it, and the other;
    // each through views of the file, and through its block.
    for (const int k : {0, 1, 2, 3}) {
      if (k > 0 && p != yearscan) continue;
      rapide::larges::permises = k < 2;
      rapide::carte::seuil = k % 2 == 0 ? 0 : INT64_MAX;
      EXPECT_EQ(passer(p, d.chemin("in"), suffixe, true), passer(p, d.chemin("in"), suffixe, false))
          << suffixe << (k < 2 ? "" : " (narrow)") << (k % 2 == 0 ? " (views)" : "");
    }
  }
  rapide::larges::permises = true;
  rapide::carte::seuil = seuil;
  rapide::carte::vue = vue;
}

// The wide fast path numbers its messages from any line: from line 0, and
// from others, the digits of some worked out eight at a time, of others not.
TEST(Rapide, WideLineNumbers) {
  if (!rapide::larges::disponibles()) GTEST_SKIP() << "no wide fast path on this processor";
  constexpr rapide::Messages messages = {"a%d\n", "b%d\n", "c%d\n", "d%d\n", "e%d\n", "f%d\n"};
  std::string texte;
  for (int i = 0; i < 3000; ++i) texte += i % 3 == 0 ? "\n" : i % 3 == 1 ? "31/04/1795\n" : "x\n";
  const auto ecrire = [&](std::int64_t ligne) {
    static std::array<char, ecriture::bloc_ecriture> tampon;
    const int fd = memfd_create("sortie", 0);
    ecriture::Sortie out(fd, tampon);
    std::array<bool, 11000> vues{};
    const char* p = texte.data();
    rapide::larges::annees(p, texte.data() + texte.size(), vues.data(), out, messages, ligne);
    ecriture::vider(out);
    std::string t(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(fd, t.data(), t.size(), 0), static_cast<ssize_t>(t.size()));
    close(fd);
    return t;
  };
  const std::string depuis_0 = ecrire(0);
  ASSERT_GT(std::count(depuis_0.begin(), depuis_0.end(), '\n'), 2900);
  // Up to 10^7 and past it; up to 10^8 and past it, and 2^32.
  for (const std::int64_t premiere :
       {std::int64_t{9999000}, std::int64_t{99999000}, std::int64_t{4294966000}}) {
    std::string attendu;
    for (std::size_t i = 0, j; i < depuis_0.size(); i = j + 1) {
      j = depuis_0.find('\n', i);
      attendu += depuis_0[i] +
                 std::to_string(std::stoll(depuis_0.substr(i + 1, j - i - 1)) + premiere) + "\n";
    }
    EXPECT_EQ(ecrire(premiere), attendu) << premiere;
  }
}

// A file cut short under its view, inside a page (read as zeros) and at one
// (a load from it fails with SIGBUS): the reads before the cut are taken,
// then the reader gives up in error, and the process lives on.
TEST(Rapide, AFileCutShortUnderItsViewIsAReadError) {
  if (!rapide::carte::ici) GTEST_SKIP() << "files are read by blocks on this processor";
  constexpr rapide::Messages messages = {"%d\n", "%d\n", "%d\n", "%d\n", "%d\n", "%d\n"};
  const std::int64_t seuil = rapide::carte::seuil;
  const std::size_t vue = rapide::carte::vue;
  rapide::carte::seuil = 0;
  rapide::carte::vue = 0;
  const std::pair<off_t, std::int64_t> coupes[] = {{9000, 818}, {8192, 744}};
  for (const auto& [coupe, lues] : coupes) {
    Dossier d;
    ecrire_fichier(d.chemin("in"), [] {
      std::string t;
      for (int i = 0; i < 6000; ++i) t += "22/09/1793\n";
      return t;
    }());
    const int fd = open(d.chemin("in").c_str(), O_RDWR);
    static lecture::Bloc bloc;
    lecture::Lecteur l(fd, bloc);
    static std::array<char, ecriture::bloc_ecriture> tampon;
    ecriture::Sortie out(open("/dev/null", O_WRONLY), tampon);
    std::array<bool, 11000> vues{};
    std::int64_t n = rapide::annees(l, vues.data(), out, messages, 0);
    ASSERT_EQ(ftruncate(fd, coupe), 0);
    std::string_view t;
    while (lecture::lire(l, t)) n += 1 + rapide::annees(l, vues.data(), out, messages, n + 1);
    EXPECT_TRUE(l.erreur) << coupe;
    EXPECT_EQ(n, lues) << coupe;
    close(fd);
    close(out.fd);
  }
  rapide::carte::seuil = seuil;
  rapide::carte::vue = vue;
}

}  // namespace
