#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: exactly the expected files, and the
# installed programs run from there.
# usage: install-tree.sh BUILD_DIR VERSION
set -euo pipefail
here="$(dirname "$0")"
build="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"

cmake --install "$build" --prefix "$scratch/usr" >/dev/null
actual="$(cd "$scratch/usr" && find . -type f -o -type l | sort)"
expected="./bin/torvik-setup
./bin/torvik-sim
./share/applications/io.github.torviksetup.TorvikSetup.desktop
./share/bash-completion/completions/torvik-setup
./share/icons/hicolor/48x48/apps/io.github.torviksetup.TorvikSetup.png
./share/icons/hicolor/scalable/apps/io.github.torviksetup.TorvikSetup.svg
./share/man/man1/torvik-setup.1
./share/man/man1/torvik-sim.1
./share/metainfo/io.github.torviksetup.TorvikSetup.metainfo.xml"
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  echo "FAIL: the installed files differ from the expected ones (< expected, > installed)" >&2
  exit 1
fi
# Width and height from the PNG header.
size="$(od -An -tu1 -j16 -N8 "$scratch/usr/share/icons/hicolor/48x48/apps/io.github.torviksetup.TorvikSetup.png" | tr -s ' ')"
[ "$size" = " 0 0 0 48 0 0 0 48" ] || { echo "FAIL: the PNG icon is not 48x48:$size" >&2; exit 1; }

# The metainfo together with what it names there (the desktop entry it launches).
if ! report="$(appstreamcli validate-tree --no-net "$scratch" 2>&1)"; then
  echo "$report" >&2
  echo "FAIL: appstreamcli validate-tree" >&2
  exit 1
fi

# The bash completion offers the options and, after --read, settings files and "-".
completions="$(mkdir "$scratch/files" && cd "$scratch/files" && touch a.ini b.txt && bash -c '
  source /usr/share/bash-completion/bash_completion && source "$1"
  for line in "torvik-setup --ve" "torvik-setup --port COM1 --read "; do
    COMP_LINE=$line; COMP_POINT=${#line}; read -ra COMP_WORDS <<< "$line"; [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 )); COMPREPLY=()
    _torvik_setup torvik-setup "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s " $(printf "%s\n" "${COMPREPLY[@]}" | sort); echo
  done' _ "$scratch/usr/share/bash-completion/completions/torvik-setup")"
[ "$completions" = "--verify --version 
- a.ini " ] || { echo "FAIL: bash completion gave: $completions" >&2; exit 1; }

"$here/installed-program.sh" "$scratch/usr" "$scratch" "$2"
