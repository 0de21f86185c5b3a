#include "lecture/lecture.hpp"

#include <unistd.h>

#include <cerrno>

namespace lecture {

bool lire(Lecteur& l, std::string_view& texte) noexcept {
  for (;;) {
    const char* debut = l.tampon + l.debut;
    const std::size_t dispo = l.fin - l.debut;
    const std::size_t n = std::min(dispo, lecture_max);
    const Marques m = marques(debut, n);
    // A read is settled by a newline, by 14 bytes, or by the end of input;
    // short of all three, fgets would wait for more, and so do we.
    if (m.nl < n || dispo >= lecture_max || l.fini) {
      const std::size_t k = longueur(m, n);
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
    const ssize_t r = ::read(l.fd, l.tampon + l.fin, bloc_lecture - l.fin);
    if (r < 0) {
      if (errno == EINTR) continue;
      l.erreur = true;
      return false;
    }
    if (r == 0) l.fini = true;
    l.fin += static_cast<std::size_t>(r);
  }
}

}  // namespace lecture
