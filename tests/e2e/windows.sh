#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows build as a user meets it, under Wine on a virtual X server: the installer run
# silently, the installed program opened on a Shift_JIS log with CR LF line ends given on its
# command line, monitoring started with Ctrl+S, a line appended, the window closed, and
# Logwarden.ini in the shortcut's start-in folder; then the uninstaller. The view's text is read
# back through its Copy command and the X clipboard that Wine shares.
# Usage: tests/e2e/windows.sh SETUP.EXE [SCREENSHOT.png]   (WINEPREFIX: the prefix to use)
set -Eeuo pipefail
[[ $# -ge 1 ]] || { echo "usage: $0 SETUP.EXE [SCREENSHOT.png]" >&2; exit 2; }
setup=$(realpath "$1") shot=${2:+$(realpath -m "$2")}
here=$(dirname "$0")
source "$here/../../scripts/lib/windows-installer.sh"

tmp=$(mktemp -d) app="" wm="" xvfb=""
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
trap 'kill $app $wm $xvfb 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  import -window root "$tmp/failure.png" 2>/dev/null && cp "$tmp/failure.png" e2e-failure.png &&
    echo "screen: $PWD/e2e-failure.png" >&2
  exit 1
}
source "$here/../../scripts/lib/xsession.sh"
# Wine takes its code page from the locale: 932 in a Japanese one.
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
unset QT_QPA_PLATFORM
caption="Logwarden (ver 1.1.0)" monitoring="Logwarden (ver 1.1.0) - 監視中"

start_xvfb
start_window_manager "$tmp/openbox.log"

echo "== the installer, silently"
run_and_wait "$setup" /S
while read -r kind path; do present "$kind" "$path" || fail "not installed: $path"; done < <(installed_items)
# The settings file lands in the current folder: each user's own, never Program Files.
strings -el "$(unix_path 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Logwarden.lnk')" |
  grep -qx '%USERPROFILE%' || fail "the shortcut does not start in the user's profile folder"

# The shortcut starts the program in the user's profile folder.
profile=$(unix_path "$(wine cmd /c echo %USERPROFILE% | tr -d '\r')")
[[ -d "$profile" ]] || fail "no profile folder $profile"
rm -f "$profile/Logwarden.ini"
mkdir -p "$profile/ログ"
log="$profile/ログ/受注.log" windows_log="$(wine cmd /c echo %USERPROFILE% | tr -d '\r')\\ログ\\受注.log"
lines() { # FROM TO, as the log has them: Shift_JIS, CR LF
  for ((i = $1; i <= $2; i++)); do printf '2024-05-01 12:%02d:%02d 受注 %d 件目を受け付けました\r\n' $((i / 60)) $((i % 60)) "$i"; done |
    iconv -f UTF-8 -t SHIFT_JIS
}
lines 1 40 >"$log"

echo "== the installed program on the log: its tail"
# The main window, under either caption: Wine may make its X window anew, so it is looked up for
# each use.
window=""
main_appears() { window=$(xdotool search --onlyvisible --name "^${caption//[()]/.}( - |\$)" 2>/dev/null | head -n1) && [[ -n "$window" ]]; }
title_is() { main_appears && [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == "$1" ]]; }
focused() { main_appears && xdotool windowactivate --sync "$window" >/dev/null 2>&1 && active_is "$window"; }
press() { wait_for 5 "the main window focused" focused; xdotool key "$@"; }
view_text() { press ctrl+c; sleep 0.3; timeout 5 xclip -o -selection clipboard 2>/dev/null | tr -d '\r'; }
# The view shows the tail read for 20 lines: the last 19 and the empty one after the last line end.
shows_tail_to() { [[ "$(view_text | grep -v '^$')" == "$(lines $(($1 - 18)) "$1" | iconv -f SHIFT_JIS -t UTF-8 | tr -d '\r')" ]]; }
(cd "$profile" && exec wine 'C:\Program Files\Logwarden\Logwarden.exe' "$windows_log") 2>"$tmp/stderr" &
app=$!
wait_for 60 "main window titled \"$caption\"" main_appears
wait_for 10 "the log's tail in the view" shows_tail_to 40

echo "== Ctrl+S monitors; an appended line is shown"
press ctrl+s
wait_for 5 "caption \"$monitoring\"" title_is "$monitoring"
lines 41 41 >>"$log"
wait_for 5 "the appended line in the view" shows_tail_to 41
if [[ -n "$shot" ]]; then
  main_appears
  import -frame -window "$window" "$shot" || fail "no screenshot"
  echo "screenshot: $shot"
fi

echo "== closed: Logwarden.ini in the start-in folder, 51 lines in code page 932 with CR LF"
press ctrl+q
wait_for 20 "the program to end" eval '! kill -0 $app 2>/dev/null'
wait "$app" || fail "the program exited with status $?"
app=""
ini="$profile/Logwarden.ini"
[[ -f "$ini" ]] || fail "no Logwarden.ini in $profile"
[[ $(wc -l <"$ini") -eq 51 ]] && ! grep -qv $'\r$' "$ini" || fail "Logwarden.ini is not 51 lines, each ending in CR LF"
text=$(iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r') || fail "Logwarden.ini is not code page 932 text"
grep -qxF "$windows_log" <<<"$text" || fail "Logwarden.ini does not list the log as recent: $text"

echo "== the uninstaller takes everything away again"
run_and_wait 'C:\Program Files\Logwarden\uninstall.exe' /S
while read -r kind path; do ! present "$kind" "$path" || fail "not uninstalled: $path"; done < <(installed_items)
[[ ! -e "$(unix_path 'C:\Program Files\Logwarden')" ]] || fail "not uninstalled: C:\\Program Files\\Logwarden"
rm -rf "$profile/ログ" "$ini"
echo "end to end under Wine: passed"
