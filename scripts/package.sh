#!/usr/bin/env bash
# Builds Quillon's Debian package with CPack from the build folder, checks it as the distribution
# does, and tries the programs it holds.
#
#   scripts/package.sh              package build/ (QUILLON_BUILD_DIR), configured when it is not
#
# The checks: lintian (no errors, no warnings), desktop-file-validate, appstreamcli validate
# --no-net, the metainfo's newest release against the package's version, and the Qt libraries
# among the Depends that dpkg-shlibdeps found. Then the package is unpacked into a scratch folder
# and its own quillon_gen_day writes a day on which its own quillon runs --version, --info and
# --export. Leaves the .deb in the build folder and prints its path, size and Depends line.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
quillon_install_deps "${QUILLON_PACKAGING_PACKAGES[@]}"

build_dir=${QUILLON_BUILD_DIR:-build}
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# Nothing to do after scripts/test.sh; otherwise what changed, the CMake files included.
cmake --build "$build_dir" >/dev/null
# The files' times in the package are the last commit's, so the same tree gives the same package.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi
rm -f "$build_dir"/quillon_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
debs=("$build_dir"/quillon_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: cpack made no package (or more than one) in $build_dir" >&2
  exit 1
fi
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)

status=0
fail() {
  echo "package.sh: $*" >&2
  status=1
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"

echo "== lintian"
# Root may run lintian; it only says so.
lintian --fail-on error,warning --display-info "$deb" 2> >(grep -v 'running with root privileges' >&2) ||
  fail "lintian found errors or warnings"
echo "== desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/quillon.desktop" ||
  fail "the desktop entry is not valid"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml ||
  fail "the metainfo is not valid"

release=$(grep -o -m 1 '<release version="[^"]*"' "$root"/usr/share/metainfo/*.metainfo.xml |
  sed 's/.*"\(.*\)"/\1/') || true
[ "$release" = "$version" ] ||
  fail "the metainfo's newest release is '$release', the package's version $version: add a <release>"
depends_names=$(tr ',|' '\n' <<<"$depends" | sed 's/^ *//; s/[ :(].*//')
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6; do
  grep -qx "$lib" <<<"$depends_names" || fail "Depends lacks $lib: $depends"
done

echo "== the packaged programs"
# The settings the programs read come from a folder of their own, never the user's.
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
out=$("$root/usr/bin/quillon" --version) || fail "quillon --version failed"
[ "$out" = "Quillon $version" ] || fail "quillon --version says '$out', not 'Quillon $version'"
"$root/usr/bin/quillon_gen_day" "$scratch/sample-day.vks" || fail "quillon_gen_day failed"
info=$("$root/usr/bin/quillon" --info "$scratch/sample-day.vks") || fail "quillon --info failed"
[[ "$info" == *'"records":172800'* ]] || fail "quillon --info did not read a whole day: $info"
for out in "$scratch/day.png" "$scratch/day.pdf"; do
  "$root/usr/bin/quillon" --export "$out" "$scratch/sample-day.vks" ||
    fail "quillon --export $out failed"
done
[ "$(head -c 8 "$scratch/day.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "the exported PNG is not a PNG"
[ "$(head -c 5 "$scratch/day.pdf")" = %PDF- ] || fail "the exported PDF is not a PDF"

echo "== $deb"
echo "size: $(stat -c %s "$deb") bytes ($(du -h "$deb" | cut -f1))," \
  "installed $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "Depends: $depends"
echo "quillon --version: $("$root/usr/bin/quillon" --version)"
echo "quillon --info: $info"
if [ "$status" -ne 0 ]; then
  echo "package.sh: the package failed its checks (above)" >&2
fi
exit "$status"
