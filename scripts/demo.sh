#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tesuko in a private virtual X session: Xvfb, openbox and a tray,
# two demo windows and a few switches between them with typed keys and clicks,
# then the tray menu opened on its ranking and the report window. Leaves
# screenshots of both and the activity log in <build>/demo/ and prints the log. Runs in a
# private home, so the user's own log is never touched, and ends only the
# processes it started.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
binary="$build/app/tesuko"
out="$build/demo"

# trayer, or stalonetray where the release has no trayer (Debian testing).
tray=$(command -v trayer || command -v stalonetray || echo trayer)
for tool in Xvfb openbox "$tray" xterm xdotool xprop import; do
  if ! command -v "$tool" >/dev/null; then
    echo "demo: $tool is missing (make deps installs it)" >&2
    exit 1
  fi
done
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/tesuko-demo.XXXXXX")
pids=()

cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# wait_for TENTHS COMMAND...: runs the command until it succeeds, at most TENTHS/10 seconds.
wait_for() {
  local tries=$1 t
  shift
  for ((t = 0; t < tries; t++)); do
    if "$@" >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  echo "demo: gave up waiting for: $*" >&2
  return 1
}
windows_of() { xdotool search --onlyvisible --class "^$1\$"; }
has_windows() { [[ $(windows_of "$1" | wc -l) -ge $2 ]]; }
menu_closed() { ! has_windows tesuko 2; }
menu_openings() { grep -c '^tesuko: menu: Quit' "$work/tesuko.err" || true; }
menu_opened_after() { [[ $(menu_openings) -gt $1 ]]; }

echo "== A private X server with openbox and a tray"
Xvfb -displayfd 5 -screen 0 1024x640x24 -nolisten tcp -noreset 5>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 100 test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY
XDG_CONFIG_HOME="$work/openbox" openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
if [[ $(basename "$tray") == trayer ]]; then
  trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
    --transparent false >"$work/tray.log" 2>&1 &
else
  stalonetray --geometry 1x1-0+0 --icon-size 24 --grow-gravity NE >"$work/tray.log" 2>&1 &
fi
pids+=($!)
wait_for 100 has_windows "$(basename "$tray")" 1
echo "   display $DISPLAY"

# The working days before the demo, as a week of work would have left them
# in the log's own form: the report then shows hours, not the demo's seconds.
seed_log() {
  local log=$1 now t hour seconds i=0 k
  local apps=(DemoEditor DemoBrowser DemoMail DemoTerminal)
  local titles=("notes.txt - Demo Editor" "News - Demo Browser" "Inbox (3) - Demo Mail"
    "~/src - Demo Terminal")
  now=$(date +%s)
  t=$((now - 6 * 86400))
  while ((t < now - 600)); do
    hour=$((10#$(date -d "@$t" +%H)))
    if ((hour < 9 || hour >= 18)); then
      t=$((t + 3600))
      continue
    fi
    seconds=$((600 + i * 797 % 3000))
    k=$((i * 7 % 4))
    printf '%s,%s,%s,%d,%d,%d.000000\n' "$(date -d "@$t" '+%Y年%m月%d日 %H時%M分%S秒')" \
      "${apps[k]}" "${titles[k]}" $((i * 7 % 90)) $((i * 37 % 900)) "$seconds" >>"$log"
    t=$((t + seconds))
    i=$((i + 1))
  done
}

echo "== tesuko, in a private home, with a week of records"
mkdir -p "$work/home/.config" "$work/run" "$work/home/Desktop/TESUKO"
chmod 700 "$work/run" "$work/home/Desktop/TESUKO"
seed_log "$work/home/Desktop/TESUKO/log.csv"
chmod 600 "$work/home/Desktop/TESUKO/log.csv"
seeded=$(wc -l <"$work/home/Desktop/TESUKO/log.csv")
echo "   $seeded records of the six days before"
if [[ -z "${LC_ALL:-}${LC_NUMERIC:-}${LANG:-}" ]]; then
  export LC_ALL=en_US.UTF-8
fi
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" \
  DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" QT_QPA_PLATFORM=xcb TESUKO_DEBUG=1 \
  "$binary" 2>"$work/tesuko.err" &
tesuko=$!
pids+=("$tesuko")
wait_for 150 has_windows tesuko 1
icon=$(windows_of tesuko | head -1)
eval "$(xdotool getwindowgeometry --shell "$icon")"
# Clicked at its lower edge, so that the menu opens below the icon and the
# screenshot shows both.
icon_x=$((X + WIDTH / 2))
icon_y=$((Y + HEIGHT - 1))

# Qt 6.8 drops a click on the icon that comes right after its menu closed:
# the click is tried again when no menu opened.
open_menu() {
  local before try
  before=$(menu_openings)
  for try in 1 2 3; do
    xdotool mousemove "$icon_x" "$icon_y" click 1
    if wait_for 30 menu_opened_after "$before" 2>/dev/null; then
      wait_for 100 has_windows tesuko 2
      return
    fi
  done
  echo "demo: the tray menu did not open" >&2
  return 1
}

echo "== Start Recording, from the tray menu"
open_menu
xdotool key Down Return

echo "== Two demo windows and a few switches with typed keys and clicks"
xterm -class DemoEditor -T "notes.txt - Demo Editor" -geometry 64x14+40+80 -e cat &
pids+=($!)
xterm -class DemoBrowser -T "News - Demo Browser" -geometry 64x14+440+330 -e cat &
pids+=($!)
wait_for 100 has_windows DemoEditor 1
wait_for 100 has_windows DemoBrowser 1
editor=$(windows_of DemoEditor | head -1)
browser=$(windows_of DemoBrowser | head -1)
for round in 1 2 3; do
  xdotool windowactivate --sync "$editor"
  xdotool type --delay 40 "draft $round of the notes "
  sleep 1.5 # time in the editor, so that the ranking has something to rank
  xdotool windowactivate --sync "$browser"
  xdotool mousemove --window "$browser" 60 40 click 1 click 1
  sleep 0.7
done
xdotool windowactivate --sync "$editor"

echo "== The tray menu with the ranking"
open_menu
import -window root "$out/menu.png"
grep '^tesuko: menu: ' "$work/tesuko.err" | tail -10 | sed 's/^tesuko: menu: /   /'
xdotool key Escape
wait_for 100 menu_closed

echo "== Show Report…, from the tray menu"
open_menu
# The keyboard walks the items that can be chosen, as the last listing in
# the menu's trace shows them (each listing ends with Quit).
steps=$(awk '
  !/^tesuko: menu: / { next }
  { sub(/^tesuko: menu: /, "") }
  restart { n = 0; restart = 0 }
  !/\[disabled\]/ { n++ }
  /^Show Report/ { at = n }
  /^Quit/ { restart = 1 }
  END { print at }' "$work/tesuko.err")
for ((k = 0; k < steps; k++)); do
  xdotool key Down
done
xdotool key Return
wait_for 100 sh -c 'xdotool search --onlyvisible --name "^tesuko — Report$"'
report=$(xdotool search --onlyvisible --name "^tesuko — Report$" | head -1)
xdotool windowsize --sync "$report" 760 600 windowactivate --sync "$report"
sleep 0.5 # painted
import -window "$report" "$out/report.png"

echo "== SIGTERM: tesuko writes the interval in progress and exits"
kill -TERM "$tesuko"
status=0
wait "$tesuko" || status=$?
echo "   exit status $status"

cp "$work/home/Desktop/TESUKO/log.csv" "$out/log.csv"
echo "== The demo's records in the activity log ($out/log.csv)"
tail -n +$((seeded + 1)) "$out/log.csv"
echo "== tesuko --top"
"$binary" --top --log "$out/log.csv"
echo
echo "Screenshots: the open menu $out/menu.png, the report window $out/report.png"
