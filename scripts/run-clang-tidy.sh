#!/usr/bin/env bash
# Runs clang-tidy (Debian's, with the checks in .clang-tidy) over every source
# file under src/, using the compile commands of a configured build tree.
# usage: scripts/run-clang-tidy.sh [BUILD_DIR=build/default]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
[[ -f "$build/compile_commands.json" ]] || { echo "configure $build first (cmake --preset default)" >&2; exit 2; }
# The generated sources (moc, resources, the version header) must exist.
cmake --build "$build" --target tarnel >/dev/null
git ls-files 'src/*.cpp' | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "clang-tidy: clean"
