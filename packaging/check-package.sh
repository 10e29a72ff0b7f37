#!/usr/bin/env bash
# Builds the Debian package and checks that it installs and runs on a fresh Debian 12: a minimal
# bookworm tree made with debootstrap gets only the package and what it declares (no recommended
# packages), then the program is started from its menu entry under Xvfb, generates a ticket
# document, and the package is removed again.
#
# Usage: packaging/check-package.sh [--host]
#   --host  install on this machine instead of a fresh tree (apt install ./…deb, then remove).
# Needs root and network access to the Debian mirror. Takes several minutes (the office engine is
# downloaded into the fresh tree; the downloads are kept in $TICKETWRIGHT_PACKAGE_CACHE); it is
# not part of the test suite.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
mode=chroot
[ "${1:-}" = "--host" ] && mode=host
build=${TICKETWRIGHT_PACKAGE_BUILD:-$root/build-package}
cache=${TICKETWRIGHT_PACKAGE_CACHE:-/var/cache/ticketwright-package-check}
mirror=$(sed -n 's/^URIs: *\(http[^ ]*debian\)$/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null |
         head -n1)
mirror=${mirror:-http://deb.debian.org/debian}

if [ "$(id -u)" -ne 0 ]; then
    echo "check-package.sh needs root (debootstrap, chroot, apt)." >&2
    exit 2
fi
"$root/scripts/install-deps.sh"

step() { echo "== $*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# --- Build the package ---------------------------------------------------------------------------
# Only the program and its files are built: the install step of this build folder does not build
# the tests first.
step "Building the package in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" --target ticketwright -j"$(nproc)"
rm -f "$build"/ticketwright_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/ticketwright_*.deb)
echo "Package: $deb ($(du -h "$deb" | cut -f1))"
depends=$(dpkg-deb -f "$deb" Depends)
echo "$depends"
# The PDF save lays the ticket art under the pages with qpdf's library, linked at build time.
[[ "$depends" == *libqpdf* ]] || fail "the package does not declare qpdf's library"

# --- What the package holds ----------------------------------------------------------------------
step "Contents"
stage=$(mktemp -d)
chroot_dir=
cleanup() {
    rm -rf "$stage"
    if [ -n "$chroot_dir" ]; then
        for m in dev/pts dev proc var/cache/apt/archives; do
            umount "$chroot_dir/$m" 2>/dev/null || true
        done
        # Only remove the tree when nothing is mounted in it any more.
        if ! grep -q " $chroot_dir/" /proc/mounts; then
            rm -rf "$chroot_dir"
        fi
    fi
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$stage"
for f in usr/lib/ticketwright/ticketwright usr/lib/ticketwright/HAND-M.CUR \
         usr/lib/ticketwright/libticketwright_editor.so \
         usr/lib/ticketwright/ticketwright-editor.rdb \
         usr/lib/ticketwright/x/o.cjs usr/share/applications/ticketwright.desktop \
         usr/share/metainfo/ticketwright.metainfo.xml \
         usr/share/icons/hicolor/48x48/apps/ticketwright.png \
         usr/share/icons/hicolor/256x256/apps/ticketwright.png \
         usr/share/man/man1/ticketwright.1.gz \
         usr/share/bash-completion/completions/ticketwright; do
    [ -s "$stage/$f" ] || fail "the package lacks /$f"
done
[ "$(readlink -f "$stage/usr/bin/ticketwright")" = "$stage/usr/lib/ticketwright/ticketwright" ] ||
    fail "/usr/bin/ticketwright does not lead to the program"
search_path=$(readelf -d "$stage/usr/lib/ticketwright/ticketwright" | grep -E 'R(UN)?PATH' || true)
[[ "$search_path" == *"/usr/lib/libreoffice/program"* ]] ||
    fail "the installed program lost its search path to the office's libraries"
echo "Library search path: ${search_path##* }"
desktop-file-validate "$stage/usr/share/applications/ticketwright.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/ticketwright.metainfo.xml"

# --- A fresh system with the package -------------------------------------------------------------
# in_system CMD...: runs a command in the system the package was installed into.
if [ "$mode" = chroot ] && command -v debootstrap >/dev/null; then
    step "Fresh Debian 12 tree from $mirror"
    chroot_dir=$(mktemp -d /var/tmp/ticketwright-chroot.XXXXXX)
    mkdir -p "$cache/debootstrap" "$cache/apt"
    if ! debootstrap --variant=minbase --cache-dir="$cache/debootstrap" bookworm "$chroot_dir" \
            "$mirror" >"$stage/debootstrap.log" 2>&1; then
        tail -n 20 "$stage/debootstrap.log"
        fail "debootstrap failed (try --host)"
    fi
    mount -t proc proc "$chroot_dir/proc"
    mount --bind /dev "$chroot_dir/dev"
    mount --bind /dev/pts "$chroot_dir/dev/pts"
    mount --bind "$cache/apt" "$chroot_dir/var/cache/apt/archives"
    cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
    cp "$deb" "$chroot_dir/tmp/"
    in_system() { chroot "$chroot_dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
    deb_in_system=/tmp/$(basename "$deb")
    system_root=$chroot_dir
else
    step "Installing on this machine"
    in_system() { env "$@"; }
    deb_in_system=$deb
    system_root=
fi

export DEBIAN_FRONTEND=noninteractive
in_system apt-get update -qq
step "apt install ./$(basename "$deb") (declared dependencies only)"
in_system apt-get install -y -qq --no-install-recommends "$deb_in_system" >"$stage/apt.log" ||
    { tail -n 30 "$stage/apt.log"; fail "the package does not install"; }
echo "$(grep -c '^Setting up' "$stage/apt.log") packages set up"
in_system ldd /usr/lib/ticketwright/ticketwright | grep 'not found' &&
    fail "the installed program misses libraries"
# The tools the check itself uses are installed only after the package's own dependencies.
in_system apt-get install -y -qq --no-install-recommends xvfb xauth xdotool >/dev/null

# --- Start it from the menu entry and make a document ----------------------------------------------
step "Start from the menu entry under Xvfb"
exec_line=$(sed -n 's/^Exec=//p' "$system_root/usr/share/applications/ticketwright.desktop")
icon=$(sed -n 's/^Icon=//p' "$system_root/usr/share/applications/ticketwright.desktop")
[ -s "$system_root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] ||
    fail "the menu entry's icon $icon is not installed"
cat >"$system_root/tmp/run-check.sh" <<EOF
#!/bin/bash
# Runs inside the installed system: the menu entry's command under a private X server.
set -eu
work=\$(mktemp -d)
mkdir -p "\$work/config" "\$work/temp" "\$work/run"
chmod 700 "\$work/run"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"\$work/display" \\
    >"\$work/xvfb.log" 2>&1 &
xvfb=\$!
app=
trap 'kill \$app \$xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "\$work"' EXIT
# About one start in a hundred opens the vendor's web site; a stand-in browser takes the address.
mkdir -p "\$work/bin"; printf '#!/bin/sh\\nexit 0\\n' >"\$work/bin/xdg-open"; chmod +x "\$work/bin/xdg-open"
export PATH="\$work/bin:\$PATH"
for i in \$(seq 100); do [ -s "\$work/display" ] && break; sleep 0.1; done
export DISPLAY=":\$(head -n1 "\$work/display")"
export XDG_CONFIG_HOME=\$work/config XDG_RUNTIME_DIR=\$work/run TEMP=\$work/temp
start=\$(date +%s%N)
$exec_line >"\$work/app.log" 2>&1 &
app=\$!
main=
for i in \$(seq 600); do
    for id in \$(xdotool search --onlyvisible --name '^Ticketwright\$' 2>/dev/null); do
        h=\$(xdotool getwindowgeometry --shell \$id | sed -n 's/^HEIGHT=//p')
        if [ "\$h" -gt 300 ]; then main=\$id; fi
        if [ "\$h" -le 300 ]; then echo "a message box came up instead of the main window"; cat "\$work/app.log"; exit 1; fi
    done
    [ -n "\$main" ] && break
    kill -0 \$app 2>/dev/null || { echo "the program ended at start"; cat "\$work/app.log"; exit 1; }
    sleep 0.1
done
[ -n "\$main" ] || { echo "no main window"; exit 1; }
echo "main window after \$(( (\$(date +%s%N) - start) / 1000000 )) ms"
# "Start Creating Template" (design 120,120 7800x405 twips; 15 twips a pixel at 96 dpi).
xdotool mousemove --window \$main 268 21 click 1
for i in \$(seq 3000); do
    for id in \$(xdotool search --onlyvisible --name '^Ticketwright\$' 2>/dev/null); do
        h=\$(xdotool getwindowgeometry --shell \$id | sed -n 's/^HEIGHT=//p')
        if [ "\$h" -gt 500 ]; then
            echo "preview shown after \$(( (\$(date +%s%N) - start) / 1000000 )) ms"
            exit 0
        fi
    done
    if xdotool search --onlyvisible --name '^Application Error\$' >/dev/null 2>&1; then
        echo "the program reported an error"; exit 1
    fi
    sleep 0.1
done
echo "no preview within 300 s"; exit 1
EOF
chmod +x "$system_root/tmp/run-check.sh"
in_system /tmp/run-check.sh || fail "the installed program did not run"
rm -f "$system_root/tmp/run-check.sh"

step "The command line, without a display"
in_system sh -c 'cd /tmp && ticketwright --count 10 --paper a4 --quiet --output /tmp/check.pdf' ||
    fail "the installed command did not make a PDF"
[ -s "$system_root/tmp/check.pdf" ] || fail "the installed command wrote no PDF"
rm -f "$system_root/tmp/check.pdf"

# --- Remove it -----------------------------------------------------------------------------------
step "Remove"
in_system apt-get remove -y -qq ticketwright >/dev/null
for f in /usr/bin/ticketwright /usr/lib/ticketwright /usr/share/applications/ticketwright.desktop \
         /usr/share/man/man1/ticketwright.1.gz; do
    if [ -e "$system_root$f" ] || [ -L "$system_root$f" ]; then
        fail "$f is still there after removal"
    fi
done
echo "PASS: $(basename "$deb") installs, runs from its menu entry, and is removed cleanly ($mode)"
