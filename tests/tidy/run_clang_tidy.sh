#!/usr/bin/env bash
# The root .clang-tidy (naming rules and bug-prone checks) over the project's own sources, each
# compiled as BUILD_DIR compiles it (its compile_commands.json). Any finding fails. Exits 77,
# which CTest reports as skipped, when clang-tidy is not installed.
# Usage: run_clang_tidy.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
jobs="${TAVREL_JOBS:-2}"

tidy=$(command -v clang-tidy || command -v clang-tidy-14 || true)
if [ -z "$tidy" ]; then
    echo "clang-tidy is not installed (scripts/install-deps.sh test installs it): skipped"
    exit 77
fi

# The source folder as a regular expression.
root=$(printf '%s' "$source_dir" | sed 's/[][\.*^$+?(){}|]/\\&/g')
checked="^$root/(records|link|files|sim|cli|app|tests|bench|fuzz)/"
mapfile -t sources < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build_dir/compile_commands.json" |
    grep -E "$checked" | sort -u)
if [ ${#sources[@]} -eq 0 ]; then
    echo "No sources found in $build_dir/compile_commands.json"
    exit 1
fi

findings=$(mktemp -d)
trap 'rm -rf "$findings"' EXIT
# One clang-tidy per source; the output of a source with findings is kept. The build's own
# warning options are GCC's: -Wno-error keeps the compiler's warnings out of the findings.
check() {
    local output
    if ! output=$("$tidy" -p "$build_dir" --quiet --header-filter="$checked" \
        --extra-arg=-Wno-error --extra-arg=-Wno-unknown-warning-option "$1" 2>&1); then
        printf '%s\n' "$output" >"$findings/$(printf '%s' "$1" | tr / _).log"
    fi
}
export -f check
export tidy build_dir checked findings
printf '%s\n' "${sources[@]}" | xargs -P "$jobs" -I{} bash -c 'check "$1"' _ {}

echo "clang-tidy checked ${#sources[@]} sources"
if compgen -G "$findings/*.log" >/dev/null; then
    # A header's finding is reported by every source that includes it: each is listed once.
    grep -h -E '(error|warning): ' "$findings"/*.log | sed "s|^$source_dir/||" | sort -u
    echo "clang-tidy found the above in $(ls "$findings" | wc -l) sources"
    exit 1
fi
