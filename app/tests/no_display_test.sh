#!/usr/bin/env bash
# dupcheck started without a graphical session: one line on standard error that says so and how
# to start it, exit status 4, and nothing done; never the toolkit's abort (status 134).
#   no_display_test.sh DUPCHECK
set -uo pipefail
dupcheck="$1"
work="$(mktemp -d "${TMPDIR:-/tmp}/dupcheck-nodisplay.XXXXXX")"
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FEHLER: $*" >&2
    [ -s "$work/err" ] && { echo "--- Fehlerausgabe:" >&2; cat "$work/err" >&2; }
    exit 1
}

# run WHAT EXPECTED-TEXT ENV... -- ARGS...: runs the program copy and checks status and output.
run() {
    local what="$1" text="$2" status lines
    shift 2
    local envs=()
    while [ "$1" != -- ]; do
        envs+=("$1")
        shift
    done
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${envs[@]}" \
        "$work/dupcheck" "$@" >"$work/out" 2>"$work/err"
    status=$?
    [ "$status" = 4 ] || fail "$what: Status $status statt 4"
    lines="$(wc -l <"$work/err")"
    [ "$lines" = 1 ] || fail "$what: $lines Zeilen auf der Fehlerausgabe statt einer"
    grep -q "^dupcheck: .*$text.*Starten Sie dupcheck in einer Desktop-Sitzung" "$work/err" ||
        fail "$what: die Zeile sagt nicht, was fehlt und wie man startet"
    [ -s "$work/out" ] && fail "$what: Ausgabe auf der Standardausgabe"
    return 0
}

cp "$dupcheck" "$work/dupcheck"
run "ohne DISPLAY" "Keine grafische Sitzung" -- "$work" 1 12413
run "Installation ohne DISPLAY" "Keine grafische Sitzung" -- INSTALL
[ -e "$work/ZS.MNU" ] && fail "ohne grafische Sitzung wurde ZS.MNU geschrieben"

# A display that is named but has no server behind it.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
run "DISPLAY=:$display ohne Server" "\":$display\" ist nicht erreichbar" DISPLAY=":$display" -- \
    "$work" 1 12413
echo "no_display: bestanden"
