#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks a built Debian package as a user would get it: what it depends on, what it installs,
# that its launcher and catalogue entry are valid, and that the installed program works (the
# end-to-end run, on the copy unpacked into a scratch folder).
# Usage: tests/e2e/package.sh PACKAGE.deb
set -euo pipefail
[[ $# -eq 1 ]] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
deb=$(realpath "$1") here=$(dirname "$(realpath "$0")") root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends); echo "== dependencies: $depends"
for needed in fonts-noto-cjk fonts-symbola libqt6widgets6 libuchardet0; do [[ ",$depends," =~ [,\ ]${needed}[\ ,] ]] || fail "$needed is not among the dependencies"; done
# Every dependency must be satisfiable here: one of its alternatives is installed.
IFS=',' read -ra clauses <<<"$depends"
for clause in "${clauses[@]}"; do
  for name in $(sed -E 's/\([^)]*\)//g; s/\|/ /g' <<<"$clause"); do dpkg-query -W -f='${Status}\n' "$name" 2>/dev/null || true; done |
    grep -q 'install ok installed' || fail "dependency \"$clause\" is not installed on this machine"
done

echo "== contents"; dpkg -x "$deb" "$root"
id=io.github.logwarden.Logwarden
expected=$(printf '%s\n' usr/bin/logwarden "usr/share/applications/$id.desktop" \
  usr/share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/$id.png \
  "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/metainfo/$id.metainfo.xml" \
  usr/share/man/man1/logwarden.1.gz usr/share/doc/logwarden/{copyright,changelog.gz} | sort)
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | sort)
[[ "$actual" == "$expected" ]] || fail "the package installs other files than expected:"$'\n'"$actual"
icons=$(identify -format '%wx%h ' "$root"/usr/share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/$id.png)
[[ "$icons" == "16x16 32x32 48x48 256x256 " ]] || fail "the icons are $icons in size"
ldd "$root/usr/bin/logwarden" | grep -q 'not found' && fail "the program misses a library"

echo "== validation"
found=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian finds errors or warnings:"$'\n'"$found"
man --warnings -E UTF-8 -l -Tutf8 -Z "$root/usr/share/man/man1/logwarden.1.gz" 2>&1 >/dev/null | grep . && fail "the manual page does not format cleanly"
desktop-file-validate "$root/usr/share/applications/$id.desktop" | grep -E 'error|warning' && fail "the desktop entry does not validate"
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/$id.metainfo.xml"

echo "== the command line"; program="$root/usr/bin/logwarden"
[[ "$("$program" --version)" == "Logwarden 1.1.0" ]] || fail "--version prints something else"
"$program" --help | grep -q '^使い方: logwarden' || fail "--help prints no usage"

echo "== the installed program, end to end"
"$here/desktop.sh" "$program"
