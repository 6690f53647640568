#!/usr/bin/env bash
# End-to-end tests of the dupcheck program: the real program on Xvfb, driven with xdotool, on a
# data folder made by dupcheck-host from the fixtures; the table files are read back afterwards.
#   dupcheck_e2e.sh CASE DUPCHECK DUPCHECK-HOST
# Cases: rename, delete_yes, delete_no, escape, click_again, build_too_low, missing_folder,
# folder_without_tables, settings_without_index, damaged_table, read_only_folder,
# install_and_scheme, install_menu_with_nul.
#
# The fixture (fixtures/articles.csv, fixtures/bookings.csv), in the order of the index "BSTN":
#   A-100: 1 (booked), 2, 3       B-200: 4, 5       C-300: 6 (booked), 7 (booked)
#   D-400: 8 and d-400: 9 (letter case differs: unique)       E-500: 10, 11, 12
# The check lists the runs as second, first, third...:
#   row 1: 2   row 2: 1   row 3: 3   row 4: 5   row 5: 4   row 6: 7   row 7: 6
#   row 8: 11  row 9: 10  row 10: 12
# The deletion keeps per number the candidate (article without bookings) listed first and
# deletes the others: 3 (A-100), 4 (B-200), 10 and 12 (E-500). Afterwards the check lists
#   row 1: 2   row 2: 1   row 3: 7   row 4: 6
set -uo pipefail
case_name="$1"
E2E_DUPCHECK="$2"
E2E_HOST="$3"
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
E2E_SCHEMES="$(cd "$(dirname "$0")/../../../docs/colorschemes" && pwd)"

e2e_begin
data="$e2e_work/daten"
e2e_make_data "$data"
e2e_export "$data" ArtikelMain >"$e2e_work/articles.before"
e2e_export "$data" Artikelsub >"$e2e_work/bookings.before"

expect_bookings_unchanged() {
    e2e_export "$data" Artikelsub >"$e2e_work/bookings.after"
    e2e_expect_table "$e2e_work/bookings.after" "$e2e_work/bookings.before" \
        "die Buchungstabelle hat sich verändert"
}

# Runs the check and waits until it has ended: a double-click on a grid row opens the order
# number dialog only once the check is over and the row exists. Sets e2e_wid to the dialog.
check_then_open_row() {
    e2e_click "$e2e_main" "$E2E_BTN_CHECK_X" "$E2E_BTN_CHECK_Y"
    e2e_click_until "$e2e_main" 100 "$(e2e_row_y "$1")" 2 "Eingabedialog" \
        "Doppelklick auf Zeile $1 nach der Prüfung"
}

# Clicks "Alle doppelten löschen" until the question appears (the click is refused while the
# check still runs); sets e2e_wid to the question box.
ask_delete() {
    e2e_click_until "$e2e_main" "$E2E_BTN_DELETE_X" "$E2E_BTN_DELETE_Y" 1 "$E2E_TITLE" \
        "Frage \"Doppelte Artikel jetzt löschen?\""
}

# Fails unless the window is centred on the screen (to the pixel, either way for odd sizes).
# A message box is placed with the size of its design and then fits its height to the text
# with its top edge kept, so for a box only the horizontal place is checked.
expect_centred() {
    local WX WY WW WH dx dy
    e2e_geometry "$1"
    dx=$((2 * WX + WW - E2E_SCREEN_W))
    dy=$((2 * WY + WH - E2E_SCREEN_H))
    [ "${3:-}" = horizontally ] && dy=0
    [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] ||
        e2e_fail "$2 steht nicht in der Bildschirmmitte: ${WW}x${WH}+${WX}+${WY}"
}

# Ends the program with "Schliessen"; it ends once a running operation is over.
close_with_button() {
    e2e_click_close_button "$e2e_main"
    e2e_wait_end "Klick auf \"Schliessen\""
    e2e_expect_clean_end "Klick auf \"Schliessen\""
}

case "$case_name" in
rename)
    e2e_start_on "$data"
    # Row 5 is article 4 ("Scheibe 4 mm", B-200). The edit starts with its number selected, so
    # typing replaces it; Enter confirms.
    check_then_open_row 5
    dialog="$e2e_wid"
    e2e_expect_caption "$dialog" "Eingabedialog" "Eingabedialog"
    e2e_type "$dialog" "B-2ü01"
    e2e_keys "$dialog" Return
    e2e_wait_gone "$dialog" "Eingabedialog nach Enter"
    # Row 9 (article 10) chosen with one click, the dialog opened with the button, a new
    # number typed and the dialog left with Escape: nothing changes.
    e2e_click "$e2e_main" 100 "$(e2e_row_y 9)"
    e2e_click_until "$e2e_main" "$E2E_BTN_RENAME_X" "$E2E_BTN_RENAME_Y" 1 "Eingabedialog" \
        "Klick auf \"Bestelllnummer ändern\""
    dialog="$e2e_wid"
    e2e_type "$dialog" "X-999"
    e2e_keys "$dialog" Escape
    e2e_wait_gone "$dialog" "Eingabedialog nach Escape"
    close_with_button
    e2e_with_field "$e2e_work/articles.before" 4 BSTN "B-2ü01" >"$e2e_work/articles.expected"
    e2e_export "$data" ArtikelMain >"$e2e_work/articles.after"
    e2e_expect_table "$e2e_work/articles.after" "$e2e_work/articles.expected" \
        "nach dem Ändern soll nur Artikel 4 die Bestellnummer B-2ü01 haben"
    expect_bookings_unchanged
    ;;

delete_yes)
    e2e_start_on "$data"
    e2e_click "$e2e_main" "$E2E_BTN_CHECK_X" "$E2E_BTN_CHECK_Y"
    ask_delete
    box="$e2e_wid"
    e2e_expect_caption "$box" "$E2E_TITLE" "Frage"
    expect_centred "$box" "Die Frage" horizontally
    e2e_click_box_yes "$box"
    e2e_wait_gone "$box" "Frage nach dem Klick auf \"Ja\""
    # The deletion checks again: the list now holds what remains, and its row 3 is article 7
    # (before the deletion row 3 was article 3). Renaming that row shows which article it is.
    e2e_click_until "$e2e_main" 100 "$(e2e_row_y 3)" 2 "Eingabedialog" \
        "Doppelklick auf Zeile 3 nach dem Löschen"
    dialog="$e2e_wid"
    e2e_type "$dialog" "C-301"
    e2e_keys "$dialog" Return
    e2e_wait_gone "$dialog" "Eingabedialog nach Enter"
    close_with_button
    e2e_without_ids "$e2e_work/articles.before" 3 4 10 12 >"$e2e_work/articles.deleted"
    e2e_with_field "$e2e_work/articles.deleted" 7 BSTN "C-301" >"$e2e_work/articles.expected"
    e2e_export "$data" ArtikelMain >"$e2e_work/articles.after"
    e2e_expect_table "$e2e_work/articles.after" "$e2e_work/articles.expected" \
        "nach \"Ja\" sollen genau die Artikel 3, 4, 10 und 12 fehlen und die neue Prüfung \
Artikel 7 in Zeile 3 zeigen"
    expect_bookings_unchanged
    ;;

delete_no)
    e2e_start_on "$data"
    e2e_click "$e2e_main" "$E2E_BTN_CHECK_X" "$E2E_BTN_CHECK_Y"
    ask_delete
    box="$e2e_wid"
    e2e_click_box_no "$box"
    e2e_wait_gone "$box" "Frage nach dem Klick auf \"Nein\""
    e2e_keys "$e2e_main" Escape
    e2e_wait_end "Escape nach \"Nein\""
    e2e_expect_clean_end "Escape nach \"Nein\""
    e2e_export "$data" ArtikelMain >"$e2e_work/articles.after"
    e2e_expect_table "$e2e_work/articles.after" "$e2e_work/articles.before" \
        "nach \"Nein\" darf kein Artikel fehlen oder verändert sein"
    expect_bookings_unchanged
    ;;

escape)
    # The caption is the data path (the wait found the window by it), the window is centred,
    # and Escape ends the program without touching the tables.
    e2e_start_on "$data"
    expect_centred "$e2e_main" "Das Hauptfenster"
    e2e_keys "$e2e_main" Escape
    e2e_wait_end "Escape im Hauptfenster"
    e2e_expect_clean_end "Escape im Hauptfenster"
    e2e_export "$data" ArtikelMain >"$e2e_work/articles.after"
    e2e_expect_table "$e2e_work/articles.after" "$e2e_work/articles.before" \
        "Escape darf nichts an den Artikeln ändern"
    expect_bookings_unchanged
    ;;

click_again)
    # The same double-click twice at the same place: the second one reaches the program as the
    # first did (the library takes the pointer away in between), as every retry of a refused
    # click needs.
    e2e_start_on "$data"
    check_then_open_row 1
    dialog="$e2e_wid"
    e2e_keys "$dialog" Escape
    e2e_wait_gone "$dialog" "Eingabedialog nach Escape"
    e2e_click_until "$e2e_main" 100 "$(e2e_row_y 1)" 2 "Eingabedialog" \
        "zweiter Doppelklick auf Zeile 1 an derselben Stelle" 5
    dialog="$e2e_wid"
    e2e_keys "$dialog" Escape
    e2e_wait_gone "$dialog" "Eingabedialog nach dem zweiten Escape"
    close_with_button
    e2e_export "$data" ArtikelMain >"$e2e_work/articles.after"
    e2e_expect_table "$e2e_work/articles.after" "$e2e_work/articles.before" \
        "zweimal Escape darf nichts an den Artikeln ändern"
    ;;

build_too_low)
    # The build check comes before the connection: the message, then the end, and not one byte
    # of the data folder is touched (no lock file either).
    (cd "$data" && ls -A && sha256sum -- *) >"$e2e_work/files.before"
    e2e_start "$data" 1 12412
    e2e_wait_window "$E2E_TITLE" "Meldung \"Es wird mindestens die Version 5 benötigt.\""
    box="$e2e_wid"
    e2e_expect_caption "$box" "$E2E_TITLE" "Versionsmeldung"
    expect_centred "$box" "Die Versionsmeldung" horizontally
    # The main window keeps the caption of its design: no table was opened.
    e2e_window_shown "$E2E_DESIGN_CAPTION" ||
        e2e_fail "kein Hauptfenster mit der Beschriftung \"$E2E_DESIGN_CAPTION\""
    e2e_click_box_no "$box" # "Schließen" lies where "Nein" lies in a question
    e2e_wait_end "nach \"Schließen\" der Versionsmeldung"
    e2e_expect_status 2 "nach der Versionsmeldung"
    e2e_expect_error_line "mindestens die Version 5" "nach der Versionsmeldung"
    (cd "$data" && ls -A && sha256sum -- *) >"$e2e_work/files.after"
    e2e_expect_table "$e2e_work/files.after" "$e2e_work/files.before" \
        "der Datenordner hat sich verändert"
    ;;

settings_without_index)
    # A settings table without its index tag IDENT (the tag and its index removed with the
    # sqlite3 tool, see docs/ENGINE.md): the loader cannot select its index, shows its one
    # message, and the module goes on starting.
    sqlite3 "$data/setup.TBL" \
        "DROP INDEX \"dbe_tag_IDENT\"; DELETE FROM dbe_tags WHERE CAST(name AS TEXT) = 'IDENT';" ||
        e2e_fail "der Index IDENT von setup.TBL liess sich nicht entfernen"
    "$E2E_HOST" settings "$data" >/dev/null 2>"$e2e_work/settings.err"
    grep -q '^Einstellungen Zugriffsfehler\.$' "$e2e_work/settings.err" ||
        e2e_fail "dupcheck-host settings meldet nicht \"Einstellungen Zugriffsfehler.\": $(cat "$e2e_work/settings.err")"
    e2e_start "$data" 1 12413
    e2e_wait_window "$E2E_TITLE" "Meldung \"Einstellungen Zugriffsfehler.\""
    box="$e2e_wid"
    e2e_expect_caption "$box" "$E2E_TITLE" "Meldung der Einstellungen"
    e2e_click_box_no "$box" # "Schließen"
    e2e_wait_gone "$box" "Meldung der Einstellungen"
    # The caption becomes the data path only after the loader has returned: a second message
    # would have come before it.
    e2e_wait_window "$data" "Start nach der Meldung der Einstellungen"
    e2e_main="$e2e_wid"
    e2e_window_shown "$E2E_TITLE" && e2e_fail "nach der Meldung der Einstellungen kam eine zweite"
    # The module works: the check lists the duplicates of the fixture.
    check_then_open_row 1
    e2e_keys "$e2e_wid" Escape
    e2e_wait_gone "$e2e_wid" "Eingabedialog nach Escape"
    e2e_keys "$e2e_main" Escape
    e2e_wait_end "Escape im Hauptfenster"
    e2e_expect_clean_end "Start mit einer Einstellungstabelle ohne Index"
    ;;

read_only_folder)
    # A folder and table files the user may not write to: the module starts and the check
    # lists the duplicates as always; "Alle doppelten löschen" cannot write its journal, says
    # so and deletes nothing, and not one byte of the folder changes.
    chmod 555 "$data"
    chmod 444 "$data"/*
    run=(e2e_start)
    # Permission bits do not stop root: as root the program runs as nobody.
    if [ "$(id -u)" = 0 ]; then
        command -v setpriv >/dev/null || e2e_fail "setpriv fehlt (Paket util-linux)"
        chmod 755 "$e2e_work"
        mkdir -m 700 "$e2e_work/runtime-nobody"
        chown nobody "$e2e_work/runtime-nobody"
        cp "$E2E_DUPCHECK" "$e2e_work/dupcheck"
        E2E_DUPCHECK="$e2e_work/dupcheck"
        run=(e2e_start_as_nobody)
    fi
    (cd "$data" && ls -A && sha256sum -- *) >"$e2e_work/files.before"
    "${run[@]}" "$data" 1 12413
    e2e_wait_window "$data" "Start auf dem schreibgeschützten Ordner $data"
    e2e_main="$e2e_wid"
    e2e_click "$e2e_main" "$E2E_BTN_CHECK_X" "$E2E_BTN_CHECK_Y"
    ask_delete
    question="$e2e_wid"
    e2e_click_box_yes "$question"
    e2e_wait_gone "$question" "Frage nach dem Klick auf \"Ja\""
    e2e_wait_window "$E2E_TITLE" "Meldung, dass das Löschjournal nicht geschrieben werden kann"
    box="$e2e_wid"
    e2e_keys "$box" Return
    e2e_wait_gone "$box" "Meldung nach Enter"
    close_with_button
    (cd "$data" && ls -A && sha256sum -- *) >"$e2e_work/files.after"
    e2e_expect_table "$e2e_work/files.after" "$e2e_work/files.before" \
        "im schreibgeschützten Datenordner hat sich etwas verändert"
    ;;

missing_folder | folder_without_tables | damaged_table)
    # The connection or the opening of the tables fails: the reason comes in the message box
    # and as one line on standard error, the program ends with status 1 once the box is closed,
    # and creates or changes nothing.
    target="$data"
    run=(e2e_start)
    case "$case_name" in
    missing_folder) target="$e2e_work/fehlt" ;;
    folder_without_tables) target="$e2e_work/leer" && mkdir "$target" ;;
    damaged_table) head -c 4096 /dev/urandom >"$data/ArtikelMain.TBL" ;;
    esac
    (cd "$target" 2>/dev/null && ls -A && sha256sum -- * 2>/dev/null) >"$e2e_work/files.before"
    "${run[@]}" "$target" 1 12413
    e2e_wait_window "$E2E_TITLE" "Meldung über den fehlgeschlagenen Start auf $target"
    box="$e2e_wid"
    # The article table opens after the settings table, once the caption shows the data path.
    [ "$case_name" != damaged_table ] && e2e_window_shown "$target" &&
        e2e_fail "ein Hauptfenster mit dem Datenpfad erschien"
    e2e_click_box_no "$box" # "Schließen"
    e2e_wait_end "nach \"Schließen\" der Meldung"
    e2e_expect_status 1 "Start auf $target"
    e2e_expect_error_line "$target" "Start auf $target"
    if [ "$case_name" = missing_folder ]; then
        [ -e "$target" ] && e2e_fail "der fehlende Ordner $target wurde angelegt"
    else
        (cd "$target" && ls -A && sha256sum -- * 2>/dev/null) >"$e2e_work/files.after"
        e2e_expect_table "$e2e_work/files.after" "$e2e_work/files.before" \
            "im Datenordner hat sich etwas verändert"
    fi
    ;;

install_and_scheme)
    # A copy of the program in the host's folder with its menu file, its scheme index and a
    # scheme in lower case letters, as a host on a case-insensitive file system may leave it.
    host="$e2e_work/Programme/Warenwirtschaft 5"
    mkdir -p "$host"
    cp "$E2E_DUPCHECK" "$host/dupcheck"
    cp "$E2E_SCHEMES/COLORSHEMA_Blau.DAT" "$host/colorshema_blau.dat"
    printf '[ASHEMA]\r\nVALUE=blau\r\n' >"$host/SHEMA.INI"
    printf 'C:\\Host\\etiketten.exe;Etiketten drucken\r\n' >"$host/ZS.MNU"
    E2E_DUPCHECK="$host/dupcheck"
    e2e_start INSTALL
    e2e_wait_end "Installation"
    e2e_expect_clean_end "Installation"
    printf 'C:\\Host\\etiketten.exe;Etiketten drucken\r\n%s;Doppelte Bestellnummern ermitteln\r\n' \
        "$host/dupcheck" >"$e2e_work/menu.expected"
    cmp -s "$host/ZS.MNU" "$e2e_work/menu.expected" ||
        e2e_fail "ZS.MNU nach der Installation: $(od -c "$host/ZS.MNU" | head -n 8)"
    cmp -s "$host/dupcheck.SKM" "$E2E_SCHEMES/COLORSHEMA_Blau.DAT" ||
        e2e_fail "dupcheck.SKM ist keine Kopie des aktiven Schemas Blau"
    [ -s "$e2e_work/prog.err" ] && e2e_fail "die Installation schrieb auf die Fehlerausgabe"

    # Started by the host, the main window shows the scheme's colours. The pointer stays away
    # from the buttons, which would show themselves hovered; "Überprüfen" has the focus.
    e2e_start_on "$data"
    e2e_xdo mousemove 0 0
    e2e_shoot "$e2e_main" "$e2e_work/main.png"
    e2e_geometry "$e2e_main"
    e2e_expect_pixels "$e2e_work/main.png" "Hauptfenster im Farbschema Blau" \
        500 5 DCE6F0 \
        97 16 B4C8E6 \
        200 16 C8D7EB \
        360 16 C8D7EB \
        300 200 FAFCFF \
        300 346 E6EEF8 \
        200 $((WH - 4)) DCE6F0 \
        540 $((WH - 20)) DCE6F0 \
        470 $((WH - 20)) F0C8C8
    e2e_keys "$e2e_main" Escape
    e2e_wait_end "Escape im Hauptfenster"
    e2e_expect_clean_end "Escape im Hauptfenster"
    ;;

install_menu_with_nul)
    # A NUL in the menu file would cut off the lines after it: the file stays as it is, and the
    # start check says how the program is meant to be started.
    host="$e2e_work/host"
    mkdir "$host"
    cp "$E2E_DUPCHECK" "$host/dupcheck"
    printf 'a.exe;Etiketten\r\n\0b.exe;Inventur\r\n' >"$host/zs.mnu"
    cp "$host/zs.mnu" "$e2e_work/menu.before"
    E2E_DUPCHECK="$host/dupcheck"
    e2e_start INSTALL
    e2e_wait_window "$E2E_TITLE" "Meldung \"Starten Sie das Programm über zusätzlich > ...\""
    e2e_click_box_no "$e2e_wid"
    e2e_wait_end "nach der Meldung"
    e2e_expect_status 3 "Installation ohne Eintrag"
    e2e_expect_error_line "Nullbyte" "Installation ohne Eintrag"
    cmp -s "$host/zs.mnu" "$e2e_work/menu.before" || e2e_fail "zs.mnu wurde verändert"
    [ -e "$host/ZS.MNU" ] && e2e_fail "eine zweite Menüdatei ZS.MNU entstand"
    ;;

*)
    e2e_fail "unbekannter Fall: $case_name"
    ;;
esac
echo "$case_name: bestanden"
