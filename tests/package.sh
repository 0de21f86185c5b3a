#!/usr/bin/env bash
# Installs the suite as a user would, from a build of the default preset:
# into a temporary prefix, then as the Debian package (unpacked into a scratch
# root, and installed with dpkg -i when run as root); every program must run
# from there and every man page open.
#   tests/package.sh        (after: cmake --preset default && cmake --build --preset default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
programmes="daycivil dayrevo batchcivil batchrevo yearscan"

essayer() {  # essayer ROOT_OF_BIN_AND_MAN
  local bin=$1/bin man=$1/share/man/man1
  [ "$("$bin/daycivil" 14/THER/02)" = 01/08/1794 ]
  [ "$("$bin/dayrevo" 14/07/1794)" = 26/MESS/02 ]
  cp examples/republicain.txt examples/gregorien.txt "$scratch/"
  "$bin/batchcivil" "$scratch/republicain.txt" >/dev/null
  [ "$(head -n 1 "$scratch/republicain.txt.Greg")" = 22/09/1792 ]
  "$bin/batchrevo" "$scratch/gregorien.txt" >/dev/null
  [ "$(head -n 1 "$scratch/gregorien.txt.rep")" = 01/VEND/01 ]
  [ "$("$bin/yearscan" "$scratch/gregorien.txt" | tail -n 1)" = "fini " ]
  for p in $programmes; do
    MANWIDTH=80 man -l "$man/$p.1" | grep -q "^NOM"
  done
}

cmake --install build --prefix "$scratch/prefix" >/dev/null
essayer "$scratch/prefix"
echo "cmake --install: 5 programs and 5 man pages, all working"

cpack --preset deb >/dev/null
deb=$(ls build/dates-republicaines_*.deb)
dpkg -x "$deb" "$scratch/root"
essayer "$scratch/root/usr"
echo "$(basename "$deb"): unpacked, all working"

if [ "$(id -u)" = 0 ]; then
  dpkg -i "$deb" >/dev/null
  trap 'dpkg -r dates-republicaines >/dev/null; rm -rf "$scratch"' EXIT
  essayer /usr
  MANWIDTH=80 man daycivil | grep -q "CODES DE RETOUR"
  echo "$(basename "$deb"): installed with dpkg -i, all working, man daycivil answers"
fi
