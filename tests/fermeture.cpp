// Loaded with LD_PRELOAD: closing standard output closes it, then fails
// with EIO, as on NFS or past a quota, where the last write's error comes
// only with close.
#include <dlfcn.h>

#include <cerrno>

extern "C" int close(int fd) {
  using Close = int (*)(int);
  static const auto vrai = reinterpret_cast<Close>(dlsym(RTLD_NEXT, "close"));
  const int r = vrai(fd);
  if (fd != 1) return r;
  errno = EIO;
  return -1;
}
