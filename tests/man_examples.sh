#!/usr/bin/env bash
# Every man page, English and French, is lint-clean, and the commands of its
# EXAMPLES (EXEMPLES) section, and those of the README's console blocks, run on
# copies of the shipped examples, print what the page shows, byte for byte:
# a trailing blank is shown as ␠ (rendered pages and Markdown keep none).
#   man_examples.sh PROGRAM_DIR SOURCE_DIR [EMULATOR [ARG...]]
# With an emulator (a cross build), each program is run through it.
set -u
bin=$(cd "$1" && pwd)
src=$2
shift 2
enveloppes=$(mktemp -d)
trap 'rm -rf "$enveloppes"' EXIT
if [ $# -gt 0 ]; then
  for p in "$bin"/*; do
    [ -f "$p" ] && [ -x "$p" ] || continue
    nom=$(basename "$p")
    printf '#!/bin/sh\nexec%s "%s" "$@"\n' "$(printf ' "%s"' "$@")" "$p" >"$enveloppes/$nom"
    chmod +x "$enveloppes/$nom"
  done
  bin=$enveloppes
fi
echec=0

# comparer NAME SHOWN: runs each "$ " line of SHOWN in one scratch folder and
# compares SHOWN with the commands followed by what they print.
comparer() {
  local nom=$1 montre=$2 obtenu travail
  travail=$(mktemp -d "$enveloppes/travail.XXXXXX")
  cp "$src"/examples/*.txt "$travail"/
  obtenu=$(
    while IFS= read -r ligne; do
      case $ligne in
        '$ '*)
          echo "$ligne"
          (cd "$travail" && PATH="$bin:$PATH" sh -c "${ligne#\$ }" 2>&1) |
            sed -e :a -e 's/ \(␠*\)$/␠\1/' -e ta
          ;;
      esac
    done <<<"$montre"
  )
  if [ "$montre" != "$obtenu" ]; then
    echo "$nom: the page shows"
    echo "$montre"
    echo "$nom: the programs print"
    echo "$obtenu"
    echec=1
  fi
}

for page in "$src"/man/*.1 "$src"/man/fr/*.1; do
  nom=${page#"$src"/man/}
  lint=$(groff -man -ww -z "$page" 2>&1)
  if [ -n "$lint" ]; then
    printf '%s: groff says:\n%s\n' "$nom" "$lint"
    echec=1
  fi
  # The examples as a reader sees them, from the first command on, less the
  # indent of that command: groff 1.22 and 1.23 indent by 7, 1.24 by 5.
  montre=$(groff -man -Tutf8 -P-cbou "$page" |
    awk '/^(EXAMPLES|EXEMPLES)/ {dans = 1; next} /^[^ ]/ {dans = 0} dans' |
    awk 'marge == "" && match($0, /^ *\$ /) {marge = RLENGTH - 2}
         marge != "" {print substr($0, marge + 1)}' |
    sed -e 's/ *$//' | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}')
  if [ -z "$montre" ]; then
    echo "$nom: no example"
    echec=1
    continue
  fi
  comparer "$nom" "$montre"
done

# The README's console blocks, as they stand.
montre=$(awk '/^```console$/ {bloc = 1; next} /^```/ {bloc = 0} bloc' "$src/README.md")
if [ -z "$montre" ]; then
  echo "README.md: no example"
  echec=1
else
  comparer README.md "$montre"
fi
[ $echec -eq 0 ] && echo "man pages: lint clean; their examples and the README's as shown"
exit $echec
