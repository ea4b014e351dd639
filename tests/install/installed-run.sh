#!/usr/bin/env bash
# The installed program as a clinic's machine runs it: installed under a
# prefix whose folders are read-only, started from its desktop entry's Exec
# line by an ordinary user (a test user made for the run) under Xvfb.
#   installed-run.sh <build folder>
# First start: the user's configuration is made from the shipped one and the
# log is kept in the user's state folder. The test then edits the
# configuration (a save folder and a line of its own); the second start keeps
# it, reaches the working screen, takes a picture and saves it there.
# Exit 77 (skipped) when not root or without Xvfb and xdotool.
set -euo pipefail
build=$1
skip() { echo "skipped: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root to add a test user"
for tool in Xvfb xdotool useradd userdel runuser; do
  command -v "$tool" >/dev/null || skip "$tool is missing"
done

work=$(mktemp -d /tmp/sulo-installed-XXXXXX)
chmod 755 "$work"
user="sulo-test-$$"
home="$work/home"
prefix="$work/prefix"
xvfb_pid=""
sulo_pid=""
cleanup() {
  local status=$?
  set +e  # every step of the clean-up runs, whatever the one before gave
  [ -n "$sulo_pid" ] && kill "$sulo_pid" 2>/dev/null && wait "$sulo_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  id "$user" >/dev/null 2>&1 && userdel "$user"
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; [ -f "$home/.local/state/sulo/sulo.log" ] && tail -n 20 "$home/.local/state/sulo/sulo.log"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
chmod -R a-w "$prefix"
useradd --home-dir "$home" --create-home --shell /bin/sh --user-group "$user"

# A display of its own (no access control: the test user draws on it).
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/org.sulo.Sulo.desktop")
configuration="$home/.config/sulo/sulo.configuration"
log="$home/.local/state/sulo/sulo.log"

start_sulo() {
  runuser -u "$user" -- env -i HOME="$home" USER="$user" DISPLAY="$DISPLAY" PATH="$prefix/bin:/usr/bin:/bin" \
    sh -c "cd / && exec $exec_line" >"$work/sulo.out" 2>&1 &
  sulo_pid=$!
}
stop_sulo() {
  kill "$sulo_pid" 2>/dev/null || true
  wait "$sulo_pid" 2>/dev/null || true
  sulo_pid=""
}
wait_for() {  # wait_for <seconds> <command...>
  local limit=$(($1 * 10)); shift
  for _ in $(seq "$limit"); do "$@" && return 0; sleep 0.1; done
  return 1
}
window_geometry() {  # sets X Y W H of the program's window
  local id
  id=$(xdotool search --name '^Form1$' 2>/dev/null | head -n 1) || return 1
  [ -n "$id" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$id")"
  WINDOW_ID=$id
  X=$X Y=$Y W=$WIDTH H=$HEIGHT
}
click() {  # click at design units (ratio 1 on this screen) inside the window
  xdotool mousemove "$((X + $1))" "$((Y + $2))" click 1
}

# First start.
start_sulo
wait_for 30 grep -q "Configuration file : $configuration" "$log" 2>/dev/null || fail "no log under ~/.local/state/sulo"
grep -q "Log file : $log" "$log" || fail "the log does not name itself"
cmp -s "$configuration" "$prefix/share/sulo/default.configuration" || fail "the configuration is not the shipped one"
[ "$(stat -c %U "$configuration")" = "$user" ] || fail "the configuration is not the user's"
wait_for 30 window_geometry || fail "no window"
stop_sulo
[ ! -e "$prefix/bin/sulo.configuration" ] && [ ! -e "$prefix/bin/sulo.log" ] || fail "files beside the program"

# The operator's edits: a save folder and a note of their own.
pictures="$home/Pictures/booth"
runuser -u "$user" -- mkdir -p "$pictures"
runuser -u "$user" -- sh -c "printf '; edited at the booth\n' >>'$configuration' &&
  sed -i 's|^SaveLocation=.*|SaveLocation=$pictures|' '$configuration' &&
  grep -q '^SaveLocation=' '$configuration' || printf '[General]\nSaveLocation=$pictures\n' >>'$configuration'"

# Second start: the working screen, one shot, saved. Points are in the
# window at ratio 1 (this screen): START, then the shoot button, then the save
# popup's Save.
start_sulo
wait_for 30 grep -q "ScanComplete : True" "$log" || fail "the board scan did not find the simulated board"
wait_for 30 window_geometry || fail "no window on the second start"
start_size="$W"x"$H"
# The working screen's window is larger than the start screen's.
for _ in $(seq 20); do
  click 746 375
  sleep 1
  window_geometry
  [ "$W"x"$H" != "$start_size" ] && break
done
[ "$W"x"$H" != "$start_size" ] || fail "the working screen did not open"
sleep 2  # live view
click 807 683
for _ in $(seq 30); do
  sleep 1
  click 669 499
  ls "$pictures"/*.jpg >/dev/null 2>&1 && break
done
ls "$pictures"/*.jpg >/dev/null 2>&1 || fail "no picture saved in $pictures"
picture=$(ls "$pictures"/*.jpg | head -n 1)
[ "$(head -c 2 "$picture" | od -An -tx1 | tr -d ' ')" = "ffd8" ] || fail "$picture is not a JPEG"
stop_sulo
grep -q '^; edited at the booth$' "$configuration" || fail "the edited configuration was replaced"
grep -q "^SaveLocation=$pictures$" "$configuration" || fail "the save folder was lost"
[ -z "$(find "$prefix" -newer "$work/display" -print -quit)" ] || fail "something was written under the prefix"
echo "passed: $configuration, $log, $picture"
