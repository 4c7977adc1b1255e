#!/usr/bin/env bash
# Checks the programs installed under PREFIX (bin/torvik-setup, bin/torvik-sim):
# their command line, the settings file an installed copy chooses, and a start
# on the offscreen platform. Sourced by the install and package tests.
# usage: installed-program.sh PREFIX SCRATCH VERSION
set -euo pipefail
prefix="$1"
scratch="$2"
version="$3"
setup="$prefix/bin/torvik-setup"
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$("$setup" --version | head -1)" = "torvik-setup $version" ] || fail "torvik-setup --version"
"$setup" --version | grep -qx 'License GPLv3+: .*' || fail "torvik-setup --version names no licence"
[ "$("$prefix/bin/torvik-sim" --version)" = "torvik-sim $version" ] || fail "torvik-sim --version"
grep -q -- "--settings <file>" <<<"$("$setup" --help)" || fail "--help lists no options"
grep -qx "  $scratch/my.ini" <<<"$(cd "$scratch" && "$setup" --settings my.ini --help)" || fail "--settings FILE is not the file in use"

# --list-ports: a [Ports] entry naming a pseudo-terminal is listed as COMn, its path and no description.
printf '[Ports]\r\nCOM5=/dev/pts/9\r\n' >"$scratch/ports.ini"
grep -qxP 'COM5\t/dev/pts/9\t' <<<"$("$setup" --settings "$scratch/ports.ini" --list-ports)" || fail "--list-ports"
# --list-ports --json: the same entry for programs, what is not known as null.
python3 -c 'import json, sys
port = [p for p in json.load(sys.stdin)["ports"] if p["name"] == "COM5"][0]
sys.exit(port["device"] != "/dev/pts/9" or port["stablePath"] is not None or port["vendorId"] is not None)' \
  <<<"$("$setup" --settings "$scratch/ports.ini" --list-ports --json)" || fail "--list-ports --json"

# A listing that cannot be written whole (a full disk) fails and says why.
status=0
"$setup" --settings "$scratch/ports.ini" --list-ports >/dev/full 2>"$scratch/err" || status=$?
[ "$status" = 1 ] && grep -q "standard output could not be written" "$scratch/err" || fail "--list-ports to a full disk"

# A wrong option: one line and a hint on standard error, nothing on standard output, status 2.
status=0
"$setup" --no-such-option >"$scratch/out" 2>"$scratch/err" || status=$?
[ "$status" -eq 2 ] || fail "unknown option: status $status"
[ ! -s "$scratch/out" ] && [ "$(cat "$scratch/err")" = "torvik-setup: unknown option '--no-such-option'
Try 'torvik-setup --help' for more information." ] || fail "unknown option: $(cat "$scratch/err")"

# A user who cannot write the program's folder gets the per-user file.
if [ "$(id -u)" -eq 0 ]; then
  mkdir -p "$scratch/home"
  chown nobody "$scratch/home"
  per_user="$(setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -u XDG_CONFIG_HOME HOME="$scratch/home" "$setup" --help)" || fail "--help as an ordinary user"
  grep -qx "  $scratch/home/.config/torvik-setup/TORVIK.INI" <<<"$per_user" || fail "per-user settings file: $per_user"
fi

# A start on the offscreen platform runs until it is stopped (a crash or an
# early exit ends with another status); Qt's own options pass through.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$setup" -platform offscreen --settings "$scratch/TORVIK.INI" \
  >"$scratch/start.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$scratch/start.log" >&2; fail "offscreen start ended with status $status"; }
