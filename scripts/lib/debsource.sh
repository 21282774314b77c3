# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Fetches Debian source packages through a private apt configuration (its own deb-src list,
# package lists and cache), so the machine's apt configuration is never touched. Needs no root:
# everything it writes is under the folder it is given.

# The first mirror and suite of the machine's Debian sources, or Debian's defaults.
debian_mirror_and_suite() {
  local file=/etc/apt/sources.list.d/debian.sources uri="" suite=""
  if [ -r "$file" ]; then
    uri=$(awk '/^URIs:/ {print $2; exit}' "$file")
    suite=$(awk '/^Suites:/ {print $2; exit}' "$file")
  elif [ -r /etc/apt/sources.list ]; then
    read -r uri suite < <(awk '$1 == "deb" && $2 !~ /^\[/ {print $2, $3; exit}' /etc/apt/sources.list)
  fi
  echo "${uri:-http://deb.debian.org/debian} ${suite:-bookworm}"
}

# private_apt DIR COMMAND ARGS...: runs apt-get or apt-cache on the deb-src list kept in DIR,
# reading that list from the mirror first when it has not been read yet.
private_apt() {
  local dir=$1 command=$2 mirror suite
  shift 2
  # As root, apt would hand the downloads to its _apt user, who may not reach DIR.
  local options=(-q -o "Dir::Etc::SourceList=$dir/sources.list"
                 -o "Dir::Etc::SourceParts=$dir/sources.list.d" -o "Dir::State::Lists=$dir/lists"
                 -o "Dir::Cache=$dir/cache" -o "APT::Sandbox::User=root")
  if ! compgen -G "$dir/lists/*Sources*" >/dev/null; then
    read -r mirror suite < <(debian_mirror_and_suite)
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial" "$dir/sources.list.d"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main" \
      >"$dir/sources.list"
    apt-get "${options[@]}" update >&2
  fi
  "$command" "${options[@]}" "$@"
}

# source_version DIR PACKAGE: the newest version of PACKAGE's source in the private list.
source_version() {
  private_apt "$1" apt-cache showsrc "$2" | awk '/^Version:/ {print $2}' | sort -V | tail -n 1
}

# apt_source DIR PACKAGE VERSION DEST: unpacks that version of PACKAGE's source into DEST (a
# folder of its own). Prints the unpacked source folder.
apt_source() {
  local dir=$1 package=$2 version=$3 dest=$4
  mkdir -p "$dest"
  (cd "$dest" && private_apt "$dir" apt-get source "$package=$version" >&2)
  find "$dest" -mindepth 1 -maxdepth 1 -type d -name "$package-*" -print -quit
}
