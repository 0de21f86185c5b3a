// Text in and out for the five programs: fixed-position fields read as atoi
// reads them, reads of at most 14 bytes as fgets(buf, 15, f) makes them, and
// buffered writes whose failure is remembered rather than lost.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace textio {

// Exit status of every program whose standard output could not be written.
inline constexpr int statut_sortie = 5;

// Writes v in plain decimal, as "%d" does, into p (room for 20 characters);
// returns the number of characters written.
std::size_t decimal(char* p, std::int64_t v) noexcept;

// Reads a number as atoi does: leading white space, an optional sign, then
// digits up to the first other character; 0 when there is no digit.
// Fields here hold at most four characters, so no value ever overflows.
std::int32_t entier(std::string_view champ) noexcept;

// The n characters of texte from position pos, cut short where texte ends:
// a position beyond the end holds no character.
constexpr std::string_view champ(std::string_view texte, std::size_t pos, std::size_t n) noexcept {
  return pos >= texte.size() ? std::string_view{} : texte.substr(pos, n);
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
  std::array<char, 1 << 16> tampon;  // filled before it is read
};

// Appends t.
void ecrire(Sortie& s, std::string_view t) noexcept;
// Appends t and a newline, as puts writes a line.
void ecrire_ligne(Sortie& s, std::string_view t) noexcept;
// Appends format with its one "%d" replaced by n in plain decimal.
void ecrire_format(Sortie& s, std::string_view format, std::int64_t n) noexcept;
// Appends the line t and gives statut back, for a check that ends a program.
int echec(Sortie& s, std::string_view t, int statut) noexcept;
// Writes out what is buffered; false once any write has failed.
bool vider(Sortie& s) noexcept;
// Flushes a program's standard output and gives its exit status: statut, or
// statut_sortie when the output could not be written.
int terminer(Sortie& s, int statut) noexcept;

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
  std::array<char, 1 << 16> tampon;  // [debut, fin) is unread
};

// Next read: at most 14 bytes, ending after the first newline. False at the
// end of the input, or on a read error, which also sets l.erreur.
bool lire(Lecteur& l, std::string_view& lu) noexcept;

// A read as strlen sees it: the bytes before its first NUL.
std::string_view avant_nul(std::string_view lu) noexcept;

}  // namespace textio
