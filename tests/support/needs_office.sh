#!/bin/sh
# Runs a test that needs the office program, or says why it cannot and ends with 77, which CTest
# counts as skipped. The office is found as the program finds it: TICKETWRIGHT_OFFICE, else the
# installed LibreOffice.
office=${TICKETWRIGHT_OFFICE:-/usr/lib/libreoffice/program/soffice.bin}
if [ ! -x "$office" ]; then
    echo "SKIP: no office program at $office (install libreoffice-writer-nogui and" \
        "libreoffice-draw-nogui, or set TICKETWRIGHT_OFFICE)"
    exit 77
fi
exec "$@"
