# SPDX-License-Identifier: MIT
# Helpers for the scripts and tests that drive the real program on a virtual X server with a
# window manager (xvfb-run, openbox, xdotool, xprop). Source it; define fail() first to add
# diagnostics to a failure.

declare -F fail >/dev/null || fail() {
  echo "$*" >&2
  exit 1
}

# Re-runs the calling script under a virtual X server, once: in_xvfb MARKER "$0" "$@".
in_xvfb() {
  local marker=$1
  shift
  [[ -n "${!marker:-}" ]] && return 0
  exec env "$marker=1" xvfb-run -a -s "-screen 0 1024x768x24" "$@"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds, or fails.
wait_for() {
  local limit=$(($(now_ms) + $1 * 1000)) what=$2
  shift 2
  until "$@"; do
    (($(now_ms) < limit)) || fail "no $what within the time limit"
    sleep 0.05
  done
}

wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Starts openbox, logging to LOG, and waits for it; its process id is in $wm. On a loaded
# machine its start has been seen to take over ten seconds.
start_window_manager() {
  openbox >"$1" 2>&1 &
  wm=$!
  wait_for 60 "window manager" wm_ready
}

active_is() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$1" ]]; }

# Starts Xvfb on a display number that the server picks itself (-displayfd), so that two servers
# started at once never take the same one; exports DISPLAY, and its process id is in $xvfb.
start_xvfb() {
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb=$!
  wait_for 30 "X server" test -s "$number_file"
  export DISPLAY=:$(head -n1 "$number_file")
  rm -f "$number_file"
}
