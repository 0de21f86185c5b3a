#pragma once

#include "ecriture/ecriture.hpp"

// Checks the Gregorian dates of the file at chemin, one message for each
// faulty read, then reports the years missing between the smallest and the
// largest year the file yields; returns the exit status. Without
// voie_rapide, every line goes through the plain path: the same bytes.
int yearscan(const char* chemin, ecriture::Sortie& out, bool voie_rapide = true);
