#include "batch/lot.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "textio/processus.hpp"

namespace lot {

namespace {

constexpr std::string_view image_impossible = "Le fichier image ne peut etre ecrit";

}  // namespace

int ouvrir(const char* chemin, std::string_view suffixe, textio::Sortie& out, Fichiers& f) {
  f.source = textio::ouvrir_source(chemin);
  textio::garder_source(out, f.source, chemin);
  if (f.source < 0) return textio::echec(out, textio::source_absente, 2);
  // Opened without emptying it: a link can make the output name the input
  // itself, or the file standard output goes to, and emptying either would
  // lose the user's data before a single line was read.
  const std::string image = std::string(chemin).append(suffixe);
  f.image = ::open(image.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  struct stat st {};
  if (f.image < 0 || textio::meme_fichier(f.image, f.source) ||
      textio::meme_fichier(f.image, out.fd) || ::fstat(f.image, &st) != 0 ||
      (S_ISREG(st.st_mode) && ::ftruncate(f.image, 0) != 0)) {
    if (f.image >= 0) ::close(f.image);
    ::close(f.source);
    return textio::echec(out, image_impossible, 3);
  }
  return 0;
}

int fermer(const Fichiers& f, const textio::Lecteur& source, textio::Sortie& image,
           textio::Sortie& out) {
  ::close(f.source);
  const bool ecrit = textio::vider(image);
  const bool ferme = ::close(f.image) == 0;
  if (source.erreur) return textio::echec(out, textio::source_absente, 2);
  if (!ecrit || !ferme) return textio::echec(out, image_impossible, 3);
  return 0;
}

}  // namespace lot
