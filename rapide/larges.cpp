#include "rapide/larges.hpp"

#if defined(__x86_64__)

#include <cpuid.h>
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <span>

#include "calendar/revo.hpp"
#include "rapide/carte.hpp"

namespace rapide::larges {

namespace {

// The instructions below, and the system's saving of their registers, read
// from the processor itself: the compiler's built-in check said yes under
// valgrind, which cannot run them.
bool verifier() noexcept {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid_max(0, nullptr) < 7 || __get_cpuid(1, &a, &b, &c, &d) == 0) return false;
  const bool popcnt = (c >> 23 & 1) != 0, osxsave = (c >> 27 & 1) != 0;
  if (!osxsave) return false;
  unsigned xcr0 = 0, haut = 0;
  __asm__("xgetbv" : "=a"(xcr0), "=d"(haut) : "c"(0));
  if ((xcr0 & 0xE6) != 0xE6) return false;  // SSE, AVX, opmask and both ZMM halves
  __cpuid_count(7, 0, a, b, c, d);
  const bool f = (b >> 16 & 1) != 0, bw = (b >> 30 & 1) != 0, vl = (b >> 31 & 1) != 0;
  const bool bmi = (b >> 3 & 1) != 0, bmi2 = (b >> 8 & 1) != 0;
  const bool vbmi = (c >> 1 & 1) != 0, vbmi2 = (c >> 6 & 1) != 0;
  return popcnt && f && bw && vl && bmi && bmi2 && vbmi && vbmi2;
}

__extension__ using u128 = unsigned __int128;

#define LARGES \
  __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt")))

// 64 bytes, as one vector loads them.
template <typename T, std::size_t N>
struct alignas(64) Zmm {
  std::array<T, N> v;
};

// A read in each lane of eight bytes: byte t of lane i of each table.
constexpr auto par_voie(auto f) {
  Zmm<std::uint8_t, 64> t{};
  for (std::size_t i = 0; i < 64; ++i) t.v[i] = static_cast<std::uint8_t>(f(i / 8, i % 8));
  return t;
}
// Where each lane finds its read's end (one past it), and its start: the
// previous read's end, 0 for the first (index 63 wraps to the previous).
constexpr auto voie_courante = par_voie([](std::size_t i, std::size_t) { return i; });
constexpr auto voie_precedente = par_voie([](std::size_t i, std::size_t) { return i + 63; });
// The bytes a lane takes: DD and MM from the read's start, then the four
// before its newline, of which the year's digits are the last.
constexpr auto decalages = par_voie([](std::size_t, std::size_t t) -> std::size_t {
  constexpr std::array<std::size_t, 8> d = {0, 1, 3, 4, 256 - 5, 256 - 4, 256 - 3, 256 - 2};
  return d[t];
});
constexpr std::uint64_t octets_annee = 0xF0F0F0F0F0F0F0F0;
// The separators' places, in a lane's first two bytes.
constexpr auto barres =
    par_voie([](std::size_t, std::size_t t) -> std::size_t { return t == 0 ? 2 : 5; });
// A pair of digits' number: ten times the first, plus the second.
constexpr auto poids = par_voie([](std::size_t, std::size_t t) { return t % 2 == 0 ? 10 : 1; });
constexpr auto rangs = par_voie([](std::size_t i, std::size_t t) { return 8 * i + t; });
// The last day of each month, in a common year, by the checks' own rule.
constexpr auto jours_max = [] {
  Zmm<std::uint16_t, 32> t{};
  for (std::int32_t m = 1; m <= 12; ++m)
    for (std::int32_t d = 1; d < 32; ++d)
      if (::revo::verifier(d, m, 2001, ::revo::Regle::gregorienne) == ::revo::Jour::valide)
        t.v[static_cast<std::size_t>(m)] = static_cast<std::uint16_t>(d);
  return t;
}();
// Leap years from a year's two pairs of digits: 100 is a multiple of 4, so
// the last pair settles the first test. Checked against the rule itself.
constexpr bool bissextile_paires(unsigned haut, unsigned bas) noexcept {
  return (bas % 4 == 0) && (bas != 0 || haut % 4 == 0);
}
constexpr bool bissextiles_justes = [] {
  for (std::int32_t y = 1; y < 10000; ++y)
    if (bissextile_paires(static_cast<unsigned>(y / 100), static_cast<unsigned>(y % 100)) !=
        ::revo::bissextile(y, ::revo::Regle::gregorienne))
      return false;
  return true;
}();
static_assert(bissextiles_justes);
// A read's checks, as bits of one byte in the plain path's order: longer
// than 11 (bit 0), shorter than 2 (1), no separators in place (2), not DD/MM/
// and up to four digits (3), year 0 (4), month (5), day (6). Those its
// length settles come from this table.
constexpr auto par_longueur = [] {
  Zmm<std::uint8_t, 64> t{};
  for (std::size_t k = 0; k < 64; ++k)
    t.v[k] = static_cast<std::uint8_t>((k > 11) | (k < 2) << 1 | (k < 7 || k > 11) << 3);
  return t;
}();
// The fault each byte of checks names: its first check that fails.
constexpr auto par_controles = [] {
  Zmm<std::uint8_t, 128> t{};
  constexpr std::array<std::uint8_t, 8> fautes = {longue, vide, separateur, autre,
                                                  annee,  mois, jour,       valide};
  for (std::size_t c = 0; c < 128; ++c)
    t.v[c] = fautes[static_cast<std::size_t>(std::countr_zero(c | 128))];
  return t;
}();

// Each read's start and end (one past it) in its lane, and its length,
// from the ends of the first eight reads in bytes 0 to 7.
struct Voies {
  __m512i debuts, ends, longueurs;
};
LARGES inline Voies voies(__m512i fins, __m512i precedente, __m512i courante) noexcept {
  const __m512i debuts = _mm512_maskz_permutexvar_epi8(~0xFFull, precedente, fins);
  const __m512i ends = _mm512_permutexvar_epi8(courante, fins);
  return {debuts, ends, _mm512_sub_epi8(ends, debuts)};
}

// The digits of eight numbers below 10^8, one a lane: each digit's value in
// a byte, the first in the lowest, with the zeros that lead it. The number's
// halves, then their pairs, then their digits, each by a multiply.
LARGES inline __m512i chiffres(__m512i v) noexcept {
  // v / 10^4 is v * 0xD1B71759 >> 45 for any v below 10^8 (checked below).
  const __m512i h = _mm512_srli_epi64(_mm512_mul_epu32(v, _mm512_set1_epi64(0xD1B71759)), 45);
  const __m512i l = _mm512_sub_epi64(v, _mm512_mul_epu32(h, _mm512_set1_epi64(10000)));
  const __m512i x = _mm512_or_si512(h, _mm512_slli_epi64(l, 32));  // [0, 9999], a double word each
  // x / 100 is x * 5243 >> 19, and y / 10 is y * 6554 >> 16, on their ranges.
  const __m512i c = _mm512_srli_epi16(_mm512_mulhi_epu16(x, _mm512_set1_epi16(5243)), 3);
  const __m512i y = _mm512_or_si512(  // [0, 99], a word each
      c, _mm512_slli_epi32(_mm512_sub_epi16(x, _mm512_mullo_epi16(c, _mm512_set1_epi16(100))), 16));
  const __m512i d = _mm512_mulhi_epu16(y, _mm512_set1_epi16(6554));
  return _mm512_or_si512(
      d, _mm512_slli_epi16(_mm512_sub_epi16(y, _mm512_mullo_epi16(d, _mm512_set1_epi16(10))), 8));
}
// The first can only be wrong just below a multiple of 10^4.
constexpr bool divisions_justes = [] {
  for (std::uint64_t k = 1; k <= 10000; ++k)
    for (const std::uint64_t v : {k * 10000 - 1, k * 10000})
      if ((v * 0xD1B71759 >> 45) != v / 10000) return false;
  for (std::uint32_t x = 0; x < 10000; ++x)
    if ((x * 5243 >> 19) != x / 100 || (x < 100 && (x * 6554 >> 16) != x / 10)) return false;
  return true;
}();
static_assert(divisions_justes);

// Copies the piece m to q, its first 32 bytes at one size whatever its
// length, the rest only where it is longer; returns where it ends.
inline char* poser(char* q, const ecriture::Morceau& m) noexcept {
  std::memcpy(q, m.c.data(), 32);
  if (m.n > 32) std::memcpy(q + 32, m.c.data() + 32, sizeof m.c - 32);
  return q + m.n;
}

// Writes the message of each of the n faults at f (its read's rank, times
// 8, plus its fault), numbered from premiere, straight into the writer's
// room; the numbers' digits eight at a time where they all lie below 10^8
// (courts). Measured, with the years read back from memory in the passes,
// against ecrire_message for each and the years moved out of their lanes
// one by one, on files with 30% faulty lines (hyperfine, 10M lines, 16
// turned rounds of 5 runs): 45.7 against 48.1 ms, 5% faster; either change
// alone gained 1% to 2%.
LARGES void ecrire(ecriture::Sortie& out, const Messages& messages, const std::uint64_t* f,
                   std::size_t n, std::int64_t premiere, bool courts) noexcept {
  alignas(64) static std::array<std::uint64_t, 1024 + 8> c;
  const __m512i depart = _mm512_set1_epi64(premiere);
  for (std::size_t i = 0; courts && i < n; i += 8)
    _mm512_store_si512(c.data() + i, chiffres(_mm512_add_epi64(
                                         depart, _mm512_srli_epi64(_mm512_loadu_si512(f + i), 3))));
  std::span<char> o = ecriture::place(out);
  char* q = o.data();
  for (std::size_t i = 0; i < n; ++i) {
    if (o.data() + o.size() - q < static_cast<std::ptrdiff_t>(ecriture::bloc_court)) {
      ecriture::ajouter(out, static_cast<std::size_t>(q - o.data()));
      ecriture::vider(out);
      o = ecriture::place(out);
      q = o.data();
    }
    const ecriture::Format& m = messages[f[i] & 7];
    q = poser(q, m.avant);
    if (courts) {
      // As nombres::decimal ends, for a number that is never 0: the zero
      // bytes at the low end lead.
      const auto z = static_cast<unsigned>(std::countr_zero(c[i])) & ~7u;
      const std::uint64_t t = (c[i] | 0x3030303030303030) >> z;
      std::memcpy(q, &t, 8);
      q += 8 - z / 8;
    } else {
      q += nombres::decimal(q, premiere + static_cast<std::int64_t>(f[i] >> 3));
    }
    q = poser(q, m.apres);
  }
  ecriture::ajouter(out, static_cast<std::size_t>(q - o.data()));
}

}  // namespace

bool permises = true;

// Checked when first asked, not at start: the batch programs, which link
// this and never ask, need not pay for it.
bool disponibles() noexcept {
  static const bool disponible = verifier();
  return disponible;
}

LARGES const char* sans_nul(const char* p, const char* fin) noexcept {
  for (; fin - p >= 64; p += 64) {
    const __m512i v = _mm512_loadu_si512(p);
    const std::uint64_t z = _mm512_testn_epi8_mask(v, v);
    if (z != 0) return p + _tzcnt_u64(z);
  }
  return p;
}

// Each pass takes the first eight reads of the 128 bytes at p: where they
// end comes from the newlines, one lane a read; the bytes each lane needs
// are gathered by one shuffle; the checks become one byte of bits a lane,
// which a table turns into its fault. Nothing in a pass branches on a
// read's kind, where the usual line's loop guesses wrong at about every
// fault. The messages of a run of passes are written after it, from the
// faults kept in order. Measured against the narrower fast path alone
// (hyperfine, 10M lines, 12 turned rounds of 5 runs): on files with 30%
// faulty lines 59.4 against 74.5 ms, 20% faster; valid files unchanged
// (30.2 ms both), since it only starts after a fault. Used for every read,
// valid files ran 36.9 against 27.1 ms: the usual line's loop is the faster
// one where it guesses right. Four reads a pass (a lane of 16 bytes each):
// 68.1 against 72.7 ms. The same passes in scalar code, with no branch on a
// read's kind: 145 ms, three times the instructions. valgrind runs none of
// this, so callgrind counts the narrower path.
LARGES std::int64_t annees(const char*& p, const char* fin, bool* vues, ecriture::Sortie& out,
                           const Messages& messages, std::int64_t ligne) noexcept {
  bool* const an = vues + 999;  // the flag of year 0 and up
  const __m512i courante = _mm512_load_si512(voie_courante.v.data()),
                precedente = _mm512_load_si512(voie_precedente.v.data()),
                dec = _mm512_load_si512(decalages.v.data()),
                bar = _mm512_load_si512(barres.v.data()), w = _mm512_load_si512(poids.v.data()),
                iota = _mm512_load_si512(rangs.v.data()),
                jm = _mm512_load_si512(jours_max.v.data()),
                tk = _mm512_load_si512(par_longueur.v.data()),
                tc0 = _mm512_load_si512(par_controles.v.data()),
                tc1 = _mm512_load_si512(par_controles.v.data() + 64);
  const __m512i moins_un = _mm512_sub_epi8(iota, _mm512_set1_epi8(1));
  const __m512i un_a_64 = _mm512_add_epi8(iota, _mm512_set1_epi8(1)),
                de_65 = _mm512_add_epi8(iota, _mm512_set1_epi8(65));
  // Held in registers: the compiler would otherwise build each again in
  // every pass, on the port the shuffles need.
  __m512i c_nl = _mm512_set1_epi8('\n'), c_6 = _mm512_set1_epi8(6), c_0 = _mm512_set1_epi8('0'),
          c_9 = _mm512_set1_epi8(9), c_14 = _mm512_set1_epi8(14),
          c_barres = _mm512_set1_epi16(0x2F2F), c_k6 = _mm512_set1_epi16(0x0606),
          c_1 = _mm512_set1_epi16(1), c_2 = _mm512_set1_epi16(2), c_3 = _mm512_set1_epi16(3),
          c_11 = _mm512_set1_epi16(11), c_b4 = _mm512_set1_epi16(4), c_b16 = _mm512_set1_epi16(16),
          c_b32 = _mm512_set1_epi16(32), c_b64 = _mm512_set1_epi16(64), c_b8 = _mm512_set1_epi64(8),
          c_an = _mm512_set1_epi64(0x0001006400000000), c_ff = _mm512_set1_epi64(0xFF),
          c_4 = _mm512_set1_epi64(4), c_autre = _mm512_set1_epi64(autre),
          c_valide = _mm512_set1_epi64(valide), c_pas = _mm512_set1_epi64(64);
  __asm__("" : "+v"(c_nl), "+v"(c_6), "+v"(c_0), "+v"(c_9), "+v"(c_14), "+v"(c_barres));
  __asm__("" : "+v"(c_k6), "+v"(c_1), "+v"(c_2), "+v"(c_3), "+v"(c_11), "+v"(c_b4));
  __asm__("" : "+v"(c_b16), "+v"(c_b32), "+v"(c_b64), "+v"(c_b8), "+v"(c_an), "+v"(c_ff));
  __asm__("" : "+v"(c_4), "+v"(c_autre), "+v"(c_valide), "+v"(c_pas));
  // The faults of a run of passes, in order: each its read's rank in the
  // run, times 8, plus its fault.
  static std::array<std::uint64_t, 1024 + 8> fautes;
  std::int64_t n = 0;
  bool fini = false;
  unsigned calmes = 0;  // passes in a row with no fault
  while (!fini && fin - p >= 128) {
    std::size_t nf = 0;
    std::uint32_t j = 0;  // reads of this run of passes
    __m512i rangs_j = _mm512_slli_epi64(_mm512_cvtepu8_epi64(_mm512_castsi512_si128(iota)), 3);
    for (; j < 1024 && fin - p >= 128; j += 8) {
      _mm_prefetch(p + carte::devant, _MM_HINT_T0);  // a view's bytes come from memory
      const __m512i v0 = _mm512_loadu_si512(p), v1 = _mm512_loadu_si512(p + 64);
      const std::uint64_t nl0 = _mm512_cmpeq_epi8_mask(v0, c_nl);
      const std::uint64_t nl1 = _mm512_cmpeq_epi8_mask(v1, c_nl);
      // One past the end of each of the first eight reads, in bytes 0 to 7.
      const auto c0 = static_cast<unsigned>(_mm_popcnt_u64(nl0));
      __m512i fins = _mm512_or_si512(
          _mm512_maskz_compress_epi8(nl0, un_a_64),
          _mm512_maskz_permutexvar_epi8(
              ~_bzhi_u64(~0ull, c0), _mm512_sub_epi8(iota, _mm512_set1_epi8(static_cast<char>(c0))),
              _mm512_maskz_compress_epi8(nl1, de_65)));
      // Each read's length: [1, 14], unless one is longer or fewer than
      // eight end in these 128 bytes.
      Voies v = voies(fins, precedente, courante);
      const bool moins_de_huit = c0 + _mm_popcnt_u64(nl1) < 8;
      if (moins_de_huit || _mm512_cmpgt_epu8_mask(v.longueurs, c_14) != 0) {
        // One line of 15 to 28 bytes among the eight, its newline counted,
        // is cut at its 14th byte, as fgets cuts it, the later ends moved
        // up a lane, with no loop. Measured against the loop below alone,
        // on files with 30% faulty lines, one in 40 of 15 bytes: 51.2
        // against 56.5 ms, 9% faster (hyperfine, 10M lines, 10 turned
        // rounds of 5 runs); on the same lines without those, 48.0 both.
        const __m512i avant = _mm512_maskz_permutexvar_epi8(~1ull, moins_un, fins);
        const std::uint64_t longues =
            _mm512_mask_cmpgt_epu8_mask(0xFF, _mm512_sub_epi8(fins, avant), c_14);
        fins = _mm512_mask_mov_epi8(_mm512_mask_mov_epi8(fins, ~((longues << 1) - 1), avant),
                                    longues, _mm512_add_epi8(avant, c_14));
        v = voies(fins, precedente, courante);
        // Two such reads leave one of more than 14 bytes: the second's
        // lane holds the end of the read before it, plus 14.
        if (moins_de_huit || _mm512_cmpgt_epu8_mask(v.longueurs, c_14) != 0) {
          // Any other read of more than 14 bytes is cut there too.
          const auto tous = nl0 | static_cast<u128>(nl1) << 64;
          std::uint64_t f = 0;
          unsigned s = 0;  // [0, 112]
          for (unsigned i = 0; i < 8; ++i) {
            s += std::min(
                static_cast<unsigned>(_tzcnt_u64(static_cast<std::uint64_t>(tous >> s))) + 1, 14u);
            f |= std::uint64_t{s} << (8 * i);
          }
          fins = _mm512_set1_epi64(static_cast<long long>(f));
          v = voies(fins, precedente, courante);  // lengths [1, 14]
        }
      }
      const auto [debuts, ends, longueurs] = v;
      // [8, 112]: within the 128 bytes, so before fin.
      const auto avance = static_cast<std::size_t>(
          static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm512_castsi512_si128(fins))) >> 56);
      // Each lane: DD, MM and the year's digits as digits, those before the
      // year's first as '0'; and its separators.
      const __m512i idx =
          _mm512_mask_add_epi8(_mm512_add_epi8(debuts, dec), octets_annee, ends, dec);
      const std::uint64_t tete =
          _mm512_mask_cmplt_epu8_mask(octets_annee, idx, _mm512_add_epi8(debuts, c_6));
      const __m512i d = _mm512_sub_epi8(
          _mm512_mask_mov_epi8(_mm512_permutex2var_epi8(v0, idx, v1), tete, c_0), c_0);
      const __m512i trop = _mm512_subs_epu8(d, c_9);  // not 0 but for a digit
      const __m512i signes = _mm512_permutex2var_epi8(v0, _mm512_add_epi8(debuts, bar), v1);
      // Words 0 to 3 of a lane: day, month, and the year's two pairs; each
      // moved to word 0, where the checks are read.
      const __m512i paires = _mm512_maddubs_epi16(d, w);
      const __m512i mois_ = _mm512_srli_epi64(paires, 16), haut = _mm512_srli_epi64(paires, 32),
                    bas = _mm512_srli_epi64(paires, 48);
      const std::uint32_t bis =
          _mm512_testn_epi16_mask(bas, c_3) &
          (_mm512_test_epi16_mask(bas, bas) | _mm512_testn_epi16_mask(haut, c_3));
      const std::uint32_t fevrier = _mm512_cmpeq_epi16_mask(mois_, c_2);
      const __m512i dernier = _mm512_permutexvar_epi16(mois_, jm);
      const __m512i dernier_jour = _mm512_mask_add_epi16(dernier, bis & fevrier, dernier, c_1);
      const __m512i an_nul = _mm512_or_si512(haut, bas);
      // Each lane's checks, then its fault: the bits are each set once, so
      // adding sets them.
      __m512i c = _mm512_permutexvar_epi8(longueurs, tk);
      c = _mm512_mask_add_epi16(
          c, _mm512_cmpneq_epi16_mask(signes, c_barres) | _mm512_cmplt_epu16_mask(longueurs, c_k6),
          c, c_b4);
      c = _mm512_mask_or_epi64(c, _mm512_test_epi64_mask(trop, trop), c, c_b8);
      c = _mm512_mask_add_epi16(c, _mm512_testn_epi16_mask(an_nul, an_nul), c, c_b16);
      c = _mm512_mask_add_epi16(c, _mm512_cmpgt_epu16_mask(_mm512_sub_epi16(mois_, c_1), c_11), c,
                                c_b32);
      c = _mm512_mask_add_epi16(
          c, _mm512_cmpge_epu16_mask(_mm512_sub_epi16(paires, c_1), dernier_jour), c, c_b64);
      const __m512i codes = _mm512_and_si512(_mm512_permutex2var_epi8(tc0, c, tc1), c_ff);
      if (_mm512_cmpeq_epi64_mask(codes, c_autre) != 0) {
        fini = true;
        break;
      }
      const __mmask8 faux = _mm512_cmpneq_epi64_mask(codes, c_valide);
      const __mmask8 comptent = _mm512_cmpge_epu64_mask(codes, c_4);  // mois, jour, valide
      // The year of each read that counts one, 0 for the others, in word 2
      // of its lane.
      alignas(64) std::array<std::uint16_t, 32> a;
      _mm512_store_si512(a.data(),
                         _mm512_maskz_mov_epi64(comptent, _mm512_madd_epi16(paires, c_an)));
      __asm__("" : "+m"(a));  // read back from memory, not moved out lane by lane
      for (std::size_t i = 2; i < 32; i += 4) an[a[i]] = true;
      _mm512_storeu_si512(fautes.data() + nf,
                          _mm512_maskz_compress_epi64(faux, _mm512_or_si512(codes, rangs_j)));
      nf += static_cast<std::size_t>(_mm_popcnt_u32(faux));
      rangs_j = _mm512_add_epi64(rangs_j, c_pas);
      p += avance;
      calmes = faux == 0 ? calmes + 1 : 0;
      if (calmes == 2) {
        j += 8;
        fini = true;
        break;
      }
    }
    an[0] = false;  // the reads that count no year set it
    ecrire(out, messages, fautes.data(), nf, ligne + n + 1, ligne + n + j < 100000000);
    n += j;
    if (ecriture::en_panne(out)) break;
  }
  return n;
}

}  // namespace rapide::larges

#else

namespace rapide::larges {

bool permises = true;

bool disponibles() noexcept {
  return false;
}
const char* sans_nul(const char* p, const char*) noexcept {
  return p;
}
std::int64_t annees(const char*&, const char*, bool*, ecriture::Sortie&, const Messages&,
                    std::int64_t) noexcept {
  return 0;
}

}  // namespace rapide::larges

#endif
