#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz target and runs it for SECONDS (default 700) on a working
# corpus (fuzz/corpus-run/, not kept in git) seeded from fuzz/seeds/, the
# repository's RTF corpus (tests/data/rtf/) and, when MORVELLO_SHARED_CORPUS
# names a folder, the extra corpus. Crashes land in fuzz/artifacts/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
secs=${1:-700}
bin=$("$here/build.sh" | tail -n 1)
mkdir -p "$here/corpus-run" "$here/artifacts"
cp "$here"/seeds/* "$here/corpus-run/"
cp "$root"/tests/data/rtf/*.rtf "$here/corpus-run/"
if [ -n "${MORVELLO_SHARED_CORPUS:-}" ] && [ -d "$MORVELLO_SHARED_CORPUS" ]; then
    for f in "$MORVELLO_SHARED_CORPUS"/*.rtf; do
        cp "$f" "$here/corpus-run/extra-$(basename "$f")"
    done
fi
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
timeout $((secs + 60)) "$bin" -max_len=65536 -timeout=5 -rss_limit_mb=2048 \
    -max_total_time="$secs" -print_final_stats=1 \
    -dict="$here/rtf.dict" -artifact_prefix="$here/artifacts/" \
    "$here/corpus-run"
