// On x86-64, yearscan's fast path reads a large regular file through a
// mapping of it, one view at a time, rather than having the system copy it
// block by block: the copy costs as much as wc -l's whole run. The reader's
// last bytes, and any file the system will not map, are read with read(2)
// as before.
// Measured against the copy (hyperfine, 10M lines, 8 turned rounds of 5
// runs): 30% faulty lines 62.1 against 52.4 ms, 16% faster; valid lines
// 31.6 against 24.8 ms, 22% faster. Views of 512 KiB: the peak resident
// size grows by the view, and views of 1 MiB gained nothing more (54.6
// against 54.7 ms) for twice that. Each view's pages are mapped at once
// (MAP_POPULATE): 53.0 against 54.6 ms, 1.6 ms of system time less.
//
// A file that shrinks during the run would make a load from the view fail
// with SIGBUS: the page is then read as zeros, which stop the fast path at
// a NUL, where the reader finds the file cut and gives up in error (status
// 2), where read(2) would have ended at the new end with no error.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lecture/lecture.hpp"

namespace rapide::carte {

// Where it was measured, on x86-64; other processors read by blocks.
#if defined(__x86_64__)
inline constexpr bool ici = true;
#else
inline constexpr bool ici = false;
#endif

// How far ahead of their reads the fast paths ask for the view's bytes,
// which come from memory, where the system's copy would have left them in
// the cache. Without it, the views made valid files slower than the copy
// (53.7 against 31.4 ms); 1 KiB ahead, 26.2 ms; 4 KiB, 24.8; 8 KiB, no
// better.
inline constexpr std::size_t devant = 4096;

// The smallest file read this way, and the bytes shown at a time (rounded
// up to whole pages, at least two): the tests make both small, to reach
// every seam on small files.
extern std::int64_t seuil;
extern std::size_t vue;

// Shows l's file through a mapping, where nothing has been read yet, the
// file is regular, at least seuil bytes long, and can be mapped, here;
// otherwise leaves the reader as it is.
void ouvrir(lecture::Lecteur& l) noexcept;

// Whether the reads at p, where the fast path stopped, may be taken: false,
// the reader then given up in error, when the file shrank under its view.
bool intacte(lecture::Lecteur& l, const char* p) noexcept;

}  // namespace rapide::carte
