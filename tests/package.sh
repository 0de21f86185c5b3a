#!/usr/bin/env bash
# Installs the suite as a user and as Debian would, and checks each way:
# - cmake --install of the default build into a scratch prefix;
# - the Debian package, built by dpkg-buildpackage (source and binary) from
#   the release tarball (git archive) with debian/ beside it, by a user who
#   is not root (nobody, when this runs as root, with HOME unwritable), its
#   tests run: lintian finds no error and no warning, a -dbgsym package is
#   made;
# - built again from a clone, without the tests, by the caller at umask 077:
#   the same .deb, byte for byte;
# - with DEB_BUILD_OPTIONS="nocheck nostrip parallel=2": no test, no
#   GoogleTest, the programs not stripped;
# - only under CI (CI=true) and as root: the autopkgtest against the built
#   package, which installs it into this system; man then shows the English
#   pages, and the French ones for a French reader; removed at the end.
# The tree is taken as it stands, uncommitted changes to tracked files
# included.
#   tests/package.sh   (after: cmake --preset default && cmake --build --preset default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
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
}

cmake --install build --prefix "$scratch/prefix" >/dev/null
essayer "$scratch/prefix"
echo "cmake --install: 5 programs and 10 man pages, all working"

# Run as nobody when this runs as root: the build daemons are not root.
qui=$([ "$(id -u)" = 0 ] && echo nobody || id -un)
en_utilisateur() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/nonexistent "$@"
  else
    "$@"
  fi
}
construire() {  # construire DIR LOG OPTIONS WHO [ARG...]: dpkg-buildpackage in DIR
  local dir=$1 log=$2 options=$3 qui=$4
  shift 4
  if ! (cd "$dir" && $qui env DEB_BUILD_OPTIONS="$options" dpkg-buildpackage -us -uc "$@" \
    >"$log" 2>&1); then
    tail -n 40 "$log"
    echo "dpkg-buildpackage failed in $dir"
    return 1
  fi
}

absent() {  # absent PATTERN FILE: fails when the pattern is found
  if grep -q "$1" "$2"; then
    echo "$2 holds $1"
    return 1
  fi
}

version=$(dpkg-parsechangelog -S Version)
amont=${version%-*}
arch=$(dpkg --print-architecture)
deb=dates-republicaines_${version}_$arch.deb
rev=$(git stash create)
rev=${rev:-HEAD}

# The release tarball as the orig tarball, debian/ beside it.
mkdir "$scratch/tar"
git archive --prefix="dates-republicaines-$amont/" "$rev" |
  gzip -9n >"$scratch/tar/dates-republicaines_$amont.orig.tar.gz"
tar -C "$scratch/tar" -xzf "$scratch/tar/dates-republicaines_$amont.orig.tar.gz"
source=$scratch/tar/dates-republicaines-$amont
git ls-files -z debian | xargs -0 cp --parents -t "$source"
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$scratch/tar"
construire "$source" "$scratch/tar.log" "" en_utilisateur
grep -q '100% tests passed' "$scratch/tar.log"
[ -f "$scratch/tar/dates-republicaines-dbgsym_${version}_$arch.deb" ]
echo "$deb: built from the release tarball, source and binary, as $qui, its tests passed, with its -dbgsym package"

# Debian 12's lintian knows no policy past 4.6.2.
vieux=()
if dpkg --compare-versions "$(lintian --print-version)" lt 2.117; then
  vieux=(--suppress-tags newer-standards-version)
fi
en_utilisateur lintian --pedantic -I -E --fail-on error,warning "${vieux[@]}" \
  "$scratch/tar/dates-republicaines_${version}_$arch.changes"
echo "$deb: lintian finds no error and no warning"
dpkg -x "$scratch/tar/$deb" "$scratch/root"
essayer "$scratch/root/usr"
hardening-check --nofortify --nocfprotection "$scratch"/root/usr/bin/* >/dev/null
dpkg-deb -f "$scratch/tar/$deb" Depends | grep -q libstdc++
echo "$deb: unpacked, all working, hardened; Depends: $(dpkg-deb -f "$scratch/tar/$deb" Depends)"

# A clone, built by the caller at a closed umask, without the tests.
mkdir "$scratch/clone"
git clone -q --no-checkout "$top" "$scratch/clone/dates-republicaines"
git -C "$scratch/clone/dates-republicaines" checkout -q "$rev"
(umask 077 && construire "$scratch/clone/dates-republicaines" "$scratch/clone.log" nocheck "" -b)
absent 'Test project' "$scratch/clone.log"
cmp "$scratch/tar/$deb" "$scratch/clone/$deb"
echo "$deb: built again from a clone, as $(id -un) at umask 077 without the tests: byte for byte the same"

rm "$scratch"/clone/*.deb
construire "$scratch/clone/dates-republicaines" "$scratch/nostrip.log" \
  "nocheck nostrip parallel=2" "" -b
absent 'Test project' "$scratch/nostrip.log"
absent '^GTest_DIR' "$scratch"/clone/dates-republicaines/obj-*/CMakeCache.txt
grep -q 'ninja -j2' "$scratch/nostrip.log"
[ ! -e "$scratch/clone/dates-republicaines-dbgsym_${version}_$arch.deb" ]
dpkg -x "$scratch/clone/$deb" "$scratch/nostrip"
for p in $programmes; do
  readelf -S "$scratch/nostrip/usr/bin/$p" | grep -q '\.debug_info'
done
echo "$deb: with nocheck nostrip parallel=2, no test and no GoogleTest, the programs not stripped"

if [ "${CI:-}" = true ] && [ "$(id -u)" = 0 ]; then
  echo "CI: the autopkgtest, which installs $deb into this system (removed at the end)"
  trap 'dpkg -r dates-republicaines >/dev/null 2>&1; rm -rf "$scratch"' EXIT
  if ! autopkgtest "$scratch/tar/$deb" "$source" -- null >"$scratch/autopkgtest.log" 2>&1; then
    tail -n 40 "$scratch/autopkgtest.log"
    echo "the autopkgtest failed"
    exit 1
  fi
  grep -E '^installed +PASS' "$scratch/autopkgtest.log"
  MANWIDTH=80 man daycivil | grep -q "EXIT STATUS"
  MANWIDTH=80 man -L fr daycivil | grep -q "CODES DE RETOUR"
  if locale -a | grep -qix 'fr_FR.utf8'; then
    LANG=fr_FR.UTF-8 MANWIDTH=80 man daycivil | grep -q "CODES DE RETOUR"
  fi
  echo "$deb: the autopkgtest passed; man daycivil in English, in French for a French reader"
else
  echo "not under CI as root: the package was not installed into this system"
fi
