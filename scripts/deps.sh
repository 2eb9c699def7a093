#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run command need, and nothing when
# they are all there. Sourced by run.sh and test.sh.
QUILLON_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core tzdata poppler-utils
)

quillon_install_deps() {
  local missing=()
  local p
  for p in "${QUILLON_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq || return 1
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}
