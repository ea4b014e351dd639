#!/usr/bin/env bash
# Renders the screens at both screen ratios (a
# 1920-wide screen shows them at 1.0, a 1280-wide one at 0.6666) under Xvfb
# into docs/screenshots/, and captures the running program once it has
# reached the save-location screen with the simulated devices.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SULO_BUILD_DIR:-build-screenshots}
out=docs/screenshots
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSULO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target sulo sulo_screenshots sulo_viewer_screenshots views_settings_tests views_shooting_tests >/dev/null
mkdir -p "$out"

xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tests/app/sulo_screenshots" "$out"
# The settings window, without and with a simulated camera session.
SULO_SCREENSHOT_DIR="$out" "$build/tests/views/views_settings_tests" \
  --gtest_filter='*Screenshots*:*CameraKindsShareTheControllersLists*' >/dev/null
# The comparison viewers with pictures.
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tests/views/sulo_viewer_screenshots" "$out"
# The shooting view's states, with the simulated camera and board.
SULO_SCREENSHOT_DIR="$out" "$build/tests/views/views_shooting_tests" --gtest_filter='*Screenshots*' >/dev/null

# The program itself, started as the operator starts it, on a 1280 x 800 screen.
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1" &
  pid=$!
  sleep 6
  window=$(xdotool search --name "^Form1$" | head -n 1)
  import -window "${window:-root}" "$2"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' _ "$build/src/app/sulo" "$out/program-1280x800.png"
echo "wrote $out/program-1280x800.png"
