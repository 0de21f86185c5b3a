// What the harnesses share: capturing a program's standard output, scratch
// files, an independent day count for the span, and failing loudly.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ecriture/ecriture.hpp"
#include "fichiers/fichiers.hpp"
#include "rapide/rapide.hpp"

namespace fuzz {

// Stops the run with the input saved by libFuzzer, saying which rule broke.
[[noreturn]] inline void rompu(const char* regle, std::string_view detail) {
  std::fprintf(stderr, "invariant broken: %s [%.*s]\n", regle, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

inline void exiger(bool vrai, const char* regle, std::string_view detail = {}) {
  if (!vrai) rompu(regle, detail);
}

// Runs f with a Sortie on an in-memory file; returns f's status and every
// byte it wrote.
template <class F>
std::pair<int, std::string> capturer(F f) {
  const int fd = memfd_create("stdout", 0);
  int statut;
  {
    static std::array<char, ecriture::bloc_ecriture> tampon;
    ecriture::Sortie s(dup(fd), tampon);  // terminer closes its own descriptor
    statut = fichiers::terminer(s, f(s));
  }
  std::string octets(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
  if (pread(fd, octets.data(), octets.size(), 0) != static_cast<ssize_t>(octets.size()))
    rompu("capture", "pread");
  close(fd);
  return {statut, octets};
}

// The lines of a text that ends with a newline (or is empty).
inline std::vector<std::string> lignes(std::string_view t, const char* qui) {
  exiger(t.empty() || t.back() == '\n', qui, t);
  std::vector<std::string> l;
  for (std::size_t debut = 0; debut < t.size();) {
    const std::size_t fin = t.find('\n', debut);
    l.emplace_back(t.substr(debut, fin - debut));
    debut = fin + 1;
  }
  return l;
}

// The reads fgets(buf, 15, f) makes of a file's bytes, as strlen sees them.
inline std::vector<std::string> lectures(std::string_view octets) {
  std::vector<std::string> l;
  for (std::size_t i = 0; i < octets.size();) {
    std::size_t k = 0;
    while (k < 14 && i + k < octets.size() && octets[i + k] != '\n') ++k;
    if (k < 14 && i + k < octets.size()) ++k;  // the newline
    const std::string_view lu = octets.substr(i, k);
    l.emplace_back(lu.substr(0, lu.find('\0')));
    i += k;
  }
  return l;
}

// A file of its own for each harness process, on tmpfs when there is one.
inline const std::string& chemin_scratch() {
  static const std::string c = [] {
    std::string modele = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    modele += "/dates-fuzz-XXXXXX";
    if (mkdtemp(modele.data()) == nullptr) rompu("scratch", "mkdtemp");
    return modele + "/dates";
  }();
  return c;
}

inline void ecrire_fichier(const std::string& chemin, std::string_view octets) {
  std::FILE* f = std::fopen(chemin.c_str(), "wb");
  if (f == nullptr || std::fwrite(octets.data(), 1, octets.size(), f) != octets.size())
    rompu("scratch", "write");
  std::fclose(f);
}

inline std::optional<std::string> lire_fichier(const std::string& chemin) {
  std::FILE* f = std::fopen(chemin.c_str(), "rb");
  if (f == nullptr) return std::nullopt;
  std::string t;
  char b[4096];
  for (std::size_t k; (k = std::fread(b, 1, sizeof b, f)) > 0;) t.append(b, k);
  std::fclose(f);
  return t;
}

// The independent day count: a Republican date of the span is its offset
// from its year's 1 Vendémiaire, 30 days a month; Gregorian days are
// counted by the standard library.
namespace jours {

using namespace std::chrono;

inline const year_month_day debuts[] = {
    1792y / 9 / 22, 1793y / 9 / 22, 1794y / 9 / 22, 1795y / 9 / 23, 1796y / 9 / 22,
    1797y / 9 / 22, 1798y / 9 / 22, 1799y / 9 / 23, 1800y / 9 / 23, 1801y / 9 / 23,
    1802y / 9 / 23, 1803y / 9 / 24, 1804y / 9 / 23, 1805y / 9 / 23, 1806y / 9 / 23};

inline const char* const mois[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM",
                                   "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};

inline std::string deux(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02u", v);
  return b;
}

// The Gregorian text of a Republican date of the span (day 1..30, month
// code 1..13, year 1..14, up to 10 NIVO 14), or nothing outside it.
inline std::optional<std::string> greg(int jour, int code, int an) {
  if (an < 1 || an > 14 || code < 1 || code > 13 || jour < 1 || jour > 30) return std::nullopt;
  const sys_days s = sys_days{debuts[an - 1]} + days{(code - 1) * 30 + jour - 1};
  if (s >= sys_days{debuts[an]} || s > sys_days{1805y / 12 / 31}) return std::nullopt;
  const year_month_day g{s};
  return deux(static_cast<unsigned>(g.day())) + "/" + deux(static_cast<unsigned>(g.month())) + "/" +
         std::to_string(static_cast<int>(g.year()));
}

// The Republican text of a Gregorian date of the span, or nothing outside it.
inline std::optional<std::string> rep(int jour, int m, int an) {
  const year_month_day g =
      year{an} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(jour)};
  if (m < 1 || m > 12 || jour < 1 || !g.ok()) return std::nullopt;
  const sys_days s{g};
  if (s < sys_days{debuts[0]} || s > sys_days{1805y / 12 / 31}) return std::nullopt;
  int a = 1;
  while (sys_days{debuts[a]} <= s) ++a;
  const int decalage = static_cast<int>((s - sys_days{debuts[a - 1]}).count());
  return deux(static_cast<unsigned>(decalage % 30 + 1)) + "/" + mois[decalage / 30] + "/" +
         deux(static_cast<unsigned>(a));
}

}  // namespace jours
}  // namespace fuzz

namespace fuzz {

// Whether m is one of the messages, with n for its "%d" where it has one.
inline bool message_parmi(std::string_view m, std::int64_t n,
                          std::initializer_list<std::string_view> formats) {
  for (const std::string_view f : formats) {
    const std::size_t trou = f.find("%d");
    std::string attendu(f);
    if (trou != std::string_view::npos) attendu.replace(trou, 2, std::to_string(n));
    if (!attendu.empty() && attendu.back() == '\n') attendu.pop_back();
    if (m == attendu) return true;
  }
  return false;
}

// Runs a batch program on a file of these bytes and checks what holds for any
// input: status 0, one output line per read, each empty or ten bytes, one
// message for each empty line and none for the others, in the order of the
// reads, each one of `messages` with the read's number. attendu(read) is the
// day count's date for a read that must convert, nothing for one that must
// fail.
template <class Programme, class Attendu>
void verifier_lot(std::string_view octets, Programme programme, const std::string& suffixe,
                  Attendu attendu, std::initializer_list<std::string_view> messages) {
  const std::string& chemin = chemin_scratch();
  ecrire_fichier(chemin, octets);
  std::remove((chemin + suffixe).c_str());
  const auto [statut, sortie] =
      capturer([&](ecriture::Sortie& s) { return programme(chemin.c_str(), s, rapide::meilleur); });
  exiger(statut == 0, "status 0 whatever the lines hold", sortie);
  const std::vector<std::string> lus = lectures(octets);
  const auto image = lire_fichier(chemin + suffixe);
  exiger(image.has_value(), "the output file exists");
  const auto sorties = lignes(*image, "every output line ends with a newline");
  exiger(sorties.size() == lus.size(), "one output line per read", *image);
  const auto dits = lignes(sortie, "every message ends with a newline");
  std::size_t k = 0;
  for (std::size_t i = 0; i < lus.size(); ++i) {
    const std::optional<std::string> date = attendu(lus[i]);
    if (!sorties[i].empty()) {
      exiger(date.has_value() && *date == sorties[i], "a converted date agrees with the day count",
             lus[i]);
      continue;
    }
    exiger(!date, "a date of the span is converted", lus[i]);
    exiger(k < dits.size(), "a read that fails prints a message", lus[i]);
    const std::string& dit = dits[k++];
    exiger(message_parmi(dit, static_cast<std::int64_t>(i + 1), messages),
           "a failing read prints one of the messages, with its number", dit);
  }
  exiger(k == dits.size(), "a read that converts prints nothing", sortie);
}

// A command-line argument made of the input: its bytes up to the first NUL.
inline std::string argument(const std::uint8_t* data, std::size_t size) {
  const std::string_view octets(reinterpret_cast<const char*>(data), size);
  return std::string(octets.substr(0, octets.find('\0')));
}

inline constexpr std::string_view avertissement =
    "date républicaine hors limite, le résultat peut être erroné";

}  // namespace fuzz
