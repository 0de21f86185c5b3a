#include "rapide/carte.hpp"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstring>

namespace rapide::carte {

std::int64_t seuil = std::int64_t{1} << 20;
std::size_t vue = std::size_t{1} << 19;

namespace {

// The view in place, read by the handler of SIGBUS too.
char* volatile vue_debut = nullptr;
volatile std::size_t vue_taille = 0;
char* volatile remplacee = nullptr;  // the page of the view last read as zeros
std::size_t page = 0;                // set before the handler is installed

off_t vue_position = 0;    // the file offset of the view's first byte
off_t taille_fichier = 0;  // the file's size when it was opened
char* bloc = nullptr;      // the reader's own block, given back at the end
off_t page_vue = -1;       // the page of the last NUL that intacte asked about

// A load from the view past the end of a file that shrank: zeros in place
// of its page, which stop the fast path at a NUL, where intacte finds the
// file cut. Any other SIGBUS, or one that comes back from the same page,
// ends the process as it would have.
void sur_sigbus(int, siginfo_t* info, void*) {
  char* const a = static_cast<char*>(info->si_addr);
  char* const p = a - reinterpret_cast<std::uintptr_t>(a) % page;
  char* const d = vue_debut;
  if (d != nullptr && a >= d && a < d + vue_taille && p != remplacee &&
      ::mmap(p, page, PROT_READ, MAP_PRIVATE | MAP_FIXED | MAP_ANONYMOUS, -1, 0) != MAP_FAILED) {
    remplacee = p;
    return;
  }
  (void)::signal(SIGBUS, SIG_DFL);  // cannot fail: SIGBUS exists
}

void fermer_vue() noexcept {
  if (vue_debut != nullptr) ::munmap(vue_debut, vue_taille);
  vue_debut = nullptr;
}

// The reader back on its block and read(2), from the file offset pos; in
// error, with nothing more to read, when the file shrank under the view.
void rendre(lecture::Lecteur& l, off_t pos, bool en_erreur) noexcept {
  fermer_vue();
  l.tampon = bloc;
  l.debut = l.fin = 0;
  l.suite = nullptr;
  if (en_erreur || ::lseek(l.fd, pos, SEEK_SET) != pos) l.erreur = l.fini = true;
}

// Shows the view that starts at the page of the file offset pos, the reader
// at pos; gives the reader back its block near the file's end, where a view
// would reach past it, or when the system maps nothing.
void montrer(lecture::Lecteur& l, off_t pos) noexcept {
  fermer_vue();
  const auto p = static_cast<off_t>(page);
  const off_t n = std::max((static_cast<off_t>(vue) + p - 1) / p, off_t{2}) * p;
  const off_t a = pos - pos % p;
  void* m = MAP_FAILED;
  if (taille_fichier - a >= n)
    m = ::mmap(nullptr, static_cast<std::size_t>(n), PROT_READ, MAP_PRIVATE | MAP_POPULATE, l.fd,
               a);
  if (m == MAP_FAILED) return rendre(l, pos, false);
  vue_taille = static_cast<std::size_t>(n);
  vue_debut = static_cast<char*>(m);
  remplacee = nullptr;
  vue_position = a;
  l.tampon = vue_debut;
  l.debut = static_cast<std::size_t>(pos - a);
  l.fin = static_cast<std::size_t>(n) - 16;  // a read may look at 16 bytes
}

bool suivante(lecture::Lecteur& l) noexcept {
  montrer(l, vue_position + static_cast<off_t>(l.debut));
  return true;
}

}  // namespace

void ouvrir(lecture::Lecteur& l) noexcept {
  struct stat st {};
  if (!ici || l.suite != nullptr || l.fin != 0 || l.fini || ::fstat(l.fd, &st) != 0 ||
      !S_ISREG(st.st_mode) || std::int64_t{st.st_size} < seuil || ::lseek(l.fd, 0, SEEK_CUR) != 0)
    return;
  // No view without the handler that keeps a shrunk file from ending the
  // process.
  static const bool garde = [] {
    struct sigaction sa {};
    sa.sa_sigaction = sur_sigbus;
    sa.sa_flags = SA_SIGINFO;
    const long p = ::sysconf(_SC_PAGESIZE);
    page = p > 0 ? static_cast<std::size_t>(p) : 0;
    return page > 0 && ::sigemptyset(&sa.sa_mask) == 0 && ::sigaction(SIGBUS, &sa, nullptr) == 0;
  }();
  if (!garde) return;
  page_vue = -1;
  taille_fichier = st.st_size;
  bloc = l.tampon;
  l.suite = suivante;
  montrer(l, 0);
}

bool intacte(lecture::Lecteur& l, const char* p) noexcept {
  if (l.suite != suivante || std::memchr(p, 0, lecture::lecture_max) == nullptr) return true;
  // A NUL where the fast path stopped is read as it is, unless the file now
  // ends before the read does: asked once a page, as NULs are rare in text
  // and the system's answer costs a call.
  const off_t pos = vue_position + (p - vue_debut);
  struct stat st {};
  if (pos / static_cast<off_t>(page) == page_vue ||
      (::fstat(l.fd, &st) == 0 && st.st_size >= pos + static_cast<off_t>(lecture::lecture_max))) {
    page_vue = pos / static_cast<off_t>(page);
    return true;
  }
  rendre(l, pos, true);
  return false;
}

}  // namespace rapide::carte
