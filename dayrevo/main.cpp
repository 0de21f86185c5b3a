#include "dayrevo/dayrevo.hpp"

// With no argument, the date is the empty text.
int main(int argc, char** argv) {
  textio::Sortie out(1);
  return textio::terminer(out, dayrevo(argc > 1 ? argv[1] : "", out));
}
