#pragma once

#include "ecriture/ecriture.hpp"
#include "rapide/rapide.hpp"

// Converts the file at chemin line for line into a new file; prints one
// message for each faulty line; returns the exit status. The fast path runs
// with the kernels noyau names (none: every line through the plain path):
// the same bytes.
int batchcivil(const char* chemin, ecriture::Sortie& out, rapide::Noyau noyau = rapide::meilleur);
