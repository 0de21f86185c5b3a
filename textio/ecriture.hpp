// Text out, for the five programs: numbers in plain decimal, messages with
// one number, and buffered writes whose failure is remembered rather than
// lost.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace textio {

// The size of the blocks written to a file or a pipe: as large as cat's, so
// that the system calls cost no more than a copy does.
inline constexpr std::size_t bloc_ecriture = std::size_t{1} << 17;

// The smallest buffer a Sortie works with: room for the longest message.
inline constexpr std::size_t bloc_court = 256;

// Exit status of a program whose standard output could not be written: its
// report is lost.
inline constexpr int statut_sortie_perdue = 5;

// "00" to "99", the two characters of each number side by side.
inline constexpr std::array<char, 200> paires = [] {
  std::array<char, 200> p{};
  for (std::size_t i = 0; i < 100; ++i) {
    p[2 * i] = static_cast<char>('0' + i / 10);
    p[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return p;
}();

// The smallest number of each count of digits: 0 (so that 0 has one
// digit), 10, 100, ... 10^19.
inline constexpr std::array<std::uint64_t, 20> plus_petits = [] {
  std::array<std::uint64_t, 20> p{0, 10};
  for (std::size_t i = 2; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

// The count of decimal digits of u: log10 from log2 (1233 / 4096 is just
// under log10(2)), which is one short at most. Measured against counting by
// division: 6.8% fewer instructions for batchcivil, 5.6% for batchrevo and
// yearscan, on files with 30% faulty lines (callgrind, 1M lines).
constexpr std::size_t chiffres(std::uint64_t u) noexcept {
  const std::size_t t = (static_cast<std::size_t>(std::bit_width(u)) * 1233) >> 12;  // [0, 19]
  return t + (u >= plus_petits[t] ? 1 : 0);
}

// Writes v in plain decimal, as "%d" does, into p (room for 20 characters);
// returns the number of characters written.
constexpr std::size_t decimal(char* p, std::int64_t v) noexcept {
  // The magnitude as unsigned, so that the most negative value has one too.
  std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  if (v < 0) p[0] = '-';
  const std::size_t n = (v < 0 ? 1 : 0) + chiffres(u);
  char* q = p + n;  // the digits are written from the last one back
  const auto paire = [&](std::uint64_t deux) {
    const auto i = static_cast<std::size_t>(2 * deux);  // [0, 198]
    *--q = paires[i + 1];
    *--q = paires[i];
  };
  for (; u >= 100; u /= 100) paire(u % 100);
  if (u >= 10)
    paire(u);
  else
    *--q = static_cast<char>('0' + u);
  return n;
}

// A buffered writer on a file descriptor. After a failed write every later
// write is dropped and `panne` stays set, so the caller can report it once.
// Its fields are the writer's own: other code goes through the functions
// below.
// The buffer lives on the heap, so that a small stack is enough; when the
// heap has none to give, a short one of its own serves, with more system
// calls and the same bytes.
struct Sortie {
  // taille: the buffer wanted; at most bloc_court takes no heap.
  explicit Sortie(int f, std::size_t taille = bloc_ecriture) noexcept;
  Sortie(const Sortie&) = delete;
  Sortie& operator=(const Sortie&) = delete;
  int fd;
  bool panne = false;
  // Each message written out as soon as it is complete, as a line-buffered
  // stream does.
  bool par_ligne = false;
  std::size_t n = 0;
  std::unique_ptr<char[]> tas;
  std::array<char, bloc_court> secours;  // filled before it is read
  char* tampon = nullptr;
  std::size_t capacite = 0;
};

// Writes out what is buffered; false once any write has failed.
bool vider(Sortie& s) noexcept;
// Whether a write has failed, or the writer was given up.
inline bool en_panne(const Sortie& s) noexcept {
  return s.panne;
}
// Drops everything written from now on, as after a failed write.
inline void abandonner(Sortie& s) noexcept {
  s.panne = true;
}
// Writes each message out as soon as it is complete.
inline void ligne_a_ligne(Sortie& s) noexcept {
  s.par_ligne = true;
}
// Appends t when the buffer is too full for it.
void ecrire_lent(Sortie& s, std::string_view t) noexcept;
// Appends t.
inline void ecrire(Sortie& s, std::string_view t) noexcept {
  if (t.size() > s.capacite - s.n) return ecrire_lent(s, t);
  std::memcpy(s.tampon + s.n, t.data(), t.size());
  s.n += t.size();
}
// Appends a batch result and a newline: the ten characters at dix, or none
// when vide; dix must have ten bytes set. The ten are copied either way, at
// one size, with no branch on the length. Measured against writing the text
// as a line (ecrire_ligne): batchcivil took 19% fewer instructions on valid
// dates (127M against 157M for 1M lines, callgrind).
inline void ecrire_resultat(Sortie& s, const char* dix, bool vide) noexcept {
  if (11 > s.capacite - s.n) vider(s);
  char* p = s.tampon + s.n;
  std::memcpy(p, dix, 10);
  p[vide ? 0 : 10] = '\n';
  s.n += vide ? 1 : 11;
}
// Appends t and a newline, as puts writes a line; a message like any other.
void ecrire_ligne(Sortie& s, std::string_view t) noexcept;
// Not constexpr: a call to it stops the build on a format without "%d", or
// with a piece too long for Morceau.
void format_invalide();

// A piece of a message, at most 64 characters.
struct Morceau {
  std::array<char, 64> c{};
  std::size_t n = 0;
};

// A message with one "%d", split where the number goes when it is compiled.
template <std::size_t N>
struct Format {
  consteval Format(const char (&texte)[N]) {
    const std::string_view t(texte, N - 1);
    const std::size_t trou = t.find("%d");
    if (trou == std::string_view::npos) format_invalide();
    remplir(avant, t.substr(0, trou));
    remplir(apres, t.substr(trou + 2));
  }
  static consteval void remplir(Morceau& m, std::string_view t) {
    if (t.size() > m.c.size()) format_invalide();
    for (const char c : t) m.c[m.n++] = c;
  }
  Morceau avant;
  Morceau apres;
};

// Appends the pieces of a message around n in plain decimal, in place.
// Always inlined: at each call the pieces are known, and the copies are
// then a few moves. Measured out of line: yearscan took 10.7% more
// instructions on a file with 30% faulty lines (callgrind, 1M lines).
[[gnu::always_inline]] inline void ecrire_morceaux(Sortie& s, const Morceau& avant, std::int64_t n,
                                                   const Morceau& apres) noexcept {
  static_assert(sizeof avant.c + 20 + sizeof apres.c <= bloc_court);
  if (avant.c.size() + 20 + apres.c.size() > s.capacite - s.n) vider(s);
  char* p = s.tampon + s.n;
  std::memcpy(p, avant.c.data(), avant.n);
  p += avant.n;
  p += decimal(p, n);
  std::memcpy(p, apres.c.data(), apres.n);
  p += apres.n;
  s.n = static_cast<std::size_t>(p - s.tampon);
  if (s.par_ligne) vider(s);
}

// Appends format with its "%d" replaced by n in plain decimal, as printf
// would.
template <Format format>
inline void ecrire_format(Sortie& s, std::int64_t n) noexcept {
  ecrire_morceaux(s, format.avant, n, format.apres);
}

// Appends the line t and gives statut back, for a check that ends a program.
int echec(Sortie& s, std::string_view t, int statut) noexcept;
// Flushes a program's standard output and gives its exit status: statut, or
// statut_sortie_perdue when the output could not be written.
int terminer(Sortie& s, int statut) noexcept;
// The same for a program whose work is a file: a status that says a file is
// incomplete (not 0) wins over statut_sortie_perdue, which then means that
// the files are whole and only the report was lost.
int terminer_fichier(Sortie& s, int statut) noexcept;

}  // namespace textio
