// What every program does before its work, so that what the system hands a
// process (closed descriptors, a reader that goes away, a file-size limit, a
// terminal) never costs the user a file or a message.
#pragma once

#include "textio/ecriture.hpp"

namespace textio {

// Readies the process and out, its standard output (descriptor 1); false
// when the run must end at once with statut_sortie_perdue, before any file is
// opened.
// - A standard descriptor that is closed is opened on /dev/null, read-only,
//   so that no file of the run takes its number: a closed standard output
//   then fails every write, and the run ends with statut_sortie_perdue. When that
//   cannot be done, a file could take the number: false.
// - SIGPIPE and SIGXFSZ are ignored: a reader gone or a file grown past its
//   limit is a failed write, reported with its status, not a killed process.
// - At a terminal, out writes each message as soon as it is complete, as a
//   line-buffered stream does, so a person sees a slow input's faults as
//   they come and keeps them after Ctrl-C.
[[nodiscard]] bool demarrer(Sortie& out) noexcept;

// Gives up out when it writes into the very file the run reads (`yearscan f
// >> f`): messages written there would change the input, and be read back as
// lines, each giving more messages. source is the input's descriptor, or -1
// when it could not be opened; then the file chemin names is compared, so
// that not even the message saying so lands in it. Called before the run's
// first message; nothing more is written to out, and the run ends with
// statut_sortie_perdue unless a file is incomplete.
void garder_source(Sortie& out, int source, const char* chemin) noexcept;

}  // namespace textio
