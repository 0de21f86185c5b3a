#!/usr/bin/env bash
# Whole-process timings against their floors, one line per target: the
# batch programs against cat (which reads the file and writes one of the same
# size), yearscan against wc -l (which reads it and finds every newline):
#   bench/run.sh [LINES]        (default 10000000)
# Builds the bench preset, generates the inputs from a fixed seed in a
# scratch directory, times with hyperfine, measures peak memory with
# /usr/bin/time -v, and prints each measured ratio beside its target.
# Needs hyperfine, GNU time, python3 and libbenchmark-dev (apt-get install -y ...).
# After dpkg-buildpackage in the tree (and with dpkg-dev), also the start of
# the programs Debian builds, linked dynamically.
set -euo pipefail
lines=${1:-10000000}
top=$(cd "$(dirname "$0")/.." && pwd)
cmake --preset bench -S "$top" >/dev/null 2>&1
cmake --build --preset bench >/dev/null 2>&1
bin=$top/build-bench/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$bin/gen" rep "$lines" >rep.txt
"$bin/gen" greg "$lines" >greg.txt
"$bin/gen" rep "$lines" 30 >rep30.txt
"$bin/gen" greg "$lines" 30 >greg30.txt
"$bin/gen" greg 10 >greg10.txt

# Median wall seconds of each command, in the order given: ROUNDS rounds of
# RUNS runs each, the order of the commands turned every round so that a
# machine getting busier or quieter favours none of them.
medians() {  # medians ROUNDS RUNS COMMAND...
  local rounds=$1 runs=$2 round k
  shift 2
  local cmds=("$@") n=$# warm=$((runs > 1 ? 1 : 0))
  rm -f round*.json
  for ((round = 0; round < rounds; round++)); do
    k=$((round % n))
    hyperfine -N -w "$warm" -r "$runs" --export-json "round$round.json" "${cmds[@]:k}" \
      "${cmds[@]:0:k}" >/dev/null 2>&1
  done
  python3 -c 'import glob, json, statistics, sys
runs = {}
for f in glob.glob("round*.json"):
    for r in json.load(open(f))["results"]:
        runs.setdefault(r["command"], []).extend(r["times"])
print(" ".join(str(statistics.median(runs[c])) for c in sys.argv[1:]))' "${cmds[@]}"
}
line() {  # line LABEL NUM DEN TARGET
  python3 -c 'import sys; l,n,d,t=sys.argv[1:]; r=float(n)/float(d); v="ok" if r <= float(t) else "MISSED"; print(f"{l}: {r:.2f}x (target <= {t}x) {v}")' "$@"
}

# Messages go to /dev/null, hyperfine's default.
for f in rep greg rep30 greg30; do
  case $f in rep*) prog=batchcivil ;; *) prog=batchrevo ;; esac
  case $f in *30) cible=2 ;; *) cible=1.5 ;; esac
  read -r -a t <<<"$(medians 15 3 "sh -c 'cat $f.txt > copy.txt'" "$bin/$prog $f.txt")"
  line "$prog on $f.txt vs cat" "${t[1]}" "${t[0]}" "$cible"
done
for f in greg greg30; do
  case $f in *30) cible=5 ;; *) cible=2 ;; esac
  read -r -a t <<<"$(medians 15 3 "wc -l $f.txt" "$bin/yearscan $f.txt")"
  line "yearscan on $f.txt vs wc -l" "${t[1]}" "${t[0]}" "$cible"
done

rss() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident/ {print $2}'; }
for prog in batchrevo yearscan; do
  small=$(rss "$bin/$prog" greg10.txt)
  big=$(rss "$bin/$prog" greg.txt)
  echo "$prog peak RSS: $big KiB for $lines lines, $small KiB for 10 lines: +$((big - small)) KiB (target <= 1024 KiB) $([ $((big - small)) -le 1024 ] && echo ok || echo MISSED)"
done

read -r -a m <<<"$(medians 30 100 "$bin/minimal" "$bin/daycivil 01/VEND/01" "$bin/dayrevo 22/09/1792")"
line "daycivil median start vs a static C program" "${m[1]}" "${m[0]}" 1.1
line "dayrevo median start vs a static C program" "${m[2]}" "${m[0]}" 1.1

# The packaged programs (dpkg-buildpackage's build folder, when there is one)
# against their own floor: the same one-line C program linked the same way,
# dynamically, with Debian's hardening flags.
deb=$(echo "$top"/obj-*/bin)
if [ -x "$deb/daycivil" ] && command -v dpkg-buildflags >/dev/null; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  # shellcheck disable=SC2046
  cc $(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS) "$top/bench/minimal.c" \
    $(dpkg-buildflags --get LDFLAGS) -o minimal-dyn
  read -r -a m <<<"$(medians 30 100 ./minimal-dyn "$deb/daycivil 01/VEND/01" "$deb/dayrevo 22/09/1792")"
  line "packaged daycivil median start vs a dynamic C program" "${m[1]}" "${m[0]}" 1.1
  line "packaged dayrevo median start vs a dynamic C program" "${m[2]}" "${m[0]}" 1.1
fi

# The same job as a short Python script does it; its output must match ours.
read -r -a p <<<"$(medians 1 1 "$bin/batchcivil rep.txt" "python3 $top/bench/peer.py rep.txt")"
cmp -s rep.txt.Greg rep.txt.py.Greg && same="same output" || same="OUTPUT DIFFERS"
python3 -c 'import sys
n, d, s = sys.argv[1:]
r = float(d) / float(n)
v = "ok" if r >= 100 and s == "same output" else "MISSED"
print(f"batchcivil vs a Python script on rep.txt ({s}): {r:.0f}x faster (expected >= 100x) {v}")' \
  "${p[0]}" "${p[1]}" "$same"
