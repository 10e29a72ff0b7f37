#!/usr/bin/env bash
# One whole run of the real program on a private X server, driven with keyboard and mouse the way
# a person would: fill the fields, ask for 23 tickets, generate, zoom out, save twice to the same
# path, save a PDF through the dialog's PDF filter, close. The saved document is then read by two
# independent readers, and the PDF by poppler's tools.
#
# Usage: full_run.sh PROGRAM ARTIFACT_DIR
# Exits 77 (skipped) when no X server can be started here.
set -euo pipefail

program=$(readlink -f "$1")
artifacts=$2
readonly skip=77

for tool in Xvfb openbox xdotool xprop xclip import compare antiword pdfinfo pdftotext pdffonts \
    pdftoppm; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit $skip
    fi
done
soffice=/usr/lib/libreoffice/program/soffice

work=$(mktemp -d "${TMPDIR:-/tmp}/ticketwright-e2e.XXXXXX")
rm -rf "$artifacts"
mkdir -p "$artifacts"
mkdir -p "$work"/{config,temp,tmp,home,out,profile}
install -d -m 0700 "$work/run"

xvfb_pid= wm_pid= app_pid= clip_pid=
cleanup() {
    for pid in $app_pid $clip_pid $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# --- A display of our own ------------------------------------------------------------------------
. "$(dirname "$0")/../support/private_display.sh"
start_private_display "$work" || { echo "SKIP: no X server"; exit $skip; }
echo "Display $DISPLAY"

# About one start in a hundred opens the vendor's web site; a stand-in browser takes the address,
# as a desktop's would, so that start is no different here.
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export TEMP="$work/temp" TMPDIR="$work/tmp"
unset SESSION_MANAGER

# A small window manager, so windows take the focus and close as on a desktop (Alt+F4).
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
    [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]] && break
    sleep 0.1
done

# --- Helpers -------------------------------------------------------------------------------------
started=$(date +%s%N)
elapsed() { echo "$(( ($(date +%s%N) - started) / 1000000 )) ms"; }

shot() { # shot NAME [WINDOW]: keeps a PNG of a window, or of the whole screen
    import -window "${2:-root}" "$artifacts/$1.png" 2>/dev/null || true
}

# A window has settled when two pictures of it in a row are the same: then it is painted.
same_as_last() { # same_as_last NAME WINDOW
    local before="$work/settle-$1.png"
    cp "$artifacts/$1.png" "$before" 2>/dev/null || true
    shot "$1" "$2"
    [ -s "$before" ] && [ "$(compare -metric AE "$before" "$artifacts/$1.png" null: 2>&1 || true)" = 0 ]
}
settled_shot() { # settled_shot NAME WINDOW: a picture of the window once it is painted
    rm -f "$artifacts/$1.png"
    wait_for "$1 to be painted" 30 same_as_last "$1" "$2" >/dev/null
}
# screen_changes_after WHAT COMMAND...: runs the command, then waits until the screen shows
# something else and has settled (a list opened, a choice taken).
screen_changes_after() {
    local what=$1
    shift
    settled_shot screen-before root
    "$@"
    differs_and_settled() {
        settled_shot screen-after root
        [ "$(compare -metric AE "$artifacts/screen-before.png" "$artifacts/screen-after.png" \
             null: 2>&1 || true)" != 0 ]
    }
    wait_for "$what" 30 differs_and_settled >/dev/null
    rm -f "$artifacts/screen-before.png" "$artifacts/screen-after.png"
}

# Also called inside $(...): everything goes to stderr, and the caller's errexit ends the run.
fail() {
    {
        echo "FAIL ($(elapsed)): $*"
        shot failure
        echo "--- program output ---"
        cat "$work/app.log" 2>/dev/null || true
    } >&2
    exit 1
}

visible() { # visible TITLE: ids of the visible windows with exactly that title
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true
}

# The title the window manager shows (_NET_WM_NAME); the search above matches the old WM_NAME,
# which Qt does not decorate.
shown_title() {
    xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME([A-Z0-9_]*) = "\(.*\)"$/\1/p'
}
title_is() { [ "$(shown_title "$1")" = "$2" ]; }
check_title() { # check_title WINDOW TITLE
    local shown
    shown=$(shown_title "$1")
    [ "$shown" = "$2" ] || fail "the title bar reads '$shown', not '$2'"
}

height_of() {
    xdotool getwindowgeometry --shell "$1" 2>/dev/null | sed -n 's/^HEIGHT=//p'
}

# The program's windows and its message boxes share the title; the windows' designed heights
# (7905 and 9900 twips, at 96 dpi 527 and 660 pixels) tell them apart.
program_window() { # program_window MIN_HEIGHT MAX_HEIGHT
    local id h
    for id in $(visible Ticketwright); do
        h=$(height_of "$id")
        if [ -n "$h" ] && [ "$h" -ge "$1" ] && [ "$h" -le "$2" ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
main_window() { program_window 500 560; }
preview_window() { program_window 620 700; }
message_box() { program_window 40 300; }

# An "Application Error" report means the program trapped a failure: fail with its text, which
# the message box puts on the clipboard on Ctrl+C.
# expect_report=1 while a report is what the run waits for.
expect_report=
check_for_error_report() {
    local id text
    [ -n "$expect_report" ] && return 0
    id=$(visible "Application Error" | head -n1)
    [ -z "$id" ] && return 0
    shot application-error "$id"
    xdotool windowactivate --sync "$id" key ctrl+c 2>/dev/null || true
    text=
    for _ in $(seq 50); do
        text=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
        [[ "$text" == *Error* ]] && break
        sleep 0.1
    done
    fail "the program reported an error: ${text:-(text not readable)}"
}

# wait_for WHAT SECONDS COMMAND...: polls COMMAND until it succeeds; prints its output.
wait_for() {
    local what=$1 seconds=$2 out
    shift 2
    local deadline=$(( $(date +%s) + seconds ))
    while [ "$(date +%s)" -lt "$deadline" ]; do
        check_for_error_report
        if out=$("$@"); then
            echo "$out"
            return 0
        fi
        if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2>/dev/null; then
            fail "the program ended while waiting for $what"
        fi
        sleep 0.1
    done
    fail "no $what within $seconds s"
}

# Output is taken whole before it is searched: with pipefail, an early-exiting grep would turn the
# writer's SIGPIPE into a wrong answer.
gone() { ! grep -qx "$1" <<<"$(xdotool search --onlyvisible --name . 2>/dev/null)"; }

# Positions are given in the window's designed twips; at 96 dpi 15 twips make a pixel.
click() { # click WINDOW X_TWIPS Y_TWIPS
    xdotool windowactivate --sync "$1" mousemove --window "$1" $(( $2 / 15 )) $(( $3 / 15 )) \
        click 1
}

# The program takes the keyboard focus itself when the window manager offers it; keys sent before
# it has (a busy moment at start-up) would go nowhere.
has_focus() { [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]; }

type_into() { # type_into WINDOW X_TWIPS Y_TWIPS TEXT: click into a field and replace its text
    click "$1" "$2" "$3"
    wait_for "the keyboard focus on the window" 30 has_focus "$1" >/dev/null
    xdotool key ctrl+a
    xdotool type --delay 30 -- "$4"
}

setting() { sed -n "s/^$1=//p" "$XDG_CONFIG_HOME/Quorvane.conf" 2>/dev/null; }
setting_is() { [ "$(setting "$1")" = "$2" ]; }

answer_box() { # answer_box WHAT SHOT KEY: waits for a message box, keeps a picture, presses KEY
    local id
    id=$(wait_for "$1" 60 message_box)
    wait_for "$1's title" 10 title_is "$id" Ticketwright >/dev/null
    settled_shot "$2" "$id"
    xdotool windowactivate --sync "$id" key "$3"
    wait_for "$1 to close" 30 gone "$id" >/dev/null
}

save_as() { # save_as PATH: the save dialog, typed path, Return
    local dialog
    click "$preview" 7320 9052                    # "Save Results To Word File"
    dialog=$(wait_for "save dialog" 60 visible "Save File")
    dialog=$(echo "$dialog" | head -n1)
    wait_for "the save dialog's title" 10 title_is "$dialog" "Save File" >/dev/null
    settled_shot save-dialog "$dialog"
    xdotool windowactivate --sync "$dialog" key ctrl+a
    xdotool type --delay 20 -- "$1"
    xdotool key Return
    wait_for "save dialog to close" 30 gone "$dialog" >/dev/null
}

# --- The run -------------------------------------------------------------------------------------
# Started from a folder of its own, so the save dialog opens there.
(cd "$HOME" && exec env QT_QPA_PLATFORM=xcb "$program") >"$work/app.log" 2>&1 &
app_pid=$!

main=$(wait_for "main window" 120 main_window)
echo "Main window shown after $(elapsed)"
settled_shot main-window-start "$main"
has_icon() { [[ "$(xprop -id "$1" _NET_WM_ICON 2>/dev/null)" == *"Icon (48 x 48)"* ]]; }
has_icon "$main" || fail "the main window carries no application icon"
check_title "$main" Ticketwright

# Field centres in twips: frame left + 240 + field width / 2, frame top + 300 + 172.
name="ST. JUDE'S SPRING GALA & RAFFLE"
draw="DRAW AT 9 PM IN THE MAIN HALL"
first='$750' second='$300' third='$125'
present="WINNERS NEED NOT BE PRESENT"
donation='$5'
type_into "$main" 4027 1582 "$name"
type_into "$main" 4027 2452 "$draw"
type_into "$main" 1147 3322 "$first"
type_into "$main" 3787 3322 "$second"
type_into "$main" 6427 3322 "$third"
type_into "$main" 2887 4192 "$present"
type_into "$main" 6847 4192 "$donation"
type_into "$main" 4027 5062 "23"
xdotool key Tab

# Every change is stored at once; leaving the count rounds it up to a multiple of five.
wait_for "ticket count 25 in the settings" 10 setting_is Text8 25 >/dev/null
for pair in "Text1|$name" "Text2|$draw" "Text3|$first" "Text4|$second" "Text5|$third" \
            "Text6|$present" "Text7|$donation"; do
    key=${pair%%|*} want=${pair#*|}
    setting_is "$key" "$want" || fail "$key holds '$(setting "$key")', typed '$want'"
done
settled_shot main-window "$main"

# Text the person copied before the run is still on the desktop clipboard after it: the office
# copies, pastes and renders the page picture through its own transfer. xclip keeps offering the
# text until someone else takes the clipboard.
copied="copied before the run $$"
printf '%s' "$copied" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
clip_pid=$!
for _ in $(seq 50); do
    [ "$(timeout 5 xclip -o -selection clipboard 2>/dev/null)" = "$copied" ] && break
    sleep 0.1
done
[ "$(timeout 5 xclip -o -selection clipboard 2>/dev/null)" = "$copied" ] ||
    fail "the text could not be put on the clipboard"

click "$main" 4020 322                             # "Start Creating Template"
preview=$(wait_for "preview window" 300 preview_window)
echo "Preview shown after $(elapsed)"
on_clipboard=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
[ "$on_clipboard" = "$copied" ] ||
    fail "the clipboard holds '$on_clipboard' after the run, not the text copied before it"
[ -z "$(main_window)" ] || fail "the main window is still shown beside the preview"
settled_shot preview-zoom-1 "$preview"
has_icon "$preview" || fail "the preview window carries no application icon"
check_title "$preview" Ticketwright

click "$preview" 7200 8362                         # "Zoom Out"
zoomed_out() {
    settled_shot preview-zoom-out "$preview"
    local changed
    changed=$(compare -metric AE "$artifacts/preview-zoom-1.png" \
              "$artifacts/preview-zoom-out.png" null: 2>&1 || true)
    [ "${changed%% *}" != "0" ]
}
wait_for "Zoom Out to change the preview" 30 zoomed_out >/dev/null

saved="$work/out/raffle tickets.doc"
save_as "$saved"
answer_box '"Done."' done-box Return
[ -s "$saved" ] || fail "nothing was saved at $saved"
first_inode=$(stat -c %i "$saved")

# The same path again: the overwrite question, answered Yes (Return), then "Done." again.
save_as "$saved"
answer_box "overwrite question" overwrite-question Return
answer_box '"Done." after the overwrite' done-box-2 Return
[ "$(stat -c %i "$saved")" != "$first_inode" ] || fail "the second save did not replace the file"
cp "$saved" "$artifacts/tickets.doc"

# A PDF, chosen by the dialog's filter alone: the name is typed without an extension, then the
# file type box (bottom row of the dialog) is switched to its second entry.
pdf="$work/out/raffle tickets print"
click "$preview" 7320 9052                         # "Save Results To Word File"
dialog=$(wait_for "save dialog for the PDF" 60 visible "Save File" | head -n1)
wait_for "the save dialog's title" 10 title_is "$dialog" "Save File" >/dev/null
xdotool windowactivate --sync "$dialog" key ctrl+a
xdotool type --delay 20 -- "$pdf"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
screen_changes_after "the file type list to open" \
    xdotool mousemove --window "$dialog" $((WIDTH * 45 / 100)) $((HEIGHT - 22)) click 1
screen_changes_after "the PDF file type to be chosen" xdotool key Down Return
settled_shot save-dialog-pdf "$dialog"
xdotool key Return
wait_for "save dialog to close" 30 gone "$dialog" >/dev/null
answer_box '"Done." after the PDF' done-box-pdf Return
[ -s "$pdf" ] || fail "no PDF was saved at $pdf"
cp "$pdf" "$artifacts/tickets.pdf"

# Closing the preview ends the program.
xdotool windowactivate --sync "$preview" key alt+F4
for _ in $(seq 600); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program still runs 60 s after its preview was closed"
status=0
wait "$app_pid" || status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "Program ended after $(elapsed)"

# --- What it left behind -------------------------------------------------------------------------
if pgrep -f "soffice.bin.*$work" >/dev/null; then
    fail "an office process of this run is still running: $(pgrep -af "soffice.bin.*$work")"
fi
leftovers=$(find "$TEMP" "$TMPDIR" -mindepth 1 2>/dev/null)
[ -z "$leftovers" ] || fail "files left behind: $leftovers"

# --- The saved document, read twice --------------------------------------------------------------
check_text() { # check_text READER FILE
    local reader=$1 text=$2 n count
    for n in $(seq -f %04g 1 25); do
        count=$(grep -ow -- "$n" "$text" | wc -l)
        [ "$count" -eq 2 ] || fail "$reader: ticket number $n appears $count times, not twice"
    done
    count=$(grep -oEw '[0-9]{4}' "$text" | wc -l)
    [ "$count" -eq 50 ] || fail "$reader: $count four-digit numbers, expected 50"
    for want in "$name" "$draw" "$first" "$second" "$third" "$present" "DONATION - $donation"; do
        count=$(grep -oiF -- "$want" "$text" | wc -l)
        [ "$count" -ge 25 ] || fail "$reader: '$want' appears $count times, expected a line per ticket"
    done
    for sample in "CHRISTMAS" "END OF THE NIGHT" '$500' '$250' '$100' "HAVE TO BE PRESENT" \
                  "NAME OF RAFFLE EVENT" '$10'; do
        if grep -qiF -- "$sample" "$text"; then
            fail "$reader: the template's sample wording '$sample' is still in the document"
        fi
    done
    echo "$reader: 25 tickets, 0001-0025 twice each, all wording in place"
}

antiword -w 0 "$saved" >"$artifacts/tickets.antiword.txt" || fail "antiword cannot read the document"
check_text antiword "$artifacts/tickets.antiword.txt"

(unset DISPLAY; cd "$work" && timeout 180 "$soffice" --headless --norestore --nologo \
    "-env:UserInstallation=file://$work/profile" --cat "$saved") \
    >"$artifacts/tickets.office.txt" 2>"$work/office.log" ||
    fail "LibreOffice cannot read the document: $(cat "$work/office.log")"
check_text LibreOffice "$artifacts/tickets.office.txt"

# --- The PDF, as a print shop's tools see it -------------------------------------------------------
info=$(pdfinfo "$pdf") || fail "pdfinfo cannot read the PDF: $(head -c 200 "$pdf" | tr -cd '[:print:]')"
grep -Eq '^Pages: +5$' <<<"$info" || fail "the PDF does not have 5 pages: $info"
[ "$(grep -c 'letter' <<<"$(pdfinfo -f 1 -l 5 "$pdf")")" -eq 5 ] || fail "not every page is Letter"
grep -Eq "^Creator: +Ticketwright$" <<<"$info" || fail "the PDF's creator is not the program: $info"
grep -qF "$name" <<<"$info" || fail "the PDF's information does not name the event: $info"
pdftotext "$pdf" "$artifacts/tickets.pdf.txt"
check_text pdftotext "$artifacts/tickets.pdf.txt"
not_embedded=$(pdffonts "$pdf" | tail -n +3 | awk '$(NF-4) != "yes"')
[ -z "$not_embedded" ] || fail "fonts not embedded in the PDF: $not_embedded"
pdftoppm -r 60 -png -f 1 -l 1 "$pdf" "$artifacts/pdf-first-page"
pdftoppm -r 60 -png -f 5 -l 5 "$pdf" "$artifacts/pdf-last-page"
echo "PDF: 5 Letter pages, 0001-0025 twice each, every font embedded"

# --- A broken hand cursor beside the program --------------------------------------------------
# One report, titled exactly "Application Error", then the main window as usual.
mkdir "$work/broken"
cp "$program" "$work/broken/"
echo "not a cursor" >"$work/broken/HAND-M.CUR"
expect_report=1
(cd "$HOME" && exec env QT_QPA_PLATFORM=xcb "$work/broken/$(basename "$program")") \
    >"$work/app.log" 2>&1 &
app_pid=$!
report_shown() { [ -n "$(visible "Application Error")" ]; }
for _ in $(seq 1200); do
    report_shown && break
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended before reporting the broken cursor"
    sleep 0.1
done
report_shown || fail "no report of the broken cursor within 120 s"
reports=$(visible "Application Error")
wait_for "the report's title" 10 title_is "$reports" "Application Error" >/dev/null
settled_shot broken-cursor-report "$reports"
xdotool windowactivate --sync "$reports" key Return
main=$(wait_for "main window after the report" 120 main_window)
# The main window comes only after the report is answered; by then any second report would be up.
reports=$(visible "Application Error")
[ -z "$reports" ] || fail "more than one report: $reports"
xdotool windowactivate --sync "$main" key alt+F4
for _ in $(seq 300); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program still runs 30 s after its main window was closed"
app_pid=
echo "Broken cursor: one report, titled \"Application Error\""

echo "PASS in $(elapsed); screenshots in $artifacts"
