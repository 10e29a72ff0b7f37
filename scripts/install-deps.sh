#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
# Runs apt as root, or through sudo for an ordinary user.
set -euo pipefail

packages=(
    # build
    build-essential cmake clang-format pkg-config
    # libFuzzer targets
    clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # the organiser's picture: readers for the kinds beyond Qt's own (TIFF, WebP, ...)
    qt6-image-formats-plugins zlib1g-dev
    # Qt's SVG reader, as most desktops have it: the picture's tests show it never reads an SVG
    libqt6svg6
    # the office engine and its C++ SDK
    libreoffice-writer-nogui libreoffice-draw-nogui libreoffice-dev libreoffice-dev-common
    # the PDF save: the ticket art is laid under the office's pages with qpdf
    libqpdf-dev
    # fonts the ticket design and the windows use
    fonts-liberation fonts-dejavu-core
    # tests: independent .doc readers, a display server and a way to drive it, and the PDF
    # tools that read a printed page's text lines and drawing
    antiword catdoc xvfb xauth xdotool poppler-utils
    # the end-to-end run: a small window manager, the clipboard, window properties, screenshots
    openbox xclip x11-utils imagemagick
    # the windows read as a screen reader reads them: a session bus, the accessibility bus and
    # a client of it
    dbus at-spi2-core python3-pyatspi
    # printing: the system's printing service the program sends its pages to; the tests run a
    # server of their own with a PDF printer
    libcups2-dev cups printer-driver-cups-pdf
    # packaging: menu entry and AppStream checks, a clean Debian tree to install the package into
    desktop-file-utils appstream debootstrap
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
