#pragma once

#include <string_view>

#include "ecriture/ecriture.hpp"

// Converts one Republican date text to its Gregorian date, or prints the one
// message of the first check that fails; returns the exit status.
int daycivil(std::string_view date, ecriture::Sortie& out) noexcept;
