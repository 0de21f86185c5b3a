#include "textio/processus.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "textio/lecture.hpp"

namespace textio {

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

}  // namespace

bool demarrer(Sortie& out) noexcept {
  if (!garnir_standards()) return false;
  // Neither can fail: both signals exist and may be ignored.
  (void)std::signal(SIGPIPE, SIG_IGN);
  (void)std::signal(SIGXFSZ, SIG_IGN);
  if (::isatty(out.fd) == 1) ligne_a_ligne(out);
  return true;
}

void garder_source(Sortie& out, int source, const char* chemin) noexcept {
  if (source >= 0 ? meme_fichier(source, out.fd) : meme_fichier(chemin, out.fd)) abandonner(out);
}

}  // namespace textio
