#!/usr/bin/env bash
# End-to-end tests of the login dialog on the remote server: the real program on Xvfb, driven
# with xdotool, started as the host starts it for the remote server (server kind 2) with libpq's
# environment naming a role that must give its password (a member of "password_required" on
# the throwaway server of scripts/pg-scratch; no password file, no PGPASSWORD).
#   dupcheck_login_e2e.sh CASE DUPCHECK DUPCHECK-HOST
# Cases:
#   right_password  the user name and the right password typed into "Datenbank-Login": the main
#                   window comes up, the check lists the duplicates (row 5 is article 4, which
#                   gets a new order number, stored under that role)
#   wrong_password  a wrong password, three times: after the third the start fails with the
#                   server's refusal in the message box and on standard error, status 1, and
#                   nothing of the data set changes
#   cancel          "Abbrechen" in the dialog: the start fails with a German message that says
#                   the login was cancelled, status 1, nothing changes
# The fixture and the rows of the check are those of dupcheck_e2e.sh.
set -uo pipefail
case_name="$1"
E2E_DUPCHECK="$2"
E2E_HOST="$3"
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

[ -n "${PGHOST:-}" ] || { echo "FEHLER: PGHOST fehlt (kein Datenbankserver)" >&2; exit 1; }
command -v psql >/dev/null || { echo "FEHLER: psql fehlt" >&2; exit 1; }

# The role of this run: the roles are the whole server's, and other tests run beside this one.
role="kasse_${case_name}_$$"
password="Geheim-$$"
admin_sql() {
    timeout 60 psql -q -X -v ON_ERROR_STOP=1 -c "$1" >/dev/null 2>"$e2e_work/psql.err"
}
drop_role() {
    admin_sql "DROP ROLE IF EXISTS $role" ||
        echo "WARNUNG: die Rolle $role blieb: $(cat "$e2e_work/psql.err")" >&2
}

e2e_begin
# dupcheck-host makes and reads the data set as the server's superuser (libpq's environment).
e2e_use_remote_host "$E2E_HOST"
trap 'drop_role; e2e_cleanup' EXIT
admin_sql "CREATE ROLE $role LOGIN SUPERUSER PASSWORD '$password' IN ROLE password_required" ||
    e2e_fail "die Rolle $role liess sich nicht anlegen: $(cat "$e2e_work/psql.err")"
data="/e2e-login/$case_name/$$"
e2e_make_data "$data"
e2e_export "$data" ArtikelMain >"$e2e_work/articles.before"
e2e_export "$data" Artikelsub >"$e2e_work/bookings.before"

# Starts dupcheck as the role: libpq's environment names it, and nothing gives its password.
start_as_role() {
    PGUSER="$role" PGPASSFILE="$e2e_work/keine-passwortdatei" \
        env -u PGPASSWORD -u PGSERVICE "$E2E_DUPCHECK" "$data" 2 12413 \
        >"$e2e_work/prog.out" 2>"$e2e_work/prog.err" &
    e2e_prog_pid=$!
}

# Waits for the login dialog (it is a new window each time it asks); sets dialog. The main
# window keeps the caption of its design while the connection is not made.
wait_login() {
    e2e_wait_window "Datenbank-Login" "$1"
    dialog="$e2e_wid"
    e2e_expect_caption "$dialog" "Datenbank-Login" "$1"
    e2e_window_shown "$data" && e2e_fail "$1: das Hauptfenster zeigt schon den Datenpfad"
}

# Answers the dialog: the user name only when given (the first dialog has an empty user name
# and the focus there; a repeated one keeps the name and has the focus in the password), then
# the password and Enter.
answer_login() {
    local user="$1" secret="$2" what="$3"
    if [ -n "$user" ]; then
        e2e_type "$dialog" "$user"
        e2e_keys "$dialog" Tab
    fi
    e2e_type "$dialog" "$secret"
    e2e_keys "$dialog" Return
    e2e_wait_gone "$dialog" "$what"
}

# The start failed: the message box, closed with "Schließen", then the end with status 1 and
# one line on standard error that holds the text given.
expect_start_failure() {
    local text="$1" what="$2" box
    e2e_wait_window "$E2E_TITLE" "Meldung: $what"
    box="$e2e_wid"
    e2e_window_shown "Datenbank-Login" && e2e_fail "$what: der Login-Dialog ist noch offen"
    e2e_window_shown "$data" && e2e_fail "$what: ein Hauptfenster mit dem Datenpfad erschien"
    e2e_click_box_no "$box" # "Schließen" lies where "Nein" lies in a question
    e2e_wait_end "nach \"Schließen\" der Meldung ($what)"
    e2e_expect_status 1 "$what"
    e2e_expect_error_line "$text" "$what"
}

case "$case_name" in
right_password)
    start_as_role
    wait_login "Login-Dialog beim Start als $role"
    answer_login "$role" "$password" "Login-Dialog nach Enter"
    e2e_wait_window "$data" "Hauptfenster nach der Anmeldung"
    e2e_main="$e2e_wid"
    e2e_window_shown "Datenbank-Login" && e2e_fail "nach der Anmeldung kam der Dialog wieder"
    # Both names of the window change; wait for the UTF-8 one too.
    for i in $(seq 100); do
        [ "$(e2e_xdo getwindowname "$e2e_main" 2>/dev/null)" = "$data" ] && break
        sleep 0.05
    done
    e2e_expect_caption "$e2e_main" "$data" "Hauptfenster nach der Anmeldung"
    # Row 5 of the check's list is article 4 (B-200): it exists only once the check has listed
    # the duplicates.
    e2e_click "$e2e_main" "$E2E_BTN_CHECK_X" "$E2E_BTN_CHECK_Y"
    e2e_click_until "$e2e_main" 100 "$(e2e_row_y 5)" 2 "Eingabedialog" \
        "Doppelklick auf Zeile 5 nach der Prüfung"
    input="$e2e_wid"
    e2e_type "$input" "B-2ü01"
    e2e_keys "$input" Return
    e2e_wait_gone "$input" "Eingabedialog nach Enter"
    e2e_click_close_button "$e2e_main"
    e2e_wait_end "Klick auf \"Schliessen\""
    e2e_expect_clean_end "Klick auf \"Schliessen\""
    [ -s "$e2e_work/prog.err" ] && e2e_fail "Ausgaben auf der Fehlerausgabe: $(cat "$e2e_work/prog.err")"
    e2e_with_field "$e2e_work/articles.before" 4 BSTN "B-2ü01" >"$e2e_work/articles.expected"
    ;;

wrong_password)
    start_as_role
    wait_login "erster Login-Dialog"
    answer_login "$role" "falsch-1" "erster Login-Dialog nach Enter"
    wait_login "zweiter Login-Dialog nach dem falschen Passwort"
    answer_login "" "falsch-2" "zweiter Login-Dialog nach Enter"
    wait_login "dritter Login-Dialog nach dem falschen Passwort"
    answer_login "" "falsch-3" "dritter Login-Dialog nach Enter"
    # The third refusal ends the start: the server's reason, which names the role.
    expect_start_failure "Benutzername \"$role\" oder Passwort ist falsch" \
        "dreimal ein falsches Passwort"
    grep -q '^dupcheck: .*Anmeldung am Datenbankserver .* fehlgeschlagen' "$e2e_work/prog.err" ||
        e2e_fail "die Zeile auf der Fehlerausgabe nennt die Anmeldung nicht: $(cat "$e2e_work/prog.err")"
    cp "$e2e_work/articles.before" "$e2e_work/articles.expected"
    ;;

cancel)
    start_as_role
    wait_login "Login-Dialog beim Start als $role"
    e2e_keys "$dialog" Escape
    e2e_wait_gone "$dialog" "Login-Dialog nach Escape"
    expect_start_failure "Die Anmeldung an der Datenbank wurde abgebrochen (Datenpfad \"$data\")" \
        "Abbruch des Login-Dialogs"
    cp "$e2e_work/articles.before" "$e2e_work/articles.expected"
    ;;

*)
    e2e_fail "unbekannter Fall: $case_name"
    ;;
esac
e2e_export "$data" ArtikelMain >"$e2e_work/articles.after"
e2e_expect_table "$e2e_work/articles.after" "$e2e_work/articles.expected" \
    "die Artikel des Datenbestands sind nicht wie erwartet"
e2e_export "$data" Artikelsub >"$e2e_work/bookings.after"
e2e_expect_table "$e2e_work/bookings.after" "$e2e_work/bookings.before" \
    "die Buchungstabelle hat sich verändert"
echo "$case_name: bestanden"
