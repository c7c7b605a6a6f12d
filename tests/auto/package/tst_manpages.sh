#!/usr/bin/env bash
# Every option a program's --help shows has an entry in its manual page, and every option the
# page describes is in --help. The check itself must fail on a page that lost an entry or
# describes an option the program does not have.
#
#   tst_manpages.sh SOURCE_DIR BIN_DIR
set -euo pipefail
source_dir=$1
bin_dir=$2
export QT_QPA_PLATFORM=offscreen LANGUAGE=en LC_ALL=C.UTF-8

# Long options anywhere in the help text.
help_options() {
    "$bin_dir/$1" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u
}

# Long options in the tags of the page's option lists (the line after each .TP).
page_options() {
    awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }' "$1" |
        grep -o -- '\\-\\-[a-z][a-z0-9\\-]*' | sed 's/\\-/-/g' | sort -u
}

# Prints what differs; fails when anything does.
compare() {
    local program=$1 page=$2 only_help only_page
    only_help=$(comm -23 <(help_options "$program") <(page_options "$page"))
    only_page=$(comm -13 <(help_options "$program") <(page_options "$page"))
    [ -z "$only_help" ] || echo "$program: in --help, not in $(basename "$page"): $only_help"
    [ -z "$only_page" ] || echo "$program: in $(basename "$page"), not in --help: $only_page"
    [ -z "$only_help$only_page" ]
}

status=0
for program in orbexa quxctl quxsim; do
    page="$source_dir/packaging/man/$program.1"
    if compare "$program" "$page"; then
        echo "ok: $program(1) lists the options of $program --help"
    else
        status=1
    fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A page without its --port entry, and one with an option quxctl does not have.
awk '/^\.TP/ { held = $0; next } held != "" { if ($0 !~ /^\.BI \\-\\-port /) print held; held = "" }
     { print }' "$source_dir/packaging/man/quxctl.1" > "$scratch/lost.1"
{ cat "$source_dir/packaging/man/quxctl.1"; printf '.TP\n.B \\-\\-colour\nColours.\n'; } \
    > "$scratch/extra.1"
for case in "lost:in --help, not in lost.1: --port" "extra:in extra.1, not in --help: --colour"; do
    name=${case%%:*}
    if output=$(compare quxctl "$scratch/$name.1"); then
        echo "FAIL: the check passes a page with $name options"
        status=1
    elif ! grep -qF -- "${case#*:}" <<<"$output"; then
        echo "FAIL: the check does not name the option: $output"
        status=1
    fi
done
exit $status
