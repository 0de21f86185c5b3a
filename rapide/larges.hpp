// yearscan's fast path over mixed reads, eight at a time in 512-bit
// vectors: used on x86-64 processors that have them (AVX-512 with its byte
// shuffles, BMI2), and only after a faulty read, where the usual line's
// loop would guess wrong at every fault. Every other processor, and every
// other stretch of a file, keeps the fast path of rapide.cpp.
#pragma once

#include <cstdint>

#include "ecriture/ecriture.hpp"
#include "rapide/rapide.hpp"

namespace rapide::larges {

// Whether this processor and its system run them: checked once.
bool disponibles() noexcept;
// Whether they may be used where they run: the tests turn it off to reach
// the narrower fast path on any machine.
extern bool permises;

// A bound b, at most fin, with no NUL in [p, b): the first NUL, or where
// fewer than 64 bytes were left to look at. Reads are taken here only
// before it.
const char* sans_nul(const char* p, const char* fin) noexcept;

// Checks the reads at p, eight at a time, while 128 bytes are left before
// fin and until two passes in a row find no fault: sets vues[year + 999]
// for each year a read yields, as the plain path does, writes the message
// of each faulty read, numbered from ligne + 1, and moves p past the reads
// taken. Stops before any read it leaves to the plain path; returns how
// many reads it took. Only where disponibles(), and with no NUL before fin.
std::int64_t annees(const char*& p, const char* fin, bool* vues, ecriture::Sortie& out,
                    const Messages& messages, std::int64_t ligne) noexcept;

}  // namespace rapide::larges
