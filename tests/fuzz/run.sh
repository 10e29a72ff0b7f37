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
       -I"$root/core" -I"$root/common" $(pkg-config --cflags Qt6Gui))
libs=($(pkg-config --libs Qt6Gui))

clang++ "${flags[@]}" "$here/fuzz_number_text.cpp" "$root/core/number_text.cpp" \
    -o "$out/fuzz_number_text" "${libs[@]}"
clang++ "${flags[@]}" "$here/fuzz_cursor_file.cpp" "$root/common/cursor_file.cpp" \
    -o "$out/fuzz_cursor_file" "${libs[@]}"

for target in fuzz_number_text fuzz_cursor_file; do
    mkdir -p "$out/corpus-$target"
    echo "== $target: $runs inputs"
    ASAN_OPTIONS=detect_leaks=0 "$out/$target" -runs="$runs" -max_len=4096 \
        -seed=1 "$out/corpus-$target" 2>&1 | tail -n 3
done
