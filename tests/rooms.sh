#!/usr/bin/env bash
# The rooms stay apart: each includes only itself and rooms below it, so no
# circle can form; the calendar core holds no message, and its objects, each
# compiled alone, link into a shared library that needs nothing but the C
# and C++ runtime.
#   rooms.sh SOURCE_DIR CXX [FLAG...]
set -uo pipefail
src=$1 cxx=$2
shift 2
cd "$src" || exit 2
niveau() {  # the rooms from the bottom up; a program above them all
  case $1 in
    nombres | lecture) echo 0 ;;
    ecriture | calendar) echo 1 ;;
    fichiers | rapide) echo 2 ;;
    batch) echo 3 ;;
    *) echo 4 ;;
  esac
}
echec=0
for f in */*.cpp */*.hpp; do
  salle=${f%%/*}
  case $salle in tests | fuzz | bench | build*) continue ;; esac
  for inclus in $(sed -n 's|^#include "\([a-z]*\)/.*|\1|p' "$f"); do
    if [ "$inclus" != "$salle" ] && [ "$(niveau "$inclus")" -ge "$(niveau "$salle")" ]; then
      echo "$f includes $inclus/, which is not below $salle/"
      echec=1
    fi
  done
done
if cat calendar/*.cpp calendar/*.hpp | grep -v '^ *//' | grep -o '"[^"]*"' | grep ' '; then
  echo "calendar/ holds the texts above"
  echec=1
fi
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
for f in calendar/*.cpp; do
  "$cxx" "$@" -std=c++20 -fPIC -I. -c "$f" -o "$travail/$(basename "$f").o" || echec=1
done
if "$cxx" "$@" -shared -Wl,--no-undefined "$travail"/*.o -o "$travail/libcalendar.so"; then
  besoins=$(readelf -d "$travail/libcalendar.so" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
  for b in $besoins; do
    case $b in libc.so* | libm.so* | libstdc++.so* | libc++.so* | libgcc_s.so* | ld-*) ;;
      *) echo "the calendar core needs $b" && echec=1 ;;
    esac
  done
else
  echo "the calendar core does not link alone"
  echec=1
fi
[ $echec -eq 0 ] && echo "rooms: each includes only those below it; the calendar core links alone"
exit $echec
