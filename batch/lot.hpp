// The frame both batch converters share: the files, the reads, the length
// tests, one output line per read, and the statuses.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/date.hpp"
#include "textio/textio.hpp"

namespace lot {

// Checks and converts one read that passed the length tests (11 characters,
// the 11th never examined): leaves the ten characters of the date text in r,
// or prints one message naming ligne and leaves r empty.
using Convertir = void (*)(textio::Sortie& out, std::string_view lu, std::int64_t ligne,
                           calendar::Resultat& r);

// Converts the file at chemin into chemin + suffixe, line for line; returns
// 0, 2 when the input cannot be opened or read, 3 when the output cannot be
// created or written. A null chemin is an input that cannot be opened.
int traiter(const char* chemin, std::string_view suffixe, textio::Sortie& out, Convertir convertir);

}  // namespace lot
