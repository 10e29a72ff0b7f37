#!/usr/bin/env bash
# Start-up time: from launching the program to its main window being shown, which includes the
# office check (one office engine started and quit). Runs on a private Xvfb display; the first
# start is a warm-up and is not counted (it also makes the office profile seed in the cache).
# Then the idle program's memory: one more start, left until its waiting office has come up and its
# memory has settled, and again once a key pressed in the window has brought the second, read from the kernel (resident and proportional set sizes of
# the program and its offices, and, as root, the physical pages they hold between them).
#
# Usage: bench/startup-time.sh [PROGRAM] [RUNS]
#   PROGRAM defaults to build/app/ticketwright, RUNS to 7.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=$(readlink -f "${1:-$root/build/app/ticketwright}")
runs=${2:-7}
[ -x "$program" ] || { echo "No program at $program; build it first (scripts/run.sh)." >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/ticketwright-bench.XXXXXX")
mkdir -p "$work"/{config,temp,tmp}
install -d -m 0700 "$work/run"
xvfb= app=
cleanup() {
    for pid in $app $xvfb; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

. "$root/tests/support/private_display.sh"
start_private_display "$work" >&2 || exit 1
xvfb=$xvfb_pid
# About one start in a hundred opens the vendor's web site; a stand-in browser takes the address.
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" TEMP="$work/temp"
export TMPDIR="$work/tmp" QT_QPA_PLATFORM=xcb XDG_CACHE_HOME="$work/cache"

# One start: prints the milliseconds until a window titled Ticketwright is mapped. The poll costs
# a few milliseconds per round, which bounds the resolution.
one_start() {
    local begin id=
    begin=$(date +%s%N)
    "$program" >"$work/app.log" 2>&1 &
    app=$!
    while [ -z "$id" ]; do
        id=$(xdotool search --onlyvisible --name '^Ticketwright$' 2>/dev/null | head -n1 || true)
        if [ -z "$id" ]; then
            kill -0 "$app" 2>/dev/null || { echo "the program ended at start:" >&2
                                            cat "$work/app.log" >&2; exit 1; }
            sleep 0.01
        fi
    done
    echo $(( ($(date +%s%N) - begin) / 1000000 ))
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=
}

echo "Program: $program"
echo "Machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
one_start >/dev/null
times=()
for i in $(seq "$runs"); do
    t=$(one_start)
    times+=("$t")
    echo "run $i: $t ms"
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}')
echo "launch to main window, warm, $runs runs: min $(echo "$sorted" | head -n1) ms," \
     "median $median ms, max $(echo "$sorted" | tail -n1) ms"

# Beside it, the office alone: milliseconds from starting it, with a profile it has used before, to
# its pipe taking connections, the median of as many starts. The check waits for no less.
office=${TICKETWRIGHT_OFFICE:-/usr/lib/libreoffice/program/soffice.bin}
if [ -x "$office" ]; then
    office_times=()
    for i in $(seq 0 "$runs"); do
        pipe="ticketwright-bench-$$-$i"
        begin=$(date +%s%N)
        "$office" --headless --invisible --nologo --norestore --nodefault --nolockcheck \
            "--accept=pipe,name=$pipe;urp;StarOffice.ComponentContext" \
            "-env:UserInstallation=file://$work/office-profile" >/dev/null 2>&1 &
        app=$!
        until [ -e "/tmp/OSL_PIPE_$(id -u)_$pipe" ] || [ -e "$TMPDIR/OSL_PIPE_$(id -u)_$pipe" ]; do
            kill -0 "$app" 2>/dev/null || break
            sleep 0.005
        done
        # The first start makes the profile, and is not counted.
        [ "$i" -eq 0 ] || office_times+=($(( ($(date +%s%N) - begin) / 1000000 )))
        kill "$app" 2>/dev/null || true
        wait "$app" 2>/dev/null || true
        app=
        rm -f "/tmp/OSL_PIPE_$(id -u)_$pipe" "$TMPDIR/OSL_PIPE_$(id -u)_$pipe"
    done
    # The office's socket for its profile, named by the MD5 of the profile's URL in UTF-16, each
    # byte in hexadecimal without a leading zero.
    hash=$(printf '%s' "file://$work/office-profile" | iconv -t UTF-16LE | md5sum |
           cut -c1-32 | sed 's/../& /g; s/\b0\([0-9a-f]\)/\1/g; s/ //g')
    rm -f "/tmp/OSL_PIPE_$(id -u)_SingleOfficeIPC_$hash" "$TMPDIR/OSL_PIPE_$(id -u)_SingleOfficeIPC_$hash"
    echo "the office alone, start to its pipe, $runs runs: median" \
         "$(printf '%s\n' "${office_times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}') ms"
fi

# Kibibytes of one field of smaps_rollup, summed over the program and its offices.
memory_of() {
    local field=$1 total=0 pid kib
    for pid in $app $(pgrep -P "$app" || true); do
        kib=$(awk -v f="$field:" '$1 == f {print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || true)
        total=$((total + ${kib:-0}))
    done
    echo "$total"
}
"$program" >"$work/app.log" 2>&1 &
app=$!
until xdotool search --onlyvisible --name '^Ticketwright$' >/dev/null 2>&1; do
    kill -0 "$app" 2>/dev/null || { echo "the program ended at start" >&2; exit 1; }
    sleep 0.05
done
# The offices start half a second after the window; settled is two readings a second apart
# within 1 %, with the offices wanted there.
settle() {
    local wanted=$1 previous=0
    for _ in $(seq 60); do
        sleep 1
        offices=$(pgrep -P "$app" -c soffice.bin || true)
        now=$(memory_of Rss)
        if [ "${offices:-0}" -ge "$wanted" ] && [ $((now * 100)) -le $((previous * 101)) ]; then
            return
        fi
        previous=$now
    done
}
# The resident sum counts a library page once for each process mapping it, and the offices map the
# same libraries; the physical pages of the program and its offices, each counted once, are read
# from the page map (which gives frame numbers to root only).
report() {
    distinct=$(perl -e '
        use strict; use warnings; no warnings "portable";
        my %frames;
        for my $pid (@ARGV) {
            open(my $maps, "<", "/proc/$pid/maps") or next;
            open(my $map, "<:raw", "/proc/$pid/pagemap") or next;
            while (<$maps>) {
                my ($from, $to) = /^([0-9a-f]+)-([0-9a-f]+)/ or next;
                my ($first, $pages) = (hex($from) / 4096, (hex($to) - hex($from)) / 4096);
                my $entries = "";
                sysseek($map, $first * 8, 0) or next;
                next unless (sysread($map, $entries, $pages * 8) // 0) == $pages * 8;
                for my $entry (unpack("Q<*", $entries)) {
                    next unless $entry & (1 << 63);
                    my $frame = $entry & ((1 << 55) - 1);
                    exit 1 unless $frame;
                    $frames{$frame} = 1;
                }
            }
        }
        exit 1 unless %frames;
        print scalar(keys %frames) * 4;' $app $(pgrep -P "$app" || true)) || distinct=
    echo "$1, $offices waiting offices: resident $((now / 1024)) MiB," \
         "proportional $(( $(memory_of Pss) / 1024 )) MiB," \
         "${distinct:+$((distinct / 1024)) MiB of distinct pages, }program alone" \
         "$(( $(awk '/^VmRSS:/ {print $2}' "/proc/$app/status") / 1024 )) MiB resident"
}
settle 1
report "idle program, untouched"
# A key in the window is the person turning to it, which starts the picture's office too.
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^Ticketwright$' | head -n1)" key shift
settle 2
report "idle program, once a key was pressed in it"
kill "$app"
wait "$app" 2>/dev/null || true
app=
