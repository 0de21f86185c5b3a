#include "dayrevo/dayrevo.hpp"
#include "fichiers/fichiers.hpp"

// With no argument, the date is the empty text. One or two lines to print:
// a short buffer.
int main(int argc, char** argv) {
  static std::array<char, ecriture::bloc_court> tampon;
  ecriture::Sortie out(1, tampon);
  if (!fichiers::demarrer(out)) return fichiers::statut_sortie_perdue;
  return fichiers::terminer(out, dayrevo(argc > 1 ? argv[1] : "", out));
}
