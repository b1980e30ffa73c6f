#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds
# (default 60) on a copy of its seed corpus. Fails on any crash or leak.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTARNEL_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" >/dev/null
targets=$(ls fuzz/fuzz_*.cpp | sed 's|fuzz/||; s|\.cpp$||')
cmake --build "$build" --target $targets

for target in $targets; do
    name=${target#fuzz_}
    work=$(mktemp -d)
    cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
    echo "== $target for ${seconds}s"
    (cd "$build" && "./fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
        -artifact_prefix="$PWD/$target-" "$work" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)|Done ' )
    rm -rf "$work"
done
