#include "textio/lecture.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace textio {

namespace {

constexpr std::size_t decalage = 2048;

constexpr bool blanc(char c) noexcept {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::int32_t entier_lent(std::string_view champ) noexcept {
  std::size_t i = 0;
  while (i < champ.size() && blanc(champ[i])) ++i;
  bool negatif = false;
  if (i < champ.size() && (champ[i] == '+' || champ[i] == '-')) negatif = champ[i++] == '-';
  std::int32_t v = 0;  // [0, 10^9): digits past nine are not taken
  for (; i < champ.size() && champ[i] >= '0' && champ[i] <= '9'; ++i)
    if (v < 100000000) v = v * 10 + (champ[i] - '0');
  return negatif ? -v : v;
}

int ouvrir_source(const char* chemin) noexcept {
  if (chemin == nullptr) return -1;
  const int fd = ::open(chemin, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

namespace {

bool meme_fichier(const struct stat& sa, int b) noexcept {
  struct stat sb {};
  if (::fstat(b, &sb) != 0) return false;
  // Two nodes of one block device (a disk reached as /dev/sdb and as a copy
  // of that node) are one file too, though their inodes differ.
  const bool meme_noeud = sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  const bool meme_bloc = S_ISBLK(sa.st_mode) && S_ISBLK(sb.st_mode) && sa.st_rdev == sb.st_rdev;
  return (meme_noeud || meme_bloc) && !S_ISCHR(sa.st_mode);
}

}  // namespace

bool meme_fichier(int a, int b) noexcept {
  struct stat sa {};
  return ::fstat(a, &sa) == 0 && meme_fichier(sa, b);
}

bool meme_fichier(const char* chemin, int b) noexcept {
  struct stat sa {};
  return chemin != nullptr && ::stat(chemin, &sa) == 0 && meme_fichier(sa, b);
}

Lecteur::Lecteur(int f) noexcept : fd(f), tampon(secours.data()), capacite(secours.size() - 16) {
  // Zeroed, as the short block is: the 16 bytes a read looks at past the
  // end of what was read are then never unset. The block starts half a page
  // in: a writer's block starts at the start of its own, and on a file whose
  // results are as long as its lines, a read at the same place in its page
  // as a write just made would wait on it (4K aliasing), line after line.
  tas.reset(new (std::nothrow) char[decalage + bloc_lecture + 16]());
  if (tas != nullptr) {
    tampon = tas.get() + decalage;
    capacite = bloc_lecture;
  }
}

bool lire_lent(Lecteur& l, std::string_view& texte) noexcept {
  for (;;) {
    const char* debut = l.tampon + l.debut;
    const std::size_t dispo = l.fin - l.debut;
    const std::size_t n = std::min(dispo, lecture_max);
    const Marques m = marques(debut, n);
    // A read is settled by a newline, by 14 bytes, or by the end of input;
    // short of all three, fgets would wait for more, and so do we.
    if (m.nl < n || dispo >= lecture_max || l.fini) {
      const std::size_t k = std::min(m.nl + 1, n);
      if (k == 0) return false;
      texte = {debut, std::min(m.nul, k)};
      l.debut += k;
      return true;
    }
    if (l.debut > 0) {
      std::memmove(l.tampon, debut, dispo);
      l.debut = 0;
      l.fin = dispo;
    }
    const ssize_t r = ::read(l.fd, l.tampon + l.fin, l.capacite - l.fin);
    if (r < 0) {
      if (errno == EINTR) continue;
      l.erreur = true;
      return false;
    }
    if (r == 0) l.fini = true;
    l.fin += static_cast<std::size_t>(r);
  }
}

}  // namespace textio
