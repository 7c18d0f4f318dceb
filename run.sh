#!/usr/bin/env bash
# Installs dependencies, builds the release preset, starts oa-demo-server with fresh demo data and
# oa-client set up to sign in to it (environment 1 points at the server, the account is filled
# in: press "确  认"). Without a display the client runs under Xvfb and takes a tour of its
# first screens, writing screenshots to a folder it prints. Arguments go to oa-client.
# ./run.sh --https serves the demo over TLS with a self-signed certificate made on its first
# start: the first sign-in asks whether to trust it ("信任此证书"); the headless tour shows the
# question (04a-certificate-question.png), trusts the certificate and goes on.
set -euo pipefail
cd "$(dirname "$0")"

root=$(pwd)
bin="$root/build/release"
client="$bin/src/app/oa-client"
server="$bin/server/oa-demo-server"
cli="$bin/src/cli/oa-cli"
screenshots="$root/build/screenshots"

# The demo account the client is set up with (see server/README.md).
demo_user="wangjianguo"
demo_password="123456"
demo_host="127.0.0.2"
# The client sends its push-channel datagrams to port 1188 of the server's host.
demo_im_port=1188

work=""
server_pid=""
# Extra options of the demo server (the headless tour paces attachment downloads).
server_options=()

install_deps() {
  ./scripts/install-deps.sh
}

build() {
  echo "== release build"
  cmake --preset release
  cmake --build --preset release --target oa-client oa-demo-server oa-cli
}

has_display() {
  [ -n "${DISPLAY:-}" ]
}

cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  if [ -n "$work" ]; then
    rm -rf "$work"
  fi
}

# Starts the demo server on a free HTTP port with fresh demo data in the work folder and sets
# server_url once it listens.
start_server() {
  local log="$work/server.log"
  local im_port=$demo_im_port
  local attempt
  for attempt in 1 2; do
    : >"$log"
    "$server" --host "$demo_host" --http-port 0 --im-port "$im_port" \
      --db "$work/demo.sqlite3" --reset "${server_options[@]}" >"$log" 2>&1 &
    server_pid=$!
    local waited=0
    while [ $waited -lt 300 ]; do
      if grep -q "^oa-demo-server: https\? " "$log"; then
        local scheme address
        scheme=$(sed -n 's/^oa-demo-server: \(https\?\) .*/\1/p' "$log" | head -n 1)
        address=$(sed -n 's/^oa-demo-server: https\? \([^ ]*\) .*/\1/p' "$log" | head -n 1)
        server_url="$scheme://$address"
        echo "== demo server at $server_url ($(head -n 1 "$log"))"
        return 0
      fi
      if ! kill -0 "$server_pid" 2>/dev/null; then
        break
      fi
      sleep 0.1
      waited=$((waited + 1))
    done
    cat "$log" >&2
    server_pid=""
    if [ "$attempt" = 1 ]; then
      echo "run.sh: the IM port $demo_im_port is taken; the push channel will not reach the server" >&2
      im_port=0
    fi
  done
  echo "run.sh: the demo server did not start" >&2
  return 1
}

# Environment 1 is the demo server; the sign-in record holds the demo account, remembered, with
# automatic sign-in off.
write_settings() {
  "$cli" settings --home "$home" env 1 "演示服务器" "$server_url" >/dev/null
  "$cli" settings --home "$home" login "$demo_user" "$demo_password" "$server_url" name1 >/dev/null
}

wants_own_output() {
  local arg
  for arg in "$@"; do
    case "$arg" in
      --screenshot | --screenshot=* | --tour | --tour=* | --help | -h) return 0 ;;
    esac
  done
  return 1
}

# Runs the client on a virtual display (or Qt's offscreen platform when Xvfb is missing).
run_headless() {
  if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$client" "$@"
  else
    QT_QPA_PLATFORM=offscreen "$client" "$@"
  fi
}

main() {
  local https=""
  if [ "${1:-}" = "--https" ]; then
    https=1
    shift
  fi
  install_deps
  build
  work=$(mktemp -d "${TMPDIR:-/tmp}/oa-run-XXXXXX")
  trap cleanup EXIT
  trap 'exit 130' INT TERM
  home="$work/home"
  if ! has_display && ! wants_own_output "$@"; then
    # 1 MB/s: the tour catches the 4 MB photo halfway through its download.
    server_options=(--attachment-rate 1024)
  fi
  if [ -n "$https" ]; then
    server_options+=(--tls-self-signed)
  fi
  start_server
  write_settings
  if has_display; then
    echo "== oa-client (sign in as $demo_user: press 确  认)"
    "$client" --home "$home" "$@"
    return
  fi
  echo "== no display: running oa-client under Xvfb"
  if wants_own_output "$@"; then
    run_headless --home "$home" "$@"
    return
  fi
  rm -rf "$screenshots"
  mkdir -p "$screenshots"
  run_headless --home "$home" --tour "$screenshots" "$@"
  echo "screenshots: $screenshots"
  ls -1 "$screenshots"
}

main "$@"
