// Runs the programs as real processes and works with scratch files.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct Execution {
  std::string out;          // every byte of standard output
  std::string err;          // every byte of standard error
  int statut;               // exit status, or 128 + signal
  bool attendu_vu = false;  // Milieu::attendu was seen before the input ended
};

// The conditions a process starts in, as real systems make them.
struct Milieu {
  std::string stdout_vers{};   // standard output to this file (then out stays empty)...
  bool ajout = false;          // ...opened for appending, as >> does
  bool lecteur_parti = false;  // standard output: a pipe whose reader has gone
  bool non_bloquant = false;   // standard output: a non-blocking pipe, read after a pause
  bool terminal = false;       // standard output: a terminal (no newline translation)
  std::vector<int> fermes{};   // standard descriptors closed at start
  long limite_fichier = -1;    // RLIMIT_FSIZE in bytes, -1 for none
  long limite_pile = -1;       // RLIMIT_STACK in bytes, -1 for none
  bool sans_droits = false;    // run as nobody once standard output is open (see below)
  std::string precharge{};     // a library for LD_PRELOAD
  // A slow input: the FIFO `fifo` receives `avant`, then, once standard
  // output shows `attendu` (or after 5 s), `apres` and its end.
  std::string fifo{}, avant{}, attendu{}, apres{};
};

// Runs programme with args in milieu, through the build's emulator when it
// has one (a cross build).
Execution lancer(const std::string& programme, const std::vector<std::string>& args,
                 const Milieu& milieu);

// Why programme cannot be run as nobody on files in dossier, or "" when it
// can (or when the tests are not run as root: nothing then changes user).
// A build in a folder closed to others is run from a copy.
std::string empechement_sans_droits(const std::string& programme, const std::string& dossier);

// Runs programme with args; standard output goes to a pipe, or to the file
// stdout_vers when one is given (then out stays empty).
inline Execution lancer(const std::string& programme, const std::vector<std::string>& args,
                        const std::string& stdout_vers = "") {
  return lancer(programme, args, Milieu{.stdout_vers = stdout_vers});
}

// A fresh directory, removed with everything in it at the end of the scope.
class Dossier {
 public:
  Dossier();
  ~Dossier();
  Dossier(const Dossier&) = delete;
  Dossier& operator=(const Dossier&) = delete;
  std::string chemin(const std::string& nom) const { return dir_ + "/" + nom; }

 private:
  std::string dir_;
};

void ecrire_fichier(const std::string& chemin, const std::string& octets);
// The whole file, or nothing when it does not exist.
std::optional<std::string> lire_fichier(const std::string& chemin);
