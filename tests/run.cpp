#include "run.hpp"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "emulateur.hpp"

namespace {

constexpr uid_t nobody = 65534;

// Whether the user nobody may access chemin in the given mode, asked of a
// child that has become nobody.
bool permis_sans_droits(const std::string& chemin, int mode) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0) _exit(1);
    _exit(access(chemin.c_str(), mode) == 0 ? 0 : 1);
  }
  int w = 0;
  waitpid(pid, &w, 0);
  return WIFEXITED(w) && WEXITSTATUS(w) == 0;
}

// Copies of the programs that nobody can run, for a build in a folder that
// nobody cannot enter (/root, mktemp -d); removed when the tests end.
struct Copies {
  std::map<std::string, std::string> chemins;
  std::vector<std::string> dossiers;
  Copies() = default;
  Copies(const Copies&) = delete;
  Copies& operator=(const Copies&) = delete;
  ~Copies() {
    std::error_code ec;
    for (const auto& d : dossiers) std::filesystem::remove_all(d, ec);
  }
};

// A path by which nobody can run programme: its own where nobody reaches it,
// else a copy in a folder of mode 0755; empty when no such folder can be made.
std::string programme_sans_droits(const std::string& programme) {
  if (permis_sans_droits(programme, R_OK | X_OK)) return programme;
  static Copies copies;
  if (const auto i = copies.chemins.find(programme); i != copies.chemins.end()) return i->second;
  std::error_code ec;
  const std::filesystem::path bases[] = {std::filesystem::temp_directory_path(ec), "/tmp",
                                         "/var/tmp", "/dev/shm"};
  for (const auto& base : bases) {
    std::string dossier = (base / "dates-nobody-XXXXXX").string();
    if (base.empty() || mkdtemp(dossier.data()) == nullptr) continue;
    copies.dossiers.push_back(dossier);
    const std::string copie = dossier + "/" + std::filesystem::path(programme).filename().string();
    if (chmod(dossier.c_str(), 0755) == 0 && std::filesystem::copy_file(programme, copie, ec) &&
        chmod(copie.c_str(), 0755) == 0 && permis_sans_droits(copie, R_OK | X_OK))
      return copies.chemins[programme] = copie;
  }
  return copies.chemins[programme] = "";
}

// Feeds the slow input: `avant`, then `apres` once `attendu` has shown on
// standard output (read into s.out) or 5 s have passed.
void nourrir(const Milieu& m, int out, Execution& s) {
  using horloge = std::chrono::steady_clock;
  const auto limite = horloge::now() + std::chrono::seconds(5);
  int fifo = -1;  // no reader yet: open would block, so wait for one
  while ((fifo = open(m.fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && horloge::now() < limite)
    usleep(10000);
  if (fifo < 0) return;
  if (write(fifo, m.avant.data(), m.avant.size()) < 0) throw std::runtime_error("fifo");
  while (s.out.find(m.attendu) == std::string::npos && horloge::now() < limite) {
    pollfd p{out, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    char buf[4096];
    const ssize_t k = read(out, buf, sizeof buf);
    if (k <= 0) break;
    s.out.append(buf, static_cast<std::size_t>(k));
  }
  s.attendu_vu = s.out.find(m.attendu) != std::string::npos;
  if (write(fifo, m.apres.data(), m.apres.size()) < 0) throw std::runtime_error("fifo");
  close(fifo);
}

}  // namespace

std::string empechement_sans_droits(const std::string& programme, const std::string& dossier) {
  if (geteuid() != 0) return "";
  if (programme_sans_droits(programme).empty())
    return "no folder that nobody can enter could hold a copy of " + programme;
  if (!permis_sans_droits(dossier, X_OK))
    return "nobody cannot enter " + dossier + " (TMPDIR names a folder closed to others)";
  return "";
}

Execution lancer(const std::string& programme_demande, const std::vector<std::string>& args,
                 const Milieu& m) {
  const bool changer = m.sans_droits && geteuid() == 0;
  const std::string programme =
      changer ? programme_sans_droits(programme_demande) : programme_demande;
  if (programme.empty()) throw std::runtime_error("no copy of the program that nobody can run");
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  if (m.lecteur_parti) {  // gone before the program starts: -1 from here on
    close(out[0]);
    out[0] = -1;
  }
  if (m.non_bloquant) fcntl(out[1], F_SETFL, O_NONBLOCK);
  if (m.terminal) {  // the master end replaces the pipe's reading end
    close(out[0]);
    close(out[1]);
    out[0] = posix_openpt(O_RDWR | O_NOCTTY);
    if (out[0] < 0 || grantpt(out[0]) != 0 || unlockpt(out[0]) != 0)
      throw std::runtime_error("pty");
    const int esclave = out[1] = open(ptsname(out[0]), O_RDWR | O_NOCTTY);
    termios t{};
    if (esclave < 0 || tcgetattr(esclave, &t) != 0) throw std::runtime_error("pty");
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tcsetattr(esclave, TCSANOW, &t);
  }
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    if (m.stdout_vers.empty()) {
      dup2(out[1], 1);
    } else {
      const int fd =
          open(m.stdout_vers.c_str(), O_WRONLY | O_CREAT | (m.ajout ? O_APPEND : 0), 0644);
      if (fd < 0) _exit(127);
      dup2(fd, 1);
    }
    dup2(err[1], 2);
    const int nul = open("/dev/null", O_RDONLY);
    dup2(nul, 0);
    if (out[0] >= 0) close(out[0]);
    close(err[0]);
    for (const int fd : m.fermes) close(fd);
    if (m.limite_fichier >= 0) {
      const rlimit r{static_cast<rlim_t>(m.limite_fichier), static_cast<rlim_t>(m.limite_fichier)};
      setrlimit(RLIMIT_FSIZE, &r);
    }
    if (m.limite_pile >= 0) {
      const rlimit r{static_cast<rlim_t>(m.limite_pile), static_cast<rlim_t>(m.limite_pile)};
      setrlimit(RLIMIT_STACK, &r);
    }
    if (changer && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
      _exit(127);
    if (!m.precharge.empty()) {
      setenv("LD_PRELOAD", m.precharge.c_str(), 1);
      // Before the sanitizers' own runtime: allowed, for this one library.
      const char* const asan = getenv("ASAN_OPTIONS");
      setenv("ASAN_OPTIONS",
             (std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
    }
    alarm(30);  // a run that never ends fails its row instead of hanging the suite
    std::vector<char*> argv;
    for (const char* const* e = emulateur; *e != nullptr; ++e)
      argv.push_back(const_cast<char*>(*e));
    argv.push_back(const_cast<char*>(programme.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  Execution s{};
  if (!m.fifo.empty()) nourrir(m, out[0], s);
  if (m.non_bloquant) usleep(300000);  // long enough for the pipe to fill
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* dest[2] = {&s.out, &s.err};
  int ouverts = out[0] < 0 ? 1 : 2;
  while (ouverts > 0) {
    if (poll(fds, 2, -1) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[65536];
      const ssize_t k = read(fds[i].fd, buf, sizeof buf);
      if (k > 0) {
        dest[i]->append(buf, static_cast<std::size_t>(k));
      } else {  // a terminal whose last writer has gone answers EIO
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
  // A user who is not root removes nothing from a folder a test closed.
  namespace fs = std::filesystem;
  std::error_code ec, ec_entree;
  for (fs::recursive_directory_iterator i(dir_, fs::directory_options::skip_permission_denied, ec);
       !ec && i != fs::recursive_directory_iterator(); i.increment(ec))
    if (i->is_directory(ec_entree) && !i->is_symlink(ec_entree)) chmod(i->path().c_str(), 0700);
  fs::remove_all(dir_, ec);
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
