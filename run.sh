#!/usr/bin/env bash
# Installs dependencies, builds the release preset and starts oa-client with the arguments given.
# Without a display the client runs under Xvfb and writes a screenshot whose path is printed.
set -euo pipefail
cd "$(dirname "$0")"

root=$(pwd)
client="$root/build/release/src/app/oa-client"
screenshots="$root/build/screenshots"

install_deps() {
  ./scripts/install-deps.sh
}

build() {
  echo "== release build"
  cmake --preset release
  cmake --build --preset release
}

has_display() {
  [ -n "${DISPLAY:-}" ]
}

# Runs the client on a virtual display (or Qt's offscreen platform when Xvfb is missing).
run_headless() {
  if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$client" "$@"
  else
    QT_QPA_PLATFORM=offscreen "$client" "$@"
  fi
}

# Headless: the first screen as a PNG, unless the caller asked for a screenshot of their own.
screenshot_first_screen() {
  local shot=""
  local arg
  for arg in "$@"; do
    case "$arg" in
      --screenshot | --screenshot=*) shot="given" ;;
    esac
  done
  if [ -n "$shot" ]; then
    run_headless "$@"
    return
  fi
  mkdir -p "$screenshots"
  shot="$screenshots/01-start.png"
  rm -f "$shot"
  run_headless "$@" --screenshot "$shot"
  echo "screenshot: $shot"
}

main() {
  install_deps
  build
  if has_display; then
    exec "$client" "$@"
  fi
  echo "== no display: running oa-client under Xvfb"
  screenshot_first_screen "$@"
}

main "$@"
