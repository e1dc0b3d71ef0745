#!/usr/bin/env bash
# The bash completion is written by hand, so something must keep it to what tavrelctl takes: it
# offers the commands that `tavrelctl --help` shows, after a command exactly the options that the
# command's own --help lists (and --help), and it knows which of them take a value, so that the
# word after one is never taken for the command.
# Usage: completion_matches_help.sh COMPLETION-SCRIPT TAVRELCTL
set -uo pipefail
script="$1"
program="$2"
# shellcheck source=/dev/null
source "$script"

# What the completion offers for the words "$@", the last being the one completed, one a line.
offered() {
    COMP_WORDS=(tavrelctl "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _tavrelctl
    printf '%s\n' "${COMPREPLY[@]}" | sort -u
}

failed=0
expect() { # WHAT EXPECTED OFFERED
    if [[ "$2" != "$3" ]]; then
        echo "$1: the completion offers [$(echo $3)], the help lists [$(echo $2)]" >&2
        failed=1
    fi
}

commands=$(sed -nE 's/^  tavrelctl ([a-z][a-z-]*).*/\1/p' <<<"$("$program" --help)" | sort -u)
[ -n "$commands" ] || { echo "tavrelctl --help shows no commands" >&2; exit 1; }
expect "tavrelctl" "$commands" "$(offered '')"
for command in $commands; do
    own=$("$program" "$command" --help)
    # The names of the list's lines: "  -p, --port PORT" and "      --changed-only".
    listed=$(grep -E -- '^  (-[a-zA-Z], |    )--[a-z]' <<<"$own" | cut -c1-26)
    options=$( { grep -oE -- '--?[a-zA-Z][a-z-]*' <<<"$listed"; echo --help; } | sort -u)
    expect "tavrelctl $command -" "$options" "$(offered "$command" -)"
    for option in $(grep -E -- '--[a-z-]+ [A-Z]' <<<"$listed" |
        grep -oE -- '--?[a-zA-Z][a-z-]*'); do
        expect "tavrelctl $option VALUE $command -" "$options" \
            "$(offered "$option" VALUE "$command" -)"
    done
done
exit "$failed"
