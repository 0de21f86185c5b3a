// The fast path and the plain path of each file program give the same bytes:
// every date of the span and its neighbours, in files larger than a block.
#include "rapide/rapide.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <string>

#include "batchcivil/batchcivil.hpp"
#include "batchrevo/batchrevo.hpp"
#include "calendar/textes.hpp"
#include "fichiers/fichiers.hpp"
#include "lecture/lecture.hpp"
#include "run.hpp"
#include "yearscan/yearscan.hpp"

namespace {

using Programme = int (*)(const char*, ecriture::Sortie&, rapide::Noyau);

// Status, standard output and output file of one run.
std::tuple<int, std::string, std::optional<std::string>> passer(Programme p, const std::string& in,
                                                                const char* suffixe,
                                                                rapide::Noyau noyau) {
  static std::array<char, ecriture::bloc_ecriture> tampon;
  const int fd = memfd_create("sortie", 0);
  ecriture::Sortie s(dup(fd), tampon);
  const int statut = fichiers::terminer_fichier(s, p(in.c_str(), s, noyau));
  std::string out(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
  EXPECT_EQ(pread(fd, out.data(), out.size(), 0), static_cast<ssize_t>(out.size()));
  close(fd);
  return {statut, out, lire_fichier(in + suffixe)};
}

// Each program's fast path with the kernels noyau names against its plain
// path.
void memes_octets(rapide::Noyau noyau) {
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
                                         "22/09",
                                         "22/09/0000",
                                         "22/09/0001",
                                         "06/COMP/35",
                                         std::string_view("22/09/\0"
                                                          "792",
                                                          10)};
      f.append(autres[static_cast<std::size_t>(n + 400) % std::size(autres)]) += "\n";
    }
  }
  const std::tuple<Programme, const char*, const std::string*> programmes[] = {
      {batchcivil, ".Greg", &rep}, {batchrevo, ".rep", &greg}, {yearscan, "", &greg}};
  for (const auto& [p, suffixe, texte] : programmes) {
    Dossier d;
    ecrire_fichier(d.chemin("in"), *texte);
    EXPECT_EQ(passer(p, d.chemin("in"), suffixe, noyau),
              passer(p, d.chemin("in"), suffixe, rapide::Noyau::aucun))
        << suffixe;
  }
}

TEST(Rapide, PortableKernelsGiveThePlainPathsBytes) {
  memes_octets(rapide::Noyau::portable);
}

TEST(Rapide, Sse2KernelsGiveThePlainPathsBytes) {
  if (!lecture::sse2_ici) GTEST_SKIP() << "the SSE2 kernels are not built for this processor";
  memes_octets(rapide::Noyau::sse2);
}

// An input past 2 GiB opens and reads, as on a 64-bit system: on a 32-bit
// one, 32-bit file offsets would make it missing.
TEST(Fichiers, AnInputPast2GiBIsRead) {
  Dossier d;
  // Written and sought through the 64-bit calls, whatever this build's off_t.
  const off64_t loin = off64_t{1} << 31;
  const int f = open(d.chemin("grand").c_str(), O_WRONLY | O_CREAT | O_LARGEFILE, 0644);
  ASSERT_GE(f, 0);
  ASSERT_EQ(pwrite64(f, "22/09/1792\n", 11, loin), 11) << "the file system takes no sparse file";
  close(f);
  static std::array<char, ecriture::bloc_ecriture> tampon;
  ecriture::Sortie out(open("/dev/null", O_WRONLY), tampon);
  const int fd = fichiers::ouvrir_source(d.chemin("grand").c_str(), out);
  ASSERT_GE(fd, 0) << "an input past 2 GiB is called missing";
  ASSERT_EQ(lseek64(fd, loin, SEEK_SET), loin);
  static lecture::Bloc bloc;
  lecture::Lecteur l(fd, bloc);
  std::string_view t;
  ASSERT_TRUE(lecture::lire(l, t));
  EXPECT_EQ(t, "22/09/1792\n");
  close(fd);
  close(out.fd);
}

}  // namespace
