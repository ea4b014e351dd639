#!/usr/bin/env bash
# An operator's run of the Windows program under Wine, with screenshots.
#
# Needs build-win64/src/app/sulo.exe and build-win-host's tools, as
# scripts/windows-check.sh leaves them. A simulated board (sulo_sim_boards)
# is mapped to COM3 of a Wine prefix of its own (build-win64/wine-demo); the
# program is put in C:\Sulo with the shipped configuration, its save folder
# set to C:\사진\환자. Driven with xdotool on a virtual display: START, the
# live view, a Sulo shot saved, a second shot not saved, the settings button
# with the access code and the settings window's Save, and the viewer with the
# saved picture. Screenshots go to docs/screenshots/windows-*.png. Fails when
# the Korean-named folder does not hold exactly one 3456 x 5184 JPEG named
# yyyyMMddhhmmss.jpg.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
win64=$root/build-win64
host=$root/build-win-host
out=$root/docs/screenshots
[ -f "$win64/src/app/sulo.exe" ] || { echo "build-win64/src/app/sulo.exe is missing: run scripts/windows-check.sh"; exit 1; }
mkdir -p "$out"

export WINEPREFIX=$win64/wine-demo
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init > /dev/null 2>&1
  wineserver --wait
fi

journal=$win64/demo-board-journal.txt
boards=$win64/demo-boards.txt
rm -f "$journal" "$boards"
board_pid=""
sulo_pid=""
cleanup() {
  if [ -n "$sulo_pid" ]; then kill "$sulo_pid" 2> /dev/null || true; fi
  if [ -n "$board_pid" ]; then kill "$board_pid" 2> /dev/null || true; fi
  wineserver --kill > /dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 143' TERM INT
"$host/src/simulator/board/sulo_sim_boards" "$journal" COM3=ack > "$boards" &
board_pid=$!
for _ in $(seq 100); do grep -q '^ready$' "$boards" 2> /dev/null && break; sleep 0.1; done
read -r _ device < "$boards"
wine reg add 'HKLM\Software\Wine\Ports' /v COM3 /t REG_SZ /d "$device" /f > /dev/null 2>&1
wineserver --kill > /dev/null 2>&1 || true
wineserver --wait > /dev/null 2>&1 || true

booth=$(winepath -u 'C:\Sulo' 2> /dev/null)
pictures=$(winepath -u 'C:\사진\환자' 2> /dev/null)
rm -rf "$booth" "$(dirname "$pictures")"
mkdir -p "$booth"
x86_64-w64-mingw32-strip -o "$booth/sulo.exe" "$win64/src/app/sulo.exe"
sed 's/^SaveLocation=.*/SaveLocation=C:\\사진\\환자/' resources/default.configuration > "$booth/sulo.configuration"

# --- driving the program ------------------------------------------------------
shot() {
  sleep "${2:-1}"
  import -window root "$out/windows-$1.png"
  echo "wrote docs/screenshots/windows-$1.png"
}
window=""
# Clicks at a point of the main window, in its pixels.
click() {
  xdotool mousemove --window "$window" "$1" "$2" sleep 0.2 click 1
  sleep "${3:-1}"
}

(cd "$booth" && wine ./sulo.exe > "$win64/demo-sulo.out" 2>&1) &
sulo_pid=$!
for _ in $(seq 120); do
  window=$(xdotool search --onlyvisible --name '^Form1$' 2> /dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || { echo "the program's window did not show"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "main window $WIDTH x $HEIGHT at $X,$Y"
shot save-location 4

# START (enabled once the board on COM3 has answered the scan).
click 737 375 4
window=$(xdotool search --onlyvisible --name '^Form1$' 2> /dev/null | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "working window $WIDTH x $HEIGHT at $X,$Y"
shot working-live-view 3

# A Sulo shot (the mode row's first button, chosen at start): the sequence,
# the download of the full picture, the question.
click 369 153 1
click 807 683 1
for _ in $(seq 60); do
  ls "$pictures" > /dev/null 2>&1 || true
  sleep 0.5
done
shot sulo-save-question 0
# Save.
click 670 500 0.5
shot sulo-saved 0
sleep 4
# A second shot, not saved.
click 807 683 1
sleep 30
click 958 500 3
shot sulo-not-saved 0
sleep 3
# The settings button: the access code, then the settings window.
click 1051 157 2
shot access-code 0
xdotool type --delay 100 9526
click 689 513 3
settings=$(xdotool search --onlyvisible --name '.' 2> /dev/null | tail -n 1)
eval "$(xdotool getwindowgeometry --shell "$settings")"
echo "settings window $WIDTH x $HEIGHT at $X,$Y"
shot settings 0
# The settings window's Save writes the configuration; then it is closed.
before=$(stat -c %Y "$booth/sulo.configuration")
sleep 1
xdotool mousemove --window "$settings" 626 701 sleep 0.2 click 1
sleep 2

saved_settings=no
[ "$(stat -c %Y "$booth/sulo.configuration")" != "$before" ] && saved_settings=yes
xdotool mousemove --window "$settings" 844 18 sleep 0.2 click 1
sleep 2
# The Viewer tab.
click 718 86 3
shot viewer 0
# The first pane's "Open picture": the file dialog, given the saved picture.
saved=$(ls "$pictures" | head -n 1)
click 348 446 3
shot viewer-open-dialog 0
xdotool type --delay 60 "C:\\사진\\환자\\$saved"
sleep 1
xdotool key Return
shot viewer-picture 4

# --- what the run left on disk ---------------------------------------------------
status=0
mapfile -t files < <(ls "$pictures")
echo "C:\\사진\\환자 holds: ${files[*]:-nothing}"
if [ ${#files[@]} -ne 1 ] || ! [[ ${files[0]} =~ ^[0-9]{14}\.jpg$ ]]; then
  echo "FAILED: one yyyyMMddhhmmss.jpg picture expected (the second shot was not saved)"
  status=1
else
  size=$(identify -format '%w x %h' "$pictures/${files[0]}")
  echo "saved picture: ${files[0]}, $size"
  [ "$size" = "3456 x 5184" ] || { echo "FAILED: 3456 x 5184 expected"; status=1; }
fi
echo "settings window's Save wrote the configuration: $saved_settings"
[ "$saved_settings" = yes ] || status=1
exit $status
