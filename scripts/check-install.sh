#!/usr/bin/env bash
# Installs the client from a build folder (default build/debug, already built) into a temporary
# DESTDIR and checks the installed tree: the files are where a desktop looks for them and valid,
# the installed oa-client finds its resources and modules beside itself and shows its sign-in
# screen, the demo server is a component of its own, and `cpack -G DEB` makes a package that
# holds the same tree and names its dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/debug}
cache="$build/CMakeCache.txt"
[ -f "$cache" ] || { echo "check-install: $build is not configured" >&2; exit 1; }
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$cache"; }
prefix=$(cache_value CMAKE_INSTALL_PREFIX)
version=$(cache_value CMAKE_PROJECT_VERSION)

work=$(mktemp -d "${TMPDIR:-/tmp}/oa-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "check-install: $*" >&2
  exit 1
}

echo "== install into $work/dest"
DESTDIR="$work/dest" cmake --install "$build" --component client >/dev/null
DESTDIR="$work/demo" cmake --install "$build" --component demo >/dev/null
root="$work/dest$prefix"

for file in bin/oa-client bin/oa-cli share/applications/oa-client.desktop \
  share/metainfo/com.example.oaclient.metainfo.xml share/icons/hicolor/scalable/apps/oa-client.svg \
  share/man/man1/oa-client.1.gz share/man/man1/oa-cli.1.gz \
  share/oa-client/resources/templates/loginPlist.plist; do
  [ -s "$root/$file" ] || fail "missing $prefix/$file"
done
for size in 16 22 24 32 48 64 128 256; do
  icon="$root/share/icons/hicolor/${size}x${size}/apps/oa-client.png"
  grep -q "PNG image data, $size x $size" <<<"$(file -b "$icon")" || fail "no ${size}x$size icon"
done
[ ! -e "$root/bin/oa-demo-server" ] || fail "the demo server is in the client component"
[ "$(cd "$work/demo" && find . -type f)" = ".$prefix/bin/oa-demo-server" ] ||
  fail "the demo component holds more than oa-demo-server"

desktop-file-validate "$root/share/applications/oa-client.desktop"
metainfo="$root/share/metainfo/com.example.oaclient.metainfo.xml"
appstreamcli validate --no-net "$metainfo"
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "the metainfo has no release entry for $version"
grep -q "Saves a new diary entry" <<<"$(zcat "$root/share/man/man1/oa-cli.1.gz")" ||
  fail "oa-cli.1 lacks the commands"

# The installed program, not the build tree: no variable points it elsewhere.
unset OA_RESOURCES OA_MODULE_DIR
report=$("$root/bin/oa-client" --version)
echo "$report"
grep -qx "resources: $root/share/oa-client/resources" <<<"$report" ||
  fail "the installed client does not use its installed resources"
[ "$(grep -c " module: $root/lib" <<<"$report")" = 3 ] ||
  fail "the installed client does not find its three modules in the installed tree"
for file in $(sed -n 's/^.* module: //p' <<<"$report") "$root/bin/oa-client" "$root/bin/oa-cli"; do
  ! ldd "$file" | grep "not found" || fail "$file needs a library that is missing"
done

echo "== installed oa-client: sign-in screen"
mkdir -m 0700 "$work/home"
if ! QT_QPA_PLATFORM=offscreen timeout 60 "$root/bin/oa-client" --home "$work/home" \
  --screenshot "$work/signin.png" >"$work/client.log" 2>&1; then
  cat "$work/client.log" >&2
  fail "the installed client failed"
fi
grep -q "PNG image data, 320 x 480" <<<"$(file -b "$work/signin.png")" ||
  fail "no sign-in screenshot"
if [ -n "${OA_INSTALL_SCREENSHOT:-}" ]; then
  cp "$work/signin.png" "$OA_INSTALL_SCREENSHOT"
fi

echo "== cpack -G DEB"
arch=$(dpkg --print-architecture)
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pack" >/dev/null
deb="$work/pack/oa-client_${version}_$arch.deb"
[ -f "$deb" ] || fail "no $(basename "$deb")"
contents=$(dpkg-deb -c "$deb")
grep -v "/resources/images/." <<<"$contents"
for file in ./usr/bin/oa-client ./usr/bin/oa-cli ./usr/lib/oa-client/oa_webengine.so \
  ./usr/share/applications/oa-client.desktop; do
  grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for package in libcurl4 libssl3 libqt6webenginewidgets6 libqt6pdf6 libqt6multimedia6 libqt6svg6; do
  grep -qx "$package" <<<"$names" || fail "Depends lacks $package"
done
[ -z "$(sort <<<"$names" | uniq -d)" ] || fail "Depends names a package twice"

# Every package it names exists and can be installed beside what the machine has (a simulated
# install: nothing on the machine changes).
if command -v apt-get >/dev/null 2>&1; then
  if ! apt-get -s -q install "$deb" >"$work/apt.log" 2>&1; then
    cat "$work/apt.log" >&2
    fail "the package's dependencies cannot be met"
  fi
fi

# The unpacked package works from wherever it lies, like the DESTDIR above.
dpkg-deb -x "$deb" "$work/unpacked"
unpacked=$("$work/unpacked/usr/bin/oa-client" --version)
[ "$(grep -c " module: $work/unpacked/usr/lib" <<<"$unpacked")" = 3 ] ||
  fail "the packaged client does not find its modules"
echo "check-install: the installed tree and $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) pass"
