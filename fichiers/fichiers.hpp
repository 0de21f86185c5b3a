// The rules about the user's files and the process's standard streams, for
// every program: what is done first, how the input is opened, which output
// may be written, and the exit statuses that say what became of each.
#pragma once

#include <string_view>

#include "ecriture/ecriture.hpp"

namespace fichiers {

// Exit statuses: the input could not be opened or read to the end; the
// output file could not be created or written in full; standard output
// could not be written, so the report is lost.
inline constexpr int statut_source = 2;
inline constexpr int statut_image = 3;
inline constexpr int statut_sortie_perdue = 5;

// What the programs that read a file say when it cannot be opened or read.
inline constexpr std::string_view source_absente = "Le fichier source est inexistant";

// Readies the process and out, its standard output (descriptor 1); false
// when the run must end at once with statut_sortie_perdue, before any file is
// opened.
// - A standard descriptor that is closed is opened on /dev/null, read-only,
//   so that no file of the run takes its number: a closed standard output
//   then fails every write, and the run ends with statut_sortie_perdue. When
//   that cannot be done, a file could take the number: false.
// - SIGPIPE and SIGXFSZ are ignored: a reader gone or a file grown past its
//   limit is a failed write, reported with its status, not a killed process.
// - At a terminal, out writes each message as soon as it is complete, as a
//   line-buffered stream does, so a person sees a slow input's faults as
//   they come and keeps them after Ctrl-C.
[[nodiscard]] bool demarrer(ecriture::Sortie& out) noexcept;

// Opens the input file at chemin (null: no argument); -1, with
// source_absente printed, when it cannot be opened or is a directory (which
// opens, but whose first read would fail). Before that message, out is given
// up when it writes into the very file the run reads (`yearscan f >> f`):
// messages written there would change the input, and be read back as lines.
// When the input cannot be opened, the file chemin names is compared, so
// that not even the message lands in it.
int ouvrir_source(const char* chemin, ecriture::Sortie& out) noexcept;

// Opens the output file at chemin, created when missing, and empties it only
// once it is known to be neither the input (source) nor standard output under
// another name: a link can make it either, and emptying it would lose the
// user's data before a single line was read. -1 when it cannot be opened or
// is one of them.
int ouvrir_image(const char* chemin, int source, int sortie) noexcept;

// Flushes and closes a program's standard output and gives its exit status:
// statut, or statut_sortie_perdue when the output could not be written or
// closed (an error that only close reports, as on NFS, is a lost report too).
int terminer(ecriture::Sortie& out, int statut) noexcept;
// The same for a program whose work is a file: a status that says a file is
// incomplete (not 0) wins over statut_sortie_perdue, which then means that
// the files are whole and only the report was lost.
int terminer_fichier(ecriture::Sortie& out, int statut) noexcept;

}  // namespace fichiers
