#!/bin/sh
# Runs each program once on the shipped examples, in a scratch directory so
# that the converted files land there and not in the source tree.
# Usage: examples/demo.sh [DIRECTORY_OF_THE_PROGRAMS]   (default: build/bin)
set -u
bin=$(cd "${1:-build/bin}" && pwd) || exit 1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here/republicain.txt" "$here/gregorien.txt" "$work/"
cd "$work" || exit 1

run() {
  echo "\$ $*"
  "$bin/$@"
  echo "(status $?)"
}
run daycivil 14/THER/02
run dayrevo 14/07/1794
run batchcivil republicain.txt
echo "--- republicain.txt.Greg"; cat republicain.txt.Greg
run batchrevo gregorien.txt
echo "--- gregorien.txt.rep"; cat gregorien.txt.rep
run yearscan gregorien.txt
