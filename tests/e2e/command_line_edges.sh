#!/bin/bash
# The command line at its edges, against the real office: what it reads (fields files with
# commas, binary or huge ones), what it writes (links, read-only files, an output that appears
# while it runs), what it removes (only its own), counts no run can make, and signals while the
# PDF is written or while the offices hang.
#   command_line_edges.sh PROGRAM
set -u
program=$1
for tool in antiword pdfinfo pgrep; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'pkill -KILL -f "soffice.bin.*$work" 2>/dev/null; rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_CACHE_HOME
export XDG_CONFIG_HOME=$work/config HOME=$work/home TEMP=$work/temp TMPDIR=$work/tmp
mkdir -p "$XDG_CONFIG_HOME" "$HOME" "$TEMP" "$TMPDIR" "$work/out"
out=$work/out

fail() { echo "FAIL: $*"; [ -s "$work/err" ] && sed 's/^/    /' "$work/err"; exit 1; }
run() {
    local expected=$1 status
    shift
    "$program" "$@" >/dev/null 2>"$work/err"
    status=$?
    [ "$status" -eq "$expected" ] || fail "ticketwright $* ended with $status, not $expected"
}
offices_left() { pgrep -af "soffice.bin.*$work"; }
# wait_for LINE PID: until the command says LINE (tail follows its output, and ends with it);
# fails when it ends first.
wait_for() {
    timeout 300 tail -n +1 --pid="$2" -f "$work/err" | grep -q -m1 -- "$1" ||
        fail "the command never said '$1'"
}
nothing_left() {
    [ -z "$(offices_left)" ] || fail "$1: an office is left: $(offices_left)"
    [ -z "$(ls -A "$TEMP")" ] || fail "$1: working files are left: $(ls -A "$TEMP")"
    [ -z "$(ls -A "$out")" ] || fail "$1: the output folder holds $(ls -A "$out")"
}

# Look-alikes of the program's leftovers, which are the person's: never removed.
mkdir -p "$TMPDIR/ticketwright-office-notes" "$TMPDIR/ticketwright-office-1-abcdef"
echo mine >"$TMPDIR/ticketwright-office-notes/notes.txt"
echo mine >"$TMPDIR/ticketwright-office-1-abcdef/notes.txt"

# A comma, a semicolon, quotes and a backslash in a fields file are printed as written.
printf '[Ticketwright]\nText1=SPRING GALA, 2026; "THE BIG ONE"\nText3=A\\B PRIZE\nText8=5\n' \
    >"$work/fields.conf"
run 0 --fields "$work/fields.conf" --quiet --output "$out/comma.doc"
antiword "$out/comma.doc" | grep -qF 'SPRING GALA, 2026; "THE BIG ONE"' ||
    fail "the event name with a comma was not printed as written"
antiword "$out/comma.doc" | grep -qF 'A\B PRIZE' || fail "the backslash was not kept"
[ -z "$(ls -A "$HOME/.cache/ticketwright-results" 2>/dev/null)" ] ||
    fail "the command left its result claim: $(ls -A "$HOME/.cache/ticketwright-results")"
for f in ticketwright-office-notes ticketwright-office-1-abcdef; do
    [ -e "$TMPDIR/$f/notes.txt" ] || fail "the sweep removed the person's $f"
done
rm "$out/comma.doc"
echo "fields read as written; no claim left; look-alike folders kept"

# Fields files that are not text, too large, or hold a value that is not text.
head -c 4096 /dev/urandom >"$work/binary.conf"
run 2 --fields "$work/binary.conf" --output "$out/x.doc"
grep -q "not text in UTF-8" "$work/err" || fail "a binary fields file was not refused"
{ printf '[Ticketwright]\nText1='; head -c 2000000 /dev/zero | tr '\0' x; echo; } >"$work/huge.conf"
run 2 --fields "$work/huge.conf" --output "$out/x.doc"
grep -q "larger than 1 MiB" "$work/err" || fail "a huge fields file was not refused"
printf '[Ticketwright]\nText2=@ByteArray(abc)\n' >"$work/bytes.conf"
run 2 --fields "$work/bytes.conf" --output "$out/x.doc"
grep -q "value of Text2 is not text" "$work/err" || fail "a value that is not text was blanked"
echo "binary, huge and non-text fields files refused"

# A picture that will not do is refused before any office starts, the saved one too once it has
# gone; --no-picture then makes the tickets. A picture named in a fields file is found beside it.
printf 'not a picture' >"$work/notes.png"
run 2 --picture "$work/notes.png" --output "$out/x.doc"
grep -q "is not a picture Ticketwright can use" "$work/err" || fail "a text file was taken as a picture"
printf '<svg xmlns="http://www.w3.org/2000/svg"><image href="http://example.org/a.png"/></svg>' \
    >"$work/net.svg"
run 2 --picture "$work/net.svg" --output "$out/x.doc"
grep -q "refers to something outside it" "$work/err" || fail "an SVG that goes online was taken"
printf '<svg xmlns="http://www.w3.org/2000/svg" width="40" height="30"><circle cx="20" cy="15" r="9"/></svg>' \
    >"$work/logo.svg"
run 0 --picture "$work/logo.svg" --remember --count 5 --quiet --output "$out/logo.doc"
rm "$work/logo.svg" "$out/logo.doc"
run 2 --count 5 --output "$out/x.doc"
grep -q "cannot be found" "$work/err" || fail "a saved picture that has gone was not refused"
nothing_left "refused pictures"
run 0 --no-picture --remember --count 5 --quiet --output "$out/plain.doc"
rm "$out/plain.doc"
printf '<svg xmlns="http://www.w3.org/2000/svg" width="4" height="3"/>' >"$work/beside.svg"
printf '[Ticketwright]\nText8=5\nPicture=beside.svg\n' >"$work/picture.conf"
run 0 --fields "$work/picture.conf" --quiet --output "$out/beside.doc"
rm "$out/beside.doc"
echo "pictures that will not do refused before any office; a fields file's found beside it"

# Counts no run can make, and the highest numbers a book can carry.
run 2 --count 2147483645 --output "$out/x.doc"
grep -q "at most 100,000 tickets" "$work/err" || fail "an endless count was not refused"
run 2 --count 100001 --output "$out/x.doc"
run 0 --count 10 --first-number 99999990 --quiet --output "$out/top.doc"
antiword "$out/top.doc" | grep -q "99999999" || fail "99999999 was not printed"
rm "$out/top.doc"
echo "counts beyond a run refused; 99999990 to 99999999 made"

# Links and read-only files at the output: refused without --force; a link is replaced, never
# written through, with it; a read-only file is never replaced.
ln -s "$work/nowhere.doc" "$out/dangling.doc"
run 2 --count 5 --output "$out/dangling.doc"
grep -q "exists; --force" "$work/err" || fail "a dangling link was taken for a free name"
echo theirs >"$work/target.doc"
ln -s "$work/target.doc" "$out/link.doc"
run 0 --count 5 --force --quiet --output "$out/link.doc"
[ ! -L "$out/link.doc" ] && antiword "$out/link.doc" | grep -q 0005 || fail "the link was not replaced"
[ "$(cat "$work/target.doc")" = theirs ] || fail "the output was written through a link"
echo mine >"$out/locked.doc"
chmod a-w "$out/locked.doc"
run 2 --count 5 --force --output "$out/locked.doc"
grep -q "read-only" "$work/err" || fail "a read-only output was not refused"
[ "$(cat "$out/locked.doc")" = mine ] || fail "a read-only output was replaced"
rm -f "$out"/*.doc
echo "links and read-only outputs"

# An output that appears while the pages are made is never replaced.
"$program" --count 1000 --output "$out/late.doc" 2>"$work/err" &
pid=$!
wait_for "Making the pages" "$pid"
echo theirs >"$out/late.doc"
wait "$pid"
status=$?
[ "$status" -eq 1 ] || fail "the command that found its output taken ended with $status, not 1"
[ "$(cat "$out/late.doc")" = theirs ] || fail "a file that appeared during the run was replaced"
antiword "$out/late (1).doc" | grep -q 1000 || fail "the finished tickets were not kept beside it"
grep -q "late (1).doc" "$work/err" || fail "the command did not say where the tickets are"
rm -f "$out"/*.doc
echo "a late output kept; the tickets beside it"

# stop STAGE LINE ARGS...: SIGTERM once the command says LINE; it ends within 2 s, with 143,
# and leaves nothing.
stop() {
    local stage=$1 line=$2 pid start status
    shift 2
    "$program" "$@" 2>"$work/err" &
    pid=$!
    wait_for "$line" "$pid"
    if [ "$stage" = hung ]; then pkill -STOP -f "soffice.bin.*$work"; fi
    kill -0 "$pid" 2>/dev/null || fail "$stage: the command ended before it could be stopped"
    start=$(date +%s%N)
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    local ms=$(( ($(date +%s%N) - start) / 1000000 ))
    [ "$status" -eq 143 ] || fail "$stage: after SIGTERM the status is $status, not 143"
    [ "$ms" -le 2000 ] || fail "$stage: the command took $ms ms to end"
    nothing_left "$stage"
    echo "SIGTERM $stage: 143 in $ms ms, nothing left"
}
stop pdf "Writing the PDF" --count 5000 --output "$out/big.pdf"
stop hung "Making the pages" --count 5000 --output "$out/big.doc"
# Once the last page is made, the document is saved, checked and pictured.
stop save "Making the pages: 100%" --count 10000 --output "$out/big.doc"
echo "PASS"
