#!/usr/bin/env bash
# End-to-end tests of the dupcheck program on the remote server: the real program on Xvfb,
# driven with xdotool, on a data set of the throwaway PostgreSQL server (libpq's environment
# names it) that dupcheck-host --remote makes from the fixtures and reads back afterwards.
#   dupcheck_remote_e2e.sh CASE DUPCHECK DUPCHECK-HOST
# Cases:
#   check_delete_rename  the check, the deletion ("Ja") and a renaming, started with server
#                        kind 2 as the host starts it for the remote server; then
#                        dupcheck-host --remote restore puts the deleted articles back from
#                        the workstation's journal of the data set
#   two_workstations     two dupcheck processes on the same data set: one holds article 4
#                        (its renaming dialog is open) while the other deletes; article 4 is
#                        passed over and its partner 5 of B-200 stays (a held article keeps
#                        no other alive: the renaming takes it away from B-200), and
#                        afterwards the first one's renaming is stored
# The fixture and the rows of the check are those of dupcheck_e2e.sh.
set -uo pipefail
case_name="$1"
E2E_DUPCHECK="$2"
E2E_HOST="$3"
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

[ -n "${PGHOST:-}" ] || { echo "FEHLER: PGHOST fehlt (kein Datenbankserver)" >&2; exit 1; }
e2e_begin
e2e_use_remote_host "$E2E_HOST"
data="/e2e/$case_name/$$"
e2e_make_data "$data"
e2e_export "$data" ArtikelMain >"$e2e_work/articles.before"
e2e_export "$data" Artikelsub >"$e2e_work/bookings.before"

# The visible window of the process with exactly this name: window_of PID NAME.
window_of() {
    xdotool search --all --onlyvisible --pid "$1" --name "$(e2e_exact "$2")" 2>/dev/null | tail -n 1
}

# Waits for it and sets e2e_wid: wait_window_of PID NAME WHAT.
wait_window_of() {
    local i w
    for i in $(seq 400); do
        w="$(window_of "$1" "$2")"
        if [ -n "$w" ]; then
            e2e_wid="$w"
            return 0
        fi
        kill -0 "$1" 2>/dev/null || e2e_fail "$3: das Programm endete"
        sleep 0.05
    done
    e2e_fail "$3: das Fenster \"$2\" erschien nicht innerhalb von 20 s"
}

# Clicks until the process shows a window of that name (see e2e_click_until).
click_until_of() {
    local pid="$1" wid="$2" x="$3" y="$4" count="$5" name="$6" what="$7" start w i
    start=$SECONDS
    while [ $((SECONDS - start)) -lt 20 ]; do
        e2e_click "$wid" "$x" "$y" "$count"
        for i in $(seq 10); do
            w="$(window_of "$pid" "$name")"
            if [ -n "$w" ]; then
                e2e_wid="$w"
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || e2e_fail "$what: das Programm endete"
            sleep 0.05
        done
    done
    e2e_fail "$what: das Fenster \"$name\" erschien nicht innerhalb von 20 s"
}

# Starts dupcheck on the data set with server kind 2; sets started_pid and started_main.
start_remote() {
    e2e_start "$data" 2 12413
    started_pid="$e2e_prog_pid"
    wait_window_of "$started_pid" "$data" "Start auf dem Datenbestand $data"
    started_main="$e2e_wid"
    # Both names of the window (the plain and the UTF-8 one) change; wait for the second too.
    local i
    for i in $(seq 100); do
        [ "$(xdotool getwindowname "$started_main" 2>/dev/null)" = "$data" ] && return 0
        sleep 0.05
    done
    e2e_expect_caption "$started_main" "$data" "Hauptfenster nach dem Start"
}

# Closes the program with its "Schliessen" button and waits for its clean end.
close_program() {
    local pid="$1" main="$2" i status
    # Both main windows lie at the same place: the pointer may already stand on the button,
    # and xdotool waits for a move that never comes (mousemove --sync).
    timeout 10 xdotool mousemove --sync 1 1 || e2e_fail "xdotool konnte die Maus nicht bewegen"
    e2e_click_close_button "$main"
    for i in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && e2e_fail "das Programm $pid läuft nach \"Schliessen\" noch"
    wait "$pid"
    status=$?
    [ "$status" = 0 ] || e2e_fail "das Programm $pid endete mit dem Status $status"
}

delete_with_yes() {
    local pid="$1" main="$2" box
    click_until_of "$pid" "$main" "$E2E_BTN_DELETE_X" "$E2E_BTN_DELETE_Y" 1 "$E2E_TITLE" \
        "Frage \"Doppelte Artikel jetzt löschen?\""
    box="$e2e_wid"
    e2e_click_box_yes "$box"
    e2e_wait_gone "$box" "Frage nach dem Klick auf \"Ja\""
}

case "$case_name" in
check_delete_rename)
    start_remote
    e2e_click "$started_main" "$E2E_BTN_CHECK_X" "$E2E_BTN_CHECK_Y"
    delete_with_yes "$started_pid" "$started_main"
    # The deletion checks again; row 3 is then article 7, which gets a new number.
    click_until_of "$started_pid" "$started_main" 100 "$(e2e_row_y 3)" 2 "Eingabedialog" \
        "Doppelklick auf Zeile 3 nach dem Löschen"
    dialog="$e2e_wid"
    e2e_type "$dialog" "C-301"
    e2e_keys "$dialog" Return
    e2e_wait_gone "$dialog" "Eingabedialog nach Enter"
    close_program "$started_pid" "$started_main"
    e2e_prog_pid=""
    e2e_without_ids "$e2e_work/articles.before" 3 4 10 12 >"$e2e_work/articles.deleted"
    e2e_with_field "$e2e_work/articles.deleted" 7 BSTN "C-301" >"$e2e_work/articles.expected"
    e2e_export "$data" ArtikelMain >"$e2e_work/articles.after"
    e2e_expect_table "$e2e_work/articles.after" "$e2e_work/articles.expected" \
        "nach dem Löschen und Umbenennen sind die Artikel nicht wie erwartet"
    # The deletion journal of the data set (on this workstation) brings the four back as they
    # were, with their IDs (as new records: compared in the order of the IDs).
    "$E2E_HOST" restore "$data" >"$e2e_work/restore.out" 2>&1 ||
        e2e_fail "restore auf dem Datenbestand: $(cat "$e2e_work/restore.out")"
    grep -q "^4 Artikel mit ihren IDs zurückgeholt" "$e2e_work/restore.out" ||
        e2e_fail "restore meldet nicht 4 Artikel: $(cat "$e2e_work/restore.out")"
    e2e_with_field "$e2e_work/articles.before" 7 BSTN "C-301" >"$e2e_work/articles.expected"
    by_id=1
    ;;

two_workstations)
    # The first workstation opens the renaming of row 5 (article 4) and keeps it open.
    start_remote
    first_pid="$started_pid" first_main="$started_main"
    e2e_click "$first_main" "$E2E_BTN_CHECK_X" "$E2E_BTN_CHECK_Y"
    click_until_of "$first_pid" "$first_main" 100 "$(e2e_row_y 5)" 2 "Eingabedialog" \
        "Doppelklick auf Zeile 5 (Artikel 4)"
    first_dialog="$e2e_wid"
    # The second deletes meanwhile: article 4 is locked and passed over; 3, 10, 12 go. 5, the
    # other candidate of B-200, stays: 4 may be renamed (and is), and B-200 would be gone.
    start_remote
    second_pid="$started_pid" second_main="$started_main"
    e2e_click "$second_main" "$E2E_BTN_CHECK_X" "$E2E_BTN_CHECK_Y"
    delete_with_yes "$second_pid" "$second_main"
    close_program "$second_pid" "$second_main"
    # The first one's renaming goes through: its lock held the article.
    e2e_type "$first_dialog" "B-2ü01"
    e2e_keys "$first_dialog" Return
    e2e_wait_gone "$first_dialog" "Eingabedialog der ersten Arbeitsstation nach Enter"
    close_program "$first_pid" "$first_main"
    e2e_prog_pid=""
    e2e_without_ids "$e2e_work/articles.before" 3 10 12 >"$e2e_work/articles.deleted"
    e2e_with_field "$e2e_work/articles.deleted" 4 BSTN "B-2ü01" >"$e2e_work/articles.expected"
    ;;

*)
    e2e_fail "unbekannter Fall: $case_name"
    ;;
esac
e2e_export "$data" ArtikelMain >"$e2e_work/articles.after"
if [ -n "${by_id:-}" ]; then
    for f in after expected; do
        sort -t, -k1,1n "$e2e_work/articles.$f" >"$e2e_work/articles.$f.sorted"
        mv "$e2e_work/articles.$f.sorted" "$e2e_work/articles.$f"
    done
fi
e2e_expect_table "$e2e_work/articles.after" "$e2e_work/articles.expected" \
    "die Artikel des Datenbestands sind nicht wie erwartet"
e2e_export "$data" Artikelsub >"$e2e_work/bookings.after"
e2e_expect_table "$e2e_work/bookings.after" "$e2e_work/bookings.before" \
    "die Buchungstabelle hat sich verändert"
echo "$case_name: bestanden"
