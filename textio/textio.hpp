// Text in and out for the five programs: fixed-position fields read as atoi
// reads them, reads of at most 14 bytes as fgets(buf, 15, f) makes them, and
// buffered writes whose failure is remembered rather than lost.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace textio {

// The size of the blocks read and written: as large as cat's, so that the
// system calls cost no more than a copy does.
inline constexpr std::size_t taille_bloc = std::size_t{1} << 17;

// Exit status of every program whose standard output could not be written.
inline constexpr int statut_sortie = 5;

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
// under log10(2)), which is one short at most.
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
    *--q = paires[2 * deux + 1];
    *--q = paires[2 * deux];
  };
  for (; u >= 100; u /= 100) paire(u % 100);
  if (u >= 10)
    paire(u);
  else
    *--q = static_cast<char>('0' + u);
  return n;
}

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

// A buffered writer on a file descriptor. After a failed write every later
// write is dropped and `echec` stays set, so the caller can report it once.
struct Sortie {
  explicit Sortie(int f) noexcept : fd(f) {}
  int fd;
  bool echec = false;
  std::size_t n = 0;
  std::array<char, taille_bloc> tampon;  // filled before it is read
};

// Writes out what is buffered; false once any write has failed.
bool vider(Sortie& s) noexcept;
// Appends t when the buffer is too full for it.
void ecrire_lent(Sortie& s, std::string_view t) noexcept;
// Appends t.
inline void ecrire(Sortie& s, std::string_view t) noexcept {
  if (t.size() > s.tampon.size() - s.n) return ecrire_lent(s, t);
  std::memcpy(s.tampon.data() + s.n, t.data(), t.size());
  s.n += t.size();
}
// Room for the next n bytes (n at most the buffer's size), which the caller
// fills at once.
inline char* place(Sortie& s, std::size_t n) noexcept {
  if (n > s.tampon.size() - s.n) vider(s);
  char* p = s.tampon.data() + s.n;
  s.n += n;
  return p;
}
// Appends t and a newline, as puts writes a line.
void ecrire_ligne(Sortie& s, std::string_view t) noexcept;
// Not constexpr: a call to it stops the build on a format without "%d", or
// with a piece too long for Morceau.
void format_invalide();

// A piece of a message, padded to a fixed width: copied whole, so that every
// message is copied at the same size, but only its n characters count.
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

// Copies the whole of m to p and gives the end of its characters. In
// 16-byte moves: a compiler left to copy 64 bytes may pick a string
// instruction, whose start-up costs more than the copy.
inline char* coller(char* p, const Morceau& m) noexcept {
#pragma GCC unroll 4
  for (std::size_t i = 0; i < m.c.size(); i += 16) std::memcpy(p + i, m.c.data() + i, 16);
  return p + m.n;
}

// Appends the pieces of a message around n in plain decimal, in place.
inline void ecrire_morceaux(Sortie& s, const Morceau& avant, std::int64_t n,
                            const Morceau& apres) noexcept {
  if (avant.c.size() + 20 + apres.c.size() > s.tampon.size() - s.n) vider(s);
  char* p = coller(s.tampon.data() + s.n, avant);
  p += decimal(p, n);
  p = coller(p, apres);
  s.n = static_cast<std::size_t>(p - s.tampon.data());
}

// Appends format with its "%d" replaced by n in plain decimal, as printf
// would. The copies have fixed sizes, so a file with faulty lines of every
// kind leaves no branch on the length of a message to guess wrong.
template <Format format>
inline void ecrire_format(Sortie& s, std::int64_t n) noexcept {
  ecrire_morceaux(s, format.avant, n, format.apres);
}

// Appends the line t and gives statut back, for a check that ends a program.
int echec(Sortie& s, std::string_view t, int statut) noexcept;
// Flushes a program's standard output and gives its exit status: statut, or
// statut_sortie when the output could not be written.
int terminer(Sortie& s, int statut) noexcept;

// What the programs that read a file say when it cannot be opened or read.
inline constexpr std::string_view source_absente = "Le fichier source est inexistant";

// Opens an input file for reading; -1 when it cannot be opened or is a
// directory (which opens, but whose first read would fail). Null path: -1.
int ouvrir_source(const char* chemin) noexcept;

// The most that one read takes, as fgets with a size of 15.
inline constexpr std::size_t lecture_max = 14;

// A reader that hands out the reads fgets(buf, 15, f) would make, from large
// blocks of the file.
struct Lecteur {
  explicit Lecteur(int f) noexcept : fd(f) {}
  int fd;
  std::size_t debut = 0;
  std::size_t fin = 0;
  bool fini = false;
  bool erreur = false;
  // [debut, fin) is unread; reads stop 16 bytes short of the end, so that a
  // read can always look at 16 bytes at once.
  std::array<char, taille_bloc + 16> tampon{};
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
// what strlen would see of it, the bytes before its first NUL. False at the
// end of the input, or on a read error, which also sets l.erreur.
inline bool lire(Lecteur& l, std::string_view& texte) noexcept {
  // The usual case: with 14 bytes in the buffer, the read is settled.
  if (l.fin - l.debut >= lecture_max) {
    const char* p = l.tampon.data() + l.debut;
    const Marques m = marques(p, lecture_max);
    const std::size_t k = std::min(m.nl + 1, lecture_max);  // [1, 14]
    texte = {p, std::min(m.nul, k)};
    l.debut += k;
    return true;
  }
  return lire_lent(l, texte);
}

}  // namespace textio
