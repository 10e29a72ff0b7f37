#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (and ASan/UBSan) and runs each for a bounded
# number of inputs. Usage: run.sh <build folder> [runs]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$1
runs=${2:-200000}
mkdir -p "$out"
flags=(-std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root/core/support" -I"$root/core/raffle" -I"$root/common" $(pkg-config --cflags Qt6Gui))
libs=($(pkg-config --libs Qt6Gui))

clang++ "${flags[@]}" "$here/fuzz_number_text.cpp" "$root/core/raffle/number_text.cpp" \
    -o "$out/fuzz_number_text" "${libs[@]}"
clang++ "${flags[@]}" "$here/fuzz_cursor_file.cpp" "$root/common/cursor_file.cpp" \
    -o "$out/fuzz_cursor_file" "${libs[@]}"

# A one-pixel cursor to start from, so that inputs get past the directory to the image reader.
mkdir -p "$out/corpus-fuzz_cursor_file"
{
    printf '\x00\x00\x02\x00\x01\x00' # a cursor of one image
    printf '\x01\x01\x00\x00\x00\x00\x00\x00\x30\x00\x00\x00\x16\x00\x00\x00' # 1x1, hot spot 0,0
    printf '\x28\x00\x00\x00\x01\x00\x00\x00\x02\x00\x00\x00\x01\x00\x20\x00' # 32-bit bitmap
    printf '\x00%.0s' {1..24}
    printf '\x10\x20\x30\xff\x00\x00\x00\x00' # its pixel and mask row
} >"$out/corpus-fuzz_cursor_file/one-pixel.cur"

for target in fuzz_number_text fuzz_cursor_file; do
    mkdir -p "$out/corpus-$target"
    echo "== $target: $runs inputs"
    ASAN_OPTIONS=detect_leaks=0 "$out/$target" -runs="$runs" -max_len=4096 \
        -seed=1 "$out/corpus-$target" 2>&1 | tail -n 3
done
