#include "textio/textio.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace textio {

namespace {

// Writes all n bytes, through short writes and interruptions.
bool tout_ecrire(int fd, const char* p, std::size_t n) noexcept {
  while (n > 0) {
    const ssize_t k = ::write(fd, p, n);
    if (k <= 0) {
      if (k < 0 && errno == EINTR) continue;
      return false;
    }
    p += k;
    n -= static_cast<std::size_t>(k);
  }
  return true;
}

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

bool vider(Sortie& s) noexcept {
  if (!s.echec && s.n > 0 && !tout_ecrire(s.fd, s.tampon.data(), s.n)) s.echec = true;
  s.n = 0;
  return !s.echec;
}

void ecrire_lent(Sortie& s, std::string_view t) noexcept {
  vider(s);
  if (t.size() > s.tampon.size()) {
    if (!s.echec && !tout_ecrire(s.fd, t.data(), t.size())) s.echec = true;
    return;
  }
  ecrire(s, t);
}

void ecrire_ligne(Sortie& s, std::string_view t) noexcept {
  ecrire(s, t);
  ecrire(s, "\n");
}

int echec(Sortie& s, std::string_view t, int statut) noexcept {
  ecrire_ligne(s, t);
  return statut;
}

int terminer(Sortie& s, int statut) noexcept {
  return vider(s) ? statut : statut_sortie;
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

bool lire_lent(Lecteur& l, std::string_view& texte) noexcept {
  constexpr std::size_t capacite = std::tuple_size_v<decltype(l.tampon)> - 16;
  for (;;) {
    const char* debut = l.tampon.data() + l.debut;
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
      std::memmove(l.tampon.data(), debut, dispo);
      l.debut = 0;
      l.fin = dispo;
    }
    const ssize_t r = ::read(l.fd, l.tampon.data() + l.fin, capacite - l.fin);
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
