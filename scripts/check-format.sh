#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format says.
# With --fix, formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
  'src/*.cpp' 'src/*.h' 'server/*.cpp' 'server/*.h' 'tests/*.cpp' 'tests/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' 'tools/*.cpp' 'tools/*.h')
existing=()
for f in "${files[@]}"; do
  [ -f "$f" ] && existing+=("$f")
done
[ ${#existing[@]} -eq 0 ] && exit 0

if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${existing[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${existing[@]}" 2>/tmp/oa-format.log; then
  grep -E '^[^ ].*: (error|warning):' /tmp/oa-format.log | cut -d: -f1 | sort -u | sed 's/^/not formatted: /' >&2
  echo "check-format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: ${#existing[@]} files formatted"
