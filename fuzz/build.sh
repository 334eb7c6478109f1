#!/bin/sh
# Builds the RTF reader's fuzz target with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer. Not part of the normal build.
#
#   fuzz/build.sh [OUTDIR]      (default: build-fuzz/ at the top of the tree)
#   fuzz/run.sh [SECONDS]       builds, seeds and runs it
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${1:-$root/build-fuzz}
mkdir -p "$out"
clang++ -std=c++17 -g -O1 -fPIC \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" $(pkg-config --cflags Qt6Gui) \
    "$here/fuzz_rtfreader.cpp" "$root/src/text/rtfreader.cpp" \
    $(pkg-config --libs Qt6Gui) \
    -o "$out/fuzz_rtfreader"
echo "$out/fuzz_rtfreader"
