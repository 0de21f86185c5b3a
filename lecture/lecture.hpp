// Text in: reads of at most 14 bytes, as fgets(buf, 15, f) makes them, from
// large blocks of the file.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lecture {

// The size of the blocks read: as large as cat's, so that the system calls
// cost no more than a copy does.
inline constexpr std::size_t bloc_lecture = std::size_t{1} << 17;

// The most that one read takes, as fgets with a size of 15.
inline constexpr std::size_t lecture_max = 14;

// The block a reader reads into: bloc_lecture bytes of the file, and 16 more
// so that a read can always look at 16 bytes at once.
using Bloc = std::array<char, bloc_lecture + 16>;

// A reader that hands out the reads fgets(buf, 15, f) would make, from large
// blocks of the file read into a Bloc its caller owns (static storage in the
// programs, so that a small stack is enough).
struct Lecteur {
  Lecteur(int f, Bloc& b) noexcept : fd(f), tampon(b.data()) {}
  Lecteur(const Lecteur&) = delete;
  Lecteur& operator=(const Lecteur&) = delete;
  int fd;
  char* tampon;
  // [debut, fin) of tampon is unread; reads stop 16 bytes short of the end
  // of the block.
  std::size_t debut = 0, fin = 0;
  bool fini = false, erreur = false;
};

// Where the first newline and the first NUL fall among the n (at most 16)
// bytes at p, or n for one that is not there; p[n..16) may be read.
struct Marques {
  std::size_t nl, nul;
};

// Whether this processor runs the SSE2 kernels; where it does not, asking
// for one gives the portable kernel in its place.
#if defined(__SSE2__)
inline constexpr bool sse2_ici = true;
#else
inline constexpr bool sse2_ici = false;
#endif

template <bool sse2 = sse2_ici>
inline Marques marques(const char* p, std::size_t n) noexcept {
#if defined(__SSE2__)
  if constexpr (sse2) {
    // One compare of 16 bytes for each, and no branch on where they fall.
    // Measured against the memchr below (which other processors build), on
    // files with 30% faulty lines (the usual line takes the fast path): 11% to
    // 14% more instructions without it (callgrind, 1M lines), yearscan 9% and
    // batchrevo 5% slower (hyperfine, 10M lines), batchcivil 1%.
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned dans = (1u << n) - 1;
    const auto cherche = [&](char c) {
      const auto egaux =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
      return static_cast<std::size_t>(std::countr_zero((egaux & dans) | (1u << n)));
    };
    return {cherche('\n'), cherche('\0')};
  }
#endif
  const auto cherche = [&](char c) {
    const void* q = std::memchr(p, c, n);
    return q != nullptr ? static_cast<std::size_t>(static_cast<const char*>(q) - p) : n;
  };
  return {cherche('\n'), cherche('\0')};
}

// The length of a read whose marks among the n bytes at its start are m:
// up to its first newline, at most n (m.nl is at most n).
constexpr std::size_t longueur(const Marques& m, std::size_t n) noexcept {
  return m.nl + (m.nl < n);
}

// The bytes of the block not yet read, for a reader of whole lines; passer
// takes n of them as read.
inline std::string_view restant(const Lecteur& l) noexcept {
  return {l.tampon + l.debut, l.fin - l.debut};
}
inline void passer(Lecteur& l, std::size_t n) noexcept {
  l.debut += n;
}

// Next read: at most 14 bytes, ending after the first newline; `texte` is
// what strlen would see of it, the bytes before its first NUL. It points into
// l's block, so it is valid only until the next read. False at the end of
// the input, or on a read error, which also sets l.erreur.
bool lire(Lecteur& l, std::string_view& texte) noexcept;

}  // namespace lecture
