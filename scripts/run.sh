#!/usr/bin/env bash
# Installs what is missing, builds Ticketwright and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target ticketwright -j"$(nproc)"
exec "$root/build/app/ticketwright" "$@"
