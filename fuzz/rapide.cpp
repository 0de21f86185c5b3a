// Differential: a file through each file program's fast path and through its
// plain path gives the same status, the same messages and the same output
// file. The input is a recipe for the file, so that most lines are dates of
// the tables or near them, where the two paths part if either is wrong:
// each step takes one byte for its kind and a few more for its line.
#include "rapide/rapide.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

#include "batchcivil/batchcivil.hpp"
#include "batchrevo/batchrevo.hpp"
#include "calendar/textes.hpp"
#include "commun.hpp"
#include "lecture/lecture.hpp"
#include "yearscan/yearscan.hpp"

namespace {

struct Recette {
  const std::uint8_t* p;
  std::size_t n;
  std::uint8_t octet() { return n > 0 ? (--n, *p++) : 0; }
  unsigned deux() { return octet() * 256u + octet(); }
};

// A date text of day number n (around the span) in one layout, or the other.
std::string date(std::int32_t n, bool republicaine) {
  const calendar::Resultat r =
      republicaine ? calendar::texte_republicain(n) : calendar::texte_gregorien(n);
  return std::string(calendar::texte(r));
}

// Both files of the recipe: Republican lines for batchcivil, Gregorian ones
// for batchrevo and yearscan.
void faire(Recette r, std::string& rep, std::string& greg) {
  while (r.n > 0) {
    const std::uint8_t genre = r.octet();
    const auto n = static_cast<std::int32_t>(r.deux() % 5200) - 200;  // the span, and either side
    std::string a = date(n, true), b = date(n, false);
    switch (genre % 6) {
      case 0: break;  // a date as it is
      case 1: {       // one byte changed
        const std::size_t i = r.octet() % 11;
        const char c = static_cast<char>(r.octet());
        (i < a.size() ? a[i] : a.back()) = c;
        (i < b.size() ? b[i] : b.back()) = c;
        break;
      }
      case 2: {  // any day and month of any year
        char t[16];
        std::snprintf(t, sizeof t, "%02u/%02u/%04u", r.octet() % 40u, r.octet() % 16u,
                      r.deux() % 10000u);
        a = b = t;
        break;
      }
      case 3: {  // raw bytes
        a.clear();
        for (unsigned k = r.octet() % 20; k > 0; --k) a += static_cast<char>(r.octet());
        b = a;
        break;
      }
      case 4:  // no newline: the last line, or joined
        rep += a;
        greg += b;
        continue;
      case 5:  // many more lines: blocks end
        for (unsigned k = r.octet() % 4; k > 0 && rep.size() < 400000; --k) {
          rep += rep;
          greg += greg;
        }
        continue;
    }
    rep += a + '\n';
    greg += b + '\n';
  }
}

template <class Programme>
void comparer(const char* nom, const std::string& octets, Programme programme,
              const std::string& suffixe, rapide::Noyau noyau) {
  const std::string& chemin = fuzz::chemin_scratch();
  fuzz::ecrire_fichier(chemin, octets);
  const auto lent = fuzz::capturer(
      [&](ecriture::Sortie& s) { return programme(chemin, s, rapide::Noyau::aucun); });
  const auto image_lente = fuzz::lire_fichier(chemin + suffixe);
  const auto vite =
      fuzz::capturer([&](ecriture::Sortie& s) { return programme(chemin, s, noyau); });
  const auto image_vite = fuzz::lire_fichier(chemin + suffixe);
  fuzz::exiger(lent.first == vite.first, nom, "status");
  fuzz::exiger(lent.second == vite.second, nom, "standard output");
  fuzz::exiger(suffixe.empty() || image_lente == image_vite, nom, "output file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string rep, greg;
  faire({data, size}, rep, greg);
  // Each kernel this processor runs, against the plain path; one it does
  // not run is said once, not passed over in silence.
  static const bool dit = lecture::sse2_ici ||
                          std::fputs("fuzz_rapide: no SSE2 kernels here, portable alone\n", stderr);
  (void)dit;
  for (const rapide::Noyau noyau : {rapide::Noyau::portable, rapide::Noyau::sse2}) {
    if (noyau == rapide::Noyau::sse2 && !lecture::sse2_ici) continue;
    comparer(
        "batchcivil: fast and plain paths part", rep,
        [](const std::string& c, ecriture::Sortie& s, rapide::Noyau n) {
          return batchcivil(c.c_str(), s, n);
        },
        ".Greg", noyau);
    comparer(
        "batchrevo: fast and plain paths part", greg,
        [](const std::string& c, ecriture::Sortie& s, rapide::Noyau n) {
          return batchrevo(c.c_str(), s, n);
        },
        ".rep", noyau);
    comparer(
        "yearscan: fast and plain paths part", greg,
        [](const std::string& c, ecriture::Sortie& s, rapide::Noyau n) {
          return yearscan(c.c_str(), s, n);
        },
        "", noyau);
  }
  return 0;
}
