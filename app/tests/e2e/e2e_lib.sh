# Helpers for driving the real dupcheck program on a virtual X server (Xvfb) with xdotool, as a
# user would: a data folder made by dupcheck-host, the program started with the host's command
# line, mouse clicks at the places where the program puts its buttons, keys, and the table files
# read back with dupcheck-host export.
#
# Sourced by the end-to-end tests and by scripts/screenshots-main. The caller sets
#   E2E_DUPCHECK  the dupcheck program
#   E2E_HOST      the dupcheck-host program
# and calls e2e_begin first. Every wait polls with a time limit and fails with a message that
# names what did not appear; every call of xdotool and dupcheck-host has a time limit too, and
# whatever was started is ended on every way out.
#
# No window manager runs: a window's place is the one the program gives it, and the window
# geometry xdotool reports is the client area.

E2E_FIXTURES="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/fixtures"
E2E_TITLE="Check auf doppelte Artikelnummern"
E2E_DESIGN_CAPTION="Bestelllnummer-Überprüfung"
# Screen size; the program centres its main window (and its message boxes across) on it.
E2E_SCREEN_W=1024
E2E_SCREEN_H=768

e2e_work=""
e2e_xvfb_pid=""
e2e_prog_pid=""
e2e_prog_status=""
e2e_wid=""  # the window the last wait found
e2e_main="" # the main window

# Ends the test with a message that says what went wrong, the program's output and the windows
# on the screen; with E2E_KEEP_SCREEN set to a file name, also a picture of the screen.
e2e_fail() {
    echo "FEHLER: $*" >&2
    if [ -n "$e2e_work" ]; then
        if [ -s "$e2e_work/prog.err" ]; then
            echo "--- Ausgaben von dupcheck:" >&2
            cat "$e2e_work/prog.err" >&2
        fi
        if [ -n "${E2E_KEEP_SCREEN:-}" ] && [ -n "${DISPLAY:-}" ] &&
            command -v import >/dev/null; then
            import -window root "$E2E_KEEP_SCREEN" 2>/dev/null &&
                echo "--- Bildschirm gespeichert: $E2E_KEEP_SCREEN" >&2
        fi
        if [ -n "$e2e_xvfb_pid" ]; then
            echo "--- Fenster:" >&2
            e2e_list_windows >&2
        fi
    fi
    exit 1
}

# xdotool with a time limit (seconds, default 10): a request the X server never answers, or a
# --sync that waits for something that does not happen, fails instead of hanging the test.
e2e_xdo() {
    timeout "${E2E_XDO_LIMIT:-10}" xdotool "$@"
}

# dupcheck-host with a time limit; the fixtures are small.
e2e_host() {
    timeout 60 "$E2E_HOST" "$@"
}

# Ends a process started here: TERM, and KILL when it is still there after 5 s.
e2e_stop() {
    local pid="$1" i
    kill "$pid" 2>/dev/null || return 0
    for i in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

e2e_cleanup() {
    [ -n "$e2e_prog_pid" ] && e2e_stop "$e2e_prog_pid"
    [ -n "$e2e_xvfb_pid" ] && e2e_stop "$e2e_xvfb_pid"
    if [ -n "$e2e_work" ]; then
        # A case may have made a folder read-only.
        chmod -R u+w "$e2e_work" 2>/dev/null
        rm -rf "$e2e_work"
    fi
}

# Checks the tools, makes the working folder and starts Xvfb on a display of its own, so that
# tests running side by side never share a screen.
e2e_begin() {
    local tool
    for tool in Xvfb xdotool setxkbmap; do
        command -v "$tool" >/dev/null ||
            e2e_fail "$tool fehlt (scripts/deps installiert xvfb, xauth, xdotool und x11-xkb-utils)"
    done
    [ -x "$E2E_DUPCHECK" ] || e2e_fail "Programm fehlt: $E2E_DUPCHECK"
    [ -x "$E2E_HOST" ] || e2e_fail "Programm fehlt: $E2E_HOST"
    e2e_work="$(mktemp -d "${TMPDIR:-/tmp}/dupcheck-e2e.XXXXXX")"
    trap e2e_cleanup EXIT
    trap 'e2e_fail "abgebrochen (Signal)"' INT TERM HUP
    # Qt wants a private runtime folder; without one it warns on every start.
    mkdir -m 700 "$e2e_work/runtime"
    export XDG_RUNTIME_DIR="$e2e_work/runtime"
    # The deletion journal of a remote data set lies in the user's data folder: the test's own.
    export XDG_DATA_HOME="$e2e_work/data-home"

    # -noreset: the server keeps its state when the last client leaves (xdotool comes and goes).
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN_W}x${E2E_SCREEN_H}x24" -nolisten tcp -noreset \
        3>"$e2e_work/display" >"$e2e_work/xvfb.log" 2>&1 &
    e2e_xvfb_pid=$!
    local i
    for i in $(seq 100); do
        [ -s "$e2e_work/display" ] && break
        kill -0 "$e2e_xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$e2e_work/display" ]; then
        cat "$e2e_work/xvfb.log" >&2
        e2e_xvfb_pid=""
        e2e_fail "Xvfb ist nicht gestartet"
    fi
    export DISPLAY=":$(head -n 1 "$e2e_work/display")"
    export QT_QPA_PLATFORM=xcb
    # The server names its display before it takes clients; wait until one gets in.
    for i in $(seq 100); do
        E2E_XDO_LIMIT=2 e2e_xdo getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    if ! E2E_XDO_LIMIT=2 e2e_xdo getdisplaygeometry >/dev/null 2>&1; then
        cat "$e2e_work/xvfb.log" >&2
        e2e_fail "Xvfb auf $DISPLAY nimmt keine Verbindung an"
    fi
    # A German keyboard, as the program's users have, so that the umlauts the tests type sit on
    # keys of their own. On the default layout xdotool lends a spare key to each of them for a
    # moment, and a program that reads the keyboard map only after it was given back (as happens
    # on a busy machine) sees no letter at all.
    timeout 10 setxkbmap -layout de || e2e_fail "setxkbmap konnte die deutsche Tastatur nicht setzen"
}

# For the tests on the remote server: from now on E2E_HOST is dupcheck-host --remote, a small
# wrapper in the working folder, so that every helper here works on the remote server's data
# sets. Call after e2e_begin with the dupcheck-host program.
e2e_use_remote_host() {
    mkdir -p "$e2e_work/bin"
    printf '#!/bin/sh\nexec "%s" --remote "$@"\n' "$1" >"$e2e_work/bin/dupcheck-host"
    chmod +x "$e2e_work/bin/dupcheck-host"
    E2E_HOST="$e2e_work/bin/dupcheck-host"
}

# A data folder with the host's tables, filled from fixtures/articles.csv and
# fixtures/bookings.csv: e2e_make_data DIR.
e2e_make_data() {
    local dir="$1" log="$e2e_work/host.log"
    e2e_host create "$dir" >"$log" 2>&1 ||
        { cat "$log" >&2; e2e_fail "dupcheck-host create $dir"; }
    e2e_host import "$dir" ArtikelMain "$E2E_FIXTURES/articles.csv" >>"$log" 2>&1 ||
        { cat "$log" >&2; e2e_fail "Import der Artikel (articles.csv)"; }
    e2e_host import "$dir" Artikelsub "$E2E_FIXTURES/bookings.csv" >>"$log" 2>&1 ||
        { cat "$log" >&2; e2e_fail "Import der Buchungen (bookings.csv)"; }
}

# e2e_export DIR TABLE > file: the table as CSV in record order.
e2e_export() {
    e2e_host export "$1" "$2" 2>"$e2e_work/export.err" ||
        { cat "$e2e_work/export.err" >&2; e2e_fail "dupcheck-host export $1 $2"; }
}

# Starts dupcheck in the background with the given arguments.
e2e_start() {
    "$E2E_DUPCHECK" "$@" >"$e2e_work/prog.out" 2>"$e2e_work/prog.err" &
    e2e_prog_pid=$!
}

# Starts dupcheck in the background as the user nobody, for a folder that root could write to
# whatever its permission bits say. The caller has made the working folder readable for nobody
# and given it the runtime folder runtime-nobody.
e2e_start_as_nobody() {
    XDG_RUNTIME_DIR="$e2e_work/runtime-nobody" \
        setpriv --reuid=nobody --regid=nogroup --clear-groups \
        "$E2E_DUPCHECK" "$@" >"$e2e_work/prog.out" 2>"$e2e_work/prog.err" &
    e2e_prog_pid=$!
}

e2e_running() {
    [ -n "$e2e_prog_pid" ] && kill -0 "$e2e_prog_pid" 2>/dev/null
}

# Waits until the program has ended by itself (limit in seconds, default 15) and keeps its exit
# status in e2e_prog_status; fails with the message given when it runs on.
e2e_wait_end() {
    local what="$1" limit="${2:-15}" i
    for i in $(seq $((limit * 20))); do
        e2e_running || break
        sleep 0.05
    done
    e2e_running && e2e_fail "$what: das Programm läuft nach ${limit} s noch"
    wait "$e2e_prog_pid"
    e2e_prog_status=$?
    e2e_prog_pid=""
}

# Fails unless the program ended normally (exit status 0).
e2e_expect_clean_end() {
    e2e_expect_status 0 "$1"
}

# Fails unless the program ended with the exit status given: e2e_expect_status STATUS WHAT.
e2e_expect_status() {
    [ "$e2e_prog_status" = "$1" ] ||
        e2e_fail "$2: das Programm endete mit dem Status $e2e_prog_status statt $1"
}

# Fails unless the program wrote exactly one line of its own ("dupcheck: ...") to standard
# error and that line holds the text given: e2e_expect_error_line TEXT WHAT.
e2e_expect_error_line() {
    local lines
    lines="$(grep -c '^dupcheck: ' "$e2e_work/prog.err")"
    [ "$lines" = 1 ] ||
        e2e_fail "$2: $lines statt einer Zeile \"dupcheck: ...\" auf der Fehlerausgabe"
    grep '^dupcheck: ' "$e2e_work/prog.err" | grep -qF -- "$1" ||
        e2e_fail "$2: die Zeile auf der Fehlerausgabe nennt \"$1\" nicht"
}

e2e_list_windows() {
    local w
    for w in $(e2e_xdo search --onlyvisible --name '.*' 2>/dev/null); do
        eval "$(e2e_xdo getwindowgeometry --shell "$w" 2>/dev/null)"
        echo "  $w \"$(e2e_xdo getwindowname "$w" 2>/dev/null)\" ${WIDTH}x${HEIGHT}+${X}+${Y}"
    done
}

# A window name as an exact pattern for xdotool search.
e2e_exact() {
    printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')"
}

# Waits for the visible window whose name is exactly the text given (limit in seconds, default
# 20) and sets e2e_wid to its id; fails with the description given when it does not appear or
# the program ends meanwhile.
e2e_wait_window() {
    local name="$1" what="$2" limit="${3:-20}" pattern w i
    pattern="$(e2e_exact "$name")"
    for i in $(seq $((limit * 20))); do
        w="$(e2e_xdo search --onlyvisible --name "$pattern" 2>/dev/null | tail -n 1)"
        if [ -n "$w" ]; then
            e2e_wid="$w"
            return 0
        fi
        e2e_running ||
            e2e_fail "$what: das Programm endete, ohne dass das Fenster \"$name\" erschien"
        sleep 0.05
    done
    e2e_fail "$what: das Fenster \"$name\" erschien nicht innerhalb von ${limit} s"
}

# Waits until the window (by id) is no longer shown.
e2e_wait_gone() {
    local wid="$1" what="$2" limit="${3:-10}" i
    for i in $(seq $((limit * 20))); do
        e2e_xdo search --onlyvisible --name '.*' 2>/dev/null | grep -qx "$wid" || return 0
        sleep 0.05
    done
    e2e_fail "$what: das Fenster blieb ${limit} s lang offen"
}

# True when a window with exactly this name is shown at this moment.
e2e_window_shown() {
    [ -n "$(e2e_xdo search --onlyvisible --name "$(e2e_exact "$1")" 2>/dev/null)" ]
}

# Fails unless the window's caption, as a window manager shows it (the UTF-8 name), is exactly
# the text given. xdotool search also matches the plain name, which may differ from it.
e2e_expect_caption() {
    local caption
    caption="$(e2e_xdo getwindowname "$1" 2>/dev/null)"
    [ "$caption" = "$2" ] || e2e_fail "$3: die Beschriftung ist \"$caption\" statt \"$2\""
}

# Sets WX, WY, WW, WH to the window's client position and size.
e2e_geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW shell
    shell="$(e2e_xdo getwindowgeometry --shell "$1")" ||
        e2e_fail "xdotool kennt die Lage des Fensters $1 nicht"
    eval "$shell"
    WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

# Moves the pointer to a point of the screen and waits until it is there: e2e_pointer_to X Y.
# "mousemove --sync" waits until the pointer has moved, so a move to the point where it stands
# already would wait for ever; a click that is repeated at the same place (because the program
# did not take it the first time) first takes the pointer away, to the screen's corner, which no
# window of the program covers. Leaving and entering again is what a user's second try does too.
e2e_pointer_to() {
    local x="$1" y="$2" X="" Y="" SCREEN WINDOW
    eval "$(e2e_xdo getmouselocation --shell 2>/dev/null)"
    if [ "$X" = "$x" ] && [ "$Y" = "$y" ]; then
        e2e_xdo mousemove --sync 0 0 || return 1
    fi
    e2e_xdo mousemove --sync "$x" "$y"
}

# Clicks (or, with a count of 2, double-clicks) at a point given relative to a window's client
# area: e2e_click WID X Y [COUNT].
e2e_click() {
    local WX WY WW WH
    e2e_geometry "$1"
    e2e_pointer_to $((WX + $2)) $((WY + $3)) &&
        e2e_xdo click --repeat "${4:-1}" --delay 80 1 ||
        e2e_fail "xdotool konnte nicht bei ($2, $3) klicken"
}

# Gives the window the keyboard focus and presses the keys named (xdotool key names).
e2e_keys() {
    local wid="$1"
    shift
    e2e_xdo windowfocus --sync "$wid" key --delay 50 "$@" ||
        e2e_fail "xdotool konnte die Tasten $* nicht senden"
}

# Gives the window the keyboard focus and types the text.
e2e_type() {
    e2e_xdo windowfocus --sync "$1" type --delay 40 "$2" ||
        e2e_fail "xdotool konnte \"$2\" nicht eingeben"
}

# Photographs a window once two pictures taken a moment apart agree, so that no half-painted
# state is kept: e2e_shoot WID FILE.
e2e_shoot() {
    local WX WY WW WH i
    command -v import >/dev/null || e2e_fail "import fehlt (Paket imagemagick)"
    e2e_geometry "$1"
    for i in $(seq 50); do
        sleep 0.2
        import -window root -crop "${WW}x${WH}+${WX}+${WY}" +repage "$e2e_work/shot-a.png"
        sleep 0.2
        import -window root -crop "${WW}x${WH}+${WX}+${WY}" +repage "$e2e_work/shot-b.png"
        if [ "$(compare -metric AE "$e2e_work/shot-a.png" "$e2e_work/shot-b.png" null: 2>&1)" = 0 ]
        then
            mv "$e2e_work/shot-b.png" "$2"
            return 0
        fi
    done
    e2e_fail "das Bild von $2 kommt nicht zur Ruhe"
}

# The colour of one pixel of a picture as RRGGBB: e2e_pixel FILE X Y.
e2e_pixel() {
    convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6
}

# Fails unless the pixels of a picture have the colours given: e2e_expect_pixels FILE WHAT
# X Y RRGGBB [X Y RRGGBB ...].
e2e_expect_pixels() {
    local file="$1" what="$2" colour
    shift 2
    while [ $# -ge 3 ]; do
        colour="$(e2e_pixel "$file" "$1" "$2")"
        [ "$colour" = "$3" ] || e2e_fail "$what: bei ($1, $2) ist die Farbe $colour statt $3"
        shift 3
    done
}

# Points of the main window (client coordinates), from its fixed layout: three buttons in the
# top panel, the close button at the bottom right, and the grid below the top panel.
E2E_BTN_CHECK_X=54 E2E_BTN_CHECK_Y=30      # "Überprüfen"
E2E_BTN_RENAME_X=190 E2E_BTN_RENAME_Y=30   # "Bestelllnummer ändern"
E2E_BTN_DELETE_X=362 E2E_BTN_DELETE_Y=30   # "Alle doppelten löschen"
E2E_BTN_CLOSE_DX=-68 E2E_BTN_CLOSE_DY=-18 # "Schliessen", from the bottom right corner
# The grid's rows: the first row's middle and the pitch of a row with its line.
E2E_ROW1_Y=87
E2E_ROW_PITCH=18

# Client y of the middle of grid row n (from 1).
e2e_row_y() {
    echo $((E2E_ROW1_Y + ($1 - 1) * E2E_ROW_PITCH))
}

# The question and message box: the buttons sit at the right of the bottom panel.
# "Ja" and "Nein" of the question; "Schließen" of a message lies where "Nein" is.
E2E_BOX_YES_DX=-127 E2E_BOX_NO_DX=-44 E2E_BOX_BUTTON_DY=-19

e2e_click_box_yes() {
    local WX WY WW WH
    e2e_geometry "$1"
    e2e_click "$1" $((WW + E2E_BOX_YES_DX)) $((WH + E2E_BOX_BUTTON_DY))
}

e2e_click_box_no() {
    local WX WY WW WH
    e2e_geometry "$1"
    e2e_click "$1" $((WW + E2E_BOX_NO_DX)) $((WH + E2E_BOX_BUTTON_DY))
}

e2e_click_close_button() {
    local WX WY WW WH
    e2e_geometry "$1"
    e2e_click "$1" $((WW + E2E_BTN_CLOSE_DX)) $((WH + E2E_BTN_CLOSE_DY))
}

# Starts the program on a data folder with a host build that passes and waits for the main
# window, whose caption is the data path once the tables are open; e2e_main is its id.
e2e_start_on() {
    e2e_start "$1" 1 12413
    e2e_wait_window "$1" "Start auf $1"
    e2e_main="$e2e_wid"
    e2e_expect_caption "$e2e_main" "$1" "Hauptfenster nach dem Start"
}

# Clicks at a point of the main window again and again until a window with the name given
# appears, and sets e2e_wid to its id. The actions refuse to start while a long operation runs,
# and nothing on the screen tells when it is over, so a refused click is simply repeated. Once
# the window is up, further clicks cannot reach the main window: the window is modal.
e2e_click_until() {
    local wid="$1" x="$2" y="$3" count="$4" name="$5" what="$6" limit="${7:-20}" start w i pattern
    pattern="$(e2e_exact "$name")"
    start=$SECONDS
    while [ $((SECONDS - start)) -lt "$limit" ]; do
        e2e_click "$wid" "$x" "$y" "$count"
        for i in $(seq 10); do
            w="$(e2e_xdo search --onlyvisible --name "$pattern" 2>/dev/null | tail -n 1)"
            if [ -n "$w" ]; then
                e2e_wid="$w"
                return 0
            fi
            e2e_running || e2e_fail "$what: das Programm endete"
            sleep 0.05
        done
    done
    e2e_fail "$what: das Fenster \"$name\" erschien nicht innerhalb von ${limit} s"
}

# Compares a table export with the expected CSV; on a difference, fails and shows it.
e2e_expect_table() {
    local actual="$1" expected="$2" what="$3"
    if ! diff -u "$expected" "$actual" >"$e2e_work/diff" 2>&1; then
        echo "--- erwartet/gefunden:" >&2
        cat "$e2e_work/diff" >&2
        e2e_fail "$what"
    fi
}

# e2e_without_ids CSV ID... : the export without the records of these IDs (first column).
e2e_without_ids() {
    local csv="$1"
    shift
    awk -F, -v ids=" $* " 'NR == 1 || index(ids, " " $1 " ") == 0' "$csv"
}

# e2e_with_field CSV ID FIELD VALUE: the export with one field of one record replaced. The
# fixtures hold no commas or quotes, so a plain split by commas is exact.
e2e_with_field() {
    awk -F, -v OFS=, -v id="$2" -v field="$3" -v value="$4" '
        NR == 1 { for (i = 1; i <= NF; i++) if ($i == field) col = i; print; next }
        $1 == id { $col = value }
        { print }' "$1"
}
