#!/usr/bin/env bash
# Checks a Debian package of Tavrel as a user would meet it. Run by `scripts/package.sh --test`.
# Usage: scripts/check-package.sh TAVREL.deb BUILD-FOLDER
set -euo pipefail
deb="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "package: $*" >&2; exit 1; }

echo "-- lintian"
# Errors fail; warnings and notes are shown for a person to judge.
lintian --display-info --tag-display-limit 0 "$deb" | tee "$work/lintian" || true
! grep -q '^E:' "$work/lintian" || fail "lintian reports errors"

version=$(dpkg-deb -f "$deb" Version)
root="$work/root"
dpkg -x "$deb" "$root"

echo "-- the same tree from cmake --install"
cmake --install "$build" --prefix "$work/installed/usr" --strip >/dev/null
(cd "$root" && find . -not -type d | sort) >"$work/packaged"
(cd "$work/installed" && find . -not -type d | sort) >"$work/installed.list"
diff -u "$work/packaged" "$work/installed.list" || fail "cmake --install installs another tree"

echo "-- the programs, from the unpacked package"
bin="$root/usr/bin"
export XDG_RUNTIME_DIR="$work/runtime" # Qt asks for one, even offscreen
mkdir -m 0700 "$XDG_RUNTIME_DIR"
[ "$("$bin/tavrelctl" --version)" = "tavrelctl $version" ] || fail "tavrelctl --version"
"$bin/vrg500-sim" --help | grep -qx "vrg500-sim $version, part of Tavrel." || fail "vrg500-sim --help"
[ "$(QT_QPA_PLATFORM=offscreen "$bin/tavrel" --version)" = "Tavrel $version" ] || fail "tavrel --version"

echo "-- the metainfo, the desktop entry, the icons"
metainfo="$root/usr/share/metainfo/org.tavrel.tavrel.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo names another release"
desktop-file-validate "$root/usr/share/applications/tavrel.desktop" || fail "desktop-file-validate"
for size in 16 22 24 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/tavrel.png" |
        grep -q "PNG image data, $size x $size" || fail "no ${size}px icon"
done
[ -s "$root/usr/share/icons/hicolor/scalable/apps/tavrel.svg" ] || fail "no scalable icon"

echo "-- the manual, where the application reads it and with the documentation"
manual="$root/usr/share/tavrel/help/tavrel-help.html"
grep -q "<title>Tavrel Help</title>" "$manual" || fail "no manual in /usr/share/tavrel/help"
cmp -s "$manual" "$root/usr/share/doc/tavrel/tavrel-help.html" || fail "no manual in /usr/share/doc/tavrel"

echo "-- the formats tavrelctl's help points to"
grep -q "^## EDL" "$root/usr/share/doc/tavrel/formats.md" || fail "no formats.md in /usr/share/doc/tavrel"
[ -s "$root/usr/share/doc/tavrel/exact-register-files.md" ] || fail "no exact-register-files.md"

echo "-- the translations"
# Where the program looks for them: beside it, in ../share/tavrel/translations.
for language in de; do
    [ -s "$root/usr/share/tavrel/translations/tavrel_$language.qm" ] || fail "no tavrel_$language.qm"
done

echo "-- the man pages"
for page in tavrel tavrelctl vrg500-sim; do
    man -l --warnings "$root/usr/share/man/man1/$page.1.gz" >"$work/$page.txt" 2>"$work/$page.err"
    [ ! -s "$work/$page.err" ] || { cat "$work/$page.err" >&2; fail "$page(1) renders with warnings"; }
    grep -q "^NAME" "$work/$page.txt" || fail "$page(1) did not render"
done

echo "-- the bash completion"
mkdir "$work/files"
touch "$work/files/a.vg2" "$work/files/b.vgs" "$work/files/c.txt" "$work/files/e.VG2"
# Prints what completing the words offers, the last word being the one completed.
complete_words() {
    PATH="$bin:$PATH" bash --norc --noprofile -c '
        source "$1"; shift
        complete -p tavrelctl >/dev/null || exit 1
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _tavrelctl
        printf "%s\n" "${COMPREPLY[@]}"' \
        bash "$root/usr/share/bash-completion/completions/tavrelctl" tavrelctl "$@"
}
expect() {
    local want="$1"; shift
    [ "$(complete_words "$@" | sort | tr '\n' ' ')" = "$want " ] ||
        fail "completing 'tavrelctl $*' offers: $(complete_words "$@" | tr '\n' ' ')"
}
expect "menu-download menu-upload" me
expect "--changed-only" upload --ch
expect "$work/files/a.vg2 $work/files/e.VG2" show "$work/files/"
expect "$work/files/b.vgs" menu-upload -p x "$work/files/"
expect "add" offset -p x a
# Port names come from `tavrelctl ports`; compare with what it lists here, none or some.
expect "$("$bin/tavrelctl" ports | cut -f1 | sort | tr '\n' ' ' | sed 's/ $//')" version -p ""
echo "-- the package is good"
