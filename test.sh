#!/usr/bin/env bash
# Installs dependencies, builds and runs the whole test suite headless. Exits non-zero on any
# failure. Set OA_SKIP_ASAN=1 or OA_SKIP_TSAN=1 to skip a sanitizer pass while iterating.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
./scripts/check-format.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

echo "== debug build and tests"
cmake --preset debug
cmake --build --preset debug -j "$jobs"
ctest --preset debug --output-on-failure -j "$jobs"

echo "== install, desktop files and the .deb (from the debug build)"
./scripts/check-install.sh build/debug

if [ "${OA_SKIP_ASAN:-0}" != "1" ]; then
  echo "== core and server tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  cmake --preset asan
  cmake --build --preset asan -j "$jobs"
  ctest --preset asan --output-on-failure -j "$jobs"
fi

if [ "${OA_SKIP_TSAN:-0}" != "1" ]; then
  # Only the tests whose code runs on several threads: the transport queue, the notification
  # centre, the session, the list parser and the push listener, alone and against the server.
  echo "== threaded core and integration tests under ThreadSanitizer"
  cmake --preset tsan
  cmake --build --preset tsan -j "$jobs"
  ctest --preset tsan --output-on-failure -j "$jobs"
fi
echo "test.sh: all tests passed"
