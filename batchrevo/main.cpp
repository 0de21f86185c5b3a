#include "batchrevo/batchrevo.hpp"
#include "fichiers/fichiers.hpp"

// With no argument, there is no input file to open.
int main(int argc, char** argv) {
  static std::array<char, ecriture::bloc_ecriture> tampon;  // off the stack
  ecriture::Sortie out(1, tampon);
  if (!fichiers::demarrer(out)) return fichiers::statut_sortie_perdue;
  return fichiers::terminer_fichier(out, batchrevo(argc > 1 ? argv[1] : nullptr, out));
}
