#!/bin/bash
# The real program read from outside as a screen reader reads it: a private X server, a private
# session bus and the desktop's accessibility bus, all started here and ended with the test; the
# windows' trees are read over AT-SPI (accessibility.py).
#   accessibility.sh PROGRAM
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
skip=77
launcher=/usr/libexec/at-spi-bus-launcher
# The system's Python, where Debian puts the AT-SPI client.
python=/usr/bin/python3
for tool in Xvfb dbus-daemon "$python"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done
[ -x "$launcher" ] || { echo "SKIP: at-spi2-core is not installed"; exit $skip; }
"$python" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit $skip; }

work=$(mktemp -d "${TMPDIR:-/tmp}/ticketwright-a11y.XXXXXX")
mkdir -p "$work"/{config,temp,tmp,home}
install -d -m 0700 "$work/run"
xvfb_pid= bus_pid= launcher_pid= app_pid=
cleanup() {
    for pid in $app_pid $launcher_pid $bus_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

. "$here/../support/private_display.sh"
start_private_display "$work" || { echo "SKIP: no X server"; exit $skip; }
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export TEMP="$work/temp" TMPDIR="$work/tmp"
unset SESSION_MANAGER

# A session bus of our own, and the accessibility bus on it.
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$work/bus" \
    4>"$work/bus.pid" || { echo "FAIL: no session bus"; exit 1; }
bus_pid=$(cat "$work/bus.pid")
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
launcher_pid=$!

# A short run of the sample wording.
printf '[Ticketwright]\nText1=SPRING GALA\nText8=25\n' >"$work/config/Quorvane.conf"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$program" >"$work/app.log" 2>&1 &
app_pid=$!
if ! "$python" "$here/accessibility.py" "$app_pid"; then
    echo "--- program output ---"
    cat "$work/app.log"
    exit 1
fi
