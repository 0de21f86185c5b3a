#pragma once

#include "ecriture/ecriture.hpp"

// Converts the file at chemin line for line into a new file; prints one
// message for each faulty line; returns the exit status. Without
// voie_rapide, every line goes through the plain path: the same bytes.
int batchrevo(const char* chemin, ecriture::Sortie& out, bool voie_rapide = true);
