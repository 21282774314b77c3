#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program as a user meets it: a virtual X server with a window manager, keys typed
# through xdotool, the view's text read back through the Copy command and the clipboard, the
# window's pixels through screenshots, and Logwarden.ini as it lands in the current folder.
# Usage: tests/e2e/desktop.sh PROGRAM; exits 77 where a tool is missing.
set -euo pipefail
[[ $# -eq 1 ]] || { echo "usage: $0 PROGRAM" >&2; exit 2; }
for tool in xvfb-run Xvfb xauth openbox xdotool wmctrl xprop xclip import convert compare; do command -v $tool >/dev/null || { echo "skipped: no $tool"; exit 77; }; done
source "$(dirname "$0")/../../scripts/lib/xsession.sh"
in_xvfb LOGWARDEN_E2E_DISPLAY "$0" "$@"

program=$(realpath "$1") artifacts=$PWD caption="Logwarden (ver 1.1.0)" monitoring="$caption - 監視中"
unset QT_QPA_PLATFORM # the tests' offscreen default would hide the window from X
# The program's current folder, $run: only the log and Logwarden.ini belong there.
tmp=$(mktemp -d); run="$tmp/run" log="$tmp/run/app.log"
mkdir -m 700 "$run" "$tmp/xdg"; export XDG_RUNTIME_DIR="$tmp/xdg" HOME="$tmp"
app="" wm="" lost_x="" runs=0; trap 'kill $app $wm $lost_x 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2; import -window root "$artifacts/e2e-failure.png" 2>/dev/null && echo "screen: $artifacts/e2e-failure.png" >&2
  { echo "--- program's standard error, window manager's output"; cat "$tmp"/stderr-* "$tmp/openbox.log" 2>/dev/null; } >&2; exit 1
}
alive() { [[ "$(ps -o stat= -p "$app" 2>/dev/null)" =~ ^[^Z] ]]; } # running, not a zombie
ended() { ! alive; }
title_is() { [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == "$1" ]]; }
on_top() { xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_on_top() { ! on_top; }
# MS COMMAND...: COMMAND succeeds every time it is asked for MS milliseconds.
holds() { local until=$(($(now_ms) + $1)); shift; while (($(now_ms) < until)); do "$@" || return 1; done; }
# Visible windows titled exactly NAME whose type includes TYPE (NORMAL or DIALOG).
find_window() {
  for w in $(xdotool search --onlyvisible --name "^${1//[()]/.}\$" 2>/dev/null); do xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_$2" && echo "$w"; done
}
main_appears() { alive || fail "the program ended at start-up"; window=$(find_window "$caption" NORMAL | head -n1) && [[ -n "$window" ]]; }
dialog_appears() { dialog=$(find_window "$1" DIALOG | head -n1) && [[ -n "$dialog" ]]; }
no_dialog() { [[ -z "$(find_window "$caption" DIALOG)" ]]; }
activate() { active_is "$1" || xdotool windowactivate "$1" 2>/dev/null || true; wait_for 5 "active window $1" active_is "$1"; }
start() { # ARGS: the program on them, its window found and active
  runs=$((runs + 1)); "$program" "$@" 2>"$tmp/stderr-$runs" & app=$!
  wait_for 10 "main window titled \"$caption\"" main_appears; activate "$window"
}
# Types KEYS into the main window; menus opened by them take the keys that follow, after a
# moment to open.
press() { activate "$window"; xdotool key --delay $(($# == 1 ? 12 : 120)) "$@"; }
# The view's whole text, as its Copy command (Ctrl+C) puts it on the clipboard.
view_text() { press ctrl+c; timeout 2 xclip -o -selection clipboard 2>/dev/null | tr -d '\r'; }
view_has() { view_text | grep -qxF "$1"; }
# N: the view holds exactly the tail read for N lines. The log ends in a line feed, and that
# one counts, so the tail is the last N - 1 lines.
view_shows_tail() { [[ "$(view_text | grep -v '^$')" == "$(tail -n $(($1 - 1)) "$tmp/expected.log")" ]]; }
append_lines() { # FROM TO
  for ((i = $1; i <= $2; i++)); do printf '2024-05-01 12:%02d:%02d 処理 %d 件目を受け付けました\n' $((i / 60)) $((i % 60)) "$i"; done | tee -a "$tmp/expected.log" >>"$log"
}
expect_ini() { # KEY VALUE...: the line after each [KEY] in Logwarden.ini
  for ((; $#; )); do
    got=$(tr -d '\r' <"$run/Logwarden.ini" | grep -A1 -Fx "[$1]" | sed -n 2p)
    [[ "$got" == "$2" ]] || fail "Logwarden.ini: [$1] is \"$got\", expected \"$2\""; shift 2
  done
}
ini_whole() { [[ $(wc -l <"$run/Logwarden.ini") -eq 51 ]] && ! grep -qv $'\r$' "$run/Logwarden.ini" || fail "Logwarden.ini is not 51 lines, each ending in CR LF${1:-}"; }
folder_holds() { [[ "$(find "$run" -mindepth 1 -printf '%f\n' | sort | xargs)" == "$*" ]] || fail "unexpected files in the current folder: $(find "$run" -mindepth 1)"; }
# WHY: the program has ended, with status 0.
exited_well() { wait_for 10 "exit after $1" ended; wait "$app" || fail "$1: exit status $?" && app=""; }
monitor() { press ctrl+s; wait_for 3 "caption \"$monitoring\"" title_is "$monitoring"; }
quit() { press ctrl+q; exited_well Ctrl+Q; [[ ! -s "$tmp/stderr-$runs" ]] || fail "the program wrote to its standard error"; }

# The distinct distances between the tops of the text lines in the view's IMAGE, its scroll
# bars and its partly shown first and last lines left out.
line_spacings() {
  convert "$1" -gravity northwest -crop '-30-25' +repage -colorspace gray -threshold 60% \
    -negate -scale '1x!' -depth 8 txt:- |
    awk -F'[,:() ]+' 'NR > 1 { dark = $4 > 0 } dark && !was { tops[n++] = $2 } { was = dark }
      END { for (i = 2; i < n - 1; i++) print tops[i] - tops[i - 1] }' | sort -n | uniq | xargs
}
# NAME: the lower half of the window, where the view is
view_shot() { import -window "$window" "$tmp/$1.png" && convert "$tmp/$1.png" -gravity south -crop 100%x50%+0+0 +repage "$tmp/$1-view.png"; }

cd "$run"; start_window_manager "$tmp/openbox.log"; append_lines 1 40

echo "== 0. no display at all: one line of our own on standard error"
message=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" 2>&1) && fail "without a display the program exited 0"; [[ "$(wc -l <<<"$message")" -eq 1 && "$message" == logwarden:* ]] || fail "without a display the program said: $message"

echo "== 1. start on a log: its tail in the view"
start "$log"; wait_for 5 "the 20-line tail in the view" view_shows_tail 20

echo "== 2. Ctrl+S monitors; appended lines are shown within two seconds"
monitor; view_shot before
for line in 41 42 43 44 45; do append_lines "$line" "$line" && sleep 0.05; done; wait_for 2 "appended lines in the view" view_shows_tail 20
view_shot after; changed=$(compare -metric AE "$tmp/before-view.png" "$tmp/after-view.png" null: 2>&1 || true)
((${changed%%.*} > 200)) || fail "the view was not repainted ($changed pixels changed)"
# Lines that came one by one stand as evenly as the others: lines of two heights would have
# left stale pixels behind.
spacings=$(line_spacings "$tmp/after-view.png") && [[ "$spacings" =~ ^[0-9]+$ ]] || fail "the view's lines are unevenly spaced (distances: $spacings)"

echo "== 3. F9, F4, 10 lines from the Options menu, Ctrl+Q"
press F9 F4; wait_for 3 "always-on-top state" on_top
# A window manager that takes the window off the top gets it back at the next layout pass.
wmctrl -i -r "$window" -b remove,above; wait_for 3 "the window manager to take it off the top" not_on_top
xdotool windowsize "$window" 700 500; wait_for 3 "always-on-top again after a resize" on_top
# F4 off and on again: changed in place, on the same native window (or $window would be gone).
press F4; wait_for 3 "the window off the top" not_on_top; press F4; wait_for 3 "always-on-top again" on_top
# オプション > 表示行数 > its first item, 10行
press alt+o Right Return; wait_for 3 "the 10-line tail in the view" view_shows_tail 10
quit
expect_ini "VIEW FLAG SEARCHWORD" TRUE "MODE VALUE WINDOWFORWARD" TRUE "SIZE VALUE LINECOUNT" 1 "LIST FILE RECENT" "$log"
ini_whole
cmp -s "$log" "$tmp/expected.log" || fail "the watched file was changed"
folder_holds Logwarden.ini app.log

echo "== 4. start again: on top, and the recent file opens with 10 lines"
start; holds 500 on_top || fail "always-on-top was not restored, or did not last half a second"
# ファイル > 最近開いたファイル > &1.
press alt+f Down Down Right 1; wait_for 3 "the recent file's 10-line tail in the view" view_shows_tail 10

echo "==    delete the watched file while monitoring: a critical message, and the program lives on"
monitor; rm "$log"
wait_for 10 "message box titled \"$caption\"" dialog_appears "$caption" # after the rotation's 5 s
# Bright red pixels: the critical-stop icon.
red=$(import -window "$dialog" png:- | convert - -fuzz 25% -fill black +opaque '#e01010' -fill white -opaque '#e01010' -format '%[fx:round(mean*w*h)]' info:)
((red > 20)) || fail "the message box shows no critical icon ($red red pixels)"
alive && wait_for 3 "message box focused" active_is "$dialog" || fail "the program ended"
xdotool key Return; wait_for 3 "message box closed" no_dialog
quit
expect_ini "VIEW FLAG SEARCHWORD" TRUE "SIZE VALUE LINECOUNT" 1 "LIST FILE RECENT" "$log"
folder_holds Logwarden.ini

echo "== 5. a file named like a toolkit option opens as a file"
for name in -reverse -style=x; do
  printf 'file named %s\n' "$name" >"$run/$name"; start "$name"
  wait_for 5 "the file $name in the view" view_has "file named $name"
  quit; rm -- "$run/$name"
done

echo "== 6. SIGTERM with a dialog open: the window closes as usual and saves"
start "$log"
press F8 ctrl+f; wait_for 3 "the keyword dialog" dialog_appears "抽出キーワード入力"
kill -TERM "$app"; exited_well SIGTERM
expect_ini "VIEW FLAG FILESIZE" FALSE
for signal in HUP INT; do # the same way, as when a terminal closes or Ctrl+C is pressed
  rm "$run/Logwarden.ini"; start "$log"; kill -$signal "$app"; exited_well SIG$signal; ini_whole " after SIG$signal"
done

echo "== 7. the display goes away: the settings are saved on the way out"
rm "$run/Logwarden.ini"
lost=150; while [[ -e /tmp/.X$lost-lock ]]; do lost=$((lost + 1)); done
Xvfb :"$lost" -screen 0 800x600x24 >/dev/null 2>&1 & lost_x=$!
on_lost() { DISPLAY=:$lost "$@" >/dev/null 2>&1; }
wait_for 10 "a second X server" on_lost xprop -root
DISPLAY=:$lost "$program" "$log" 2>"$tmp/stderr-lost" & app=$!
lost_window() { alive || fail "the program ended on the second display"; on_lost xdotool search --name "^${caption//[()]/.}\$"; }
wait_for 10 "window on the second display" lost_window
kill "$lost_x"; lost_x=""
wait_for 10 "exit after the display went away" ended; app=""
ini_whole " after the display went away"
echo "e2e: all steps passed"
