#include "dayrevo/dayrevo.hpp"
#include "textio/processus.hpp"

// With no argument, the date is the empty text. One or two lines to print:
// a short buffer, and no heap.
int main(int argc, char** argv) {
  textio::Sortie out(1, textio::bloc_court);
  if (!textio::demarrer(out)) return textio::statut_sortie_perdue;
  return textio::terminer(out, dayrevo(argc > 1 ? argv[1] : "", out));
}
