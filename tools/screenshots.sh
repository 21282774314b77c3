#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Screenshots of the window in each panel combination, at 96 and 144 DPI.
# Usage: tools/screenshots.sh BINARY OUTDIR
# Without a DISPLAY it starts a virtual X server and a window manager of its own.
# Needs xvfb, xauth, openbox, xdotool and imagemagick.
set -euo pipefail
if [[ -z "${DISPLAY:-}" ]]; then
  exec env SCREENSHOTS_WM=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
binary=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq 1 40); do echo "2024-05-01 12:00:$((i + 10)) 起動 line $i: 監視対象のログ"; done \
  > "$work/app.log"
if [[ -n "${SCREENSHOTS_WM:-}" ]]; then
  openbox >/dev/null 2>&1 &
  sleep 1
fi

wait_for_title() {
  for _ in $(seq 1 50); do
    [[ "$(xdotool getactivewindow getwindowname 2>/dev/null)" == Logwarden* ]] && return
    sleep 0.1
  done
  echo "the window did not appear" >&2
  exit 1
}

# name: keys that take the default panels (path, time stamp, size, text) to the combination
combos=(
  "all:F9"
  "path-row:"
  "path-size:F7"
  "path-keyword:F7 F8 F9"
  "path-only:F7 F8"
  "row-keyword:F6 F9"
  "keyword-only:F6 F7 F8 F9"
  "none:F6 F7 F8"
  "no-text:alt+v Up Return"
)
for dpi in 96 144; do
  for combo in "${combos[@]}"; do
    name=${combo%%:*}
    QT_FONT_DPI=$dpi "$binary" "$work/app.log" 2>/dev/null &
    app=$!
    wait_for_title
    for key in ${combo#*:}; do xdotool key "$key"; sleep 0.2; done
    sleep 0.4
    eval "$(xdotool getactivewindow getwindowgeometry --shell)"
    import -window root -crop "$((WIDTH + 20))x$((HEIGHT + 60))+$((X - 10))+$((Y - 50))" \
      "$out/$dpi-$name.png"
    kill "$app"
    wait "$app" 2>/dev/null || true
  done
done
