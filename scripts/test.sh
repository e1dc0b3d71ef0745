#!/usr/bin/env bash
# Installs what is missing, builds Tavrel three ways and runs every test:
#  1. libFuzzer targets (clang), each run for a bounded time;
#  2. AddressSanitizer + UndefinedBehaviorSanitizer build, whole test suite (GCC's flow
#     warnings give false alarms under the sanitizers, so warnings are errors only in 3.);
#  3. ordinary build with warnings as errors, whole test suite;
#  4. the Debian package of the Release build, checked by lintian and unpacked into a scratch
#     root, where its programs, man pages, desktop entry and completion are tried.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
jobs="${TAVREL_JOBS:-2}"
fuzz_seconds="${TAVREL_FUZZ_SECONDS:-30}"

scripts/install-deps.sh test
export QT_QPA_PLATFORM=offscreen

echo "== Fuzzing (${fuzz_seconds} s per target)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVREL_FUZZ=ON -DTAVREL_WERROR=ON -DTAVREL_BUILD_APP=OFF >/dev/null
fuzzers=$(cmake --build build/fuzz --target help | sed -n 's/^\([a-z0-9_]*_fuzzer\):.*/\1/p')
cmake --build build/fuzz -j"$jobs" --target $fuzzers
for fuzzer in $fuzzers; do
    name="${fuzzer%_fuzzer}"
    corpus=$(find "$root/fuzz" -type d -path "*/corpus/$name" | head -n 1)
    work="build/fuzz/corpus-$name"
    rm -rf "$work" && mkdir -p "$work"
    [ -n "$corpus" ] && cp -r "$corpus"/. "$work"/
    binary="build/fuzz/$(find build/fuzz -name "$fuzzer" -type f -printf '%P\n' | head -n 1)"
    if ! "$binary" -max_total_time="$fuzz_seconds" "$work" >"$work.log" 2>&1; then
        tail -n 60 "$work.log"
        echo "$fuzzer failed"
        exit 1
    fi
    echo "-- $fuzzer: $(grep -E '^Done [0-9]+ runs' "$work.log" | tail -n 1)"
done

echo "== Sanitizer build"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVREL_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir build/sanitize --output-on-failure -j"$jobs"

echo "== Build with warnings as errors"
cmake -S . -B build/ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_WERROR=ON >/dev/null
cmake --build build/ci -j"$jobs"
ctest --test-dir build/ci --output-on-failure -j"$jobs"

echo "== Debian package"
TAVREL_JOBS="$jobs" scripts/package.sh --test
