#!/usr/bin/env bash
# Starts velmorasdr as a user would, on a real X server (Xvfb, started here), waits until its
# launch is complete and saves a picture of the whole screen with the main window on it.
# Usage: smoke_xvfb.sh <velmorasdr> <screenshot folder>
set -euo pipefail
program="$1"
shots="$2"
mkdir -p "$shots"
for tool in Xvfb import xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/deps.sh installs it)"; exit 1; }
done

work="$(mktemp -d)"
cleanup() {
  local status=$?
  for pid in ${app:-} ${xvfb:-}; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

# A server on the first free display number, at the size of a small laptop screen.
exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  display="$(head -n1 "$work/displayfd" 2>/dev/null || true)"
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

mkdir -p "$work/home/.config/velmoraSDR" "$work/run"
chmod 700 "$work/run"
# The launch does not look for a newer release: the test stays on this machine.
cat >"$work/home/.config/velmoraSDR/preferences.plist" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>check_for_updates</key><integer>0</integer></dict></plist>
PLIST
env -u DBUS_SESSION_BUS_ADDRESS -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY \
  HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" \
  DISPLAY=":$display" "$program" &
app=$!
started=$(date +%s%N)

log() { cat "$work"/home/Documents/velmoraSDR_Files/debug_log_files/*.txt 2>/dev/null || true; }
for _ in $(seq 200); do
  log | grep -q "openDoroSDR:Open" && break
  kill -0 "$app" 2>/dev/null || { echo "velmorasdr ended early"; log; exit 1; }
  sleep 0.1
done
log | grep -q "openDoroSDR:Open" || { echo "launch did not complete"; log; exit 1; }
echo "launch complete after $(( ($(date +%s%N) - started) / 1000000 )) ms"
sleep 2  # let the window manager-less server show the windows
DISPLAY=":$display" import -window root "$shots/app_on_xvfb.png"
[ -s "$shots/app_on_xvfb.png" ] || { echo "no screenshot"; exit 1; }
log | grep -q "stderr redirected to" || { echo "no debug log"; exit 1; }

# Ctrl+Q in the main window, typed through the X server's test extension.
window="$(DISPLAY=":$display" xdotool search --onlyvisible --pid "$app" --name "velmoraSDR" | head -n1)"
[ -n "$window" ] || { echo "no main window"; exit 1; }
DISPLAY=":$display" xdotool windowfocus --sync "$window" key ctrl+q
asked=$(date +%s%N)
for _ in $(seq 300); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app" 2>/dev/null; then
  echo "velmorasdr still running 30 s after Ctrl+Q"
  log
  exit 1
fi
wait "$app" && status=0 || status=$?
app=""
echo "ended with status $status, $(( ($(date +%s%N) - asked) / 1000000 )) ms after Ctrl+Q"
[ "$status" -eq 0 ] || { log; exit 1; }
echo "2 passed, 0 failed"
