#include "batch/lot.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace lot {

namespace {

constexpr std::string_view image_impossible = "Le fichier image ne peut etre ecrit";

}  // namespace

int traiter(const char* chemin, std::string_view suffixe, textio::Sortie& out,
            Convertir convertir) {
  const int source_fd = textio::ouvrir_source(chemin);
  if (source_fd < 0) {
    textio::ecrire_ligne(out, textio::source_absente);
    return 2;
  }
  const std::string image = std::string(chemin).append(suffixe);
  const int image_fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (image_fd < 0) {
    ::close(source_fd);
    textio::ecrire_ligne(out, image_impossible);
    return 3;
  }

  textio::Lecteur source(source_fd);
  textio::Sortie sortie(image_fd);
  std::int64_t ligne = 0;  // reads so far; never wraps
  std::string_view texte;
  calendar::Resultat r;
  while (!sortie.echec && textio::lire(source, texte)) {
    ++ligne;
    r[0] = '\0';
    // The three length tests at once: an empty read has a message of its
    // own, and any length but 11 is too long or too short, with one message
    // for both.
    if (texte.size() < 2)
      textio::ecrire_format(out, "ligne %d vide\n", ligne);
    else if (texte.size() != 11)
      textio::ecrire_format(out, "format date errone ligne %d\n", ligne);
    else
      convertir(out, texte, ligne, r);
    // A batch result is ten characters or none: no need to look for its
    // end, and each of the two lengths is copied at a fixed size.
    if (r[0] == '\0') {
      textio::ecrire(sortie, "\n");
    } else {
      char* p = textio::place(sortie, 11);
      std::memcpy(p, r.data(), 10);
      p[10] = '\n';
    }
  }

  ::close(source_fd);
  const bool ecrit = textio::vider(sortie);
  const bool ferme = ::close(image_fd) == 0;
  if (source.erreur) {
    textio::ecrire_ligne(out, textio::source_absente);
    return 2;
  }
  if (!ecrit || !ferme) {
    textio::ecrire_ligne(out, image_impossible);
    return 3;
  }
  return 0;
}

}  // namespace lot
