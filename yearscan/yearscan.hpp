#pragma once

#include "ecriture/ecriture.hpp"
#include "rapide/rapide.hpp"

// Checks the Gregorian dates of the file at chemin, one message for each
// faulty read, then reports the years missing between the smallest and the
// largest year the file yields; returns the exit status. The fast path runs
// with the kernels noyau names (none: every line through the plain path):
// the same bytes.
int yearscan(const char* chemin, ecriture::Sortie& out, rapide::Noyau noyau = rapide::meilleur);
