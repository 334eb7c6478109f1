#!/bin/sh
# Builds the fuzz target and runs it for SECONDS (default 700) on a working
# corpus (fuzz/corpus-run/, not kept in git) seeded from fuzz/seeds/ and the
# shared RTF corpus. Crashes land in fuzz/artifacts/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
secs=${1:-700}
shared=${MORVELLO_SHARED_DIR:-$root/../shared}
bin=$("$here/build.sh" | tail -n 1)
mkdir -p "$here/corpus-run" "$here/artifacts"
cp "$here"/seeds/* "$here/corpus-run/"
cp "$shared"/rtf-corpus/*.rtf "$here/corpus-run/" 2>/dev/null || true
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
timeout $((secs + 60)) "$bin" -max_len=65536 -timeout=5 -rss_limit_mb=2048 \
    -max_total_time="$secs" -print_final_stats=1 \
    -dict="$here/rtf.dict" -artifact_prefix="$here/artifacts/" \
    "$here/corpus-run"
