#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run command need, and nothing when
# they are all there. Sourced by run.sh, test.sh, test-windows.sh and package.sh.
#
#   bash scripts/deps.sh --check            fails when a name below has no install candidate
#   bash scripts/deps.sh --check-installed  fails when one is not installed, so that the scripts
#                                           would call apt-get again
#
# Every name must be a real package, not one that another only provides: dpkg-query never finds
# a virtual name installed, so it would be "missing" on every run and each run would call apt-get
# (and sudo) again.
QUILLON_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-multimedia-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core tzdata poppler-utils
  xvfb openbox
)
# scripts/test-windows.sh: the MinGW-w64 cross build of the Qt-free core, its tests under Wine.
QUILLON_WINDOWS_PACKAGES=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine64)
# scripts/package.sh: building the .deb and the distribution's checks on it.
QUILLON_PACKAGING_PACKAGES=(dpkg-dev file lintian appstream desktop-file-utils)

# Prints those of the names that dpkg does not have installed, one a line.
quillon_missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

quillon_install_deps() {
  local missing=()
  mapfile -t missing < <(quillon_missing_packages "${QUILLON_PACKAGES[@]}" "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq || return 1
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

# Says which of the names apt could not install: none known to the package index, or known only
# as provided by others. Reads the index as it is; refreshes it only when there is none yet.
quillon_check_package_names() {
  if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq || return 1
  fi
  local bad=()
  local p candidate
  for p in "$@"; do
    candidate=$(apt-cache policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: //p')
    if [ -z "$candidate" ] || [ "$candidate" = "(none)" ]; then
      bad+=("$p")
    fi
  done
  if [ ${#bad[@]} -ne 0 ]; then
    echo "deps.sh: no install candidate for: ${bad[*]} (apt-cache policy NAME; a virtual name" \
      "needs the package that provides it)" >&2
    return 1
  fi
  echo "deps.sh: all $# package names have an install candidate"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  mapfile -t names < <(printf '%s\n' "${QUILLON_PACKAGES[@]}" "${QUILLON_WINDOWS_PACKAGES[@]}" \
    "${QUILLON_PACKAGING_PACKAGES[@]}" | sort -u)
  case "${1:-}" in
  --check)
    quillon_check_package_names "${names[@]}"
    ;;
  --check-installed)
    mapfile -t missing < <(quillon_missing_packages "${names[@]}")
    if [ ${#missing[@]} -ne 0 ]; then
      echo "deps.sh: not installed, so every run would call apt-get again: ${missing[*]}" >&2
      exit 1
    fi
    echo "deps.sh: all ${#names[@]} packages are installed; the scripts call no apt command"
    ;;
  *)
    echo "usage: bash scripts/deps.sh --check | --check-installed" >&2
    echo "       (. scripts/deps.sh in a script, then quillon_install_deps, installs them)" >&2
    exit 2
    ;;
  esac
fi
