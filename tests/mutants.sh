#!/usr/bin/env bash
# Changes one constant or one comparison at a time, rebuilds and runs ctest:
# each change that leaves every test green is a fault the tests would miss.
#   tests/mutants.sh [FILE...]   (default: the rooms and yearscan/yearscan.cpp)
#   SEULEMENT=LIST tests/mutants.sh   only the changes LIST names, one a line
#                                     as printed ("FILE:LINE: OLD -> NEW")
# Every integer in the code (not in comments or strings) is moved by one
# either way; every comparison is turned into its neighbour (< and <=, > and
# >=, == and !=). Works on a copy of the tree in a scratch folder, built
# without optimisation for speed; prints one line per change and the ones
# that survive at the end. Not run by CI: it takes hours.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
[ $# -gt 0 ] || set -- calendar/*.[ch]pp nombres/*.hpp lecture/*.[ch]pp ecriture/*.[ch]pp \
  fichiers/*.[ch]pp rapide/*.[ch]pp batch/*.[ch]pp yearscan/yearscan.cpp
work=$(mktemp -d)
chmod 755 "$work"  # some tests run the programs as nobody
trap 'rm -rf "$work"' EXIT
git ls-files -co --exclude-standard -z | xargs -0 cp --parents -t "$work"
cd "$work"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  "-DCMAKE_CXX_FLAGS=-O1 -fsanitize=address,undefined -fno-sanitize-recover=all" >/dev/null
cmake --build build >/dev/null
# rooms compiles the core again and judges only includes, which no change
# here touches.
(cd build && ctest -j2 -E rooms >/dev/null) || { echo "the tests fail before any change" >&2; exit 1; }

# One line per change: FILE LINE COLUMN OLD NEW.
changes() {
  python3 - "$@" <<'EOF'
import re, sys
for f in sys.argv[1:]:
    for i, line in enumerate(open(f), 1):
        if line.lstrip().startswith('#'):
            continue
        code = re.sub(r'"(\\.|[^"\\])*"', lambda m: ' ' * len(m.group(0)), line)
        code = code.split('//')[0]
        for m in re.finditer(r'(?<![\w.])(\d+)(u?)\b', code):
            v = int(m.group(1))
            for w in (v - 1, v + 1):
                if w >= 0:
                    print(f, i, m.start(1), m.group(1), str(w))
        turn = {'<': '<=', '<=': '<', '>': '>=', '>=': '>', '==': '!=', '!=': '=='}
        for m in re.finditer(r'(?<=\s)(<=|>=|==|!=|<|>)(?=\s)', code):
            print(f, i, m.start(1), m.group(1), turn[m.group(1)])
EOF
}

survivants=()
total=0
while read -r f l c old new; do
  if [ -n "${SEULEMENT:-}" ] && ! grep -qxF "$f:$l: $old -> $new" "$SEULEMENT"; then continue; fi
  total=$((total + 1))
  cp "$f" "$f.orig"
  python3 - "$f" "$l" "$c" "$old" "$new" <<'EOF'
import sys
f, l, c, old, new = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], sys.argv[5]
lines = open(f).read().split('\n')
s = lines[l - 1]
assert s[c:c + len(old)] == old
lines[l - 1] = s[:c] + new + s[c + len(old):]
open(f, 'w').write('\n'.join(lines))
EOF
  if ! cmake --build build >/dev/null 2>&1; then
    verdict="does not build"
  elif (cd build && ctest -j2 -E rooms --timeout 120 >/dev/null 2>&1); then
    verdict=SURVIVES
    survivants+=("$f:$l: $old -> $new: $(sed -n "${l}p" "$f" | sed 's/^ *//')")
  else
    verdict="caught"
  fi
  echo "$f:$l: $old -> $new: $verdict"
  mv "$f.orig" "$f"
  touch "$f"
done < <(changes "$@")
cmake --build build >/dev/null 2>&1 || true
echo
echo "$total changes, ${#survivants[@]} survive:"
for s in "${survivants[@]}"; do echo "  $s"; done
