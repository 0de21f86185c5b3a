// The fast path of the file programs: the usual line, ten characters of a
// valid date and a newline, taken straight from the reader's block and, for
// the batch converters, converted straight into the output's buffer, with
// one table lookup and no message; also the read that ends a run of them,
// when its fault shows in its shape or its length, with its message (and,
// for the batch converters, its empty output line). Every other read (one
// with a NUL, a field that atoi reads otherwise, a read cut by the end of
// the block) is left to the plain path, which stays the reference: the
// bytes written are the same, and the differential fuzz harness holds them
// so. Measured against the plain path alone, callgrind on 1M lines: on
// valid files 158M against 49M instructions (batchcivil), 173M against 48M
// (batchrevo), 114M against 39M (yearscan); with 30% faulty lines 161M
// against 124M, 174M against 114M, 125M against 74M. Hyperfine on 10M
// lines: valid files 33%, 37% and 66% faster; with 30% faulty lines 7%,
// 14% and 32% faster. On x86-64 processors with AVX-512, yearscan takes
// the reads that follow a fault eight at a time (larges.hpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "calendar/civil.hpp"
#include "calendar/revo.hpp"
#include "ecriture/ecriture.hpp"
#include "lecture/lecture.hpp"

namespace rapide {

// Converts the usual line at p (eleven bytes) into its eleven output bytes
// at q; false, with q's bytes not taken, for any line it leaves to the
// plain path.
using Ligne = bool (*)(const char* p, char* q) noexcept;

// What the batch fast path finds in the read that ends a run of usual
// lines: its fault, each program's with its one message in the program,
// which gives them in a table in this order; any other value leaves the
// read to the plain path.
namespace lot_civil {
enum Faute : std::uint8_t {
  separateur1,
  jour,
  separateur2,
  mois,
  complementaire,
  annee,
  sextile,
  avant,
  apres,
  vide,
  errone
};
}  // namespace lot_civil
namespace lot_revo {
enum Faute : std::uint8_t { separateur, annee, hors_limite, jour, avant, vide, errone };
}  // namespace lot_revo
inline constexpr std::uint8_t plaine = 0xFF;
// batchcivil finds its message by the order of civil::Defaut, after aucun.
constexpr bool dans_l_ordre(lot_civil::Faute f, ::civil::Defaut d) noexcept {
  return f + 1 == static_cast<int>(d);
}
static_assert(dans_l_ordre(lot_civil::separateur1, ::civil::Defaut::separateur1) &&
              dans_l_ordre(lot_civil::jour, ::civil::Defaut::jour) &&
              dans_l_ordre(lot_civil::separateur2, ::civil::Defaut::separateur2) &&
              dans_l_ordre(lot_civil::mois, ::civil::Defaut::mois) &&
              dans_l_ordre(lot_civil::complementaire, ::civil::Defaut::complementaire) &&
              dans_l_ordre(lot_civil::annee, ::civil::Defaut::annee) &&
              dans_l_ordre(lot_civil::sextile, ::civil::Defaut::sextile));

// The fault of the read of k bytes at p (nul: where its first NUL falls,
// or 14 when there is none), which ends a run of usual lines; sixteen
// bytes may be read.
using Faute_lot = std::uint8_t (*)(const char* p, std::size_t k, std::size_t nul) noexcept;

// Takes no line, knows no fault: every line through the plain path.
inline bool aucune_ligne(const char*, char*) noexcept {
  return false;
}
inline std::uint8_t aucune_faute(const char*, std::size_t, std::size_t) noexcept {
  return plaine;
}

// A digit's value; any other byte gives a value of 10 or more.
constexpr unsigned chiffre(char c) noexcept {
  return static_cast<unsigned char>(c) - static_cast<unsigned>('0');
}

// The row's result, when the line is exactly the one it is read from.
inline bool prendre(const calendar::Fiche& f, const char* p, char* q) noexcept {
  if (std::memcmp(p, f.ligne.data(), 11) != 0) return false;
  std::memcpy(q, f.r.data(), 10);
  q[10] = '\n';
  return true;
}

// The day number of the Republican fields d, m and y, as
// calendar::jour_republicain counts it for y of 1 or more. Unsigned, so that
// any fields give a number, and wrong ones a row whose line differs.
constexpr unsigned numero_civil(unsigned d, unsigned m, unsigned y) noexcept {
  return 365 * (y - 1) + y / 4 + 30 * (m - 1) + d - 1;
}

// DD/MMMM/YY: the day number its fields would give, checked against the row
// it points to.
inline bool ligne_civil(const char* p, char* q) noexcept {
  const unsigned d = chiffre(p[0]) * 10 + chiffre(p[1]);
  const unsigned y = chiffre(p[8]) * 10 + chiffre(p[9]);
  const auto m = static_cast<unsigned>(calendar::moisrtoi({p + 3, 4}));
  const unsigned n = numero_civil(d, m, y);
  return n < ::civil::fiches_lot.size() && prendre(::civil::fiches_lot[n], p, q);
}

// DD/MM/YYYY: likewise, by the slot its fields would give.
inline bool ligne_revo(const char* p, char* q) noexcept {
  const unsigned d = chiffre(p[0]) * 10 + chiffre(p[1]);
  const unsigned m = chiffre(p[3]) * 10 + chiffre(p[4]);
  const unsigned y =
      ((chiffre(p[6]) * 10 + chiffre(p[7])) * 10 + chiffre(p[8])) * 10 + chiffre(p[9]);
  const unsigned i = ((y - 1792) * 12 + m - 1) * 31 + d - 1;
  return i < ::revo::fiches_lot.size() && prendre(::revo::fiches_lot[i], p, q);
}

// Each program's faults of a usual shape, and of a read's length and
// separators.
std::uint8_t faute_civil(const char* p, std::size_t k, std::size_t nul) noexcept;
std::uint8_t faute_revo(const char* p, std::size_t k, std::size_t nul) noexcept;

// A batch program's fast path, as a type: its usual line, and the faults
// it knows.
template <Ligne l, Faute_lot f>
struct Voie {
  static constexpr Ligne ligne = l;
  static constexpr Faute_lot faute = f;
};
using aucune = Voie<aucune_ligne, aucune_faute>;
using civil = Voie<ligne_civil, faute_civil>;
using revo = Voie<ligne_revo, faute_revo>;

// Converts the usual lines at the head of the reader's unread bytes into
// the writer's free room, as long as both hold a whole line; a read that
// ends a run of them and whose fault Voie knows gets an empty output line
// and its message on out, numbered from ligne + 1. Returns how many reads
// it took.
template <typename Voie, std::size_t N>
std::int64_t convertir(lecture::Lecteur& l, ecriture::Sortie& s, ecriture::Sortie& out,
                       const std::array<ecriture::Format, N>& messages,
                       std::int64_t ligne) noexcept {
  const std::string_view e = lecture::restant(l);
  const char* p = e.data();
  const char* const fin = p + e.size();
  // A read is settled where 14 bytes are left: before borne.
  const char* const borne =
      p + (e.size() < lecture::lecture_max ? 0 : e.size() - lecture::lecture_max + 1);
  std::int64_t n = 0;
  for (;;) {
    const std::span<char> o = ecriture::place(s);
    const std::size_t lignes = std::min(static_cast<std::size_t>(fin - p), o.size()) / 11;
    std::size_t k = 0;
    while (k < lignes && Voie::ligne(p + 11 * k, o.data() + 11 * k)) ++k;
    p += 11 * k;
    ecriture::ajouter(s, 11 * k);
    n += static_cast<std::int64_t>(k);
    if (k == lignes || p >= borne) break;
    const lecture::Marques m = lecture::marques(p, lecture::lecture_max);
    const std::size_t lu = lecture::longueur(m, lecture::lecture_max);  // [1, 14]
    const std::uint8_t f = Voie::faute(p, lu, m.nul);
    if (f >= N) break;
    o[11 * k] = '\n';  // room for it: k < lignes
    ecriture::ajouter(s, 1);
    p += lu;
    ++n;
    ecriture::ecrire_message(out, messages[f], ligne + n);
  }
  lecture::passer(l, static_cast<std::size_t>(p - e.data()));
  return n;
}

// What yearscan finds in a read, the faults in the order it checks them:
// each has its one message in the program, which gives them to annees in
// this order. autre: a read left to the plain path.
enum Faute : std::uint8_t { longue, vide, separateur, annee, mois, jour, valide, autre };
using Messages = std::array<ecriture::Format, valide>;

// Checks the reads at the head of the reader's unread bytes for yearscan,
// as long as 14 bytes are left: each year a read yields sets
// vues[year + 999] (also when its day or month is out of range, as in the
// plain path), and each faulty read gets its message, numbered from
// ligne + 1. Stops before any read it leaves to the plain path, or after a
// message that could not be written; returns how many reads it took.
std::int64_t annees(lecture::Lecteur& l, bool* vues, ecriture::Sortie& out,
                    const Messages& messages, std::int64_t ligne) noexcept;

}  // namespace rapide
