#include "fichiers/fichiers.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace fichiers {

namespace {

// Whether descriptors 0, 1 and 2 are all open once this returns.
bool garnir_standards() noexcept {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // The lowest free number is this one, since those below it are open.
    if (::open("/dev/null", O_RDONLY) != fd) return false;
  }
  return true;
}

// Whether the file sa describes and descriptor b are one file, so that
// writing through one would change what the other reads: the same inode, or
// two nodes of one block device (a disk reached as /dev/sdb and through a
// copy of that node). A character device (a terminal, /dev/null) takes any
// number of readers and writers, and is never one file in this sense.
bool meme_fichier(const struct stat& sa, int b) noexcept {
  struct stat sb {};
  if (b < 0 || ::fstat(b, &sb) != 0) return false;
  const bool meme_noeud = sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  const bool meme_bloc = S_ISBLK(sa.st_mode) && S_ISBLK(sb.st_mode) && sa.st_rdev == sb.st_rdev;
  return (meme_noeud || meme_bloc) && !S_ISCHR(sa.st_mode);
}

}  // namespace

bool demarrer(ecriture::Sortie& out) noexcept {
  if (!garnir_standards()) return false;
  // Neither can fail: both signals exist and may be ignored.
  (void)std::signal(SIGPIPE, SIG_IGN);
  (void)std::signal(SIGXFSZ, SIG_IGN);
  if (::isatty(out.fd) == 1) ecriture::ligne_a_ligne(out);
  return true;
}

int ouvrir_source(const char* chemin, ecriture::Sortie& out) noexcept {
  const int fd = chemin == nullptr ? -1 : ::open(chemin, O_RDONLY | O_CLOEXEC);
  struct stat st {};
  const bool vu = fd >= 0 ? ::fstat(fd, &st) == 0 : chemin != nullptr && ::stat(chemin, &st) == 0;
  if (vu && meme_fichier(st, out.fd)) ecriture::abandonner(out);
  if (fd >= 0 && vu && !S_ISDIR(st.st_mode)) return fd;
  if (fd >= 0) ::close(fd);
  ecriture::ecrire_ligne(out, source_absente);
  return -1;
}

int ouvrir_image(const char* chemin, int source, int sortie) noexcept {
  const int fd = ::open(chemin, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || meme_fichier(st, source) || meme_fichier(st, sortie)) {
    ::close(fd);
    return -1;
  }
  // Emptied only now; a device or a FIFO is written as it is.
  if (S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int terminer(ecriture::Sortie& out, int statut) noexcept {
  const bool ecrit = ecriture::vider(out);
  return ::close(out.fd) == 0 && ecrit ? statut : statut_sortie_perdue;
}

int terminer_fichier(ecriture::Sortie& out, int statut) noexcept {
  const int sortie = terminer(out, 0);
  return statut != 0 ? statut : sortie;
}

}  // namespace fichiers
