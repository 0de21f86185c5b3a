#!/usr/bin/env bash
# Installs the suite as a user and a distribution would, and checks each way:
# - cmake --install of the default build into a scratch prefix;
# - the Debian package of the deb preset, unpacked into a scratch root;
#   lintian clean (no error, no warning), hardened (hardening-check), with
#   its dependencies; built again from a copy of the sources in another
#   folder, inside an unrelated git repository and at umask 002, it must
#   come out byte for byte the same;
# - only under CI (CI=true), and only as root: installed into this very
#   system with dpkg -i, then removed; man must then show the English pages,
#   and the French ones for a French reader.
# Every program must run from each and every man page open.
#   tests/package.sh   (after: cmake --preset default && cmake --build --preset default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
programmes=$(cat build/programmes.txt)

essayer() {  # essayer ROOT_OF_BIN_AND_SHARE
  local bin=$1/bin man=$1/share/man
  [ "$("$bin/daycivil" 14/THER/02)" = 01/08/1794 ]
  [ "$("$bin/dayrevo" 14/07/1794)" = 26/MESS/02 ]
  cp examples/republicain.txt examples/gregorien.txt "$scratch/"
  "$bin/batchcivil" "$scratch/republicain.txt" >/dev/null
  [ "$(head -n 1 "$scratch/republicain.txt.Greg")" = 22/09/1792 ]
  "$bin/batchrevo" "$scratch/gregorien.txt" >/dev/null
  [ "$(head -n 1 "$scratch/gregorien.txt.rep")" = 01/VEND/01 ]
  [ "$("$bin/yearscan" "$scratch/gregorien.txt" | tail -n 1)" = "fini " ]
  for p in $programmes; do
    MANWIDTH=80 man -l "$man/man1/$p.1.gz" | grep -q "^NAME"
    MANWIDTH=80 man -l "$man/fr/man1/$p.1.gz" | grep -q "^NOM"
  done
  [ -f "$1/share/doc/dates-republicaines/copyright" ]
}

cmake --install build --prefix "$scratch/prefix" >/dev/null
essayer "$scratch/prefix"
echo "cmake --install: 5 programs and 10 man pages, all working"

# The package's dates come from packaging/changelog, not from any repository.
unset SOURCE_DATE_EPOCH
paquet() {  # paquet SOURCE_DIR: builds the .deb there
  (cd "$1" && cmake --preset deb >/dev/null && cmake --build --preset deb >/dev/null &&
    cpack --preset deb >/dev/null)
}
paquet "$top"
deb=$(ls build-deb/dates-republicaines_*.deb)
dpkg -x "$deb" "$scratch/root"
essayer "$scratch/root/usr"
echo "$(basename "$deb"): unpacked, all working"

lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'root privileges' || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1
echo "$(basename "$deb"): lintian finds no error and no warning"
hardening-check --nofortify --nocfprotection "$scratch"/root/usr/bin/* >/dev/null
echo "$(basename "$deb"): hardened (PIE, stack protector, RELRO, BIND_NOW)"
dpkg-deb -f "$deb" Depends | grep -q libc6
echo "$(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"

# A copy of the sources with no history of its own, inside a repository
# that has one, built by a user whose umask lets the group write.
mkdir "$scratch/ailleurs"
git -C "$scratch/ailleurs" init -q
git ls-files -co --exclude-standard -z | xargs -0 cp --parents -t "$scratch/ailleurs/"
touch "$scratch/ailleurs/autre"
git -C "$scratch/ailleurs" add autre
GIT_COMMITTER_DATE=2001-01-01T00:00:00 git -C "$scratch/ailleurs" -c user.name=x -c user.email=x@x \
  commit -qm autre
(umask 002 && paquet "$scratch/ailleurs")
cmp "$deb" "$scratch/ailleurs/$deb"
echo "$(basename "$deb"): built again in another folder, inside another repository, at umask 002: byte for byte the same"

if [ "${CI:-}" = true ] && [ "$(id -u)" = 0 ]; then
  echo "CI: installing $(basename "$deb") into this system with dpkg -i (removed at the end)"
  dpkg -i "$deb" >/dev/null
  trap 'dpkg -r dates-republicaines >/dev/null; rm -rf "$scratch"' EXIT
  essayer /usr
  MANWIDTH=80 man daycivil | grep -q "EXIT STATUS"
  MANWIDTH=80 man -L fr daycivil | grep -q "CODES DE RETOUR"
  if locale -a | grep -qix 'fr_FR.utf8'; then
    LANG=fr_FR.UTF-8 MANWIDTH=80 man daycivil | grep -q "CODES DE RETOUR"
  fi
  echo "$(basename "$deb"): installed with dpkg -i, all working; man daycivil in English, in French for a French reader"
else
  echo "not under CI as root: the package was not installed into this system"
fi
