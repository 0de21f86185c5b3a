// The frame both batch converters share: the files, the reads, the length
// tests, one output line per read, and the statuses.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "textio/ecriture.hpp"
#include "textio/lecture.hpp"

namespace lot {

// Checks and converts one read that passed the length tests (11 characters,
// the 11th never examined): leaves the ten characters of the date text in r,
// or prints one message naming ligne and leaves r empty.
using Convertir = void (*)(textio::Sortie& out, std::string_view lu, std::int64_t ligne,
                           calendar::Resultat& r);

// The input and the output file of one run.
struct Fichiers {
  int source = -1;
  int image = -1;
};

// Opens the file at chemin and creates or empties chemin + suffixe; 0 when
// both are open, else the message printed and the status: 2 for the input, 3
// for the output, also when the output is the input or standard output under
// another name (nothing is emptied then). A null chemin is an input that
// cannot be opened. Standard output that is the input is given up (out
// fails) before any message, so that none is written into the input.
int ouvrir(const char* chemin, std::string_view suffixe, textio::Sortie& out, Fichiers& f);

// Closes both files once the reads are over and gives the run's status,
// printing the message of a failed read or write.
int fermer(const Fichiers& f, const textio::Lecteur& source, textio::Sortie& image,
           textio::Sortie& out);

// Converts the file at chemin into chemin + suffixe, line for line; returns
// 0, 2 when the input cannot be opened or read, 3 when the output cannot be
// created or written. A template, so that each program's checks are
// compiled into the loop, where the length of the read is known.
template <Convertir convertir>
int traiter(const char* chemin, std::string_view suffixe, textio::Sortie& out) {
  Fichiers f;
  if (const int statut = ouvrir(chemin, suffixe, out, f); statut != 0) return statut;
  textio::Lecteur source(f.source);
  textio::Sortie image(f.image);
  std::int64_t ligne = 0;  // reads so far; never wraps
  std::string_view texte;
  calendar::Resultat r{};  // the ten bytes ecrire_resultat copies are always set
  while (!textio::en_panne(image) && textio::lire(source, texte)) {
    ++ligne;
    r[0] = '\0';
    // The three length tests at once: an empty read has a message of its
    // own, and any length but 11 is too long or too short, with one message
    // for both.
    if (texte.size() < 2)
      textio::ecrire_format<"ligne %d vide\n">(out, ligne);
    else if (texte.size() != 11)
      textio::ecrire_format<"format date errone ligne %d\n">(out, ligne);
    else
      convertir(out, texte, ligne, r);
    textio::ecrire_resultat(image, r.data(), r[0] == '\0');
  }
  return fermer(f, source, image, out);
}

}  // namespace lot
