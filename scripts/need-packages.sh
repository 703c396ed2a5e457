#!/usr/bin/env bash
# Makes sure the given Debian packages are installed: as root it installs
# the missing ones with apt-get, otherwise it prints the line to run and
# fails. Used by the set-up, fuzzing and comparison scripts.
# Usage: scripts/need-packages.sh PACKAGE...
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
else
  echo "Missing packages. Run:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
