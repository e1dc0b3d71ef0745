#!/usr/bin/env bash
# A man page written by hand drifts from the program unless something compares them: every option
# and command that `PROGRAM --help` shows must be in the man page, and every long option the man
# page documents must be one that --help shows. For a program with commands, each command's
# synopsis in the page names exactly the options that `PROGRAM COMMAND --help` lists (each by its
# short name when it has one).
# Usage: man_page_matches_help.sh MAN-PAGE PROGRAM
set -euo pipefail
page="$1"
program="$2"
name=$(basename "$program")

help=$("$program" --help)
# The page's text without roff's escapes and font changes: \- is -, \fB and the like go.
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\(->//g' -e 's/\\e/\\/g' "$page")

# Options (-p, --port) and the words that follow the program's name on a usage line (commands).
help_words=$( {
    grep -oE -- '(^|[ ,|[])--?[a-zA-Z][a-z-]*' <<<"$help" | sed 's/^[ ,|[]//'
    sed -nE "s/^ *(Usage: )?$name ([a-z][a-z|-]*).*/\\2/p" <<<"$help" | tr '|' '\n'
} | sort -u)
[ -n "$help_words" ] || { echo "$name --help shows no options" >&2; exit 1; }

missing=0
for word in $help_words; do
    if ! grep -qE -- "(^|[^a-zA-Z-])$word([^a-zA-Z-]|\$)" <<<"$text"; then
        echo "$name --help shows $word, which $(basename "$page") does not mention" >&2
        missing=1
    fi
done
for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$text" | sort -u); do
    if ! grep -qE -- "(^|[^a-zA-Z-])$option([^a-zA-Z-]|\$)" <<<"$help"; then
        echo "$(basename "$page") documents $option, which $name --help does not show" >&2
        missing=1
    fi
done

# The options a command's synopsis names in the page: the lines from ".B PROGRAM COMMAND" to the
# next .br, for each synopsis of the command.
synopsis_options() {
    awk -v head=".B $name $1" '$0 == head { on = 1; next } /^\.br/ { on = 0 } on' <<<"$text" |
        { grep -oE -- '(^|[ [])--?[a-zA-Z][a-z-]*' || true; } | sed 's/^[ [ ]//' | sort -u
}
commands=$(sed -nE "s/^ *(Usage: )?$name ([a-z][a-z-]*).*/\\2/p" <<<"$help" | sort -u)
for command in $commands; do
    own=$("$program" "$command" --help) || continue
    listed=$( { grep -oE -- '^  (-[a-zA-Z]|    --[a-z-]+)' <<<"$own" || true; } | sed 's/^ *//' |
        sort -u)
    if [[ "$listed" != "$(synopsis_options "$command")" ]]; then
        echo "$name $command --help lists [$(echo $listed)]; the synopsis in" \
            "$(basename "$page") names [$(echo $(synopsis_options "$command"))]" >&2
        missing=1
    fi
done
exit "$missing"
