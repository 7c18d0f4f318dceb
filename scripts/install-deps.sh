#!/usr/bin/env bash
# Installs every Debian 12 package that the build, the tests, the benchmarks and the client need.
# Idempotent: packages already present are skipped without touching the network.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config clang-format git
  # core libraries
  libcurl4-openssl-dev libssl-dev zlib1g-dev nlohmann-json3-dev libplist-dev libopencore-amrnb-dev
  # demo server
  libcpp-httplib-dev libsqlite3-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # a session bus of their own for the tests of the desktop's notices (dbus-run-session)
  dbus
  # user interface
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-webengine-dev qt6-multimedia-dev qt6-pdf-dev
  qt6-image-formats-plugins libgl-dev libxkbcommon-dev
  # the window's zoom changes Qt's scale factor while the client runs
  qt6-base-private-dev
  # the stock dialogs' own texts in Chinese (file dialogs, message boxes)
  qt6-translations-l10n
  # fonts and a display for headless runs
  fonts-wqy-microhei fontconfig xvfb xauth
  # installed files and the .deb: icons, manual pages, their checks, dpkg-shlibdeps
  librsvg2-bin help2man desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
