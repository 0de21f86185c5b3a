// Text out: buffered writes whose failure is remembered rather than lost,
// and messages with one number, split where it goes when they are compiled.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string_view>

#include "nombres/nombres.hpp"

namespace ecriture {

// The size of the blocks written to a file or a pipe: as large as cat's, so
// that the system calls cost no more than a copy does.
inline constexpr std::size_t bloc_ecriture = std::size_t{1} << 17;

// The smallest buffer a Sortie works with: room for the longest message.
inline constexpr std::size_t bloc_court = 256;

// A buffered writer on a file descriptor, into a buffer its caller owns
// (static storage in the programs, so that a small stack is enough) of at
// least bloc_court bytes. After a failed write every later write is dropped
// and `panne` stays set, so the caller can report it once. Its fields are the
// writer's own: other code goes through the functions below.
struct Sortie {
  Sortie(int f, std::span<char> t) noexcept : fd(f), tampon(t.data()), capacite(t.size()) {}
  Sortie(const Sortie&) = delete;
  Sortie& operator=(const Sortie&) = delete;
  int fd;
  char* tampon;
  std::size_t capacite;
  std::size_t n = 0;
  bool panne = false;
  // Each message written out as soon as it is complete, as a line-buffered
  // stream does.
  bool par_ligne = false;
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
// The free room of the buffer, for a writer of whole lines; ajouter takes
// the n bytes written at its start as appended.
inline std::span<char> place(Sortie& s) noexcept {
  return {s.tampon + s.n, s.capacite - s.n};
}
inline void ajouter(Sortie& s, std::size_t n) noexcept {
  s.n += n;
}
// Appends t when the buffer is too full for it.
void ecrire_lent(Sortie& s, std::string_view t) noexcept;
// Appends t.
inline void ecrire(Sortie& s, std::string_view t) noexcept {
  if (t.size() > s.capacite - s.n) return ecrire_lent(s, t);
  std::memcpy(s.tampon + s.n, t.data(), t.size());
  s.n += t.size();
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

// A message with one "%d", split where the number goes when it is compiled;
// one type for every message, so that a program can keep its messages in a
// table.
struct Format {
  constexpr Format() = default;  // no text: only while a table is built
  template <std::size_t N>
  consteval Format(const char (&texte)[N]) {  // NOLINT(google-explicit-constructor)
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

// A program's messages, indexed by its faults: each text given beside the
// fault it stands for, so that no order can slip; the build stops at a
// fault given twice, or left without its text.
template <typename F>
struct Message {
  F faute;
  Format texte;
};
template <std::size_t N, typename F>
consteval std::array<Format, N> par_faute(std::initializer_list<Message<F>> l) {
  std::array<Format, N> t{};
  std::array<bool, N> donne{};
  for (const auto& [f, m] : l) {
    if (f >= N || donne[f]) format_invalide();
    donne[f] = true;
    t[f] = m;
  }
  if (l.size() != N) format_invalide();
  return t;
}

// Appends the pieces of a message around n in plain decimal, in place.
// Always inlined: at each call the pieces are known, and the copies are
// then a few moves. Measured out of line, on files with 30% faulty lines:
// 2% to 7% more instructions (callgrind, 1M lines), yearscan 6% slower
// (hyperfine, 10M lines). With entiers, for pieces known only as the
// program runs, each piece is copied whole, at one size known when
// compiled, rather than by a call to memcpy for its length: measured
// against that call, on files with 30% faulty lines, 5% to 10% more
// instructions without it (callgrind, 1M lines), 5% to 9% slower
// (hyperfine, 10M lines).
template <bool entiers = false>
[[gnu::always_inline]] inline void ecrire_morceaux(Sortie& s, const Morceau& avant, std::int64_t n,
                                                   const Morceau& apres) noexcept {
  static_assert(sizeof avant.c + 20 + sizeof apres.c <= bloc_court);
  if (avant.c.size() + 20 + apres.c.size() > s.capacite - s.n) vider(s);
  char* p = s.tampon + s.n;
  std::memcpy(p, avant.c.data(), entiers ? avant.c.size() : avant.n);
  p += avant.n;
  p += nombres::decimal(p, n);
  std::memcpy(p, apres.c.data(), entiers ? apres.c.size() : apres.n);
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
// Likewise, for a message chosen as the program runs.
inline void ecrire_message(Sortie& s, const Format& format, std::int64_t n) noexcept {
  ecrire_morceaux<true>(s, format.avant, n, format.apres);
}

// Appends the line t and gives statut back, for a check that ends a program.
int echec(Sortie& s, std::string_view t, int statut) noexcept;

}  // namespace ecriture
