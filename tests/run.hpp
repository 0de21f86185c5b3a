// Runs the programs as real processes and works with scratch files.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct Execution {
  std::string out;  // every byte of standard output
  std::string err;  // every byte of standard error
  int statut;       // exit status, or 128 + signal
};

// Runs programme with args; standard output goes to a pipe, or to the file
// stdout_vers when one is given (then out stays empty).
Execution lancer(const std::string& programme, const std::vector<std::string>& args,
                 const std::string& stdout_vers = "");

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
