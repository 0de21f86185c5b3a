// Text in, for the five programs: fixed-position fields read as atoi reads
// them, and reads of at most 14 bytes as fgets(buf, 15, f) makes them, from
// large blocks of the file.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace textio {

// Reads a number as atoi does: leading white space, an optional sign, then
// digits up to the first other character; 0 when there is no digit.
// Fields here hold at most four characters, so no value ever overflows.
std::int32_t entier_lent(std::string_view champ) noexcept;
inline std::int32_t entier(std::string_view champ) noexcept {
  // The usual fields, two or four digits and nothing else, without a loop.
  const auto c = [&](std::size_t i) { return static_cast<unsigned>(champ[i] - '0'); };
  if (champ.size() == 2 && c(0) < 10 && c(1) < 10)
    return static_cast<std::int32_t>(c(0) * 10 + c(1));
  if (champ.size() == 4 && c(0) < 10 && c(1) < 10 && c(2) < 10 && c(3) < 10)
    return static_cast<std::int32_t>(((c(0) * 10 + c(1)) * 10 + c(2)) * 10 + c(3));
  return entier_lent(champ);
}

// The n characters of texte from position pos, cut short where texte ends:
// a position beyond the end holds no character.
constexpr std::string_view champ(std::string_view texte, std::size_t pos, std::size_t n) noexcept {
  return pos >= texte.size()
             ? std::string_view{}
             : std::string_view{texte.data() + pos, std::min(n, texte.size() - pos)};
}

// Whether texte holds a "/" at position pos (the end of the text never does).
constexpr bool separateur(std::string_view texte, std::size_t pos) noexcept {
  return pos < texte.size() && texte[pos] == '/';
}

// What the programs that read a file say when it cannot be opened or read.
inline constexpr std::string_view source_absente = "Le fichier source est inexistant";

// Opens an input file for reading; -1 when it cannot be opened or is a
// directory (which opens, but whose first read would fail). Null path: -1.
int ouvrir_source(const char* chemin) noexcept;

// Whether two open descriptors are one file, so that writing through one
// would change what the other reads: the same inode, or two nodes of one
// block device. A character device (a terminal, /dev/null) takes any number
// of readers and writers, and is never one file in this sense.
bool meme_fichier(int a, int b) noexcept;
// Likewise for the file at chemin, which need not be open, and descriptor b.
bool meme_fichier(const char* chemin, int b) noexcept;

// The size of the blocks read: as large as cat's, so that the system calls
// cost no more than a copy does.
inline constexpr std::size_t bloc_lecture = std::size_t{1} << 17;

// The most that one read takes, as fgets with a size of 15.
inline constexpr std::size_t lecture_max = 14;

// A reader that hands out the reads fgets(buf, 15, f) would make, from large
// blocks of the file. The block lives on the heap, so that a small stack is
// enough; when the heap has none to give, a small block of its own serves,
// with more system calls and the same reads.
struct Lecteur {
  explicit Lecteur(int f) noexcept;
  Lecteur(const Lecteur&) = delete;
  Lecteur& operator=(const Lecteur&) = delete;
  int fd;
  std::size_t debut = 0;
  std::size_t fin = 0;
  bool fini = false;
  bool erreur = false;
  // [debut, fin) of tampon is unread; reads stop 16 bytes short of the end
  // of the block, so that a read can always look at 16 bytes at once.
  std::unique_ptr<char[]> tas;
  std::array<char, 256 + 16> secours{};
  char* tampon;
  std::size_t capacite;  // what a read from the file may fill
};

// Where the first newline and the first NUL fall among the n (at most 16)
// bytes at p, or n for one that is not there; p[n..16) may be read.
struct Marques {
  std::size_t nl;
  std::size_t nul;
};

inline Marques marques(const char* p, std::size_t n) noexcept {
#if defined(__SSE2__)
  // One compare of 16 bytes for each, and no branch on where they fall.
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const unsigned dans = (1u << n) - 1;
  const auto cherche = [&](char c) {
    const auto egaux =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
    return static_cast<std::size_t>(std::countr_zero((egaux & dans) | (1u << n)));
  };
#else
  const auto cherche = [&](char c) {
    const void* q = std::memchr(p, c, n);
    return q != nullptr ? static_cast<std::size_t>(static_cast<const char*>(q) - p) : n;
  };
#endif
  return {cherche('\n'), cherche('\0')};
}

// lire for every case: refills the buffer, and settles the last reads.
bool lire_lent(Lecteur& l, std::string_view& texte) noexcept;

// Next read: at most 14 bytes, ending after the first newline; `texte` is
// what strlen would see of it, the bytes before its first NUL. It points into
// l's block, so it is valid only until the next read. False at the end of
// the input, or on a read error, which also sets l.erreur.
inline bool lire(Lecteur& l, std::string_view& texte) noexcept {
  // The usual case: with 14 bytes in the buffer, the read is settled.
  if (l.fin - l.debut >= lecture_max) {
    const char* p = l.tampon + l.debut;
    const Marques m = marques(p, lecture_max);
    const std::size_t k = std::min(m.nl + 1, lecture_max);  // [1, 14]
    texte = {p, std::min(m.nul, k)};
    l.debut += k;
    return true;
  }
  return lire_lent(l, texte);
}

}  // namespace textio
