#include "rapide/rapide.hpp"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rapide {

namespace {

// For each month m and day d below 128, at m * 128 + d: 0 for a day no
// month has, 2 for 29 February, 1 for every other day. Looked up before the
// line is known to be digits, whose pairs can make numbers up to 165.
constexpr std::size_t cote = 128;
constexpr auto jours_mois = [] {
  std::array<std::uint8_t, cote * cote> t{};
  for (std::int32_t m = 1; m <= 12; ++m)
    for (std::int32_t d = 1; d <= 31; ++d)
      if (revo::verifier(d, m, 2000, revo::Regle::gregorienne) == revo::Jour::valide)
        t[static_cast<std::size_t>(m) * cote + static_cast<std::size_t>(d)] =
            m == 2 && d == 29 ? 2 : 1;
  return t;
}();

// Whether the eleven bytes at p are DD/MM/YYYY and a newline; sixteen may
// be read.
inline bool forme(const char* p) noexcept {
#if defined(__SSE2__)
  // Each byte strictly between its two bounds, sixteen at a time. Measured
  // against the two words below: yearscan 40% more instructions without it
  // on valid files (callgrind, 1M lines), 27% slower (hyperfine, 10M lines).
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

}  // namespace

std::int64_t annees(lecture::Lecteur& l, bool* vues) noexcept {
  const std::string_view e = lecture::restant(l);
  const std::size_t n = e.size() / 11;
  std::size_t k = 0;
  for (; k < n; ++k) {
    const char* p = e.data() + 11 * k;
    const std::uint64_t pa = paires(mot(p)), pb = paires(mot(p + 3));
    const std::uint8_t jour =
        jours_mois[static_cast<std::size_t>((pa >> 24 & 0x7F) * cote + (pa & 0x7F))];
    const auto y = static_cast<std::int32_t>((pa >> 48 & 0xFF) * 100 + (pb >> 40 & 0xFF));
    if (!(forme(p) & (jour != 0) & (y != 0))) break;
    if (jour == 2 && !revo::bissextile(y, revo::Regle::gregorienne)) break;
    vues[y + 999] = true;
  }
  lecture::passer(l, 11 * k);
  return static_cast<std::int64_t>(k);
}

}  // namespace rapide
