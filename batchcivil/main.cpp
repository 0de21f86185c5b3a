#include "batchcivil/batchcivil.hpp"
#include "textio/processus.hpp"

// With no argument, there is no input file to open.
int main(int argc, char** argv) {
  textio::Sortie out(1);
  if (!textio::demarrer(out)) return textio::statut_sortie_perdue;
  return textio::terminer_fichier(out, batchcivil(argc > 1 ? argv[1] : nullptr, out));
}
