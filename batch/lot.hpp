// The frame both batch converters share: the files, the reads, the length
// tests and their messages, one output line per read, and the statuses.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "ecriture/ecriture.hpp"
#include "lecture/lecture.hpp"
#include "rapide/rapide.hpp"

namespace lot {

// Checks and converts one read that passed the length tests (11 characters,
// the 11th never examined): leaves the ten characters of the date text in r,
// or prints one message naming ligne and leaves r empty.
using Convertir = void (*)(ecriture::Sortie& out, std::string_view lu, std::int64_t ligne,
                           calendar::Resultat& r);

// The input and the output file of one run.
struct Fichiers {
  int source = -1, image = -1;
};

// The frame's two messages, for both paths.
inline constexpr ecriture::Format ligne_vide = "ligne %d vide\n";
inline constexpr ecriture::Format format_errone = "format date errone ligne %d\n";

// Opens the file at chemin and creates or empties chemin + suffixe; 0 when
// both are open, else the message printed and the status: 2 for the input, 3
// for the output, also when the output is the input or standard output under
// another name (nothing is emptied then). A null chemin is an input that
// cannot be opened.
int ouvrir(const char* chemin, std::string_view suffixe, ecriture::Sortie& out, Fichiers& f);

// Closes both files once the reads are over and gives the run's status,
// printing the message of a failed read or write.
int fermer(const Fichiers& f, const lecture::Lecteur& source, ecriture::Sortie& image,
           ecriture::Sortie& out);

// Converts the file at chemin into chemin + suffixe, line for line; returns
// 0, 2 when the input cannot be opened or read, 3 when the output cannot be
// created or written. Each usual line that Voie takes goes through the fast
// path, and so does each read that ends a run of them and whose fault Voie
// knows, with its message from messages; every other read goes through the
// plain path. A template, so that each program's checks are compiled into
// the loop, where the length of the read is known.
template <Convertir convertir, typename Voie, const auto& messages>
int traiter_par(const char* chemin, std::string_view suffixe, ecriture::Sortie& out) {
  // The process's own, for its whole run: off the stack, zeroed.
  static lecture::Bloc bloc;
  static std::array<char, ecriture::bloc_ecriture> tampon;
  Fichiers f;
  if (const int statut = ouvrir(chemin, suffixe, out, f); statut != 0) return statut;
  lecture::Lecteur source(f.source, bloc);
  ecriture::Sortie image(f.image, tampon);
  std::int64_t ligne = 0;  // reads so far; never wraps
  std::string_view texte;
  calendar::Resultat r{};
  while (!ecriture::en_panne(image)) {
    ligne += rapide::convertir<Voie>(source, image, out, messages, ligne);
    if (!lecture::lire(source, texte)) break;
    ++ligne;
    r[0] = '\0';
    // The three length tests at once: an empty read has a message of its
    // own, and any length but 11 is too long or too short, with one message
    // for both.
    if (texte.size() != 11)
      ecriture::ecrire_message(out, texte.size() < 2 ? ligne_vide : format_errone, ligne);
    else
      convertir(out, texte, ligne, r);
    ecriture::ecrire_ligne(image, {r.data(), r[0] == '\0' ? 0u : 10u});
  }
  return fermer(f, source, image, out);
}

// The same, through the fast path Voie<sse2> with the kernels noyau names,
// or through the plain path alone.
template <Convertir convertir, template <bool> class Voie, const auto& messages>
int traiter(const char* chemin, std::string_view suffixe, ecriture::Sortie& out,
            rapide::Noyau noyau) {
  return rapide::selon(
      noyau,
      [&](auto sse2) {
        return traiter_par<convertir, Voie<sse2()>, messages>(chemin, suffixe, out);
      },
      [&] { return traiter_par<convertir, rapide::Aucune, messages>(chemin, suffixe, out); });
}

}  // namespace lot
