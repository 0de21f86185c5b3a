#include "batch/lot.hpp"

#include <unistd.h>

#include <string>

#include "fichiers/fichiers.hpp"

namespace lot {

namespace {

constexpr std::string_view image_impossible = "Le fichier image ne peut etre ecrit";

}  // namespace

int ouvrir(const char* chemin, std::string_view suffixe, ecriture::Sortie& out, Fichiers& f) {
  f.source = fichiers::ouvrir_source(chemin, out);
  if (f.source < 0) return fichiers::statut_source;
  const std::string image = std::string(chemin).append(suffixe);
  f.image = fichiers::ouvrir_image(image.c_str(), f.source, out.fd);
  if (f.image < 0) {
    ::close(f.source);
    return ecriture::echec(out, image_impossible, fichiers::statut_image);
  }
  return 0;
}

// The output file's writer and standard output's are one type by design.
int fermer(const Fichiers& f, const lecture::Lecteur& source,
           ecriture::Sortie& image,  // NOLINT(bugprone-easily-swappable-parameters)
           ecriture::Sortie& out) {
  ::close(f.source);
  const bool ecrit = ecriture::vider(image);
  const bool ferme = ::close(f.image) == 0;
  if (source.erreur) return ecriture::echec(out, fichiers::source_absente, fichiers::statut_source);
  if (!ecrit || !ferme) return ecriture::echec(out, image_impossible, fichiers::statut_image);
  return 0;
}

}  // namespace lot
