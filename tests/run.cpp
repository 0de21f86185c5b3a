#include "run.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

Execution lancer(const std::string& programme, const std::vector<std::string>& args,
                 const std::string& stdout_vers) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    if (stdout_vers.empty()) {
      dup2(out[1], 1);
    } else {
      const int fd = open(stdout_vers.c_str(), O_WRONLY);
      if (fd < 0) _exit(127);
      dup2(fd, 1);
    }
    dup2(err[1], 2);
    const int nul = open("/dev/null", O_RDONLY);
    dup2(nul, 0);
    close(out[0]);
    close(err[0]);
    std::vector<char*> argv{const_cast<char*>(programme.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(programme.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  Execution s{};
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* dest[2] = {&s.out, &s.err};
  int ouverts = 2;
  while (ouverts > 0) {
    if (poll(fds, 2, -1) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[65536];
      const ssize_t k = read(fds[i].fd, buf, sizeof buf);
      if (k > 0) {
        dest[i]->append(buf, static_cast<std::size_t>(k));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --ouverts;
      }
    }
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  s.statut = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  return s;
}

Dossier::Dossier() {
  std::string modele = (std::filesystem::temp_directory_path() / "dates-XXXXXX").string();
  if (mkdtemp(modele.data()) == nullptr) throw std::runtime_error("mkdtemp");
  dir_ = modele;
}

Dossier::~Dossier() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void ecrire_fichier(const std::string& chemin, const std::string& octets) {
  std::ofstream f(chemin, std::ios::binary);
  f << octets;
}

std::optional<std::string> lire_fichier(const std::string& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  if (!f) return std::nullopt;
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}
