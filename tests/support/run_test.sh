#!/bin/sh
# Runs one test for CTest:  run_test.sh [--office] PROGRAM [ARGS...]
# With --office, a test that needs the office program says why it cannot run and ends with 77,
# which CTest counts as skipped, where none is installed. The office is found as the program
# finds it: TICKETWRIGHT_OFFICE, else the installed LibreOffice.
# A Qt Test program whose every case skipped here ends with 77 as well; one with only some cases
# skipped passes, and lists them with their reasons at the end of its output.
if [ "$1" = "--office" ]; then
    shift
    office=${TICKETWRIGHT_OFFICE:-/usr/lib/libreoffice/program/soffice.bin}
    if [ ! -x "$office" ]; then
        echo "SKIP: no office program at $office (install libreoffice-writer-nogui and" \
            "libreoffice-draw-nogui, or set TICKETWRIGHT_OFFICE)"
        exit 77
    fi
fi
log=$(mktemp "${TMPDIR:-/tmp}/ticketwright-test.XXXXXX") || exit 1
trap 'rm -f "$log" "$log.status"' EXIT
{
    "$@" 2>&1
    echo $? >"$log.status"
} | tee "$log"
status=$(cat "$log.status" 2>/dev/null || echo 1)
if [ "$status" -eq 0 ] && grep -q '^SKIP   :' "$log"; then
    echo "Skipped here:"
    grep '^SKIP   :' "$log"
    if ! grep '^PASS   :' "$log" | grep -qv '::\(initTestCase\|cleanupTestCase\)()'; then
        exit 77
    fi
fi
exit "$status"
