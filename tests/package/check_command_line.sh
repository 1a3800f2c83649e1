#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line as GNU tools have it: a mistake is one line and where to
# read more, with status 2; --log=~/FILE reads like --log ~/FILE.
set -euo pipefail
tesuko=$1 source=$2
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tesuko-cli.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
export HOME="$tmp" XDG_CONFIG_HOME="$tmp/config" XDG_CACHE_HOME="$tmp/cache" XDG_STATE_HOME="$tmp/state"
failed=0
try_help="Try 'tesuko --help' for more information."

# expect STATUS STDERR ARGUMENTS...
expect() {
  local status=$1 err=$2 got=0
  shift 2
  "$tesuko" "$@" </dev/null >"$tmp/out" 2>"$tmp/err" || got=$?
  if [[ $got != "$status" || "$(cat "$tmp/err")" != "$err" ]]; then
    echo "FAIL: tesuko $* gave $got and: $(cat "$tmp/err")" >&2
    failed=1
  fi
}
expect 2 "tesuko: unrecognized option '--bogus'"$'\n'"$try_help" --bogus
expect 2 "tesuko: unexpected argument 'later'"$'\n'"$try_help" later
expect 2 "tesuko: unexpected argument 'extra'"$'\n'"$try_help" -V extra
expect 2 "tesuko: unexpected argument '--top'"$'\n'"$try_help" -- --top
expect 2 "tesuko: option '--help' doesn't allow an argument"$'\n'"$try_help" --help=all
expect 2 "tesuko: option '--log' requires an argument"$'\n'"$try_help" --top --log=
expect 1 "tesuko: cannot read the activity log $tmp/none.csv: No such file or directory" \
  --top --log "$tmp/none.csv"
# `tesuko report` points to its own help.
expect 2 "tesuko: unrecognized option '--x'"$'\n'"Try 'tesuko report --help' for more information." \
  report --x
# Without a desktop to watch, the tray program says so once; "--" alone is no
# command either.
DISPLAY= WAYLAND_DISPLAY= expect 2 \
  "tesuko: no display to watch: neither DISPLAY nor WAYLAND_DISPLAY is set" --

# The commands load no desktop library: only the tray program does.
if LD_DEBUG=libs "$tesuko" --version 2>&1 >/dev/null |
  grep -E 'libQt6(Gui|Widgets|DBus)|libxcb|libwayland' >/dev/null; then
  echo "FAIL: tesuko --version loads desktop libraries" >&2
  failed=1
fi

echo "2026年12月05日 13時40分48秒,Editor,notes.txt,3,10,600.000000" >"$tmp/log.csv"
expect 0 "" --top --log=~/log.csv  # as the shell reads --log ~/log.csv
[[ "$(cat "$tmp/out")" == "1 : Editor"*"600" ]] || { echo "FAIL: --log=~/FILE" >&2; failed=1; }
expect 0 "" -V
[[ "$(sed -n 2p "$tmp/out")" == "License GPLv3+: "* ]] || { echo "FAIL: -V" >&2; failed=1; }
expect 0 "" --help
grep -q -- "--quit" "$tmp/out" && grep -q "tesuko report" "$tmp/out" ||
  { echo "FAIL: --help leaves out commands" >&2; failed=1; }
# What writes the interval in progress: one list, word for word, in --help,
# the README and the manual.
list() { sed -n '/^ *What writes the interval in progress/,/^$/s/^ *//p'; }
help_list=$(list <"$tmp/out")
[[ -n "$help_list" && "$(list <"$source/README.md")" == "$help_list" &&
  "$(MANWIDTH=200 LC_ALL=C man -l "$source/data/tesuko.1" 2>/dev/null | list)" == "$help_list" ]] ||
  { echo "FAIL: --help, README.md and tesuko.1 differ in what writes the interval" >&2; failed=1; }
exit $failed
