#include "rapide/rapide.hpp"

#include <array>
#include <bit>
#include <string_view>

#include "rapide/carte.hpp"
#include "rapide/larges.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rapide {

namespace {

// The eight bytes at p as one word, the first in the lowest byte, on any
// processor: the masks and shifts below are written for that order.
inline std::uint64_t mot(const char* p) noexcept {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
  return w;
}

// Each byte of w less its low nibble's digit value taken ten times, plus the
// next byte's: where two digits stand side by side, the number they write,
// in the first one's byte (at most 165, so no byte carries into another).
constexpr std::uint64_t paires(std::uint64_t w) noexcept {
  const std::uint64_t x = w & 0x0F0F0F0F0F0F0F0F;
  return x * 10 + (x >> 8);
}

// For each month m and day d below 128, at m * 128 + d: the fault of the
// date in a common year, with 29 February apart (bissextile).
constexpr std::size_t cote = 128;
constexpr std::uint8_t bissextile = autre + 1;
constexpr auto jours_mois = [] {
  std::array<std::uint8_t, cote * cote> t{};
  for (std::size_t m = 0; m < cote; ++m)
    for (std::size_t d = 0; d < cote; ++d) {
      const auto jm = static_cast<std::int32_t>(m), jd = static_cast<std::int32_t>(d);
      const ::revo::Jour j = ::revo::verifier(jd, jm, 2001, ::revo::Regle::gregorienne);
      const Faute f = j == ::revo::Jour::mois     ? Faute::mois
                      : j == ::revo::Jour::valide ? Faute::valide
                                                  : Faute::jour;
      t[m * cote + d] = m == 2 && d == 29 ? bissextile : static_cast<std::uint8_t>(f);
    }
  return t;
}();

#if !defined(__SSE2__)
// The word of eight characters, as mot reads them.
constexpr std::uint64_t motif(std::string_view t) noexcept {
  std::uint64_t w = 0;
  for (std::size_t i = 0; i < 8; ++i)
    w |= std::uint64_t{static_cast<unsigned char>(t[i])} << (8 * i);
  return w;
}

// Whether each byte of w is a digit: 0x3? that stays 0x3? with 6 added. A
// carry out of a byte comes only from a byte that fails, and can only make
// its neighbour fail too.
constexpr bool chiffres(std::uint64_t w) noexcept {
  constexpr std::uint64_t hauts = 0xF0F0F0F0F0F0F0F0;
  return ((w & hauts) | (((w + 0x0606060606060606) & hauts) >> 4)) == 0x3333333333333333;
}
#endif

// Whether the eleven bytes at p are DD/MM/YYYY and a newline; sixteen may
// be read.
inline bool forme(const char* p) noexcept {
#if defined(__SSE2__)
  // Each byte strictly between its two bounds, sixteen at a time. Measured
  // against the two words below: yearscan 45% more instructions without it
  // on valid files (callgrind, 1M lines), 23% slower (hyperfine, 10M lines).
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i bas =
      _mm_setr_epi8('/', '/', '.', '/', '/', '.', '/', '/', '/', '/', '\t', 0, 0, 0, 0, 0);
  const __m128i haut =
      _mm_setr_epi8(':', ':', '0', ':', ':', '0', ':', ':', ':', ':', '\v', 0, 0, 0, 0, 0);
  const int dans =
      _mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi8(v, bas), _mm_cmplt_epi8(v, haut)));
  return (dans & 0x7FF) == 0x7FF;
#else
  // DD/MM/YY and MM/YYYY\n in two words; the two year digits of the
  // second go where the first has its "/", to be checked with the others.
  const std::uint64_t a = mot(p), b = mot(p + 3);
  const std::uint64_t signes = (a & 0x0000FF0000FF0000) | (b & 0xFF00000000000000);
  const std::uint64_t tous =
      (a & 0xFFFF00FFFF00FFFF) | (b >> 24 & 0x0000000000FF0000) | (b >> 8 & 0x0000FF0000000000);
  return signes == motif("\0\0/\0\0/\0\n") && chiffres(tous);
#endif
}

// The fault of the usual line at p, 29 February apart, and its year.
struct Date {
  std::uint8_t faute;
  std::int32_t annee;  // [0, 9999]
};
inline Date date(const char* p) noexcept {
  const std::uint64_t pa = paires(mot(p));
  return {jours_mois[static_cast<std::size_t>((pa >> 24 & 0x7F) * cote + (pa & 0x7F))],
          static_cast<std::int32_t>(static_cast<unsigned>(pa >> 48 & 0xFF) * 100 +
                                    chiffre(p[8]) * 10 + chiffre(p[9]))};
}

// Whether each year of [0, 9999] is a leap year, a bit a year.
constexpr auto annees_bissextiles = [] {
  std::array<std::uint8_t, 1250> t{};
  for (std::int32_t a = 0; a < 10000; ++a)
    if (::revo::bissextile(a, ::revo::Regle::gregorienne))
      t[static_cast<std::size_t>(a) / 8] |= static_cast<std::uint8_t>(1u << (a % 8));
  return t;
}();

// a where c holds, else b, by a mask rather than a branch: the compiler
// would otherwise bet on c, and lose on a file of mixed reads.
constexpr std::uint32_t choisir(bool c, std::uint32_t a, std::uint32_t b) noexcept {
  const std::uint32_t m = 0u - static_cast<std::uint32_t>(c);
  return (a & m) | (b & ~m);
}

// A sign by arithmetic, where a comparison would become a branch.
inline unsigned negatif(std::int64_t v) noexcept {
  return static_cast<unsigned>(static_cast<std::uint64_t>(v) >> 63);
}

// The frame's checks of a read of k bytes, as the bits 0 (a NUL in it), 1
// (empty) and 2 (any length but 11).
inline unsigned cadre(std::size_t k, std::size_t nul) noexcept {
  static constexpr std::array<std::uint8_t, 16> longueurs = {0, 6, 4, 4, 4, 4, 4, 4,
                                                             4, 4, 4, 0, 4, 4, 4, 4};
  return negatif(static_cast<std::int64_t>(nul) - static_cast<std::int64_t>(k)) | longueurs[k & 15];
}

// Whether the byte at p is not c, as 0 or 1.
inline unsigned autre_que(const char* p, char c) noexcept {
  return negatif(-std::int64_t{static_cast<std::uint8_t>(*p ^ c)});
}

// Whether a and b are not both digits, as 0 or 1.
inline unsigned pas_chiffres(char a, char b) noexcept {
  return negatif(9 - std::int64_t{chiffre(a)}) | negatif(9 - std::int64_t{chiffre(b)});
}

}  // namespace

// In both, each check sets its bit, the first in the plain path's order
// lowest, and the lowest bit set names the fault: no branch on the kind of
// the read, so that the run's end is the one guess about it that goes
// wrong. Measured against leaving the read to the plain path, on files with
// 30% faulty lines: batchrevo 11% more instructions (114.5M against 103.4M,
// callgrind, 1M lines) but 46% fewer branches mispredicted (cachegrind's
// simulation), and 4.7% to 5.5% faster (hyperfine, 10M lines, three runs);
// with the checks as comparisons, which the compiler turns into branches,
// 3.8%; with the fault chosen by masks (choisir), 2.5%. batchcivil 20% more
// instructions (124.2M against 103.9M), 43% fewer mispredicted, 3.1% and
// 3.6% faster (two runs).
std::uint8_t faute_civil(const char* p, std::size_t k, std::size_t nul) noexcept {
  namespace f = lot_civil;
  static constexpr std::array<std::uint8_t, 14> fautes = {
      plaine,  f::vide,           f::errone, f::separateur1, plaine,     f::jour,  f::separateur2,
      f::mois, f::complementaire, plaine,    f::annee,       f::sextile, f::apres, plaine};
  const std::uint32_t d = chiffre(p[0]) * 10 + chiffre(p[1]);                 // [0, 99] when digits
  const std::uint32_t y = chiffre(p[8]) * 10 + chiffre(p[9]);                 // likewise
  const auto m = static_cast<std::uint32_t>(calendar::moisrtoi({p + 3, 4}));  // [0, 13]
  // As the table counts, when the checks before it hold.
  const std::uint32_t n = numero_civil(d, m, y);
  const bool jours = m == 13;
  // The sextile years, 3, 7 and 11, as bits.
  const unsigned sextile_faux = jours & (d == 6) & ~((0x888u >> (y & 31)) & (y < 32));
  const unsigned b = cadre(k, nul) | autre_que(p + 2, '/') << 3 | pas_chiffres(p[0], p[1]) << 4 |
                     negatif((std::int64_t{d} - 1) | (30 - std::int64_t{d})) << 5 |
                     autre_que(p + 7, '/') << 6 | negatif(std::int64_t{m} - 1) << 7 |
                     static_cast<unsigned>(jours & (d > 6)) << 8 | pas_chiffres(p[8], p[9]) << 9 |
                     negatif(std::int64_t{y} - 1) << 10 | sextile_faux << 11 |
                     negatif(std::int64_t{::civil::dernier_jour} - n) << 12 | 1u << 13;
  return fautes[static_cast<std::size_t>(std::countr_zero(b))];
}

std::uint8_t faute_revo(const char* p, std::size_t k, std::size_t nul) noexcept {
  namespace f = lot_revo;
  static constexpr std::array<std::uint8_t, 10> fautes = {
      plaine,   f::vide,        f::errone, f::separateur, plaine,
      f::annee, f::hors_limite, plaine,    f::jour,       f::avant};
  const Date d = date(p);
  const std::int64_t y = static_cast<std::uint32_t>(d.annee);  // [0, 9999] when forme holds
  const std::int64_t ecart = y - 1792;
  const bool bis = ::revo::bissextile(static_cast<std::int32_t>(y), ::revo::Regle::calendrier);
  const unsigned b =
      cadre(k, nul) | (autre_que(p + 2, '/') | autre_que(p + 5, '/')) << 3 |
      static_cast<unsigned>(!forme(p)) << 4 | negatif(y - 1) << 5 |
      negatif(ecart | (13 - ecart)) << 6 | static_cast<unsigned>(d.faute == mois) << 7 |
      static_cast<unsigned>((d.faute == Faute::jour) | ((d.faute == bissextile) & !bis)) << 8 |
      1u << 9;
  return fautes[static_cast<std::size_t>(std::countr_zero(b))];
}

// A faulty read of a usual shape gets its message here, not from the plain
// path. Measured against leaving it there, on files with 30% faulty lines:
// 19% more instructions without it (callgrind, 1M lines), 14% slower
// (hyperfine, 10M lines).
std::int64_t annees(lecture::Lecteur& l, bool* vues, ecriture::Sortie& out,
                    const Messages& messages, std::int64_t ligne) noexcept {
  carte::ouvrir(l);
  std::int64_t n = 0;
  const std::string_view e = lecture::restant(l);
  const char* p = e.data();
  const bool au_large = larges::permises && larges::disponibles();
  const char* net = p;  // no NUL before it
  // A read is settled where 14 bytes are left: before borne.
  const char* const borne =
      p + (e.size() < lecture::lecture_max ? 0 : e.size() - lecture::lecture_max + 1);
  bool* const an = vues + 999;  // the flag of year 0 and up
  for (;;) {
    // A run of valid lines: each sets its year's flag, and they are counted
    // once the run is over. Measured against one loop for every read, on
    // valid files: 13% more instructions without it (callgrind, 1M lines),
    // 10% slower (hyperfine, 10M lines).
    const char* const debut = p;
    bool usuelle = false;
    Date d{};
    while (p < borne) {
      __builtin_prefetch(p + carte::devant);  // a view's bytes come from memory
      usuelle = forme(p);
      if (!usuelle) break;
      d = date(p);
      if (d.faute != valide || d.annee == 0) break;
      an[d.annee] = true;
      p += 11;
    }
    n += (p - debut) / 11;
    if (p >= borne) break;
    // Then the read that ended the run, taken by the way the run ended, its
    // fault chosen without a branch on its kind, so that the run's end is
    // the one guess about it that goes wrong. Measured against finding its
    // shape again and branching on its fault, on files with 30% faulty
    // lines: 8% fewer instructions with the branches (callgrind, 1M lines)
    // but 56% more branches mispredicted (cachegrind's simulation), and 4%
    // to 7% slower (hyperfine, 10M lines); with a branch for 29 February
    // rather than annees_bissextiles, the gain falls to 2% to 3%.
    std::size_t k = 11;
    std::uint32_t f;
    if (usuelle) {
      const auto y = static_cast<std::uint32_t>(d.annee);  // [0, 9999]
      an[y] = an[y] | (y != 0);
      const std::uint32_t bis = annees_bissextiles[y / 8] >> (y % 8) & 1;
      f = choisir(d.faute == bissextile, choisir(bis != 0, valide, jour), d.faute);
      f = choisir(y == 0, annee, f);
    } else {
      const lecture::Marques m = lecture::marques(p, lecture::lecture_max);
      k = lecture::longueur(m, lecture::lecture_max);  // [1, 14]
      const bool signes = (k > 5) & (p[2] == '/') & (p[5] == '/');
      f = choisir(signes, autre, separateur);
      f = choisir(k < 2, vide, f);
      f = choisir(k > 11, longue, f);
      f = choisir(m.nul < k, autre, f);
    }
    if (f == autre) break;
    p += k;
    ++n;
    if (f != valide) {
      ecriture::ecrire_message(out, messages[f], ligne + n);
      if (ecriture::en_panne(out)) break;
      // The reads after a fault, in the wide fast path where it runs: on
      // a file with faults at random, it saves the guesses this loop gets
      // wrong (figures in larges.cpp).
      if (au_large && net - p < 128)
        net = larges::sans_nul(p, std::min(e.data() + e.size(), p + 4096));
      if (au_large && net - p >= 128) {
        const char* q = p;  // p itself stays in a register
        n += larges::annees(q, net, vues, out, messages, ligne + n);
        p = q;
        if (ecriture::en_panne(out)) break;
      }
    }
  }
  if (!carte::intacte(l, p)) return n;
  lecture::passer(l, static_cast<std::size_t>(p - e.data()));
  return n;
}

}  // namespace rapide
