#pragma once

#include <string_view>

#include "ecriture/ecriture.hpp"

// Converts one Gregorian date text to its Republican date, after a warning for
// a year outside 1792..1805, or prints the one message of the first check that
// fails; returns the exit status.
int dayrevo(std::string_view date, ecriture::Sortie& out) noexcept;
