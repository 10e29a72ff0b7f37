#!/bin/bash
# The command line as a script or a cron job runs it: no display, no Qt platform named, the real
# office. A .doc and a .pdf read back, wrong arguments and outputs refused before any work, and a
# SIGTERM in the middle of a run that leaves no office and no working file.
#   command_line.sh PROGRAM
set -u
program=$1
for tool in antiword pdfinfo pdftotext pgrep; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'pkill -KILL -f "soffice.bin.*$work" 2>/dev/null; rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_CONFIG_HOME=$work/config HOME=$work/home TEMP=$work/temp TMPDIR=$work/tmp
mkdir -p "$XDG_CONFIG_HOME" "$HOME" "$TEMP" "$TMPDIR" "$work/out"
settings=$XDG_CONFIG_HOME/Quorvane.conf

fail() { echo "FAIL: $*"; [ -s "$work/err" ] && sed 's/^/    /' "$work/err"; exit 1; }
# run EXPECTED_STATUS ARGS...: the command, its status checked, its standard error in $work/err.
run() {
    local expected=$1 status
    shift
    "$program" "$@" >"$work/stdout" 2>"$work/err"
    status=$?
    [ "$status" -eq "$expected" ] || fail "ticketwright $* ended with $status, not $expected"
}
offices_left() { pgrep -af "soffice.bin.*$work"; }
# The ticket numbers a .doc holds, one a line, in the order of its pages.
doc_numbers() { antiword "$1" | grep -oE '^ *[0-9]{4,} *$' | tr -d ' '; }
# first count order: the numbers each ticket and its stub should carry, page after page.
expected_numbers() {
    local first=$1 count=$2 order=$3 pages=$(( $2 / 5 )) p k n
    for ((p = 1; p <= pages; ++p)); do
        for ((k = 1; k <= 5; ++k)); do
            if [ "$order" = cut-and-stack ]; then n=$(( first + (k - 1) * pages + p - 1 ))
            else n=$(( first + (p - 1) * 5 + k - 1 )); fi
            printf '%04d\n%04d\n' "$n" "$n"
        done
    done
}

# A second book as a .doc, the wording given, the rest from the saved wording (none: the defaults).
# Every office the command starts goes through a wrapper that notes its profile (an office
# restarts itself once on a new profile): a .doc needs one.
printf '#!/bin/sh\necho "$*" | grep -o "UserInstallation=[^ ]*" >>"%s"\nexec "%s" "$@"\n' \
    "$work/offices-started" \
    "${TICKETWRIGHT_OFFICE:-/usr/lib/libreoffice/program/soffice.bin}" >"$work/office"
chmod +x "$work/office"
TICKETWRIGHT_OFFICE=$work/office run 0 --event "SPRING GALA" --donation "" --count 23 \
    --first-number 501 --output "$work/out/gala.doc"
started=$(sort -u "$work/offices-started" | wc -l)
[ "$started" -eq 1 ] || fail "a .doc started $started offices, not 1"
[ "$(doc_numbers "$work/out/gala.doc")" = "$(expected_numbers 501 25 sequence)" ] ||
    fail "the .doc does not hold 0501 to 0525 in sequence"
antiword "$work/out/gala.doc" | grep -q "SPRING GALA" || fail "the event name is not in the .doc"
antiword "$work/out/gala.doc" | grep -q "DONATION" && fail "an empty donation still printed one"
grep -q "Tickets 0501 to 0525" "$work/err" || fail "the command did not say what it wrote"
[ ! -e "$settings" ] || fail "the saved wording changed without --remember"
echo "doc: 0501-0525 in sequence, one office, settings untouched"

# A PDF on A4, cut and stack, the fields from a file in the settings' format.
printf '[Ticketwright]\nText1=AUTUMN FAIR\nText8=10\nOrder=CutAndStack\nPaper=A4\n' >"$work/fields.conf"
run 0 --fields "$work/fields.conf" --quiet --output "$work/out/fair.pdf"
! grep -v "edits its documents" "$work/err" || fail "--quiet still said something"
pdfinfo "$work/out/fair.pdf" | grep -q "Pages: *2$" || fail "the PDF has not 2 pages"
pdfinfo "$work/out/fair.pdf" | grep -q "pts (A4)" || fail "the PDF is not A4"
pdftotext "$work/out/fair.pdf" - | grep -q "AUTUMN FAIR" || fail "the PDF lacks the event"
[ "$(pdftotext "$work/out/fair.pdf" - | tr -d '\f' | grep -oE '^[0-9]{4}$')" = "$(expected_numbers 1 10 cut-and-stack)" ] ||
    fail "the PDF's numbers are not 0001 to 0010 cut and stack"
echo "pdf: 2 A4 pages, cut and stack"

# Two at once, as xargs -P2 runs them: each its own offices and its own numbers.
printf '%s\n' 1 501 | xargs -P2 -I{} "$program" --count 500 --first-number {} --quiet \
    --output "$work/out/book-{}.doc" 2>"$work/err" || fail "two commands at once did not both succeed"
for first in 1 501; do
    [ "$(doc_numbers "$work/out/book-$first.doc")" = "$(expected_numbers "$first" 500 sequence)" ] ||
        fail "of two commands at once, the one from $first did not make its book"
done
echo "two at once: 0001-0500 and 0501-1000"

# Refused before any work: no office starts, nothing is written.
run 2 --count 10 --colour red --output "$work/out/x.doc"
grep -q "^Usage: ticketwright" "$work/err" || fail "a wrong argument gave no usage line"
run 2 --count 10 --output /proc/x.doc
grep -q "cannot be written" "$work/err" || fail "an unwritable folder was not named"
run 2 --count 10 --output "$work/out/gala.doc"
grep -q "exists; --force replaces it" "$work/err" || fail "an existing output was not refused"
run 2 --count ten --output "$work/out/x.doc"
run 2 --count 10 --first-number 0 --output "$work/out/x.doc"
printf 'Text1=AUTUMN FAIR\nText8=10\n' >"$work/not-fields.conf" # no section header
run 2 --fields "$work/not-fields.conf" --output "$work/out/x.doc"
grep -q "has no \[Ticketwright\] section" "$work/err" || fail "a file without fields was taken"
[ -z "$(offices_left)" ] || fail "an office is left: $(offices_left)"
[ ! -e "$work/out/x.doc" ] || fail "a refused command wrote its output"
run 0 --count 5 --force --quiet --remember --output "$work/out/gala.doc"
grep -q "^Text8=5$" "$settings" || fail "--remember did not save the wording"
echo "refused: a wrong argument, an unwritable folder, an existing output, a bad count and number, a file without fields"

# SIGTERM while the pages are made: status 143, no office, no working file, no output.
"$program" --count 4000 --output "$work/out/big.doc" 2>"$work/err" &
pid=$!
for _ in $(seq 600); do
    grep -q "Making the pages" "$work/err" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
grep -q "Making the pages" "$work/err" || fail "the long run never showed its progress"
kill -0 "$pid" 2>/dev/null || fail "the long run ended before it could be stopped"
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 143 ] || fail "after SIGTERM the status is $status, not 143"
[ -z "$(offices_left)" ] || fail "an office is left after SIGTERM: $(offices_left)"
[ -z "$(ls -A "$TEMP")" ] || fail "working files are left after SIGTERM: $(ls -A "$TEMP")"
[ ! -e "$work/out/big.doc" ] || fail "a stopped run wrote its output"
echo "SIGTERM: status 143, nothing left"
echo "PASS"
