#include "ecriture/ecriture.hpp"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace ecriture {

namespace {

// Writes all n bytes, through short writes and interruptions. A descriptor
// left non-blocking by whoever gave it to us is waited on, not given up: the
// reader is slow, not gone.
bool tout_ecrire(int fd, const char* p, std::size_t n) noexcept {
  while (n > 0) {
    const ssize_t k = ::write(fd, p, n);
    if (k < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd attente{fd, POLLOUT, 0};
      if (::poll(&attente, 1, -1) < 0 && errno != EINTR) return false;
      continue;
    }
    if (k <= 0) {
      if (k < 0 && errno == EINTR) continue;
      return false;
    }
    p += k;
    n -= static_cast<std::size_t>(k);
  }
  return true;
}

}  // namespace

bool vider(Sortie& s) noexcept {
  if (!s.panne && s.n > 0 && !tout_ecrire(s.fd, s.tampon, s.n)) s.panne = true;
  s.n = 0;
  return !s.panne;
}

void ecrire_lent(Sortie& s, std::string_view t) noexcept {
  vider(s);
  if (t.size() > s.capacite) {
    if (!s.panne && !tout_ecrire(s.fd, t.data(), t.size())) s.panne = true;
    return;
  }
  ecrire(s, t);
}

void ecrire_ligne(Sortie& s, std::string_view t) noexcept {
  ecrire(s, t);
  ecrire(s, "\n");
  if (s.par_ligne) vider(s);
}

int echec(Sortie& s, std::string_view t, int statut) noexcept {
  ecrire_ligne(s, t);
  return statut;
}

}  // namespace ecriture
