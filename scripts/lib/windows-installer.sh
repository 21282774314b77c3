# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Checks the Windows installer in the Wine prefix $WINEPREFIX: a silent install puts the program,
# its shortcut, its uninstaller and the "Open with" entries in place, and a silent uninstall
# takes every one of them away again. Source it, then: check_installer SETUP.EXE

# The Wine path of the prefix's folder for a Windows path: C:\x -> $WINEPREFIX/drive_c/x.
unix_path() {
  local p=${1#C:\\}
  echo "$WINEPREFIX/drive_c/${p//\\//}"
}

# What the installer leaves: each line a kind (file, key), then a Windows path.
installed_items() {
  local classes='HKLM\Software\Classes'
  cat <<EOF
file C:\\Program Files\\Logwarden\\Logwarden.exe
file C:\\Program Files\\Logwarden\\uninstall.exe
file C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Logwarden.lnk
key HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Logwarden
key $classes\\Applications\\Logwarden.exe\\shell\\open\\command
key $classes\\.log\\OpenWithList\\Logwarden.exe
key $classes\\.txt\\OpenWithList\\Logwarden.exe
EOF
}

present() {
  case $1 in
    file) [ -e "$(unix_path "$2")" ] ;;
    key) wine reg query "$2" >/dev/null 2>&1 ;;
  esac
}

# Wine may return before the program it started has finished.
run_and_wait() {
  wine "$@"
  wineserver -w
}

check_installer() {
  local setup=$1 kind path failures=0 shortcut
  run_and_wait "$setup" /S
  while read -r kind path; do
    if ! present "$kind" "$path"; then
      echo "not installed: $path" >&2
      failures=$((failures + 1))
    fi
  done < <(installed_items)
  # The settings file is written to the current folder: each user's own, never Program Files.
  shortcut=$(unix_path 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Logwarden.lnk')
  if ! strings -el "$shortcut" 2>/dev/null | grep -qx '%USERPROFILE%'; then
    echo "the shortcut does not start in the user's profile folder" >&2
    failures=$((failures + 1))
  fi

  run_and_wait 'C:\Program Files\Logwarden\uninstall.exe' /S
  while read -r kind path; do
    if present "$kind" "$path"; then
      echo "not uninstalled: $path" >&2
      failures=$((failures + 1))
    fi
  done < <(installed_items)
  if [ -e "$(unix_path 'C:\Program Files\Logwarden')" ]; then
    echo "not uninstalled: C:\Program Files\Logwarden" >&2
    failures=$((failures + 1))
  fi
  [ "$failures" -eq 0 ]
}
