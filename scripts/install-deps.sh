#!/usr/bin/env bash
# Installs the Debian packages Brenmoor needs to build, test and run; skips what is present.
set -euo pipefail
# dpkg-dev gives cpack dpkg-shlibdeps (the package's Depends), help2man the man pages. Named
# extras (CI passes "lintian", which checks the package) are installed as well.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format qt6-base-dev
          qt6-serialport-dev libmodbus-dev pkg-config xvfb xauth libcap2-bin
          desktop-file-utils dpkg-dev help2man "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
