# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# What the Windows installer puts in the Wine prefix $WINEPREFIX, and how to ask whether it is
# there (tests/e2e/windows.sh checks that an install puts and an uninstall takes all of it).

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
